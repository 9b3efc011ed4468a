#include "gdi.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "sim_api.h"
#include "window_manager.h"
#include "world.h"

namespace sim {
namespace {

enum class ObjectKind { Bitmap, Brush, Dc, Icon };

struct GdiObject {
    ObjectKind kind;
    bool stock = false;
    Surface surface;          // bitmaps
    COLORREF color = 0;       // brushes
    // device contexts
    bool screen = false;      // draws on the screen
    HWND window = nullptr;    // window context: origin at the window's top-left
    HGDIOBJ selected = nullptr;
    HGDIOBJ defaultBitmap = nullptr;
    HDC selectedInto = nullptr;  // bitmaps: the memory context holding it
    // icons
    Surface mask;             // 0x000000 opaque, 0xFFFFFF transparent
    Surface image;
    unsigned resourceId = 0;
    Process* owner = nullptr;  // freed when its process ends
};

std::map<uintptr_t, std::unique_ptr<GdiObject>> gObjects;
uintptr_t gNextObject = 0x200000;
Surface gScreen;
ScreenTraffic gTraffic;

template <typename H>
H addObject(std::unique_ptr<GdiObject> o) {
    uintptr_t value = gNextObject;
    gNextObject += 4;
    o->owner = currentProcess();
    gObjects[value] = std::move(o);
    return reinterpret_cast<H>(value);
}

GdiObject* object(const void* handle, ObjectKind kind) {
    auto it = gObjects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == gObjects.end() || it->second->kind != kind) return nullptr;
    return it->second.get();
}

GdiObject* bitmapOf(GdiObject* dc) { return dc->selected ? object(dc->selected, ObjectKind::Bitmap) : nullptr; }

// Where a context draws: the screen (with the window's origin) or its selected bitmap.
struct Target {
    Surface* surface = nullptr;
    int originX = 0;
    int originY = 0;
    bool isScreen = false;
};

Target targetOf(HDC handle) {
    GdiObject* dc = object(handle, ObjectKind::Dc);
    Target t;
    if (dc == nullptr) return t;
    if (dc->screen) {
        t.surface = &gScreen;
        t.isScreen = true;
        if (Window* w = findWindowObject(dc->window)) {
            t.originX = w->rect.left;
            t.originY = w->rect.top;
        }
    } else if (GdiObject* bm = bitmapOf(dc)) {
        t.surface = &bm->surface;
    }
    return t;
}

COLORREF readPixel(const Target& t, int x, int y, bool* ok) {
    int sx = x + t.originX;
    int sy = y + t.originY;
    if (t.surface == nullptr || !t.surface->contains(sx, sy)) {
        *ok = false;
        return 0;
    }
    if (t.isScreen) gTraffic.pixelsRead++;
    *ok = true;
    return t.surface->get(sx, sy);
}

void writePixel(const Target& t, int x, int y, COLORREF c) {
    int sx = x + t.originX;
    int sy = y + t.originY;
    if (t.surface == nullptr || !t.surface->contains(sx, sy)) return;
    if (t.isScreen) gTraffic.pixelsWritten++;
    t.surface->set(sx, sy, c);
}

Surface fromImage(const Image& img) {
    Surface s;
    s.width = img.width;
    s.height = img.height;
    s.pixels = img.pixels;
    return s;
}

// A colour bitmap used as an icon mask counts white as transparent and every other colour as
// opaque, as the platform's conversion to a monochrome mask does.
Surface monochromeMask(const Surface& source) {
    Surface m = source;
    for (auto& p : m.pixels) p = (p & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFF : 0x000000;
    return m;
}

unsigned resourceId(LPCWSTR name) { return IS_INTRESOURCE(name) ? static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)) : 0; }

}  // namespace

void Surface::resize(int w, int h, COLORREF fill) {
    width = w;
    height = h;
    pixels.assign(static_cast<size_t>(w) * h, fill);
}

Surface& screenSurface() { return gScreen; }

void resizeScreen(int width, int height) {
    Surface old = gScreen;
    gScreen.resize(width, height, 0);
    for (int y = 0; y < std::min(height, old.height); ++y) {
        for (int x = 0; x < std::min(width, old.width); ++x) gScreen.set(x, y, old.get(x, y));
    }
}

ScreenTraffic& screenTraffic() { return gTraffic; }

