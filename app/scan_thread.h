// The worker threads of the dialog's commands and the process-wide Win32 platform they use.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "engine/commands/commands.h"

#include "engine/base/stop_signal.h"
#include "engine/ports/content_port.h"
#include "engine/ports/ports.h"

namespace brenvik {

class ScanView;

// Sent to the main dialog when a Fix, Fix Desktop or Restore has ended; wParam the
// CommandKind, lParam the command's CommandReport, valid while the message is handled. A
// scan ends with WM_SCAN_FINISHED instead.
constexpr UINT WM_COMMAND_FINISHED = WM_USER + 101;
// Sent when an Ignore or Stop ignoring has ended; wParam the CommandKind, lParam the
// ListChange, valid while the message is handled.
constexpr UINT WM_LIST_CHANGED = WM_USER + 102;

// The real platform as the engine's ports. Made on first use and never destroyed: a worker
// may still be returning from its last message while the process ends.
Ports& ProcessPorts();

enum class CommandKind { Scan, Fix, FixDesktop, Restore, Ignore, Unignore };

// What a worker runs: the command, the dialog it reports to, the signal that asks it to
// stop at the next object, for a Restore the id of the set that was confirmed, for a Scan
// whether ignored findings are listed, for a Fix the findings the user unchecked, and for
// Ignore and Stop ignoring the findings' ids.
struct CommandRequest {
    CommandKind kind;
    HWND hDialog;
    ScanView* view;
    const StopSignal* stop;
    std::string restoreId = std::string();
    bool all = false;
    std::set<std::string> unchecked = std::set<std::string>();
    std::vector<std::string> ids = std::vector<std::string>();
};

// A Fix, Fix Desktop or Restore as the worker runs it: a Restore puts back restoreId, never
// whichever set is newest by then. A Fix leaves the findings on ignored and the unchecked
// ones alone.
CommandReport RunCommand(CommandHost& host, const CommandRequest& request,
                         const IgnoreList* ignored = nullptr);
// An Ignore or Stop ignoring of the request's ids, as /ignore and /unignore do it.
ListChange RunListChange(CommandHost& host, const CommandRequest& request);

// Runs the command over ProcessPorts() on a new thread, which is never waited for: it ends
// by itself after its last message to the dialog (WM_SCAN_FINISHED, sent by the view, for a
// scan; WM_COMMAND_FINISHED otherwise). False when no thread could be made.
bool StartCommand(const CommandRequest& request);

}  // namespace brenvik
