#include "gdi.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <unordered_map>
#include <memory>

#include "invariants.h"
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
    int bitsPerPixel = 32;    // 1: monochrome, its pixels only black or white
    COLORREF color = 0;       // brushes
    // device contexts
    bool screen = false;      // draws on the screen
    HWND window = nullptr;    // window context: origin at the window's top-left
    HGDIOBJ selected = nullptr;
    HGDIOBJ defaultBitmap = nullptr;
    HDC selectedInto = nullptr;  // bitmaps: the memory context holding it
    // DIB sections: the caller's view of the pixels, 0x00RRGGBB each, in the DIB's row order
    std::vector<uint32_t> dib;
    bool isDib = false;
    bool dibBottomUp = false;
    // icons
    Surface mask;             // 0x000000 opaque, 0xFFFFFF transparent
    Surface image;
    unsigned resourceId = 0;
    bool shared = false;      // loaded with LoadIconW or LR_SHARED: the module's, never destroyed
    Process* owner = nullptr;  // freed when its process ends
};

std::unordered_map<uintptr_t, std::unique_ptr<GdiObject>> gObjects;
// Shared icons of each process, by resource id and size: loading one again gives the same handle.
std::map<std::pair<Process*, std::pair<unsigned, int>>, HICON> gSharedIcons;
uintptr_t gNextObject = 0x200000;
Surface gScreen;
ScreenTraffic gTraffic;
uint64_t gScreenVersion = 0;

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

// A colour going into a monochrome bitmap: the background colour (white, the only one a context
// has here) becomes white, every other colour black, as a copy from colour to monochrome does.
inline COLORREF monochrome(COLORREF c) { return (c & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFF : 0x000000; }

void makeMonochrome(Surface& s, int x0, int y0, int w, int h) {
    for (int y = std::max(0, y0); y < std::min(s.height, y0 + h); ++y) {
        for (int x = std::max(0, x0); x < std::min(s.width, x0 + w); ++x) s.set(x, y, monochrome(s.get(x, y)));
    }
}

// A DIB section's pixels live in the caller's memory too: GDI takes what the caller wrote there
// before it reads or draws, and puts its drawing there afterwards.
size_t dibIndex(const GdiObject& b, int x, int y) {
    int row = b.dibBottomUp ? b.surface.height - 1 - y : y;
    return static_cast<size_t>(row) * b.surface.width + x;
}

// A DIB pixel (0x00RRGGBB) and a COLORREF (0x00BBGGRR) differ in the order of red and blue.
inline uint32_t swapRedBlue(uint32_t v) { return ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16); }

// Only the part an operation touches is taken or given: the rectangle, held to the bitmap.
void takeDibRect(GdiObject* b, int x0, int y0, int w, int h) {
    if (b == nullptr || !b->isDib) return;
    const int xa = std::max(0, x0), x1 = std::min(b->surface.width, x0 + w), y1 = std::min(b->surface.height, y0 + h);
    for (int y = std::max(0, y0); y < y1; ++y) {
        const uint32_t* from = &b->dib[dibIndex(*b, 0, y)];
        COLORREF* to = &b->surface.pixels[static_cast<size_t>(y) * b->surface.width];
        for (int x = xa; x < x1; ++x) to[x] = swapRedBlue(from[x]);
    }
}

void giveDibRect(GdiObject* b, int x0, int y0, int w, int h) {
    if (b == nullptr || !b->isDib) return;
    const int xa = std::max(0, x0), x1 = std::min(b->surface.width, x0 + w), y1 = std::min(b->surface.height, y0 + h);
    for (int y = std::max(0, y0); y < y1; ++y) {
        const COLORREF* from = &b->surface.pixels[static_cast<size_t>(y) * b->surface.width];
        uint32_t* to = &b->dib[dibIndex(*b, 0, y)];
        for (int x = xa; x < x1; ++x) to[x] = swapRedBlue(from[x] & 0xFFFFFF);
    }
}