namespace {

// Counted as a GDI object: bitmaps, brushes and memory contexts made by a program, but not the
// default bitmap of a memory context, which lives and dies with its context.
bool countsAsGdiObject(uintptr_t handle, const GdiObject& o) {
    if (o.stock || o.kind == ObjectKind::Icon) return false;
    if (o.kind == ObjectKind::Dc && o.screen) return false;
    if (o.kind == ObjectKind::Bitmap && o.selectedInto && object(o.selectedInto, ObjectKind::Dc) &&
        object(o.selectedInto, ObjectKind::Dc)->defaultBitmap == reinterpret_cast<HGDIOBJ>(handle)) {
        return false;
    }
    return true;
}

ExitLeftovers gLeftovers;

}  // namespace

size_t liveGdiObjects() {
    size_t n = 0;
    for (auto& [k, o] : gObjects) n += countsAsGdiObject(k, *o);
    return n;
}

const ExitLeftovers& lastExitLeftovers() { return gLeftovers; }

size_t liveIcons() {
    size_t n = 0;
    for (auto& [k, o] : gObjects) n += o->kind == ObjectKind::Icon;
    return n;
}

size_t liveDeviceContexts() {
    size_t n = 0;
    for (auto& [k, o] : gObjects) n += o->kind == ObjectKind::Dc && o->screen;
    return n;
}

void releaseProcessGdi(Process* process) {
    gLeftovers = ExitLeftovers();
    for (auto& [k, o] : gObjects) {
        if (o->owner != process || o->stock) continue;
        gLeftovers.gdiObjects += countsAsGdiObject(k, *o);
        gLeftovers.icons += o->kind == ObjectKind::Icon;
        gLeftovers.deviceContexts += o->kind == ObjectKind::Dc && o->screen;
    }
    for (auto it = gObjects.begin(); it != gObjects.end();) {
        if (it->second->owner == process && !it->second->stock) {
            it = gObjects.erase(it);
        } else {
            ++it;
        }
    }
}

unsigned iconResourceId(HICON handle) {
    GdiObject* icon = object(handle, ObjectKind::Icon);
    return icon ? icon->resourceId : 0;
}

bool iconImages(HICON handle, Surface* mask, Surface* colour) {
    GdiObject* icon = object(handle, ObjectKind::Icon);
    if (icon == nullptr) return false;
    *mask = icon->mask;
    *colour = icon->image;
    return true;
}

void resetGdi() {
    gObjects.clear();
    gScreen = Surface();
}

