// The platform's rules that the simulator keeps where Orvo's code meets them, shown on the real
// system: the shared cases (tests/conformance/platform_cases.cpp) as the simulator's unit tests run
// them, and the cases those tests drive through the simulator's own threads and modal loops (a
// popup menu, a dialog's first focus, the up-down control), asserted alike here. The device's
// timer periods differ from the desktop's and are not shown here.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/conformance/platform_cases.h"
#include "tests/e2e/compat/simulator_rules.h"

namespace {

CheckFunction gCheck = nullptr;
// menu.c test_menu_trackpopupmenu: the owner gets WM_INITMENUPOPUP for the menu, item position 0,
// before the menu shows (the menu is ended there, so that the check goes on).
void popupMenu() {
    conformance::forgetWindows();
    conformance::onMenuPopup = [](HWND, WPARAM) { EndMenu(); };
    HWND owner = conformance::makeWindow(NULL);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 10, L"One");
    SetForegroundWindow(owner);
    TrackPopupMenuEx(menu, TPM_RETURNCMD, 5, 5, owner, NULL);
    const std::vector<std::string>& log = conformance::messageLog();
    gCheck(!log.empty() && log.front() == "WM_INITMENUPOPUP 0", "a popup menu sends WM_INITMENUPOPUP to its owner");
    DestroyMenu(menu);
    DestroyWindow(owner);
    conformance::onMenuPopup = nullptr;
}

int gWantedId = 0;
bool gOfferedTheTabStop = false;

INT_PTR CALLBACK focusProbe(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    gOfferedTheTabStop = reinterpret_cast<HWND>(wParam) == GetDlgItem(dialog, gWantedId);
    EndDialog(dialog, 1);
    return TRUE;
}

void dialogFocus() {
    HINSTANCE self = GetModuleHandleW(NULL);
    const int cases[][2] = {{SettingsPortraitTemplate, IDC_SHOW_BATTERY}, {AboutDialogTemplate, IDC_ABOUT_CONTINUE}, {ProgramsDialogTemplate, IDC_CLOSE}};
    for (const auto& c : cases) {
        gWantedId = c[1];
        gOfferedTheTabStop = false;
        HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(c[0]), MAKEINTRESOURCEW(5));  // a dialog template
        HGLOBAL loaded = found ? LoadResource(self, found) : NULL;
        if (loaded != NULL) {
            DialogBoxIndirectParamW(self, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)), NULL, focusProbe, 0);
        }
        gCheck(gOfferedTheTabStop, "WM_INITDIALOG offers the first tab stop");
    }
}

void upDown() {
    HWND parent = conformance::makeWindow(NULL);
    HWND edit = CreateWindowExW(0, L"EDIT", L"50", WS_CHILD, 0, 0, 40, 20, parent, NULL, GetModuleHandleW(NULL), NULL);
    HWND u = CreateWindowExW(0, UPDOWN_CLASSW, NULL, WS_CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0, 0, 20, 20, parent,
                             NULL, GetModuleHandleW(NULL), NULL);
    SendMessageW(u, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageW(u, UDM_SETRANGE, 0, MAKELONG(100, 0));
    SendMessageW(u, UDM_SETPOS, 0, MAKELONG(50, 0));
    SendMessageW(u, UDM_SETRANGE, 0, MAKELONG(1, 40));
    LRESULT r = SendMessageW(u, UDM_GETPOS, 0, 0);
    gCheck(LOWORD(r) == 40 && HIWORD(r) != 0, "an inverted range: the buddy's 50 is out of it, the position held to it");
    SendMessageW(u, UDM_SETPOS, 0, MAKELONG(0, 0));
    r = SendMessageW(u, UDM_GETPOS, 0, 0);
    gCheck(LOWORD(r) == 1 && HIWORD(r) == 0, "the position is held to the inverted range");
    SetWindowTextW(edit, L"11");
    r = SendMessageW(u, UDM_GETPOS, 0, 0);
    gCheck(LOWORD(r) == 11 && HIWORD(r) == 0, "UDM_GETPOS reads the buddy's number");
    SetWindowTextW(edit, L"21st");
    r = SendMessageW(u, UDM_GETPOS, 0, 0);
    gCheck(LOWORD(r) == 11 && HIWORD(r) != 0, "text that is no number is an error that keeps the last position");
    gCheck(reinterpret_cast<HWND>(SendMessageW(u, UDM_GETBUDDY, 0, 0)) == edit, "UDM_GETBUDDY gives the buddy");
    DestroyWindow(parent);
}

}  // namespace

void checkSimulatorRules(CheckFunction check) {
    gCheck = check;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    conformance::registerWindowClass(GetModuleHandleW(NULL));
    for (void (*shared)(conformance::RuleCheck) :
         {conformance::memoryContextHoldsAMonochromePixel, conformance::compatibleBitmapsTakeTheFormatOfWhatTheContextHolds,
          conformance::colourIntoMonochromeKeepsOnlyTheBackgroundWhite, conformance::aBitmapGoesIntoOneMemoryContextAtATime,
          conformance::dibSectionBitsAndGdiSeeTheSamePixels, conformance::iconsFromDibSectionsUseTheBitsWrittenThroughThem,
          conformance::drawIconExWithOneFlagCopiesThatImage, conformance::fillRectLeavesTheRightAndBottomEdgesAndMakesATransparentMask,
          conformance::anIconNeedsAMask, conformance::blackAndWhiteNeedNoSource, conformance::setWindowLongSaysWhyItFailed,
          conformance::destroyingAWindowTwiceFails, conformance::destructionSendsDestroyDownAndNcDestroyUp,
          conformance::messagesToAWindowThatIsGoneFail, conformance::findWindowAndWindowText}) {
        shared(check);
    }
    popupMenu();
    dialogFocus();
    upDown();
}
