// What a scanner found: the object its repair acts on and the text the report shows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/places/folder_listings.h"
#include "engine/ports/registry_port.h"

namespace brenvik {

// Which browser rule made a finding; the Internet Explorer scanners' findings carry None.
enum class BrowserRule {
    None,
    Arguments,       // a browser's own shortcut opens an address or loads code
    ReplacedTarget,  // a shortcut that claims a browser runs a launcher instead
    FakeLink,        // an Internet shortcut named like a browser
    NameSpace,       // a name space entry whose verb opens an address in another browser
    Startup,         // a startup entry that opens an address or loads code into a browser
    Debugger,        // a program set to run instead of a browser whenever it starts
    UserChoice,      // the user's choice of handler names one that opens no browser
};

struct Finding {
    std::string path;  // a shortcut's full path, or a name space entry's key path under root
    std::string site;  // shown in the report's "Web Site" column
    BrowserRule rule = BrowserRule::None;
    std::string location{};           // the report label of a browser rule's finding
    std::string target{};             // ReplacedTarget: the executable of the browser it claims
    std::string arguments{};          // Arguments: what the repair leaves as the arguments
    std::string refused{};            // why the repair is not made; "" when it may be
    RegKey root = kHKeyLocalMachine;  // NameSpace, and a value's key: the root of path
    // A finding that is one value of the key path names: the value's name, "" for the default
    // (path is then the key's, and the report's object is the value).
    std::optional<std::string> value{};
    // Listed, never repaired: Windows protects the object (a UserChoice), or another party
    // manages it.
    bool reportOnly = false;
};

using FindingList = std::vector<Finding>;

// What a scanner recorded: its findings in row order, and what it passed over besides the
// folder listings' own.
class ScanRecord {
public:
    const FindingList& findings() const { return m_findings; }
    // For a command that repairs only some of what the scan recorded.
    FindingList& recorded() { return m_findings; }
    const SkippedPlaces& skipped() const { return m_skipped; }

protected:
    FindingList m_findings;
    SkippedPlaces m_skipped;
};

}  // namespace brenvik
