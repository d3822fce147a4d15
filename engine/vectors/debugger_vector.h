// Debugger redirection: Image File Execution Options that run another program whenever a
// browser starts (a Debugger value, also on a filter subkey) or when it ends (the
// silent-process-exit monitor). The repair deletes the value; for the monitor it deletes its
// values and clears the flag, the other flags kept.
#pragma once

#include "engine/vectors/labelled_vector.h"

namespace brenvik {

constexpr const char* kDebuggerLabel = "Image File Execution";

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

class DebuggerVector final : public LabelledVector {
public:
    DebuggerVector() : LabelledVector(kDebuggerLabel) {}

    WorkPlaces places(const PortReads& ports) const override;
    // The browsers of the table in the table's order: each one's options in both views, its
    // filter subkeys, then its silent-exit monitor.
    void scan(AccessBroker& broker, VectorContext& context) override;
    void repair(AccessBroker& broker) override;

private:
    void scanOptions(AccessBroker& broker, const std::string& path);
    void scanSilentExit(AccessBroker& broker, const std::string& executable);
};

}  // namespace brenvik
