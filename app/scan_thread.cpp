#include "app/scan_thread.h"

#include "app/scan_view.h"
#include "engine/driver.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {

Ports& ProcessPorts() {
    // Deliberately leaked: static destructors run at exit while a worker may still scan.
    static Win32Platform* const platform = new Win32Platform();
    static Ports ports = platform->ports();
    return ports;
}

DWORD WINAPI ScanThreadProc(LPVOID parameter) {
    RunScan(ProcessPorts(), *static_cast<ScanView*>(parameter));
    return 0;
}

}  // namespace brenvik
