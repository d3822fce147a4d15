#include "engine/vectors/labelled_vector.h"

#include <utility>

namespace brenvik {

void LabelledVector::keepOnly(const std::function<bool(const LocatedFinding&)>& keep) {
    FindingList kept;
    for (Finding& finding : m_findings) {
        if (keep(LocatedFinding{m_label, finding}))
            kept.push_back(std::move(finding));
    }
    m_findings = std::move(kept);
}

LocatedFindings LabelledVector::findings() const {
    LocatedFindings located;
    for (const Finding& finding : m_findings) located.push_back({m_label, finding});
    return located;
}

void LabelledVector::deleteFoundValues(AccessBroker& broker) {
    for (const Finding& finding : m_findings) {
        if (broker.stopRequested())
            return;
        broker.deleteValue(finding.root, finding.path, *finding.value);
    }
}

void LabelledVector::rewriteFoundCommands(AccessBroker& broker) {
    for (const Finding& finding : m_findings) {
        if (broker.stopRequested())
            return;
        if (finding.reportOnly || !finding.refused.empty())
            continue;
        const bool replaced = finding.rule == BrowserRule::ReplacedTarget;
        broker.rewriteText(finding.root, finding.path, *finding.value,
                           replaced ? finding.target : finding.arguments);
    }
}

Finding LabelledVector::ValueFinding(RegKey root, const std::string& path, const std::string& name,
                                     std::string site, BrowserRule rule) const {
    Finding finding{path, std::move(site), rule};
    finding.location = m_label;
    finding.root = root;
    finding.value = name;
    return finding;
}

}  // namespace brenvik
