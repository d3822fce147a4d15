// Deleting a registry key with everything below it.
#pragma once

#include <string>

#include "engine/change/access_broker.h"

namespace brenvik {

// Deletes root\path and all its subkeys, depth first. 0 when the key is gone, else the
// error of the step that failed; a subkey that cannot be deleted stays, and so do its
// ancestors.
Status DeleteKeyTree(AccessBroker& broker, RegKey root, const std::string& path);

}  // namespace brenvik
