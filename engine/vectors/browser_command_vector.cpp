#include "engine/vectors/browser_command_vector.h"

#include "engine/places/key_names.h"
#include "engine/places/link_places.h"
#include "engine/places/registered_browser.h"
#include "engine/rules/browser_command.h"
#include "engine/rules/browser_paths.h"
#include "engine/rules/browser_table.h"
#include "engine/rules/launch_commands.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {
namespace {

constexpr const char* kOpenCommand = "shell\\open\\command";

std::string CommandPath(const std::string& browser) {
    return std::string(kStartMenuInternetKey) + "\\" + browser + "\\" + kOpenCommand;
}

bool ReadCommand(AccessBroker& broker, RegKey root, const std::string& path, std::string* command) {
    ScopedKey key(broker.reads().registry);
    return broker.openKey(root, path, kKeyRead, &key) == kErrorSuccess &&
           ReadDefaultText(broker.reads().registry, key.get(), command) && !command->empty();
}

// What a replaced command is given back: the machine's own launch command for the browser
// when it runs that browser cleanly, else its App Paths executable. "" when neither is there.
std::string RegisteredCommand(AccessBroker& broker, const std::string& keyName,
                              const Browser& browser) {
    std::string command;
    if (ReadCommand(broker, kHKeyLocalMachine, CommandPath(keyName), &command) &&
        FindBrowserByExecutable(ParseBrowserCommand(command).program) == &browser &&
        JudgeLaunchCommand(command, true, {}).hijack == LaunchHijack::None)
        return command;
    return RegisteredBrowserCommand(broker, browser, "");
}

}  // namespace

const Browser* BrowserOfKey(const std::string& keyName) {
    const Browser* byName = FindBrowserByShortcutName(keyName);
    return byName != nullptr ? byName : FindBrowserByExecutable(keyName);
}

WorkPlaces BrowserCommandVector::places(const PortReads&) const {
    WorkPlaces places;
    places.keys = {{kHKeyLocalMachine, kStartMenuInternetKey, false},
                   {kHKeyCurrentUser, kStartMenuInternetKey, false}};
    return places;
}

void BrowserCommandVector::scan(AccessBroker& broker, VectorContext& context) {
    const std::vector<std::string>& userFolders = context.userFolders(broker.reads());
    for (const RegKey root : {kHKeyLocalMachine, kHKeyCurrentUser})
        scanRoot(broker, root, userFolders);
}

void BrowserCommandVector::scanRoot(AccessBroker& broker, RegKey root,
                                    const std::vector<std::string>& userFolders) {
    ScopedKey clients(broker.reads().registry);
    const Status opened = broker.openKey(root, kStartMenuInternetKey, kKeyRead, &clients);
    if (opened != kErrorSuccess) {
        SkipKey(&m_skipped, m_label, root, kStartMenuInternetKey, "opened", opened);
        return;
    }
    Status listed = kErrorSuccess;
    for (const std::string& name : SubkeyNames(broker.reads().registry, clients.get(), &listed)) {
        if (broker.stopRequested())
            return;
        std::string command;
        if (!ReadCommand(broker, root, CommandPath(name), &command))
            continue;
        const LaunchVerdict verdict = JudgeLaunchCommand(command, true, userFolders);
        if (verdict.hijack == LaunchHijack::None)
            continue;
        const bool replaced = verdict.hijack == LaunchHijack::ReplacedTarget;
        Finding finding =
            ValueFinding(root, CommandPath(name), "", verdict.site,
                         replaced ? BrowserRule::ReplacedTarget : BrowserRule::Arguments);
        finding.arguments = verdict.repaired;
        finding.refused = verdict.refused;
        const Browser* browser = BrowserOfKey(name);
        if (replaced) {
            finding.target = browser != nullptr ? RegisteredCommand(broker, name, *browser) : "";
            if (finding.target.empty())
                finding.refused = "no registration of the browser to restore";
        }
        m_findings.push_back(std::move(finding));
    }
    SkipKey(&m_skipped, m_label, root, kStartMenuInternetKey, "enumerated", listed);
}

void BrowserCommandVector::repair(AccessBroker& broker) {
    rewriteFoundCommands(broker);
}

}  // namespace brenvik