// Where a context draws: the screen (with the window's origin) or its selected bitmap.
struct Target {
    Surface* surface = nullptr;
    int originX = 0;
    int originY = 0;
    bool isScreen = false;
    bool isMonochrome = false;
    GdiObject* dib = nullptr;  // the selected bitmap, when it is a DIB section
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
        t.isMonochrome = bm->bitsPerPixel == 1;
        if (bm->isDib) t.dib = bm;
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
    if (t.isScreen) {
        gTraffic.pixelsWritten++;
        ++gScreenVersion;
    }
    t.surface->set(sx, sy, t.isMonochrome ? monochrome(c) : c);
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
    ++gScreenVersion;
    Surface old = gScreen;
    gScreen.resize(width, height, 0);
    for (int y = 0; y < std::min(height, old.height); ++y) {
        for (int x = 0; x < std::min(width, old.width); ++x) gScreen.set(x, y, old.get(x, y));
    }
}

ScreenTraffic& screenTraffic() { return gTraffic; }

uint64_t screenVersion() { return gScreenVersion; }
void noteScreenChanged() { ++gScreenVersion; }

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
size_t gContextsDeletedHoldingABitmap = 0;

}  // namespace

size_t liveGdiObjects() {
    size_t n = 0;
    for (auto& [k, o] : gObjects) n += countsAsGdiObject(k, *o);
    return n;
}

const ExitLeftovers& lastExitLeftovers() { return gLeftovers; }

size_t contextsDeletedHoldingABitmap() { return gContextsDeletedHoldingABitmap; }

size_t liveIcons() {
    size_t n = 0;
    for (auto& [k, o] : gObjects) n += o->kind == ObjectKind::Icon && !o->shared;
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
        gLeftovers.icons += o->kind == ObjectKind::Icon && !o->shared;
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
    gContextsDeletedHoldingABitmap = 0;
    gObjects.clear();
    gSharedIcons.clear();
    gScreen = Surface();
}

}  // namespace sim

using namespace sim;

