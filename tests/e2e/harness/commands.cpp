// The scenario commands on the real system. The user's commands act as a user would: the pen is
// the mouse (taps and menu items are clicked where the window system put them), buttons are
// clicked, list lines selected and up-down arrows pressed on the real controls. Observations read
// the real system: the screen's pixels, the window list, the files, the dialog's controls.
#include <map>

#include "scenario/settings_image.h"
#include "tests/e2e/harness/commands.h"
#include "tests/expected_menus.h"
#include "tests/expected_taskbar.h"

namespace e2e {
namespace {

using scenario::Args;

std::map<std::string, Command>& table() {
    static std::map<std::string, Command> commands;
    return commands;
}

struct Registrar {
    Registrar(const char* name, Command command) { table()[name] = std::move(command); }
};

void notOnRealSystem(const Args& a) {
    throw ScenarioError(a.command() + ": not available on a real system (the simulator's own)");
}

// --- The pen ---------------------------------------------------------------------------------

void penAt(int x, int y) {
    SetCursorPos(x, y);
    // The system drops the pen's messages for a window that takes no input: nothing will arrive.
    POINT point = {x, y};
    bool arrives = takesInput(WindowFromPoint(point));
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    long before = buttonUpsSeen();
    SendInput(2, input, sizeof(INPUT));
    // The pen's messages go through the window system's input queue: wait until they arrived.
    if (!waitFor([before] { return buttonUpsSeen() > before; }, arrives ? 5000 : 200) && arrives) {
        throw std::runtime_error("a tap did not arrive");
    }
}

// --- Menus -----------------------------------------------------------------------------------

HWND menuWindowOf(HMENU menu) {
    HWND found = NULL;
    waitFor([&] {
        for (HWND w = FindWindowExW(NULL, NULL, L"#32768", NULL); w != NULL; w = FindWindowExW(NULL, w, L"#32768", NULL)) {
            if (IsWindowVisible(w) && reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0)) == menu) {
                found = w;
                return true;
            }
        }
        return false;
    }, 5000);
    if (found == NULL) throw std::runtime_error("the open menu is not on the screen");
    return found;
}

// The item's place among the menu's choosable items (separators are skipped), counted from 1.
int choosableOrdinal(HMENU menu, int position) {
    int ordinal = 0;
    for (int i = 0; i <= position; ++i) {
        if (!menuItem(menu, i).separator) ++ordinal;
    }
    return ordinal;
}

struct MenuStep {
    HMENU menu;
    int position;
    HMENU submenu;
    UINT id;
};

bool findItemById(HMENU menu, UINT id, std::vector<MenuStep>* path) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MenuItem item = menuItem(menu, i);
        if (item.separator) continue;
        path->push_back(MenuStep{menu, i, item.submenu, item.id});
        if (item.submenu == NULL && item.id == id) return true;
        if (item.submenu != NULL && findItemById(item.submenu, id, path)) return true;
        path->pop_back();
    }
    return false;
}

bool findItemByTexts(HMENU menu, const std::vector<std::wstring>& texts, std::vector<MenuStep>* path) {
    for (size_t level = 0; level < texts.size(); ++level) {
        if (menu == NULL) return false;
        int count = GetMenuItemCount(menu);
        bool found = false;
        for (int i = 0; i < count && !found; ++i) {
            MenuItem item = menuItem(menu, i);
            if (item.separator || texts[level] != item.text) continue;
            path->push_back(MenuStep{menu, i, item.submenu, item.id});
            menu = item.submenu;
            found = true;
        }
        if (!found) return false;
    }
    return !path->empty() && path->back().submenu == NULL;
}

OpenModal need(OpenModal::Kind kind, const Args& a) {
    OpenModal modal{kind};
    if (!findModal(kind, &modal)) {
        const char* what = kind == OpenModal::PopupMenuKind ? "menu" : kind == OpenModal::MessageBoxKind ? "message box" : "dialog";
        throw ScenarioError(a.command() + ": no " + what + " is open");
    }
    if (kind != OpenModal::PopupMenuKind) {
        // A box or dialog is made inside the platform's call: wait until it is on the screen.
        waitFor([&] { return findModal(kind, &modal) && modal.window != NULL && IsWindowVisible(modal.window); }, 5000);
        if (modal.window == NULL) throw std::runtime_error("the open box or dialog is not on the screen");
    }
    return modal;
}

const Registrar choose("choose", [](Args& a, Outcome&) {
    if (a.count() < 1) throw ScenarioError("choose: an id or item texts");
    OpenModal menu = need(OpenModal::PopupMenuKind, a);
    std::vector<MenuStep> path;
    if (!a.isString(0)) {
        a.expectCount(1, 1);
        uint32_t id = a.dwordValue(0);  // a menu item's id is a 32-bit field
        if (!findItemById(menu.menu, id, &path)) {
            throw ScenarioError("choose: the menu has no item " + std::to_string(id));
        }
    } else {
        std::vector<std::wstring> texts;
        for (size_t i = 0; i < a.count(); ++i) texts.push_back(fromUtf16(a.string(i)));
        if (!findItemByTexts(menu.menu, texts, &path)) throw ScenarioError("choose: the menu has no such item");
    }
    // The user walks the menu with the direction keys, as the device's navigation pad does: a
    // long menu scrolls to the item reached, which a tap could not reach.
    HWND window = menuWindowOf(menu.menu);
    std::vector<UINT> keys;
    for (size_t level = 0; level < path.size(); ++level) {
        // A menu opens with nothing selected; a submenu opened from the keyboard, on its first item.
        int presses = choosableOrdinal(path[level].menu, path[level].position) - (level == 0 ? 0 : 1);
        keys.insert(keys.end(), static_cast<size_t>(presses), VK_DOWN);
        keys.push_back(level + 1 < path.size() ? VK_RIGHT : VK_RETURN);
    }
    logEvent("menu-choice " + std::to_string(path.back().id));
    for (UINT key : keys) PostMessageW(window, WM_KEYDOWN, key, 0);
    OpenModal still{OpenModal::PopupMenuKind};
    if (!waitFor([&] { return !findModal(OpenModal::PopupMenuKind, &still) || still.menu != menu.menu; }, 5000)) {
        throw std::runtime_error("the menu did not close");
    }
});

