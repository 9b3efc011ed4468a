// The platform operations of the simulated Pocket PC, under the platform's own names.
#pragma once

#include "sim_types.h"

// Wide-string helpers for the simulator's 16-bit WCHAR.
int wcscmp(const WCHAR* a, const WCHAR* b);
size_t wcslen(const WCHAR* s);
WCHAR* wcscpy(WCHAR* dst, const WCHAR* src);
WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t count);
WCHAR* wcscat(WCHAR* dst, const WCHAR* src);
long wcstol(const WCHAR* s, WCHAR** end, int base);
// Supports %s (WCHAR string), %d, %u, %x and %%; at most 1024 units, as the platform's.
int wsprintfW(LPWSTR out, LPCWSTR format, ...);

// Kernel and memory
DWORD GetLastError();
void SetLastError(DWORD error);
HLOCAL LocalAlloc(UINT flags, size_t bytes);
HLOCAL LocalFree(HLOCAL memory);
DWORD GetTickCount();
DWORD GetCurrentThreadId();
void Sleep(DWORD ms);
// A named mutex is one object for every process that opens the name; the name goes when the
// last handle is closed, and a process's handles are closed when it ends.
HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES security, BOOL initialOwner, LPCWSTR name);
LONG InterlockedIncrement(LONG volatile* value);
LONG InterlockedDecrement(LONG volatile* value);

// Files
HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD attributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE handle);
BOOL DeleteFileW(LPCWSTR path);
HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data);
BOOL FindNextFileW(HANDLE search, LPWIN32_FIND_DATAW data);
BOOL FindClose(HANDLE search);
BOOL GetDiskFreeSpaceExW(LPCWSTR directory, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER totalBytes,
                         PULARGE_INTEGER totalFree);

// Registry
LONG RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG RegCloseKey(HKEY key);

// Device
DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 status, DWORD length, BOOL update);
void GlobalMemoryStatus(LPMEMORYSTATUS status);
BOOL GetStoreInformation(LPSTORE_INFORMATION info);
BOOL KernelIoControl(DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned);
void keybd_event(BYTE vk, BYTE scan, DWORD flags, ULONG_PTR extra);

// Window manager
ATOM RegisterClassW(const WNDCLASSW* wc);
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y, int w, int h,
                     HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
HWND FindWindowW(LPCWSTR className, LPCWSTR title);
int GetWindowTextW(HWND window, LPWSTR buffer, int maxCount);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
int GetClassNameW(HWND window, LPWSTR buffer, int maxCount);
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL ClientToScreen(HWND window, LPPOINT point);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrW(HWND window, int index);
LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL GetMessageW(LPMSG msg, HWND window, UINT first, UINT last);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM param);
BOOL SetForegroundWindow(HWND window);
// The window's thread id; *processId (when not NULL) receives its process id.
DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);
BOOL BringWindowToTop(HWND window);
int GetSystemMetrics(int index);
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int maxCount);
void InitCommonControls();

// Menus and message boxes
HMENU CreatePopupMenu();
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text);
BOOL DestroyMenu(HMENU menu);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPVOID params);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);

// Dialogs and controls
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC proc,
                                LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
HWND GetDlgItem(HWND dialog, int id);
// A dialog's controls, in the order the template made them (the first on top), and the top-level
// windows in z-order. Owned windows are not modelled: GW_OWNER gives NULL.
HWND GetWindow(HWND window, UINT command);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SHInitDialog(PSHINITDLGINFO info);

// The installation folder where the registry names none: the device's fixed folder. FALSE when
// it does not fit in `units` UTF-16 units with its terminator (`dir` is then untouched).
BOOL defaultInstallDir(LPWSTR dir, DWORD units);
// The device keeps its settings in the installation folder alone: FALSE.
BOOL userSettingsDir(LPWSTR dir, DWORD units);
// The device's dialogs are the Pocket PC's, with or without its taskbar: FALSE.
BOOL onDesktopShell();
// The device has no desktop shell windows to leave out of the lists: FALSE.
BOOL isDesktopShellWindow(HWND window);
// The simulator paints no notification area: its icons keep the white digits of the device.
BOOL notificationDigitsDark();

// Shell
BOOL Shell_NotifyIcon(DWORD message, PNOTIFYICONDATAW data);
UINT RegisterWindowMessageW(LPCWSTR name);
BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int folder, BOOL create);
DWORD SHCreateShortcut(LPWSTR shortcut, LPWSTR target);

// GDI
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// 32 bits per pixel, BI_RGB only (bottom-up or top-down): the pixels the caller writes through
// *bits are what GDI draws with, and GDI's drawing shows there once GdiFlush has returned.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
BOOL GdiFlush();
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int index);
int GetObjectW(HGDIOBJ object, int size, LPVOID out);
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// Only the system's icon size (SM_CXICON, 32 pixels); loading the same icon again gives the same
// shared handle, which is never destroyed by the program.
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
// IMAGE_ICON at cx x cy (0: the image's own size, or SM_CXICON with LR_DEFAULTSIZE), stretched
// when the resource has no image of that size; a handle of the caller's own unless LR_SHARED.
// IMAGE_BITMAP as LoadBitmapW.
HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags);
HICON CreateIconIndirect(PICONINFO info);
BOOL DestroyIcon(HICON icon);
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int w, int h, UINT step, HBRUSH flickerFree, UINT flags);
int ExtEscape(HDC dc, int escape, int inSize, const char* in, int outSize, char* out);
