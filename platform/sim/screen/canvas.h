// Drawing on a picture of the screen: rectangles, frames, text and icons, clipped to a rectangle.
#pragma once

#include <string>
#include <vector>

#include "font.h"
#include "gdi.h"
#include "resources.h"

namespace sim::screen {

// The look of the device's windows and controls.
namespace colour {
constexpr COLORREF Window = RGB(255, 255, 255);
constexpr COLORREF Text = RGB(0, 0, 0);
constexpr COLORREF GrayText = RGB(128, 128, 128);
constexpr COLORREF Face = RGB(214, 211, 206);
constexpr COLORREF Shadow = RGB(128, 128, 128);
constexpr COLORREF Frame = RGB(0, 0, 0);
constexpr COLORREF Highlight = RGB(0, 36, 140);
constexpr COLORREF HighlightText = RGB(255, 255, 255);
constexpr COLORREF Caption = RGB(0, 36, 140);
constexpr COLORREF CaptionText = RGB(255, 255, 255);
constexpr COLORREF Desktop = RGB(226, 234, 246);
constexpr COLORREF CommandBar = RGB(190, 204, 226);
}  // namespace colour

enum class Align { Left, Center, Right };

struct Canvas {
    Surface& surface;
    RECT clip;

    explicit Canvas(Surface& s) : surface(s), clip{0, 0, s.width, s.height} {}
    Canvas(Surface& s, const RECT& c);
    Canvas within(const RECT& r) const;  // the same surface, clipped further to r

    void fill(const RECT& r, COLORREF c);
    void frame(const RECT& r, COLORREF c, int thickness = 1);
    void hline(int x0, int x1, int y, COLORREF c);
    void vline(int x, int y0, int y1, COLORREF c);
    void pixel(int x, int y, COLORREF c);
    // Text in r, vertically centred, aligned as asked, cut at r's edges.
    void text(const RECT& r, const std::u16string& t, const Font& f, COLORREF c, Align align = Align::Left);
    // Text with its top-left corner at (x, y).
    void textAt(int x, int y, const std::u16string& t, const Font& f, COLORREF c);
    // An icon's picture: pixels where the mask is opaque.
    void icon(int x, int y, const Image& colourImage, const Image& mask);
    // A symbol of the system's symbol font (arrows, check marks), centred in r.
    void symbol(const RECT& r, char16_t glyph, int pixelSize, COLORREF c);
};

// A push button: its face, a frame (thicker for the default button) and its label centred.
void drawButton(Canvas& c, const RECT& r, const std::u16string& label, const Font& f, bool enabled, int thickness = 1);

// Words laid out in lines no wider than width, as the platform breaks a static's text; a word
// wider than a line stands alone on it.
std::vector<std::u16string> wrapText(const std::u16string& text, const Font& f, int width);

RECT makeRect(int left, int top, int width, int height);
bool inside(const RECT& r, int x, int y);
RECT inset(const RECT& r, int d);

}  // namespace sim::screen
