// The floor a scan is measured against: the reads any correct program must make to find what
// the scan finds, straight on the ports in one plain loop.
#pragma once

#include <cstddef>

#include "engine/ports/ports.h"

namespace brenvik::bench {

struct BareScanCounts {
    std::size_t linksRead = 0;     // shortcuts loaded
    std::size_t commandsRead = 0;  // command values read
    std::size_t refusals = 0;      // objects that refused the plain read
    std::size_t grants = 0;        // of those, keys read only after "Everyone" was let in
};

// Reads both folders' Shell Folders values; the name space: its entries, each class's shell
// key and verbs, each command value, and the per-user entries; then lists every place once
// (the Start Menus with their subfolders) and loads every shortcut there; then the browsers'
// launch commands and Capabilities, each known handler's verbs, the user's choices, and every
// value of the startup keys and of each browser's execution options and silent-exit monitor.
// Nothing but the read is asked of an object that does not refuse it. One that refuses is read with
// the backup privileges; a key that refuses that too (Wine ignores backup semantics on keys) is
// read with "Everyone" allowed to read it for the one open, its list put back right after.
BareScanCounts BareScan(Ports& ports);

}  // namespace brenvik::bench
