#include "app/main_dialog.h"

#include <commctrl.h>

#include "app/about_box.h"
#include "app/banner.h"
#include "app/command_results.h"
#include "app/instance.h"
#include "app/report_notify.h"
#include "app/restore_menu.h"
#include "app/row_actions.h"
#include "app/row_menu.h"
#include "app/row_texts.h"
#include "app/scan_thread.h"
#include "app/scan_view.h"
#include "app/show_ignored_item.h"
#include "app/window_centring.h"
#include "res/resource.h"

namespace brenvik {

namespace {

constexpr int kLockedButtons[] = {IDC_SCAN, IDC_FIX, IDC_ABOUT};

}  // namespace

INT_PTR MainDialog::DoModal(HWND hOwner) {
    return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_MAIN), hOwner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK MainDialog::DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    // DWLP_USER holds the object; GWLP_USERDATA belongs to the ScanView.
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        reinterpret_cast<MainDialog*>(lParam)->m_hDlg = hDlg;
    }
    auto* self = reinterpret_cast<MainDialog*>(GetWindowLongPtrA(hDlg, DWLP_USER));
    LRESULT result = 0;
    if (self == nullptr || !self->HandleMessage(message, wParam, lParam, result)) {
        return FALSE;
    }
    // WM_INITDIALOG's value goes back directly; every other one through DWLP_MSGRESULT, or
    // the dialog manager would answer SendMessage with 0.
    if (message == WM_INITDIALOG) {
        return result;
    }
    SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, result);
    return TRUE;
}

bool MainDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_INITDIALOG:
            result = OnInitDialog();
            return true;
        case WM_CLOSE:
            OnClose();
            return true;
        case WM_SIZE:
        case WM_SIZING:
            return true;
        case WM_SCAN_FINISHED:
        case WM_COMMAND_FINISHED:
        case WM_LIST_CHANGED:
            OnCommandFinished(message, wParam, lParam);
            result = 1;
            return true;
        case WM_NOTIFY:
            return OnReportNotify(lParam, result);
        case WM_CONTEXTMENU:
            return OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
        case WM_SYSCOMMAND:
            // The low four bits belong to the system.
            switch (wParam & 0xFFF0) {
                case IDM_RESTORE_LAST:
                    OnRestoreLast();
                    return true;
                case IDM_SHOW_IGNORED:
                    OnShowIgnored();
                    return true;
                default:
                    return false;
            }
        case WM_COMMAND:
            // Matched on the identifier alone, whatever the notification code.
            return HandleCommand(LOWORD(wParam));
        default:
            return false;
    }
}

bool MainDialog::HandleCommand(WORD id) {
    switch (id) {
        case IDC_SCAN:
            OnScan();
            return true;
        case IDC_FIX:
            OnFix();
            return true;
        case IDC_ABOUT:
            OnAbout();
            return true;
        case IDC_FIX_DESKTOP:
            OnFixDesktop();
            return true;
        case IDM_ROW_IGNORE:
        case IDM_ROW_UNIGNORE:
        case IDM_ROW_COPY:
        case IDM_ROW_OPEN:
            OnRowCommand(id);
            return true;
        default:
            return false;
    }
}

BOOL MainDialog::OnInitDialog() {
    CenterWindow(m_hDlg);
    InitMainView(m_hDlg);
    if (ScanView* view = ScanViewOf(m_hDlg)) {
        AddRestoreMenuItem(m_hDlg, view->m_nLanguage);
        AddShowIgnoredItem(m_hDlg, view->m_nLanguage);
    }
    m_escapeFilter.Attach(m_hDlg);
    SetUpBanner(m_hDlg, m_sink);
    // The dialog manager then focuses the first tab stop, Scan.
    return TRUE;
}

void MainDialog::OnClose() {
    // Ending now would leave whatever the command has unlocked as it is: stop it at the next
    // object and end once it has put everything back.
    if (m_running) {
        m_closeWaiting = true;
        m_stop.request();
        return;
    }
    EndDialog(m_hDlg, 2);
}

void MainDialog::OnCommandFinished(UINT message, WPARAM kind, LPARAM result) {
    ScanView* view = ScanViewOf(m_hDlg);
    if (view != nullptr && result != 0) {
        if (message == WM_COMMAND_FINISHED)
            ShowCommandResult(*view, static_cast<CommandKind>(kind),
                              *reinterpret_cast<const CommandReport*>(result));
        else if (message == WM_LIST_CHANGED)
            ShowListChange(*view, static_cast<CommandKind>(kind),
                           *reinterpret_cast<const ListChange*>(result), m_showIgnored);
    }
    OnCommandEnded();
}

