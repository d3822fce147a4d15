#include "bench/bare_scan.h"

#include <string>
#include <vector>

#include "bench/paths.h"
#include "engine/access_unlock.h"
#include "engine/link_scanners.h"
#include "engine/name_space_scanner.h"
#include "engine/text_rules.h"

namespace brenvik::bench {
namespace {

constexpr const char* kMachinePrefix = "MACHINE\\";
constexpr std::uint32_t kBufferSize = 4096;
constexpr std::uint32_t kNameSize = 256;

std::string ReadFolder(RegistryPort& registry, RegKey key, const char* valueName) {
    std::vector<std::uint8_t> data(kBufferSize, 0);
    std::uint32_t type = kRegNone;
    std::uint32_t size = kBufferSize - 1;
    if (registry.queryValue(key, valueName, &type, data.data(), &size) != kErrorSuccess)
        return {};
    return std::string(reinterpret_cast<const char*>(data.data()));
}

void ReadLink(Ports& ports, const std::string& path, BareScanCounts& counts) {
    const std::uint32_t attributes = ports.files.getAttributes(path);
    // Permissions are never changed through a hard link: the count is read before unlocking.
    std::uint32_t links = 0;
    ports.files.getLinkCount(path, &links);
    AccessList previous;
    const bool haveList =
        ports.access.readAccessList(path, SecurityObjectType::File, &previous) == kErrorSuccess;
    if (haveList)
        ports.access.writeAccessList(path, SecurityObjectType::File,
                                     WithEveryoneFileEntry(previous));
    ports.files.setAttributes(path, 0);
    ports.shortcuts.readLinkArguments(path);
    if (attributes != kInvalidFileAttributes)
        ports.files.setAttributes(path, attributes);
    if (haveList)
        ports.access.writeAccessList(path, SecurityObjectType::File, previous);
    ++counts.linksRead;
}

void ListFolder(Ports& ports, std::string folder, BareScanCounts& counts) {
    if (folder.empty())
        return;
    folder += '\\';
    FindEntry entry;
    ScopedFind find(ports.files, ports.files.findFirst(folder + "*.lnk", &entry));
    if (find.get() == kNoFind)
        return;
    do {
        std::string name = entry.name;
        LowercaseAscii(name);
        // The name as listed: a path in another letter case costs Wine a folder search.
        if (IsSuspectLinkName(name))
            ReadLink(ports, folder + entry.name, counts);
    } while (ports.files.findNext(find.get(), &entry));
}

// Read, unlocked and later written back: the three access list calls of an unlocked key.
class KeyUnlock {
public:
    KeyUnlock(AccessPort& access, std::string objectName)
        : m_access(access), m_objectName(std::move(objectName)) {
        m_locked = m_access.readAccessList(m_objectName, SecurityObjectType::RegistryKey,
                                           &m_previous) == kErrorSuccess;
        if (m_locked)
            m_access.writeAccessList(m_objectName, SecurityObjectType::RegistryKey,
                                     WithSetAccess(m_previous, kEveryoneSid, kKeyAllAccess,
                                                   kObjectInheritAce | kContainerInheritAce));
    }
    ~KeyUnlock() {
        if (m_locked)
            m_access.writeAccessList(m_objectName, SecurityObjectType::RegistryKey, m_previous);
    }
    KeyUnlock(const KeyUnlock&) = delete;
    KeyUnlock& operator=(const KeyUnlock&) = delete;

private:
    AccessPort& m_access;
    std::string m_objectName;
    AccessList m_previous;
    bool m_locked = false;
};

std::vector<std::string> Subkeys(RegistryPort& registry, RegKey key) {
    std::vector<std::string> names;
    std::uint32_t count = 0;
    if (registry.querySubkeyCount(key, &count) != kErrorSuccess)
        return names;
    for (std::uint32_t index = 0; index < count; ++index) {
        char name[kNameSize];
        std::uint32_t size = kNameSize;
        if (registry.enumKey(key, index, name, &size) != kErrorSuccess)
            break;
        names.emplace_back(name, size);
    }
    return names;
}

void ReadClass(Ports& ports, const std::string& classId, BareScanCounts& counts) {
    const std::string shellPath = std::string(kClassesKey) + "\\" + classId + "\\shell";
    KeyUnlock shellUnlock(ports.access, kMachinePrefix + shellPath);
    ScopedKey shell(ports.registry);
    if (ports.registry.openKey(kHKeyLocalMachine, shellPath, kKeyRead, shell.put()) !=
        kErrorSuccess)
        return;
    for (const std::string& verb : Subkeys(ports.registry, shell.get())) {
        const std::string commandPath = verb + "\\Command";
        KeyUnlock commandUnlock(ports.access, kMachinePrefix + shellPath + "\\" + commandPath);
        ScopedKey command(ports.registry);
        if (ports.registry.openKey(shell.get(), commandPath, kKeyRead, command.put()) !=
            kErrorSuccess)
            continue;
        std::uint8_t data[kBufferSize];
        std::uint32_t type = kRegNone;
        std::uint32_t size = kBufferSize;
        if (ports.registry.queryValue(command.get(), "", &type, data, &size) == kErrorSuccess)
            ++counts.commandsRead;
    }
}

void ReadNameSpace(Ports& ports, BareScanCounts& counts) {
    std::vector<std::string> entries;
    {
        KeyUnlock unlock(ports.access, std::string(kMachinePrefix) + kNameSpaceKey);
        ScopedKey key(ports.registry);
        if (ports.registry.openKey(kHKeyLocalMachine, kNameSpaceKey, kKeyRead, key.put()) !=
            kErrorSuccess)
            return;
        entries = Subkeys(ports.registry, key.get());
    }
    for (const std::string& entry : entries) {
        const std::string classId = ClassIdentifierOf(entry);
        if (!classId.empty())
            ReadClass(ports, classId, counts);
    }
}

}  // namespace

BareScanCounts BareScan(Ports& ports) {
    BareScanCounts counts;
    std::string desktop;
    std::string appData;
    {
        ScopedKey folders(ports.registry);
        if (ports.registry.openKey(kHKeyCurrentUser, kShellFoldersKey, kKeyRead, folders.put()) ==
            kErrorSuccess) {
            desktop = ReadFolder(ports.registry, folders.get(), "Desktop");
            appData = ReadFolder(ports.registry, folders.get(), "AppData");
        }
    }
    ListFolder(ports, appData.empty() ? appData : appData + "\\" + kQuickLaunchSubPath, counts);
    ReadNameSpace(ports, counts);
    ListFolder(ports, desktop, counts);
    return counts;
}

}  // namespace brenvik::bench
