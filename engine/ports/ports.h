// The platform as the engine sees it: one reference per port, each bound by its name.
#pragma once

#include "engine/ports/access_port.h"
#include "engine/ports/content_port.h"
#include "engine/ports/file_port.h"
#include "engine/ports/host_port.h"
#include "engine/ports/known_folder_port.h"
#include "engine/ports/registry_port.h"
#include "engine/ports/shortcut_port.h"
#include "engine/ports/store_port.h"
#include "engine/ports/task_port.h"

namespace brenvik {

struct Ports {
    // The machine's ports and the store from one platform object that is all of them, with
    // the kept contents and the host given apart. Each member is bound by name: one left out
    // does not compile, and -Wreorder holds the list to the order below.
    template <typename Platform>
    Ports(Platform& platform, ContentPort& contentPort, HostPort& hostPort)
        : registry(platform),
          files(platform),
          fileSecurity(platform),
          shortcuts(platform),
          access(platform),
          content(contentPort),
          store(platform),
          knownFolders(platform),
          host(hostPort),
          tasks(platform) {}

    RegistryPort& registry;
    FilePort& files;
    FileSecurityPort& fileSecurity;
    ShortcutPort& shortcuts;
    AccessPort& access;
    ContentPort& content;  // what a backup keeps and a restore writes back
    StorePort& store;      // the program's own data: journal, backup sets, ignore list
    KnownFolderPort& knownFolders;
    HostPort& host;   // the clock and names a report carries
    TaskPort& tasks;  // the scheduled tasks
};

}  // namespace brenvik
