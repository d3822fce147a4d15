#include "engine/vectors/handler_vector.h"

#include <map>
#include <utility>

#include "engine/base/text_rules.h"
#include "engine/places/key_names.h"
#include "engine/places/registered_browser.h"
#include "engine/rules/browser_shortcut_rules.h"
#include "engine/rules/launch_commands.h"
#include "engine/vectors/browser_command_vector.h"
#include "engine/vectors/labelled_vector.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {
namespace {

constexpr const char* kHandlerLabel = "Protocol Handler";
constexpr const char* kClasses = "Software\\Classes";
constexpr const char* kProgIdValue = "ProgId";
const char* const kAssociations[] = {"Capabilities\\URLAssociations",
                                     "Capabilities\\FileAssociations"};

struct KnownHandler {
    const char* progId;  // a trailing '*' matches any rest ("FirefoxURL-..."); any case
    const char* executable;
};
// clang-format off
// The system's web handlers belong to Internet Explorer, whose registration they come from.
const KnownHandler kKnownHandlers[] = {
    {"http", "iexplore.exe"}, {"https", "iexplore.exe"}, {"ftp", nullptr},
    {"htmlfile", "iexplore.exe"}, {"mhtmlfile", nullptr}, {"xhtmlfile", nullptr},
    {"InternetShortcut", nullptr},
    {"IE.HTTP", "iexplore.exe"}, {"IE.HTTPS", "iexplore.exe"},
    {"IE.AssocFile.HTM", "iexplore.exe"}, {"IE.AssocFile.URL", "iexplore.exe"},
    {"ChromeHTML", "chrome.exe"}, {"MSEdgeHTM", "msedge.exe"}, {"MSEdgeMHT", "msedge.exe"},
    {"FirefoxURL*", "firefox.exe"}, {"FirefoxHTML*", "firefox.exe"},
    {"BraveHTML", "brave.exe"}, {"OperaStable", "opera.exe"}, {"VivaldiHTM*", "vivaldi.exe"},
};
// clang-format on

std::string Lowercased(std::string text) {
    LowercaseAscii(text);
    return text;
}

bool Matches(const std::string& lowered, const char* pattern) {
    const std::string wanted = Lowercased(pattern);
    if (!wanted.empty() && wanted.back() == '*')
        return lowered.compare(0, wanted.size() - 1, wanted, 0, wanted.size() - 1) == 0;
    return lowered == wanted;
}

// The handlers to look at, each once whatever the case of its ProgId, in the order first met.
class HandlerList {
public:
    using Handlers = std::vector<std::pair<std::string, const Browser*>>;

    // A ProgId met again keeps its place; it gains the browser it lacked.
    void add(const std::string& progId, const Browser* browser) {
        const auto [at, added] = m_index.emplace(Lowercased(progId), m_handlers.size());
        if (added) {
            m_handlers.emplace_back(progId, browser);
            return;
        }
        const Browser*& owner = m_handlers[at->second].second;
        owner = owner != nullptr ? owner : browser;
    }
    Handlers take() { return std::move(m_handlers); }

private:
    Handlers m_handlers;
    std::map<std::string, std::size_t> m_index;  // lowercased ProgId -> its place
};

std::string ChoiceSite(const std::string& progId, const std::string& command) {
    if (command.empty())
        return progId + ": not registered";
    return progId + ": " + command;
}

}  // namespace

std::vector<std::string> KnownHandlerNames() {
    std::vector<std::string> names;
    for (const KnownHandler& known : kKnownHandlers) {
        const std::string name = known.progId;
        if (name.back() != '*')
            names.push_back(name);
    }
    return names;
}

namespace {

// The browser a handler belongs to, by the handler's name: the system's web handlers and the
// browsers' own ("ChromeHTML", "FirefoxURL-308046B0AF4A39CB"); null for any other.
const Browser* HandlerBrowser(const std::string& progId) {
    const std::string lowered = Lowercased(progId);
    for (const KnownHandler& known : kKnownHandlers) {
        if (Matches(lowered, known.progId))
            return known.executable != nullptr ? FindBrowserByExecutable(known.executable)
                                               : nullptr;
    }
    return nullptr;
}

std::vector<KeyPlace> HandlerKeyPlaces() {
    std::vector<KeyPlace> keys;
    for (const char* key : kUserChoiceKeys) keys.push_back({kHKeyCurrentUser, key, false});
    // Of each handler only its verbs: a class's other keys (its servers) are none of ours.
    keys.push_back({kHKeyCurrentUser, kClasses, true});
    keys.push_back({kHKeyLocalMachine, kClasses, true});
    return keys;
}

class HandlerVector final : public LabelledVector {
public:
    HandlerVector() : LabelledVector(kHandlerLabel, HandlerKeyPlaces()) {}

