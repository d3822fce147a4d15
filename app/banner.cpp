#include "app/banner.h"

#include <commctrl.h>
#include <exdisp.h>
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "app/banner_atl.h"
#include "app/banner_com.h"
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

// The connection lasts as long as the control does, so its cookie is not kept.
void ConnectSink(const UniqueComPtr<IWebBrowserApp>& browser, BrowserEventSink& sink) {
    auto container = browser.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container) {
        return;
    }
    UniqueComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents, point.put())) || !point) {
        return;
    }
    DWORD cookie = 0;
    point->Advise(&sink, &cookie);
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

bool IsPictureUnder(HWND hWindow, const RECT& bannerRect) {
    char className[16] = {};
    GetClassNameA(hWindow, className, sizeof(className));
    const LONG_PTR style = GetWindowLongPtrA(hWindow, GWL_STYLE);
    RECT rect;
    RECT overlap;
    return lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) == SS_BITMAP &&
           GetWindowRect(hWindow, &rect) && IntersectRect(&overlap, &rect, &bannerRect);
}

// The template stacks the picture above the browser without sibling clipping, so the picture
// would paint over the page. Each picture under the banner goes right below the browser and
// clips its siblings. Raising the browser instead would make it the first tab stop, and the
// dialog manager would give it the initial focus.
void PutPicturesBehind(HWND hDialog, HWND hBanner) {
    RECT bannerRect;
    if (!GetWindowRect(hBanner, &bannerRect)) {
        return;
    }
    std::vector<HWND> pictures;
    for (HWND hChild = GetWindow(hDialog, GW_CHILD); hChild != nullptr;
         hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        if (hChild != hBanner && IsPictureUnder(hChild, bannerRect)) {
            pictures.push_back(hChild);
        }
    }
    for (HWND hPicture : pictures) {
        const LONG_PTR style = GetWindowLongPtrA(hPicture, GWL_STYLE);
        SetWindowLongPtrA(hPicture, GWL_STYLE, style | WS_CLIPSIBLINGS);
        SetWindowPos(hPicture, hBanner, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void ShowBannerPage(HWND hDialog) {
    const HWND hBanner = GetDlgItem(hDialog, IDC_BANNER);
    if (hBanner == nullptr) {
        return;
    }
    PutPicturesBehind(hDialog, hBanner);
    ShowWindow(hBanner, SW_SHOWNA);
    NavigateToBannerPage(BrowserOf(hBanner));
}

constexpr UINT_PTR kAnswerSubclassId = 1;

// Registered, so that it can collide with none of the dialog's own messages.
UINT BannerAnswerMessage() {
    static const UINT message = RegisterWindowMessageA("Brenvik.BannerAnswer");
    return message;
}

// Sits in front of the dialog's procedure until the check of this dialog (tag) has answered.
LRESULT CALLBACK BannerAnswerProc(HWND hDialog, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR tag) {
    if (message == BannerAnswerMessage() && static_cast<DWORD_PTR>(lParam) == tag) {
        // Decided once: nothing listens for the banner after this.
        RemoveWindowSubclass(hDialog, BannerAnswerProc, id);
        if (wParam != 0) {
            ShowBannerPage(hDialog);
        }
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hDialog, BannerAnswerProc, id);
    }
    return DefSubclassProc(hDialog, message, wParam, lParam);
}

}  // namespace

void SetUpBanner(HWND hDialog, BrowserEventSink& sink) {
    SetUpBanner(hDialog, sink, MakeWinsockNameService());
}

void SetUpBanner(HWND hDialog, BrowserEventSink& sink, std::unique_ptr<NameService> names) {
    const HWND hBanner = GetDlgItem(hDialog, IDC_BANNER);
    // Connected in either state, so the sink sees the control's events for its whole life.
    ConnectSink(BrowserOf(hBanner), sink);
    if (hBanner == nullptr) {
        return;
    }
    // The picture shows until the check has said yes, however long its lookups take.
    ShowWindow(hBanner, SW_HIDE);
    // Tells this dialog's answer from that of an earlier check on a window of the same handle.
    static LONG s_lastTag = 0;
    const auto tag = static_cast<DWORD_PTR>(InterlockedIncrement(&s_lastTag));
    if (!SetWindowSubclass(hDialog, BannerAnswerProc, kAnswerSubclassId, tag)) {
        return;
    }
    if (!StartConnectivityCheck(hDialog, BannerAnswerMessage(), static_cast<LPARAM>(tag),
                                std::move(names))) {
        RemoveWindowSubclass(hDialog, BannerAnswerProc, kAnswerSubclassId);
    }
}

}  // namespace brenvik
