#include "platform/ole/site.h"

#include <strings.h>

#include <algorithm>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"

namespace platform::ole {

using platform::com::ComPtr;
using platform::com::Query;
using platform::com::Variant;

// ---- the container ----

namespace {

// A snapshot of the container's objects, one at a time.
class ObjectEnumerator final : public platform::com::Object<IEnumUnknown> {
public:
    explicit ObjectEnumerator(std::vector<ComPtr<IUnknown>> objects)
        : objects_(std::move(objects)) {}
    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_IEnumUnknown) {
            return static_cast<IEnumUnknown*>(this);
        }
        return nullptr;
    }
    HRESULT Next(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched) override {
        if (!rgelt) return E_POINTER;
        ULONG n = 0;
        while (n < celt && next_ < objects_.size()) {
            rgelt[n++] = ComPtr<IUnknown>(objects_[next_++]).detach();
        }
        if (pceltFetched) *pceltFetched = n;
        return n == celt ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG celt) override {
        next_ = std::min<std::size_t>(objects_.size(), next_ + celt);
        return next_ < objects_.size() ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        next_ = 0;
        return S_OK;
    }

private:
    std::vector<ComPtr<IUnknown>> objects_;
    std::size_t next_ = 0;
};

}  // namespace

ComPtr<ObjectContainer> ObjectContainer::Create() {
    return ComPtr<ObjectContainer>::Attach(new ObjectContainer());
}

void ObjectContainer::Add(IUnknown* object) {
    if (!object) return;
    for (const auto& o : objects_) {
        if (o.get() == object) return;
    }
    objects_.emplace_back(object);
}

void ObjectContainer::Remove(IUnknown* object) {
    for (auto it = objects_.begin(); it != objects_.end(); ++it) {
        if (it->get() == object) {
            ComPtr<IUnknown> going = std::move(*it);
            objects_.erase(it);
            return;
        }
    }
}

void* ObjectContainer::GetInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IOleContainer) return static_cast<IOleContainer*>(this);
    return nullptr;
}

HRESULT ObjectContainer::EnumObjects(DWORD, IEnumUnknown** ppenum) {
    if (!ppenum) return E_POINTER;
    *ppenum = new ObjectEnumerator(objects_);
    return S_OK;
}

// ---- the site ----

ComPtr<ControlSite> ControlSite::Create() {
    auto site = ComPtr<ControlSite>::Attach(new ControlSite());
    site->ambient_[DISPID_AMBIENT_USERMODE] = Variant::Bool(true);
    return site;
}

void ControlSite::SetAmbient(DISPID id, const Variant& value) {
    ambient_[id] = value;
    if (auto control = Query<IOleControl>(control_, IID_IOleControl)) {
        control->OnAmbientPropertyChange(id);
    }
}

void* ControlSite::GetInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
        return static_cast<IOleClientSite*>(this);
    }
    if (riid == IID_IOleControlSite) return static_cast<IOleControlSite*>(this);
    if (riid == IID_IDispatch) return static_cast<IDispatch*>(this);
    if (riid == IID_IPropertyNotifySink) return static_cast<IPropertyNotifySink*>(this);
    if (riid == IID_IOleInPlaceSite || riid == IID_IOleWindow) {
        return static_cast<IOleInPlaceSite*>(this);
    }
    return nullptr;
}

HRESULT ControlSite::GetWindow(HWND* phwnd) {
    if (!phwnd) return E_POINTER;
    *phwnd = window_;
    return window_ ? S_OK : E_FAIL;
}

HRESULT ControlSite::OnInPlaceActivate() {
    inPlaceActive = true;
    return S_OK;
}

HRESULT ControlSite::OnInPlaceDeactivate() {
    inPlaceActive = false;
    return S_OK;
}

HRESULT ControlSite::GetWindowContext(LPRECT lprcPosRect, LPRECT lprcClipRect) {
    if (!lprcPosRect || !lprcClipRect) return E_POINTER;
    if (!window_) return E_FAIL;
    *lprcPosRect = *lprcClipRect = pos_;
    return S_OK;
}

