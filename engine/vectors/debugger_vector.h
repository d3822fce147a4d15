// Debugger redirection: Image File Execution Options that run another program whenever a
// browser starts (a Debugger value, also on a filter subkey) or when it ends (the
// silent-process-exit monitor). The repair deletes the value; for the monitor it deletes its
// values and clears the flag, the other flags kept.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/vectors/vector.h"

namespace brenvik {

// clang-format off
constexpr const char* kExecutionOptionsKeys[] = {
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
    "SOFTWARE\\WOW6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
};
constexpr const char* kSilentExitKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SilentProcessExit";
// clang-format on

// FLG_MONITOR_SILENT_PROCESS_EXIT in an executable's GlobalFlag.
constexpr std::uint32_t kMonitorSilentExitFlag = 0x200;

// The vector of the table (vector_table.h).
std::unique_ptr<Vector> MakeDebuggerVector();

}  // namespace brenvik