HDC GetDC(HWND window) {
    if (shouldFail(Op::GetDC)) return nullptr;
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
    if (shouldFail(Op::CreateCompatibleDC)) return nullptr;
    if (reference != nullptr && object(reference, ObjectKind::Dc) == nullptr) return nullptr;
    auto bm = std::make_unique<GdiObject>();
    bm->kind = ObjectKind::Bitmap;
    bm->surface.resize(1, 1, 0);  // a new memory context holds a 1 x 1 monochrome bitmap
    bm->bitsPerPixel = 1;
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
    if (dc->selected != dc->defaultBitmap) ++gContextsDeletedHoldingABitmap;
    if (GdiObject* bm = bitmapOf(dc)) bm->selectedInto = nullptr;
    gObjects.erase(reinterpret_cast<uintptr_t>(dc->defaultBitmap));
    gObjects.erase(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (shouldFail(Op::CreateCompatibleBitmap) || object(dc, ObjectKind::Dc) == nullptr || width < 0 || height < 0) {
        return nullptr;
    }
    auto bm = std::make_unique<GdiObject>();
    bm->kind = ObjectKind::Bitmap;
    // The format of what the context draws on: the screen's colour, or the bitmap selected into a
    // memory context (monochrome while it holds its own). No pixels at all gives a 1 x 1
    // monochrome bitmap.
    GdiObject* context = object(dc, ObjectKind::Dc);
    GdiObject* selected = context->screen ? nullptr : bitmapOf(context);
    bm->bitsPerPixel = selected ? selected->bitsPerPixel : 32;
    if (width == 0 || height == 0) {
        width = height = 1;
        bm->bitsPerPixel = 1;
    }
    bm->surface.resize(width, height, 0);
    return addObject<HBITMAP>(std::move(bm));
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
    if (bits) *bits = nullptr;
    if (shouldFail(Op::CreateDIBSection) || info == nullptr || bits == nullptr || section != nullptr ||
        usage != DIB_RGB_COLORS) {
        return nullptr;
    }
    if (dc != nullptr && object(dc, ObjectKind::Dc) == nullptr) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    // The one format the simulated display driver offers for DIB sections.
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biBitCount != 32 || h.biCompression != BI_RGB || h.biPlanes != 1 ||
        h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > 4096 || h.biHeight > 4096 || h.biHeight < -4096) {
        setError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto bm = std::make_unique<GdiObject>();
    bm->kind = ObjectKind::Bitmap;
    bm->isDib = true;
    bm->dibBottomUp = h.biHeight > 0;
    int height = h.biHeight > 0 ? h.biHeight : -h.biHeight;
    bm->surface.resize(h.biWidth, height, 0);
    bm->dib.assign(static_cast<size_t>(h.biWidth) * height, 0);
    *bits = bm->dib.data();
    return addObject<HBITMAP>(std::move(bm));
}

BOOL GdiFlush() { return TRUE; }

HGDIOBJ SelectObject(HDC handle, HGDIOBJ obj) {
    GdiObject* dc = object(handle, ObjectKind::Dc);
    if (shouldFail(Op::SelectObject) || dc == nullptr) return nullptr;
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
    // Rows of a monochrome bitmap are padded to 16 bits.
    const int rowBytes = bm->bitsPerPixel == 1 ? (bm->surface.width + 15) / 16 * 2 : bm->surface.width * 4;
    BITMAP info{0, bm->surface.width, bm->surface.height, rowBytes, 1, static_cast<WORD>(bm->bitsPerPixel), nullptr};
    *static_cast<BITMAP*>(out) = info;
    return sizeof(BITMAP);
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    if (shouldFail(Op::BitBlt)) return FALSE;
    Target d = targetOf(dst);
    if (d.surface == nullptr) return FALSE;
    const bool needsSource = rop == SRCCOPY || rop == SRCINVERT || rop == SRCAND || rop == SRCPAINT;
    const bool readsDestination = rop == SRCINVERT || rop == SRCAND || rop == SRCPAINT;
    if (!needsSource && rop != BLACKNESS && rop != WHITENESS) return FALSE;
    Target s = needsSource ? targetOf(src) : Target{};
    if (needsSource && s.surface == nullptr) return FALSE;
    // The block, in each surface's own coordinates, held to both: source pixels outside the source
    // surface leave the destination as it was, and nothing is written outside the destination.
    const int dx = d.originX + x, dy = d.originY + y;
    const int srcX = s.originX + sx, srcY = s.originY + sy;
    int c0 = std::max(0, -dx), r0 = std::max(0, -dy);
    int c1 = std::min(w, d.surface->width - dx), r1 = std::min(h, d.surface->height - dy);
    if (needsSource) {
        c0 = std::max(c0, -srcX);
        r0 = std::max(r0, -srcY);
        c1 = std::min(c1, s.surface->width - srcX);
        r1 = std::min(r1, s.surface->height - srcY);
    }
    if (c1 <= c0 || r1 <= r0) return TRUE;
    const int cw = c1 - c0, rh = r1 - r0;
    const uint64_t pixels = static_cast<uint64_t>(cw) * static_cast<uint64_t>(rh);
    // Whole rows at a time; the source block is read first, so that overlapping copies behave.
    static std::vector<COLORREF> block;
    if (needsSource) {
        takeDibRect(s.dib, srcX + c0, srcY + r0, cw, rh);
        if (s.isScreen) gTraffic.pixelsRead += pixels;
        block.resize(static_cast<size_t>(pixels));
        for (int r = 0; r < rh; ++r) {
            const COLORREF* row = &s.surface->pixels[static_cast<size_t>(srcY + r0 + r) * s.surface->width + (srcX + c0)];
            std::copy(row, row + cw, &block[static_cast<size_t>(r) * cw]);
        }
    }
    if (readsDestination) {
        takeDibRect(d.dib, dx + c0, dy + r0, cw, rh);
        if (d.isScreen) gTraffic.pixelsRead += pixels;
    }
    for (int r = 0; r < rh; ++r) {
        COLORREF* out = &d.surface->pixels[static_cast<size_t>(dy + r0 + r) * d.surface->width + (dx + c0)];
        const COLORREF* in = needsSource ? &block[static_cast<size_t>(r) * cw] : nullptr;
        switch (rop) {
            case SRCCOPY: std::copy(in, in + cw, out); break;
            case SRCINVERT: for (int c = 0; c < cw; ++c) out[c] = (out[c] ^ in[c]) & 0xFFFFFF; break;
            case SRCAND: for (int c = 0; c < cw; ++c) out[c] = out[c] & in[c]; break;
            case SRCPAINT: for (int c = 0; c < cw; ++c) out[c] = (out[c] | in[c]) & 0xFFFFFF; break;
            case BLACKNESS: std::fill(out, out + cw, 0); break;
            default: std::fill(out, out + cw, 0xFFFFFF); break;
        }
    }
    if (d.isMonochrome) makeMonochrome(*d.surface, dx + c0, dy + r0, cw, rh);
    if (d.isScreen) {
        gTraffic.pixelsWritten += pixels;
        ++gScreenVersion;
    }
    giveDibRect(d.dib, dx + c0, dy + r0, cw, rh);
    return TRUE;
}

// The rectangle's pixels, its right and bottom edges excluded, in the brush's colour. A solid
// brush writes the colour alone (WHITENESS, by contrast, sets a 32-bit bitmap's unused byte too
// under Wine, where a mask so cleared is not taken for white: the simulator does not model that).
int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (shouldFail(Op::FillRect)) return 0;
    GdiObject* b = object(brush, ObjectKind::Brush);
    Target t = targetOf(dc);
    if (rect == nullptr || b == nullptr || t.surface == nullptr) return 0;
    for (int y = rect->top; y < rect->bottom; ++y) {
        for (int x = rect->left; x < rect->right; ++x) writePixel(t, x, y, b->color & 0xFFFFFF);
    }
    if (rect->right > rect->left && rect->bottom > rect->top) {
        giveDibRect(t.dib, rect->left + t.originX, rect->top + t.originY, rect->right - rect->left,
                    rect->bottom - rect->top);
    }
    return 1;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    if (shouldFail(Op::GetPixel)) return CLR_INVALID;
    Target t = targetOf(dc);
    takeDibRect(t.dib, x + t.originX, y + t.originY, 1, 1);
    bool ok = false;
    COLORREF c = readPixel(t, x, y, &ok);
    return ok ? c : CLR_INVALID;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    Target t = targetOf(dc);
    if (t.surface == nullptr || !t.surface->contains(x + t.originX, y + t.originY)) return static_cast<COLORREF>(-1);
    writePixel(t, x, y, color & 0xFFFFFF);
    giveDibRect(t.dib, x + t.originX, y + t.originY, 1, 1);
    return t.surface->get(x + t.originX, y + t.originY);  // the colour as it was set
}

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name) {
    if (shouldFail(Op::LoadBitmapW)) return nullptr;
    Image img;
    if (!decodeBitmapResource(resourceId(name), &img)) return nullptr;
    auto bm = std::make_unique<GdiObject>();
    bm->kind = ObjectKind::Bitmap;
    bm->surface = fromImage(img);  // converted to the screen's true-colour format
    return addObject<HBITMAP>(std::move(bm));
}

