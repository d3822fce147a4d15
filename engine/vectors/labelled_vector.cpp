#include "engine/vectors/labelled_vector.h"

#include <utility>

#include "engine/vectors/name_space_scanner.h"

namespace brenvik {

WorkPlaces LabelledVector::places(const PortReads&) const {
    return KeyPlaces(m_keys);
}

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

Finding LabelledVector::CommandFinding(RegKey root, const std::string& path,
                                       const LaunchVerdict& verdict) const {
    const bool replaced = verdict.hijack == LaunchHijack::ReplacedTarget;
    Finding finding = ValueFinding(root, path, "", verdict.site,
                                   replaced ? BrowserRule::ReplacedTarget : BrowserRule::Arguments);
    finding.arguments = verdict.repaired;
    finding.refused = verdict.refused;
    return finding;
}

void LabelledVector::SetTarget(Finding* finding, std::string target) {
    finding->target = std::move(target);
    if (finding->target.empty())
        finding->refused = "no registration of the browser to restore";
}

bool LabelledVector::openToScan(AccessBroker& broker, RegKey root, const std::string& path,
                                ScopedKey* key) {
    const Status opened = broker.openKey(root, path, kKeyRead, key);
    SkipKey(&m_skipped, m_label, root, path, "opened", opened);
    return opened == kErrorSuccess;
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
