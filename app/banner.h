// The banner at the top of the main dialog: the hosted browser showing the maker's page, or
// the built-in picture when the maker's hosts cannot be reached by name.
#pragma once

#include <windows.h>

#include <memory>

#include "app/browser_event_sink.h"
#include "app/connectivity_rule.h"

namespace brenvik {

// Connects sink to the browser control (item 1009) and shows the picture, then decides once,
// off the dialog's thread and only once the dialog is on screen (at once if it already is),
// whether the maker's hosts can be reached by name; when they can, the dialog's thread brings
// the browser in front of the picture and starts loading the banner page, once the browser
// has the sink on its events and a site that allows it pictures only. Returns at once; any
// failure on the way leaves the picture and says nothing.
// The control host (AtlAxWinInit) is initialised only then: ATL stays unloaded until the page
// is shown, and never loaded while the window comes up.
void SetUpBanner(HWND hDialog, BrowserEventSink& sink);

// The same with the check made over another name service (tests); the caller has
// initialised the control host, or left it out on purpose.
void SetUpBanner(HWND hDialog, BrowserEventSink& sink, std::unique_ptr<NameService> names);

}  // namespace brenvik