const Registrar menuCancel("menu-cancel", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    OpenModal menu = need(OpenModal::PopupMenuKind, a);
    logEvent("menu-cancel");
    // The user presses Escape; the menu's own window takes it.
    PostMessageW(menuWindowOf(menu.menu), WM_KEYDOWN, VK_ESCAPE, 0);
    OpenModal still{OpenModal::PopupMenuKind};
    if (!waitFor([&] { return !findModal(OpenModal::PopupMenuKind, &still) || still.menu != menu.menu; }, 5000)) {
        throw std::runtime_error("the menu did not close");
    }
});

// --- Message boxes and dialogs ---------------------------------------------------------------

const Registrar answer("answer", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::string w = a.word(0);
    int id = w == "yes" ? IDYES : w == "no" ? IDNO : w == "ok" ? IDOK : 0;
    if (id == 0) throw ScenarioError("answer: yes, no or ok");
    OpenModal box = need(OpenModal::MessageBoxKind, a);
    HWND button = GetDlgItem(box.window, id);
    if (button == NULL) throw ScenarioError("answer: the box has no such button");
    logEvent(std::string("messagebox-answer ") + (id == IDYES ? "IDYES" : id == IDNO ? "IDNO" : "IDOK"));
    PostMessageW(button, BM_CLICK, 0, 0);
    waitFor([&] { return !IsWindow(box.window); }, 5000);
});

std::wstring controlClass(HWND control) {
    std::wstring name = className(control);
    for (const WCHAR* standard : {L"BUTTON", L"EDIT", L"STATIC", L"LISTBOX", L"COMBOBOX"}) {
        if (_wcsicmp(name.c_str(), standard) == 0) return standard;
    }
    return name;
}

HWND control(HWND dialog, int id, const Args& a) {
    HWND c = GetDlgItem(dialog, id);
    if (c == NULL) throw ScenarioError(a.command() + ": the dialog has no control " + std::to_string(id));
    return c;
}

const Registrar click("click", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    OpenModal dialog = need(OpenModal::DialogKind, a);
    HWND c = control(dialog.window, a.controlId(0), a);
    if (controlClass(c) != L"BUTTON") throw ScenarioError("click: control " + std::to_string(a.controlId(0)) + " is not a button");
    if (!takesInput(c)) return;  // a tap on a disabled control does nothing
    PostMessageW(c, BM_CLICK, 0, 0);
});

const Registrar select("select", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    OpenModal dialog = need(OpenModal::DialogKind, a);
    int id = a.controlId(0);
    HWND c = control(dialog.window, id, a);
    std::wstring kind = controlClass(c);
    if (kind != L"LISTBOX" && kind != L"COMBOBOX") {
        throw ScenarioError("select: the dialog has no list or combo box " + std::to_string(id));
    }
    bool list = kind == L"LISTBOX";
    int index = a.controlId(1);
    int count = static_cast<int>(SendMessageW(c, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0));
    if (index < -1 || index >= count) throw ScenarioError("select: no line " + std::to_string(index));
    if (!takesInput(c)) return;
    SendMessageW(c, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (!list || (GetWindowLongW(c, GWL_STYLE) & LBS_NOTIFY)) {
        PostMessageW(dialog.window, WM_COMMAND, MAKEWPARAM(id, list ? LBN_SELCHANGE : CBN_SELCHANGE), reinterpret_cast<LPARAM>(c));
    }
});

