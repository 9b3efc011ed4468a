#include "settings/screen_size.h"

int screenWidth = 0;
int screenHeight = 0;

void readScreenSize() {
    screenWidth = GetSystemMetrics(SM_CXSCREEN);
    screenHeight = GetSystemMetrics(SM_CYSCREEN);
}

BOOL isVgaScreen() { return GetSystemMetrics(SM_CXSCREEN) > 320 || GetSystemMetrics(SM_CYSCREEN) > 320; }
