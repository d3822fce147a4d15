#include "app/scan_thread.h"

#include <memory>

#include "app/scan_view.h"
#include "engine/driver.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {

Ports& ProcessPorts() {
    // Deliberately leaked: static destructors run at exit while a worker may still return.
    static Win32Platform* const platform = new Win32Platform();
    static Ports ports = platform->ports();
    return ports;
}

namespace {

DWORD WINAPI CommandThreadProc(LPVOID parameter) {
    const std::unique_ptr<CommandRequest> request(static_cast<CommandRequest*>(parameter));
    switch (request->kind) {
        case CommandKind::Scan:
            RunScan(ProcessPorts(), *request->view, request->stop);
            return 0;
        case CommandKind::Fix:
            FixAll(ProcessPorts(), request->stop);
            break;
        case CommandKind::FixDesktop:
            FixDesktop(ProcessPorts(), request->stop);
            break;
    }
    SendMessageA(request->hDialog, WM_COMMAND_FINISHED, 0, 0);
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
