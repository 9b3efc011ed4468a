// The event log: lines in the simulator's format, stamped with the device's clock. Device threads
// log too (the seam's operations run on them), so every line is written under one lock.
#include <cstdio>

#include "tests/e2e/harness/harness.h"

namespace e2e {
namespace {

std::mutex gLogLock;
std::atomic<uint64_t> gClock{0};

void writeLine(const std::string& line) {
    std::lock_guard<std::mutex> hold(gLogLock);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

uint64_t now() { return gClock.load(); }
void setNow(uint64_t ms) { gClock.store(ms); }

void logEvent(const std::string& event) { writeLine(std::to_string(now()) + " " + event); }
void logLine(const std::string& line) { writeLine(line); }

std::u16string toUtf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring fromUtf16(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::string quote(const WCHAR* text) { return scenario::quote(toUtf16(text ? std::wstring(text) : std::wstring())); }
std::string quote(const std::wstring& text) { return scenario::quote(toUtf16(text)); }

std::string windowText(HWND window) {
    WCHAR text[512] = {0};
    GetWindowTextW(window, text, 512);
    return quote(text);
}

std::wstring className(HWND window) {
    WCHAR name[256] = {0};
    GetClassNameW(window, name, 256);
    return name;
}

std::string ownerName(HWND owner) {
    if (owner == NULL || !IsWindow(owner)) return "none";
    std::wstring name = className(owner);
    if (name == L"#32770") return "Dialog";
    return scenario::toUtf8(toUtf16(name));
}

MenuItem menuItem(HMENU menu, int position) {
    WCHAR text[300] = {0};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 300;
    MenuItem item;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) return item;
    item.separator = (info.fType & MFT_SEPARATOR) != 0;
    item.id = info.wID;
    item.submenu = info.hSubMenu;
    item.text = text;
    return item;
}

bool takesInput(HWND window) {
    for (HWND w = window; w != NULL; w = GetAncestor(w, GA_PARENT)) {
        if (w == GetDesktopWindow()) break;
        if (!IsWindowEnabled(w)) return false;
    }
    return window != NULL;
}

}  // namespace e2e
