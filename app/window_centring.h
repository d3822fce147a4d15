// Centring a dialog over its owner or, without a usable owner, within the work area.
#pragma once

#include <windows.h>

namespace brenvik {

// Top-left corner that centres window over reference and then moves it back inside workArea
// wherever it would stick out (on the right and bottom first, so that a window larger than
// the work area keeps its top-left corner visible).
POINT CenteredPosition(const RECT& window, const RECT& reference, const RECT& workArea);

// Centres hWindow over its owner when the owner is visible and not minimised, otherwise
// within the work area of the window's monitor; only the position changes.
void CenterWindow(HWND hWindow);

}  // namespace brenvik
