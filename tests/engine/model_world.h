// A scratch profile on the in-memory platform: Shell Folders, Desktop and Quick Launch.
#pragma once

#include <string>

#include "engine/change/access_broker.h"
#include "engine/change/journal.h"
#include "engine/places/shell_folder.h"
#include "engine/ports/ports.h"
#include "engine/vectors/vector_table.h"
#include "platform/model/model_platform.h"

namespace brenvik::testing {

constexpr const char* kDesktop = "C:\\Users\\u\\Desktop";
constexpr const char* kAppData = "C:\\Users\\u\\AppData\\Roaming";
constexpr const char* kQuickLaunch =
    "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch";

struct ModelWorld {
    model::ModelPlatform platform;
    Ports ports = platform.ports();
    Journal journal{platform};
    AccessBroker broker{ports, journal};

    ModelWorld() {
        UseDeclaredPlaces(broker, ports);
        platform.addFolder(kDesktop);
        platform.addFolder(kQuickLaunch);
        platform.putString(kHKeyCurrentUser, kShellFoldersKey, "Desktop", kDesktop);
        platform.putString(kHKeyCurrentUser, kShellFoldersKey, "AppData", kAppData);
    }

    static std::string desktop(const std::string& name) {
        return std::string(kDesktop) + "\\" + name;
    }
    static std::string quickLaunch(const std::string& name) {
        return std::string(kQuickLaunch) + "\\" + name;
    }
};

// One command's own door over a world: its journal file is removed when the command ends
// with everything put back, as the driver's commands do.
struct Command {
    explicit Command(ModelWorld& world) : journal(world.platform), broker(world.ports, journal) {
        UseDeclaredPlaces(broker, world.ports);
    }
    Journal journal;
    AccessBroker broker;
};

// An explicit deny of everything for the administrators, ahead of the default entries.
inline AccessList DenyingAdministrators() {
    AccessList list = model::DefaultAccessList();
    AccessEntry deny;
    deny.type = kAccessDeniedAceType;
    deny.mask = kGenericAll;
    deny.sid = model::kAdministratorsSid;
    list.entries.insert(list.entries.begin(), deny);
    return list;
}

}  // namespace brenvik::testing
