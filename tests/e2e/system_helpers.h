// Small helpers over the real system, shared by the end-to-end runner and the checks under Wine.
#pragma once

#include <windows.h>
#include <shobjidl.h>

#include <string>
#include <vector>

// The format of a 32-bit, top-row-first block of pixels (0x00RRGGBB each).
inline BITMAPINFO topDownPixels(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The screen's pixels in a rectangle that lies on it, 0x00RRGGBB, top row first, read with one
// copy (a pixel at a time is a round trip to the X server each); empty when the system gave no
// bitmap to read them into.
inline std::vector<DWORD> screenBlock(int left, int top, int width, int height) {
    std::vector<DWORD> pixels;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = topDownPixels(width, height);
    void* bits = NULL;
    HBITMAP bitmap = memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0) : NULL;
    if (bitmap != NULL) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
        GdiFlush();
        const DWORD* source = static_cast<const DWORD*>(bits);
        pixels.assign(source, source + static_cast<size_t>(width) * height);
        for (DWORD& v : pixels) v &= 0xFFFFFF;
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

// The program a shell link points at, as the link holds it; empty when it cannot be read.
// COM must be initialised on the calling thread.
inline std::wstring shellLinkTarget(const std::wstring& path) {
    IShellLinkW* link = NULL;
    IPersistFile* file = NULL;
    WCHAR target[MAX_PATH] = {0};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            link->GetPath(target, MAX_PATH, NULL, SLGP_RAWPATH);
        }
        if (file) file->Release();
        link->Release();
    }
    return target;
}
