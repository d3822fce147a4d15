// The banner at the top of the main dialog: the hosted browser showing the maker's page, or
// the built-in picture when the maker's hosts cannot be reached by name.
#pragma once

#include <windows.h>

#include "app/browser_event_sink.h"
#include "app/connectivity_rule.h"

namespace brenvik {

// Runs the connectivity check, connects sink to the browser control (item 1009) and either
// starts loading the banner page or hides the control. Any failure on the way leaves the
// dialog as it is; nothing is reported.
void SetUpBanner(HWND hDialog, BrowserEventSink& sink);

// The same with the check made over another name service (tests).
void SetUpBanner(HWND hDialog, BrowserEventSink& sink, NameService& names);

}  // namespace brenvik
