// The banner's built-in picture drawn to fill the banner area at any display scale.
#pragma once

#include <windows.h>

namespace brenvik {

// Gives hPicture (a static with SS_BITMAP) the banner picture at exactly the size of area
// (client coordinates of its parent) and moves it there: the drawing itself where the area is
// its own size, otherwise the drawing made at twice the size, or the drawing, scaled
// bilinearly. The picture belongs to the static and goes with it. On failure the static keeps
// what it shows.
void FitBannerPicture(HWND hPicture, const RECT& area);

}  // namespace brenvik
