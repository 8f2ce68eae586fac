#include "platform/ole/site.h"

#include <strings.h>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"

namespace platform::ole {

using platform::com::Variant;

// ---- the site ----

ControlSite* ControlSite::Create() {
    auto* site = new ControlSite();
    site->ambient_[DISPID_AMBIENT_USERMODE] = Variant::Bool(true);
    return site;
}

void ControlSite::SetAmbient(DISPID id, const Variant& value) {
    ambient_[id] = value;
    if (!control_) return;
    IOleControl* control = nullptr;
    if (SUCCEEDED(control_->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(&control)))) {
        control->OnAmbientPropertyChange(id);
        control->Release();
    }
}

HRESULT ControlSite::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
        *ppv = static_cast<IOleClientSite*>(this);
    } else if (riid == IID_IOleControlSite) {
        *ppv = static_cast<IOleControlSite*>(this);
    } else if (riid == IID_IDispatch) {
        *ppv = static_cast<IDispatch*>(this);
    } else if (riid == IID_IPropertyNotifySink) {
        *ppv = static_cast<IPropertyNotifySink*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG ControlSite::AddRef() {
    return ++refs_;
}

ULONG ControlSite::Release() {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

HRESULT ControlSite::GetContainer(IOleContainer** pp) {
    if (!pp) return E_POINTER;
    *pp = nullptr;
    return E_NOINTERFACE;
}

HRESULT ControlSite::OnControlInfoChanged() {
    ++controlInfoChanges;
    return S_OK;
}

HRESULT ControlSite::LockInPlaceActive(BOOL fLock) {
    if (fLock) {
        ++locks;
        ++lockCalls;
    } else if (locks > 0) {
        --locks;
    }
    return S_OK;
}

HRESULT ControlSite::GetExtendedControl(IDispatch** pp) {
    if (!pp) return E_POINTER;
    *pp = nullptr;
    return E_NOTIMPL;
}

HRESULT ControlSite::GetTypeInfoCount(UINT* p) {
    if (!p) return E_POINTER;
    *p = 0;
    return S_OK;
}

HRESULT ControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return DISP_E_UNKNOWNNAME;
}

HRESULT ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                            EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    auto it = ambient_.find(id);
    if (it == ambient_.end()) return DISP_E_MEMBERNOTFOUND;
    if (result) {
        VariantInit(result);
        VariantCopy(result, &it->second.get());
    }
    return S_OK;
}

HRESULT ControlSite::OnChanged(DISPID dispID) {
    changes.push_back(dispID);
    return S_OK;
}

// ---- the event sink ----

EventSink* EventSink::Create(REFIID eventsIid, ITypeInfo* eventsInfo) {
    return new EventSink(eventsIid, eventsInfo);
}

EventSink::EventSink(REFIID iid, ITypeInfo* info) : iid_(iid), info_(info) {
    if (info_) info_->AddRef();
}

EventSink::~EventSink() {
    if (info_) info_->Release();
}

HRESULT EventSink::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || (riid == iid_ && riid != GUID_NULL)) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG EventSink::Release() {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

HRESULT EventSink::GetTypeInfoCount(UINT* p) {
    if (!p) return E_POINTER;
    *p = 0;
    return S_OK;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                          UINT*) {
    Event e;
    e.id = id;
    e.name = "#" + std::to_string(id);
    if (info_) {
        BSTR name = nullptr;
        UINT count = 0;
        if (SUCCEEDED(info_->GetNames(id, &name, 1, &count)) && count == 1) {
            e.name = platform::com::Utf8(name);
        }
        SysFreeString(name);
    }
    if (params) {
        for (UINT i = params->cArgs; i > 0; --i) e.args.emplace_back(params->rgvarg[i - 1]);
    }
    events.push_back(e);
    if (onEvent) onEvent(events.back());
    return S_OK;
}

// ---- the hosted control ----

namespace {

// The default source interface of the control's class, with its type information.
bool EventInterfaceOf(IUnknown* control, IID* iid, ITypeInfo** info) {
    *info = nullptr;
    IProvideClassInfo* provide = nullptr;
    if (FAILED(
            control->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&provide)))) {
        return false;
    }
    ITypeInfo* coclass = nullptr;
    bool found = false;
    if (SUCCEEDED(provide->GetClassInfo(&coclass))) {
        TYPEATTR* attr = nullptr;
        coclass->GetTypeAttr(&attr);
        for (UINT i = 0; attr && i < attr->cImplTypes && !found; ++i) {
            int flags = 0;
            HREFTYPE ref;
            if (FAILED(coclass->GetImplTypeFlags(i, &flags)) ||
                (flags & (IMPLTYPEFLAG_FSOURCE | IMPLTYPEFLAG_FDEFAULT)) !=
                    (IMPLTYPEFLAG_FSOURCE | IMPLTYPEFLAG_FDEFAULT) ||
                FAILED(coclass->GetRefTypeOfImplType(i, &ref))) {
                continue;
            }
            ITypeInfo* events = nullptr;
            if (SUCCEEDED(coclass->GetRefTypeInfo(ref, &events))) {
                TYPEATTR* ea = nullptr;
                events->GetTypeAttr(&ea);
                *iid = ea->guid;
                events->ReleaseTypeAttr(ea);
                *info = events;
                found = true;
            }
        }
        if (attr) coclass->ReleaseTypeAttr(attr);
        coclass->Release();
    }
    provide->Release();
    return found;
}

