// The real brenvik.exe started where the name server never answers (run by net-condition
// silent): the window must show and work at once, and close at once, while the banner's
// lookups still hang.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "bench/startup/started_program.h"
#include "platform/win32/handles.h"
#include "res/resource.h"

namespace brenvik::bench {
namespace {

constexpr DWORD kSecondMs = 1000;
constexpr DWORD kStartTimeoutMs = 30000;

DWORD WINAPI LookUpWebSite(LPVOID) {
    WSADATA data = {};
    WSAStartup(0x0101, &data);
    gethostbyname(BRENVIK_WEB_SITE_HOST);
    return 0;
}

bool ScanFinished(HWND hDialog) {
    const HWND hProgress = GetDlgItem(hDialog, IDC_PROGRESS);
    const LRESULT upper = SendMessageA(hProgress, PBM_GETRANGE, FALSE, 0);
    return IsWindowEnabled(GetDlgItem(hDialog, IDC_SCAN)) && upper > 0 &&
           SendMessageA(hProgress, PBM_GETPOS, 0, 0) == upper;
}

bool WaitScanFinished(HWND hDialog, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!ScanFinished(hDialog)) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(10);
    }
    return true;
}

// How long the trivial dialog takes to show here and now: a loaded machine slows every start.
double FloorMs() {
    StartedProgram trivial(WindowsPath(BRENVIK_TRIVIAL_DIALOG_EXE));
    const HWND hWindow = trivial.WaitVisible(kStartTimeoutMs);
    const double visible = trivial.ElapsedMs();
    trivial.Close(hWindow, kStartTimeoutMs);
    return hWindow != nullptr ? visible : kStartTimeoutMs;
}

TEST(Startup, WhileTheNameServerIsSilentTheWindowWorksAndClosesAtOnce) {
    // The same lookup as the program's, to show it really hangs for the whole test.
    const UniqueHandle lookup(CreateThread(nullptr, 0, LookUpWebSite, nullptr, 0, nullptr));
    ASSERT_TRUE(lookup);

    const double floor = FloorMs();
    StartedProgram program(WindowsPath(BRENVIK_EXE));
    ASSERT_TRUE(program.started());
    const HWND hDialog = program.WaitVisible(static_cast<DWORD>(floor) + kSecondMs);
    ASSERT_NE(nullptr, hDialog) << "no window a second after a trivial dialog's " << floor << " ms";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hDialog, IDC_BANNER)));

    DWORD_PTR result = 0;
    ASSERT_NE(0, SendMessageTimeoutA(GetDlgItem(hDialog, IDC_SCAN), BM_CLICK, 0, 0, SMTO_NORMAL,
                                     kSecondMs, &result));
    EXPECT_TRUE(WaitScanFinished(hDialog, kSecondMs)) << "Scan did not finish within a second";

    const double closing = program.ElapsedMs();
    EXPECT_EQ(0u, program.Close(hDialog, kSecondMs));
    EXPECT_LT(program.ElapsedMs() - closing, kSecondMs);

    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(lookup.get(), 0))
        << "the name server answered: this run proves nothing";
}

}  // namespace
}  // namespace brenvik::bench
