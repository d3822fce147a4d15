#include "app/banner.h"

#include <commctrl.h>
#include <exdisp.h>
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "app/banner_atl.h"
#include "app/banner_com.h"
#include "app/banner_navigation_rule.h"
#include "app/banner_picture.h"
#include "app/banner_site.h"
#include "app/connectivity.h"
#include "app/connectivity_worker.h"
#include "app/settings.h"
#include "res/resource.h"

namespace brenvik {

namespace {

UniqueComPtr<IWebBrowserApp> BrowserOf(HWND hBanner) {
    UniqueComPtr<IUnknown> control;
    if (hBanner == nullptr || FAILED(AtlAxGetControl(hBanner, control.put()))) {
        return {};
    }
    return control.query<IWebBrowserApp>(IID_IWebBrowserApp);
}

// The connection lasts as long as the control does, so its cookie is not kept. False when
// the browser offers no DWebBrowserEvents2 or refused the sink: navigations would then go
// unchecked.
bool ConnectSink(const UniqueComPtr<IWebBrowserApp>& browser, BrowserEventSink& sink) {
    auto container = browser.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container) {
        return false;
    }
    UniqueComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put())) || !point) {
        return false;
    }
    DWORD cookie = 0;
    return SUCCEEDED(point->Advise(&sink, &cookie));
}

// The download control on the site and the sink on the events, both before anything loads.
bool GuardBrowser(const UniqueComPtr<IWebBrowserApp>& browser, BrowserEventSink& sink) {
    const auto control = browser.query<IOleObject>(IID_IOleObject);
    return control && GuardBannerSite(control.get()) && ConnectSink(browser, sink);
}

UniqueBstr BstrFromAnsi(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        return UniqueBstr(nullptr);
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    return UniqueBstr(SysAllocString(wide.c_str()));
}

VARIANT MissingArgument() {
    VARIANT missing;
    VariantInit(&missing);
    missing.vt = VT_ERROR;
    missing.scode = DISP_E_PARAMNOTFOUND;
    return missing;
}

// Only starts the load; the page arrives while the dialog runs.
void NavigateToBannerPage(const UniqueComPtr<IWebBrowserApp>& browser) {
    const UniqueBstr url = BstrFromAnsi(BannerPageUrl);
    if (!browser || url.get() == nullptr) {
        return;
    }
    VARIANT flags = MissingArgument();
    VARIANT targetFrame = MissingArgument();
    VARIANT postData = MissingArgument();
    VARIANT headers = MissingArgument();
    browser->Navigate(url.get(), &flags, &targetFrame, &postData, &headers);
}

// The banner area in dialog units: where the picture lies and, once shown, the browser.
constexpr RECT kBannerArea = {7, 7, 7 + 268, 7 + 68};
constexpr char kBrowserClass[] = "{8856F961-340A-11D0-A96B-00C04FD705A2}";
constexpr UINT_PTR kAnswerSubclassId = 1;

RECT BannerAreaOf(HWND hDialog) {
    RECT area = kBannerArea;
    MapDialogRect(hDialog, &area);
    return area;
}

bool IsPictureIn(HWND hWindow, const RECT& area) {
    char className[16] = {};
    GetClassNameA(hWindow, className, sizeof(className));
    const LONG_PTR style = GetWindowLongPtrA(hWindow, GWL_STYLE);
    RECT rect;
    if (lstrcmpiA(className, "Static") != 0 || (style & SS_TYPEMASK) != SS_BITMAP ||
        !GetWindowRect(hWindow, &rect)) {
        return false;
    }
    // Its result cannot tell failure from a parent whose client area starts at the origin.
    MapWindowPoints(nullptr, GetParent(hWindow), reinterpret_cast<POINT*>(&rect), 2);
    RECT overlap;
    return IntersectRect(&overlap, &rect, &area) != FALSE;
}

// The bitmap statics of the dialog that lie in the banner area.
std::vector<HWND> PicturesIn(HWND hDialog, const RECT& area) {
    std::vector<HWND> pictures;
    for (HWND hChild = GetWindow(hDialog, GW_CHILD); hChild != nullptr;
         hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        if (IsPictureIn(hChild, area)) {
            pictures.push_back(hChild);
        }
    }
    return pictures;
}

// The browser is created last, so it is the last tab stop, as the dialog's own items would
// place it, and the dialog's initial focus stays on Scan. Each picture goes right below it
// and clips its siblings, or it would paint over the page.
void PutPicturesBehind(HWND hBanner, const std::vector<HWND>& pictures) {
    for (HWND hPicture : pictures) {
        const LONG_PTR style = GetWindowLongPtrA(hPicture, GWL_STYLE);
        SetWindowLongPtrA(hPicture, GWL_STYLE, style | WS_CLIPSIBLINGS);
        SetWindowPos(hPicture, hBanner, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

// The browser control in the system's control host, hidden until it has its sink.
HWND CreateBanner(HWND hDialog, const RECT& area) {
    return CreateWindowExA(0, "AtlAxWin", kBrowserClass, WS_CHILD | WS_TABSTOP, area.left, area.top,
                           area.right - area.left, area.bottom - area.top, hDialog,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_BANNER)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hDialog, GWLP_HINSTANCE)),
                           nullptr);
}

