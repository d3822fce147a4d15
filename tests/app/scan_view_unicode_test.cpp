// Report rows in any script: what the scan hands over as UTF-8 reads back as the same
// characters from the list, in either interface language.
#include "app/scan_view.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

#include "res/resource.h"
#include "test_dialog.h"

namespace brenvik {
namespace {

using test::RunOnWorker;
using test::TestDialog;

std::wstring CellText(HWND hList, int item, int subItem) {
    wchar_t buffer[256];
    wmemset(buffer, 0xbdbd, 256);
    LVITEMW cell = {};
    cell.iSubItem = subItem;
    cell.pszText = buffer;
    cell.cchTextMax = 256;
    SendMessageW(hList, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell));
    return cell.pszText;
}

struct RowCase {
    const char* location;
    const char* site;  // UTF-8, as the scan hands it over
    const wchar_t* expected;
};

TEST(ScanViewUnicode, SitesInAnyScriptReadBackExactlyThroughTheWideList) {
    TestDialog dialog;
    ASSERT_NE(dialog.get(), nullptr);
    ScanView view(dialog.item(IDC_PROGRESS), dialog.item(IDC_STATUS), dialog.item(IDC_REPORT));
    test::AddReportColumns(view.m_hList);

    const RowCase cases[] = {
        // http://导航.例子/🙂网址
        {"Desktop",
         "http://\xE5\xAF\xBC\xE8\x88\xAA.\xE4\xBE\x8B\xE5\xAD\x90/\xF0\x9F\x99\x82\xE7\xBD\x91"
         "\xE5\x9D\x80",
         L"http://\u5BFC\u822A.\u4F8B\u5B50/\U0001F642\u7F51\u5740"},
        // http://пример.испытание/
        {"Quick Launch",
         "http://\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80.\xD0\xB8\xD1\x81\xD0\xBF\xD1\x8B"
         "\xD1\x82\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5/",
         L"http://\u043F\u0440\u0438\u043C\u0435\u0440.\u0438\u0441\u043F\u044B\u0442\u0430\u043D"
         L"\u0438\u0435/"},
        {"Desktop NameSpace", "http://check.example/\xE2\x9C\x93", L"http://check.example/\u2713"},
        {"Desktop", "http://plain.example/", L"http://plain.example/"},
    };
    RunOnWorker([&] {
        for (const RowCase& c : cases) {
            ResultRecord record;
            record.location = c.location;
            record.site = c.site;
            view.AddRow(record);
        }
    });

    ASSERT_EQ(SendMessageW(view.m_hList, LVM_GETITEMCOUNT, 0, 0), LRESULT(std::size(cases)));
    for (int row = 0; row < static_cast<int>(std::size(cases)); ++row) {
        const RowCase& c = cases[row];
        SCOPED_TRACE(c.site);
        // The location labels are ASCII: each byte is its own UTF-16 unit.
        EXPECT_EQ(CellText(view.m_hList, row, 0),
                  std::wstring(c.location, c.location + std::strlen(c.location)));
        EXPECT_EQ(CellText(view.m_hList, row, 1), c.expected);
        EXPECT_EQ(CellText(view.m_hList, row, 2), L"");
    }
}

}  // namespace
}  // namespace brenvik
