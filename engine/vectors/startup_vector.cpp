#include "engine/vectors/startup_vector.h"

#include "engine/places/key_names.h"
#include "engine/rules/launch_commands.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {

WorkPlaces StartupVector::places(const PortReads&) const {
    WorkPlaces places;
    for (const StartupKey& key : kStartupKeys) places.keys.push_back({key.root, key.path, false});
    return places;
}

void StartupVector::scan(AccessBroker& broker, VectorContext&) {
    for (const StartupKey& place : kStartupKeys) {
        if (broker.stopRequested())
            return;
        ScopedKey key(broker.reads().registry);
        const Status opened = broker.openKey(place.root, place.path, kKeyRead, &key);
        if (opened != kErrorSuccess) {
            SkipKey(&m_skipped, kStartupLabel, place.root, place.path, "opened", opened);
            continue;
        }
        Status listed = kErrorSuccess;
        for (const std::string& name : ValueNames(broker.reads().registry, key.get(), &listed)) {
            std::string command;
            if (!ReadValueText(broker.reads().registry, key.get(), name, &command))
                continue;
            std::string site = StartupAddress(command);
            if (site.empty())
                continue;
            m_findings.push_back(
                ValueFinding(place.root, place.path, name, std::move(site), BrowserRule::Startup));
        }
        SkipKey(&m_skipped, kStartupLabel, place.root, place.path, "enumerated", listed);
    }
}

void StartupVector::repair(AccessBroker& broker) {
    deleteFoundValues(broker);
}

}  // namespace brenvik
