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

}  // namespace

std::vector<MenuLevel> menuLevels(const OpenModal& modal) {
    std::vector<MenuLevel> levels;
    MenuLevel top = measure(modal.menu);
    place(top, modal.x, modal.y, modal.flags);
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
        for (size_t i = 0; i < menu->items.size(); ++i) {
            const MenuItem& item = menu->items[i];
            const RECT& r = level.items[i];
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
        for (size_t i = 0; i < level.items.size(); ++i) {
            if (!inside(level.items[i], x, y)) continue;
            const MenuItem& item = menu->items[i];
            if (isSeparator(item)) return true;
            modal.hotPath.resize(depth);
            modal.hotPath.push_back(static_cast<int>(i));
            if (!isPopup(item)) chooseMenuItem(modal, item.id);
            return true;
        }
        return true;  // the border
    }
    return false;
}

}  // namespace sim::screen
