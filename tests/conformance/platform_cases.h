// Cases of the platform's own conformance tests (gdi32's bitmap, dc and gdiobj tests, user32's
// cursoricon, win and msg tests) for the calls Orvo makes, written once against the platform's
// API: the simulator's unit tests run them on the simulated device, and the compatibility check
// runs them on the real system under Wine, so a rule the simulator keeps is shown to be the
// platform's. Each case states its rules through `check`; a comment names the reference's case.
//
// Where the real systems answer differently, a case accepts each answer and says so; the unit
// tests add the device's exact answer beside it.
#pragma once

#include <string>
#include <vector>

#include "platform/winapi.h"

namespace conformance {

typedef void (*RuleCheck)(bool holds, const char* rule);

// The window class the cases make their windows of: its procedure logs WM_DESTROY and
// WM_NCDESTROY (by the window's index, "w0", "w1" ...) and WM_INITMENUPOPUP ("WM_INITMENUPOPUP
// <lParam>"), then hands WM_INITMENUPOPUP to `onMenuPopup` when one is set (the menu's handle in
// wParam): the caller decides how the menu ends, as the two platforms end it differently.
const WCHAR* windowClassName();
bool registerWindowClass(HINSTANCE instance);
HWND makeWindow(HWND parent);
std::vector<std::string>& messageLog();
void forgetWindows();
extern void (*onMenuPopup)(HWND owner, WPARAM menu);

// GDI: memory contexts and the bitmaps they hold.
void memoryContextHoldsAMonochromePixel(RuleCheck check);
void compatibleBitmapsTakeTheFormatOfWhatTheContextHolds(RuleCheck check);
void colourIntoMonochromeKeepsOnlyTheBackgroundWhite(RuleCheck check);
void aBitmapGoesIntoOneMemoryContextAtATime(RuleCheck check);
void dibSectionBitsAndGdiSeeTheSamePixels(RuleCheck check);
void iconsFromDibSectionsUseTheBitsWrittenThroughThem(RuleCheck check);
void drawIconExWithOneFlagCopiesThatImage(RuleCheck check);
void fillRectLeavesTheRightAndBottomEdgesAndMakesATransparentMask(RuleCheck check);
void anIconNeedsAMask(RuleCheck check);
void blackAndWhiteNeedNoSource(RuleCheck check);

// Windows: their longs, their destruction, messages to a window that is gone, names and text.
// These make windows: the class must be registered first.
void setWindowLongSaysWhyItFailed(RuleCheck check);
void destroyingAWindowTwiceFails(RuleCheck check);
void destructionSendsDestroyDownAndNcDestroyUp(RuleCheck check);
void messagesToAWindowThatIsGoneFail(RuleCheck check);
void findWindowAndWindowText(RuleCheck check);

}  // namespace conformance
