// Fake desktop icons of the other browsers: name space entries, per machine and per user,
// whose class has a verb that opens a web address in a browser other than Internet Explorer.
#pragma once

#include <set>
#include <string>

#include "engine/change/access_broker.h"
#include "engine/vectors/finding.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {

// The classes of the entries, in each hive on its own.
constexpr const char* kClassesKey = "Software\\Classes\\CLSID\\";

// True when a command runs a browser of the table other than Internet Explorer and passes it
// a web address (as a token of its own or as a switch's value); site is then its arguments.
bool OpensAddressInOtherBrowser(const std::string& command, std::string* site);

class BrowserNameSpaceScanner : public ScanRecord {
public:
    // Entries under HKEY_LOCAL_MACHINE, judged on the command texts the Internet Explorer
    // scanner read of their per-machine classes (machineCommands), then those under
    // HKEY_CURRENT_USER, whose class is read here (the user's registration first, as the shell
    // merges them); one finding per such verb. Entries whose key path (under
    // HKEY_LOCAL_MACHINE) is in reported are left out; each key it could not open or
    // enumerate is kept as skipped. Always true.
    bool scan(AccessBroker& broker, const std::set<std::string>& reported,
              const NameSpaceCommands& machineCommands);
    // Deletes each finding's entry with its subkeys. Always true.
    bool repair(AccessBroker& broker);
};

}  // namespace brenvik
