#include "engine/vectors/vector_table.h"

#include "engine/rules/browser_paths.h"
#include "engine/vectors/browser_link_scanner.h"
#include "engine/vectors/browser_name_space_scanner.h"
#include "engine/vectors/link_scanners.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {
namespace {

LocatedFindings Located(const FindingList& findings, const std::string& location) {
    LocatedFindings located;
    for (const Finding& finding : findings)
        located.push_back(LocatedFinding{location.empty() ? finding.location : location, finding});
    return located;
}

void KeepOnly(FindingList& findings, const std::string& location,
              const std::function<bool(const LocatedFinding&)>& keep) {
    FindingList kept;
    for (Finding& finding : findings) {
        if (keep(LocatedFinding{location.empty() ? finding.location : location, finding}))
            kept.push_back(std::move(finding));
    }
    findings = std::move(kept);
}

// Internet Explorer shortcuts with arguments in one Shell Folders folder.
class LinkFolderVector final : public Vector {
public:
    explicit LinkFolderVector(const LinkFolder& folder)
        : m_scanner(folder), m_label(folder.label) {}

    void scan(AccessBroker& broker, VectorContext& context) override {
        m_scanner.scan(broker, context.listings);
        for (const Finding& finding : m_scanner.findings())
            context.files.insert(NormalizedPath(finding.path));
    }
    void repair(AccessBroker& broker) override { m_scanner.repair(broker); }
    void keepOnly(const std::function<bool(const LocatedFinding&)>& keep) override {
        KeepOnly(m_scanner.recorded(), m_label, keep);
    }
    LocatedFindings findings() const override { return Located(m_scanner.findings(), m_label); }

private:
    LinkFolderScanner m_scanner;
    std::string m_label;
};

// Fake desktop icons that open Internet Explorer.
class NameSpaceVector final : public Vector {
public:
    void scan(AccessBroker& broker, VectorContext& context) override {
        m_scanner.scan(broker, &context.machineCommands);
        for (const Finding& finding : m_scanner.findings()) context.entries.insert(finding.path);
    }
    void repair(AccessBroker& broker) override { m_scanner.repair(broker); }
    void keepOnly(const std::function<bool(const LocatedFinding&)>& keep) override {
        KeepOnly(m_scanner.recorded(), kNameSpaceLabel, keep);
    }
    LocatedFindings findings() const override {
        return Located(m_scanner.findings(), kNameSpaceLabel);
    }
    SkippedPlaces skipped() const override { return m_scanner.skipped(); }

private:
    NameSpaceScanner m_scanner;
};

// Every browser's shortcuts in every place; each finding carries its place's label.
class BrowserLinkVector final : public Vector {
public:
    void scan(AccessBroker& broker, VectorContext& context) override {
        m_scanner.scan(broker, context.listings, context.files);
    }
    void repair(AccessBroker& broker) override { m_scanner.repair(broker); }
    void keepOnly(const std::function<bool(const LocatedFinding&)>& keep) override {
        KeepOnly(m_scanner.recorded(), "", keep);
    }
    LocatedFindings findings() const override { return Located(m_scanner.findings(), ""); }

private:
    BrowserLinkScanner m_scanner;
};

// Fake desktop icons that open the other browsers.
class BrowserNameSpaceVector final : public Vector {
public:
    void scan(AccessBroker& broker, VectorContext& context) override {
        m_scanner.scan(broker, context.entries, context.machineCommands);
    }
    void repair(AccessBroker& broker) override { m_scanner.repair(broker); }
    void keepOnly(const std::function<bool(const LocatedFinding&)>& keep) override {
        KeepOnly(m_scanner.recorded(), kNameSpaceLabel, keep);
    }
    LocatedFindings findings() const override {
        return Located(m_scanner.findings(), kNameSpaceLabel);
    }
    SkippedPlaces skipped() const override { return m_scanner.skipped(); }

private:
    BrowserNameSpaceScanner m_scanner;
};

}  // namespace

std::vector<std::unique_ptr<Vector>> MakeVectors() {
    std::vector<std::unique_ptr<Vector>> vectors;
    vectors.push_back(std::make_unique<LinkFolderVector>(kQuickLaunchLinks));
    vectors.push_back(std::make_unique<NameSpaceVector>());
    vectors.push_back(std::make_unique<LinkFolderVector>(kDesktopLinks));
    // After the two shortcut folders, whose findings it leaves out.
    vectors.push_back(std::make_unique<BrowserLinkVector>());
    // After the name space vector, whose entries and command texts it takes.
    vectors.push_back(std::make_unique<BrowserNameSpaceVector>());
    return vectors;
}

std::vector<std::size_t> FixOrder() {
    return {1, 0, 2, 3, 4};
}

}  // namespace brenvik
