#include "app/command_results.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "app/scan_view.h"
#include "app/ui_text.h"
#include "platform/win32/wide_text.h"

namespace brenvik {
namespace {

constexpr int kLocationColumn = 0;
constexpr int kSiteColumn = 1;
constexpr int kStatusColumn = 2;

std::wstring CellText(HWND hList, int row, int column) {
    wchar_t text[4096] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(sizeof text / sizeof text[0]);
    const auto length = SendMessageW(hList, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(&item));
    return std::wstring(text, static_cast<std::size_t>(length));
}

// The first row that shows this finding and has no result yet, or for a skipped place the
// row that already says so; -1 when none does.
int FindRow(const ScanView& view, const ResultRecord& record) {
    const std::wstring location = Utf8ToWide(record.location);
    const std::wstring site = Utf8ToWide(SiteCell(record));
    const std::wstring status =
        record.result == Outcome::Skipped ? Utf8ToWide(StatusCell(record)) : std::wstring();
    for (int row = 0; row < view.m_nRows; ++row) {
        if (CellText(view.m_hList, row, kLocationColumn) == location &&
            CellText(view.m_hList, row, kSiteColumn) == site &&
            CellText(view.m_hList, row, kStatusColumn) == status)
            return row;
    }
    return -1;
}

void SetStatusCell(HWND hList, int row, const std::string& status) {
    std::wstring text = Utf8ToWide(status);
    LVITEMW cell = {};
    cell.iSubItem = kStatusColumn;
    cell.pszText = text.data();
    SendMessageW(hList, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&cell));
}

void ShowRows(ScanView& view, const CommandReport& report) {
    for (const ResultRecord& record : report.records) {
        const int row = FindRow(view, record);
        if (row < 0) {
            view.AddRow(record.location, SiteCell(record), StatusCell(record));
            continue;
        }
        SetStatusCell(view.m_hList, row, StatusCell(record));
    }
}

// The interface texts are code page 936 or ASCII bytes, like every text the dialog sets.
void SetStatusLine(const ScanView& view, const char* text) {
    SetWindowTextA(view.m_hStatus, text);
}

std::string Formatted(const char* format, int a, int b, const std::string& id) {
    char text[512];
    std::snprintf(text, sizeof text, format, a, b, id.c_str());
    return text;
}

}  // namespace

void ShowCommandResult(ScanView& view, CommandKind kind, const CommandReport& report) {
    const int language = view.m_nLanguage;
    const Summary summary = Summarize(report.records);
    switch (kind) {
        case CommandKind::Fix:
            ShowRows(view, report);
            if (report.backup.empty() && summary.failed > 0) {
                SetStatusLine(view, FixNoBackupText[language]);
                return;
            }
            {
                std::string line =
                    Formatted(FixDoneText[language], summary.fixed, summary.failed, report.backup);
                // Rows that say "Skipped" are easy to miss in a long list: the line counts them.
                if (summary.skipped > 0)
                    line += Formatted(SkippedText[language], summary.skipped, 0, "");
                SetStatusLine(view, line.c_str());
            }
            return;
        case CommandKind::FixDesktop: {
            if (report.backup.empty()) {
                SetStatusLine(view, FixNoBackupText[language]);
                return;
            }
            char text[512];
            if (summary.failed == 0)
                std::snprintf(text, sizeof text, FixDesktopDoneText[language],
                              report.backup.c_str());
            else
                std::snprintf(text, sizeof text, FixDesktopFailedText[language], summary.failed,
                              report.backup.c_str());
            SetStatusLine(view, text);
            return;
        }
        case CommandKind::Restore: {
            if (report.backup.empty()) {
                SetStatusLine(view, NoBackupText[language]);
                return;
            }
            char text[512];
            std::snprintf(text, sizeof text, RestoreDoneText[language], summary.restored,
                          summary.conflicts, summary.failed);
            SetStatusLine(view, text);
            return;
        }
        case CommandKind::Scan:
            return;
    }
}

}  // namespace brenvik
