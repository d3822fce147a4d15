// The report list's check boxes, tips, row menu items and row texts, in the language of the run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/report_notify.h"
#include "app/row_actions.h"
#include "app/row_menu.h"
#include "app/row_texts.h"
#include "app/scan_view.h"
#include "app/show_ignored_item.h"
#include "app/ui_text.h"
#include "res/resource.h"
#include "report_view_test.h"

namespace brenvik {
namespace {

ResultRecord Finding(const char* location, const char* path, const char* id) {
    ResultRecord record;
    record.location = location;
    record.path = path;
    record.site = "http://site.example/";
    record.id = id;
    return record;
}

const ResultRecord kLink = Finding("Desktop", "C:\\d\\Internet Explorer.lnk", "0123456789ab");
const ResultRecord kKey = Finding("Desktop NameSpace", "Software\\NameSpace\\{1}", "ba9876543210");

ResultRecord With(ResultRecord record, Outcome result) {
    record.result = result;
    return record;
}

class ReportRowsTest : public test::ReportViewTest {
protected:
    void SetUp() override {
        ReportViewTest::SetUp();
        if (HasFatalFailure())
            return;
        SendMessageA(m_view.m_hList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES | LVS_EX_INFOTIP);
        m_view.m_nLanguage = m_language;
        // The dialog's answers to the list, as the main dialog gives them.
        m_dialog.handler = [this](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
            return message == WM_NOTIFY &&
                   HandleReportNotify(m_view, *reinterpret_cast<NMHDR*>(lParam), &result);
        };
    }

    UINT Image(int row) const {
        return static_cast<UINT>(SendMessageA(m_view.m_hList, LVM_GETITEMSTATE,
                                              static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK)) >>
               12;
    }