const Registrar spin("spin", [](Args& a, Outcome&) {
    scenario::SpinCommand spin = scenario::spinCommand(a);
    OpenModal dialog = need(OpenModal::DialogKind, a);
    int id = spin.id;
    HWND c = control(dialog.window, id, a);
    if (className(c) != UPDOWN_CLASSW) throw ScenarioError("spin: the dialog has no up-down control " + std::to_string(id));
    if (!takesInput(c)) return;
    // A press on one of the control's two arrows; a horizontal control has "up" on its right.
    RECT r;
    GetClientRect(c, &r);
    bool horizontal = (GetWindowLongW(c, GWL_STYLE) & UDS_HORZ) != 0;
    bool up = spin.up;
    int x = horizontal ? (up ? r.right * 3 / 4 : r.right / 4) : r.right / 2;
    int y = horizontal ? r.bottom / 2 : (up ? r.bottom / 4 : r.bottom * 3 / 4);
    for (int i = 0; i < spin.times; ++i) {
        PostMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageW(c, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
});

const Registrar done("done", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    OpenModal dialog = need(OpenModal::DialogKind, a);
    HWND button = GetDlgItem(dialog.window, IDOK);
    if (button == NULL) throw ScenarioError("done: the dialog has no Done button");
    if (takesInput(button)) PostMessageW(button, BM_CLICK, 0, 0);
});

const Registrar dumpDialog("dump-dialog", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    OpenModal dialog = need(OpenModal::DialogKind, a);
    logLine("dialog " + std::to_string(dialog.templateId) + " " + windowText(dialog.window));
    // The template's controls, in template order (the window order of a dialog's children).
    HWND c = GetWindow(dialog.window, GW_CHILD);
    for (int i = 0; i < dialog.controls && c != NULL; ++i, c = GetWindow(c, GW_HWNDNEXT)) {
        std::wstring kind = controlClass(c);
        int id = GetDlgCtrlID(c) & 0xFFFF;
        std::string line = "control " + std::to_string(id) + " " + scenario::toUtf8(toUtf16(kind)) + " " + windowText(c) +
                           " enabled=" + (IsWindowEnabled(c) ? "1" : "0");
        LONG style = GetWindowLongW(c, GWL_STYLE);
        LONG type = style & BS_TYPEMASK;
        if (kind == L"BUTTON" && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE)) {
            line += std::string(" checked=") + (SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0");
        }
        std::vector<std::string> items;
        if (kind == L"LISTBOX" || kind == L"COMBOBOX") {
            bool list = kind == L"LISTBOX";
            line += " sel=" + std::to_string(static_cast<int>(SendMessageW(c, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0)));
            int count = static_cast<int>(SendMessageW(c, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0));
            for (int k = 0; k < count; ++k) {
                WCHAR text[512] = {0};
                SendMessageW(c, list ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(text));
                items.push_back("  item " + quote(text));
            }
        }
        if (kind == UPDOWN_CLASSW) line += " pos=" + std::to_string(static_cast<int>(SendMessageW(c, UDM_GETPOS32, 0, 0)));
        logLine(line);
        for (const std::string& item : items) logLine(item);
    }
});

// --- Programs and the device ----------------------------------------------------------------

bool gStarted = false;

// `start [N]`: N instances started at the same moment.
const Registrar start("start", [](Args& a, Outcome&) {
    a.expectCount(0, 1);
    const uint64_t count = a.count() == 1 ? a.unsignedNumber(0) : 1;
    if (count < 1 || count > 16) throw ScenarioError("start: 1 to 16 instances at once");
    if (!startProgram(static_cast<int>(count))) throw ScenarioError("start: orvo.exe is not installed");
    gStarted = true;
});

// `taskbar-hooker "NAME" hook|unhook|exit`: another program's procedure on the taskbar.
const Registrar taskbarHookerCommand("taskbar-hooker", [](Args& a, Outcome&) {
    const scenario::HookerCommand c = scenario::readHookerCommand(a);
    scenario::refuseHookerCommand(c, taskbarHooker(fromUtf16(c.name), c.action));
});

const Registrar noTaskbar("no-taskbar", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    if (gStarted) throw ScenarioError("no-taskbar: only before the first start");
    removeTaskbar();
});

const Registrar advance("advance", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    uint64_t ms = a.unsignedNumber(0);
    if (ms > UINT64_MAX - now()) throw ScenarioError("advance: the clock would pass 2^64 ms");
    advanceClock(now() + ms);
});

// A menu that is open when the pen comes down elsewhere closes, and the touch then reaches the
// window under the pen.
bool menuClosed(HMENU menu, DWORD timeoutMs) {
    OpenModal still{OpenModal::PopupMenuKind};
    return waitFor([&] { return !findModal(OpenModal::PopupMenuKind, &still) || still.menu != menu; }, timeoutMs);
}

void waitForMenuToClose(HMENU menu) {
    if (!menuClosed(menu, 5000)) throw std::runtime_error("the menu did not close");
}

const Registrar tap("tap", [](Args& a, Outcome&) {
    scenario::TapCommand t = scenario::tapCommand(a, screenWidth(), screenHeight());
    OpenModal menu{OpenModal::PopupMenuKind};
    bool menuOpen = findModal(OpenModal::PopupMenuKind, &menu);
    if (menuOpen) logEvent("menu-cancel");
    penAt(t.x, t.y);
    if (menuOpen && !menuClosed(menu.menu, 500)) {
        // Without a window manager the system holds no pointer grab for the menu: a touch that
        // opens no other menu leaves it open. The device's pen closes it; so does the runner.
        PostMessageW(menuWindowOf(menu.menu), WM_KEYDOWN, VK_ESCAPE, 0);
        waitForMenuToClose(menu.menu);
    }
});

const Registrar taskbarRepaint("taskbar-repaint", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    repaintTaskbar();
});

const Registrar trayTap("tray-tap", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    // The notification icon is on the taskbar, outside any open menu: the pen closes the menu.
    OpenModal menu{OpenModal::PopupMenuKind};
    if (findModal(OpenModal::PopupMenuKind, &menu)) {
        logEvent("menu-cancel");
        PostMessageW(menuWindowOf(menu.menu), WM_KEYDOWN, VK_ESCAPE, 0);
        waitForMenuToClose(menu.menu);
        settle();
    }
    sendTrayMessage(WM_LBUTTONDOWN);
});

