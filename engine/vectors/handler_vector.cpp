#include "engine/vectors/handler_vector.h"

#include "engine/places/key_names.h"
#include "engine/rules/browser_command.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {
namespace {

constexpr const char* kClasses = "Software\\Classes";
constexpr const char* kProgIdValue = "ProgId";

// The site column of a choice that opens no browser.
std::string ChoiceSite(const std::string& progId, const std::string& command) {
    if (command.empty())
        return progId + ": not registered";
    return progId + ": " + command;
}

}  // namespace

WorkPlaces HandlerVector::places(const PortReads&) const {
    WorkPlaces places;
    for (const char* key : kUserChoiceKeys) places.keys.push_back({kHKeyCurrentUser, key, false});
    // Of each handler only its verbs: a class's other keys (its servers) are none of ours.
    places.keys.push_back({kHKeyCurrentUser, kClasses, true});
    places.keys.push_back({kHKeyLocalMachine, kClasses, true});
    return places;
}

void HandlerVector::scan(AccessBroker& broker, VectorContext&) {
    RegistryReader& registry = broker.reads().registry;
    for (const char* path : kUserChoiceKeys) {
        if (broker.stopRequested())
            return;
        ScopedKey key(registry);
        const Status opened = broker.openKey(kHKeyCurrentUser, path, kKeyRead, &key);
        if (opened != kErrorSuccess) {
            SkipKey(&m_skipped, m_label, kHKeyCurrentUser, path, "opened", opened);
            continue;
        }
        std::string progId;
        if (!ReadValueText(registry, key.get(), kProgIdValue, &progId) || progId.empty())
            continue;
        const std::string command = openCommand(broker, progId);
        if (!command.empty() && ParseBrowserCommand(command).browser != nullptr)
            continue;
        Finding finding = ValueFinding(kHKeyCurrentUser, path, kProgIdValue,
                                       ChoiceSite(progId, command), BrowserRule::UserChoice);
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

}  // namespace brenvik
