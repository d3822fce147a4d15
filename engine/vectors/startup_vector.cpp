#include "engine/vectors/startup_vector.h"

#include <iterator>

#include "engine/places/key_names.h"
#include "engine/rules/launch_commands.h"
#include "engine/vectors/labelled_vector.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {
namespace {

constexpr const char* kStartupLabel = "Run";

class StartupVector final : public LabelledVector {
public:
    StartupVector()
        : LabelledVector(kStartupLabel, {std::begin(kStartupKeys), std::end(kStartupKeys)}) {}

    // Every text value of every key, in the keys' order and then the values'; a key that is
    // there but cannot be read is kept as skipped.
    void scan(AccessBroker& broker, VectorContext&) override {
        for (const KeyPlace& place : kStartupKeys) {
            if (broker.stopRequested())
                return;
            scanKey(broker, place);
        }
    }

    void repair(AccessBroker& broker) override { deleteFoundValues(broker); }

private:
    void scanKey(AccessBroker& broker, const KeyPlace& place) {
        RegistryReader& registry = broker.reads().registry;
        ScopedKey key(registry);
        if (!openToScan(broker, place.root, place.path, &key))
            return;
        Status listed = kErrorSuccess;
        for (const std::string& name : ValueNames(registry, key.get(), &listed)) {
            std::string command;
            if (!ReadValueText(registry, key.get(), name, &command))
                continue;
            std::string site = StartupAddress(command);
            if (site.empty())
                continue;
            m_findings.push_back(
                ValueFinding(place.root, place.path, name, std::move(site), BrowserRule::Startup));
        }
        SkipKey(&m_skipped, m_label, place.root, place.path, "enumerated", listed);
    }
};

}  // namespace

std::unique_ptr<Vector> MakeStartupVector() {
    return std::make_unique<StartupVector>();
}

}  // namespace brenvik