HRESULT Advise(IUnknown* control, REFIID iid, IUnknown* sink, DWORD* cookie) {
    IConnectionPointContainer* cpc = nullptr;
    HRESULT hr =
        control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc));
    if (FAILED(hr)) return hr;
    IConnectionPoint* point = nullptr;
    hr = cpc->FindConnectionPoint(iid, &point);
    cpc->Release();
    if (FAILED(hr)) return hr;
    hr = point->Advise(sink, cookie);
    point->Release();
    return hr;
}

void Unadvise(IUnknown* control, REFIID iid, DWORD cookie) {
    if (!cookie) return;
    IConnectionPointContainer* cpc = nullptr;
    if (FAILED(control->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&cpc)))) {
        return;
    }
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(cpc->FindConnectionPoint(iid, &point))) {
        point->Unadvise(cookie);
        point->Release();
    }
    cpc->Release();
}

}  // namespace

HostedControl::~HostedControl() {
    Close();
}

HRESULT HostedControl::Create(REFCLSID clsid, const std::string& name, bool runMode) {
    IUnknown* object = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&object));
    if (FAILED(hr)) return hr;
    hr = Attach(object, name, runMode);
    object->Release();
    return hr;
}

HRESULT HostedControl::Attach(IUnknown* control, const std::string& name, bool runMode) {
    Close();
    if (!control) return E_POINTER;
    HRESULT hr = control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
    if (FAILED(hr)) return hr;
    unknown_ = control;
    unknown_->AddRef();
    site_ = ControlSite::Create();
    site_->SetAmbient(DISPID_AMBIENT_DISPLAYNAME, Variant::String(name));
    site_->SetUserMode(runMode);
    site_->Attach(unknown_);
    IPersist* persist = nullptr;
    if (SUCCEEDED(unknown_->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)))) {
        persist->GetClassID(&clsid_);
        persist->Release();
    }
    IOleObject* ole = nullptr;
    if (SUCCEEDED(unknown_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)))) {
        ole->SetClientSite(site_);
        ole->Release();
    }
    Advise(unknown_, IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(site_),
           &notifyCookie_);
    IID eventsIid = GUID_NULL;
    ITypeInfo* info = nullptr;
    EventInterfaceOf(unknown_, &eventsIid, &info);
    events_ = EventSink::Create(eventsIid, info);
    if (info) info->Release();
    if (eventsIid != GUID_NULL) Advise(unknown_, eventsIid, events_, &eventCookie_);
    return S_OK;
}

HRESULT HostedControl::InitNew() {
    IPersistPropertyBag* persist = nullptr;
    HRESULT hr = unknown_ ? unknown_->QueryInterface(IID_IPersistPropertyBag,
                                                     reinterpret_cast<void**>(&persist))
                          : E_POINTER;
    if (FAILED(hr)) return hr;
    hr = persist->InitNew();
    persist->Release();
    return hr;
}

HRESULT HostedControl::Load(IPropertyBag* bag) {
    IPersistPropertyBag* persist = nullptr;
    HRESULT hr = unknown_ ? unknown_->QueryInterface(IID_IPersistPropertyBag,
                                                     reinterpret_cast<void**>(&persist))
                          : E_POINTER;
    if (FAILED(hr)) return hr;
    hr = persist->Load(bag, nullptr);
    persist->Release();
    return hr;
}

HRESULT HostedControl::Save(IPropertyBag* bag, bool saveAll) {
    IPersistPropertyBag* persist = nullptr;
    HRESULT hr = unknown_ ? unknown_->QueryInterface(IID_IPersistPropertyBag,
                                                     reinterpret_cast<void**>(&persist))
                          : E_POINTER;
    if (FAILED(hr)) return hr;
    hr = persist->Save(bag, TRUE, saveAll ? TRUE : FALSE);
    persist->Release();
    return hr;
}

void HostedControl::Close() {
    if (unknown_) {
        if (events_) Unadvise(unknown_, events_->Iid(), eventCookie_);
        Unadvise(unknown_, IID_IPropertyNotifySink, notifyCookie_);
        IOleObject* ole = nullptr;
        if (SUCCEEDED(unknown_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)))) {
            ole->Close(0);
            ole->SetClientSite(nullptr);
            ole->Release();
        }
        if (site_) site_->Attach(nullptr);
    }
    eventCookie_ = notifyCookie_ = 0;
    if (dispatch_) dispatch_->Release();
    if (unknown_) unknown_->Release();
    if (site_) site_->Release();
    if (events_) events_->Release();
    dispatch_ = nullptr;
    unknown_ = nullptr;
    site_ = nullptr;
    events_ = nullptr;
    clsid_ = GUID_NULL;
}

}  // namespace platform::ole
