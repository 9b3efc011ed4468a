#include "canvas.h"

#include <algorithm>

namespace sim::screen {

std::vector<std::u16string> wrapText(const std::u16string& text, const Font& f, int width) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        std::u16string paragraph = text.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
        std::u16string line;
        size_t i = 0;
        while (i < paragraph.size()) {
            size_t space = paragraph.find(u' ', i);
            std::u16string word = paragraph.substr(i, space == std::u16string::npos ? std::u16string::npos : space - i);
            std::u16string candidate = line.empty() ? word : line + u" " + word;
            if (!line.empty() && f.textWidth(candidate) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            if (space == std::u16string::npos) break;
            i = space + 1;
        }
        lines.push_back(line);
        if (end == std::u16string::npos) break;
        start = end + 1;
    }
    return lines;
}


void drawButton(Canvas& c, const RECT& r, const std::u16string& label, const Font& f, bool enabled, int thickness) {
    c.fill(r, colour::Face);
    c.frame(r, colour::Frame, thickness);
    c.text(inset(r, 2), label, f, enabled ? colour::Text : colour::GrayText, Align::Center);
}

RECT makeRect(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }

bool inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

RECT inset(const RECT& r, int d) { return RECT{r.left + d, r.top + d, r.right - d, r.bottom - d}; }

Canvas::Canvas(Surface& s, const RECT& c) : surface(s), clip(c) {
    clip.left = std::max<LONG>(clip.left, 0);
    clip.top = std::max<LONG>(clip.top, 0);
    clip.right = std::min<LONG>(clip.right, s.width);
    clip.bottom = std::min<LONG>(clip.bottom, s.height);
}

Canvas Canvas::within(const RECT& r) const {
    RECT c{std::max(clip.left, r.left), std::max(clip.top, r.top), std::min(clip.right, r.right),
           std::min(clip.bottom, r.bottom)};
    return Canvas(surface, c);
}

void Canvas::pixel(int x, int y, COLORREF c) {
    if (inside(clip, x, y)) surface.set(x, y, c);
}

void Canvas::fill(const RECT& r, COLORREF c) {
    int x0 = std::max<int>(r.left, clip.left), x1 = std::min<int>(r.right, clip.right);
    int y0 = std::max<int>(r.top, clip.top), y1 = std::min<int>(r.bottom, clip.bottom);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) surface.set(x, y, c);
    }
}

void Canvas::hline(int x0, int x1, int y, COLORREF c) { fill(RECT{x0, y, x1, y + 1}, c); }

void Canvas::vline(int x, int y0, int y1, COLORREF c) { fill(RECT{x, y0, x + 1, y1}, c); }

void Canvas::frame(const RECT& r, COLORREF c, int thickness) {
    for (int i = 0; i < thickness; ++i) {
        RECT f = inset(r, i);
        hline(f.left, f.right, f.top, c);
        hline(f.left, f.right, f.bottom - 1, c);
        vline(f.left, f.top, f.bottom, c);
        vline(f.right - 1, f.top, f.bottom, c);
    }
}

void Canvas::text(const RECT& r, const std::u16string& t, const Font& f, COLORREF c, Align align) {
    int w = f.textWidth(t);
    int x = r.left;
    if (align == Align::Center) x = r.left + (r.right - r.left - w) / 2;
    if (align == Align::Right) x = r.right - w;
    int y = r.top + (r.bottom - r.top - f.height()) / 2;
    Canvas inner = within(r);
    f.draw(surface, x, y, t, c, inner.clip);
}

void Canvas::textAt(int x, int y, const std::u16string& t, const Font& f, COLORREF c) { f.draw(surface, x, y, t, c, clip); }

void Canvas::icon(int x, int y, const Image& colourImage, const Image& mask) {
    int w = std::min(colourImage.width, mask.width);
    int h = std::min(colourImage.height, mask.height);
    for (int r = 0; r < h; ++r) {
        for (int col = 0; col < w; ++col) {
            if ((mask.at(col, r) & 0xFFFFFF) == 0) pixel(x + col, y + r, colourImage.at(col, r));
        }
    }
}

void Canvas::symbol(const RECT& r, char16_t glyph, int pixelSize, COLORREF c) {
    Font symbols(Face::Symbols, pixelSize);
    text(r, std::u16string(1, glyph), symbols, c, Align::Center);
}

}  // namespace sim::screen
