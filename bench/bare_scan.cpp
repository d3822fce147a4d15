#include "bench/bare_scan.h"

#include <string>
#include <vector>

#include "bench/paths.h"
#include "engine/link_scanners.h"
#include "engine/name_space_scanner.h"
#include "engine/text_rules.h"

namespace brenvik::bench {
namespace {

constexpr const char* kMachinePrefix = "MACHINE\\";
constexpr std::uint32_t kBufferSize = 4096;
constexpr std::uint32_t kNameSize = 256;

// "Everyone" may read one key while this lives; its previous list is back afterwards.
class ReadGrant {
public:
    ReadGrant(AccessPort& access, std::string objectName)
        : m_access(access), m_objectName(std::move(objectName)) {
        if (m_access.readAccessList(m_objectName, SecurityObjectType::RegistryKey, &m_previous) !=
            kErrorSuccess)
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
    explicit Floor(Ports& ports) : m_ports(ports) {}

    BareScanCounts run() {
        std::string desktop;
        std::string appData;
        readFolders(&desktop, &appData);
        if (!appData.empty())
            listFolder(appData + "\\" + kQuickLaunchSubPath);
        readNameSpace();
        listFolder(desktop);
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
            s = m_ports.registry.openKeyForBackup(parent, path, kKeyRead, key->put());
            if (s != kErrorAccessDenied)
                return s;
        }
        ReadGrant grant(m_ports.access, kMachinePrefix + fullPath);
        if (!grant.granted())
            return s;
        ++m_counts.grants;
        return m_ports.registry.openKey(parent, path, kKeyRead, key->put());
    }

    void readLink(const std::string& path) {
        std::string arguments;
        Status s = m_ports.shortcuts.readLinkArguments(path, &arguments);
        if (s == kErrorAccessDenied) {
            ++m_counts.refusals;
            if (privileges())
                s = m_ports.shortcuts.readLinkArgumentsForBackup(path, &arguments);
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

    void listFolder(std::string folder) {
        if (folder.empty())
            return;
        folder += '\\';
        FindEntry entry;
        ScopedFind find(m_ports.files, m_ports.files.findFirst(folder + "*.lnk", &entry));
        if (find.get() == kNoFind)
            return;
        do {
            std::string name = entry.name;
            LowercaseAscii(name);
            // The name as listed: a path in another letter case costs Wine a folder search.
            if (IsSuspectLinkName(name))
                readLink(folder + entry.name);
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
    BareScanCounts m_counts;
    int m_privileges = -1;  // not yet asked, 0 not held, 1 enabled
};

}  // namespace

BareScanCounts BareScan(Ports& ports) {
    return Floor(ports).run();
}

}  // namespace brenvik::bench
