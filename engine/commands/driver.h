// The scan and repair driver: what Scan, Fix and Fix Desktop do with the three scanners.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/base/stop_signal.h"
#include "engine/change/access_broker.h"
#include "engine/places/folder_listings.h"
#include "engine/ports/ports.h"
#include "engine/vectors/vector.h"

namespace brenvik {

// Each command reaches the machine through its own AccessBroker over the ports; a stop
// signal, where given, ends it at the next object with everything it unlocked put back.

// What a scan reports, in the order of its rows: the one list every front end shows. Each
// place's findings go to found (when given) before the next place is scanned; what a scanner
// passed over goes to passed (when given) after its findings, one call per object.
LocatedFindings ScanPlaces(AccessBroker& broker,
                           const std::function<void(const LocatedFinding&)>& found = nullptr,
                           const std::function<void(const SkippedPlace&)>& passed = nullptr);
// Fix through the given broker (which carries the backup set): scans again and repairs, in
// the order NameSpace, Quick Launch, Desktop, then the browser rules in the order of their
// rows. The findings it met, in the order it repaired them; what it could not examine goes to
// skipped, when given.
// With repairs given, only the findings it accepts are repaired; the others go to held, when
// given, in row order within each vector, and are left as they are.
LocatedFindings FixPlaces(AccessBroker& broker, SkippedPlaces* skipped = nullptr,
                          const std::function<bool(const LocatedFinding&)>& repairs = nullptr,
                          LocatedFindings* held = nullptr);
// Fix Desktop through the given broker: the desktop icon visibility values and the network
// places registration.
void FixDesktopWith(AccessBroker& broker);

}  // namespace brenvik
