// Every dialog of the program fills the screen, has a Done button that sends IDOK, and lowers
// the input panel.
#pragma once

#include "platform/winapi.h"

inline void initFullScreenDialog(HWND dialog) {
    SHINITDLGINFO info;
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = dialog;
    info.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
    // The Done button is the dialog's only way out: a call that did not go through is made once
    // more.
    if (!SHInitDialog(&info)) SHInitDialog(&info);
}
