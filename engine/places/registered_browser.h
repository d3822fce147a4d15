// Where a browser is installed, as its App Paths registration says.
#pragma once

#include <string>

#include "engine/change/access_broker.h"
#include "engine/rules/browser_table.h"

namespace brenvik {

constexpr const char* kAppPathsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// The default value of Software\Microsoft\Windows\CurrentVersion\App Paths\<executable>, under
// HKEY_LOCAL_MACHINE and else HKEY_CURRENT_USER, quotes removed. True only when it names that
// executable (by file name) and the file exists: a registration pointing elsewhere or nowhere
// would make the repaired shortcut run something else or nothing. For a shortcut in a place
// every user runs from (machineWide), HKEY_LOCAL_MACHINE alone, and only a file that
// OnlyAdministratorsMayChange.
bool FindRegisteredBrowser(AccessBroker& broker, const std::string& executable, bool machineWide,
                           std::string* path);

// The browser's executable as HKEY_LOCAL_MACHINE's App Paths registers it (FindRegisteredBrowser
// for a machine-wide place), quoted, then arguments when given; "" when it is not registered.
std::string RegisteredBrowserCommand(AccessBroker& broker, const Browser& browser,
                                     const std::string& arguments);

// True when the list gives anybody but SYSTEM, the administrators and TrustedInstaller (and
// CREATOR OWNER on entries that only pass down) a right to write, append, delete, or change
// the list or the owner; true also for a null list and for an allowing entry of a kind not
// judged (object, callback). Deny entries are passed over: they only take away.
bool OthersMayChange(const AccessList& list);
// True when path is a plain "X:\..." path whose file and every folder above it (the volume's
// root left out) have lists that !OthersMayChange; false when any cannot be read.
bool OnlyAdministratorsMayChange(AccessReader& access, const std::string& path);

}  // namespace brenvik
