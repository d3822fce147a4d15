// A shortcut scanner run on its own, as a command runs it: with folder listings of its own.
#pragma once

#include "engine/change/access_broker.h"
#include "engine/places/folder_listings.h"

namespace brenvik::test {

template <typename Scanner>
bool ScanAlone(Scanner& scanner, AccessBroker& broker) {
    FolderListings listings(broker.reads().files);
    return scanner.scan(broker, listings);
}

}  // namespace brenvik::test