// Creating the control loads the browser and starts OLE on the dialog's thread: that is
// paid only here, once the maker's hosts have answered, never while the window comes up. So
// is loading ATL (atl.dll is delay-loaded) when initHost asks to register its host classes.
void ShowBannerPage(HWND hDialog, BrowserEventSink& sink, bool initHost) {
    // The build refuses a page that is not https; this holds whatever the build was given.
    if (!IsBannerNavigationAllowed(BannerPageUrl, BannerPageUrl)) {
        return;
    }
    if (initHost) {
        AtlAxWinInit();
    }
    const RECT area = BannerAreaOf(hDialog);
    const HWND hBanner = CreateBanner(hDialog, area);
    if (hBanner == nullptr) {
        return;
    }
    const UniqueComPtr<IWebBrowserApp> browser = BrowserOf(hBanner);
    if (!browser || !GuardBrowser(browser, sink)) {
        // An unguarded browser loads nothing: the picture stays.
        DestroyWindow(hBanner);
        return;
    }
    PutPicturesBehind(hBanner, PicturesIn(hDialog, area));
    ShowWindow(hBanner, SW_SHOWNA);
    NavigateToBannerPage(browser);
}

// Registered, so that they can collide with none of the dialog's own messages.
UINT BannerAnswerMessage() {
    static const UINT message = RegisterWindowMessageA("Brenvik.BannerAnswer");
    return message;
}
UINT BannerStartMessage() {
    static const UINT message = RegisterWindowMessageA("Brenvik.BannerStart");
    return message;
}

// What the dialog waits for: to be shown, to start its check over names (held until then);
// the answer of that check (tag); the sink to connect, and whether the control host is still
// to be initialised.
struct PendingBanner {
    LPARAM tag;
    BrowserEventSink* sink;
    bool initHost;
    std::unique_ptr<NameService> names;
};

void StopListening(HWND hDialog, SUBCLASSPROC proc, UINT_PTR id, PendingBanner* pending) {
    RemoveWindowSubclass(hDialog, proc, id);
    delete pending;
}

// Starts the check once; false when it could not be started.
bool StartCheck(HWND hDialog, PendingBanner* pending) {
    return StartConnectivityCheck(hDialog, BannerAnswerMessage(), pending->tag,
                                  std::move(pending->names));
}

// Sits in front of the dialog's procedure until the dialog's check has answered.
LRESULT CALLBACK BannerAnswerProc(HWND hDialog, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR data) {
    auto* pending = reinterpret_cast<PendingBanner*>(data);
    if (message == WM_SHOWWINDOW && wParam != FALSE && pending->names) {
        // Handled once the window is up: the check's thread and the DLLs it loads then take
        // nothing from the window's way to the screen. A modal dialog is shown only when its
        // queue is empty, so nothing posted before could wait for that.
        PostMessageA(hDialog, BannerStartMessage(), 0, pending->tag);
    }
    if (message == BannerStartMessage() && lParam == pending->tag) {
        if (pending->names && !StartCheck(hDialog, pending)) {
            StopListening(hDialog, BannerAnswerProc, id, pending);
        }
        return 0;
    }
    if (message == BannerAnswerMessage() && lParam == pending->tag) {
        BrowserEventSink* sink = pending->sink;
        const bool initHost = pending->initHost;
        // Decided once: nothing listens for the banner after this.
        StopListening(hDialog, BannerAnswerProc, id, pending);
        if (wParam != 0) {
            ShowBannerPage(hDialog, *sink, initHost);
        }
        return 0;
    }
    if (message == WM_NCDESTROY) {
        StopListening(hDialog, BannerAnswerProc, id, pending);
    }
    return DefSubclassProc(hDialog, message, wParam, lParam);
}

void StartBanner(HWND hDialog, BrowserEventSink& sink, std::unique_ptr<NameService> names,
                 bool initHost) {
    if (!IsWindow(hDialog)) {
        return;
    }
    const RECT area = BannerAreaOf(hDialog);
    for (HWND hPicture : PicturesIn(hDialog, area)) {
        FitBannerPicture(hPicture, area);
    }
    // Tells this dialog's answer from that of an earlier check on a window of the same handle.
    static LONG s_lastTag = 0;
    auto pending = std::make_unique<PendingBanner>(PendingBanner{
        static_cast<LPARAM>(InterlockedIncrement(&s_lastTag)), &sink, initHost, std::move(names)});
    if (!SetWindowSubclass(hDialog, BannerAnswerProc, kAnswerSubclassId,
                           reinterpret_cast<DWORD_PTR>(pending.get()))) {
        return;
    }
    PendingBanner* listening = pending.release();
    // A window already on screen gets no WM_SHOWWINDOW to wait for.
    if (IsWindowVisible(hDialog) && !StartCheck(hDialog, listening)) {
        StopListening(hDialog, BannerAnswerProc, kAnswerSubclassId, listening);
    }
}

}  // namespace

void SetUpBanner(HWND hDialog, BrowserEventSink& sink) {
    StartBanner(hDialog, sink, MakeWinsockNameService(), true);
}

void SetUpBanner(HWND hDialog, BrowserEventSink& sink, std::unique_ptr<NameService> names) {
    StartBanner(hDialog, sink, std::move(names), false);
}

}  // namespace brenvik
