// The process's GDI and user objects. Where the system answers GetGuiResources, that is the
// count; Wine does not implement it (it answers 0), so there the runner counts the live handles
// itself: every GDI handle the process's table answers for, and every window and menu of the
// process. An icon holds GDI bitmaps, so a lost icon shows in the GDI count.
#include "tests/e2e/harness/harness.h"

namespace e2e {

GuiResources countGuiResources() {
    GuiResources r;
    r.gdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    r.user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    if (r.gdi > 0 && r.user > 0) {
        r.how = "GetGuiResources";
        return r;
    }
    r.how = "handle tables";
    r.gdi = 0;
    r.user = 0;
    // A handle whose high word is 0 stands for any generation of its slot.
    for (uintptr_t slot = 1; slot < 0x10000; ++slot) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++r.gdi;
    }
    const DWORD self = GetCurrentProcessId();
    for (uintptr_t slot = 0; slot < 0x8000; ++slot) {
        uintptr_t handle = 0x20 + (slot << 1);
        HWND window = reinterpret_cast<HWND>(handle);
        DWORD owner = 0;
        if (IsWindow(window)) {
            GetWindowThreadProcessId(window, &owner);
            if (owner == self) ++r.user;
        } else if (IsMenu(reinterpret_cast<HMENU>(handle))) {
            ++r.user;
        }
    }
    return r;
}

long liveMenus() {
    long menus = 0;
    for (uintptr_t slot = 0; slot < 0x8000; ++slot) {
        if (IsMenu(reinterpret_cast<HMENU>(0x20 + (slot << 1)))) ++menus;
    }
    return menus;
}

}  // namespace e2e
