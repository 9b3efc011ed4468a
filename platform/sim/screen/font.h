// Text of the simulated screen: the system's fonts (Tahoma, its bold face, and Marlett for the
// glyphs that controls and menus draw) rendered with FreeType at the device's resolution.
#pragma once

#include <string>

#include "gdi.h"

namespace sim::screen {

enum class Face { Regular, Bold, Symbols };

// A face at a pixel size (the em height, as the platform's font height gives it).
class Font {
public:
    Font(Face face, int pixelSize);
    bool usable() const { return face_ != nullptr; }
    // Windows' text metrics of the face at this size: ascent and descent from the face's
    // Windows metrics, rounded to whole pixels.
    int ascent() const { return ascent_; }
    int height() const { return ascent_ + descent_; }
    int textWidth(const std::u16string& text) const;
    // Draws text with its top-left cell corner at (x, y), clipped to clip; returns its width.
    int draw(Surface& s, int x, int y, const std::u16string& text, COLORREF colour, const RECT& clip) const;

private:
    void* face_ = nullptr;  // FT_Face
    int pixelSize_ = 0;
    int ascent_ = 0;
    int descent_ = 0;
};

// The font a dialog template names at its point size, at the screen's resolution; only the
// system's own face is at hand, so every template font is drawn with it.
int pointsToPixels(int points);
// Logical pixels per inch: 96, or 192 on a VGA screen, as the device's high-resolution shell.
int screenDpi();
int scaled(int pixelsAt96);

// The dialog base units of a font (the average character width and the character height), as
// the platform computes them from the font's letters.
struct BaseUnits {
    int x = 0;
    int y = 0;
};
BaseUnits baseUnits(const Font& font);

// Where the font files are; empty when the fonts are not installed (text is then not drawn).
std::string fontFile(Face face);

}  // namespace sim::screen
