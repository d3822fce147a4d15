#include "engine/vectors/browser_command_vector.h"

#include "engine/places/key_names.h"
#include "engine/places/link_places.h"
#include "engine/places/registered_browser.h"
#include "engine/rules/browser_command.h"
#include "engine/rules/browser_paths.h"
#include "engine/rules/browser_table.h"
#include "engine/rules/launch_commands.h"
#include "engine/vectors/labelled_vector.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {
namespace {

constexpr const char* kBrowserCommandLabel = "Browser Command";
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

namespace {

class BrowserCommandVector final : public LabelledVector {
public:
    BrowserCommandVector()
        : LabelledVector(kBrowserCommandLabel, {{kHKeyLocalMachine, kStartMenuInternetKey, false},
                                                {kHKeyCurrentUser, kStartMenuInternetKey, false}}) {
    }

    // Each browser's command under HKEY_LOCAL_MACHINE, then under HKEY_CURRENT_USER, in the
    // order the keys list.
    void scan(AccessBroker& broker, VectorContext& context) override {
        const std::vector<std::string>& userFolders = context.userFolders(broker.reads());
        for (const RegKey root : {kHKeyLocalMachine, kHKeyCurrentUser})
            scanRoot(broker, root, userFolders);
    }

    // Arguments: the command without them; a replaced one: the registration's command. A
    // finding with no registration to take fails with its reason, nothing written.
    void repair(AccessBroker& broker) override { rewriteFoundCommands(broker); }

private:
    void scanRoot(AccessBroker& broker, RegKey root, const std::vector<std::string>& userFolders);
};

void BrowserCommandVector::scanRoot(AccessBroker& broker, RegKey root,
                                    const std::vector<std::string>& userFolders) {
    ScopedKey clients(broker.reads().registry);
    if (!openToScan(broker, root, kStartMenuInternetKey, &clients))
        return;
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
        Finding finding = CommandFinding(root, CommandPath(name), verdict);
        const Browser* browser = BrowserOfKey(name);
        if (finding.rule == BrowserRule::ReplacedTarget)
            SetTarget(&finding,
                      browser != nullptr ? RegisteredCommand(broker, name, *browser) : "");
        m_findings.push_back(std::move(finding));
    }
    SkipKey(&m_skipped, m_label, root, kStartMenuInternetKey, "enumerated", listed);
}

}  // namespace

std::unique_ptr<Vector> MakeBrowserCommandVector() {
    return std::make_unique<BrowserCommandVector>();
}

}  // namespace brenvik
