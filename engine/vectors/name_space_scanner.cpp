#include "engine/vectors/name_space_scanner.h"

#include <vector>

#include "engine/backup/backup_manifest.h"
#include "engine/backup/key_tree.h"
#include "engine/base/text_rules.h"
#include "engine/places/key_names.h"
#include "engine/views/result_record.h"

namespace brenvik {
namespace {

constexpr const char* kProgramName = "iexplore.exe";
constexpr std::size_t kClassIdLength = 38;

// Every verb of one class whose command runs the program adds a finding for the entry.
// Reading needs no more than KEY_READ: asking for write access too would make every key
// that grants only reading an escalation.
void ScanClass(AccessBroker& broker, const std::string& entryName, const std::string& classId,
               FindingList& findings, NameSpaceCommands* commands, SkippedPlaces* skipped) {
    RegistryReader& registry = broker.reads().registry;
    const std::string shellPath = kMachineClassesKey + classId + "\\shell";
    ScopedKey shellKey(registry);
    if (Status s = broker.openKey(kHKeyLocalMachine, shellPath, kKeyRead, &shellKey)) {
        SkipKey(skipped, kNameSpaceLabel, kHKeyLocalMachine, shellPath, "opened", s);
        return;
    }
    Status listed = kErrorSuccess;
    const std::vector<std::string> verbs = SubkeyNames(registry, shellKey.get(), &listed);
    SkipKey(skipped, kNameSpaceLabel, kHKeyLocalMachine, shellPath, "enumerated", listed);
    for (const std::string& verb : verbs) {
        if (broker.stopRequested())
            return;
        ScopedKey commandKey(registry);
        const std::string commandPath = verb + "\\Command";
        if (Status s = broker.openKeyBelow(shellKey.get(), kHKeyLocalMachine, shellPath,
                                           commandPath, &commandKey)) {
            SkipKey(skipped, kNameSpaceLabel, kHKeyLocalMachine, shellPath + "\\" + commandPath,
                    "opened", s);
            continue;
        }
        std::string command;
        std::string site;
        if (!ReadDefaultText(registry, commandKey.get(), &command))
            continue;
        if (commands != nullptr)
            commands->push_back(NameSpaceCommand{entryName, command});
        if (!SiteFromCommand(command, site))
            continue;
        findings.push_back(Finding{std::string(kNameSpaceKey) + "\\" + entryName, site});
    }
}

}  // namespace

std::vector<std::string> NameSpaceSubkeys(AccessBroker& broker, RegKey root,
                                          const std::string& path, SkippedPlaces* skipped) {
    ScopedKey key(broker.reads().registry);
    if (Status s = broker.openKey(root, path, kKeyRead, &key)) {
        SkipKey(skipped, kNameSpaceLabel, root, path, "opened", s);
        return {};
    }
    Status listed = kErrorSuccess;
    std::vector<std::string> names = SubkeyNames(broker.reads().registry, key.get(), &listed);
    SkipKey(skipped, kNameSpaceLabel, root, path, "enumerated", listed);
    return names;
}

void SkipKey(SkippedPlaces* skipped, const std::string& location, RegKey root,
             const std::string& path, const char* what, Status error) {
    if (error == kErrorSuccess || error == kErrorFileNotFound || error == kErrorPathNotFound ||
        error == kErrorKeyDeleted || error == kErrorCancelled)
        return;
    AddSkipped(skipped, SkippedPlace{location, std::string(RootName(root)) + "\\" + path,
                                     std::string("cannot be ") + what + ": " + ErrorWords(error)});
}

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

bool NameSpaceScanner::scan(AccessBroker& broker, NameSpaceCommands* commands) {
    for (const std::string& name :
         NameSpaceSubkeys(broker, kHKeyLocalMachine, kNameSpaceKey, &m_skipped)) {
        if (broker.stopRequested())
            break;
        const std::string classId = ClassIdentifierOf(name);
        if (classId.empty())
            continue;
        ScanClass(broker, name, classId, m_findings, commands, &m_skipped);
    }
    return true;
}

bool NameSpaceScanner::repair(AccessBroker& broker) {
    for (const Finding& finding : m_findings) {
        if (broker.stopRequested())
            break;
        DeleteKeyTree(broker, kHKeyLocalMachine, finding.path);
    }
    return true;
}

}  // namespace brenvik
