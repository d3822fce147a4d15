#include "app/scan_thread.h"

#include <memory>

#include "app/scan_view.h"
#include "engine/commands/commands.h"
#include "engine/commands/ignore_list.h"
#include "platform/win32/command_lock.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {

namespace {

Win32Platform& ProcessPlatform() {
    // Deliberately leaked: static destructors run at exit while a worker may still return.
    static Win32Platform* const platform = new Win32Platform();
    return *platform;
}

}  // namespace

Ports& ProcessPorts() {
    static Ports ports = ProcessPlatform().ports();
    return ports;
}

CommandReport RunCommand(CommandHost& host, const CommandRequest& request,
                         const IgnoreList* ignored) {
    switch (request.kind) {
        case CommandKind::Fix: {
            FixSelection selection;
            selection.except = request.unchecked;
            return FixCommand(host, ignored, &selection);
        }
        case CommandKind::FixDesktop:
            return FixDesktopCommand(host);
        case CommandKind::Restore: {
            bool found = false;
            return RestoreCommand(host, request.restoreId, &found);
        }
        case CommandKind::Scan:
        case CommandKind::Ignore:
        case CommandKind::Unignore:
            break;
    }
    return CommandReport();
}

ListChange RunListChange(CommandHost& host, const CommandRequest& request) {
    if (request.kind == CommandKind::Unignore)
        return UnignoreFindings(host.ports.store, request.ids);
    return IgnoreFindings(host, request.ids);
}

namespace {

DWORD WINAPI CommandThreadProc(LPVOID parameter) {
    const std::unique_ptr<CommandRequest> request(static_cast<CommandRequest*>(parameter));
    // After any command line run that is working; a close meanwhile stops the wait, and the
    // command then ends at its first object.
    const CommandLock lock(INFINITE, request->stop);
    CommandHost commands{ProcessPorts(), request->stop};
    // The list is read and written under the lock, as /ignore and /unignore do.
    if (request->kind == CommandKind::Ignore || request->kind == CommandKind::Unignore) {
        const ListChange change = RunListChange(commands, *request);
        SendMessageA(request->hDialog, WM_LIST_CHANGED, static_cast<WPARAM>(request->kind),
                     reinterpret_cast<LPARAM>(&change));
        return 0;
    }
    // The scan's rows reach the dialog as they are found; the other commands answer at the end.
    // What the command line was told to ignore is neither listed nor repaired here either; a
    // list the store refuses ignores nothing, as on the command line.
    IgnoreList ignored;
    LoadIgnoreList(ProcessPorts().store, &ignored);
    if (request->kind == CommandKind::Scan) {
        ScanIntoView(commands, *request->view, &ignored, request->all);
        return 0;
    }
    const CommandReport report = RunCommand(commands, *request, &ignored);
    SendMessageA(request->hDialog, WM_COMMAND_FINISHED, static_cast<WPARAM>(request->kind),
                 reinterpret_cast<LPARAM>(&report));
    return 0;
}

}  // namespace

bool StartCommand(const CommandRequest& request) {
    auto* owned = new CommandRequest(request);
    const HANDLE worker = CreateThread(nullptr, 0, CommandThreadProc, owned, 0, nullptr);
    if (worker == nullptr) {
        delete owned;
        return false;
    }
    CloseHandle(worker);
    return true;
}

}  // namespace brenvik
