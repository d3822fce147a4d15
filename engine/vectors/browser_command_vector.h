// Browser launch commands: what the Start menu and "Default apps" run for a browser
// (StartMenuInternet\<browser>\shell\open\command). A web address or code-loading switch in
// it is removed; a launcher in its place is replaced by the browser's machine registration.
#pragma once

#include <memory>
#include <string>

#include "engine/rules/browser_table.h"
#include "engine/vectors/vector.h"

namespace brenvik {

constexpr const char* kStartMenuInternetKey = "Software\\Clients\\StartMenuInternet";

// The browser a StartMenuInternet key is for: its name as the browser's own shortcuts show it
// ("Google Chrome", "Firefox-308046B0AF4A39CB"), or its executable's name ("chrome.exe").
const Browser* BrowserOfKey(const std::string& keyName);

// The vector of the table (vector_table.h).
std::unique_ptr<Vector> MakeBrowserCommandVector();

}  // namespace brenvik
