#include "engine/driver.h"

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

}  // namespace

void RunScan(Ports& ports, ReportView& view) {
    g_pCurrentView = &view;
    view.SetPos(0);
    view.SetRange(0, kRangeUpper);
    ScanAll(ports);
    view.SetPos(kFinishedPosition);
    view.NotifyFinished();
    view.SetStatusText("");
}

void ScanAll(Ports& ports) {
    QuickLaunchLinkScanner quickLaunch;
    NameSpaceScanner nameSpace;
    DesktopLinkScanner desktop;

    quickLaunch.scan(ports);
    AddRows(quickLaunch.findings(), kQuickLaunchLabel);
    nameSpace.scan(ports);
    AddRows(nameSpace.findings(), kNameSpaceLabel);
    desktop.scan(ports);
    AddRows(desktop.findings(), kDesktopLabel);
}

void FixAll(Ports& ports) {
    QuickLaunchLinkScanner quickLaunch;
    NameSpaceScanner nameSpace;
    DesktopLinkScanner desktop;

    nameSpace.scan(ports);
    nameSpace.repair(ports);
    quickLaunch.scan(ports);
    quickLaunch.repair(ports);
    desktop.scan(ports);
    desktop.repair(ports);
}

void FixDesktop(Ports& ports) {
    NameSpaceScanner nameSpace;
    nameSpace.showDesktopIcons(ports);
    nameSpace.reregisterNetworkPlaces(ports);
}

}  // namespace brenvik
