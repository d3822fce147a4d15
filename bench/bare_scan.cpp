#include "bench/bare_scan.h"

#include <cstring>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "bench/profile.h"
#include "engine/base/text_rules.h"
#include "engine/places/link_places.h"
#include "engine/rules/browser_table.h"
#include "engine/vectors/browser_command_vector.h"
#include "engine/vectors/debugger_vector.h"
#include "engine/vectors/handler_vector.h"
#include "engine/vectors/name_space_scanner.h"
#include "engine/vectors/startup_vector.h"

namespace brenvik::bench {
namespace {

constexpr const char* kMachinePrefix = "MACHINE\\";
constexpr std::uint32_t kBufferSize = 4096;
constexpr std::uint32_t kNameSize = 256;

// Before it changes a list, any program that must never leave one weakened, even when it
// dies, has to put the previous list on the disk: one flushed write per change, into one
// file per run, removed at the end.
class DurableRecord {
public:
    explicit DurableRecord(StorePort& store) : m_store(store) {}
    ~DurableRecord() {
        if (!m_path.empty())
            m_store.removeFile(m_path);
    }
    DurableRecord(const DurableRecord&) = delete;
    DurableRecord& operator=(const DurableRecord&) = delete;

    bool write(const std::string& text) {
        if (!m_path.empty())
            return m_store.appendDurably(m_path, text) == kErrorSuccess;
        bool trusted = false;
        if (m_store.secureFolder(kFolder, &trusted) != kErrorSuccess)
            return false;
        static int run = 0;
        m_path = std::string(kFolder) + "\\floor-" + std::to_string(++run);
        m_store.removeFile(m_path);  // a leftover of an interrupted run
        return m_store.writeDurably(m_path, text) == kErrorSuccess;
    }

private:
    static constexpr const char* kFolder = "BenchFloor";
    StorePort& m_store;
    std::string m_path;
};

// "Everyone" may read one key while this lives; its previous list is back afterwards.
class ReadGrant {
public:
    ReadGrant(AccessPort& access, DurableRecord& record, std::string objectName)
        : m_access(access), m_objectName(std::move(objectName)) {
        if (m_access.readAccessList(m_objectName, SecurityObjectType::RegistryKey, &m_previous) !=
            kErrorSuccess)
            return;
        if (!record.write(m_objectName + " " + std::to_string(m_previous.entries.size()) + "\n"))
            return;
        AccessList granted = m_previous;
        AccessEntry everyone;
        everyone.mask = kKeyRead;
        everyone.sid = kEveryoneSid;
        granted.present = true;
        granted.entries.insert(granted.entries.begin(), everyone);
        m_granted = m_access.writeAccessList(m_objectName, SecurityObjectType::RegistryKey,
                                             granted) == kErrorSuccess;
    }
    ~ReadGrant() {
        if (m_granted)
            m_access.writeAccessList(m_objectName, SecurityObjectType::RegistryKey, m_previous);
    }
    ReadGrant(const ReadGrant&) = delete;
    ReadGrant& operator=(const ReadGrant&) = delete;

    bool granted() const { return m_granted; }

private:
    AccessPort& m_access;
    std::string m_objectName;
    AccessList m_previous;
    bool m_granted = false;
};

class Floor {
public:
    explicit Floor(Ports& ports) : m_ports(ports), m_record(ports.store) {}

    BareScanCounts run() {
        std::string desktop;
        std::string appData;
        readFolders(&desktop, &appData);
        readNameSpace();
        readUserNameSpace();
        walkPlaces();
        readLaunchKeys();
        readTasks();
        return m_counts;
    }

private:
    bool privileges() {
        if (m_privileges < 0)
            m_privileges = m_ports.access.enableBackupPrivileges() == kErrorSuccess;
        return m_privileges == 1;
    }

