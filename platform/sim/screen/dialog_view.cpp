#include "dialog_view.h"

#include <algorithm>

#include "dialogs.h"
#include "sim_api.h"
#include "world.h"

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

DialogScroll dialogScroll(const Window& dialog) {
    DialogScroll s;
    DialogState* d = dynamic_cast<DialogState*>(dialog.extra.get());
    if (d == nullptr) return s;
    Font f = dialogFont(dialog.handle);
    const Device& dev = world().device;
    int band = (dialog.style & WS_CAPTION) == WS_CAPTION ? dialogCaptionHeight(baseUnits(f)) : 0;
    s.client = RECT{std::max<LONG>(dialog.rect.left, 0), std::max<LONG>(dialog.rect.top + band, 0),
                    std::min<LONG>(dialog.rect.right, dev.screenWidth), std::min<LONG>(dialog.rect.bottom, dev.screenHeight)};
    s.line = f.height();
    // Only visible controls below the shown part make the bar appear.
    int contentBottom = s.client.bottom;
    for (HWND h : d->controls) {
        Window* w = findWindowObject(h);
        ControlState* cs = controlState(h);
        if (w == nullptr || cs == nullptr || !w->visible) continue;
        RECT r = isKind(*cs, u"COMBOBOX") ? comboField(w->rect, f) : w->rect;
        contentBottom = std::max<int>(contentBottom, r.bottom + d->scrollPos);
    }
    s.range = contentBottom - s.client.bottom;
    s.pos = std::min(d->scrollPos, s.range);
    if (s.range > 0) {
        s.bar = RECT{s.client.right - scaled(13), s.client.top, s.client.right, s.client.bottom};
        s.client.right = s.bar.left;
    }
    return s;
}

void scrollDialog(HWND dialog, int delta) {
    Window* dw = findWindowObject(dialog);
    DialogState* d = dialogState(dialog);
    if (dw == nullptr || d == nullptr) return;
    DialogScroll s = dialogScroll(*dw);
    int to = std::max(0, std::min(s.range, d->scrollPos + delta));
    int moved = to - d->scrollPos;
    d->scrollPos = to;
    for (HWND h : d->controls) {
        if (Window* w = findWindowObject(h)) {
            w->rect.top -= moved;
            w->rect.bottom -= moved;
        }
    }
}

namespace {

// The bar's arrows are squares at its ends; between them the thumb shows the shown part.
RECT upArrow(const DialogScroll& s) { return RECT{s.bar.left, s.bar.top, s.bar.right, s.bar.top + (s.bar.right - s.bar.left)}; }
RECT downArrow(const DialogScroll& s) {
    return RECT{s.bar.left, s.bar.bottom - (s.bar.right - s.bar.left), s.bar.right, s.bar.bottom};
}
RECT thumb(const DialogScroll& s) {
    int top = upArrow(s).bottom;
    int track = std::max(0, static_cast<int>(downArrow(s).top) - top);
    int shown = s.client.bottom - s.client.top;
    int h = std::max(std::min(scaled(8), track), track * shown / std::max(1, shown + s.range));
    int y = top + (s.range > 0 ? (track - h) * s.pos / s.range : 0);
    return RECT{s.bar.left, y, s.bar.right, y + h};
}

void drawScrollBar(Canvas& c, const DialogScroll& s) {
    c.fill(s.bar, colour::Face);
    c.frame(s.bar, colour::Frame);
    for (const RECT& arrow : {upArrow(s), downArrow(s)}) {
        c.fill(arrow, colour::Face);
        c.frame(arrow, colour::Frame);
    }
    int size = s.bar.right - s.bar.left;
    c.symbol(upArrow(s), u'5', size, colour::Text);
    c.symbol(downArrow(s), u'6', size, colour::Text);
    RECT t = thumb(s);
    c.fill(t, colour::Shadow);
}

}  // namespace

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
    // The first control lies on top: draw from the last to the first, within the shown client area.
    DialogScroll scroll = dialogScroll(dialog);
    Canvas client = c.within(scroll.client);
    for (auto it = d->controls.rbegin(); it != d->controls.rend(); ++it) {
        Window* w = findWindowObject(*it);
        ControlState* s = controlState(*it);
        if (w && s) drawControl(client, *w, *s, f);
    }
    if (scroll.range > 0) drawScrollBar(c, scroll);
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