const Registrar trayRestart("tray-restart", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    restartNotificationArea();
});

const Registrar trayMessage("tray-message", [](Args& a, Outcome&) {
    a.expectCount(1, 2);
    if (a.count() == 1) {
        sendTrayMessage(static_cast<LPARAM>(a.dwordValue(0)));
        return;
    }
    int64_t id = a.number(1);
    if (id < 0 || id > 0xFFFFFFFFLL) throw ScenarioError("tray-message: bad icon id");
    UINT iconId = static_cast<UINT>(id);
    sendTrayMessage(static_cast<LPARAM>(a.dwordValue(0)), &iconId);
});

const Registrar taskbarCommand("taskbar-command", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    int64_t id = a.number(0);
    if (id < 0 || id > 0xFFFF) throw ScenarioError("taskbar-command: an id is 0 to 65535");
    sendTaskbarCommand(static_cast<WORD>(id));
});

const Registrar sendClose("send-close", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    HWND main = programMainWindow();
    if (main != NULL) PostMessageW(main, WM_CLOSE, 0, 0);
});

const Registrar reset("reset", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    requestReset();
});

const Registrar screen("screen", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    // The X server's screen has one size for the whole run (the suite starts one of the size a
    // scenario begins with); setting that size repaints the taskbar, as a rotation does.
    if (a.number(0) != screenWidth() || a.number(1) != screenHeight()) notOnRealSystem(a);
    repaintTaskbar();
});

const Registrar battery("battery", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    std::lock_guard<std::recursive_mutex> hold(deviceLock());
    device().batteryPercent = a.byteValue(0);
    device().batteryFlag = a.byteValue(1);
});

const Registrar memory("memory", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    std::lock_guard<std::recursive_mutex> hold(deviceLock());
    device().memoryAvailable = a.dwordValue(0);
    device().memoryTotal = a.dwordValue(1);
});

const Registrar storage("storage", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    std::lock_guard<std::recursive_mutex> hold(deviceLock());
    device().storageFree = a.dwordValue(0);
    device().storageTotal = a.dwordValue(1);
});

const Registrar card("card", [](Args& a, Outcome&) {
    a.expectCount(3, 3);
    std::u16string cardName = a.fileName(0);
    std::wstring name = fromUtf16(cardName);
    std::lock_guard<std::recursive_mutex> hold(deviceLock());
    auto& cards = device().cards;
    // A card mounts as a root folder of its own: it cannot take the place of one the device has.
    bool isCard = false;
    for (const Card& c : cards) isCard = isCard || _wcsicmp(c.name.c_str(), name.c_str()) == 0;
    if (!isCard && GetFileAttributesW(devicePath(cardName).c_str()) != INVALID_FILE_ATTRIBUTES) {
        throw ScenarioError("card: " + scenario::quote(cardName) + " is already a root entry that is no card");
    }
    CreateDirectoryW(devicePath(cardName).c_str(), NULL);
    for (auto it = cards.begin(); it != cards.end();) it = _wcsicmp(it->name.c_str(), name.c_str()) == 0 ? cards.erase(it) : it + 1;
    cards.push_back(Card{name, a.unsignedNumber(1), a.unsignedNumber(2)});
});

void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(child);
            else DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

const Registrar eject("eject", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::wstring name = fromUtf16(a.fileName(0));
    std::lock_guard<std::recursive_mutex> hold(deviceLock());
    auto& cards = device().cards;
    bool found = false;
    for (auto it = cards.begin(); it != cards.end();) {
        if (_wcsicmp(it->name.c_str(), name.c_str()) == 0) {
            it = cards.erase(it);
            found = true;
        } else {
            ++it;
        }
    }
    if (!found) throw ScenarioError("eject: no card of that name");
    removeTree(devicePath(a.string(0)));
});

const Registrar rootentry("rootentry", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    DWORD attributes = a.dwordValue(1);
    std::wstring path = devicePath(a.fileName(0));
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        CreateDirectoryW(path.c_str(), NULL);
    } else {
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
    std::lock_guard<std::recursive_mutex> hold(deviceLock());
    device().rootAttributes.emplace_back(fromUtf16(a.string(0)), attributes);
});

const Registrar window("window", [](Args& a, Outcome&) {
    scenario::WindowCommand w = scenario::windowCommand(a);
    createOtherWindow(fromUtf16(w.title), fromUtf16(w.className), w.hidden, w.ignoresClose);
});

const Registrar windowExit("window-exit", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    if (!endOtherWindow(fromUtf16(a.string(0)))) {
        throw ScenarioError("window-exit: no other program's window " + scenario::quote(a.string(0)));
    }
});

HKEY rootKey(const std::string& name) {
    if (name == "HKCU") return HKEY_CURRENT_USER;
    if (name == "HKLM") return HKEY_LOCAL_MACHINE;
    throw ScenarioError("registry root must be HKCU or HKLM, not " + name);
}

