// The program's main dialog: its four commands, the scan worker's start, the banner.
#pragma once

#include <windows.h>

#include <string>

#include "app/browser_event_sink.h"
#include "app/escape_filter.h"
#include "app/scan_thread.h"
#include "engine/base/stop_signal.h"

namespace brenvik {

// Dialog 101 run modally; its template holds no ActiveX item, so it needs no control host to
// start: the banner creates the browser control in one once its page is to be shown. The
// object must outlive the dialog window: the browser calls m_sink until the control is
// destroyed with the window.
class MainDialog {
public:
    MainDialog() = default;
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    // Runs the dialog until it is closed; the end code, or -1 when it could not be created.
    INT_PTR DoModal(HWND hOwner);

private:
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
    // True when the message map handles the message; its value is then in result.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleCommand(WORD id);

    BOOL OnInitDialog();
    void OnClose();
    // The worker's last message (WM_SCAN_FINISHED, WM_COMMAND_FINISHED with the command's
    // report, WM_LIST_CHANGED with the list's change): its result shown, the command ended. A
    // scan's rows are already shown.
    void OnCommandFinished(UINT message, WPARAM kind, LPARAM result);
    bool OnReportNotify(LPARAM header, LRESULT& result);
    bool OnContextMenu(HWND hWindow, LPARAM position);
    // Ignore, Stop ignoring, Copy details and Open file location on the selected row.
    void OnRowCommand(WORD id);
    void OnShowIgnored();
    void OnScan();
    void OnFix();
    void OnAbout();
    void OnFixDesktop();
    void OnRestoreLast();

    // One engine command at a time, whatever arrives: a click on a disabled button, a posted
    // or sent WM_COMMAND, a key. Starts the command on a worker; false when one is running
    // or none could be started.
    // The request's dialog, view and stop signal are this dialog's.
    bool StartCommand(CommandRequest request);
    bool StartCommand(CommandKind kind);
    // The running command has ended: a close that waited ends the dialog, a waiting Fix
    // Desktop starts, or the dialog is idle again.
    void OnCommandEnded();

    // Idle has Scan, Fix, About and the system menu's Close enabled; Scanning has them off.
    void EnableCommands(bool enable);

    HWND m_hDlg = nullptr;
    EscapeFilter m_escapeFilter;
    BrowserEventSink m_sink;
    bool m_running = false;
    bool m_fixDesktopWaiting = false;
    bool m_closeWaiting = false;
    // "Show ignored" in the system menu: for this session only.
    bool m_showIgnored = false;
    // Owned here, read by the worker: the dialog object outlives every worker's last message.
    StopSignal m_stop;
};

}  // namespace brenvik
