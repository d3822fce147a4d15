// The command line: which command the switches ask for, and the exit code of its result.
#pragma once

#include <string>
#include <vector>

#include "engine/views/result_record.h"

namespace brenvik {

enum class LineCommand {
    Window,
    Scan,
    Fix,
    FixDesktop,
    Backups,
    Restore,
    Ignore,
    Unignore,
    Ignored,
    Usage
};

struct CommandLine {
    LineCommand kind = LineCommand::Window;
    std::string restoreId;         // an id, or "last"
    std::string reportPath;        // "" when no report is asked for
    std::vector<std::string> ids;  // finding ids of /ignore, /unignore and /fix /only
    bool all = false;              // /scan /all: ignored findings listed too
    bool only = false;             // /fix /only: ids holds the selection
    std::string error;             // why the line was refused (kind is then Usage)
};

constexpr int kExitNone = 0;
constexpr int kExitDone = 1;
constexpr int kExitPartly = 2;
constexpr int kExitUsage = 3;
constexpr int kExitNoSuchSet = 3;
constexpr int kExitBusy = 3;

// args without the program's name. Switches start with '/' or '-', letter case ignored;
// exactly one command; /report only with /scan or /fix; /all only with /scan; /only only with
// /fix. Ids are given comma-separated, letter case ignored. No arguments: the window.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Scan: 0 none found, 1 found, 2 could not examine everything (a record "skipped"; found or
// not). Fix: 0 nothing to repair, 1 all repaired, 2 some failed or in conflict, or something
// could not be examined (and so not repaired either). Fix Desktop: 1 done, 2 failed.
// Restore: 1 restored, 2 conflicts or failures. Backups, Ignored: 0. Ignored and not selected
// findings count neither as found nor as skipped.
int ExitCode(LineCommand kind, const Summary& summary);

std::string UsageText();

}  // namespace brenvik
