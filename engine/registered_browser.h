// Where a browser is installed, as its App Paths registration says.
#pragma once

#include <string>

#include "engine/access_broker.h"

namespace brenvik {

// The default value of Software\Microsoft\Windows\CurrentVersion\App Paths\<executable>, under
// HKEY_LOCAL_MACHINE and else HKEY_CURRENT_USER, quotes removed. True only when it names that
// executable (by file name) and the file exists: a registration pointing elsewhere or nowhere
// would make the repaired shortcut run something else or nothing.
bool FindRegisteredBrowser(AccessBroker& broker, const std::string& executable, std::string* path);

}  // namespace brenvik
