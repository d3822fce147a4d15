// The banner's connectivity check on a thread of its own, answering a window by message.
#pragma once

#include <windows.h>

#include <memory>

#include "app/connectivity_rule.h"

namespace brenvik {

// Runs CheckBannerConnectivity over names on a new thread, then posts message to hTarget with
// the answer in wParam (1 page, 0 picture) and tag in lParam. The thread owns names and
// touches nothing else, so it may outlive hTarget (the late answer then goes nowhere) and the
// process may end while a lookup still hangs. False when no thread started: nothing is posted.
bool StartConnectivityCheck(HWND hTarget, UINT message, LPARAM tag,
                            std::unique_ptr<NameService> names);

}  // namespace brenvik