const Registrar registryCommand("registry", [](Args& a, Outcome&) {
    a.expectCount(5, 5);
    HKEY root = rootKey(a.word(0));
    std::wstring key = fromUtf16(a.string(1));
    std::wstring name = fromUtf16(a.string(2));
    scenario::RegistryValue value = scenario::registryValue(a, 3);
    HKEY k;
    if (RegCreateKeyExW(root, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &k, NULL) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot write the registry");
    }
    RegSetValueExW(k, name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
    RegCloseKey(k);
});

const Registrar registryDelete("registry-delete", [](Args& a, Outcome&) {
    a.expectCount(2, 3);
    HKEY root = rootKey(a.word(0));
    std::wstring key = fromUtf16(a.string(1));
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
        throw ScenarioError("registry-delete: no key " + scenario::quote(a.string(1)));
    }
    RegCloseKey(k);
    if (a.count() == 3) {
        if (RegDeleteKeyValueW(root, key.c_str(), fromUtf16(a.string(2)).c_str()) != ERROR_SUCCESS) {
            throw ScenarioError("registry-delete: no value " + scenario::quote(a.string(2)) + " in " + scenario::quote(a.string(1)));
        }
    } else {
        RegDeleteTreeW(root, key.c_str());
        RegDeleteKeyW(root, key.c_str());
    }
});

void writeDeviceFile(const std::u16string& path, const std::vector<uint8_t>& bytes) {
    std::wstring full = devicePath(path);
    for (size_t at = full.find(L'\\', 3); at != std::wstring::npos; at = full.find(L'\\', at + 1)) {
        CreateDirectoryW(full.substr(0, at).c_str(), NULL);
    }
    HANDLE f = CreateFileW(full.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) throw ScenarioError("file: cannot make " + scenario::toUtf8(path));
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(f);
}

const Registrar file("file", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    writeDeviceFile(a.filePath(0), a.hexBytes(1));
});

const Registrar fileDelete("file-delete", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::u16string path = a.filePath(0);
    DWORD attributes = GetFileAttributesW(devicePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw ScenarioError("file-delete: no file " + scenario::quote(path));
    }
    if (!DeleteFileW(devicePath(path).c_str())) throw ScenarioError("file-delete: " + scenario::quote(path) + " is open");
});

const Registrar settingsFile("settings-file", [](Args& a, Outcome&) {
    writeDeviceFile(scenario::kSettingsFilePath, scenario::settingsFileImage(a));
});

const Registrar displayOff("display-off-support", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::string v = a.word(0);
    if (v != "yes" && v != "no") throw ScenarioError("display-off-support: yes or no");
    std::lock_guard<std::recursive_mutex> hold(deviceLock());
    device().displayOffSupport = v == "yes";
});

// Injected faults and the traffic counter belong to the simulated device.
const Registrar fail("fail", [](Args& a, Outcome&) { notOnRealSystem(a); });
const Registrar traffic("traffic", [](Args& a, Outcome&) { notOnRealSystem(a); });
const Registrar calls("calls", [](Args& a, Outcome&) { notOnRealSystem(a); });

// `cpu-time`: the processor time the runner's process has used so far (the program's threads,
// the stand-in device's and the runner's own), in milliseconds, for the benchmark.
const Registrar cpuTime("cpu-time", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto ms = [](const FILETIME& f) {
        return ((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000;
    };
    logLine("cpu-time " + std::to_string(ms(kernel) + ms(user)));
});
const Registrar screenshot("screenshot", [](Args& a, Outcome&) { takeScreenshot(a); });

// --- Observation ------------------------------------------------------------------------------

std::string rgb(COLORREF c) { return scenario::pixelText(GetRValue(c), GetGValue(c), GetBValue(c)); }

std::vector<COLORREF> screenBlock(const scenario::PixelsCommand& p) {
    return readScreen(p.x, p.y, p.width, p.height);
}

// `mark-pixels X Y W H`, for `expect pixels-unchanged` and `expect pixels-changed`.
scenario::PixelsCommand gPixelMarkWhere;
std::vector<COLORREF> gPixelMark;
bool gPixelMarked = false;

const Registrar markPixels("mark-pixels", [](Args& a, Outcome&) {
    gPixelMarkWhere = scenario::pixelsCommand(a);
    gPixelMark = screenBlock(gPixelMarkWhere);
    gPixelMarked = true;
});

const Registrar pixels("pixels", [](Args& a, Outcome&) {
    scenario::PixelsCommand p = scenario::pixelsCommand(a);
    logLine(p.header);
    std::vector<COLORREF> block = screenBlock(p);
    for (int r = 0; r < p.height; ++r) {
        std::string row;
        for (int c = 0; c < p.width; ++c) row += (c ? " " : "") + rgb(block[static_cast<size_t>(r) * p.width + c]);
        logLine(row);
    }
});

bool readDeviceFile(const std::u16string& path, std::vector<uint8_t>* bytes) {
    HANDLE f = CreateFileW(devicePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool isFile = GetFileInformationByHandle(f, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (isFile) {
        bytes->resize(info.nFileSizeLow);
        DWORD read = 0;
        if (!bytes->empty()) ReadFile(f, bytes->data(), static_cast<DWORD>(bytes->size()), &read, NULL);
        bytes->resize(read);
    }
    CloseHandle(f);
    return isFile;
}

const Registrar dumpFile("dump-file", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::u16string path = a.string(0);
    std::vector<uint8_t> bytes;
    bool isFile = readDeviceFile(path, &bytes);
    for (const std::string& line : scenario::fileDump(path, isFile ? &bytes : nullptr)) logLine(line);
});

// --- Resources, as the real system decodes them ------------------------------------------------

HMODULE programImage() {
    static HMODULE image = NULL;
    if (image == NULL) {
        WCHAR path[MAX_PATH];
        DWORD n = GetModuleFileNameW(NULL, path, MAX_PATH);
        std::wstring p(path, n);
        image = LoadLibraryW((p.substr(0, p.find_last_of(L'\\') + 1) + L"orvo_program.dll").c_str());
        if (image == NULL) throw std::runtime_error("cannot load the program image");
    }
    return image;
}

// A bitmap's pixels, top row first, from the system's own conversion to 32 bits per pixel.
std::vector<std::string> bitmapRows(HBITMAP bitmap, int width, int height) {
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    BITMAPINFO info = topDownPixels(width, height);
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            DWORD p = pixels[static_cast<size_t>(y) * width + x];
            row += (x ? " " : "") + scenario::pixelText(static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                                         static_cast<uint8_t>(p));
        }
        rows.push_back(row);
    }
    return rows;
}

