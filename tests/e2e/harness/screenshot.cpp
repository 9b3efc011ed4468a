// `screenshot "FILE.png" [X Y W H] [scale N]` on the real system: the screen as the window system
// shows it (the stand-in shell, the program's menus, message boxes and dialogs as Wine draws
// them), encoded by the system's own imaging component.
#include <wincodec.h>

#include <vector>

#include "tests/e2e/harness/commands.h"

namespace e2e {
namespace {

using scenario::Args;

template <typename T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p) p->Release();
    }
    T** out() { return &p; }
    T* operator->() { return p; }
};

// The screen's pixels of a part, magnified, as 32-bit BGR rows top first.
std::vector<BYTE> capture(const scenario::ScreenshotCommand& s, int* width, int* height) {
    int x = 0, y = 0, w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    if (s.part) {
        x = s.x;
        y = s.y;
        w = s.width;
        h = s.height;
    }
    *width = w * s.scale;
    *height = h * s.scale;
    std::vector<BYTE> pixels(static_cast<size_t>(*width) * *height * 4, 0);
    std::vector<COLORREF> screen = readScreen(x, y, w, h);
    for (int r = 0; r < *height; ++r) {
        for (int c = 0; c < *width; ++c) {
            COLORREF v = screen[static_cast<size_t>(r / s.scale) * w + c / s.scale];
            BYTE* q = &pixels[(static_cast<size_t>(r) * *width + c) * 4];
            q[0] = GetBValue(v);
            q[1] = GetGValue(v);
            q[2] = GetRValue(v);
            q[3] = 0xFF;
        }
    }
    return pixels;
}

bool writePng(const std::wstring& path, const std::vector<BYTE>& pixels, int width, int height) {
    Released<IWICImagingFactory> factory;
    Released<IWICStream> stream;
    Released<IWICBitmapEncoder> encoder;
    Released<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.out()))) &&
           SUCCEEDED(factory->CreateStream(stream.out())) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, NULL, encoder.out())) &&
           SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(frame.out(), NULL)) && SUCCEEDED(frame->Initialize(NULL)) &&
           SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
           SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat32bppBGR) &&
           SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(width) * 4,
                                        static_cast<UINT>(pixels.size()), const_cast<BYTE*>(pixels.data()))) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

// A relative file name is taken from the directory the runner was started in, as in the
// simulator: the runner itself works in the device's drive.
std::wstring startDirectory() {
    DWORD n = GetCurrentDirectoryW(0, NULL);
    std::wstring dir(n, L'\0');
    GetCurrentDirectoryW(n, &dir[0]);
    dir.resize(n > 0 ? n - 1 : 0);
    return dir;
}
const std::wstring kStartDirectory = startDirectory();

bool isRelative(const std::wstring& path) {
    return !(path.size() >= 2 && path[1] == L':') && !(path.size() >= 1 && (path[0] == L'\\' || path[0] == L'/'));
}

}  // namespace

void takeScreenshot(Args& a) {
    scenario::ScreenshotCommand s = scenario::screenshotCommand(a);
    std::wstring path(s.path.size() * 2 + 1, L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, s.path.c_str(), -1, &path[0], static_cast<int>(path.size()));
    path.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    if (isRelative(path)) path = kStartDirectory + L"\\" + path;
    int width = 0, height = 0;
    std::vector<BYTE> pixels = capture(s, &width, &height);
    HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    bool written = writePng(path, pixels, width, height);
    if (SUCCEEDED(com)) CoUninitialize();
    if (!written) throw ScenarioError("screenshot: cannot write " + s.path);
}

}  // namespace e2e
