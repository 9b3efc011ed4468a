// The window lists over any set of top-level windows: up to 400 of them (more than the lists
// hold), in groups of like ones, with titles and class names of any length and content, the program's own and the
// shell's among them, visible or hidden.
//
// Checked against the windows as the platform enumerates them: both forms list exactly the
// windows that pass the filter, in z-order, never more than 256; titles are cut at 254 units and
// terminated; the Programs form's list box gets the same titles in the same order, and a NULL list
// box gets nothing; collecting one form leaves the other form's array as it was.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs.h"
#include "sim_api.h"
#include "tasks/window_lists.h"
#include "tests/fuzz/fuzz_device.h"
#include "window_manager.h"

namespace {

// Titles and classes the filter knows, and their near misses.
const char16_t* const kTitles[] = {u"Desktop", u"Programs", u"MS_SIPBUTTON", u"Orvo", u"Phone", u"desktop",
                                   u"Orvo ",   u"Phon",     u"Notes",        u"",     u"Desktop\u00A0"};
const char16_t* const kClasses[] = {u"Explore", u"DesktopExplorerWindow", u"ORVO", u"orvo", u"Explorer", u"HHTaskBar",
                                    u"Dialog",  u""};

std::u16string pick(FuzzedDataProvider& in, const char16_t* const* table, size_t count, size_t maxUnits) {
    int how = in.ConsumeIntegralInRange(0, 3);
    if (how == 0) return fuzz::text(in, maxUnits);
    std::u16string t = table[in.ConsumeIntegralInRange<size_t>(0, count - 1)];
    if (how == 1) t += fuzz::text(in, maxUnits);  // a known name with more after it
    return t;
}

struct Listed {
    HWND window;
    std::u16string title;
};

// The filter's steps over the platform's own window list, written from the rules.
std::vector<Listed> expectedList() {
    std::vector<Listed> out;
    for (HWND h : sim::topLevelWindows()) {
        sim::Window* w = sim::findWindowObject(h);
        std::u16string title = w->title.substr(0, 254);
        std::u16string cls = w->className.substr(0, 126);
        if (title.empty()) continue;
        if (title == u"Desktop" || title == u"Programs" || title == u"MS_SIPBUTTON" || title == u"Orvo" || title == u"Phone") {
            continue;
        }
        if (cls == u"Explore" || cls == u"DesktopExplorerWindow" || cls == u"ORVO") continue;
        if (!w->visible) continue;
        if (out.size() < WindowListCapacity) out.push_back({h, title});
    }
    return out;
}

bool terminatedTitle(const WCHAR* title) {
    for (int i = 0; i < WindowTitleUnits; ++i) {
        if (title[i] == 0) return i <= 254;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::freshDevice();
    // Groups of like windows, so that more windows than the lists hold cost few bytes of input.
    int windows = 0;
    while (windows < 400 && in.remaining_bytes() > 0) {
        std::u16string title = pick(in, kTitles, std::size(kTitles), 300);
        std::u16string cls = pick(in, kClasses, std::size(kClasses), 200);
        bool visible = in.ConsumeIntegralInRange(0, 4) != 0;
        int copies = in.ConsumeBool() ? 1 : in.ConsumeIntegralInRange(1, 300);
        for (int k = 0; k < copies && windows < 400; ++k, ++windows) {
            sim::createNativeWindow(nullptr, cls, title, nullptr, visible ? WS_VISIBLE : 0, RECT{0, 26, 240, 320});
        }
    }
    // The Programs dialog's list box is a real one: made last, hidden and untitled, never listed.
    HWND listBox = sim::createControl(nullptr, u"LISTBOX", u"", WS_CHILD, RECT{0, 0, 10, 10}, 1);
    const std::vector<Listed> expected = expectedList();
    const int count = static_cast<int>(expected.size());

    collectWindows(TaskMenuForm, NULL);
    FUZZ_CHECK(windowCount == count, "the task menu form lists " + std::to_string(count));
    for (int i = 0; i < count; ++i) {
        FUZZ_CHECK(taskMenuList[i].window == expected[i].window, "task menu entry " + std::to_string(i));
        FUZZ_CHECK(terminatedTitle(taskMenuList[i].title), "a title ends within 255 units");
        FUZZ_CHECK(std::u16string(taskMenuList[i].title) == expected[i].title, "the title cut at 254 units");
    }
    std::vector<TaskMenuEntry> taskMenuBefore(taskMenuList, taskMenuList + WindowListCapacity);

    collectWindows(ProgramsForm, listBox);
    FUZZ_CHECK(windowCount == count, "the Programs form lists the same windows");
    const std::vector<std::u16string>& lines = sim::controlState(listBox)->items;
    FUZZ_CHECK(lines.size() == static_cast<size_t>(count), "one list box line per listed window");
    for (int i = 0; i < count; ++i) {
        FUZZ_CHECK(programsList[i] == expected[i].window, "programs entry " + std::to_string(i));
        FUZZ_CHECK(lines[static_cast<size_t>(i)] == expected[i].title, "list box line " + std::to_string(i));
    }
    FUZZ_CHECK(std::memcmp(taskMenuBefore.data(), taskMenuList, sizeof taskMenuList) == 0,
               "collecting the Programs form leaves the task menu's array alone");

    std::vector<HWND> programsBefore(programsList, programsList + WindowListCapacity);
    collectWindows(ProgramsForm, NULL);
    FUZZ_CHECK(windowCount == count, "without a list box the same windows are listed");
    FUZZ_CHECK(sim::controlState(listBox)->items.size() == static_cast<size_t>(count), "a NULL list box gets nothing");
    FUZZ_CHECK(std::equal(programsBefore.begin(), programsBefore.end(), programsList), "the same windows again");
    return 0;
}