HRESULT ControlSite::OnPosRectChange(LPCRECT lprcPosRect) {
    if (!lprcPosRect) return E_POINTER;
    ++posRectChanges;
    pos_ = *lprcPosRect;
    return S_OK;
}

HRESULT ControlSite::GetContainer(IOleContainer** pp) {
    if (!pp) return E_POINTER;
    *pp = ComPtr<IOleContainer>(container_).detach();
    return *pp ? S_OK : E_NOINTERFACE;
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
    if (onChanged) onChanged(dispID);
    return S_OK;
}

// ---- the event sink ----

ComPtr<EventSink> EventSink::Create(REFIID eventsIid, ITypeInfo* eventsInfo) {
    return ComPtr<EventSink>::Attach(new EventSink(eventsIid, eventsInfo));
}

EventSink::EventSink(REFIID iid, ITypeInfo* info) : iid_(iid), info_(info) {}

void* EventSink::GetInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || (riid == iid_ && riid != GUID_NULL)) {
        return static_cast<IDispatch*>(this);
    }
    return nullptr;
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
bool EventInterfaceOf(IUnknown* control, IID* iid, ComPtr<ITypeInfo>* info) {
    ComPtr<ITypeInfo> coclass;
    auto provide = Query<IProvideClassInfo>(control, IID_IProvideClassInfo);
    if (!provide || FAILED(provide->GetClassInfo(coclass.out()))) return false;
    TYPEATTR* attr = nullptr;
    coclass->GetTypeAttr(&attr);
    bool found = false;
    for (UINT i = 0; attr && i < attr->cImplTypes && !found; ++i) {
        int flags = 0;
        HREFTYPE ref;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags)) ||
            (flags & (IMPLTYPEFLAG_FSOURCE | IMPLTYPEFLAG_FDEFAULT)) !=
                (IMPLTYPEFLAG_FSOURCE | IMPLTYPEFLAG_FDEFAULT) ||
            FAILED(coclass->GetRefTypeOfImplType(i, &ref))) {
            continue;
        }
        ComPtr<ITypeInfo> events;
        if (SUCCEEDED(coclass->GetRefTypeInfo(ref, events.out()))) {
            TYPEATTR* ea = nullptr;
            events->GetTypeAttr(&ea);
            *iid = ea->guid;
            events->ReleaseTypeAttr(ea);
            *info = std::move(events);
            found = true;
        }
    }
    if (attr) coclass->ReleaseTypeAttr(attr);
    return found;
}

// The control's connection point for the interface, or null.
ComPtr<IConnectionPoint> PointOf(IUnknown* control, REFIID iid) {
    ComPtr<IConnectionPoint> point;
    if (auto cpc = Query<IConnectionPointContainer>(control, IID_IConnectionPointContainer)) {
        cpc->FindConnectionPoint(iid, point.out());
    }
    return point;
}

HRESULT Advise(IUnknown* control, REFIID iid, IUnknown* sink, DWORD* cookie) {
    auto cpc = Query<IConnectionPointContainer>(control, IID_IConnectionPointContainer);
    if (!cpc) return E_NOINTERFACE;
    ComPtr<IConnectionPoint> point;
    HRESULT hr = cpc->FindConnectionPoint(iid, point.out());
    if (FAILED(hr)) return hr;
    return point->Advise(sink, cookie);
}

void Unadvise(IUnknown* control, REFIID iid, DWORD cookie) {
    if (!cookie) return;
    if (auto point = PointOf(control, iid)) point->Unadvise(cookie);
}

}  // namespace

HostedControl::~HostedControl() {
    Close();
}

HRESULT HostedControl::Create(REFCLSID clsid, const std::string& name, bool runMode) {
    ComPtr<IUnknown> object;
    HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.outVoid());
    if (FAILED(hr)) return hr;
    return Attach(object.get(), name, runMode);
}

