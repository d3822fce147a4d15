// Fix Desktop: the desktop icon visibility values and the network places registration.
#pragma once

#include <vector>

#include "engine/change/access_broker.h"
#include "engine/change/work_places.h"

namespace brenvik {

// The keys Fix Desktop writes and deletes.
std::vector<KeyPlace> DesktopRestoreKeys();

// Writes the per-user desktop icon visibility values into the keys that exist.
void ShowDesktopIcons(AccessBroker& broker);
// Deletes the network places class registration (the user's and the machine's) and writes the
// machine's anew.
void ReregisterNetworkPlaces(AccessBroker& broker);

}  // namespace brenvik