void printBitmapResource(int id) {
    HBITMAP bitmap = LoadBitmapW(programImage(), MAKEINTRESOURCEW(id));
    BITMAP info = {};
    if (bitmap == NULL || !GetObjectW(bitmap, sizeof info, &info)) {
        logLine("bitmap " + std::to_string(id) + " missing");
        return;
    }
    logLine("bitmap " + std::to_string(id) + " " + std::to_string(info.bmWidth) + " " + std::to_string(info.bmHeight));
    for (const std::string& row : bitmapRows(bitmap, info.bmWidth, info.bmHeight)) logLine(row);
    DeleteObject(bitmap);
}

// The group's image the system itself picks for a 32-pixel icon, at its own size.
void printIconResource(int id) {
    HMODULE image = programImage();
    HRSRC group = FindResourceW(image, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    HICON icon = NULL;
    if (group != NULL) {
        auto* directory = static_cast<BYTE*>(LockResource(LoadResource(image, group)));
        int entry = directory ? LookupIconIdFromDirectoryEx(directory, TRUE, 32, 32, LR_DEFAULTCOLOR) : 0;
        HRSRC found = entry ? FindResourceW(image, MAKEINTRESOURCEW(entry), RT_ICON) : NULL;
        if (found != NULL) {
            auto* bits = static_cast<BYTE*>(LockResource(LoadResource(image, found)));
            icon = CreateIconFromResourceEx(bits, SizeofResource(image, found), TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
        }
    }
    ICONINFO parts = {};
    BITMAP colour = {};
    if (icon == NULL || !GetIconInfo(icon, &parts) || !GetObjectW(parts.hbmColor, sizeof colour, &colour)) {
        logLine("icon " + std::to_string(id) + " missing");
        if (icon) DestroyIcon(icon);
        return;
    }
    logLine("icon " + std::to_string(id) + " " + std::to_string(colour.bmWidth) + " " + std::to_string(colour.bmHeight));
    for (const std::string& row : bitmapRows(parts.hbmMask, colour.bmWidth, colour.bmHeight)) logLine(row);
    for (const std::string& row : bitmapRows(parts.hbmColor, colour.bmWidth, colour.bmHeight)) logLine(row);
    DeleteObject(parts.hbmMask);
    DeleteObject(parts.hbmColor);
    DestroyIcon(icon);
}

const Registrar resource("resource", [](Args& a, Outcome&) {
    scenario::ResourceCommand r = scenario::resourceCommand(a);
    if (r.icon) {
        printIconResource(r.id);
    } else {
        printBitmapResource(r.id);
    }
});

// Windows the window system makes for its own purposes (input method, tooltips, the pop-ups of
// menus and drop-down lists) are not windows of the device's programs.
bool isHelperWindow(HWND window) {
    std::wstring name = className(window);
    for (const WCHAR* helper : {L"IME", L"#32768", L"tooltips_class32", L"ComboLBox"}) {
        if (name == helper) return true;
    }
    return false;
}

BOOL CALLBACK listWindow(HWND window, LPARAM) {
    if (isDeviceWindow(window) && !isHelperWindow(window)) {
        logLine("window " + windowText(window) + " " + quote(className(window)) + (IsWindowVisible(window) ? " visible" : " hidden"));
    }
    return TRUE;
}

const Registrar dumpWindows("dump-windows", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    EnumWindows(listWindow, 0);
});

// The notification area's copy of the program's icon, printed as `resource icon` prints an icon.
const Registrar trayIcon("tray-icon", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    UINT id = 0;
    TrayImage image;
    if (!trayIconImage(&id, &image)) {
        logLine("tray-icon missing");
        return;
    }
    if (!image.present) {
        logLine("tray-icon " + std::to_string(id) + " none");
        return;
    }
    logLine("tray-icon " + std::to_string(id) + " " + std::to_string(image.width) + " " + std::to_string(image.height));
    for (const std::vector<DWORD>* pixels : {&image.mask, &image.colour}) {
        for (int y = 0; y < image.height; ++y) {
            std::string row;
            for (int x = 0; x < image.width; ++x) {
                DWORD p = (*pixels)[static_cast<size_t>(y) * image.width + x];
                row += (x ? " " : "") + scenario::pixelText(static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                                             static_cast<uint8_t>(p));
            }
            logLine(row);
        }
    }
});