    // parent\\path for reading, by the cheapest way it lets through; fullPath names the same
    // key under HKEY_LOCAL_MACHINE for its access list.
    Status openKey(RegKey parent, const std::string& path, const std::string& fullPath,
                   ScopedKey* key) {
        Status s = m_ports.registry.openKey(parent, path, kKeyRead, key->put());
        if (s != kErrorAccessDenied)
            return s;
        ++m_counts.refusals;
        if (privileges()) {
            s = m_ports.registry.openKey(parent, path, kKeyRead, key->put(),
                                         OpenMode::BackupIntent);
            if (s != kErrorAccessDenied)
                return s;
        }
        ReadGrant grant(m_ports.access, m_record, kMachinePrefix + fullPath);
        if (!grant.granted())
            return s;
        ++m_counts.grants;
        return m_ports.registry.openKey(parent, path, kKeyRead, key->put());
    }

    // Every shortcut is loaded once, for its target, arguments and icon.
    void readLink(const std::string& path) {
        ShortcutProperties details;
        details.mask = kShortcutTarget | kShortcutArguments | kShortcutIcon;
        Status s = m_ports.shortcuts.readShortcut(path, OpenMode::AsIs, &details);
        if (s == kErrorAccessDenied) {
            ++m_counts.refusals;
            if (privileges())
                s = m_ports.shortcuts.readShortcut(path, OpenMode::BackupIntent, &details);
        }
        m_counts.linksRead += s == kErrorSuccess;
    }

    std::string readFolder(RegKey key, const char* valueName) {
        std::vector<std::uint8_t> data(kBufferSize, 0);
        std::uint32_t type = kRegNone;
        std::uint32_t size = kBufferSize - 1;
        if (m_ports.registry.queryValue(key, valueName, &type, data.data(), &size) != kErrorSuccess)
            return {};
        return std::string(reinterpret_cast<const char*>(data.data()));
    }

    void readFolders(std::string* desktop, std::string* appData) {
        ScopedKey folders(m_ports.registry);
        if (m_ports.registry.openKey(kHKeyCurrentUser, kShellFoldersKey, kKeyRead, folders.put()) !=
            kErrorSuccess)
            return;
        *desktop = readFolder(folders.get(), "Desktop");
        *appData = readFolder(folders.get(), "AppData");
    }

    std::string knownFolder(KnownFolder id, const char* subPath = nullptr) {
        std::string path;
        if (m_ports.knownFolders.knownFolder(id, &path) != kErrorSuccess || path.empty())
            return std::string();
        return subPath ? path + "\\" + subPath : path;
    }

    // Each place's folder once; the Start Menus with their subfolders, but for a place inside.
    void walkPlaces() {
        const std::string quickLaunch = knownFolder(KnownFolder::QuickLaunch);
        const std::vector<std::string> flat = {
            knownFolder(KnownFolder::Desktop),
            knownFolder(KnownFolder::PublicDesktop),
            quickLaunch,
            quickLaunch + "\\" + kTaskbarSubPath,
            quickLaunch + "\\User Pinned\\StartMenu",
            knownFolder(KnownFolder::Startup),
            knownFolder(KnownFolder::CommonStartup),
        };
        // Where a browser's own shortcut never points: asked for once, as the rules need them.
        for (KnownFolder id :
             {KnownFolder::RoamingAppData, KnownFolder::LocalAppData, KnownFolder::Temp})
            knownFolder(id);
        m_places = flat;
        for (const std::string& folder : flat) listFolder(folder, false, 0);
        listFolder(knownFolder(KnownFolder::StartMenu), true, 0);
        listFolder(knownFolder(KnownFolder::CommonStartMenu), true, 0);
    }

    bool isPlace(const std::string& folder) const {
        for (const std::string& place : m_places) {
            if (place == folder)
                return true;
        }
        return false;
    }

    void listFolder(const std::string& folder, bool walk, int depth) {
        if (folder.empty())
            return;
        FindEntry entry;
        ScopedFind find(m_ports.files, m_ports.files.findFirst(folder + "\\*", &entry));
        if (find.get() == kNoFind)
            return;
        do {
            const std::string path = folder + "\\" + entry.name;
            if (entry.attributes & kFileAttributeDirectory) {
                if (walk && depth < kMaxPlaceDepth && entry.name != "." && entry.name != ".." &&
                    !(entry.attributes & kFileAttributeReparsePoint) && !isPlace(path))
                    listFolder(path, true, depth + 1);
                continue;
            }
            std::string name = entry.name;
            LowercaseAscii(name);
            // The name as listed: a path in another letter case costs Wine a folder search.
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".lnk") == 0)
                readLink(path);
        } while (m_ports.files.findNext(find.get(), &entry));
    }