HRESULT HostedControl::Attach(IUnknown* control, const std::string& name, bool runMode) {
    Close();
    if (!control) return E_POINTER;
    HRESULT hr = control->QueryInterface(IID_IDispatch, dispatch_.outVoid());
    if (FAILED(hr)) return hr;
    unknown_ = ComPtr<IUnknown>(control);
    site_ = ControlSite::Create();
    site_->SetAmbient(DISPID_AMBIENT_DISPLAYNAME, Variant::String(name));
    site_->SetUserMode(runMode);
    site_->Attach(unknown_.get());
    if (auto persist = unknown_.Query<IPersist>(IID_IPersist)) persist->GetClassID(&clsid_);
    if (auto ole = unknown_.Query<IOleObject>(IID_IOleObject)) ole->SetClientSite(site_.get());
    Advise(unknown_.get(), IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(site_.get()),
           &notifyCookie_);
    IID eventsIid = GUID_NULL;
    ComPtr<ITypeInfo> info;
    EventInterfaceOf(unknown_.get(), &eventsIid, &info);
    events_ = EventSink::Create(eventsIid, info.get());
    if (eventsIid != GUID_NULL) Advise(unknown_.get(), eventsIid, events_.get(), &eventCookie_);
    return S_OK;
}

void HostedControl::JoinContainer(ObjectContainer* container) {
    if (!unknown_ || !container) return;
    container_ = ComPtr<ObjectContainer>(container);
    site_->SetContainer(container);
    container->Add(unknown_.get());
}

// The control's persistence interface, or null.
ComPtr<IPersistPropertyBag> HostedControl::Persistence() const {
    return unknown_.Query<IPersistPropertyBag>(IID_IPersistPropertyBag);
}

HRESULT HostedControl::InitNew() {
    if (!unknown_) return E_POINTER;
    auto persist = Persistence();
    return persist ? persist->InitNew() : E_NOINTERFACE;
}

HRESULT HostedControl::Load(IPropertyBag* bag) {
    if (!unknown_) return E_POINTER;
    auto persist = Persistence();
    return persist ? persist->Load(bag, nullptr) : E_NOINTERFACE;
}

HRESULT HostedControl::Save(IPropertyBag* bag, bool saveAll) {
    if (!unknown_) return E_POINTER;
    auto persist = Persistence();
    return persist ? persist->Save(bag, TRUE, saveAll ? TRUE : FALSE) : E_NOINTERFACE;
}

HRESULT HostedControl::Activate(HWND window, const RECT& pos) {
    if (!unknown_) return E_POINTER;
    site_->SetInPlace(window, pos);
    if (Window()) {
        auto inPlace = unknown_.Query<IOleInPlaceObject>(IID_IOleInPlaceObject);
        return inPlace ? inPlace->SetObjectRects(&pos, &pos) : E_NOINTERFACE;
    }
    auto ole = unknown_.Query<IOleObject>(IID_IOleObject);
    if (!ole) return E_NOINTERFACE;
    return ole->DoVerb(OLEIVERB_INPLACEACTIVATE, window, &pos);
}

HWND HostedControl::Window() const {
    HWND window = nullptr;
    if (auto inPlace = unknown_.Query<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
        if (FAILED(inPlace->GetWindow(&window))) window = nullptr;
    }
    return window;
}

void HostedControl::Close() {
    if (unknown_) {
        if (events_) Unadvise(unknown_.get(), events_->Iid(), eventCookie_);
        Unadvise(unknown_.get(), IID_IPropertyNotifySink, notifyCookie_);
        if (auto ole = unknown_.Query<IOleObject>(IID_IOleObject)) {
            ole->Close(0);
            ole->SetClientSite(nullptr);
        }
        if (site_) {
            site_->Attach(nullptr);
            site_->SetContainer(nullptr);
        }
        if (container_) container_->Remove(unknown_.get());
    }
    container_.reset();
    eventCookie_ = notifyCookie_ = 0;
    dispatch_.reset();
    unknown_.reset();
    site_.reset();
    events_.reset();
    clsid_ = GUID_NULL;
}

}  // namespace platform::ole
