// The program's main dialog: its four commands, the scan worker's start, the banner.
#pragma once

#include <windows.h>

#include "app/browser_event_sink.h"
#include "app/escape_filter.h"

namespace brenvik {

// Dialog 101 run modally on the system's control host, which creates the banner's browser
// control from the template. The object must outlive the dialog window: the browser calls
// m_sink until the control is destroyed with the window.
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
    bool HandleMessage(UINT message, WPARAM wParam, LRESULT& result);
    bool HandleCommand(WORD id);

    BOOL OnInitDialog();
    void OnClose();
    LRESULT OnScanFinished();
    void OnScan();
    void OnFix();
    void OnAbout();
    void OnFixDesktop();

    // Idle has Scan, Fix, About and the system menu's Close enabled; Scanning has them off.
    void EnableCommands(bool enable);

    HWND m_hDlg = nullptr;
    EscapeFilter m_escapeFilter;
    BrowserEventSink m_sink;
};

}  // namespace brenvik
