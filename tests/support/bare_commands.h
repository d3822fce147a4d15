// The product's commands over bare ports, for tests and benchmarks that hold no command host.
#pragma once

#include "engine/commands/commands.h"

namespace brenvik::test {

// The window's Scan.
inline CommandReport ScanRows(Ports& ports, ReportView& view) {
    CommandHost commands{ports};
    return ScanIntoView(commands, view);
}

// Fix as the window and the command line run it: with its backup set in the ports' store.
inline CommandReport Fix(Ports& ports) {
    CommandHost commands{ports};
    return FixCommand(commands);
}

inline CommandReport FixDesktop(Ports& ports) {
    CommandHost commands{ports};
    return FixDesktopCommand(commands);
}

}  // namespace brenvik::test