namespace {

std::string rectText(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

bool within(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// The room a control leaves for its text, as drawControl lays it out; width 0: no text to show.
RECT textRoom(const Window& w, const ControlState& s, const Font& f) {
    const RECT& r = w.rect;
    DWORD type = w.style & 0xF;
    if (isKind(s, u"BUTTON")) {
        if (type == BS_GROUPBOX) return RECT{r.left + scaled(6), r.top, r.right - scaled(2), r.top + f.height()};
        if (type == BS_AUTOCHECKBOX || type == 2 /* BS_CHECKBOX */) return RECT{r.left + scaled(13) + scaled(4), r.top, r.right, r.bottom};
        return inset(r, 2);
    }
    if (isKind(s, u"EDIT")) return RECT{r.left + scaled(3), r.top, r.right - scaled(3), r.bottom};
    return RECT{0, 0, 0, 0};
}

}  // namespace

std::vector<std::string> dialogLayoutProblems(HWND dialog) {
    std::vector<std::string> problems;
    Window* dw = findWindowObject(dialog);
    DialogState* d = dialogState(dialog);
    if (dw == nullptr || d == nullptr) return problems;
    Font f = dialogFont(dialog);
    int band = (dw->style & WS_CAPTION) == WS_CAPTION ? dialogCaptionHeight(baseUnits(f)) : 0;
    // What the screen shows of the client area, and below it what the scroll bar brings into view,
    // in the dialog's unscrolled place.
    DialogScroll scroll = dialogScroll(*dw);
    RECT shown = scroll.client;
    RECT reach{shown.left, shown.top - scroll.pos, shown.right, shown.bottom + scroll.range - scroll.pos};
    if (band > 0) {
        int room = (d->doneButton ? doneButtonRect(*dw).left - scaled(4) : dw->rect.right - scaled(4)) - (dw->rect.left + scaled(5));
        if (captionFont(dialog).textWidth(dw->title) > room) problems.push_back("the caption " + quote(dw->title) + " is cut");
    }
    for (HWND h : d->controls) {
        Window* w = findWindowObject(h);
        ControlState* s = controlState(h);
        if (w == nullptr || s == nullptr || !w->visible) continue;
        std::string name = "control " + std::to_string(w->id) + " " + toUtf8(s->kind) +
                           (s->text.empty() || s->text[0] == u'\uFFFF' ? "" : " " + quote(s->text));
        DWORD type = w->style & 0xF;
        // A combo box's rectangle holds its dropped list; the field is what must be seen.
        RECT r = isKind(*s, u"COMBOBOX") ? comboField(w->rect, f) : w->rect;
        if (isKind(*s, u"STATIC") && type == SS_ICON) r = makeRect(w->rect.left, w->rect.top, scaled(32), scaled(32));
        if (!within(r, reach) || r.bottom - r.top > shown.bottom - shown.top) {
            problems.push_back(name + " at " + rectText(r) + " is outside the area shown " + rectText(shown) +
                               (scroll.range > 0 ? " or scrolled to" : ""));
            continue;
        }
        if (isKind(*s, u"STATIC") && type != SS_ICON) {
            int width = w->rect.right - w->rect.left;
            std::vector<std::u16string> lines = wrapText(s->text, f, width);
            bool cut = static_cast<int>(lines.size()) * f.height() > w->rect.bottom - w->rect.top;
            for (const auto& line : lines) cut = cut || f.textWidth(line) > width;
            if (cut) problems.push_back(name + " cannot show its text whole in " + rectText(w->rect));
            continue;
        }
        RECT room = textRoom(*w, *s, f);
        const std::u16string& text = s->text;
        if (room.right <= room.left || text.empty()) continue;
        if (f.textWidth(text) > room.right - room.left || f.height() > room.bottom - room.top) {
            problems.push_back(name + " cannot show its text whole in " + rectText(w->rect));
        }
    }
    return problems;
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
    DialogScroll scroll = dialogScroll(*dw);
    if (scroll.range > 0 && inside(scroll.bar, x, y)) {
        int page = std::max(scroll.line, static_cast<int>(scroll.client.bottom - scroll.client.top) - scroll.line);
        RECT t = thumb(scroll);
        if (inside(upArrow(scroll), x, y)) scrollDialog(dialog, -scroll.line);
        else if (inside(downArrow(scroll), x, y)) scrollDialog(dialog, scroll.line);
        else if (y < t.top) scrollDialog(dialog, -page);
        else if (y >= t.bottom) scrollDialog(dialog, page);
        return true;
    }
    // The caption band, and what is scrolled under it, take no tap of a control.
    if (!inside(scroll.client, x, y)) return true;
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
