#include "app/command_results.h"

#include <cstdio>
#include <string>

#include "app/scan_view.h"
#include "app/ui_text.h"

namespace brenvik {
namespace {

int RowOfId(const ScanView& view, const std::string& id) {
    for (std::size_t row = 0; row < view.m_records.size(); ++row) {
        if (view.m_records[row].id == id)
            return static_cast<int>(row);
    }
    return -1;
}

// The row of the same finding (by its id: a row an earlier Fix left alone or failed to
// repair takes the new result instead of a second row), else of the scan's record for the
// same object that has no result yet, or for a skipped place the row that already says so;
// -1 when none does. Rows are matched by their records, never by their texts: two rows may
// read the same (an entry without a site).
int FindRow(const ScanView& view, const ResultRecord& record) {
    if (!record.id.empty()) {
        const int row = RowOfId(view, record.id);
        if (row >= 0)
            return row;
    }
    const bool skipped = record.result == Outcome::Skipped;
    for (std::size_t row = 0; row < view.m_records.size(); ++row) {
        const ResultRecord& shown = view.m_records[row];
        const Outcome wanted = skipped ? Outcome::Skipped : Outcome::Found;
        if (shown.result == wanted && shown.location == record.location &&
            shown.path == record.path && shown.rule == record.rule)
            return static_cast<int>(row);
    }
    return -1;
}

void ShowRows(ScanView& view, const CommandReport& report) {
    for (const ResultRecord& record : report.records) {
        const int row = FindRow(view, record);
        if (row < 0) {
            view.AddRow(record);
            continue;
        }
        view.SetRowRecord(row, record);
    }
}

// The interface texts are code page 936 or ASCII bytes, like every text the dialog sets.
void SetStatusLine(const ScanView& view, const char* text) {
    SetWindowTextA(view.m_hStatus, text);
}

template <typename... Values>
void SetStatusFormatted(const ScanView& view, const char* format, Values... values) {
    char text[512];
    std::snprintf(text, sizeof text, format, values...);
    SetStatusLine(view, text);
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
                if (summary.notSelected > 0)
                    line += Formatted(NotSelectedCountText[language], summary.notSelected, 0, "");
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
            if (summary.failed == 0)
                SetStatusFormatted(view, FixDesktopDoneText[language], report.backup.c_str());
            else
                SetStatusFormatted(view, FixDesktopFailedText[language], summary.failed,
                                   report.backup.c_str());
            return;
        }
        case CommandKind::Restore: {
            if (report.backup.empty()) {
                SetStatusLine(view, NoBackupText[language]);
                return;
            }
            SetStatusFormatted(view, RestoreDoneText[language], summary.restored, summary.conflicts,
                               summary.failed);
            return;
        }
        case CommandKind::Scan:
        case CommandKind::Ignore:
        case CommandKind::Unignore:
            return;
    }
}

void ShowListChange(ScanView& view, CommandKind kind, const ListChange& change, bool showIgnored) {
    const int language = view.m_nLanguage;
    if (!change.refused.empty()) {
        SetStatusLine(view, ListRefusedText[language]);
        return;
    }
    if (!change.unknown.empty()) {
        SetStatusLine(view, ListUnknownText[language]);
        return;
    }
    if (!change.error.empty()) {
        SetStatusLine(view, ListWriteFailedText[language]);
        return;
    }
    const bool ignored = kind == CommandKind::Ignore;
    for (const IgnoreEntry& entry : change.changed) {
        const int row = RowOfId(view, entry.id);
        if (row < 0)
            continue;
        if (ignored && !showIgnored) {
            view.RemoveRow(row);
            continue;
        }
        ResultRecord record = view.m_records[static_cast<std::size_t>(row)];
        record.result = ignored ? Outcome::Ignored : Outcome::Found;
        record.error.clear();
        view.SetRowRecord(row, record);
    }
    const int count = static_cast<int>(change.changed.size());
    SetStatusLine(view, Formatted(ignored ? IgnoreDoneText[language] : UnignoreDoneText[language],
                                  count, 0, "")
                            .c_str());
}

}  // namespace brenvik
