#include "engine/vectors/browser_name_space_scanner.h"

#include <algorithm>
#include <vector>

#include "engine/backup/key_tree.h"
#include "engine/places/key_names.h"
#include "engine/rules/browser_arguments.h"
#include "engine/rules/browser_command.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {
namespace {

constexpr const char* kInternetExplorer = "iexplore.exe";

// A command key's default value up to its first zero byte.
bool ReadCommand(AccessBroker& broker, RegKey root, const std::string& path, std::string* command,
                 SkippedPlaces* skipped) {
    ScopedKey key(broker.reads().registry);
    if (Status s = broker.openKey(root, path, kKeyRead, &key)) {
        SkipKey(skipped, kNameSpaceLabel, root, path, "opened", s);
        return false;
    }
    return ReadDefaultText(broker.reads().registry, key.get(), command);
}

// The class's shell key as the merged class view finds it (the user's registration first), and
// its verbs, read through the one open; false when neither store has it.
bool FindVerbs(AccessBroker& broker, const std::string& classId, RegKey* store,
               std::string* shellPath, std::vector<std::string>* verbs, SkippedPlaces* skipped) {
    const std::string shell = kClassesKey + classId + "\\shell";
    for (RegKey root : {kHKeyCurrentUser, kHKeyLocalMachine}) {
        ScopedKey key(broker.reads().registry);
        if (Status s = broker.openKey(root, shell, kKeyRead, &key)) {
            SkipKey(skipped, kNameSpaceLabel, root, shell, "opened", s);
            continue;
        }
        *store = root;
        *shellPath = shell;
        Status listed = kErrorSuccess;
        *verbs = SubkeyNames(broker.reads().registry, key.get(), &listed);
        SkipKey(skipped, kNameSpaceLabel, root, shell, "enumerated", listed);
        return true;
    }
    return false;
}

bool HasAddress(const std::string& arguments) {
    for (const ArgumentToken& token : SplitArguments(arguments)) {
        const std::size_t equals = token.value.find('=');
        if (IsWebAddressToken(token.value) ||
            (equals != std::string::npos && IsWebAddressToken(token.value.substr(equals + 1))))
            return true;
    }
    return false;
}

void ScanEntry(AccessBroker& broker, RegKey root, const std::string& entryName,
               FindingList& findings, SkippedPlaces* skipped) {
    const std::string classId = ClassIdentifierOf(entryName);
    RegKey store = kNoKey;
    std::string shell;
    std::vector<std::string> verbs;
    if (classId.empty() || !FindVerbs(broker, classId, &store, &shell, &verbs, skipped))
        return;
    for (const std::string& verb : verbs) {
        if (broker.stopRequested())
            return;
        std::string command;
        std::string site;
        if (!ReadCommand(broker, store, shell + "\\" + verb + "\\Command", &command, skipped) ||
            !OpensAddressInOtherBrowser(command, &site))
            continue;
        Finding finding{std::string(kNameSpaceKey) + "\\" + entryName, site,
                        BrowserRule::NameSpace};
        finding.root = root;
        findings.push_back(std::move(finding));
    }
}

}  // namespace

bool OpensAddressInOtherBrowser(const std::string& command, std::string* site) {
    const BrowserCommand parsed = ParseBrowserCommand(command);
    if (parsed.browser == nullptr || std::string(parsed.browser->executable) == kInternetExplorer ||
        !HasAddress(parsed.arguments))
        return false;
    *site = parsed.arguments;
    return true;
}

bool BrowserNameSpaceScanner::scan(AccessBroker& broker, const std::set<std::string>& reported,
                                   const NameSpaceCommands& machineCommands) {
    for (const NameSpaceCommand& read : machineCommands) {
        const std::string path = std::string(kNameSpaceKey) + "\\" + read.entryName;
        std::string site;
        if (reported.count(path) == 0 && OpensAddressInOtherBrowser(read.command, &site))
            m_findings.push_back(Finding{path, site, BrowserRule::NameSpace});
    }
    for (const std::string& name :
         NameSpaceSubkeys(broker, kHKeyCurrentUser, kNameSpaceKey, &m_skipped)) {
        if (broker.stopRequested())
            break;
        ScanEntry(broker, kHKeyCurrentUser, name, m_findings, &m_skipped);
    }
    return true;
}

bool BrowserNameSpaceScanner::repair(AccessBroker& broker) {
    for (const Finding& finding : m_findings) {
        if (broker.stopRequested())
            break;
        DeleteKeyTree(broker, finding.root, finding.path);
    }
    return true;
}

}  // namespace brenvik
