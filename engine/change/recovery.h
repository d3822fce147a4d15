// The start-up recovery: what a run that died left granted is put back before anything else.
#pragma once

#include <functional>

#include "engine/change/work_places.h"
#include "engine/ports/ports.h"

namespace brenvik {

// What the start-up recovery did with the entries it found.
struct RecoveryResult {
    int restored = 0;  // put back, or their object is gone
    // Never applied: entries outside the work places or naming a link now (their files are
    // kept and they are counted again at the next start), and files from a folder others
    // could write (removed unread).
    int refused = 0;
    int failed = 0;  // their files are kept for the next start
};

// Puts back every entry a run that died left behind, then removes its file when every entry
// in it is back or its object gone. Entries that name an object outside the places (found
// only when there is an entry to judge) are refused: never applied.
RecoveryResult RecoverJournal(Ports& ports, const std::function<WorkPlaces()>& findPlaces);

}  // namespace brenvik