bool writeScreenshot(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(gScreen.width), static_cast<png_uint_32>(gScreen.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(gScreen.width) * 3);
    for (int y = 0; y < gScreen.height; ++y) {
        for (int x = 0; x < gScreen.width; ++x) {
            COLORREF c = gScreen.get(x, y);
            row[static_cast<size_t>(x) * 3] = GetRValue(c);
            row[static_cast<size_t>(x) * 3 + 1] = GetGValue(c);
            row[static_cast<size_t>(x) * 3 + 2] = GetBValue(c);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

}  // namespace sim

using namespace sim;

HDC GetDC(HWND window) {
    if (shouldFail("GetDC")) return nullptr;
    if (window != nullptr && findWindowObject(window) == nullptr) return nullptr;
    auto dc = std::make_unique<GdiObject>();
    dc->kind = ObjectKind::Dc;
    dc->screen = true;
    dc->window = window;
    return addObject<HDC>(std::move(dc));
}

int ReleaseDC(HWND, HDC dc) {
    GdiObject* o = object(dc, ObjectKind::Dc);
    if (o == nullptr || !o->screen) return 0;
    gObjects.erase(reinterpret_cast<uintptr_t>(dc));
    return 1;
}

HDC CreateCompatibleDC(HDC reference) {
    if (shouldFail("CreateCompatibleDC")) return nullptr;
    if (reference != nullptr && object(reference, ObjectKind::Dc) == nullptr) return nullptr;
    auto bm = std::make_unique<GdiObject>();
    bm->kind = ObjectKind::Bitmap;
    bm->surface.resize(1, 1, 0);  // a new memory context holds a 1 x 1 bitmap
    HGDIOBJ defaultBitmap = addObject<HGDIOBJ>(std::move(bm));
    auto dc = std::make_unique<GdiObject>();
    dc->kind = ObjectKind::Dc;
    dc->selected = defaultBitmap;
    dc->defaultBitmap = defaultBitmap;
    HDC h = addObject<HDC>(std::move(dc));
    object(defaultBitmap, ObjectKind::Bitmap)->selectedInto = h;
    return h;
}

BOOL DeleteDC(HDC handle) {
    GdiObject* dc = object(handle, ObjectKind::Dc);
    if (dc == nullptr || dc->screen) return FALSE;
    if (GdiObject* bm = bitmapOf(dc)) bm->selectedInto = nullptr;
    gObjects.erase(reinterpret_cast<uintptr_t>(dc->defaultBitmap));
    gObjects.erase(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (shouldFail("CreateCompatibleBitmap") || object(dc, ObjectKind::Dc) == nullptr || width < 0 || height < 0) {
        return nullptr;
    }
    auto bm = std::make_unique<GdiObject>();
    bm->kind = ObjectKind::Bitmap;
    bm->surface.resize(std::max(width, 1), std::max(height, 1), 0);
    return addObject<HBITMAP>(std::move(bm));
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ obj) {
    GdiObject* dc = object(handle, ObjectKind::Dc);
    if (dc == nullptr) return nullptr;
    if (GdiObject* bm = object(obj, ObjectKind::Bitmap)) {
        if (dc->screen) return nullptr;
        if (bm->selectedInto && bm->selectedInto != handle) return nullptr;  // one context at a time
        HGDIOBJ old = dc->selected;
        if (GdiObject* oldBm = object(old, ObjectKind::Bitmap)) oldBm->selectedInto = nullptr;
        dc->selected = obj;
        bm->selectedInto = handle;
        return old;
    }
    if (object(obj, ObjectKind::Brush)) return obj;  // brushes are not drawn with here
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ obj) {
    auto it = gObjects.find(reinterpret_cast<uintptr_t>(obj));
    if (it == gObjects.end() || it->second->kind == ObjectKind::Dc || it->second->kind == ObjectKind::Icon) {
        return FALSE;
    }
    if (it->second->stock) return TRUE;
    if (it->second->selectedInto) return FALSE;  // still selected into a context
    gObjects.erase(it);
    return TRUE;
}

HGDIOBJ GetStockObject(int index) {
    static std::map<int, HGDIOBJ> stock;
    auto it = stock.find(index);
    if (it != stock.end() && gObjects.count(reinterpret_cast<uintptr_t>(it->second))) return it->second;
    auto brush = std::make_unique<GdiObject>();
    brush->kind = ObjectKind::Brush;
    brush->stock = true;
    brush->color = index == WHITE_BRUSH ? RGB(255, 255, 255) : 0;
    HGDIOBJ h = addObject<HGDIOBJ>(std::move(brush));
    stock[index] = h;
    return h;
}

int GetObjectW(HGDIOBJ obj, int size, LPVOID out) {
    GdiObject* bm = object(obj, ObjectKind::Bitmap);
    if (bm == nullptr || out == nullptr || size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP info{0, bm->surface.width, bm->surface.height, bm->surface.width * 4, 1, 32, nullptr};
    *static_cast<BITMAP*>(out) = info;
    return sizeof(BITMAP);
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    if (shouldFail("BitBlt")) return FALSE;
    Target d = targetOf(dst);
    if (d.surface == nullptr) return FALSE;
    bool needsSource = rop == SRCCOPY || rop == SRCINVERT || rop == SRCAND || rop == SRCPAINT;
    Target s = needsSource ? targetOf(src) : Target{};
    if (needsSource && s.surface == nullptr) return FALSE;
    // Read the whole source block first, so that overlapping copies behave.
    std::vector<COLORREF> block(static_cast<size_t>(std::max(w, 0)) * std::max(h, 0));
    std::vector<char> present(block.size(), 0);
    if (needsSource) {
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                bool ok = false;
                COLORREF v = readPixel(s, sx + c, sy + r, &ok);
                block[static_cast<size_t>(r) * w + c] = v;
                present[static_cast<size_t>(r) * w + c] = ok;
            }
        }
    }
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            size_t i = static_cast<size_t>(r) * w + c;
            COLORREF src_ = block[i];
            // Source pixels outside the source surface leave the destination as it was.
            if (needsSource && !present[i]) continue;
            COLORREF out;
            if (rop == SRCCOPY) {
                out = src_;
            } else if (rop == BLACKNESS) {
                out = 0;
            } else if (rop == WHITENESS) {
                out = 0xFFFFFF;
            } else {
                bool ok = false;
                COLORREF old = readPixel(d, x + c, y + r, &ok);
                if (!ok) continue;
                if (rop == SRCINVERT) out = (old ^ src_) & 0xFFFFFF;
                else if (rop == SRCAND) out = old & src_;
                else if (rop == SRCPAINT) out = old | src_;
                else return FALSE;
            }
            writePixel(d, x + c, y + r, out);
        }
    }
    return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    if (shouldFail("GetPixel")) return CLR_INVALID;
    Target t = targetOf(dc);
    bool ok = false;
    COLORREF c = readPixel(t, x, y, &ok);
    return ok ? c : CLR_INVALID;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    Target t = targetOf(dc);
    if (t.surface == nullptr || !t.surface->contains(x + t.originX, y + t.originY)) return static_cast<COLORREF>(-1);
    writePixel(t, x, y, color & 0xFFFFFF);
    return color & 0xFFFFFF;
}

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name) {
    if (shouldFail("LoadBitmapW")) return nullptr;
    Image img;
    if (!decodeBitmapResource(resourceId(name), &img)) return nullptr;
    auto bm = std::make_unique<GdiObject>();
    bm->kind = ObjectKind::Bitmap;
    bm->surface = fromImage(img);  // converted to the screen's true-colour format
    return addObject<HBITMAP>(std::move(bm));
}

