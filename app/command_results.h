// What a finished Fix, Fix Desktop or Restore shows: each record in the report list's Status
// column (a row Fix met but the list did not show is added), and a summary on the status line;
// and what an Ignore or Stop ignoring changed in the list.
#pragma once

#include <windows.h>

#include "app/scan_thread.h"
#include "engine/views/result_record.h"

namespace brenvik {

class ScanView;

void ShowCommandResult(ScanView& view, CommandKind kind, const CommandReport& report);

// What an Ignore or Stop ignoring did: an ignored finding's row goes (or, with showIgnored,
// reads "Ignored"), one no longer ignored reads as found with its box checked; the status
// line counts them, or says why the list was left as it was.
void ShowListChange(ScanView& view, CommandKind kind, const ListChange& change, bool showIgnored);

}  // namespace brenvik
