#include "app/browser_event_sink.h"

#include <exdisp.h>

namespace brenvik {

HRESULT STDMETHODCALLTYPE BrowserEventSink::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) &&
        !IsEqualIID(riid, DIID_DWebBrowserEvents)) {
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

// Every event is accepted untouched, so no navigation or new window is ever cancelled.
HRESULT STDMETHODCALLTYPE BrowserEventSink::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*,
                                                   VARIANT*, EXCEPINFO*, UINT*) {
    return S_OK;
}

}  // namespace brenvik
