// The real brenvik.exe in a child process, driven through its main dialog as a user would.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace brenvik::test {

struct ReportRow {
    std::string location;
    std::string site;
    std::string status;
};

class RunningProgram {
public:
    // Starts the program and waits until its main dialog is shown; dialog() is null on failure.
    RunningProgram();
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    HWND dialog() const { return m_hDialog; }
    // What the process is doing, for a failure message: running or its exit code, and each
    // top-level window it has (class, shown, owner, title).
    std::string Describe() const;
    HWND item(int id) const { return GetDlgItem(m_hDialog, id); }

    // A click as the button sends it: BM_CLICK, answered once the command has finished.
    void Click(int id) const;
    // The same command posted, for commands that open a modal window and so do not return.
    void PostClick(int id) const;
    // A key pressed and released on a window of the program, through its message loop.
    void PostKey(HWND hTarget, WPARAM key) const;

    // Waits until Scan is enabled again; false on timeout.
    bool WaitIdle(DWORD timeoutMs = 120000) const;
    // Buttons 1-3 enabled.
    bool CommandsEnabled() const;
    // Whether Close in the system menu is greyed; nothing where another process's system
    // menu cannot be read (Wine: GetSystemMenu of a foreign window gives null).
    std::optional<bool> CloseGreyed() const;

    std::string Text(HWND hWindow) const;
    std::string ColumnTitle(int column) const;
    std::vector<ReportRow> Rows() const;
    int SelectedRow() const;
    // Selects and focuses the row, as a click on it does.
    bool SelectRow(int row) const;
    // The row's check box: 0 none, 1 unchecked, 2 checked.
    int CheckImage(int row) const;
    // The progress bar at its upper limit (the bar keeps its position inside its range).
    bool ProgressFull() const;

    // A dialog of the program owned by the main dialog (the about box), or null on timeout.
    HWND WaitOwnedDialog(DWORD timeoutMs = 20000) const;

    // Sends WM_CLOSE, waits for the process to end and gives its exit code (STILL_ACTIVE
    // when it did not end).
    DWORD Close();

private:
    std::string ListText(int row, int column) const;

    UniqueHandle m_process;
    DWORD m_processId = 0;
    HWND m_hDialog = nullptr;
    DWORD m_startError = ERROR_SUCCESS;  // CreateProcess's, when it failed
};

}  // namespace brenvik::test
