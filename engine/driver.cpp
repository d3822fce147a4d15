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
}

void FixDesktop(Ports& ports, const StopSignal* stop) {
    Journal journal(ports.store);
    AccessBroker broker(ports, journal, stop);
    NameSpaceScanner nameSpace;
    nameSpace.showDesktopIcons(broker);
    nameSpace.reregisterNetworkPlaces(broker);
}

}  // namespace brenvik
