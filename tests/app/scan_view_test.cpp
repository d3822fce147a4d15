#include "app/scan_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "test_dialog.h"

namespace brenvik {
namespace {

using test::RunOnWorker;
using test::TestDialog;

std::string CellText(HWND hList, int item, int subItem) {
    char buffer[256];
    memset(buffer, 0xbd, sizeof(buffer));
    LVITEMA cell = {};
    cell.iSubItem = subItem;
    cell.pszText = buffer;
    cell.cchTextMax = sizeof(buffer);
    SendMessageA(hList, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell));
    return cell.pszText;
}

class ScanViewTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(m_dialog.get(), nullptr); }

    TestDialog m_dialog;
    ScanView m_view{m_dialog.item(IDC_PROGRESS), m_dialog.item(IDC_STATUS),
                    m_dialog.item(IDC_REPORT)};
};

TEST_F(ScanViewTest, RowsAddedFromWorkerStandInOrderWithTheLastSelectedAndVisible) {
    HWND hList = m_view.m_hList;
    test::AddReportColumns(hList);
    // More rows than the list shows at once, so the last one must have been scrolled to.
    constexpr int kRows = 40;
    RunOnWorker([&] {
        for (int i = 0; i < kRows; ++i) {
            std::string n = std::to_string(i);
            ResultRecord record;
            record.location = "Location " + n;
            record.site = "http://site" + n + ".example/";
            if (i % 2 == 0) {
                record.result = Outcome::Failed;
                record.error = "x";
            }
            m_view.AddRow(record);
        }
    });

    EXPECT_EQ(m_view.m_nRows, kRows);
    ASSERT_EQ(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0), kRows);
    for (int i = 0; i < kRows; ++i) {
        std::string n = std::to_string(i);
        EXPECT_EQ(CellText(hList, i, 0), "Location " + n);
        EXPECT_EQ(CellText(hList, i, 1), "http://site" + n + ".example/");
        EXPECT_EQ(CellText(hList, i, 2), i % 2 ? "" : "Failed: x");
    }

    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    EXPECT_EQ(SendMessageA(hList, LVM_GETITEMSTATE, kRows - 1, both), LRESULT(both));
    EXPECT_EQ(SendMessageA(hList, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    const LRESULT top = SendMessageA(hList, LVM_GETTOPINDEX, 0, 0);
    const LRESULT perPage = SendMessageA(hList, LVM_GETCOUNTPERPAGE, 0, 0);
    ASSERT_GT(perPage, 0);
    ASSERT_LT(perPage, kRows);
    EXPECT_LE(top, kRows - 1);
    EXPECT_GT(top + perPage, kRows - 1);
}

TEST_F(ScanViewTest, NotifyFinishedReachesTheDialogThreadBeforeItReturns) {
    size_t seenByWorker = 0;
    RunOnWorker([&] {
        m_view.NotifyFinished();
        seenByWorker = m_dialog.Received(WM_SCAN_FINISHED).size();
    });

    EXPECT_EQ(seenByWorker, 1u);
    const auto received = m_dialog.Received(WM_SCAN_FINISHED);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, 1124u);
    EXPECT_EQ(received[0].wParam, 0u);
    EXPECT_EQ(received[0].lParam, 0);
    EXPECT_EQ(received[0].threadId, GetCurrentThreadId());
}

TEST_F(ScanViewTest, ProgressAndStatusFollowTheWorker) {
    struct Case {
        int lower, upper, position;
    };
    const Case cases[] = {{0, 100, 0}, {0, 100, 100}, {10, 2000, 1234}, {0, 3, 2}};
    HWND hProgress = m_view.m_hProgress;
    for (const Case& c : cases) {
        RunOnWorker([&] {
            m_view.SetRange(c.lower, c.upper);
            m_view.SetPos(c.position);
        });
        PBRANGE range = {-1, -1};
        SendMessageA(hProgress, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        EXPECT_EQ(range.iLow, c.lower);
        EXPECT_EQ(range.iHigh, c.upper);
        EXPECT_EQ(SendMessageA(hProgress, PBM_GETPOS, 0, 0), c.position);
    }

    for (const char* text : {"Scanning", ""}) {
        RunOnWorker([&] { m_view.SetStatusText(text); });
        char buffer[64] = "sentinel";
        GetWindowTextA(m_view.m_hStatus, buffer, sizeof(buffer));
        EXPECT_STREQ(buffer, text);
    }
}

// A list that refuses every new row, as a list view does when it runs out of memory.
LRESULT CALLBACK RefusingListProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LVM_INSERTITEMW) {
        return -1;
    }
    if (message >= LVM_FIRST && message < LVM_FIRST + 0x100) {
        auto* log = reinterpret_cast<std::vector<UINT>*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        log->push_back(message);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST_F(ScanViewTest, RefusedRowTouchesNoOtherRow) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RefusingListProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "BrenvikRefusingList";
    RegisterClassA(&windowClass);
    HWND hList = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL,
                                 NULL, windowClass.hInstance, NULL);
    ASSERT_NE(hList, nullptr);
    std::vector<UINT> log;
    SetWindowLongPtrA(hList, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log));

    ScanView view(m_view.m_hProgress, m_view.m_hStatus, hList);
    ResultRecord record;
    record.location = "Desktop";
    record.site = "http://a.example/";
    view.AddRow(record);

    // -1 would have meant "every row" to LVM_SETITEMSTATE.
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(view.m_nRows, 0);
    DestroyWindow(hList);
}

TEST(ScanViewOf, ReadsTheWholePointerFromTheUserDataSlot) {
    TestDialog dialog;
    ASSERT_NE(dialog.get(), nullptr);
    EXPECT_EQ(ScanViewOf(dialog.get()), nullptr);
    // A value with high bits set shows whether the slot is read at full pointer width.
    const LONG_PTR value =
        static_cast<LONG_PTR>(sizeof(void*) == 8 ? 0x123456789abcdef0ull : 0x9abcdef0ull);
    SetWindowLongPtrA(dialog.get(), GWLP_USERDATA, value);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(ScanViewOf(dialog.get())), value);
}

}  // namespace
}  // namespace brenvik
