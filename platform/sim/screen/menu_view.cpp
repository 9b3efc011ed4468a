#include "menu_view.h"

#include <algorithm>

#include "world.h"

namespace sim::screen {
namespace {

Font menuFont() { return Font(Face::Regular, pointsToPixels(8)); }

int itemHeight(const Font& f) { return f.height() + scaled(5); }
int separatorHeight() { return scaled(7); }
int textInset() { return scaled(8); }
int arrowSpace() { return scaled(14); }

bool isSeparator(const MenuItem& item) { return (item.flags & MF_SEPARATOR) != 0; }
bool isPopup(const MenuItem& item) { return (item.flags & MF_POPUP) != 0; }

// The menu's size, and its entries' rectangles relative to its top-left corner.
MenuLevel measure(HMENU handle) {
    MenuLevel level;
    level.menu = handle;
    const Menu* menu = findMenu(handle);
    if (menu == nullptr) return level;
    Font f = menuFont();
    int widest = 0;
    bool popups = false;
    for (const MenuItem& item : menu->items) {
        if (isSeparator(item)) continue;
        widest = std::max(widest, f.textWidth(item.text));
        popups = popups || isPopup(item);
    }
    int width = 2 + textInset() + widest + textInset() + (popups ? arrowSpace() : 0);
    width = std::max(width, scaled(48));
    int y = 1;
    for (const MenuItem& item : menu->items) {
        int h = isSeparator(item) ? separatorHeight() : itemHeight(f);
        level.items.push_back(RECT{1, y, width - 1, y + h});
        y += h;
    }
    level.rect = RECT{0, 0, width, y + 1};
    return level;
}

void moveBy(MenuLevel& level, int dx, int dy) {
    auto shift = [dx, dy](RECT& r) { r = RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; };
    shift(level.rect);
    for (RECT& r : level.items) shift(r);
}

// Placed as the platform places a popup menu: aligned to the anchor as the flags say; a menu that
// would leave the screen is flipped to the anchor's other side, then held on the screen.
void place(MenuLevel& level, int x, int y, UINT flags) {
    const Device& d = world().device;
    int w = level.rect.right;
    int h = level.rect.bottom;
    if (flags & TPM_RIGHTALIGN) x -= w;
    else if (flags & TPM_CENTERALIGN) x -= w / 2;
    if (flags & TPM_BOTTOMALIGN) y -= h;
    else if (flags & TPM_VCENTERALIGN) y -= h / 2;
    if (x + w > d.screenWidth) x -= w;
    if (y + h > d.screenHeight) y -= h;
    x = std::max(0, std::min(x, d.screenWidth - w));
    y = std::max(0, std::min(y, d.screenHeight - h));
    moveBy(level, x, y);
}

// A submenu opens beside its entry: to the right of its parent, or to the left where the right
// has no room; its first entry level with the parent's entry, held on the screen.
void placeBeside(MenuLevel& level, const MenuLevel& parent, const RECT& entry) {
    const Device& d = world().device;
    int w = level.rect.right;
    int h = level.rect.bottom;
    int x = parent.rect.right - scaled(3);
    if (x + w > d.screenWidth) x = parent.rect.left - w + scaled(3);
    int y = entry.top - 1;
    x = std::max(0, std::min(x, d.screenWidth - w));
    y = std::max(0, std::min(y, d.screenHeight - h));
    moveBy(level, x, y);
}

int scrollArrowHeight() { return scaled(12); }

// A menu taller than the screen, placed at the screen's top, is cut to the screen's height; the
// entries from `first` on that fit between the two scroll arrows are shown.
void fitOnScreen(MenuLevel& level, int first) {
    const Device& d = world().device;
    if (level.rect.bottom - level.rect.top <= d.screenHeight || level.items.empty()) return;
    level.scrolls = true;
    level.rect.bottom = level.rect.top + d.screenHeight;
    int arrow = scrollArrowHeight();
    level.upArrow = RECT{level.rect.left + 1, level.rect.top + 1, level.rect.right - 1, level.rect.top + 1 + arrow};
    level.downArrow = RECT{level.rect.left + 1, level.rect.bottom - 1 - arrow, level.rect.right - 1, level.rect.bottom - 1};
    int count = static_cast<int>(level.items.size());
    first = std::max(0, std::min(first, count - 1));
    int shift = level.upArrow.bottom - level.items[static_cast<size_t>(first)].top;
    level.first = first;
    level.moreAbove = first > 0;
    for (int i = 0; i < count; ++i) {
        RECT& r = level.items[static_cast<size_t>(i)];
        r.top += shift;
        r.bottom += shift;
        if (i < first || r.bottom > level.downArrow.top) {
            level.moreBelow = level.moreBelow || i >= first;
            r = RECT{0, 0, 0, 0};
        }
    }
}

int firstShown(const OpenModal& modal, size_t depth) {
    return depth < modal.firstShown.size() ? modal.firstShown[depth] : 0;
}

}  // namespace

std::vector<MenuLevel> menuLevels(const OpenModal& modal) {
    std::vector<MenuLevel> levels;
    MenuLevel top = measure(modal.menu);
    place(top, modal.x, modal.y, modal.flags);
    fitOnScreen(top, firstShown(modal, 0));
    levels.push_back(top);
    for (size_t depth = 0; depth < modal.hotPath.size(); ++depth) {
        MenuLevel& current = levels.back();
        int hot = modal.hotPath[depth];
        const Menu* menu = findMenu(current.menu);
        if (menu == nullptr || hot < 0 || hot >= static_cast<int>(menu->items.size())) break;
        current.hot = hot;
        const MenuItem& item = menu->items[static_cast<size_t>(hot)];
        if (!isPopup(item) || findMenu(item.submenu) == nullptr) break;
        MenuLevel sub = measure(item.submenu);
        placeBeside(sub, current, current.items[static_cast<size_t>(hot)]);
        fitOnScreen(sub, firstShown(modal, depth + 1));
        levels.push_back(sub);
    }
    return levels;
}

void drawMenu(Canvas& canvas, const OpenModal& modal) {
    Font f = menuFont();
    for (const MenuLevel& level : menuLevels(modal)) {
        const Menu* menu = findMenu(level.menu);
        if (menu == nullptr) continue;
        canvas.fill(level.rect, colour::Window);
        canvas.frame(level.rect, colour::Frame);
        if (level.scrolls) {
            // The scroll arrows; one with nothing more to show in its direction is greyed.
            canvas.symbol(level.upArrow, u'5', scrollArrowHeight(), level.moreAbove ? colour::Text : colour::GrayText);
            canvas.symbol(level.downArrow, u'6', scrollArrowHeight(), level.moreBelow ? colour::Text : colour::GrayText);
        }
        for (size_t i = 0; i < menu->items.size(); ++i) {
            const MenuItem& item = menu->items[i];
            const RECT& r = level.items[i];
            if (r.bottom <= r.top) continue;  // scrolled out of view
            if (isSeparator(item)) {
                int mid = (r.top + r.bottom) / 2;
                canvas.hline(r.left + scaled(2), r.right - scaled(2), mid, colour::Shadow);
                continue;
            }
            bool hot = static_cast<int>(i) == level.hot;
            COLORREF ink = hot ? colour::HighlightText : colour::Text;
            if (hot) canvas.fill(r, colour::Highlight);
            canvas.text(RECT{r.left + textInset(), r.top, r.right - textInset(), r.bottom}, item.text, f, ink);
            if (isPopup(item)) {
                // The submenu arrow, from the symbol font.
                canvas.symbol(RECT{r.right - arrowSpace(), r.top, r.right - scaled(2), r.bottom}, u'4', f.height() * 3 / 4, ink);
            }
        }
    }
}

bool tapMenu(OpenModal& modal, int x, int y) {
    std::vector<MenuLevel> levels = menuLevels(modal);
    // The deepest level is on top of its parents.
    for (size_t depth = levels.size(); depth-- > 0;) {
        const MenuLevel& level = levels[depth];
        if (!inside(level.rect, x, y)) continue;
        const Menu* menu = findMenu(level.menu);
        if (menu == nullptr) return true;
        if (level.scrolls && (inside(level.upArrow, x, y) || inside(level.downArrow, x, y))) {
            // An arrow scrolls the menu by one entry; the menu stays open, its submenus close.
            bool down = inside(level.downArrow, x, y);
            if (down ? !level.moreBelow : !level.moreAbove) return true;
            if (modal.firstShown.size() <= depth) modal.firstShown.resize(depth + 1, 0);
            modal.firstShown[depth] = level.first + (down ? 1 : -1);
            modal.firstShown.resize(depth + 1);
            modal.hotPath.resize(depth);
            return true;
        }
        for (size_t i = 0; i < level.items.size(); ++i) {
            if (!inside(level.items[i], x, y)) continue;
            const MenuItem& item = menu->items[i];
            if (isSeparator(item)) return true;
            modal.hotPath.resize(depth);
            modal.hotPath.push_back(static_cast<int>(i));
            // A submenu opened anew shows its first entries.
            if (modal.firstShown.size() > depth + 1) modal.firstShown.resize(depth + 1);
            if (!isPopup(item)) chooseMenuItem(modal, item.id);
            return true;
        }
        return true;  // the border
    }
    return false;
}

}  // namespace sim::screen
