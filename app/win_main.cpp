// The program's entry point and message loop.
#include "app/app_state.h"
#include "app/install_dir.h"
#include "app/main_window.h"
#include "tasks/window_lists.h"


#if defined(_WIN32) && !defined(_WIN32_WCE)
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
#else
extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
#endif
{
    // The program's windows are all made on this thread: they are never listed as programs.
    programThreadId = GetCurrentThreadId();
    // Without a registry value the platform names the folder (where a desktop keeps the program);
    // failing that, the folder the program was given at build time stays.
    if (!readInstallDir()) defaultInstallDir(installDir, InstallDirUnits);
    if (!createMainWindow(instance)) return 0;
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
