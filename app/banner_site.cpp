#include "app/banner_site.h"

#include <ocidl.h>

#include <utility>

#include "app/banner_com.h"

namespace brenvik {

namespace {

// Neither the system's atl.dll (ATL 3, whose ambient dispatch knows no download control) nor
// Wine's (no IDispatch on its site at all) can answer DISPID_AMBIENT_DLCONTROL, which the
// browser asks through its client site's IDispatch. This site answers it and hands every
// other call, and every other interface (in-place site, control site, container), to the
// host's site, so the host's ambient properties and in-place activation stay as they were.
class GuardedSite final : public IOleClientSite, public IDispatch {
public:
    explicit GuardedSite(UniqueComPtr<IOleClientSite> host)
        : m_host(std::move(host)), m_hostDispatch(m_host.query<IDispatch>(IID_IDispatch)) {}
    GuardedSite(const GuardedSite&) = delete;
    GuardedSite& operator=(const GuardedSite&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
            *ppv = static_cast<IOleClientSite*>(this);
        } else if (IsEqualIID(riid, IID_IDispatch)) {
            *ppv = static_cast<IDispatch*>(this);
        } else {
            return m_host->QueryInterface(riid, ppv);
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_refs));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) {
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

    HRESULT STDMETHODCALLTYPE SaveObject() override { return m_host->SaveObject(); }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** ppmk) override {
        return m_host->GetMoniker(assign, which, ppmk);
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** ppContainer) override {
        return m_host->GetContainer(ppContainer);
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return m_host->ShowObject(); }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override {
        return m_host->OnShowWindow(show);
    }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override {
        return m_host->RequestNewObjectLayout();
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        if (m_hostDispatch) {
            return m_hostDispatch->GetTypeInfoCount(pctinfo);
        }
        if (pctinfo == nullptr) {
            return E_POINTER;
        }
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** ppTInfo) override {
        return m_hostDispatch ? m_hostDispatch->GetTypeInfo(index, lcid, ppTInfo) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        return m_hostDispatch ? m_hostDispatch->GetIDsOfNames(riid, names, count, lcid, ids)
                              : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override {
        if (id == DISPID_AMBIENT_DLCONTROL) {
            if ((flags & DISPATCH_PROPERTYGET) == 0) {
                return DISP_E_MEMBERNOTFOUND;
            }
            if (result == nullptr) {
                return E_POINTER;
            }
            VariantInit(result);
            result->vt = VT_I4;
            result->lVal = kBannerDownloadControl;
            return S_OK;
        }
        return m_hostDispatch ? m_hostDispatch->Invoke(id, riid, lcid, flags, params, result,
                                                       exception, argError)
                              : DISP_E_MEMBERNOTFOUND;
    }

private:
    ~GuardedSite() = default;

    LONG m_refs = 1;
    UniqueComPtr<IOleClientSite> m_host;
    UniqueComPtr<IDispatch> m_hostDispatch;
};

}  // namespace

bool GuardBannerSite(IOleObject* control) {
    UniqueComPtr<IOleClientSite> host;
    if (control == nullptr || FAILED(control->GetClientSite(host.put())) || !host) {
        return false;
    }
    UniqueComPtr<IOleClientSite> site;
    site.reset(new GuardedSite(std::move(host)));
    UniqueComPtr<IOleClientSite> taken;
    if (FAILED(control->SetClientSite(site.get())) || FAILED(control->GetClientSite(taken.put())) ||
        taken.get() != site.get()) {
        return false;
    }
    // The control may have read its ambient properties already, when the host gave it its
    // first site; this makes it read them again before anything is loaded.
    UniqueComPtr<IOleControl> ambient;
    if (SUCCEEDED(
            control->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(ambient.put()))) &&
        ambient) {
        ambient->OnAmbientPropertyChange(DISPID_AMBIENT_DLCONTROL);
    }
    return true;
}

}  // namespace brenvik
