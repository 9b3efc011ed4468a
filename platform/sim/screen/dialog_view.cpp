#include "dialog_view.h"

#include <algorithm>

#include "dialogs.h"
#include "sim_api.h"

namespace sim::screen {
namespace {

HWND gDroppedCombo = nullptr;  // the combo box whose list is open

// A template's font at its own point size; the face is always the system's.
int templatePoints(HWND dialog) {
    DialogState* d = dialogState(dialog);
    return d ? d->fontPoints : 8;
}
Font dialogFont(HWND dialog) { return Font(Face::Regular, pointsToPixels(templatePoints(dialog))); }
Font captionFont(HWND dialog) { return Font(Face::Bold, pointsToPixels(templatePoints(dialog))); }

bool isKind(const ControlState& s, const char16_t* kind) { return s.kind == kind; }

int comboFieldHeight(const Font& f) { return f.height() + scaled(8); }
int listItemHeight(const Font& f) { return f.height(); }

RECT comboField(const RECT& r, const Font& f) { return RECT{r.left, r.top, r.right, r.top + comboFieldHeight(f)}; }

RECT comboList(const Window& w, const ControlState& s, const Font& f) {
    RECT field = comboField(w.rect, f);
    int rows = std::max<int>(1, static_cast<int>(s.items.size()));
    int h = std::min<int>(rows * listItemHeight(f) + 2, std::max<int>(w.rect.bottom - field.bottom, listItemHeight(f) + 2));
    return RECT{field.left, field.bottom, field.right, field.bottom + h};
}

std::u16string shownText(const Window& w, const ControlState& s) {
    if (isKind(s, u"COMBOBOX")) {
        if (s.selection < 0 || s.selection >= static_cast<int>(s.items.size())) return u"";
        return s.items[static_cast<size_t>(s.selection)];
    }
    (void)w;
    return s.text;
}

void drawIconStatic(Canvas& c, const RECT& r, const ControlState& s) {
    if (s.text.size() != 2 || s.text[0] != u'\uFFFF') return;
    Image colourImage, mask;
    // A resource the program does not have leaves the static empty.
    if (!decodeIconResource(s.text[1], scaled(32), &colourImage, &mask)) return;
    c.icon(r.left, r.top, colourImage, mask);
}

void drawCheckBox(Canvas& c, const RECT& r, const ControlState& s, const Font& f, bool enabled) {
    int box = scaled(13);
    int top = r.top + (r.bottom - r.top - box) / 2;
    RECT b = makeRect(r.left, top, box, box);
    c.fill(b, enabled ? colour::Window : colour::Face);
    c.frame(b, colour::Frame);
    if (s.checked) c.symbol(inset(b, 1), u'a', box, enabled ? colour::Text : colour::GrayText);
    c.text(RECT{b.right + scaled(4), r.top, r.right, r.bottom}, s.text, f, enabled ? colour::Text : colour::GrayText);
}

void drawGroupBox(Canvas& c, const RECT& r, const ControlState& s, const Font& f) {
    int mid = r.top + f.height() / 2;
    c.frame(RECT{r.left, mid, r.right, r.bottom}, colour::Shadow);
    int textLeft = r.left + scaled(6);
    int w = f.textWidth(s.text);
    c.fill(RECT{textLeft - scaled(2), r.top, textLeft + w + scaled(2), r.top + f.height()}, colour::Window);
    c.textAt(textLeft, r.top, s.text, f, colour::Text);
}

void drawEdit(Canvas& c, const Window& w, const ControlState& s, const Font& f) {
    bool readOnly = (w.style & ES_READONLY) != 0;
    c.fill(w.rect, readOnly || !w.enabled ? colour::Face : colour::Window);
    if (w.style & WS_BORDER) c.frame(w.rect, colour::Frame);
    Align a = (w.style & ES_RIGHT) ? Align::Right : Align::Left;
    RECT inner{w.rect.left + scaled(3), w.rect.top, w.rect.right - scaled(3), w.rect.bottom};
    c.text(inner, s.text, f, w.enabled ? colour::Text : colour::GrayText, a);
}

void drawList(Canvas& c, const RECT& r, const ControlState& s, const Font& f, bool enabled) {
    c.fill(r, colour::Window);
    c.frame(r, colour::Frame);
    Canvas inner = c.within(inset(r, 1));
    int y = r.top + 1;
    for (size_t i = 0; i < s.items.size() && y < r.bottom; ++i, y += listItemHeight(f)) {
        RECT line{r.left + 1, y, r.right - 1, y + listItemHeight(f)};
        bool selected = static_cast<int>(i) == s.selection;
        if (selected) inner.fill(line, colour::Highlight);
        COLORREF ink = selected ? colour::HighlightText : enabled ? colour::Text : colour::GrayText;
        inner.text(RECT{line.left + scaled(2), line.top, line.right, line.bottom}, s.items[i], f, ink);
    }
}

void drawCombo(Canvas& c, const Window& w, const ControlState& s, const Font& f) {
    RECT field = comboField(w.rect, f);
    c.fill(field, w.enabled ? colour::Window : colour::Face);
    c.frame(field, colour::Frame);
    int arrow = comboFieldHeight(f) - 2;
    RECT button{field.right - 1 - arrow, field.top + 1, field.right - 1, field.bottom - 1};
    c.fill(button, colour::Face);
    c.vline(button.left - 1, button.top, button.bottom, colour::Frame);
    c.symbol(button, u'6', f.height(), w.enabled ? colour::Text : colour::GrayText);
    c.text(RECT{field.left + scaled(3), field.top, button.left - scaled(2), field.bottom}, shownText(w, s), f,
           w.enabled ? colour::Text : colour::GrayText);
}

void drawUpDown(Canvas& c, const Window& w, const Font& f) {
    const RECT& r = w.rect;
    bool horizontal = (w.style & UDS_HORZ) != 0;
    RECT first = horizontal ? RECT{r.left, r.top, (r.left + r.right) / 2, r.bottom} : RECT{r.left, r.top, r.right, (r.top + r.bottom) / 2};
    RECT second = horizontal ? RECT{first.right, r.top, r.right, r.bottom} : RECT{r.left, first.bottom, r.right, r.bottom};
    COLORREF ink = w.enabled ? colour::Text : colour::GrayText;
    for (const RECT& b : {first, second}) {
        c.fill(b, colour::Face);
        c.frame(b, colour::Frame);
    }
    int size = std::min(f.height(), static_cast<int>(std::min(first.bottom - first.top, first.right - first.left)));
    c.symbol(first, horizontal ? u'3' : u'5', size, ink);
    c.symbol(second, horizontal ? u'4' : u'6', size, ink);
}

// A left-aligned static breaks its text at words; lines below its rectangle are cut off.
void drawStaticText(Canvas& c, const Window& w, const ControlState& s, const Font& f) {
    Canvas inner = c.within(w.rect);
    int y = w.rect.top;
    for (const auto& line : wrapText(s.text, f, w.rect.right - w.rect.left)) {
        if (y >= w.rect.bottom) break;
        inner.textAt(w.rect.left, y, line, f, w.enabled ? colour::Text : colour::GrayText);
        y += f.height();
    }
}

void drawControl(Canvas& c, const Window& w, const ControlState& s, const Font& f) {
    if (!w.visible) return;
    DWORD type = w.style & 0xF;
    if (isKind(s, u"STATIC")) {
        if (type == SS_ICON) drawIconStatic(c, w.rect, s);
        else drawStaticText(c, w, s, f);
    } else if (isKind(s, u"BUTTON")) {
        if (type == BS_GROUPBOX) drawGroupBox(c, w.rect, s, f);
        else if (type == BS_AUTOCHECKBOX || type == 2 /* BS_CHECKBOX */) drawCheckBox(c, w.rect, s, f, w.enabled);
        else drawButton(c, w.rect, s.text, f, w.enabled, type == 1 /* BS_DEFPUSHBUTTON */ ? 2 : 1);
    } else if (isKind(s, u"EDIT")) {
        drawEdit(c, w, s, f);
    } else if (isKind(s, u"LISTBOX")) {
        drawList(c, w.rect, s, f, w.enabled);
    } else if (isKind(s, u"COMBOBOX")) {
        drawCombo(c, w, s, f);
    } else if (isKind(s, u"msctls_updown32")) {
        drawUpDown(c, w, f);
    }
}

int lineAt(const RECT& list, int y, const Font& f) { return (y - list.top - 1) / listItemHeight(f); }

}  // namespace

BaseUnits dialogBaseUnits(const DialogTemplateInfo& info) {
    return baseUnits(Font(Face::Regular, pointsToPixels(info.hasFont && info.pointSize > 0 ? info.pointSize : 8)));
}

RECT dialogUnitsToPixels(const BaseUnits& b, int x, int y, int cx, int cy) {
    // As the platform maps a dialog rectangle: each edge rounded on its own.
    auto mx = [&b](int v) { return (v * b.x + 2) / 4; };
    auto my = [&b](int v) { return (v * b.y + 4) / 8; };
    return RECT{mx(x), my(y), mx(x + cx), my(y + cy)};
}

int dialogCaptionHeight(const BaseUnits& b) { return (16 * b.y + 4) / 8; }

RECT doneButtonRect(const Window& dialog) {
    Font f = dialogFont(dialog.handle);
    BaseUnits b = baseUnits(f);
    RECT size = dialogUnitsToPixels(b, 0, 0, 28, 12);
    int band = dialogCaptionHeight(b);
    int h = size.bottom;
    int top = dialog.rect.top + (band - h) / 2;
    int right = dialog.rect.right - (band - h) / 2;
    return RECT{right - size.right, top, right, top + h};
}

void drawDialog(Canvas& canvas, const Window& dialog) {
    DialogState* d = dynamic_cast<DialogState*>(dialog.extra.get());
    if (d == nullptr) return;
    Font f = dialogFont(dialog.handle);
    Canvas c = canvas.within(dialog.rect);
    c.fill(dialog.rect, colour::Window);
    if ((dialog.style & WS_CAPTION) == WS_CAPTION) {
        int band = dialogCaptionHeight(baseUnits(f));
        RECT caption{dialog.rect.left, dialog.rect.top, dialog.rect.right, dialog.rect.top + band};
        c.fill(caption, colour::Caption);
        int textRight = d->doneButton ? doneButtonRect(dialog).left - scaled(4) : caption.right - scaled(4);
        c.text(RECT{caption.left + scaled(5), caption.top, textRight, caption.bottom}, dialog.title, captionFont(dialog.handle),
               colour::CaptionText);
        if (d->doneButton) drawButton(c, doneButtonRect(dialog), u"Done", f, dialog.enabled);
    }
    // The first control lies on top: draw from the last to the first.
    for (auto it = d->controls.rbegin(); it != d->controls.rend(); ++it) {
        Window* w = findWindowObject(*it);
        ControlState* s = controlState(*it);
        if (w && s) drawControl(c, *w, *s, f);
    }
}

void drawDroppedList(Canvas& canvas) {
    Window* w = findWindowObject(gDroppedCombo);
    ControlState* s = controlState(gDroppedCombo);
    if (w == nullptr || s == nullptr || !IsWindowVisible(gDroppedCombo)) {
        gDroppedCombo = nullptr;
        return;
    }
    Font f = dialogFont(w->parent);
    drawList(canvas, comboList(*w, *s, f), *s, f, true);
}

bool tapDialog(HWND dialog, int x, int y) {
    Window* dw = findWindowObject(dialog);
    DialogState* d = dialogState(dialog);
    if (dw == nullptr || d == nullptr) return false;
    Font f = dialogFont(dialog);
    // An open list takes the tap: a line selects, anywhere else closes it.
    if (Window* cw = findWindowObject(gDroppedCombo)) {
        ControlState* s = controlState(gDroppedCombo);
        RECT list = comboList(*cw, *s, f);
        HWND combo = gDroppedCombo;
        gDroppedCombo = nullptr;
        if (inside(list, x, y)) {
            int line = lineAt(list, y, f);
            if (line >= 0 && line < static_cast<int>(s->items.size())) selectItem(dialog, cw->id, line);
            return true;
        }
        if (inside(cw->rect, x, y) && findWindowObject(combo) && inside(comboField(cw->rect, f), x, y)) return true;
    }
    if (!inside(dw->rect, x, y)) return false;
    if (d->doneButton && inside(doneButtonRect(*dw), x, y)) {
        pressDone(dialog);
        return true;
    }
    for (HWND h : d->controls) {
        Window* w = findWindowObject(h);
        ControlState* s = controlState(h);
        if (w == nullptr || s == nullptr || !w->visible) continue;
        DWORD type = w->style & 0xF;
        if (isKind(*s, u"STATIC") || (isKind(*s, u"BUTTON") && type == BS_GROUPBOX)) continue;  // see-through
        RECT r = isKind(*s, u"COMBOBOX") ? comboField(w->rect, f) : w->rect;
        if (!inside(r, x, y)) continue;
        if (!w->enabled || !dw->enabled) return true;
        if (isKind(*s, u"BUTTON")) {
            clickControl(dialog, w->id);
        } else if (isKind(*s, u"LISTBOX")) {
            int line = lineAt(w->rect, y, f);
            if (line >= 0 && line < static_cast<int>(s->items.size())) selectItem(dialog, w->id, line);
        } else if (isKind(*s, u"COMBOBOX")) {
            gDroppedCombo = h;
        } else if (isKind(*s, u"msctls_updown32")) {
            bool horizontal = (w->style & UDS_HORZ) != 0;
            // The right (or upper) arrow moves toward the range's upper bound.
            bool up = horizontal ? x >= (w->rect.left + w->rect.right) / 2 : y < (w->rect.top + w->rect.bottom) / 2;
            spinControl(dialog, w->id, up, 1);
        }
        return true;
    }
    return true;
}

}  // namespace sim::screen
