// The machine-readable report of a command: UTF-8 JSON, one object.
#pragma once

#include <string>

#include "engine/views/result_record.h"

namespace brenvik {

// {"tool", "version", "command", "computer", "user", "started", "finished", "backup" (null
// when none), "findings": [...] (a place that could not be examined among them, with result
// "skipped" and the reason as its error), "summary": {"found", "fixed", "failed", "skipped"}}.
// Text that is no UTF-8 has each bad byte replaced by U+FFFD.
std::string ReportJson(const CommandReport& report, const std::string& version);

}  // namespace brenvik
