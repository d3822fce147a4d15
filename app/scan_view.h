// The main dialog's status line, progress bar and report list as the scan sees them.
#pragma once

#include <windows.h>

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

    HWND m_hStatus;
    HWND m_hProgress;
    HWND m_hList;
    int m_nRows = 0;
    // The record of each row, in row order: later results find their row by it.
    std::vector<ResultRecord> m_records;
    int m_nLanguage = 1;
};

// The view kept in a main dialog's user-data slot, or null.
ScanView* ScanViewOf(HWND hDialog);

// Small icon, ScanView, language, report list columns and every text of the main dialog.
void InitMainView(HWND hDialog);

}  // namespace brenvik
