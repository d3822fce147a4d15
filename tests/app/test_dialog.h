// A modeless stand-in for the main dialog that records the messages it receives.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "test_dialog_ids.h"

namespace brenvik::test {

struct ReceivedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD threadId;
};

// The dialog procedure keeps its recorder in DWLP_USER: GWLP_USERDATA belongs to the view.
class TestDialog {
public:
    TestDialog() {
        INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                         ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        m_hWnd = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_TEST_MAIN), NULL,
                                    Proc, reinterpret_cast<LPARAM>(this));
    }
    ~TestDialog() {
        if (m_hWnd) {
            DestroyWindow(m_hWnd);
        }
    }
    TestDialog(const TestDialog&) = delete;
    TestDialog& operator=(const TestDialog&) = delete;

    HWND get() const { return m_hWnd; }
    HWND item(int id) const { return GetDlgItem(m_hWnd, id); }

    // Answers the messages it returns true for, as the main dialog's procedure would.
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> handler;

    // Messages other than the ones every dialog gets, in arrival order.
    std::vector<ReceivedMessage> Received(UINT message) const {
        std::vector<ReceivedMessage> found;
        for (const ReceivedMessage& m : m_received) {
            if (m.message == message) {
                found.push_back(m);
            }
        }
        return found;
    }

private:
    static INT_PTR CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
            return FALSE;
        }
        auto* self = reinterpret_cast<TestDialog*>(GetWindowLongPtrA(hWnd, DWLP_USER));
        LRESULT result = 0;
        if (self && self->handler && self->handler(message, wParam, lParam, result)) {
            SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        if (self && message >= WM_USER) {
            self->m_received.push_back({message, wParam, lParam, GetCurrentThreadId()});
        }
        return FALSE;
    }

    HWND m_hWnd = NULL;
    std::vector<ReceivedMessage> m_received;
};

// The report list's three columns (Location, Web Site, Status), as the main dialog adds them.
inline void AddReportColumns(HWND hList) {
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    for (int i = 0; i < 3; ++i)
        SendMessageA(hList, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
}

// The text of one cell of the report list.
inline std::wstring ReportCell(HWND hList, int row, int column) {
    wchar_t buffer[256] = {};
    LVITEMW cell = {};
    cell.iSubItem = column;
    cell.pszText = buffer;
    cell.cchTextMax = 256;
    SendMessageW(hList, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&cell));
    return buffer;
}

// Runs work on a second thread while this thread dispatches the messages it sends, as the
// dialog's thread does during a scan.
template <typename Work>
void RunOnWorker(Work work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    worker.join();
}

}  // namespace brenvik::test