    void SetImage(int row, UINT image) const {
        LVITEMA state = {};
        state.state = INDEXTOSTATEIMAGEMASK(image);
        state.stateMask = LVIS_STATEIMAGEMASK;
        SendMessageA(m_view.m_hList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
    }

    void Select(int row) const {
        LVITEMA state = {};
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(m_view.m_hList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
    }

    void PressSpace() const {
        SendMessageA(m_view.m_hList, WM_KEYDOWN, VK_SPACE, 0x00390001);
        SendMessageA(m_view.m_hList, WM_KEYUP, VK_SPACE, 0xC0390001);
    }

    std::wstring Cell(int row, int column) const {
        return test::ReportCell(m_view.m_hList, row, column);
    }

    const int m_language = GetUserDefaultLangID() == 0x0804 ? kLanguageChinese : kLanguageEnglish;
};

// After a scan every finding is checked; a place that was not examined and an ignored finding
// have no box. Space toggles a finding's box and gives none to a row without one.
TEST_F(ReportRowsTest, FindingsAreCheckedAndSpaceTogglesOnlyTheirBoxes) {
    m_view.AddRow(kLink);
    m_view.AddRow(SkippedRecord({"Start Menu", "C:\\m\\Linked", "junction not followed"}));
    m_view.AddRow(With(kKey, Outcome::Ignored));
    EXPECT_EQ(2u, Image(0));
    EXPECT_EQ(0u, Image(1));
    EXPECT_EQ(0u, Image(2));
    EXPECT_TRUE(m_view.UncheckedIds().empty());

    for (int row : {1, 2}) {
        Select(row);
        PressSpace();
        EXPECT_EQ(0u, Image(row)) << row;
        m_view.SetChecked(row, true);
        EXPECT_EQ(0u, Image(row)) << row;
        // What a click on the box's place may ask of the list: the dialog refuses it.
        SetImage(row, 1);
        EXPECT_EQ(0u, Image(row)) << row;
    }
    SetImage(0, 0);
    EXPECT_EQ(2u, Image(0)) << "a finding keeps its box";

    Select(0);
    PressSpace();
    EXPECT_EQ(1u, Image(0));
    EXPECT_FALSE(m_view.Checked(0));
    EXPECT_EQ(std::set<std::string>{kLink.id}, m_view.UncheckedIds());
    PressSpace();
    EXPECT_TRUE(m_view.Checked(0));
    EXPECT_TRUE(m_view.UncheckedIds().empty());
}

// A row keeps the user's choice through a later result; a finding no longer ignored gets its
// box back, checked; a removed row takes its record with it.
TEST_F(ReportRowsTest, BoxesFollowTheRowsRecords) {
    m_view.AddRow(kLink);
    m_view.AddRow(With(kKey, Outcome::Ignored));
    m_view.SetChecked(0, false);
    m_view.SetRowRecord(0, With(kLink, Outcome::NotSelected));
    EXPECT_FALSE(m_view.Checked(0));
    EXPECT_EQ(WideUiText(NotSelectedCellText[m_language], m_language), Cell(0, 2));

    m_view.SetRowRecord(1, kKey);
    EXPECT_TRUE(m_view.Checked(1));
    EXPECT_EQ(L"", Cell(1, 2));

    m_view.RemoveRow(0);
    ASSERT_EQ(1, m_view.m_nRows);
    ASSERT_EQ(1u, m_view.m_records.size());
    EXPECT_EQ(kKey.id, m_view.m_records[0].id);
    EXPECT_EQ(L"Desktop NameSpace", Cell(0, 0));
    EXPECT_TRUE(m_view.UncheckedIds().empty());
}

TEST_F(ReportRowsTest, TipsNameTheObjectTheRuleAndTheId) {
    ResultRecord fake = kLink;
    fake.rule = "fake link";
    m_view.AddRow(fake);
    m_view.AddRow(SkippedRecord({"Start Menu", "C:\\m\\Linked", "junction not followed"}));
    const std::wstring rule = WideUiText(TipRuleText[m_language], m_language);
    const std::wstring id = WideUiText(TipIdText[m_language], m_language);
    const std::wstring expected[] = {
        L"C:\\d\\Internet Explorer.lnk\r\n" + rule + L"fake link\r\n" + id + L"0123456789ab",
        L"C:\\m\\Linked\r\nSkipped: junction not followed",
    };
    for (int row = 0; row < 2; ++row) {
        wchar_t buffer[256];
        NMLVGETINFOTIPW tip = {};
        tip.hdr = {m_view.m_hList, IDC_REPORT, LVN_GETINFOTIPW};
        tip.pszText = buffer;
        tip.cchTextMax = 256;
        tip.iItem = row;
        LRESULT result = 1;
        ASSERT_TRUE(HandleReportNotify(m_view, tip.hdr, &result));
        EXPECT_EQ(expected[row], std::wstring(buffer)) << row;
    }

    // The 8-bit form, cut to the caller's buffer and still ended.
    char narrow[8];
    NMLVGETINFOTIPA tip = {};
    tip.hdr = {m_view.m_hList, IDC_REPORT, LVN_GETINFOTIPA};
    tip.pszText = narrow;
    tip.cchTextMax = sizeof narrow;
    tip.iItem = 0;
    LRESULT result = 1;
    ASSERT_TRUE(HandleReportNotify(m_view, tip.hdr, &result));
    EXPECT_STREQ("C:\\d\\In", narrow);

    // Another control's notification, and a row that does not exist, are left alone.
    tip.hdr.hwndFrom = m_view.m_hStatus;
    EXPECT_FALSE(HandleReportNotify(m_view, tip.hdr, &result));
    tip.hdr.hwndFrom = m_view.m_hList;
    tip.iItem = 5;
    narrow[0] = 'x';
    EXPECT_TRUE(HandleReportNotify(m_view, tip.hdr, &result));
    EXPECT_EQ('x', narrow[0]);
}

TEST(RowCommands, WhatEachRowOffers) {
    const struct {
        const char* why;
        ResultRecord record;
        std::vector<RowCommand> commands;
    } cases[] = {
        {"file finding", kLink, {IDM_ROW_IGNORE, IDM_ROW_COPY, IDM_ROW_OPEN}},
        {"key finding", kKey, {IDM_ROW_IGNORE, IDM_ROW_COPY}},
        {"left alone",
         With(kLink, Outcome::NotSelected),
         {IDM_ROW_IGNORE, IDM_ROW_COPY, IDM_ROW_OPEN}},
        {"failed", With(kKey, Outcome::Failed), {IDM_ROW_IGNORE, IDM_ROW_COPY}},
        {"ignored", With(kLink, Outcome::Ignored), {IDM_ROW_UNIGNORE, IDM_ROW_COPY, IDM_ROW_OPEN}},
        {"fixed: nothing left to ignore",
         With(kLink, Outcome::Fixed),
         {IDM_ROW_COPY, IDM_ROW_OPEN}},
        {"not examined", SkippedRecord({"Desktop", "C:\\d\\x", "access denied"}), {IDM_ROW_COPY}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.commands, RowCommands(c.record)) << c.why;
}

// From the keyboard the menu is for the selected row; a click beside every row has none.
TEST_F(ReportRowsTest, TheMenuIsForTheSelectedOrTheClickedRow) {
    m_view.AddRow(kLink);
    m_view.AddRow(kKey);
    Select(0);
    EXPECT_EQ(0, ContextRow(m_view, -1));
    EXPECT_EQ(0, ContextRow(m_view, static_cast<LPARAM>(0xFFFFFFFFu)));
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    ASSERT_TRUE(
        SendMessageA(m_view.m_hList, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&bounds)));
    POINT onRow = {bounds.left + 5, (bounds.top + bounds.bottom) / 2};
    ClientToScreen(m_view.m_hList, &onRow);
    EXPECT_EQ(1, ContextRow(m_view, MAKELPARAM(onRow.x, onRow.y)));
    POINT below = {bounds.left + 5, bounds.bottom + 40};
    ClientToScreen(m_view.m_hList, &below);
    EXPECT_EQ(-1, ContextRow(m_view, MAKELPARAM(below.x, below.y)));
}

TEST_F(ReportRowsTest, ShowIgnoredIsACheckItemOfTheSystemMenu) {
    const HMENU menu = GetSystemMenu(m_dialog.get(), FALSE);
    ASSERT_NE(menu, nullptr);
    AddShowIgnoredItem(m_dialog.get(), m_language);
    char text[64] = {};
    GetMenuStringA(menu, IDM_SHOW_IGNORED, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(ShowIgnoredMenuText[m_language], text);
    for (bool shown : {false, true, false}) {
        ShowIgnoredChecked(m_dialog.get(), shown);
        EXPECT_EQ(shown, (GetMenuState(menu, IDM_SHOW_IGNORED, MF_BYCOMMAND) & MF_CHECKED) != 0);
    }
}

TEST(RowTexts, StatusCellsInTheInterfaceLanguage) {
    const struct {
        Outcome result;
        int language;
        std::wstring cell;
    } cases[] = {
        {Outcome::NotSelected, kLanguageEnglish, L"Skipped"},
        {Outcome::NotSelected, kLanguageChinese, L"\u5df2\u8df3\u8fc7"},
        {Outcome::Ignored, kLanguageEnglish, L"Ignored"},
        {Outcome::Ignored, kLanguageChinese, L"\u5df2\u5ffd\u7565"},
        {Outcome::Fixed, kLanguageChinese, L"Fixed"},
        {Outcome::Found, kLanguageEnglish, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.cell, RowStatusText(With(kLink, c.result), c.language))
            << static_cast<int>(c.result) << " " << c.language;
}

// Copy details: every field on its own line, read back from the clipboard as pasted.
TEST_F(ReportRowsTest, CopyDetailsPutsTheWholeRecordOnTheClipboard) {
    ResultRecord record = With(kLink, Outcome::Failed);
    record.rule = "arguments";
    record.target = "C:\\ie.exe";
    record.arguments = "http://site.example/";
    record.error = "access denied";
    ASSERT_TRUE(CopyToClipboard(m_dialog.get(), RowDetailsText(record, kLanguageEnglish)));

    ASSERT_TRUE(OpenClipboard(m_dialog.get()));
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    const std::wstring pasted = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(
        L"location: Desktop\r\n"
        L"path: C:\\d\\Internet Explorer.lnk\r\n"
        L"rule: arguments\r\n"
        L"site: http://site.example/\r\n"
        L"target: C:\\ie.exe\r\n"
        L"arguments: http://site.example/\r\n"
        L"status: Failed: access denied\r\n"
        L"id: 0123456789ab\r\n",
        pasted);
    EXPECT_NE(std::wstring::npos,
              RowDetailsText(kLink, kLanguageChinese).find(L"status: found\r\n"));
}

}  // namespace
}  // namespace brenvik