    // The known handlers, those the browsers' Capabilities name and those the user chose, each
    // under HKEY_CURRENT_USER then HKEY_LOCAL_MACHINE, verb by verb; then the choices.
    void scan(AccessBroker& broker, VectorContext& context) override;
    // A handler key is never deleted: its command is rewritten. The choices are left as they
    // are.
    void repair(AccessBroker& broker) override { rewriteFoundCommands(broker); }

private:
    // Handler names in scan order, each once, with the browser each belongs to (or null).
    using Handlers = HandlerList::Handlers;
    Handlers handlers(AccessBroker& broker, const std::vector<std::string>& chosen);
    void scanHandler(AccessBroker& broker, RegKey root, const std::string& progId,
                     const Browser* browser, const std::vector<std::string>& userFolders);
    void scanChoices(AccessBroker& broker, const std::vector<std::string>& chosen,
                     const std::vector<std::string>& userFolders);
    std::vector<std::string> chosenHandlers(AccessBroker& broker);
    // The command Windows runs for progId's open verb, the user's registration first, as the
    // shell merges them; "" when neither has one.
    std::string openCommand(AccessBroker& broker, const std::string& progId);
};

void HandlerVector::scan(AccessBroker& broker, VectorContext& context) {
    const std::vector<std::string>& userFolders = context.userFolders(broker.reads());
    const std::vector<std::string> chosen = chosenHandlers(broker);
    for (const auto& [progId, browser] : handlers(broker, chosen)) {
        for (const RegKey root : {kHKeyCurrentUser, kHKeyLocalMachine}) {
            if (broker.stopRequested())
                return;
            scanHandler(broker, root, progId, browser, userFolders);
        }
    }
    scanChoices(broker, chosen, userFolders);
}

HandlerVector::Handlers HandlerVector::handlers(AccessBroker& broker,
                                                const std::vector<std::string>& chosen) {
    HandlerList found;
    for (const std::string& name : KnownHandlerNames()) found.add(name, HandlerBrowser(name));
    RegistryReader& registry = broker.reads().registry;
    for (const RegKey root : {kHKeyLocalMachine, kHKeyCurrentUser}) {
        ScopedKey clients(registry);
        if (broker.openKey(root, kStartMenuInternetKey, kKeyRead, &clients) != kErrorSuccess)
            continue;
        for (const std::string& client : SubkeyNames(registry, clients.get())) {
            const Browser* browser = BrowserOfKey(client);
            for (const char* associations : kAssociations) {
                ScopedKey key(registry);
                const std::string path =
                    std::string(kStartMenuInternetKey) + "\\" + client + "\\" + associations;
                if (broker.openKey(root, path, kKeyRead, &key) != kErrorSuccess)
                    continue;
                for (const std::string& name : ValueNames(registry, key.get())) {
                    std::string progId;
                    if (ReadValueText(registry, key.get(), name, &progId) && !progId.empty())
                        found.add(progId, browser != nullptr ? browser : HandlerBrowser(progId));
                }
            }
        }
    }
    for (const std::string& progId : chosen) found.add(progId, HandlerBrowser(progId));
    return found.take();
}

void HandlerVector::scanHandler(AccessBroker& broker, RegKey root, const std::string& progId,
                                const Browser* browser,
                                const std::vector<std::string>& userFolders) {
    RegistryReader& registry = broker.reads().registry;
    const std::string shell = std::string(kClasses) + "\\" + progId + "\\shell";
    ScopedKey verbs(registry);
    if (!openToScan(broker, root, shell, &verbs))
        return;
    Status listed = kErrorSuccess;
    for (const std::string& verb : SubkeyNames(registry, verbs.get(), &listed)) {
        const std::string path = shell + "\\" + verb + "\\command";
        ScopedKey key(registry);
        std::string command;
        if (broker.openKey(root, path, kKeyRead, &key) != kErrorSuccess ||
            !ReadDefaultText(registry, key.get(), &command) || command.empty())
            continue;
        const LaunchVerdict verdict = JudgeLaunchCommand(command, browser != nullptr, userFolders);
        if (verdict.hijack == LaunchHijack::None)
            continue;
        Finding finding = CommandFinding(root, path, verdict);
        if (finding.rule == BrowserRule::ReplacedTarget)
            SetTarget(&finding,
                      RegisteredBrowserCommand(broker, *browser, LinkPlaceholder(browser->family)));
        m_findings.push_back(std::move(finding));
    }
    SkipKey(&m_skipped, m_label, root, shell, "enumerated", listed);
}

std::vector<std::string> HandlerVector::chosenHandlers(AccessBroker& broker) {
    std::vector<std::string> chosen;
    RegistryReader& registry = broker.reads().registry;
    for (const char* path : kUserChoiceKeys) {
        ScopedKey key(registry);
        std::string progId;
        if (broker.openKey(kHKeyCurrentUser, path, kKeyRead, &key) == kErrorSuccess &&
            ReadValueText(registry, key.get(), kProgIdValue, &progId))
            chosen.push_back(progId);
        else
            chosen.emplace_back();
    }
    return chosen;
}

void HandlerVector::scanChoices(AccessBroker& broker, const std::vector<std::string>& chosen,
                                const std::vector<std::string>& userFolders) {
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (chosen[i].empty())
            continue;
        const std::string command = openCommand(broker, chosen[i]);
        // A browser the table does not know (a user's own choice) is no finding: only a
        // choice of nothing, or of a launcher.
        if (!command.empty() && !IsNonBrowserLauncher(ParseLaunchProgram(command), userFolders))
            continue;
        Finding finding = ValueFinding(kHKeyCurrentUser, kUserChoiceKeys[i], kProgIdValue,
                                       ChoiceSite(chosen[i], command), BrowserRule::UserChoice);
        finding.reportOnly = true;
        m_findings.push_back(std::move(finding));
    }
}

std::string HandlerVector::openCommand(AccessBroker& broker, const std::string& progId) {
    const std::string path = std::string(kClasses) + "\\" + progId + "\\shell\\open\\command";
    for (const RegKey root : {kHKeyCurrentUser, kHKeyLocalMachine}) {
        ScopedKey key(broker.reads().registry);
        std::string command;
        if (broker.openKey(root, path, kKeyRead, &key) == kErrorSuccess &&
            ReadDefaultText(broker.reads().registry, key.get(), &command) && !command.empty())
            return command;
    }
    return std::string();
}

}  // namespace

std::unique_ptr<Vector> MakeHandlerVector() {
    return std::make_unique<HandlerVector>();
}

}  // namespace brenvik
