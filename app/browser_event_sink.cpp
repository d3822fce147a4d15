#include "app/browser_event_sink.h"

#include <exdisp.h>
#include <exdispid.h>

#include <string>

#include "app/banner_navigation_rule.h"

namespace brenvik {

namespace {

// The declared argument counts of the events acted on, and where Cancel and the address are
// among them, counted from the first declared argument.
constexpr UINT kBeforeNavigate2Arguments = 7;
constexpr UINT kBeforeNavigate2Url = 1;
constexpr UINT kBeforeNavigate2Cancel = 6;
constexpr UINT kNewWindow2Arguments = 2;
constexpr UINT kNewWindow2Cancel = 1;
constexpr UINT kNewWindow3Arguments = 5;
constexpr UINT kNewWindow3Cancel = 1;

// Argument position of an event declared with count arguments, or null when the event did
// not come with that many. IDispatch::Invoke gets its arguments last first.
VARIANT* ArgumentAt(DISPPARAMS* params, UINT count, UINT position) {
    if (params == nullptr || params->rgvarg == nullptr || params->cArgs != count) {
        return nullptr;
    }
    return &params->rgvarg[count - 1 - position];
}

// Cancel arrives as VT_BYREF | VT_BOOL: the answer is written through it.
void SetCancel(VARIANT* cancel) {
    if (cancel != nullptr && cancel->vt == (VT_BYREF | VT_BOOL) && cancel->pboolVal != nullptr) {
        *cancel->pboolVal = VARIANT_TRUE;
    }
}

// The address, a BSTR that normally arrives inside a VARIANT by reference, as UTF-8; empty
// when it has another type or is not valid UTF-16, which the rule refuses. Its full length
// is converted, so an embedded NUL reaches the rule.
std::string UrlOf(const VARIANT* argument) {
    if (argument != nullptr && argument->vt == (VT_BYREF | VT_VARIANT)) {
        argument = argument->pvarVal;
    }
    if (argument == nullptr || argument->vt != VT_BSTR || argument->bstrVal == nullptr) {
        return std::string();
    }
    const BSTR url = argument->bstrVal;
    const int wideLength = static_cast<int>(SysStringLen(url));
    if (wideLength == 0) {
        return std::string();
    }
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, url, wideLength, nullptr,
                                           0, nullptr, nullptr);
    if (length <= 0) {
        return std::string();
    }
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, url, wideLength, &text[0], length, nullptr,
                        nullptr);
    return text;
}

}  // namespace

HRESULT STDMETHODCALLTYPE BrowserEventSink::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) &&
        !IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE BrowserEventSink::AddRef() {
    return 1;
}

ULONG STDMETHODCALLTYPE BrowserEventSink::Release() {
    return 0;
}

HRESULT STDMETHODCALLTYPE BrowserEventSink::GetTypeInfoCount(UINT*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BrowserEventSink::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BrowserEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BrowserEventSink::Invoke(DISPID dispIdMember, REFIID, LCID, WORD,
                                                   DISPPARAMS* pDispParams, VARIANT*, EXCEPINFO*,
                                                   UINT*) {
    switch (dispIdMember) {
        case DISPID_BEFORENAVIGATE2: {
            // Every frame and every link comes this way, the banner page itself included.
            const std::string url =
                UrlOf(ArgumentAt(pDispParams, kBeforeNavigate2Arguments, kBeforeNavigate2Url));
            if (!IsBannerNavigationAllowed(url, m_pageUrl)) {
                SetCancel(
                    ArgumentAt(pDispParams, kBeforeNavigate2Arguments, kBeforeNavigate2Cancel));
            }
            break;
        }
        case DISPID_NEWWINDOW2:
            SetCancel(ArgumentAt(pDispParams, kNewWindow2Arguments, kNewWindow2Cancel));
            break;
        case DISPID_NEWWINDOW3:
            SetCancel(ArgumentAt(pDispParams, kNewWindow3Arguments, kNewWindow3Cancel));
            break;
        default:
            break;
    }
    return S_OK;
}

}  // namespace brenvik
