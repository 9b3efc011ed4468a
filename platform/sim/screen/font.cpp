#include "font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cstdio>
#include <map>
#include <utility>

#include "world.h"

#ifndef ORVO_FONT_DIR
#define ORVO_FONT_DIR "/usr/share/wine/fonts"
#endif

namespace sim::screen {
namespace {

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) return static_cast<FT_Library>(nullptr);
        return l;
    }();
    return lib;
}

// One face object per file and size, kept for the simulator's life.
FT_Face openFace(Face face, int pixelSize) {
    static std::map<std::pair<int, int>, FT_Face> faces;
    auto key = std::make_pair(static_cast<int>(face), pixelSize);
    auto it = faces.find(key);
    if (it != faces.end()) return it->second;
    FT_Face f = nullptr;
    std::string file = fontFile(face);
    if (library() == nullptr || FT_New_Face(library(), file.c_str(), 0, &f) != 0) {
        static bool warned = false;
        if (!warned) std::fprintf(stderr, "orvo-sim: cannot open the font %s; the screen is drawn without text\n", file.c_str());
        warned = true;
        f = nullptr;
    } else if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        FT_Done_Face(f);
        f = nullptr;
    } else if (FT_Select_Charmap(f, FT_ENCODING_UNICODE) != 0) {
        // A symbol font maps its glyphs in the symbol area, from U+F000 on.
        FT_Select_Charmap(f, FT_ENCODING_MS_SYMBOL);
    }
    faces[key] = f;
    return f;
}

// Glyphs are drawn as the device's screen fonts are, without smoothing: one colour, whole pixels.
constexpr FT_Int32 kLoadFlags = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME;

// The glyph of a character; a symbol font has it at U+F000 plus the character's code.
FT_Error loadGlyph(FT_Face f, char16_t c) {
    FT_UInt index = FT_Get_Char_Index(f, c);
    if (index == 0 && f->charmap && f->charmap->encoding == FT_ENCODING_MS_SYMBOL) index = FT_Get_Char_Index(f, 0xF000u | c);
    return FT_Load_Glyph(f, index, kLoadFlags);
}

int roundDiv(long a, long b) { return static_cast<int>((a + b / 2) / b); }

}  // namespace

std::string fontFile(Face face) {
    const char* dir = ORVO_FONT_DIR;
    switch (face) {
        case Face::Bold: return std::string(dir) + "/tahomabd.ttf";
        case Face::Symbols: return std::string(dir) + "/marlett.ttf";
        default: return std::string(dir) + "/tahoma.ttf";
    }
}

Font::Font(Face face, int pixelSize) : pixelSize_(pixelSize) {
    FT_Face f = openFace(face, pixelSize);
    face_ = f;
    if (f == nullptr) return;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    long upem = f->units_per_EM;
    if (os2 != nullptr && upem > 0) {
        ascent_ = roundDiv(static_cast<long>(os2->usWinAscent) * pixelSize, upem);
        descent_ = roundDiv(static_cast<long>(os2->usWinDescent) * pixelSize, upem);
    } else {
        ascent_ = static_cast<int>(f->size->metrics.ascender >> 6);
        descent_ = static_cast<int>(-(f->size->metrics.descender >> 6));
    }
}

int Font::textWidth(const std::u16string& text) const {
    auto f = static_cast<FT_Face>(face_);
    if (f == nullptr) return 0;
    long width = 0;
    for (char16_t c : text) {
        if (loadGlyph(f, c) != 0) continue;
        width += f->glyph->advance.x;
    }
    return static_cast<int>(width >> 6);
}

int Font::draw(Surface& s, int x, int y, const std::u16string& text, COLORREF colour, const RECT& clip) const {
    auto f = static_cast<FT_Face>(face_);
    if (f == nullptr) return 0;
    long pen = static_cast<long>(x) << 6;
    int baseline = y + ascent_;
    for (char16_t c : text) {
        if (loadGlyph(f, c) != 0) continue;
        FT_GlyphSlot g = f->glyph;
        const FT_Bitmap& b = g->bitmap;
        int left = static_cast<int>(pen >> 6) + g->bitmap_left;
        int top = baseline - g->bitmap_top;
        for (unsigned r = 0; r < b.rows; ++r) {
            for (unsigned col = 0; col < b.width; ++col) {
                bool on = b.pixel_mode == FT_PIXEL_MODE_MONO
                              ? (b.buffer[r * static_cast<unsigned>(b.pitch) + col / 8] >> (7 - col % 8)) & 1
                              : b.buffer[r * static_cast<unsigned>(b.pitch) + col] >= 128;
                int px = left + static_cast<int>(col);
                int py = top + static_cast<int>(r);
                if (on && px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom && s.contains(px, py)) {
                    s.set(px, py, colour);
                }
            }
        }
        pen += g->advance.x;
    }
    return static_cast<int>((pen >> 6) - x);
}

int screenDpi() {
    const Device& d = world().device;
    return (d.screenWidth > 320 || d.screenHeight > 320) ? 192 : 96;
}

int scaled(int pixelsAt96) { return pixelsAt96 * screenDpi() / 96; }

int pointsToPixels(int points) { return (points * screenDpi() + 36) / 72; }

BaseUnits baseUnits(const Font& font) {
    static const std::u16string letters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    BaseUnits b;
    b.x = (font.textWidth(letters) / 26 + 1) / 2;
    b.y = font.height();
    if (b.x <= 0 || b.y <= 0) b = BaseUnits{scaled(6), scaled(13)};  // no font: the classic system font's
    return b;
}

}  // namespace sim::screen
