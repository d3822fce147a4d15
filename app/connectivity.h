// The banner's connectivity check over Windows Sockets.
#pragma once

#include <windows.h>

#include <memory>

#include "app/connectivity_rule.h"

namespace brenvik {

// The name service of Windows Sockets 1.1. Its lookups may block for as long as the resolver
// waits, so it belongs on a thread of its own.
std::unique_ptr<NameService> MakeWinsockNameService();

// 1 when the banner page is to be shown, else 0. The window is only tested for being one.
int CheckBannerConnectivity(HWND hWindow, NameService& names);

}  // namespace brenvik
