// Fake desktop icons: per-machine desktop name space entries whose class has a shell verb
// that runs Internet Explorer. Also carries the Fix Desktop restoration.
#pragma once

#include <string>
#include <vector>

#include "engine/change/access_broker.h"
#include "engine/places/folder_listings.h"
#include "engine/vectors/finding.h"

namespace brenvik {

// The desktop name space: below HKEY_LOCAL_MACHINE, and for the browser rules below
// HKEY_CURRENT_USER as well.
constexpr const char* kNameSpaceKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace";

// The per-machine classes whose shell verbs the name space entries run.
constexpr const char* kMachineClassesKey = "SOFTWARE\\Classes\\CLSID\\";

// The 38-character class identifier of a name space entry's name: from its first '{',
// with '}' as the 38th character; empty when the name holds none.
std::string ClassIdentifierOf(const std::string& entryName);

// The text after the first "iexplore.exe" of a command, lowercased byte-wise, with the
// blanks and tabs after the program name skipped. False when the command does not run it.
bool SiteFromCommand(std::string command, std::string& site);

// Keeps root\\path as skipped under location when opening or enumerating it ended in error
// (what: "opened", "enumerated"); a key that is not there, or went while it was read, is no
// refusal and is left out.
void SkipKey(SkippedPlaces* skipped, const std::string& location, RegKey root,
             const std::string& path, const char* what, Status error);

// Subkey names of root\\path in index order; a key that refuses to be opened or enumerated is
// kept as skipped under the name space label.
std::vector<std::string> NameSpaceSubkeys(AccessBroker& broker, RegKey root,
                                          const std::string& path, SkippedPlaces* skipped);

// A verb's command text as the scan read it, with the name space entry it belongs to.
struct NameSpaceCommand {
    std::string entryName;
    std::string command;
};
using NameSpaceCommands = std::vector<NameSpaceCommand>;

// The fixed, untranslated location label of every name space row and skipped key.
constexpr const char* kNameSpaceLabel = "Desktop NameSpace";

class NameSpaceScanner : public ScanRecord {
public:
    // Records one finding per verb that runs Internet Explorer, and each key it could not open
    // or enumerate as skipped. Always true. Every command
    // text it reads is also added to commands, when given, so that the browser rules judge
    // the same texts without reading the keys again.
    bool scan(AccessBroker& broker, NameSpaceCommands* commands = nullptr);
    // Deletes the name space entry of every finding. Always true.
    bool repair(AccessBroker& broker);
};

}  // namespace brenvik
