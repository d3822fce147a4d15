#include <windows.h>
#include <commctrl.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtmdid.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/banner.h"
#include "app/banner_atl.h"
#include "app/banner_com.h"
#include "app/banner_picture.h"
#include "app/browser_event_sink.h"
#include "app/connectivity.h"
#include "app/settings.h"
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
        {&IID_IUnknown, true},
        {&IID_IDispatch, true},
        {&DIID_DWebBrowserEvents2, true},
        {&DIID_DWebBrowserEvents, false},
        {&IID_IWebBrowserApp, false},
        {&IID_IConnectionPointContainer, false},
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

constexpr char kPage[] = "https://download.example.test/msgbox/tool.htm";

// One event's arguments as the browser passes them: last first, each by reference, the
// address a BSTR inside a VARIANT, Cancel a VARIANT_BOOL that starts false.
class EventArguments {
public:
    // url: the address argument of BeforeNavigate2 and NewWindow3, or null for none.
    EventArguments(DISPID event, const wchar_t* url, size_t urlLength = 0)
        : m_url(url == nullptr
                    ? nullptr
                    : SysAllocStringLen(
                          url, static_cast<UINT>(urlLength != 0 ? urlLength : lstrlenW(url)))) {
        VariantInit(&m_urlValue);
        m_urlValue.vt = VT_BSTR;
        m_urlValue.bstrVal = m_url;
        m_args.resize(event == DISPID_BEFORENAVIGATE2 ? 7 : event == DISPID_NEWWINDOW3 ? 5 : 2);
        for (VARIANT& arg : m_args) {
            VariantInit(&arg);
            arg.vt = VT_BYREF | VT_VARIANT;
            arg.pvarVal = &m_empty;
        }
        if (event == DISPID_BEFORENAVIGATE2) {
            at(1).pvarVal = &m_urlValue;
            setCancelAt(6);
        } else if (event == DISPID_NEWWINDOW3) {
            at(0).vt = VT_BYREF | VT_DISPATCH;
            at(0).ppdispVal = &m_newWindow;
            setCancelAt(1);
            at(2).vt = VT_I4;
            at(3).vt = VT_BSTR;
            at(3).bstrVal = m_url;
            at(4).vt = VT_BSTR;
            at(4).bstrVal = m_url;
        } else {
            at(0).vt = VT_BYREF | VT_DISPATCH;
            at(0).ppdispVal = &m_newWindow;
            setCancelAt(1);
        }
    }
    ~EventArguments() { SysFreeString(m_url); }
    EventArguments(const EventArguments&) = delete;
    EventArguments& operator=(const EventArguments&) = delete;

    // Argument position as declared, first argument 0.
    VARIANT& at(size_t position) { return m_args[m_args.size() - 1 - position]; }
    DISPPARAMS* params() {
        m_params = {m_args.data(), nullptr, static_cast<UINT>(m_args.size()), 0};
        return &m_params;
    }
    VARIANT_BOOL cancel = VARIANT_FALSE;

private:
    void setCancelAt(size_t position) {
        at(position).vt = VT_BYREF | VT_BOOL;
        at(position).pboolVal = &cancel;
    }

    BSTR m_url;
    VARIANT m_urlValue;
    VARIANT m_empty = {};
    IDispatch* m_newWindow = nullptr;
    std::vector<VARIANT> m_args;
    DISPPARAMS m_params = {};
};

HRESULT Fire(BrowserEventSink& sink, DISPID event, EventArguments& args) {
    return sink.Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, args.params(),
                       nullptr, nullptr, nullptr);
}

