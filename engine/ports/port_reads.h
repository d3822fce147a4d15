// What the broker hands out for reading the machine directly: each port's read-only half, so
// that no change can bypass the broker's backup, escalation and journal.
#pragma once

#include "engine/ports/ports.h"

namespace brenvik {

struct PortReads {
    // Implicit on purpose: whatever reads takes PortReads, and full ports read as well.
    PortReads(Ports& ports)  // NOLINT(google-explicit-constructor)
        : registry(ports.registry),
          files(ports.files),
          shortcuts(ports.shortcuts),
          access(ports.access),
          knownFolders(ports.knownFolders),
          tasks(ports.tasks) {}

    RegistryReader& registry;
    FileReader& files;
    ShortcutReader& shortcuts;
    AccessReader& access;
    KnownFolderPort& knownFolders;
    TaskReader& tasks;
};

}  // namespace brenvik
