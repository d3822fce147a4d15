// The scan and repair driver: what Scan, Fix and Fix Desktop do with the three scanners.
#pragma once

#include "engine/ports/ports.h"
#include "engine/report_view.h"

namespace brenvik {

// The fixed, untranslated location labels of the report rows.
constexpr const char* kQuickLaunchLabel = "Quick Launch";
constexpr const char* kNameSpaceLabel = "Desktop NameSpace";
constexpr const char* kDesktopLabel = "Desktop";

// Scan on the worker thread: progress reset, ScanAll into the view, progress full, the
// dialog told that the scan ended, status line cleared.
void RunScan(Ports& ports, ReportView& view);

// Scans Quick Launch, Desktop NameSpace and Desktop, in that order, and adds one row per
// finding to the view that the running scan reports to.
void ScanAll(Ports& ports);

// Fix: scans again and repairs, in the order NameSpace, Quick Launch, Desktop.
void FixAll(Ports& ports);

// Fix Desktop: the desktop icon visibility values and the network places registration.
void FixDesktop(Ports& ports);

}  // namespace brenvik
