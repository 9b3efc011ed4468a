#include "dialogs.h"

#include <algorithm>

#include "device.h"
#include "resources.h"
#include "sim_api.h"
#include "wide_strings.h"
#include "screen/dialog_view.h"

namespace sim {
namespace {

const std::u16string kDialogClass = u"#32770";
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD CBN_SELCHANGE = 1;

std::u16string decimal(int v) {
    std::u16string s;
    for (char c : std::to_string(v)) s += static_cast<char16_t>(c);
    return s;
}

int copyOut(const std::u16string& text, LPWSTR buffer, int maxCount) {
    if (buffer == nullptr || maxCount <= 0) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(maxCount - 1));
    std::copy(text.begin(), text.begin() + static_cast<long>(n), buffer);
    buffer[n] = 0;
    return static_cast<int>(n);
}

char16_t upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

bool lessIgnoringCase(const std::u16string& a, const std::u16string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char16_t x, char16_t y) { return upper(x) < upper(y); });
}

void notifyParent(HWND control, WORD code) {
    Window* w = findWindowObject(control);
    if (w == nullptr || w->parent == nullptr) return;
    sendMessageInternal(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(control));
}

int clampToRange(const ControlState& s, int v) {
    int lo = std::min(s.rangeUpper, s.rangeLower);
    int hi = std::max(s.rangeUpper, s.rangeLower);
    return std::max(lo, std::min(hi, v));
}

// A drop-down list's text is its selected line; every other control's is its own.
std::u16string controlText(HWND window, const ControlState& s) {
    Window* w = findWindowObject(window);
    bool dropDownList = s.kind == u"COMBOBOX" && w && (w->style & 0x3) == CBS_DROPDOWNLIST;
    if (!dropDownList) return s.text;
    if (s.selection < 0 || s.selection >= static_cast<int>(s.items.size())) return u"";
    return s.items[static_cast<size_t>(s.selection)];
}

void showBuddyPosition(ControlState& s) {
    if (s.buddy && s.buddyInt) SetWindowTextW(s.buddy, decimal(s.position).c_str());
}

// A decimal number filling the whole text, with an optional sign; false for anything else.
bool parseDecimal(const std::u16string& text, int* value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    if (i == text.size() || text.size() - i > 6) return false;
    int v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
        v = v * 10 + (text[i] - u'0');
    }
    *value = negative ? -v : v;
    return true;
}

// UDM_GETPOS: a control that shows its number in its buddy takes the number written there when
// it is one within the range; otherwise (or with no such buddy) the high word says so, and the
// position is the last one, held to the range.
LRESULT readPosition(ControlState& s) {
    if (s.buddy && s.buddyInt) {
        // Read as the control reads it, not through the program's own calls.
        ControlState* b = controlState(s.buddy);
        Window* bw = findWindowObject(s.buddy);
        std::u16string text = b ? controlText(s.buddy, *b) : bw ? bw->title : u"";
        int v = 0;
        if (parseDecimal(text, &v) && clampToRange(s, v) == v) {
            s.position = v;
            return MAKELONG(static_cast<WORD>(v), 0);
        }
    }
    s.position = clampToRange(s, s.position);
    return MAKELONG(static_cast<WORD>(s.position), 1);
}

LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlState* s = controlState(window);
    if (s == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_SETTEXT:
            s->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
            if (Window* w = findWindowObject(window)) w->title = s->text;
            return TRUE;
        case WM_GETTEXT:
            return copyOut(controlText(window, *s), reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(controlText(window, *s).size());
        case BM_GETCHECK:
            return s->checked ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            s->checked = wParam == BST_CHECKED;
            return 0;
        case EM_LIMITTEXT:
            s->textLimit = static_cast<int>(wParam);
            return 0;
        case LB_ADDSTRING:
        case CB_ADDSTRING: {
            std::u16string item = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
            Window* w = findWindowObject(window);
            bool sorted = w && (message == LB_ADDSTRING ? (w->style & LBS_SORT) != 0 : (w->style & CBS_SORT) != 0);
            // A sorted box puts the line before the first one that compares greater, letter case
            // aside; an unsorted one appends it.
            auto at = s->items.end();
            if (sorted) {
                at = std::find_if(s->items.begin(), s->items.end(),
                                  [&item](const std::u16string& line) { return lessIgnoringCase(item, line); });
            }
            at = s->items.insert(at, item);
            int index = static_cast<int>(at - s->items.begin());
            if (s->selection >= index) ++s->selection;  // the selected line stays selected
            return index;
        }
        case LB_RESETCONTENT:
        case CB_RESETCONTENT:
            s->items.clear();
            s->selection = -1;
            return 0;
        case LB_GETCOUNT:
        case CB_GETCOUNT:
            return static_cast<LRESULT>(s->items.size());
        case LB_GETCURSEL:
        case CB_GETCURSEL:
            return s->selection;
        case LB_SETCURSEL:
        case CB_SETCURSEL: {
            int index = static_cast<int>(static_cast<INT_PTR>(wParam));
            if (index < 0 || index >= static_cast<int>(s->items.size())) {
                s->selection = -1;
                return message == LB_SETCURSEL ? LB_ERR : CB_ERR;
            }
            s->selection = index;
            return index;
        }
        case LB_GETTEXTLEN:
        case CB_GETLBTEXTLEN: {
            size_t index = wParam;
            if (index >= s->items.size()) return LB_ERR;
            return static_cast<LRESULT>(s->items[index].size());
        }
        case LB_GETTEXT:
        case CB_GETLBTEXT: {
            size_t index = wParam;
            if (index >= s->items.size()) return LB_ERR;
            const std::u16string& t = s->items[index];
            std::copy(t.begin(), t.end(), reinterpret_cast<LPWSTR>(lParam));
            reinterpret_cast<LPWSTR>(lParam)[t.size()] = 0;
            return static_cast<LRESULT>(t.size());
        }
        case CCM_SETVERSION: {
            int old = s->version;
            s->version = static_cast<int>(wParam);
            return old;
        }
        case UDM_SETRANGE:
            s->rangeUpper = static_cast<short>(LOWORD(lParam));
            s->rangeLower = static_cast<short>(HIWORD(lParam));
            return 0;
        case UDM_GETRANGE:
            return MAKELONG(s->rangeUpper, s->rangeLower);
        case UDM_SETPOS: {
            int old = s->position;
            s->position = clampToRange(*s, static_cast<short>(LOWORD(lParam)));
            showBuddyPosition(*s);
            return old;
        }
        case UDM_GETPOS:
            return readPosition(*s);
        case UDM_SETBUDDY: {
            HWND old = s->buddy;
            s->buddy = reinterpret_cast<HWND>(wParam);
            return reinterpret_cast<LRESULT>(old);
        }
        case UDM_GETBUDDY:
            return reinterpret_cast<LRESULT>(s->buddy);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The dialog's own window procedure hands every message to the program's dialog procedure; what
// that leaves unhandled has no further effect (there is no Cancel on this platform's dialogs).
LRESULT CALLBACK dialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogState* d = dialogState(window);
    if (d && d->proc) {
        INT_PTR handled = d->proc(window, message, wParam, lParam);
        if (handled) return handled;
    }
    if (message == WM_CLOSE) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

const ResourceEntry* templateEntry(LPCDLGTEMPLATEW t) {
    for (const ResourceEntry& e : programResources()) {
        if (e.typeIsId && e.typeId == 5 && e.data == reinterpret_cast<const uint8_t*>(t)) return &e;
    }
    return nullptr;
}

std::u16string standardKind(const std::u16string& cls) {
    for (const char16_t* known : {u"BUTTON", u"EDIT", u"STATIC", u"LISTBOX", u"COMBOBOX", u"msctls_updown32"}) {
        if (sameName(cls, known)) return known;
    }
    return cls;
}

RECT offsetRect(RECT r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

// An up-down control aligned to the right of its buddy sits at the buddy's right edge, as tall
// as the buddy, and the buddy gives up that width (less the border they share).
void alignToBuddy(HWND updown, HWND buddy) {
    Window* u = findWindowObject(updown);
    Window* b = findWindowObject(buddy);
    if (u == nullptr || b == nullptr || !(u->style & UDS_ALIGNRIGHT)) return;
    int width = u->rect.right - u->rect.left;
    b->rect.right -= width - 2;
    u->rect = RECT{b->rect.right - 2, b->rect.top, b->rect.right - 2 + width, b->rect.bottom};
}

}  // namespace

HWND createControl(HWND parent, const std::u16string& kind, const std::u16string& text, DWORD style, RECT rect,
                   int id) {
    HWND control = createNativeWindow(currentThread(), kind, text, controlProc, style, rect, parent);
    Window* w = findWindowObject(control);
    w->id = id;
    w->enabled = (style & WS_DISABLED) == 0;
    auto cs = std::make_unique<ControlState>();
    cs->kind = kind;
    cs->text = text;
    cs->buddyInt = kind == u"msctls_updown32" && (style & UDS_SETBUDDYINT) != 0;
    w->extra = std::move(cs);
    return control;
}

namespace {

HWND makeDialog(const DialogTemplateInfo& info, unsigned id, DLGPROC proc) {
    // Dialog units of the template's font; a captioned dialog's client area lies below its caption.
    screen::BaseUnits base = screen::dialogBaseUnits(info);
    int caption = (info.style & WS_CAPTION) == WS_CAPTION ? screen::dialogCaptionHeight(base) : 0;
    RECT frame = offsetRect(screen::dialogUnitsToPixels(base, info.x, info.y, info.cx, info.cy), 0, taskbarHeight());
    frame.bottom += caption;
    HWND dialog = createNativeWindow(currentThread(), kDialogClass, info.caption, dialogWindowProc,
                                     info.style & ~static_cast<DWORD>(WS_VISIBLE), frame);
    auto state = std::make_unique<DialogState>();
    state->proc = proc;
    state->templateId = id;
    state->fontPoints = info.hasFont && info.pointSize > 0 ? info.pointSize : 8;
    DialogState* d = state.get();
    findWindowObject(dialog)->extra = std::move(state);
    for (const DialogControlInfo& c : info.controls) {
        std::u16string kind = standardKind(dialogControlClassName(c));
        // A text given as a resource number (an icon's) is the control's text in its numbered
        // form: the unit 0xFFFF, then the number.
        std::u16string text = c.text.isOrdinal ? std::u16string{u'\uFFFF', static_cast<char16_t>(c.text.ordinal)} : c.text.text;
        RECT at = offsetRect(screen::dialogUnitsToPixels(base, c.x, c.y, c.cx, c.cy), frame.left, frame.top + caption);
        HWND control = createControl(dialog, kind, text, c.style, at, static_cast<int>(c.id));
        ControlState* cs = controlState(control);
        // An up-down control with UDS_AUTOBUDDY takes the control before it as its buddy.
        if (kind == u"msctls_updown32" && (c.style & UDS_AUTOBUDDY) && !d->controls.empty()) {
            cs->buddy = d->controls.back();
            alignToBuddy(control, cs->buddy);
        }
        d->controls.push_back(control);
    }
    return dialog;
}

// The control WM_INITDIALOG offers the focus to: the first tab stop that is visible and enabled,
// else the first control.
HWND firstFocus(HWND dialog) {
    const std::vector<HWND>& controls = dialogState(dialog)->controls;
    for (HWND c : controls) {
        Window* w = findWindowObject(c);
        if (w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED)) return c;
    }
    return controls.empty() ? nullptr : controls.front();
}

HWND controlById(HWND dialog, int id) {
    DialogState* d = dialogState(dialog);
    if (d == nullptr) return nullptr;
    for (HWND c : d->controls) {
        Window* w = findWindowObject(c);
        if (w && w->id == id) return c;
    }
    return nullptr;
}

}  // namespace

DialogState* dialogState(HWND dialog) {
    Window* w = findWindowObject(dialog);
    return w ? dynamic_cast<DialogState*>(w->extra.get()) : nullptr;
}

ControlState* controlState(HWND control) {
    Window* w = findWindowObject(control);
    return w ? dynamic_cast<ControlState*>(w->extra.get()) : nullptr;
}

namespace {
bool acceptsInput(HWND dialog, HWND control) {
    Window* d = findWindowObject(dialog);
    Window* c = findWindowObject(control);
    return d && d->enabled && (control == nullptr || (c && c->enabled));
}

bool isAutoCheckBox(HWND control) {
    Window* w = findWindowObject(control);
    ControlState* s = controlState(control);
    return w && s && s->kind == u"BUTTON" && (w->style & 0xF) == BS_AUTOCHECKBOX;
}
}  // namespace

std::string clickControl(HWND dialog, int id) {
    HWND control = controlById(dialog, id);
    ControlState* s = controlState(control);
    if (s == nullptr) return "the dialog has no control " + std::to_string(id);
    if (s->kind != u"BUTTON") return "control " + std::to_string(id) + " is not a button";
    // A tap on a disabled control, or on a dialog disabled under its message box, does nothing.
    if (!acceptsInput(dialog, control)) return "";
    postAction(findWindowObject(dialog)->thread, [control] {
        if (isAutoCheckBox(control)) {
            if (ControlState* cs = controlState(control)) cs->checked = !cs->checked;
        }
        notifyParent(control, BN_CLICKED);
    });
    return "";
}

std::string selectItem(HWND dialog, int id, int index) {
    HWND control = controlById(dialog, id);
    ControlState* s = controlState(control);
    if (s == nullptr || (s->kind != u"LISTBOX" && s->kind != u"COMBOBOX")) {
        return "the dialog has no list or combo box " + std::to_string(id);
    }
    if (index < -1 || index >= static_cast<int>(s->items.size())) return "no line " + std::to_string(index);
    if (!acceptsInput(dialog, control)) return "";
    postAction(findWindowObject(dialog)->thread, [control, index] {
        ControlState* cs = controlState(control);
        if (cs == nullptr) return;
        cs->selection = index;
        bool list = cs->kind == u"LISTBOX";
        Window* w = findWindowObject(control);
        if (!list || (w->style & LBS_NOTIFY)) notifyParent(control, list ? LBN_SELCHANGE : CBN_SELCHANGE);
    });
    return "";
}

std::string spinControl(HWND dialog, int id, bool up, int times) {
    HWND control = controlById(dialog, id);
    ControlState* s = controlState(control);
    if (s == nullptr || s->kind != u"msctls_updown32") return "the dialog has no up-down control " + std::to_string(id);
    if (!acceptsInput(dialog, control)) return "";
    postAction(findWindowObject(dialog)->thread, [control, up, times] {
        ControlState* cs = controlState(control);
        if (cs == nullptr) return;
        int step = (up == (cs->rangeUpper >= cs->rangeLower)) ? 1 : -1;
        for (int i = 0; i < times; ++i) {
            readPosition(*cs);  // a tap starts from the number the buddy shows
            cs->position = clampToRange(*cs, cs->position + step);
            showBuddyPosition(*cs);
        }
    });
    return "";
}

std::string pressDone(HWND dialog) {
    DialogState* d = dialogState(dialog);
    if (d == nullptr || !d->doneButton) return "the dialog has no Done button";
    if (!acceptsInput(dialog, nullptr)) return "";
    postAction(findWindowObject(dialog)->thread, [dialog] { sendMessageInternal(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
    return "";
}

void dumpDialog(HWND dialog) {
    DialogState* d = dialogState(dialog);
    Window* dw = findWindowObject(dialog);
    if (d == nullptr || dw == nullptr) return;
    logLine("dialog " + std::to_string(d->templateId) + " " + quote(dw->title));
    for (HWND c : d->controls) {
        Window* w = findWindowObject(c);
        ControlState* s = controlState(c);
        if (w == nullptr || s == nullptr) continue;
        std::string line = "control " + std::to_string(w->id) + " " + toUtf8(s->kind) + " " + quote(controlText(c, *s)) +
                           " enabled=" + (w->enabled ? "1" : "0");
        if (isAutoCheckBox(c)) line += std::string(" checked=") + (s->checked ? "1" : "0");
        if (s->kind == u"LISTBOX" || s->kind == u"COMBOBOX") line += " sel=" + std::to_string(s->selection);
        if (s->kind == u"msctls_updown32") line += " pos=" + std::to_string(s->position);
        logLine(line);
        if (s->kind == u"LISTBOX" || s->kind == u"COMBOBOX") {
            for (const auto& item : s->items) logLine("  item " + quote(item));
        }
    }
}

}  // namespace sim

using namespace sim;

INT_PTR DialogBoxIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW dialogTemplate, HWND, DLGPROC proc, LPARAM param) {
    const ResourceEntry* entry = templateEntry(dialogTemplate);
    DialogTemplateInfo info;
    if (shouldFail(Op::DialogBoxIndirectParamW) || entry == nullptr || currentThread() == nullptr ||
        !parseDialogTemplate(entry->data, entry->size, &info)) {
        return -1;
    }
    HWND dialog = makeDialog(info, entry->nameId, proc);
    logEvent("dialog-open " + std::to_string(entry->nameId) + " " + quote(info.caption));
    OpenModal modal{OpenModal::Dialog};
    modal.dialog = dialog;
    dialogState(dialog)->modal = &modal;
    pushModal(&modal);
    try {
        sendMessageInternal(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstFocus(dialog)), param);
        if (Window* w = findWindowObject(dialog)) {
            w->visible = true;
            activateWindow(dialog);
        }
        if (!modal.closed) runModalLoop(modal);
    } catch (...) {
        popModal(&modal);
        throw;
    }
    popModal(&modal);
    INT_PTR result = modal.result;
    if (findWindowObject(dialog)) DestroyWindow(dialog);
    logEvent("dialog-end " + std::to_string(entry->nameId) + " " + std::to_string(result));
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    DialogState* d = dialogState(dialog);
    if (d == nullptr || d->modal == nullptr) return FALSE;
    d->modal->result = result;
    d->modal->closed = true;
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    if (shouldFail(Op::GetDlgItem)) return nullptr;
    return controlById(dialog, id);
}

HWND GetWindow(HWND window, UINT command) {
    Window* w = windowOrInvalidHandle(window);
    if (w == nullptr) return nullptr;
    if (command == GW_CHILD) {
        DialogState* d = dialogState(window);
        return d != nullptr && !d->controls.empty() ? d->controls.front() : nullptr;
    }
    if (command == GW_OWNER) return nullptr;
    // The window's siblings, top first: a dialog's controls, or the top-level windows.
    DialogState* d = w->parent != nullptr ? dialogState(w->parent) : nullptr;
    const std::vector<HWND>& siblings = d != nullptr ? d->controls : topLevelWindows();
    if (siblings.empty()) return nullptr;
    if (command == GW_HWNDFIRST) return siblings.front();
    if (command == GW_HWNDLAST) return siblings.back();
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i] != window) continue;
        if (command == GW_HWNDNEXT) return i + 1 < siblings.size() ? siblings[i + 1] : nullptr;
        if (command == GW_HWNDPREV) return i > 0 ? siblings[i - 1] : nullptr;
    }
    return nullptr;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = controlById(dialog, id);
    return control ? SendMessageW(control, message, wParam, lParam) : 0;
}

BOOL SHInitDialog(PSHINITDLGINFO info) {
    if (shouldFail(Op::SHInitDialog) || info == nullptr) return FALSE;
    DialogState* d = dialogState(info->hDlg);
    Window* w = findWindowObject(info->hDlg);
    if (d == nullptr || w == nullptr) return FALSE;
    if ((info->dwMask & SHIDIM_FLAGS) == 0) return TRUE;
    if (info->dwFlags & SHIDIF_DONEBUTTON) d->doneButton = true;
    if (info->dwFlags & SHIDIF_SIZEDLGFULLSCREEN) {
        // Full screen on this shell: everything below the taskbar.
        const Device& dev = world().device;
        RECT old = w->rect;
        w->rect = RECT{0, taskbarHeight(), dev.screenWidth, dev.screenHeight};
        for (HWND c : d->controls) {
            if (Window* cw = findWindowObject(c)) {
                cw->rect.left += w->rect.left - old.left;
                cw->rect.right += w->rect.left - old.left;
                cw->rect.top += w->rect.top - old.top;
                cw->rect.bottom += w->rect.top - old.top;
            }
        }
    }
    return TRUE;
}
