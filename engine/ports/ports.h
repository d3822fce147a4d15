// The platform as the engine sees it: one reference per port.
#pragma once

#include "engine/ports/access_port.h"
#include "engine/ports/file_port.h"
#include "engine/ports/known_folder_port.h"
#include "engine/ports/registry_port.h"
#include "engine/ports/shortcut_port.h"
#include "engine/ports/store_port.h"

namespace brenvik {

struct Ports {
    RegistryPort& registry;
    FilePort& files;
    ShortcutPort& shortcuts;
    AccessPort& access;
    FileSecurityPort& fileSecurity;
    StorePort& store;
    KnownFolderPort& knownFolders;
};

}  // namespace brenvik
