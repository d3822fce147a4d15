// The report list's notifications the main dialog answers: the check box rule and the tips.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace brenvik {

class ScanView;

// True when header is one of them; result is then the dialog's answer. A row without a box
// keeps none, whatever the list view does on a click or Space (it would give one an empty
// box), and a finding's box may be checked and unchecked but never taken away. A tip names
// the row's object, rule and id.
bool HandleReportNotify(const ScanView& view, NMHDR& header, LRESULT* result);

}  // namespace brenvik