HICON LoadIconW(HINSTANCE, LPCWSTR name) {
    if (shouldFail("LoadIconW")) return nullptr;
    Image colour;
    Image mask;
    // The platform's standard icon size is 32 pixels; an icon with a single image gives that one.
    if (!decodeIconResource(resourceId(name), 32, &colour, &mask)) return nullptr;
    auto icon = std::make_unique<GdiObject>();
    icon->kind = ObjectKind::Icon;
    icon->image = fromImage(colour);
    icon->mask = fromImage(mask);
    icon->resourceId = resourceId(name);
    return addObject<HICON>(std::move(icon));
}

HICON CreateIconIndirect(PICONINFO info) {
    if (shouldFail("CreateIconIndirect") || info == nullptr) return nullptr;
    GdiObject* mask = object(info->hbmMask, ObjectKind::Bitmap);
    GdiObject* colour = object(info->hbmColor, ObjectKind::Bitmap);
    if (mask == nullptr) return nullptr;
    auto icon = std::make_unique<GdiObject>();
    icon->kind = ObjectKind::Icon;
    icon->mask = monochromeMask(mask->surface);  // the icon keeps copies of both bitmaps
    if (colour) {
        icon->image = colour->surface;
    } else {
        icon->image.resize(mask->surface.width, mask->surface.height, 0);
    }
    return addObject<HICON>(std::move(icon));
}

BOOL DestroyIcon(HICON handle) {
    if (object(handle, ObjectKind::Icon) == nullptr) return FALSE;
    gObjects.erase(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON handle, int w, int h, UINT, HBRUSH, UINT flags) {
    if (shouldFail("DrawIconEx")) return FALSE;
    GdiObject* icon = object(handle, ObjectKind::Icon);
    Target t = targetOf(dc);
    if (icon == nullptr || t.surface == nullptr) return FALSE;
    // An icon made from a mask and a colour bitmap of different sizes draws where both exist.
    int ownWidth = std::min(icon->image.width, icon->mask.width);
    int ownHeight = std::min(icon->image.height, icon->mask.height);
    int width = w > 0 ? std::min(w, ownWidth) : ownWidth;
    int height = h > 0 ? std::min(h, ownHeight) : ownHeight;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            bool ok = false;
            COLORREF v = readPixel(t, x + c, y + r, &ok);
            if (!ok) continue;
            if (flags & DI_MASK) v &= icon->mask.get(c, r);
            if (flags & DI_IMAGE) v ^= icon->image.get(c, r);
            writePixel(t, x + c, y + r, v & 0xFFFFFF);
        }
    }
    return TRUE;
}
