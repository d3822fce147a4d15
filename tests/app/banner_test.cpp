#include <windows.h>
#include <commctrl.h>
#include <exdisp.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/banner.h"
#include "app/banner_atl.h"
#include "app/banner_picture.h"
#include "app/browser_event_sink.h"
#include "app/connectivity.h"
#include "platform/win32/handles.h"
#include "res/resource.h"

namespace brenvik {
namespace {

void* const kSentinel = reinterpret_cast<void*>(0xbdbdbdbd);

TEST(BrowserEventSink, AnswersOnlyItsThreeInterfacesAndIsNotCounted) {
    BrowserEventSink sink;
    const struct {
        const IID* iid;
        bool accepted;
    } cases[] = {
        {&IID_IUnknown, true},           {&IID_IDispatch, true},
        {&DIID_DWebBrowserEvents, true}, {&DIID_DWebBrowserEvents2, false},
        {&IID_IWebBrowserApp, false},    {&IID_IConnectionPointContainer, false},
        {&IID_IOleObject, false},
    };
    for (const auto& c : cases) {
        void* pv = kSentinel;
        const HRESULT hr = sink.QueryInterface(*c.iid, &pv);
        EXPECT_EQ(c.accepted ? S_OK : E_NOINTERFACE, hr);
        EXPECT_EQ(c.accepted ? static_cast<IDispatch*>(&sink) : nullptr, pv);
    }
    // Not counted: the sink lives inside the dialog object.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(1u, sink.AddRef());
        EXPECT_EQ(0u, sink.Release());
    }
}

// Answers lookups from fixed lists, as Windows Sockets would on a given network. The check's
// thread destroys it right after posting its answer; hDone is then set.
class FixedNameService final : public NameService {
public:
    explicit FixedNameService(bool reachable, HANDLE hDone = nullptr)
        : m_bReachable(reachable), m_hDone(hDone) {}
    ~FixedNameService() override {
        if (m_hDone != nullptr) {
            SetEvent(m_hDone);
        }
    }
    int start() override {
        ++starts;
        return 0;
    }
    void hostName(char* buffer, int size) override { lstrcpynA(buffer, "workstation", size); }
    bool resolve(const char* name) override {
        m_bLocal = lstrcmpA(name, "workstation") == 0;
        return m_bLocal || m_bReachable;
    }
    const char* addressText(int index) override {
        const char* const local[] = {"127.0.0.1", m_bReachable ? "192.168.7.9" : nullptr, nullptr};
        return m_bLocal ? local[index < 2 ? index : 2] : nullptr;
    }
    void cleanup() override {}

    int starts = 0;

private:
    bool m_bReachable;
    HANDLE m_hDone;
    bool m_bLocal = false;
};

TEST(BannerConnectivity, NotAWindowGivesPictureWithoutLookingUp) {
    FixedNameService names(true);
    EXPECT_EQ(0, CheckBannerConnectivity(nullptr, names));
    EXPECT_EQ(0, names.starts);
}

bool SameRect(RECT a, RECT b) {
    return EqualRect(&a, &b) != FALSE;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The main dialog's own template, run modeless with a procedure that does nothing: the
// picture where the template puts it, no browser until the banner code creates one.
class BannerHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        // Registers the host window classes; Wine answers FALSE once they exist.
        AtlAxWinInit();
        INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                         ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        m_hDialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN),
                                       nullptr, PlainDialogProc, 0);
        ASSERT_NE(nullptr, m_hDialog);
        ShowWindow(m_hDialog, SW_SHOWNA);
        m_hPicture = GetWindow(m_hDialog, GW_CHILD);
        ASSERT_EQ(SS_BITMAP, GetWindowLongPtrA(m_hPicture, GWL_STYLE) & SS_TYPEMASK);
        ASSERT_EQ(nullptr, banner());
    }
    void TearDown() override {
        if (m_hDialog != nullptr) {
            DestroyWindow(m_hDialog);
        }
        OleUninitialize();
    }

    HWND banner() const { return GetDlgItem(m_hDialog, IDC_BANNER); }

    // Sets the banner up over fixed lookups and handles the check's answer as the dialog's
    // message loop would.
    void SetUpAndAnswer(bool reachable) {
        const UniqueHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        SetUpBanner(m_hDialog, m_sink, std::make_unique<FixedNameService>(reachable, done.get()));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(done.get(), 10000));
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
    }

    bool PictureIsBelowBanner() const {
        for (HWND h = GetWindow(banner(), GW_HWNDNEXT); h != nullptr;
             h = GetWindow(h, GW_HWNDNEXT)) {
            if (h == m_hPicture) {
                return true;
            }
        }
        return false;
    }

    // The banner area of the template, 268 x 68 dialog units at (7, 7), in pixels.
    RECT Area() const {
        RECT area = {7, 7, 275, 75};
        MapDialogRect(m_hDialog, &area);
        return area;
    }

    static RECT RectIn(HWND hParent, HWND hWindow) {
        RECT rect = {};
        GetWindowRect(hWindow, &rect);
        MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    HWND m_hDialog = nullptr;
    HWND m_hPicture = nullptr;
    BrowserEventSink m_sink;
};