    std::vector<std::string> subkeys(RegKey key) {
        std::vector<std::string> names;
        std::uint32_t count = 0;
        if (m_ports.registry.querySubkeyCount(key, &count) != kErrorSuccess)
            return names;
        for (std::uint32_t index = 0; index < count; ++index) {
            char name[kNameSize];
            std::uint32_t size = kNameSize;
            if (m_ports.registry.enumKey(key, index, name, &size) == kErrorSuccess)
                names.emplace_back(name, size);
        }
        return names;
    }

    void readCommand(RegKey shell, const std::string& shellPath, const std::string& verb) {
        const std::string path = verb + "\\Command";
        ScopedKey command(m_ports.registry);
        if (openKey(shell, path, shellPath + "\\" + path, &command) != kErrorSuccess)
            return;
        std::uint8_t data[kBufferSize];
        std::uint32_t type = kRegNone;
        std::uint32_t size = kBufferSize;
        if (m_ports.registry.queryValue(command.get(), "", &type, data, &size) == kErrorSuccess)
            ++m_counts.commandsRead;
    }

    void readClass(const std::string& classId) {
        const std::string shellPath = std::string(kClassesKey) + "\\" + classId + "\\shell";
        ScopedKey shell(m_ports.registry);
        if (openKey(kHKeyLocalMachine, shellPath, shellPath, &shell) != kErrorSuccess)
            return;
        for (const std::string& verb : subkeys(shell.get()))
            readCommand(shell.get(), shellPath, verb);
    }

    // Every value of an existing key, read once; the texts among them.
    std::vector<std::string> readValues(RegKey root, const std::string& path) {
        ScopedKey key(m_ports.registry);
        if (m_ports.registry.openKey(root, path, kKeyRead, key.put()) != kErrorSuccess)
            return {};
        std::vector<std::string> texts;
        std::string name;
        for (std::uint32_t i = 0;
             m_ports.registry.enumValueName(key.get(), i, &name) == kErrorSuccess; ++i) {
            std::vector<std::uint8_t> data(kBufferSize, 0);
            std::uint32_t type = kRegNone;
            std::uint32_t size = kBufferSize;
            if (m_ports.registry.queryValue(key.get(), name, &type, data.data(), &size) ==
                    kErrorSuccess &&
                type == kRegSz)
                texts.emplace_back(reinterpret_cast<const char*>(data.data()));
        }
        return texts;
    }

    // The named values of an existing key, read once each.
    void readNamed(RegKey root, const std::string& path, std::initializer_list<const char*> names) {
        ScopedKey key(m_ports.registry);
        if (m_ports.registry.openKey(root, path, kKeyRead, key.put()) != kErrorSuccess)
            return;
        for (const char* name : names) readNamed(key.get(), name);
    }

    std::uint32_t readNamed(RegKey key, const char* name) {
        std::uint8_t data[kBufferSize] = {};
        std::uint32_t type = kRegNone;
        std::uint32_t size = kBufferSize;
        std::uint32_t number = 0;
        if (m_ports.registry.queryValue(key, name, &type, data, &size) == kErrorSuccess &&
            type == kRegDword && size == sizeof number)
            std::memcpy(&number, data, sizeof number);
        return number;
    }

    // A browser's execution options: its debugger, the filters it uses (each with its own
    // debugger), and its silent-exit monitor while its flags ask for one.
    void readExecutionOptions(const std::string& executable) {
        for (const char* options : kExecutionOptionsKeys) {
            const std::string path = std::string(options) + "\\" + executable;
            ScopedKey key(m_ports.registry);
            if (m_ports.registry.openKey(kHKeyLocalMachine, path, kKeyRead, key.put()) !=
                kErrorSuccess)
                continue;
            readNamed(key.get(), "Debugger");
            const bool filters = readNamed(key.get(), "UseFilter") != 0;
            const bool monitored =
                (readNamed(key.get(), "GlobalFlag") & kMonitorSilentExitFlag) != 0;
            if (filters) {
                for (const std::string& name : subkeys(key.get()))
                    readNamed(kHKeyLocalMachine, path + "\\" + name, {"Debugger"});
            }
            if (monitored && options == kExecutionOptionsKeys[0])
                readNamed(kHKeyLocalMachine, std::string(kSilentExitKey) + "\\" + executable,
                          {"MonitorProcess"});
        }
    }

