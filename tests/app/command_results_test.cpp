// After Fix: results in the Status column, rows Fix met but the list did not show, and the
// status line in both languages; after Fix Desktop and Restore: the status line.
#include "app/command_results.h"

#include <gtest/gtest.h>

#include <string>

#include "app/scan_view.h"
#include "app/ui_text.h"
#include "res/resource.h"
#include "report_view_test.h"

namespace brenvik {
namespace {

std::string StatusLine(HWND hStatus) {
    char buffer[512] = {};
    GetWindowTextA(hStatus, buffer, sizeof buffer);
    return buffer;
}

// A scan's row: what the list shows before any command has a result for it.
ResultRecord Found(const char* location, const char* path, const char* site) {
    ResultRecord record;
    record.location = location;
    record.path = path;
    record.site = site;
    return record;
}

class CommandResultsTest : public test::ReportViewTest {
protected:
    static CommandReport FixReport() {
        CommandReport report;
        report.backup = "20261208T190648Z";
        report.records = {
            {"Desktop NameSpace", "k", "", "http://n/", "", "", "delete key tree", Outcome::Fixed,
             ""},
            {"Desktop", "d", "", "http://d/", "", "", "delete file", Outcome::Failed,
             "access denied"},
            {"Quick Launch", "q", "", "http://new/", "", "", "clear arguments", Outcome::Fixed, ""},
        };
        return report;
    }
};

TEST_F(CommandResultsTest, FixFillsTheStatusColumnAndAddsWhatTheListDidNotShow) {
    m_view.AddRow(Found("Desktop", "d", "http://d/"));
    m_view.AddRow(Found("Desktop NameSpace", "k", "http://n/"));
    m_view.m_nLanguage = kLanguageEnglish;

    ShowCommandResult(m_view, CommandKind::Fix, FixReport());

    ASSERT_EQ(3, m_view.m_nRows);
    EXPECT_EQ(L"Failed: access denied", test::ReportCell(m_view.m_hList, 0, 2));
    EXPECT_EQ(L"Fixed", test::ReportCell(m_view.m_hList, 1, 2));
    EXPECT_EQ(L"Quick Launch", test::ReportCell(m_view.m_hList, 2, 0));
    EXPECT_EQ(L"http://new/", test::ReportCell(m_view.m_hList, 2, 1));
    EXPECT_EQ(L"Fixed", test::ReportCell(m_view.m_hList, 2, 2));
    EXPECT_EQ("Fixed 2, failed 1; backup 20261208T190648Z", StatusLine(m_view.m_hStatus));
}

// Rows that read the same (name space entries without a site, shortcuts of one site) each
// take the result of their own object.
TEST_F(CommandResultsTest, RowsThatReadTheSameTakeTheResultOfTheirOwnObject) {
    m_view.AddRow(Found("Desktop NameSpace", "k1", ""));
    m_view.AddRow(Found("Desktop NameSpace", "k2", ""));
    m_view.m_nLanguage = kLanguageEnglish;
    CommandReport report;
    report.backup = "20261208T190648Z";
    report.records = {
        {"Desktop NameSpace", "k2", "", "", "", "", "delete key tree", Outcome::Fixed, ""},
        {"Desktop NameSpace", "k1", "", "", "", "", "delete key tree", Outcome::Failed,
         "access denied"},
    };

    ShowCommandResult(m_view, CommandKind::Fix, report);

    ASSERT_EQ(2, m_view.m_nRows);
    EXPECT_EQ(L"Failed: access denied", test::ReportCell(m_view.m_hList, 0, 2));
    EXPECT_EQ(L"Fixed", test::ReportCell(m_view.m_hList, 1, 2));
}

TEST_F(CommandResultsTest, StatusLinesInChinese) {
    m_view.m_nLanguage = kLanguageChinese;
    ShowCommandResult(m_view, CommandKind::Fix, FixReport());
    // 已修复 2 项，失败 1 项；备份 ... as GBK bytes
    EXPECT_EQ(
        "\xd2\xd1\xd0\xde\xb8\xb4 2 \xcf\xee\xa3\xac\xca\xa7\xb0\xdc 1 \xcf\xee\xa3\xbb\xb1\xb8"
        "\xb7\xdd 20261208T190648Z",
        StatusLine(m_view.m_hStatus));

    CommandReport restored;
    restored.backup = "20261208T190648Z";
    restored.records = {{"File", "d", "", "", "", "", "restore", Outcome::Restored, ""},
                        {"File", "q", "", "", "", "", "restore", Outcome::Conflict, "x"}};
    ShowCommandResult(m_view, CommandKind::Restore, restored);
    // 已还原 1 项，冲突 1 项，失败 0 项
    EXPECT_EQ(
        "\xd2\xd1\xbb\xb9\xd4\xad 1 \xcf\xee\xa3\xac\xb3\xe5\xcd\xbb 1 \xcf\xee\xa3\xac"
        "\xca\xa7\xb0\xdc 0 \xcf\xee",
        StatusLine(m_view.m_hStatus));
}

// A place the scan already showed as skipped keeps its one row; one the list did not show is
// added with its path; the status line counts both, in either language.
TEST_F(CommandResultsTest, SkippedPlacesAreShownOnceAndCounted) {
    m_view.AddRow(
        SkippedRecord({"Start Menu", "C:\\m\\Refusing", "cannot be listed: access denied"}));
    CommandReport report = FixReport();
    report.records.push_back(
        SkippedRecord({"Start Menu", "C:\\m\\Refusing", "cannot be listed: access denied"}));
    report.records.push_back(
        SkippedRecord({"Start Menu", "C:\\m\\Linked", "junction not followed"}));

    m_view.m_nLanguage = kLanguageEnglish;
    ShowCommandResult(m_view, CommandKind::Fix, report);
    ASSERT_EQ(5, m_view.m_nRows);
    EXPECT_EQ(L"Skipped: cannot be listed: access denied", test::ReportCell(m_view.m_hList, 0, 2));
    EXPECT_EQ(L"Start Menu", test::ReportCell(m_view.m_hList, 4, 0));
    EXPECT_EQ(L"C:\\m\\Linked", test::ReportCell(m_view.m_hList, 4, 1));
    EXPECT_EQ(L"Skipped: junction not followed", test::ReportCell(m_view.m_hList, 4, 2));
    EXPECT_EQ("Fixed 2, failed 1; backup 20261208T190648Z; 2 not examined",
              StatusLine(m_view.m_hStatus));

    m_view.m_nLanguage = kLanguageChinese;
    ShowCommandResult(m_view, CommandKind::Fix, report);
    // 已修复 2 项，失败 1 项；备份 ...；未能检查 2 处
    EXPECT_EQ(
        "\xd2\xd1\xd0\xde\xb8\xb4 2 \xcf\xee\xa3\xac\xca\xa7\xb0\xdc 1 \xcf\xee\xa3\xbb\xb1\xb8"
        "\xb7\xdd 20261208T190648Z\xa3\xbb\xce\xb4\xc4\xdc\xbc\xec\xb2\xe9 2 \xb4\xa6",
        StatusLine(m_view.m_hStatus));
}

ResultRecord WithId(ResultRecord record, const char* id, Outcome result = Outcome::Found) {
    record.id = id;
    record.result = result;
    return record;
}

// A finding the user unchecked reads "Skipped" in its row and is counted on the line; a second
// Fix gives each finding's row its new result instead of adding a row.
TEST_F(CommandResultsTest, UncheckedFindingsReadSkippedAndKeepTheirRowsThroughAnotherFix) {
    const ResultRecord desktop = WithId(Found("Desktop", "d", "http://d/"), "00000000000d");
    const ResultRecord quick = WithId(Found("Quick Launch", "q", "http://q/"), "00000000000q");
    m_view.AddRow(desktop);
    m_view.AddRow(quick);
    CommandReport report;
    report.backup = "20261208T190648Z";
    ResultRecord fixed = WithId(desktop, "00000000000d", Outcome::Fixed);
    report.records = {fixed, WithId(quick, "00000000000q", Outcome::NotSelected)};

    const struct {
        int language;
        const wchar_t* cell;
        const char* line;
    } cases[] = {
        {kLanguageEnglish, L"Skipped", "Fixed 1, failed 0; backup 20261208T190648Z; 1 skipped"},
        // 已跳过; 已修复 1 项，失败 0 项；备份 ...；已跳过 1 项
        {kLanguageChinese, L"\u5df2\u8df3\u8fc7",
         "\xd2\xd1\xd0\xde\xb8\xb4 1 \xcf\xee\xa3\xac\xca\xa7\xb0\xdc 0 \xcf\xee\xa3\xbb\xb1\xb8"
         "\xb7\xdd 20261208T190648Z\xa3\xbb\xd2\xd1\xcc\xf8\xb9\xfd 1 \xcf\xee"},
    };
    for (const auto& c : cases) {
        m_view.m_nLanguage = c.language;
        ShowCommandResult(m_view, CommandKind::Fix, report);
        ASSERT_EQ(2, m_view.m_nRows) << c.language;
        EXPECT_EQ(L"Fixed", test::ReportCell(m_view.m_hList, 0, 2));
        EXPECT_EQ(c.cell, test::ReportCell(m_view.m_hList, 1, 2));
        EXPECT_EQ(c.line, StatusLine(m_view.m_hStatus));
    }
}

// Ignore takes the row away (or with Show ignored marks it), Stop ignoring makes it a finding
// again; a list refused, a finding gone or a list not written change no row.
TEST_F(CommandResultsTest, ListChangesShowInTheRowsAndOnTheLine) {
    const ResultRecord desktop = WithId(Found("Desktop", "d", "http://d/"), "00000000000d");
    const ResultRecord quick = WithId(Found("Quick Launch", "q", "http://q/"), "00000000000q");
    m_view.m_nLanguage = kLanguageEnglish;
    m_view.AddRow(desktop);
    m_view.AddRow(quick);
    ListChange change;
    change.changed = {IgnoreEntry{desktop.id, "Desktop", "", "d", "http://d/", "u", "t"}};

    ShowListChange(m_view, CommandKind::Ignore, change, false);
    ASSERT_EQ(1, m_view.m_nRows);
    EXPECT_EQ(L"Quick Launch", test::ReportCell(m_view.m_hList, 0, 0));
    EXPECT_EQ("Ignored 1", StatusLine(m_view.m_hStatus));

    change.changed[0].id = quick.id;
    ShowListChange(m_view, CommandKind::Ignore, change, true);
    ASSERT_EQ(1, m_view.m_nRows);
    EXPECT_EQ(L"Ignored", test::ReportCell(m_view.m_hList, 0, 2));
    EXPECT_EQ(Outcome::Ignored, m_view.m_records[0].result);

    ShowListChange(m_view, CommandKind::Unignore, change, true);
    EXPECT_EQ(L"", test::ReportCell(m_view.m_hList, 0, 2));
    EXPECT_EQ(Outcome::Found, m_view.m_records[0].result);
    EXPECT_TRUE(m_view.Checked(0));
    EXPECT_EQ("Stopped ignoring 1", StatusLine(m_view.m_hStatus));

    ListChange refused = change;
    refused.refused = "not made by this program";
    ListChange unknown = change;
    unknown.unknown = {quick.id};
    ListChange unwritten = change;
    unwritten.error = "access denied";
    const struct {
        const ListChange& change;
        TextPair& line;
    } failures[] = {
        {refused, ListRefusedText}, {unknown, ListUnknownText}, {unwritten, ListWriteFailedText}};
    for (int language : {kLanguageEnglish, kLanguageChinese}) {
        m_view.m_nLanguage = language;
        for (const auto& f : failures) {
            ShowListChange(m_view, CommandKind::Ignore, f.change, false);
            EXPECT_EQ(1, m_view.m_nRows);
            EXPECT_EQ(f.line[language], StatusLine(m_view.m_hStatus));
        }
    }
}

TEST_F(CommandResultsTest, FixDesktopAndRestoreWithoutASet) {
    m_view.m_nLanguage = kLanguageEnglish;
    CommandReport desktop;
    desktop.backup = "20261208T190648Z-2";
    desktop.records = {{"Desktop icons", "", "", "", "", "", "create key", Outcome::Fixed, ""}};
    ShowCommandResult(m_view, CommandKind::FixDesktop, desktop);
    EXPECT_EQ("Desktop icons restored; backup 20261208T190648Z-2", StatusLine(m_view.m_hStatus));
    desktop.records[0].result = Outcome::Failed;
    ShowCommandResult(m_view, CommandKind::FixDesktop, desktop);
    EXPECT_EQ("Desktop icons: 1 failed; backup 20261208T190648Z-2", StatusLine(m_view.m_hStatus));
    ShowCommandResult(m_view, CommandKind::Restore, CommandReport{});
    EXPECT_EQ("No repair to restore", StatusLine(m_view.m_hStatus));
    EXPECT_EQ(0, m_view.m_nRows);
}

}  // namespace
}  // namespace brenvik