TEST_F(BannerHostTest, UnreachableHostsLeaveThePictureAndMakeNoBrowser) {
    SetUpAndAnswer(false);

    EXPECT_EQ(nullptr, banner());
    EXPECT_TRUE(IsWindowVisible(m_hPicture));
}

TEST_F(BannerHostTest, ReachableHostsShowTheBrowserInFrontOfThePicture) {
    SetUpAndAnswer(true);

    ASSERT_NE(nullptr, banner());
    EXPECT_TRUE(IsWindowVisible(banner()));
    EXPECT_TRUE(SameRect(RectIn(m_hDialog, banner()), RectIn(m_hDialog, m_hPicture)));
    EXPECT_TRUE(PictureIsBelowBanner());
    EXPECT_TRUE(GetWindowLongPtrA(m_hPicture, GWL_STYLE) & WS_CLIPSIBLINGS);
    // The first tab stop, which takes the dialog's initial focus, is still Scan; the browser
    // is the last.
    EXPECT_EQ(GetDlgItem(m_hDialog, IDC_SCAN), GetNextDlgTabItem(m_hDialog, nullptr, FALSE));
    EXPECT_EQ(banner(), GetNextDlgTabItem(m_hDialog, GetDlgItem(m_hDialog, IDC_SCAN), TRUE));
}

// A dialog still hidden (as a modal one is during WM_INITDIALOG) starts no lookup: the check
// waits until the window is on screen, then runs once.
TEST_F(BannerHostTest, TheCheckStartsOnlyOnceTheDialogShows) {
    ShowWindow(m_hDialog, SW_HIDE);
    const UniqueHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    SetUpBanner(m_hDialog, m_sink, std::make_unique<FixedNameService>(true, done.get()));
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(done.get(), 200));

    ShowWindow(m_hDialog, SW_SHOWNA);
    ShowWindow(m_hDialog, SW_HIDE);
    ShowWindow(m_hDialog, SW_SHOWNA);
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(done.get(), 10) == WAIT_TIMEOUT && GetTickCount() - start < 10000) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
    }
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    EXPECT_NE(nullptr, banner());
}

TEST_F(BannerHostTest, WithoutTheControlHostThePictureIsLeftAlone) {
    ASSERT_TRUE(UnregisterClassA("AtlAxWin", GetModuleHandleA("atl.dll")));
    SetUpAndAnswer(true);

    EXPECT_EQ(nullptr, banner());
    EXPECT_TRUE(IsWindowVisible(m_hPicture));
    EXPECT_FALSE(GetWindowLongPtrA(m_hPicture, GWL_STYLE) & WS_CLIPSIBLINGS);
}

// Whatever the font and the display scale make of the dialog units, the picture fills the
// banner area exactly, with a bitmap of that size rather than a stretched one.
TEST_F(BannerHostTest, ThePictureFillsTheBannerArea) {
    SetUpAndAnswer(false);

    const RECT area = Area();
    EXPECT_TRUE(SameRect(area, RectIn(m_hDialog, m_hPicture)));
    BITMAP shown = {};
    const auto hShown =
        reinterpret_cast<HBITMAP>(SendMessageA(m_hPicture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(0, GetObjectA(hShown, sizeof(shown), &shown));
    EXPECT_EQ(area.right - area.left, shown.bmWidth);
    EXPECT_EQ(area.bottom - area.top, shown.bmHeight);
}

// A bitmap's pixels as GetDIBits gives them: 32 bits each, rows from the top.
std::vector<DWORD> PixelsOf(HBITMAP hBitmap) {
    BITMAP bitmap = {};
    GetObjectA(hBitmap, sizeof(bitmap), &bitmap);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = -bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight, 0xbdbdbdbd);
    const HDC hdc = CreateCompatibleDC(nullptr);
    GetDIBits(hdc, hBitmap, 0, static_cast<UINT>(bitmap.bmHeight), pixels.data(), &format,
              DIB_RGB_COLORS);
    DeleteDC(hdc);
    return pixels;
}

// The picture is made from the drawing's own bytes: at the size of the larger drawing it must
// be that drawing pixel for pixel, as the system itself decodes it (colours, row order).
TEST(BannerPicture, AtTheLargerDrawingsSizeItIsThatDrawing) {
    const HWND hPicture = CreateWindowExA(0, "Static", "", WS_POPUP | SS_BITMAP, 0, 0, 1, 1,
                                          nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hPicture);
    FitBannerPicture(hPicture, RECT{0, 0, 804, 204});
    const auto hShown =
        reinterpret_cast<HBITMAP>(SendMessageA(hPicture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    const auto hDrawing =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BANNER_2X),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, hShown);
    ASSERT_NE(nullptr, hDrawing);
    const std::vector<DWORD> expected = PixelsOf(hDrawing);
    EXPECT_EQ(size_t{804} * 204, expected.size());
    EXPECT_TRUE(expected == PixelsOf(hShown));
    DeleteObject(hDrawing);
    DestroyWindow(hPicture);
}

}  // namespace
}  // namespace brenvik
