// The banner's connectivity check over Windows Sockets.
#pragma once

#include <windows.h>

#include "app/connectivity_rule.h"

namespace brenvik {

// 1 when the banner page is to be shown, else 0. The window is only tested for being one.
int CheckBannerConnectivity(HWND hWindow);

// The same over another name service (tests).
int CheckBannerConnectivity(HWND hWindow, NameService& names);

}  // namespace brenvik
