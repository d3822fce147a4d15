#include "engine/driver.h"

#include "engine/browser_link_scanner.h"
#include "engine/browser_name_space_scanner.h"
#include "engine/browser_paths.h"
#include "engine/link_scanners.h"
#include "engine/name_space_scanner.h"

namespace brenvik {
namespace {

// The view of the running scan; written and read on the worker thread only.
ReportView* g_pCurrentView = nullptr;

constexpr int kRangeUpper = 4;
// Above the range's upper bound: the progress bar shows it as full.
constexpr int kFinishedPosition = 100;

void AddRows(const FindingList& findings, const char* location) {
    for (const Finding& finding : findings) g_pCurrentView->AddRow(location, finding.site, "");
}

// Each browser link finding carries its place's label.
void AddPlaceRows(const FindingList& findings) {
    for (const Finding& finding : findings)
        g_pCurrentView->AddRow(finding.location, finding.site, "");
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

void RunScan(Ports& ports, ReportView& view, const StopSignal* stop) {
    g_pCurrentView = &view;
    view.SetPos(0);
    view.SetRange(0, kRangeUpper);
    Journal journal(ports.store);
    AccessBroker broker(ports, journal, stop);
    ScanAll(broker);
    view.SetPos(kFinishedPosition);
    view.NotifyFinished();
    view.SetStatusText("");
}

void ScanAll(AccessBroker& broker) {
    QuickLaunchLinkScanner quickLaunch;
    NameSpaceScanner nameSpace;
    DesktopLinkScanner desktop;

    quickLaunch.scan(broker);
    AddRows(quickLaunch.findings(), kQuickLaunchLabel);
    nameSpace.scan(broker);
    AddRows(nameSpace.findings(), kNameSpaceLabel);
    desktop.scan(broker);
    AddRows(desktop.findings(), kDesktopLabel);

    BrowserLinkScanner links;
    links.scan(broker, ReportedFiles(quickLaunch.findings(), desktop.findings()));
    AddPlaceRows(links.findings());
    BrowserNameSpaceScanner browserNameSpace;
    browserNameSpace.scan(broker, ReportedEntries(nameSpace.findings()));
    AddRows(browserNameSpace.findings(), kNameSpaceLabel);
}

void FixAll(Ports& ports, const StopSignal* stop) {
    Journal journal(ports.store);
    AccessBroker broker(ports, journal, stop);
    QuickLaunchLinkScanner quickLaunch;
    NameSpaceScanner nameSpace;
    DesktopLinkScanner desktop;

    nameSpace.scan(broker);
    nameSpace.repair(broker);
    quickLaunch.scan(broker);
    quickLaunch.repair(broker);
    desktop.scan(broker);
    desktop.repair(broker);

    BrowserLinkScanner links;
    links.scan(broker, ReportedFiles(quickLaunch.findings(), desktop.findings()));
    links.repair(broker);
    BrowserNameSpaceScanner browserNameSpace;
    browserNameSpace.scan(broker, ReportedEntries(nameSpace.findings()));
    browserNameSpace.repair(broker);
}

void FixDesktop(Ports& ports, const StopSignal* stop) {
    Journal journal(ports.store);
    AccessBroker broker(ports, journal, stop);
    NameSpaceScanner nameSpace;
    nameSpace.showDesktopIcons(broker);
    nameSpace.reregisterNetworkPlaces(broker);
}

}  // namespace brenvik