namespace {

// The image of icon group `id` that fits `size` best, stretched to size x size when it is of
// another size (as the platform stretches it); false when the group is missing.
bool iconImageAt(unsigned id, int size, bool exactOnly, Surface* colour, Surface* mask) {
    Image c;
    Image m;
    if (!decodeIconResource(id, size, &c, &m)) return false;
    if (c.width == size && c.height == size) {
        *colour = fromImage(c);
        *mask = fromImage(m);
        return true;
    }
    if (exactOnly) return false;
    colour->resize(size, size);
    mask->resize(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int sx = x * c.width / size;
            int sy = y * c.height / size;
            colour->set(x, y, c.at(sx, sy));
            mask->set(x, y, m.at(sx, sy));
        }
    }
    return true;
}

HICON sharedIcon(unsigned id, int size) {
    auto it = gSharedIcons.find({currentProcess(), {id, size}});
    if (it == gSharedIcons.end()) return nullptr;
    if (object(it->second, ObjectKind::Icon) == nullptr) {
        gSharedIcons.erase(it);
        return nullptr;
    }
    return it->second;
}

HICON makeIcon(unsigned id, Surface colour, Surface mask, bool shared, int size) {
    auto icon = std::make_unique<GdiObject>();
    icon->kind = ObjectKind::Icon;
    icon->image = std::move(colour);
    icon->mask = std::move(mask);
    icon->resourceId = id;
    icon->shared = shared;
    HICON h = addObject<HICON>(std::move(icon));
    if (shared) gSharedIcons[{currentProcess(), {id, size}}] = h;
    return h;
}

}  // namespace