TEST(BrowserEventSink, CancelsEveryNavigationButToThePagesHost) {
    BrowserEventSink sink(kPage);
    const struct {
        std::wstring url;
        bool cancelled;
    } cases[] = {
        {L"https://download.example.test/msgbox/tool.htm", false},
        {L"https://DOWNLOAD.example.test/msgbox/picture.htm?x#y", false},
        {L"https://www.example.test/", true},
        {L"http://download.example.test/msgbox/tool.htm", true},
        {L"https://download.example.test@evil.test/", true},
        {L"https://download.example.test:8443/", true},
        {L"about:blank", true},
        {L"javascript:alert(1)", true},
        {L"file:///C:/Windows/win.ini", true},
        {L"res://ieframe.dll/navcancl.htm", true},
        {L"", true},
        {L"https://evil.test\\@download.example.test/", true},
        {std::wstring(L"https://download.example.test\0.evil.test/", 41), true},
        {L"https://download.example.test/\n", true},
        // A lone surrogate is no text: refused, not passed on with a replacement character.
        {L"https://download.example.test/\xD800", true},
    };
    for (const auto& c : cases) {
        EventArguments args(DISPID_BEFORENAVIGATE2, c.url.c_str(), c.url.size());
        EXPECT_EQ(S_OK, Fire(sink, DISPID_BEFORENAVIGATE2, args));
        EXPECT_EQ(c.cancelled ? VARIANT_TRUE : VARIANT_FALSE, args.cancel) << c.url.size();
    }
}

// An address that is missing, or of another type than a BSTR, is no address to allow.
TEST(BrowserEventSink, CancelsANavigationWhoseAddressItCannotRead) {
    BrowserEventSink sink(kPage);
    EventArguments missing(DISPID_BEFORENAVIGATE2, nullptr);
    EXPECT_EQ(S_OK, Fire(sink, DISPID_BEFORENAVIGATE2, missing));
    EXPECT_EQ(VARIANT_TRUE, missing.cancel);

    EventArguments number(DISPID_BEFORENAVIGATE2, nullptr);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    number.at(1).pvarVal = &value;
    EXPECT_EQ(S_OK, Fire(sink, DISPID_BEFORENAVIGATE2, number));
    EXPECT_EQ(VARIANT_TRUE, number.cancel);

    // Not by reference: still the page's own address.
    EventArguments direct(DISPID_BEFORENAVIGATE2, L"https://download.example.test/a.htm");
    VARIANT url = *direct.at(1).pvarVal;
    direct.at(1) = url;
    EXPECT_EQ(S_OK, Fire(sink, DISPID_BEFORENAVIGATE2, direct));
    EXPECT_EQ(VARIANT_FALSE, direct.cancel);
}

TEST(BrowserEventSink, CancelsEveryNewWindowAndLeavesOtherEventsAlone) {
    BrowserEventSink sink(kPage);
    const struct {
        DISPID event;
        DISPID argumentsOf;
        bool cancelled;
    } cases[] = {
        {DISPID_NEWWINDOW2, DISPID_NEWWINDOW2, true},
        {DISPID_NEWWINDOW3, DISPID_NEWWINDOW3, true},
        // Other events that carry a VARIANT_BOOL by reference keep it as it came.
        {DISPID_FILEDOWNLOAD, DISPID_NEWWINDOW2, false},
        {DISPID_WINDOWCLOSING, DISPID_NEWWINDOW2, false},
        {DISPID_NAVIGATECOMPLETE2, DISPID_NEWWINDOW2, false},
        // Arguments that are not the event's own are left as they are.
        {DISPID_NEWWINDOW3, DISPID_NEWWINDOW2, false},
        {DISPID_BEFORENAVIGATE2, DISPID_NEWWINDOW3, false},
    };
    for (const auto& c : cases) {
        EventArguments args(c.argumentsOf, L"https://download.example.test/msgbox/tool.htm");
        EXPECT_EQ(S_OK, Fire(sink, c.event, args));
        EXPECT_EQ(c.cancelled ? VARIANT_TRUE : VARIANT_FALSE, args.cancel) << c.event;
    }
    EXPECT_EQ(S_OK, sink.Invoke(DISPID_NEWWINDOW2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                nullptr, nullptr, nullptr, nullptr));
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

// Records each BeforeNavigate2 it is given: the address, and whether Cancel was already set
// when it came. Wine calls a point's sinks in the order they connected, so a recorder that
// connects after the banner's sink sees that sink's answer.
class NavigationRecorder final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) &&
            !IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IDispatch*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 0; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id != DISPID_BEFORENAVIGATE2 || params->cArgs != 7) {
            return S_OK;
        }
        const VARIANT& url = params->rgvarg[5];
        const VARIANT& cancel = params->rgvarg[0];
        if (url.vt == (VT_BYREF | VT_VARIANT) && url.pvarVal->vt == VT_BSTR &&
            cancel.vt == (VT_BYREF | VT_BOOL)) {
            seen.push_back({url.pvarVal->bstrVal, *cancel.pboolVal == VARIANT_TRUE});
        }
        return S_OK;
    }

    std::vector<std::pair<std::wstring, bool>> seen;
};

