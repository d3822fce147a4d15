#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <memory>

#include "app/banner.h"
#include "app/banner_atl.h"
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

constexpr char kBrowserClass[] = "{8856F961-340A-11D0-A96B-00C04FD705A2}";

// A stand-in for the main dialog's banner area: the picture first, then the browser control
// in the system's ATL host window at the same place, as the template stacks them.
class BannerHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        // Registers the host window classes; Wine answers FALSE once they exist.
        AtlAxWinInit();
        const HINSTANCE hInstance = GetModuleHandleA(nullptr);
        m_hDialog = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 500, 200, nullptr,
                                    nullptr, hInstance, nullptr);
        ASSERT_NE(nullptr, m_hDialog);
        m_hPicture = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, 10, 10,
                                     402, 102, m_hDialog, nullptr, hInstance, nullptr);
        m_hButton =
            CreateWindowExA(0, "Button", "Scan", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 420, 10, 70,
                            20, m_hDialog, reinterpret_cast<HMENU>(IDC_SCAN), hInstance, nullptr);
        m_hBanner = CreateWindowExA(0, "AtlAxWin", kBrowserClass,
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 402, 102, m_hDialog,
                                    reinterpret_cast<HMENU>(IDC_BANNER), hInstance, nullptr);
        ASSERT_NE(nullptr, m_hBanner);
        IUnknown* pControl = nullptr;
        ASSERT_EQ(S_OK, AtlAxGetControl(m_hBanner, &pControl));
        pControl->Release();
    }
    void TearDown() override {
        if (m_hDialog != nullptr) {
            DestroyWindow(m_hDialog);
        }
        OleUninitialize();
    }

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
        for (HWND h = GetWindow(m_hBanner, GW_HWNDNEXT); h != nullptr;
             h = GetWindow(h, GW_HWNDNEXT)) {
            if (h == m_hPicture) {
                return true;
            }
        }
        return false;
    }

    HWND m_hDialog = nullptr;
    HWND m_hPicture = nullptr;
    HWND m_hButton = nullptr;
    HWND m_hBanner = nullptr;
    BrowserEventSink m_sink;
};

TEST_F(BannerHostTest, UnreachableHostsHideTheBrowserOverThePicture) {
    SetUpAndAnswer(false);

    EXPECT_FALSE(IsWindowVisible(m_hBanner));
    EXPECT_TRUE(IsWindowVisible(m_hPicture));
}

TEST_F(BannerHostTest, ReachableHostsKeepTheBrowserShownInFrontOfThePicture) {
    ASSERT_FALSE(PictureIsBelowBanner());
    SetUpAndAnswer(true);

    EXPECT_TRUE(IsWindowVisible(m_hBanner));
    EXPECT_TRUE(PictureIsBelowBanner());
    EXPECT_TRUE(GetWindowLongPtrA(m_hPicture, GWL_STYLE) & WS_CLIPSIBLINGS);
    // The first tab stop, which takes the dialog's initial focus, is still the button.
    EXPECT_EQ(m_hButton, GetNextDlgTabItem(m_hDialog, nullptr, FALSE));
}

TEST_F(BannerHostTest, AWindowWithoutTheControlIsLeftAlone) {
    DestroyWindow(m_hBanner);
    SetUpBanner(m_hDialog, m_sink, std::make_unique<FixedNameService>(true));

    EXPECT_TRUE(IsWindowVisible(m_hPicture));
    EXPECT_FALSE(GetWindowLongPtrA(m_hPicture, GWL_STYLE) & WS_CLIPSIBLINGS);
}

}  // namespace
}  // namespace brenvik
