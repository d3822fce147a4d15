// The scan worker's routine and the process-wide Win32 platform that every command uses.
#pragma once

#include <windows.h>

#include "engine/ports/ports.h"

namespace brenvik {

// The real platform as the engine's ports. Made on first use and never destroyed: a scan
// worker may still be using it while the process ends.
Ports& ProcessPorts();

// Thread routine of a scan: RunScan over ProcessPorts() into the ScanView given as the
// thread parameter. The exit code is 0.
DWORD WINAPI ScanThreadProc(LPVOID parameter);

}  // namespace brenvik