TEST_F(BannerHostTest, TheRealBrowserAsksTheSinkBeforeEachNavigation) {
    SetUpAndAnswer(true);
    ASSERT_NE(nullptr, banner());
    UniqueComPtr<IUnknown> control;
    ASSERT_TRUE(SUCCEEDED(AtlAxGetControl(banner(), control.put())));
    const auto browser = control.query<IWebBrowser2>(IID_IWebBrowser2);
    const auto container = control.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ASSERT_TRUE(browser && container);
    UniqueComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()));
    NavigationRecorder recorder;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(&recorder, &cookie));

    // The page as the build gives it, over plain http, and another page on its host.
    const std::string page = BannerPageUrl;
    const struct {
        std::string url;
        bool cancelled;
    } cases[] = {
        {"https://evil.example.test/", true},
        {"http://" + page.substr(8), true},
        {"about:blank", true},
        {page + "?other", false},
    };
    for (const auto& c : cases) {
        recorder.seen.clear();
        const std::wstring wide(c.url.begin(), c.url.end());
        const UniqueBstr url(SysAllocString(wide.c_str()));
        VARIANT none;
        VariantInit(&none);
        EXPECT_EQ(S_OK, browser->Navigate(url.get(), &none, &none, &none, &none));
        // The browser fires the event from a task it posts to its own window.
        const DWORD start = GetTickCount();
        MSG msg;
        while (recorder.seen.empty() && GetTickCount() - start < 5000) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageA(&msg);
            }
            Sleep(1);
        }
        ASSERT_EQ(1u, recorder.seen.size()) << c.url;
        EXPECT_EQ(wide, recorder.seen[0].first);
        EXPECT_EQ(c.cancelled, recorder.seen[0].second) << c.url;
    }
    point->Unadvise(cookie);
}

TEST_F(BannerHostTest, TheBrowsersSiteAnswersThePicturesOnlyDownloadControl) {
    SetUpAndAnswer(true);
    ASSERT_NE(nullptr, banner());
    UniqueComPtr<IUnknown> control;
    ASSERT_TRUE(SUCCEEDED(AtlAxGetControl(banner(), control.put())));
    const auto object = control.query<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    UniqueComPtr<IOleClientSite> site;
    ASSERT_EQ(S_OK, object->GetClientSite(site.put()));
    const auto dispatch = site.query<IDispatch>(IID_IDispatch);
    ASSERT_TRUE(dispatch);

    // Asked as the browser asks: a property get with no arguments.
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    result.vt = VT_ERROR;
    ASSERT_EQ(S_OK, dispatch->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, LOCALE_SYSTEM_DEFAULT,
                                     DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
    ASSERT_EQ(VT_I4, result.vt);
    // Pictures; no scripts, applets, controls (downloaded or not), behaviours, frames or
    // refresh moves; nothing offline, silent or download-only.
    EXPECT_EQ(0x20089790, result.lVal);
    EXPECT_EQ(
        0, result.lVal & (DLCTL_OFFLINE | DLCTL_FORCEOFFLINE | DLCTL_SILENT | DLCTL_DOWNLOADONLY));
    // Not something a caller can set.
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              dispatch->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, LOCALE_SYSTEM_DEFAULT,
                               DISPATCH_PROPERTYPUT, &none, nullptr, nullptr, nullptr));

    // Behind it the host's site still places the control: its in-place site is the banner.
    const auto inPlace = site.query<IOleInPlaceSite>(IID_IOleInPlaceSite);
    ASSERT_TRUE(inPlace);
    HWND hWindow = nullptr;
    EXPECT_EQ(S_OK, inPlace->GetWindow(&hWindow));
    EXPECT_EQ(banner(), hWindow);
    UniqueComPtr<IOleContainer> hostContainer;
    EXPECT_EQ(S_OK, site->GetContainer(hostContainer.put()));
}

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
