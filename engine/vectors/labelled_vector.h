// A vector of registry keys whose findings all carry its one row label: its declaration,
// keeping a selection, listing the findings and what was passed over are the same for every
// such vector.
#pragma once

#include <utility>
#include <vector>

#include "engine/rules/launch_commands.h"
#include "engine/vectors/vector.h"

namespace brenvik {

class LabelledVector : public Vector, protected ScanRecord {
public:
    // keys: all it reads and may change, whatever the machine.
    LabelledVector(const char* label, std::vector<KeyPlace> keys)
        : m_label(label), m_keys(std::move(keys)) {}
    // For a vector that declares its places itself (overriding places()).
    explicit LabelledVector(const char* label) : m_label(label) {}

    WorkPlaces places(const PortReads&) const override;

    void keepOnly(const std::function<bool(const LocatedFinding&)>& keep) override;
    LocatedFindings findings() const override;
    SkippedPlaces skipped() const override { return m_skipped; }

protected:
    // A finding of a value, labelled as this vector's.
    Finding ValueFinding(RegKey root, const std::string& path, const std::string& name,
                         std::string site, BrowserRule rule) const;

    // The finding of a command (the default value of the key at path) the verdict judged
    // hijacked. A replaced target's is given its target by SetTarget.
    Finding CommandFinding(RegKey root, const std::string& path,
                           const LaunchVerdict& verdict) const;
    // What a replaced command is given back; "" refuses its repair.
    static void SetTarget(Finding* finding, std::string target);

    // Opens path under root to read; false when it cannot, the key kept as skipped when it is
    // there but could not be opened.
    bool openToScan(AccessBroker& broker, RegKey root, const std::string& path, ScopedKey* key);

    // Deletes the value of every finding, in their order.
    void deleteFoundValues(AccessBroker& broker);
    // Rewrites the command each finding is: without its arguments, or for a replaced one the
    // command its target holds. Report-only findings and refused repairs are left.
    void rewriteFoundCommands(AccessBroker& broker);

    const char* m_label;

private:
    std::vector<KeyPlace> m_keys;
};

}  // namespace brenvik