GuiResources gMark;
bool gMarked = false;

// `found` is what the log line of a failure shows; the runner reports both on standard error.
void check(Outcome& o, bool ok, const std::string& found, const Args& a) {
    if (ok) return;
    o.expectFailed = true;
    logLine("expect failed: " + found);
    std::string expected;
    for (size_t i = 0; i < a.count(); ++i) {
        expected += (i ? " " : "") + (a.isString(i) ? scenario::quote(a.string(i)) : a.word(i));
    }
    o.failures.push_back("expected " + expected + ", found " + found);
}

// --- Expectations from rules: the taskbar and the menus ---------------------------------------

std::vector<uint32_t> runnerColours(const std::vector<DWORD>& rgb) {
    std::vector<uint32_t> out;
    for (DWORD v : rgb) out.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    return out;
}

std::vector<DWORD> bitmapPixels(HBITMAP bitmap, int width, int height) {
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    BITMAPINFO info = topDownPixels(width, height);
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    return pixels;
}

// A bitmap of the program's image, as the system's loader decodes it.
expectedTaskbar::Picture imageBitmap(int id) {
    expectedTaskbar::Picture p;
    HBITMAP bitmap = LoadBitmapW(programImage(), MAKEINTRESOURCEW(id));
    BITMAP info = {};
    if (bitmap != NULL && GetObjectW(bitmap, sizeof info, &info)) {
        p.width = info.bmWidth;
        p.height = info.bmHeight;
        p.pixels = runnerColours(bitmapPixels(bitmap, p.width, p.height));
    }
    if (bitmap != NULL) DeleteObject(bitmap);
    return p;
}

