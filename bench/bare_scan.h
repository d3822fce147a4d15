// The platform calls a scan cannot avoid, made directly on the ports in one plain loop: the
// yardstick the engine's scan is measured against.
#pragma once

#include <cstddef>

#include "engine/ports/ports.h"

namespace brenvik::bench {

struct BareScanCounts {
    std::size_t linksRead = 0;     // suspect shortcuts loaded for their arguments
    std::size_t commandsRead = 0;  // command values read
};

// Finds both folders from the Shell Folders values and lists them; for each suspect
// shortcut reads its attributes and access list, writes the unlocked list and clears the
// attributes, loads it for its arguments and writes both back. Then the name space: each key
// the scan unlocks (the name space key, each class's shell key, each verb's command key) has
// its list read, written unlocked and written back around the reads in it.
BareScanCounts BareScan(Ports& ports);

}  // namespace brenvik::bench