bool MainDialog::OnReportNotify(LPARAM header, LRESULT& result) {
    const ScanView* view = ScanViewOf(m_hDlg);
    return view != nullptr && header != 0 &&
           HandleReportNotify(*view, *reinterpret_cast<NMHDR*>(header), &result);
}

bool MainDialog::OnContextMenu(HWND hWindow, LPARAM position) {
    const ScanView* view = ScanViewOf(m_hDlg);
    if (view == nullptr || hWindow != view->m_hList)
        return false;
    ShowRowMenu(m_hDlg, *view, ContextRow(*view, position), position, m_running);
    return true;
}

void MainDialog::OnRowCommand(WORD id) {
    ScanView* view = ScanViewOf(m_hDlg);
    if (view == nullptr)
        return;
    ResultRecord record;
    if (!view->RecordAt(view->SelectedRow(), &record))
        return;
    // Only what the row's menu offers: a posted command is no way around it.
    bool offered = false;
    for (RowCommand command : RowCommands(record)) offered = offered || command == id;
    if (!offered)
        return;
    switch (id) {
        case IDM_ROW_COPY:
            CopyToClipboard(m_hDlg, RowDetailsText(record, view->m_nLanguage));
            return;
        case IDM_ROW_OPEN:
            ShowInFolder(record.path);
            return;
        default: {
            CommandRequest request{
                id == IDM_ROW_IGNORE ? CommandKind::Ignore : CommandKind::Unignore, nullptr,
                nullptr, nullptr};
            request.ids = {record.id};
            StartCommand(std::move(request));
            return;
        }
    }
}

void MainDialog::OnShowIgnored() {
    m_showIgnored = !m_showIgnored;
    ShowIgnoredChecked(m_hDlg, m_showIgnored);
}

void MainDialog::OnCommandEnded() {
    m_running = false;
    if (m_closeWaiting) {
        EndDialog(m_hDlg, 2);
        return;
    }
    if (m_fixDesktopWaiting) {
        m_fixDesktopWaiting = false;
        if (StartCommand(CommandKind::FixDesktop))
            return;
    }
    EnableCommands(true);
}

bool MainDialog::StartCommand(CommandKind kind) {
    return StartCommand(CommandRequest{kind, nullptr, nullptr, nullptr});
}

bool MainDialog::StartCommand(CommandRequest request) {
    ScanView* view = ScanViewOf(m_hDlg);
    if (m_running || view == nullptr)
        return false;
    EnableCommands(false);
    if (request.kind == CommandKind::Scan) {
        view->Clear();
        view->SetPos(0);
        request.all = m_showIgnored;
    }
    // The boxes as they are when Fix is chosen: the rows of the last scan the user unchecked.
    if (request.kind == CommandKind::Fix)
        request.unchecked = view->UncheckedIds();
    request.hDialog = m_hDlg;
    request.view = view;
    request.stop = &m_stop;
    if (!brenvik::StartCommand(request)) {
        // No worker will ever report its end; stay usable instead of locked.
        EnableCommands(true);
        return false;
    }
    m_running = true;
    return true;
}

void MainDialog::OnScan() {
    StartCommand(CommandKind::Scan);
}

void MainDialog::OnFix() {
    StartCommand(CommandKind::Fix);
}

void MainDialog::OnAbout() {
    if (m_running)
        return;
    DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ABOUT), m_hDlg, AboutDialogProc, 0);
}

void MainDialog::OnFixDesktop() {
    // Never beside another command: it runs when that one has ended.
    if (m_running) {
        m_fixDesktopWaiting = true;
        return;
    }
    StartCommand(CommandKind::FixDesktop);
}

void MainDialog::OnRestoreLast() {
    ScanView* view = ScanViewOf(m_hDlg);
    if (m_running || view == nullptr)
        return;
    // The set the question named, not whichever is newest once the worker runs: a command
    // line Fix may write another set while the question is open.
    std::string id;
    if (!ConfirmRestore(m_hDlg, view->m_nLanguage, &id))
        return;
    CommandRequest request{CommandKind::Restore, nullptr, nullptr, nullptr};
    request.restoreId = id;
    StartCommand(std::move(request));
}

void MainDialog::EnableCommands(bool enable) {
    EnableMenuItem(GetSystemMenu(m_hDlg, FALSE), SC_CLOSE, enable ? MF_ENABLED : MF_GRAYED);
    for (int id : kLockedButtons) {
        EnableWindow(GetDlgItem(m_hDlg, id), enable ? TRUE : FALSE);
    }
}

}  // namespace brenvik
