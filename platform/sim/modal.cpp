#include "modal.h"

#include <algorithm>
#include <map>
#include <memory>

#include "screen/message_box_view.h"
#include "sim_api.h"
#include "window_manager.h"
#include "world.h"

namespace sim {
namespace {

std::map<uintptr_t, std::unique_ptr<Menu>> gMenus;
uintptr_t gNextMenu = 0x300000;
std::vector<OpenModal*> gModals;

// The entry lines of the last menu that opened, as logged, for the scenarios' menu checks.
std::vector<std::string> gLastMenuLines;
bool gMenuOpened = false;

void logEntry(const std::string& line) {
    logLine(line);
    gLastMenuLines.push_back(line);
}

void logEntries(const Menu& menu, int depth) {
    std::string indent(static_cast<size_t>(2 * depth), ' ');
    for (const MenuItem& item : menu.items) {
        if (item.flags & MF_SEPARATOR) {
            logEntry(indent + "separator");
        } else if (item.flags & MF_POPUP) {
            logEntry(indent + "popup " + quote(item.text));
            if (const Menu* sub = findMenu(item.submenu)) logEntries(*sub, depth + 1);
        } else {
            logEntry(indent + "item " + std::to_string(item.id) + " " + quote(item.text));
        }
    }
}

bool containsId(const Menu& menu, UINT_PTR id) {
    for (const MenuItem& item : menu.items) {
        if (item.flags & MF_SEPARATOR) continue;
        if (item.flags & MF_POPUP) {
            if (const Menu* sub = findMenu(item.submenu); sub && containsId(*sub, id)) return true;
        } else if (item.id == id) {
            return true;
        }
    }
    return false;
}

void destroyMenu(HMENU handle) {
    auto it = gMenus.find(reinterpret_cast<uintptr_t>(handle));
    if (it == gMenus.end()) return;
    std::unique_ptr<Menu> menu = std::move(it->second);
    gMenus.erase(it);
    for (const MenuItem& item : menu->items) {
        if (item.flags & MF_POPUP) destroyMenu(item.submenu);
    }
}

}  // namespace

Menu* findMenu(HMENU menu) {
    auto it = gMenus.find(reinterpret_cast<uintptr_t>(menu));
    return it == gMenus.end() ? nullptr : it->second.get();
}

size_t liveMenus() { return gMenus.size(); }

size_t releaseProcessMenus(Process* process) {
    size_t held = 0;
    for (auto it = gMenus.begin(); it != gMenus.end();) {
        if (it->second->owner == process) {
            ++held;
            it = gMenus.erase(it);
        } else {
            ++it;
        }
    }
    return held;
}

OpenModal* openModal(OpenModal::Kind kind) {
    for (auto it = gModals.rbegin(); it != gModals.rend(); ++it) {
        if ((*it)->kind == kind && !(*it)->closed) return *it;
    }
    return nullptr;
}

const std::vector<OpenModal*>& openModals() { return gModals; }

void pushModal(OpenModal* modal) { gModals.push_back(modal); }

void popModal(OpenModal* modal) { gModals.erase(std::remove(gModals.begin(), gModals.end(), modal), gModals.end()); }

const std::vector<std::string>* lastMenuLines() { return gMenuOpened ? &gLastMenuLines : nullptr; }

void resetModals() {
    gModals.clear();
    gMenus.clear();
}

std::string ownerName(HWND owner) {
    Window* w = findWindowObject(owner);
    if (w == nullptr) return "none";
    if (w->extra && w->className == u"#32770") return "Dialog";
    return toUtf8(w->className);
}

void runModalLoop(OpenModal& modal) {
    Thread* self = currentThread();
    self->modalDepth++;
    MSG msg;
    while (nextMessage(&msg, [&modal] { return modal.closed; })) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        // While a menu tracks, the pen belongs to it.
        if (modal.kind == OpenModal::PopupMenu && msg.message >= WM_MOUSEMOVE && msg.message <= WM_RBUTTONUP) continue;
        DispatchMessageW(&msg);
    }
    self->modalDepth--;
}

bool chooseMenuItem(OpenModal& modal, UINT_PTR id) {
    Menu* menu = findMenu(modal.menu);
    if (menu == nullptr || !containsId(*menu, id)) return false;
    logEvent("menu-choice " + std::to_string(id));
    modal.result = static_cast<INT_PTR>(id);
    modal.closed = true;
    return true;
}

bool chooseMenuPath(OpenModal& modal, const std::vector<std::u16string>& texts, UINT_PTR* id) {
    Menu* menu = findMenu(modal.menu);
    for (size_t depth = 0; menu && depth < texts.size(); ++depth) {
        const MenuItem* found = nullptr;
        for (const MenuItem& item : menu->items) {
            if (!(item.flags & MF_SEPARATOR) && item.text == texts[depth]) {
                found = &item;
                break;
            }
        }
        if (found == nullptr) return false;
        if (depth + 1 == texts.size()) {
            if (found->flags & MF_POPUP) return false;
            *id = found->id;
            return chooseMenuItem(modal, found->id);
        }
        if (!(found->flags & MF_POPUP)) return false;
        menu = findMenu(found->submenu);
    }
    return false;
}

