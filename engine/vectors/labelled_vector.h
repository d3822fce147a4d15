// A vector whose findings all carry its one row label: keeping a selection, listing the
// findings and what was passed over are the same for every such vector.
#pragma once

#include "engine/vectors/vector.h"

namespace brenvik {

class LabelledVector : public Vector, protected ScanRecord {
public:
    explicit LabelledVector(const char* label) : m_label(label) {}

    void keepOnly(const std::function<bool(const LocatedFinding&)>& keep) override;
    LocatedFindings findings() const override;
    SkippedPlaces skipped() const override { return m_skipped; }

protected:
    // A finding of a value, labelled as this vector's.
    Finding ValueFinding(RegKey root, const std::string& path, const std::string& name,
                         std::string site, BrowserRule rule) const;

    // Deletes the value of every finding, in their order.
    void deleteFoundValues(AccessBroker& broker);
    // Rewrites the command each finding is: without its arguments, or for a replaced one the
    // command its target holds. Report-only findings and refused repairs are left.
    void rewriteFoundCommands(AccessBroker& broker);

    const char* m_label;
};

}  // namespace brenvik
