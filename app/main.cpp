// The program's entry point: prepares the process and runs the main dialog.
#include <windows.h>
#include <commctrl.h>

#include "app/instance.h"
#include "app/main_dialog.h"
#include "app/privilege.h"
#include "app/scan_thread.h"
#include "console/console_commands.h"
#include "engine/commands/commands.h"
#include "platform/win32/command_lock.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    // Before any DLL is loaded on demand (see cmake/delay_load.cmake): from the system folder
    // only, never the program's folder or the current one, where others may put a DLL.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // With switches: the command line's work without a window, only the report and the code.
    const std::vector<std::string> args = brenvik::ProcessArguments();
    if (!args.empty())
        return brenvik::RunCommandLine(args, nullptr);
    brenvik::g_hInstance = hInstance;
    // Before anything else: put back what a run that died left unlocked, unless a command
    // line run is working now (its journal is alive; the next start mends what it leaves).
    {
        const brenvik::CommandLock lock(0);
        if (lock.held())
            brenvik::RecoverAtStart(brenvik::ProcessPorts());
    }
    // Without the privilege the program still runs; nothing is said.
    brenvik::EnableDebugPrivilege(true);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // The control host (ATL) is initialised by the banner, only once its page is to be shown.
    brenvik::MainDialog dialog;
    // The end code does not matter: the program ends with 0 however the dialog ended.
    dialog.DoModal(GetActiveWindow());
    return 0;
}
