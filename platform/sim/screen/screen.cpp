#include "screen.h"

#include <png.h>

#include <cstdio>

#include "device.h"
#include "dialog_view.h"
#include "dialogs.h"
#include "menu_view.h"
#include "message_box_view.h"
#include "shell_view.h"

namespace sim::screen {
namespace {

void drawWindow(Canvas& c, HWND h, const Surface& own) {
    Window* w = findWindowObject(h);
    if (w == nullptr || !w->visible) return;
    if (h == taskbarWindow()) {
        // The taskbar is what the shell and the program painted on the screen itself.
        for (int y = std::max<int>(w->rect.top, 0); y < w->rect.bottom && y < own.height; ++y) {
            for (int x = std::max<int>(w->rect.left, 0); x < w->rect.right && x < own.width; ++x) c.pixel(x, y, own.get(x, y));
        }
    } else if (w->className == u"DesktopExplorerWindow") {
        drawDesktop(c, *w);
    } else if (w->className == u"MS_SIPBUTTON") {
        drawInputPanelButton(c, *w);
    } else if (dialogState(h) != nullptr) {
        drawDialog(c, *w);
    } else if (w->className == u"#32770") {
        // A message box's own window: the box is drawn with the open modals, above every window.
    } else {
        drawPlainWindow(c, *w);
    }
}

}  // namespace

Surface composeScreen() {
    const Surface& own = screenSurface();
    Surface picture;
    picture.resize(own.width, own.height, 0);
    Canvas c(picture);
    const auto& order = topLevelWindows();
    for (auto it = order.rbegin(); it != order.rend(); ++it) drawWindow(c, *it, own);
    drawDroppedList(c);
    for (OpenModal* m : openModals()) {
        if (m->closed) continue;
        if (m->kind == OpenModal::PopupMenu) drawMenu(c, *m);
        if (m->kind == OpenModal::MessageBox) drawMessageBox(c, *m);
    }
    return picture;
}

bool penTap(int x, int y) {
    const auto& modals = openModals();
    for (auto it = modals.rbegin(); it != modals.rend(); ++it) {
        OpenModal* m = *it;
        if (m->closed) continue;
        // While a menu tracks, the pen belongs to it; a tap beside it is the caller's affair.
        if (m->kind == OpenModal::PopupMenu) return tapMenu(*m, x, y);
    }
    for (auto it = modals.rbegin(); it != modals.rend(); ++it) {
        if (!(*it)->closed && (*it)->kind == OpenModal::MessageBox && tapMessageBox(**it, x, y)) return true;
    }
    for (auto it = modals.rbegin(); it != modals.rend(); ++it) {
        if (!(*it)->closed && (*it)->kind == OpenModal::Dialog && tapDialog((*it)->dialog, x, y)) return true;
    }
    return tapNotificationArea(x, y);
}

Surface cropAndScale(const Surface& picture, const RECT& part, int factor) {
    Surface out;
    int w = std::max<int>(0, part.right - part.left);
    int h = std::max<int>(0, part.bottom - part.top);
    out.resize(w * factor, h * factor, 0);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            int sx = part.left + x / factor;
            int sy = part.top + y / factor;
            if (picture.contains(sx, sy)) out.set(x, y, picture.get(sx, sy));
        }
    }
    return out;
}

bool writePng(const Surface& picture, const std::string& path) {
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
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(picture.width) * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            COLORREF c = picture.get(x, y);
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

}  // namespace sim::screen
