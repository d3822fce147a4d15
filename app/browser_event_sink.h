// The main dialog's receiver of the banner browser's events: it refuses every navigation away
// from the banner page's host and every new window.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "app/settings.h"

namespace brenvik {

// Lives inside the dialog object, which outlives the dialog window and the control, so it is
// not reference-counted: AddRef gives 1 and Release 0 and nothing is freed.
// Connected to DWebBrowserEvents2: BeforeNavigate2 is cancelled unless
// IsBannerNavigationAllowed(url, pageUrl), NewWindow2 and NewWindow3 always are, every other
// event is accepted untouched.
class BrowserEventSink final : public IDispatch {
public:
    // pageUrl must outlive the sink.
    explicit BrowserEventSink(const char* pageUrl = BannerPageUrl) : m_pageUrl(pageUrl) {}
    BrowserEventSink(const BrowserEventSink&) = delete;
    BrowserEventSink& operator=(const BrowserEventSink&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                            LCID lcid, DISPID* rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                     EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

private:
    const char* m_pageUrl;
};

}  // namespace brenvik
