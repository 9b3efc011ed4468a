// The icons the notification area may show: composed here from the program's own images by the
// glyph rules (the number icons) or loaded as the system loads them (the status icons), for the
// readings that a desktop gives at this moment.
#include "tests/e2e/desktop/desktop_check.h"

#include "platform/win32/size_scaling.h"
#include "tests/indicator_icon_model.h"

namespace desktop {

HMODULE programImages = NULL;
const char* const kindNames[4] = {"battery", "program memory", "main storage", "storage card"};

namespace {

Pixels bitmapResource(int id) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(programImages, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    Pixels px = bitmapPixels(bitmap, info.bmWidth, info.bmHeight);
    DeleteObject(bitmap);
    return px;
}

}  // namespace

Icon numberIcon(int kind, int value, bool large, bool dark) {
    Icon icon;
    icon.name = std::string(kindNames[kind]) + " " + std::to_string(value) + (dark ? " (black digits)" : "");
    icon.size = large ? 32 : 16;
    icon.mask = bitmapResource(iconModel::Pictures[kind][large ? 2 : 0]).p;
    icon.colour = bitmapResource(iconModel::Pictures[kind][large ? 3 : 1]).p;
    const Pixels strip = bitmapResource(large ? LargeDigitStrip : SmallDigitStrip);
    const iconModel::Placements glyphs = iconModel::layout(value < 0 ? 0 : value, large);
    iconModel::drawDigits(icon.mask, icon.colour, glyphs, large, [&](int x, int y) { return strip.at(x, y); }, dark);
    const iconModel::Glyph* table = large ? iconModel::LargeGlyphs : iconModel::SmallGlyphs;
    const int row = large ? 18 : 9, height = large ? 16 : 8;
    for (const auto& [digit, x] : glyphs)
        for (int r = 0; r < height && row + r < icon.size; ++r)
            for (int c = 0; c < table[digit].w; ++c)
                if (strip.at(table[digit].x + c, table[digit].y + r) != 0) icon.digits.push_back(POINT{x + c, row + r});
    return icon;
}

Icon statusIcon(int id, const char* name, int size) {
    Icon icon;
    icon.name = name;
    icon.size = size;
    HICON loaded = static_cast<HICON>(LoadImageW(programImages, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
    ICONINFO parts = {};
    if (loaded != NULL && GetIconInfo(loaded, &parts)) {
        icon.mask = bitmapPixels(parts.hbmMask, size, size).p;
        icon.colour = bitmapPixels(parts.hbmColor, size, size).p;
        DeleteObject(parts.hbmMask);
        DeleteObject(parts.hbmColor);
    }
    if (loaded != NULL) DestroyIcon(loaded);
    return icon;
}

// The readings, taken here as the device layer of a desktop gives them.

int iconSize() {
    const int asked = GetSystemMetrics(SM_CXSMICON);
    return asked < 16 ? 16 : asked;
}

namespace {

// The art the icon is drawn from: the 32-pixel pictures, digits and status icons from 32 pixels
// on, else the 16-pixel ones.
bool largeArt() { return iconSize() >= 32; }

// The art's icon unscaled at the centre of one of the notification area's size, everything
// around it transparent: what the notification area must show, never a scaled picture.
Icon atTraySize(Icon icon) {
    const int size = iconSize();
    if (icon.mask.empty() || icon.size >= size) return icon;
    const int margin = (size - icon.size) / 2;
    iconModel::centreIn<DWORD>(icon.mask, icon.colour, icon.size, size, 0xFFFFFF, 0);
    for (POINT& d : icon.digits) {
        d.x += margin;
        d.y += margin;
    }
    icon.size = size;
    return icon;
}

Icon batteryIcon(bool dark) {
    SYSTEM_POWER_STATUS power = {};
    GetSystemPowerStatus(&power);
    const int art = largeArt() ? 32 : 16;
    if (power.BatteryLifePercent == 255) {
        return power.BatteryFlag == 8 ? statusIcon(art == 32 ? 185 : 121, "battery charging", art)
                                      : statusIcon(art == 32 ? 186 : 119, "battery unknown", art);
    }
    return numberIcon(0, power.BatteryLifePercent, art == 32, dark);
}

int memoryPercent() {
    MEMORYSTATUSEX m = {};
    m.dwLength = sizeof m;
    GlobalMemoryStatusEx(&m);
    return sizePercent(m.ullAvailPhys, m.ullTotalPhys);
}

std::wstring systemDrive() {
    WCHAR windows[MAX_PATH];
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(1, windows[0]) + L":\\";
}

}  // namespace

int storagePercent(uint64_t* freeBytes, uint64_t* totalBytes) {
    ULARGE_INTEGER a, t1, f1, t2, f2;
    GetDiskFreeSpaceExW(systemDrive().c_str(), &a, &t1, &f1);
    int first = sizePercent(f1.QuadPart, t1.QuadPart);
    GetDiskFreeSpaceExW(systemDrive().c_str(), &a, &t2, &f2);
    if (freeBytes) *freeBytes = f2.QuadPart;
    if (totalBytes) *totalBytes = t2.QuadPart;
    return first == sizePercent(f2.QuadPart, t2.QuadPart) ? first : -1;
}

std::vector<Icon> expectedIcons(bool battery, bool memory, bool storage) {
    std::vector<Icon> icons;
    const bool large = largeArt();
    if (battery) {
        icons.push_back(batteryIcon(false));
        if (!icons.back().digits.empty()) icons.push_back(batteryIcon(true));
    }
    if (memory) {
        int p = memoryPercent();
        // Other programs move it between Orvo's reading and this one: a few steps either way.
        for (int v : {p, p - 1, p + 1, p - 2, p + 2, p - 3, p + 3})
            if (v >= 0 && v <= 100) {
                icons.push_back(numberIcon(1, v, large));
                icons.push_back(numberIcon(1, v, large, true));
            }
    }
    if (storage) {
        int p = -1;
        waitFor([&] { return (p = storagePercent()) >= 0; }, 2000);
        icons.push_back(numberIcon(2, p, large));
        icons.push_back(numberIcon(2, p, large, true));
    }
    for (Icon& icon : icons) icon = atTraySize(icon);
    return icons;
}

}  // namespace desktop
