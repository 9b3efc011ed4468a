#include "taskbar/device_commands.h"

void hotReset() {
    int answer = MessageBoxW(NULL, TEXT("Are you sure you want to reset your Pocket PC?"), TEXT("Orvo"),
                             MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
    if (answer != IDYES) return;
    KernelIoControl(IOCTL_HAL_REBOOT, NULL, 0, NULL, 0, NULL);
}

void powerOff() {
    keybd_event(VK_OFF, 0, KEYEVENTF_SILENT, 0);
    keybd_event(VK_OFF, 0, KEYEVENTF_KEYUP | KEYEVENTF_SILENT, 0);
}

void turnDisplayOff(HWND window) {
    HDC dc = GetDC(window);
    if (dc == NULL) return;
    int escape = SETPOWERMANAGEMENT;
    if (ExtEscape(dc, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<const char*>(&escape), 0, NULL) != 0) {
        VIDEO_POWER_MANAGEMENT power;
        power.Length = sizeof power;
        power.DPMSVersion = 1;
        power.PowerState = VideoPowerOff;
        ExtEscape(dc, SETPOWERMANAGEMENT, sizeof power, reinterpret_cast<const char*>(&power), 0, NULL);
    } else {
        MessageBoxW(window, TEXT("This Pocket PC does not support Display Off."), TEXT("Orvo"), MB_OK);
    }
    ReleaseDC(window, dc);
}
