// Fix Desktop: the desktop icon visibility values and the network places registration.
#pragma once

#include <vector>

#include "engine/change/access_broker.h"
#include "engine/change/work_places.h"

namespace brenvik {

// The per-user keys whose values say which desktop icons are hidden.
constexpr const char* kHideIconsKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\ClassicStartMenu",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel",
};
// The class in each hive on its own, never through HKEY_CLASSES_ROOT: that merged view reads
// the user's keys over the machine's and writes where the key happens to exist, so a backup
// taken through it would carry a user's values into the machine's registration.
constexpr const char* kNetworkPlacesKey =
    "Software\\Classes\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}";

// The keys Fix Desktop writes and deletes.
std::vector<KeyPlace> DesktopRestoreKeys();

// Writes the per-user desktop icon visibility values into the keys that exist.
void ShowDesktopIcons(AccessBroker& broker);
// Deletes the network places class registration (the user's and the machine's) and writes the
// machine's anew.
void ReregisterNetworkPlaces(AccessBroker& broker);

}  // namespace brenvik
