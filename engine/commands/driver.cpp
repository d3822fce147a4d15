#include "engine/commands/driver.h"

#include "engine/rules/browser_paths.h"
#include "engine/vectors/browser_link_scanner.h"
#include "engine/vectors/browser_name_space_scanner.h"
#include "engine/vectors/desktop_restore.h"
#include "engine/vectors/link_scanners.h"
#include "engine/vectors/name_space_scanner.h"
#include "engine/views/result_record.h"

namespace brenvik {
namespace {

using FoundCall = std::function<void(const LocatedFinding&)>;
using PassedCall = std::function<void(const SkippedPlace&)>;

// What the scanners of one command passed over, each object once, whichever scanner met it
// first (the Desktop is listed by two, a class's keys are opened by both name space scanners).
class Passed {
public:
    explicit Passed(const PassedCall& call = nullptr) : m_call(call) {}

    void take(const SkippedPlaces& more) {
        for (const SkippedPlace& place : more) {
            const std::size_t before = m_all.size();
            AddSkipped(&m_all, place);
            if (m_all.size() > before && m_call)
                m_call(m_all.back());
        }
    }
    const SkippedPlaces& all() const { return m_all; }

private:
    PassedCall m_call;
    SkippedPlaces m_all;
};

void Append(LocatedFindings* all, const FindingList& findings, const char* location,
            const FoundCall& found = nullptr) {
    for (const Finding& finding : findings) {
        all->push_back(LocatedFinding{location, finding});
        if (found)
            found(all->back());
    }
}

// Each browser link finding carries its place's label.
void AppendPlaces(LocatedFindings* all, const FindingList& findings,
                  const FoundCall& found = nullptr) {
    for (const Finding& finding : findings)
        Append(all, FindingList{finding}, finding.location.c_str(), found);
}

ReportedPaths ReportedFiles(const FindingList& quickLaunch, const FindingList& desktop) {
    ReportedPaths paths;
    for (const FindingList* list : {&quickLaunch, &desktop}) {
        for (const Finding& finding : *list) paths.insert(NormalizedPath(finding.path));
    }
    return paths;
}

std::set<std::string> ReportedEntries(const FindingList& nameSpace) {
    std::set<std::string> paths;
    for (const Finding& finding : nameSpace) paths.insert(finding.path);
    return paths;
}

}  // namespace

LocatedFindings ScanPlaces(AccessBroker& broker, const FoundCall& found,
                           const PassedCall& passedCall) {
    QuickLaunchLinkScanner quickLaunch;
    NameSpaceScanner nameSpace;
    DesktopLinkScanner desktop;
    FolderListings listings(broker.ports().files);
    LocatedFindings all;
    Passed passed(passedCall);

    quickLaunch.scan(broker, listings);
    Append(&all, quickLaunch.findings(), kQuickLaunchLinks.label, found);
    passed.take(listings.skipped());
    NameSpaceCommands machineCommands;
    nameSpace.scan(broker, &machineCommands);
    Append(&all, nameSpace.findings(), kNameSpaceLabel, found);
    passed.take(nameSpace.skipped());
    desktop.scan(broker, listings);
    Append(&all, desktop.findings(), kDesktopLinks.label, found);
    passed.take(listings.skipped());

    BrowserLinkScanner links;
    links.scan(broker, listings, ReportedFiles(quickLaunch.findings(), desktop.findings()));
    AppendPlaces(&all, links.findings(), found);
    passed.take(listings.skipped());
    BrowserNameSpaceScanner browserNameSpace;
    browserNameSpace.scan(broker, ReportedEntries(nameSpace.findings()), machineCommands);
    Append(&all, browserNameSpace.findings(), kNameSpaceLabel, found);
    passed.take(browserNameSpace.skipped());
    return all;
}

LocatedFindings FixPlaces(AccessBroker& broker, SkippedPlaces* skipped) {
    QuickLaunchLinkScanner quickLaunch;
    NameSpaceScanner nameSpace;
    DesktopLinkScanner desktop;
    // The repairs below change only shortcuts that are reported, which the browser walk passes
    // over: the listings taken before them still hold for everything it reads.
    FolderListings listings(broker.ports().files);

    NameSpaceCommands machineCommands;
    nameSpace.scan(broker, &machineCommands);
    nameSpace.repair(broker);
    quickLaunch.scan(broker, listings);
    quickLaunch.repair(broker);
    desktop.scan(broker, listings);
    desktop.repair(broker);

    BrowserLinkScanner links;
    links.scan(broker, listings, ReportedFiles(quickLaunch.findings(), desktop.findings()));
    links.repair(broker);
    BrowserNameSpaceScanner browserNameSpace;
    browserNameSpace.scan(broker, ReportedEntries(nameSpace.findings()), machineCommands);
    browserNameSpace.repair(broker);

    if (skipped != nullptr) {
        Passed passed;
        passed.take(nameSpace.skipped());
        passed.take(listings.skipped());
        passed.take(browserNameSpace.skipped());
        *skipped = passed.all();
    }

    LocatedFindings all;
    Append(&all, nameSpace.findings(), kNameSpaceLabel);
    Append(&all, quickLaunch.findings(), kQuickLaunchLinks.label);
    Append(&all, desktop.findings(), kDesktopLinks.label);
    AppendPlaces(&all, links.findings());
    Append(&all, browserNameSpace.findings(), kNameSpaceLabel);
    return all;
}

void FixDesktopWith(AccessBroker& broker) {
    ShowDesktopIcons(broker);
    ReregisterNetworkPlaces(broker);
}

}  // namespace brenvik