// An icon of the program's image at one size, as the system's loader decodes it.
expectedTaskbar::Icon imageIcon(int id, int size) {
    HICON loaded = static_cast<HICON>(LoadImageW(programImage(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
    ICONINFO parts = {};
    if (loaded == NULL || !GetIconInfo(loaded, &parts)) {
        if (loaded) DestroyIcon(loaded);
        throw ScenarioError("expect: icon " + std::to_string(id) + " does not load");
    }
    expectedTaskbar::Icon icon{size, runnerColours(bitmapPixels(parts.hbmMask, size, size)),
                               runnerColours(bitmapPixels(parts.hbmColor, size, size))};
    DeleteObject(parts.hbmMask);
    DeleteObject(parts.hbmColor);
    DestroyIcon(loaded);
    return icon;
}

// The taskbar as the rule says, on the real screen against the stand-in shell's painting.
void checkTaskbar(Outcome& o, const Args& a, const expectedTaskbar::Icon* icon, int x, int y) {
    if (!hasTaskbar()) throw ScenarioError("expect " + a.word(0) + ": the device has no taskbar");
    const int width = screenWidth(), height = taskbarHeight();
    const std::vector<COLORREF> screen = readScreen(0, 0, width, height);
    std::string difference = expectedTaskbar::compare(
        width, height, [&](int c, int r) { return static_cast<uint32_t>(screen[static_cast<size_t>(r) * width + c]); },
        [](int c, int r) { return static_cast<uint32_t>(taskbarAsPainted(c, r)); }, icon, x, y);
    check(o, difference.empty(), difference, a);
}

void checkMenu(Outcome& o, const Args& a, const std::vector<std::string>& expected) {
    std::vector<std::string> found;
    if (!lastMenuLines(&found)) {
        check(o, false, "no menu opened", a);
        return;
    }
    std::string difference = expectedMenus::firstDifference(found, expected);
    check(o, difference.empty(), difference, a);
}

// `expect indicator|status-icon|taskbar-as-painted|tray-icon|main-menu|task-menu`; false for
// another check.
bool ruleCheck(const std::string& what, Args& a, Outcome& o) {
    if (what == "taskbar-as-painted") {
        a.expectCount(1, 1);
        checkTaskbar(o, a, nullptr, 0, 0);
    } else if (what == "indicator") {
        scenario::IconExpectation e = scenario::iconExpectation(a, true);
        int kind = expectedTaskbar::kindByName(e.name);
        if (kind < 0) throw ScenarioError("expect indicator: battery, program-memory, main-storage or storage-card");
        expectedTaskbar::Icon icon = expectedTaskbar::numberIcon(kind, e.value, e.large, imageBitmap);
        if (icon.size == 0) throw ScenarioError("expect indicator: the kind's images do not load");
        checkTaskbar(o, a, &icon, e.x, e.y);
    } else if (what == "status-icon") {
        scenario::IconExpectation e = scenario::iconExpectation(a, false);
        int small = 0, large = 0;
        if (!expectedTaskbar::statusIconIds(e.name, &small, &large)) {
            throw ScenarioError("expect status-icon: charging, battery-unknown or no-card");
        }
        expectedTaskbar::Icon icon = imageIcon(e.large ? large : small, e.large ? 32 : 16);
        checkTaskbar(o, a, &icon, e.x, e.y);
    } else if (what == "tray-icon") {
        scenario::TrayIconExpectation e = scenario::trayIconExpectation(a);
        const int size = e.large ? 32 : 16;
        expectedTaskbar::Icon icon;
        if (e.form == scenario::TrayIconExpectation::Number) {
            int kind = expectedTaskbar::kindByName(e.name);
            if (kind < 0) throw ScenarioError("expect tray-icon: battery, program-memory, main-storage or storage-card");
            icon = expectedTaskbar::numberIcon(kind, e.value, e.large, imageBitmap);
        } else {
            int id = e.value, small = 0, large = 0;
            if (e.form == scenario::TrayIconExpectation::Status) {
                if (!expectedTaskbar::statusIconIds(e.name, &small, &large)) {
                    throw ScenarioError("expect tray-icon status: charging, battery-unknown or no-card");
                }
                id = e.large ? large : small;
            }
            icon = imageIcon(id, size);
        }
        if (e.in != 0) icon = expectedTaskbar::centredIcon(icon, e.in);
        UINT trayId = 0;
        TrayImage image;
        if (!trayIconImage(&trayId, &image)) {
            check(o, false, "no notification icon", a);
        } else if (!image.present) {
            check(o, false, "a notification icon without an image", a);
        } else {
            std::string difference = expectedTaskbar::compareIcon(image.width, image.height, runnerColours(image.mask),
                                                                  runnerColours(image.colour), icon);
            check(o, difference.empty(), difference, a);
        }
    } else if (what == "main-menu") {
        a.expectCount(1, 1);
        checkMenu(o, a, expectedMenus::mainMenu());
    } else if (what == "task-menu") {
        std::vector<std::string> titles;
        for (size_t i = 1; i < a.count(); ++i) titles.push_back(scenario::quote(a.string(i)));
        checkMenu(o, a, expectedMenus::taskMenu(titles));
    } else {
        return false;
    }
    return true;
}

// The process's GDI and user objects, counted now and compared later: what a long run of the
// real program holds must not grow.
const Registrar guiResources("gui-resources", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    if (a.word(0) != "mark") throw ScenarioError("gui-resources: mark");
    gMark = countGuiResources();
    gMarked = true;
});

const Registrar expect("expect", [](Args& a, Outcome& o) {
    if (a.count() < 1) throw ScenarioError("expect: what to check?");
    std::string what = a.word(0);
    if (what == "running") {
        a.expectCount(2, 2);
        if (a.word(1) != "yes" && a.word(1) != "no") throw ScenarioError("expect running: yes or no");
        bool running = programMainWindow() != NULL;
        check(o, running == (a.word(1) == "yes"), std::string("running ") + (running ? "yes" : "no"), a);
    } else if (what == "instances") {
        a.expectCount(2, 2);
        const int n = runningInstances();
        check(o, static_cast<uint64_t>(n) == a.unsignedNumber(1), "instances " + std::to_string(n), a);
    } else if (what == "taskbar-procedure") {
        a.expectCount(2, 2);
        const std::string wanted = a.isString(1) ? scenario::quote(a.string(1)) : a.word(1);
        const std::string owner = taskbarProcedureOwner();
        check(o, owner == wanted, "taskbar-procedure " + owner, a);
    } else if (what == "file-size") {
        a.expectCount(3, 3);
        std::vector<uint8_t> bytes;
        int64_t size = readDeviceFile(a.string(1), &bytes) ? static_cast<int64_t>(bytes.size()) : -1;
        check(o, size == a.number(2), "file-size " + std::to_string(size), a);
    } else if (what == "gui-resources-unchanged") {
        a.expectCount(1, 1);
        if (!gMarked) throw ScenarioError("expect gui-resources-unchanged: no gui-resources mark before");
        GuiResources n = countGuiResources();
        check(o, n.gdi == gMark.gdi && n.user == gMark.user,
              "gui-resources gdi " + std::to_string(gMark.gdi) + " -> " + std::to_string(n.gdi) + ", user " +
                  std::to_string(gMark.user) + " -> " + std::to_string(n.user) + " (" + n.how + ")", a);
    } else if (what == "pixels-unchanged" || what == "pixels-changed") {
        a.expectCount(1, 1);
        if (!gPixelMarked) throw ScenarioError("expect " + what + ": no mark-pixels before");
        bool same = screenBlock(gPixelMarkWhere) == gPixelMark;
        check(o, same == (what == "pixels-unchanged"), std::string(same ? "pixels unchanged" : "pixels changed") + " since the mark", a);
    } else if (what == "menus") {
        a.expectCount(2, 2);
        long n = liveMenus();
        check(o, n == static_cast<long>(a.unsignedNumber(1)), "menus " + std::to_string(n), a);
    } else if (what == "taskbar-messages") {
        a.expectCount(3, 3);
        int64_t message = a.number(1);
        if (message < 0 || message > 0xFFFFFFFFLL) throw ScenarioError("expect taskbar-messages: bad message");
        size_t n = taskbarOwnMessages(static_cast<UINT>(message));
        check(o, n == a.unsignedNumber(2), "taskbar-messages " + scenario::hex(static_cast<uint64_t>(message)) + " " +
                                               std::to_string(n), a);
    } else if (what == "gdi-objects" || what == "icons" || what == "device-contexts" || what == "exit-leftovers" ||
               what == "dialog-fits") {
        notOnRealSystem(a);
    } else if (!ruleCheck(what, a, o)) {
        throw ScenarioError("expect: unknown check " + what);
    }
});

}  // namespace

const Command* findCommand(const std::string& name) {
    auto it = table().find(name);
    return it == table().end() ? nullptr : &it->second;
}

}  // namespace e2e
