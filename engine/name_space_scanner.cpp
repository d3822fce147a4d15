#include "engine/name_space_scanner.h"

#include <vector>

#include "engine/access_unlock.h"
#include "engine/key_tree.h"
#include "engine/text_rules.h"

namespace brenvik {
namespace {

constexpr const char* kNameSpaceKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace";
constexpr const char* kMachinePrefix = "MACHINE\\";
constexpr const char* kClassesPrefix = "SOFTWARE\\Classes\\CLSID\\";
constexpr const char* kProgramName = "iexplore.exe";
constexpr std::size_t kClassIdLength = 38;
constexpr std::uint32_t kNameBufferSize = 256;
constexpr std::uint32_t kCommandBufferSize = 4096;

// Subkey names of an open key in index order, up to the first enumeration that fails.
std::vector<std::string> SubkeyNames(RegistryPort& registry, RegKey key) {
    std::vector<std::string> names;
    std::uint32_t count = 0;
    if (registry.querySubkeyCount(key, &count) != kErrorSuccess)
        return names;
    for (std::uint32_t index = 0; index < count; ++index) {
        char name[kNameBufferSize];
        std::uint32_t size = kNameBufferSize;
        if (registry.enumKey(key, index, name, &size) != kErrorSuccess)
            break;
        names.emplace_back(name, size);
    }
    return names;
}

// The default value of a command key: up to its first zero byte, or all of it.
bool ReadCommand(RegistryPort& registry, RegKey key, std::string& command) {
    std::vector<std::uint8_t> data(kCommandBufferSize, 0);
    std::uint32_t type = kRegNone;
    std::uint32_t size = kCommandBufferSize;
    if (registry.queryValue(key, "", &type, data.data(), &size) != kErrorSuccess)
        return false;
    command.assign(reinterpret_cast<const char*>(data.data()), size);
    const std::size_t zero = command.find('\0');
    if (zero != std::string::npos)
        command.resize(zero);
    return true;
}

// Every verb of one class whose command runs the program adds a finding for the entry.
void ScanClass(Ports& ports, const std::string& entryName, const std::string& classId,
               FindingList& findings) {
    const std::string shellPath = kClassesPrefix + classId + "\\shell";
    ScopedKeyUnlock shellUnlock(ports.access, kMachinePrefix + shellPath);
    ScopedKey shellKey(ports.registry);
    if (ports.registry.openKey(kHKeyLocalMachine, shellPath, kKeyRead, shellKey.put()) !=
        kErrorSuccess)
        return;

    for (const std::string& verb : SubkeyNames(ports.registry, shellKey.get())) {
        const std::string commandPath = verb + "\\Command";
        ScopedKeyUnlock commandUnlock(ports.access,
                                      kMachinePrefix + shellPath + "\\" + commandPath);
        ScopedKey commandKey(ports.registry);
        if (ports.registry.openKey(shellKey.get(), commandPath, kKeyReadWrite, commandKey.put()) !=
            kErrorSuccess)
            continue;
        std::string command;
        std::string site;
        if (!ReadCommand(ports.registry, commandKey.get(), command))
            continue;
        if (!SiteFromCommand(command, site))
            continue;
        findings.push_back(Finding{std::string(kNameSpaceKey) + "\\" + entryName, site});
    }
}

// The names of the name space entries; the key is closed (and locked again) before any
// class is looked at.
std::vector<std::string> NameSpaceEntries(Ports& ports) {
    ScopedKeyUnlock unlock(ports.access, std::string(kMachinePrefix) + kNameSpaceKey);
    ScopedKey key(ports.registry);
    if (ports.registry.openKey(kHKeyLocalMachine, kNameSpaceKey, kKeyRead, key.put()) !=
        kErrorSuccess)
        return {};
    return SubkeyNames(ports.registry, key.get());
}

}  // namespace

std::string ClassIdentifierOf(const std::string& entryName) {
    const std::size_t brace = entryName.find('{');
    if (brace == std::string::npos)
        return {};
    if (entryName.size() - brace < kClassIdLength)
        return {};
    if (entryName[brace + kClassIdLength - 1] != '}')
        return {};
    return entryName.substr(brace, kClassIdLength);
}

bool SiteFromCommand(std::string command, std::string& site) {
    LowercaseAscii(command);
    std::size_t position = command.find(kProgramName);
    if (position == std::string::npos)
        return false;
    position += std::char_traits<char>::length(kProgramName);
    while (position < command.size() && (command[position] == ' ' || command[position] == '\t'))
        ++position;
    site = command.substr(position);
    return true;
}

bool NameSpaceScanner::scan(Ports& ports) {
    for (const std::string& name : NameSpaceEntries(ports)) {
        const std::string classId = ClassIdentifierOf(name);
        if (classId.empty())
            continue;
        ScanClass(ports, name, classId, m_findings);
    }
    return true;
}

bool NameSpaceScanner::repair(Ports& ports) {
    for (const Finding& finding : m_findings) {
        ScopedKeyUnlock unlock(ports.access, kMachinePrefix + finding.path);
        if (DeleteKeyTree(ports.registry, kHKeyLocalMachine, finding.path) == kErrorSuccess)
            unlock.keyDeleted();
    }
    return true;
}

}  // namespace brenvik