    // Each verb's command of a handler's shell key.
    void readHandler(RegKey root, const std::string& progId) {
        const std::string shell = "Software\\Classes\\" + progId + "\\shell";
        std::vector<std::string> verbs;
        {
            ScopedKey key(m_ports.registry);
            if (m_ports.registry.openKey(root, shell, kKeyRead, key.put()) != kErrorSuccess)
                return;
            verbs = subkeys(key.get());
        }
        for (const std::string& verb : verbs)
            readNamed(root, shell + "\\" + verb + "\\command", {""});
    }

    // The browsers' launch commands and Capabilities, the known handlers and the user's
    // choices.
    void readHandlers() {
        std::set<std::string> progIds;
        for (const std::string& progId : KnownHandlerNames()) progIds.insert(progId);
        for (const RegKey root : {kHKeyLocalMachine, kHKeyCurrentUser}) {
            std::vector<std::string> clients;
            {
                ScopedKey key(m_ports.registry);
                if (m_ports.registry.openKey(root, kStartMenuInternetKey, kKeyRead, key.put()) ==
                    kErrorSuccess)
                    clients = subkeys(key.get());
            }
            for (const std::string& client : clients) {
                const std::string path = std::string(kStartMenuInternetKey) + "\\" + client;
                readNamed(root, path + "\\shell\\open\\command", {""});
                for (const char* associations : {"URLAssociations", "FileAssociations"}) {
                    for (const std::string& progId :
                         readValues(root, path + "\\Capabilities\\" + associations))
                        progIds.insert(progId);
                }
            }
        }
        for (const std::string& progId : progIds) {
            for (const RegKey root : {kHKeyCurrentUser, kHKeyLocalMachine})
                readHandler(root, progId);
        }
        for (const char* choice : kUserChoiceKeys) readValues(kHKeyCurrentUser, choice);
    }

    // The startup keys, and each browser's execution options in both views and its
    // silent-exit monitor.
    // Every task's definition.
    void readTasks() {
        std::vector<std::string> names;
        std::vector<TaskFolderError> unlisted;
        if (m_ports.tasks.listTasks(&names, &unlisted) != kErrorSuccess)
            return;
        for (const std::string& name : names) {
            TaskDefinition task;
            m_ports.tasks.readTask(name, &task);
        }
    }

    void readLaunchKeys() {
        readHandlers();
        for (const KeyPlace& place : kStartupKeys) readValues(place.root, place.path);
        for (const std::string_view executable : BrowserExecutables())
            readExecutionOptions(std::string(executable));
    }

    // The per-user name space: its entries (the profile has none).
    void readUserNameSpace() {
        ScopedKey key(m_ports.registry);
        if (m_ports.registry.openKey(kHKeyCurrentUser, kNameSpaceKey, kKeyRead, key.put()) ==
            kErrorSuccess)
            subkeys(key.get());
    }

    void readNameSpace() {
        std::vector<std::string> entries;
        {
            ScopedKey key(m_ports.registry);
            if (openKey(kHKeyLocalMachine, kNameSpaceKey, kNameSpaceKey, &key) != kErrorSuccess)
                return;
            entries = subkeys(key.get());
        }
        for (const std::string& entry : entries) {
            const std::string classId = ClassIdentifierOf(entry);
            if (!classId.empty())
                readClass(classId);
        }
    }

    Ports& m_ports;
    DurableRecord m_record;
    BareScanCounts m_counts;
    std::vector<std::string> m_places;  // the folders that are places of their own
    int m_privileges = -1;              // not yet asked, 0 not held, 1 enabled
};

}  // namespace

BareScanCounts BareScan(Ports& ports) {
    return Floor(ports).run();
}

}  // namespace brenvik::bench
