// The main dialog's status line, progress bar and report list as the scan sees them.
#pragma once

#include <windows.h>

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "engine/views/report_view.h"

namespace brenvik {

// Sent to the main dialog when a scan has ended; wParam 0, lParam 0.
constexpr UINT WM_SCAN_FINISHED = WM_USER + 100;

// Each operation is one synchronous window message, so the scan worker may call it: the
// dialog's thread carries it out while the worker waits. Created once by InitMainView,
// kept in the main dialog's GWLP_USERDATA slot for the life of the process.
class ScanView final : public ReportView {
public:
    ScanView(HWND hProgress, HWND hStatus, HWND hList);
    ScanView(const ScanView&) = delete;
    ScanView& operator=(const ScanView&) = delete;

    void SetRange(int lower, int upper) override;
    void SetPos(int position) override;
    void SetStatusText(const std::string& text) override;
    void NotifyFinished() override;
    void AddRow(const ResultRecord& record) override;
    // No rows, no records: before a new scan.
    void Clear();
    // A later result for the record of a row: its status cell shows it.
    void SetRowRecord(int row, const ResultRecord& record);
    // The row and its record go; the rows after it move up.
    void RemoveRow(int row);

    // A finding Fix may repair has a check box, checked when its row is added; a place that
    // was not examined and an ignored finding have none.
    static bool Checkable(const ResultRecord& record);
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);
    // The rows' check boxes as Fix goes by them: the ids of the findings left unchecked.
    std::set<std::string> UncheckedIds() const;
    // The selected row, or -1.
    int SelectedRow() const;
    // A copy of the row's record; false for no such row. Safe on the dialog's thread while a
    // scan's worker adds rows (a tip, a click on a box, a row's menu meanwhile).
    bool RecordAt(int row, ResultRecord* record) const;

    HWND m_hStatus;
    HWND m_hProgress;
    HWND m_hList;
    int m_nRows = 0;
    // The record of each row, in row order: later results find their row by it. Changed
    // under m_recordsLock; read without it only where no scan runs.
    std::vector<ResultRecord> m_records;
    mutable std::mutex m_recordsLock;
    int m_nLanguage = 1;
};

// The view kept in a main dialog's user-data slot, or null.
ScanView* ScanViewOf(HWND hDialog);

// Small icon, ScanView, language, report list columns and every text of the main dialog.
void InitMainView(HWND hDialog);

}  // namespace brenvik
