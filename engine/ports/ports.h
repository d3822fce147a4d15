// The platform as the engine sees it: one reference per port, each bound by its name.
#pragma once

#include <type_traits>

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

// The task port of a platform object that has none (the benchmark's tally of the other
// ports): a scheduler with no task, which refuses every change (ERROR_NOT_SUPPORTED).
class NoTaskPort final : public TaskPort {
public:
    Status listTasks(std::vector<std::string>* names,
                     std::vector<TaskFolderError>* unlisted) override {
        names->clear();
        unlisted->clear();
        return kErrorSuccess;
    }
    Status readTask(const std::string&, TaskDefinition*) override { return kErrorFileNotFound; }
    Status deleteTask(const std::string&, const std::string&) override {
        return kErrorNotSupported;
    }
    Status registerTask(const std::string&, const std::string&) override {
        return kErrorNotSupported;
    }
};

template <typename Platform>
TaskPort& TasksOf(Platform& platform) {
    if constexpr (std::is_base_of_v<TaskPort, Platform>) {
        return platform;
    } else {
        static NoTaskPort none;
        return none;
    }
}

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
          tasks(TasksOf(platform)) {}

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
