// Every dialog of the program fills the screen, has a Done button that sends IDOK, and lowers
// the input panel.
#pragma once

#include "platform/try_once_more.h"
#include "platform/winapi.h"

inline void initFullScreenDialog(HWND dialog) {
    SHINITDLGINFO info;
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = dialog;
    info.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
    // Lasting harm otherwise: the Done button is the dialog's only way out, and the menus wait for it.
    tryOnceMore([&] { return SHInitDialog(&info) != FALSE; });
}
