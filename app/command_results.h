// What a finished Fix, Fix Desktop or Restore shows: each record in the report list's Status
// column (a row Fix met but the list did not show is added), and a summary on the status line.
#pragma once

#include <windows.h>

#include "app/scan_thread.h"
#include "engine/views/result_record.h"

namespace brenvik {

class ScanView;

void ShowCommandResult(ScanView& view, CommandKind kind, const CommandReport& report);

}  // namespace brenvik