void cancelMenu(OpenModal& modal) {
    logEvent("menu-cancel");
    modal.result = 0;
    modal.closed = true;
}

bool answerMessageBox(OpenModal& box, int answer) {
    bool yesNo = (box.style & 0xF) == MB_YESNO;
    bool fits = yesNo ? (answer == IDYES || answer == IDNO) : answer == IDOK;
    if (!fits) return false;
    logEvent(std::string("messagebox-answer ") + (answer == IDYES ? "IDYES" : answer == IDNO ? "IDNO" : "IDOK"));
    box.result = answer;
    box.closed = true;
    return true;
}

}  // namespace sim

using namespace sim;

HMENU CreatePopupMenu() {
    if (shouldFail(Op::CreatePopupMenu)) return nullptr;
    HMENU h = reinterpret_cast<HMENU>(gNextMenu);
    gNextMenu += 4;
    auto menu = std::make_unique<Menu>();
    menu->owner = currentProcess();
    gMenus[reinterpret_cast<uintptr_t>(h)] = std::move(menu);
    return h;
}

BOOL AppendMenuW(HMENU handle, UINT flags, UINT_PTR id, LPCWSTR text) {
    Menu* menu = findMenu(handle);
    if (shouldFail(Op::AppendMenuW) || menu == nullptr) return FALSE;
    MenuItem item;
    item.flags = flags;
    if (flags & MF_POPUP) {
        item.submenu = reinterpret_cast<HMENU>(id);
        Menu* sub = findMenu(item.submenu);
        if (sub == nullptr) return FALSE;
        sub->attached = true;
    } else {
        item.id = id;
    }
    if (!(flags & MF_SEPARATOR) && text) item.text = text;
    menu->items.push_back(item);
    return TRUE;
}

BOOL DestroyMenu(HMENU handle) {
    if (findMenu(handle) == nullptr) return FALSE;
    destroyMenu(handle);
    return TRUE;
}

BOOL TrackPopupMenuEx(HMENU handle, UINT flags, int x, int y, HWND owner, LPVOID) {
    Menu* menu = findMenu(handle);
    if (shouldFail(Op::TrackPopupMenuEx) || menu == nullptr || findWindowObject(owner) == nullptr ||
        currentThread() == nullptr) {
        return FALSE;
    }
    // The owner may still change the menu before it shows.
    sendMessageInternal(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(handle), MAKELPARAM(0, FALSE));
    menu = findMenu(handle);
    if (menu == nullptr || findWindowObject(owner) == nullptr) return FALSE;
    logEvent("menu-open " + std::to_string(x) + " " + std::to_string(y) + " " + ownerName(owner));
    gLastMenuLines.clear();
    gMenuOpened = true;
    logEntries(*menu, 1);
    OpenModal modal{OpenModal::PopupMenu};
    modal.menu = handle;
    modal.x = x;
    modal.y = y;
    modal.flags = flags;
    pushModal(&modal);
    try {
        runModalLoop(modal);
    } catch (...) {
        popModal(&modal);
        throw;
    }
    popModal(&modal);
    if (modal.result == 0) return FALSE;
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(modal.result);
    // The choice reaches the owner afterwards as a command message.
    postMessageInternal(owner, WM_COMMAND, static_cast<WPARAM>(modal.result), 0);
    return TRUE;
}

namespace {
LRESULT CALLBACK messageBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) return 0;  // a box ends only through its buttons
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    if (shouldFail(Op::MessageBoxW) || currentThread() == nullptr) return 0;
    logEvent("messagebox " + ownerName(owner) + " " + hex(style) + " " + quote(caption) + " " + quote(text));
    OpenModal modal{OpenModal::MessageBox};
    modal.style = style;
    modal.caption = caption ? caption : u"";
    modal.text = text ? text : u"";
    // The box is a top-level window of the calling thread, at the top, and the active one while
    // it is open, as on the platform.
    modal.box = createNativeWindow(currentThread(), u"#32770", modal.caption, messageBoxProc,
                                   WS_POPUP | WS_VISIBLE | WS_CAPTION, screen::layoutMessageBox(modal).box);
    activateWindow(modal.box);
    auto removeBox = [&modal] {
        if (findWindowObject(modal.box)) removeWindow(modal.box);
    };
    // The owner takes no input while its box is open, as on the platform.
    Window* ownerWindow = findWindowObject(owner);
    bool disabledOwner = ownerWindow != nullptr && ownerWindow->enabled;
    if (disabledOwner) ownerWindow->enabled = false;
    auto enableOwner = [owner, disabledOwner] {
        if (Window* w = findWindowObject(owner); w && disabledOwner) w->enabled = true;
    };
    pushModal(&modal);
    try {
        runModalLoop(modal);
    } catch (...) {
        popModal(&modal);
        enableOwner();
        removeBox();
        throw;
    }
    popModal(&modal);
    enableOwner();
    removeBox();
    return static_cast<int>(modal.result);
}