HICON LoadIconW(HINSTANCE, LPCWSTR name) {
    if (shouldFail(Op::LoadIconW)) return nullptr;
    const unsigned id = resourceId(name);
    const int size = GetSystemMetrics(SM_CXICON);
    if (HICON loaded = sharedIcon(id, size)) return loaded;
    Surface colour;
    Surface mask;
    // Only an icon of the system's icon size loads this way; LoadImageW loads the others.
    if (!iconImageAt(id, size, true, &colour, &mask)) {
        setError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return makeIcon(id, std::move(colour), std::move(mask), true, size);
}

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
    if (type == IMAGE_BITMAP) return LoadBitmapW(instance, name);
    if (shouldFail(Op::LoadImageW) || type != IMAGE_ICON || cx < 0 || cy < 0) return nullptr;
    const unsigned id = resourceId(name);
    int size = cx > cy ? cx : cy;
    if (size == 0 && (flags & LR_DEFAULTSIZE)) size = GetSystemMetrics(SM_CXICON);
    if (size == 0) {
        // The image's own size: the group's first image.
        Image c;
        Image m;
        if (!decodeIconResource(id, 0, &c, &m)) return nullptr;
        size = c.width;
    }
    const bool shared = (flags & LR_SHARED) != 0;
    if (shared) {
        if (HICON loaded = sharedIcon(id, size)) return loaded;
    }
    Surface colour;
    Surface mask;
    if (!iconImageAt(id, size, false, &colour, &mask)) return nullptr;
    return makeIcon(id, std::move(colour), std::move(mask), shared, size);
}

HICON CreateIconIndirect(PICONINFO info) {
    if (shouldFail(Op::CreateIconIndirect) || info == nullptr) return nullptr;
    GdiObject* mask = object(info->hbmMask, ObjectKind::Bitmap);
    GdiObject* colour = object(info->hbmColor, ObjectKind::Bitmap);
    if (mask == nullptr) return nullptr;
    // What the program wrote through a DIB section's bits is what the icon is made of.
    takeDibRect(mask, 0, 0, mask->surface.width, mask->surface.height);
    if (colour) takeDibRect(colour, 0, 0, colour->surface.width, colour->surface.height);
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
    GdiObject* icon = object(handle, ObjectKind::Icon);
    if (icon == nullptr) return FALSE;
    // A shared icon belongs to its module and lives as long as it does.
    if (icon->shared) {
        setError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    gObjects.erase(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON handle, int w, int h, UINT, HBRUSH, UINT flags) {
    if (shouldFail(Op::DrawIconEx)) return FALSE;
    GdiObject* icon = object(handle, ObjectKind::Icon);
    Target t = targetOf(dc);
    if (icon == nullptr || t.surface == nullptr) return FALSE;
    // An icon made from a mask and a colour bitmap of different sizes draws where both exist.
    int ownWidth = std::min(icon->image.width, icon->mask.width);
    int ownHeight = std::min(icon->image.height, icon->mask.height);
    int width = w > 0 ? std::min(w, ownWidth) : ownWidth;
    int height = h > 0 ? std::min(h, ownHeight) : ownHeight;
    if (Process* p = currentProcess(); p && p->isProgram && (flags & DI_NORMAL) == DI_NORMAL) {
        noteIconDrawn(icon->mask, icon->image);
    }
    takeDibRect(t.dib, x + t.originX, y + t.originY, width, height);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            bool ok = false;
            COLORREF v = readPixel(t, x + c, y + r, &ok);
            if (!ok) continue;
            // Both flags: AND the mask, then XOR the image; one alone copies its image (SRCCOPY).
            if ((flags & DI_NORMAL) == DI_NORMAL) {
                v = (v & icon->mask.get(c, r)) ^ icon->image.get(c, r);
            } else if (flags & DI_MASK) {
                v = icon->mask.get(c, r);
            } else if (flags & DI_IMAGE) {
                v = icon->image.get(c, r);
            }
            writePixel(t, x + c, y + r, v & 0xFFFFFF);
        }
    }
    giveDibRect(t.dib, x + t.originX, y + t.originY, width, height);
    return TRUE;
}
