#include "message_box_view.h"

#include <algorithm>

#include "world.h"

namespace sim::screen {
namespace {

Font textFont() { return Font(Face::Regular, pointsToPixels(8)); }
Font captionFont() { return Font(Face::Bold, pointsToPixels(8)); }

}  // namespace

MessageBoxLayout layoutMessageBox(const OpenModal& box) {
    MessageBoxLayout l;
    const Device& d = world().device;
    Font f = textFont();
    Font cf = captionFont();
    int margin = scaled(8);
    int iconSize = (box.style & MB_ICONMASK) ? scaled(32) : 0;
    int buttonW = scaled(50);
    int buttonH = f.height() + scaled(8);
    int gap = scaled(6);
    bool yesNo = (box.style & 0xF) == MB_YESNO;
    int buttonsWidth = yesNo ? 2 * buttonW + gap : buttonW;

    int maxWidth = d.screenWidth - 2 * scaled(6);
    int textRoom = maxWidth - 2 * margin - (iconSize ? iconSize + margin : 0);
    l.lines = wrapText(box.text, f, textRoom);
    int textWidth = 0;
    for (const auto& line : l.lines) textWidth = std::max(textWidth, f.textWidth(line));
    int textHeight = static_cast<int>(l.lines.size()) * f.height();

    int captionH = cf.height() + scaled(6);
    int inner = std::max({textWidth + (iconSize ? iconSize + margin : 0), buttonsWidth, cf.textWidth(box.caption)});
    int width = std::min(maxWidth, inner + 2 * margin + 2);
    int bodyH = std::max(textHeight, iconSize);
    int height = 1 + captionH + margin + bodyH + margin + buttonH + margin + 1;

    int left = (d.screenWidth - width) / 2;
    int top = (d.screenHeight - height) / 2;
    l.box = makeRect(left, top, width, height);
    l.caption = RECT{left + 1, top + 1, left + width - 1, top + 1 + captionH};
    int bodyTop = l.caption.bottom + margin;
    if (iconSize) l.icon = makeRect(left + 1 + margin, bodyTop, iconSize, iconSize);
    int textLeft = left + 1 + margin + (iconSize ? iconSize + margin : 0);
    l.text = RECT{textLeft, bodyTop + (bodyH - textHeight) / 2, left + width - 1 - margin,
                  bodyTop + (bodyH - textHeight) / 2 + textHeight};
    int buttonsTop = bodyTop + bodyH + margin;
    int x = left + (width - buttonsWidth) / 2;
    int defaultIndex = (box.style & MB_DEFMASK) == MB_DEFBUTTON2 ? 1 : 0;
    if (yesNo) {
        l.buttons.push_back({IDYES, u"Yes", makeRect(x, buttonsTop, buttonW, buttonH), defaultIndex == 0});
        l.buttons.push_back({IDNO, u"No", makeRect(x + buttonW + gap, buttonsTop, buttonW, buttonH), defaultIndex == 1});
    } else {
        l.buttons.push_back({IDOK, u"OK", makeRect(x, buttonsTop, buttonW, buttonH), true});
    }
    return l;
}

void drawExclamation(Canvas& canvas, int x, int y, int size) {
    // A yellow warning triangle with a black edge and a black bar and dot.
    const int middle = x + size / 2;
    for (int r = 0; r < size; ++r) {
        const int half = (r * size / 2) / std::max(size - 1, 1);
        const int left = middle - half, right = middle + half - (size % 2 == 0 ? 1 : 0);
        for (int c = left; c <= right; ++c) {
            const bool edge = c == left || c == right || r == size - 1;
            canvas.pixel(c, y + r, edge ? colour::Frame : RGB(255, 214, 0));
        }
    }
    const int bar = std::max(2, size / 10);
    const int cx = middle - bar / 2;
    canvas.fill(makeRect(cx, y + size * 3 / 8, bar, size * 3 / 8), colour::Frame);
    canvas.fill(makeRect(cx, y + size * 13 / 16, bar, bar), colour::Frame);
}

void drawMessageBox(Canvas& canvas, const OpenModal& box) {
    MessageBoxLayout l = layoutMessageBox(box);
    Font f = textFont();
    Font cf = captionFont();
    canvas.fill(l.box, colour::Window);
    canvas.frame(l.box, colour::Frame);
    canvas.fill(l.caption, colour::Caption);
    canvas.text(RECT{l.caption.left + scaled(4), l.caption.top, l.caption.right - scaled(4), l.caption.bottom}, box.caption,
                cf, colour::CaptionText);
    if (l.icon.right > l.icon.left) drawExclamation(canvas, l.icon.left, l.icon.top, l.icon.right - l.icon.left);
    int y = l.text.top;
    for (const auto& line : l.lines) {
        canvas.within(l.text).textAt(l.text.left, y, line, f, colour::Text);
        y += f.height();
    }
    for (const auto& b : l.buttons) drawButton(canvas, b.rect, b.label, f, true, b.isDefault ? 2 : 1);
}

bool tapMessageBox(OpenModal& box, int x, int y) {
    MessageBoxLayout l = layoutMessageBox(box);
    if (!inside(l.box, x, y)) return false;
    for (const auto& b : l.buttons) {
        if (inside(b.rect, x, y)) {
            answerMessageBox(box, b.answer);
            break;
        }
    }
    return true;
}

}  // namespace sim::screen
