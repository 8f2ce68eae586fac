// The container's side of a control: a site that answers the control's ambient properties and
// records what the control tells its container, a sink that records the control's events, and a
// hosted control created by class id and wired to both. Used by the container programs and tests.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/com/object.h"
#include "platform/com/variant.h"
#include "platform/ole/oleidl.h"

namespace platform::ole {

// The objects of one container (a form's controls), in the order they were added: the container
// its sites give their controls (IOleClientSite::GetContainer), whose EnumObjects lists them.
class ObjectContainer final : public platform::com::Object<IOleContainer> {
public:
    static platform::com::ComPtr<ObjectContainer> Create();
    // Adds the object (a new reference) unless it is there already; Remove lets it go.
    void Add(IUnknown* object);
    void Remove(IUnknown* object);

    void* GetInterface(REFIID riid) override;
    // Every object, for any flags (the container has only embeddings).
    HRESULT EnumObjects(DWORD grfFlags, IEnumUnknown** ppenum) override;

private:
    ObjectContainer() = default;
    ~ObjectContainer() override = default;
    std::vector<platform::com::ComPtr<IUnknown>> objects_;
};

class ControlSite final : public platform::com::Object<IOleClientSite, IOleControlSite, IDispatch,
                                                       IPropertyNotifySink, IOleInPlaceSite> {
public:
    static platform::com::ComPtr<ControlSite> Create();

    // An ambient property (DISPID_AMBIENT_...); the control is told of the change when one is
    // attached.
    void SetAmbient(DISPID id, const platform::com::Variant& value);
    // Design time (user mode FALSE) or run time.
    void SetUserMode(bool run) {
        SetAmbient(DISPID_AMBIENT_USERMODE, platform::com::Variant::Bool(run));
    }
    void Attach(IUnknown* control) { control_ = control; }
    // The container's window that an in-place active control goes into, and its place there.
    void SetInPlace(HWND window, const RECT& pos) {
        window_ = window;
        pos_ = pos;
    }
    const RECT& Place() const { return pos_; }
    // The container GetContainer gives (none: E_NOINTERFACE).
    void SetContainer(IOleContainer* container) {
        container_ = platform::com::ComPtr<IOleContainer>(container);
    }
    bool inPlaceActive = false;
    int posRectChanges = 0;  // OnPosRectChange calls

    // What the control said: property changes (IPropertyNotifySink::OnChanged), in-place locks,
    // control-info changes.
    std::vector<DISPID> changes;
    int locks = 0;      // current depth
    int lockCalls = 0;  // LockInPlaceActive(TRUE) calls
    int controlInfoChanges = 0;
    std::vector<BOOL> focusNotices;  // OnFocus calls, in order

    void* GetInterface(REFIID riid) override;
    // IOleClientSite
    HRESULT SaveObject() override { return S_OK; }
    HRESULT GetContainer(IOleContainer** pp) override;
    HRESULT ShowObject() override { return S_OK; }
    HRESULT OnShowWindow(BOOL) override { return S_OK; }
    HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleControlSite
    HRESULT OnControlInfoChanged() override;
    HRESULT LockInPlaceActive(BOOL fLock) override;
    HRESULT GetExtendedControl(IDispatch** pp) override;
    HRESULT OnFocus(BOOL fGotFocus) override {
        focusNotices.push_back(fGotFocus);
        return S_OK;
    }
    HRESULT ShowPropertyFrame() override { return E_NOTIMPL; }
    // IDispatch: the ambient properties
    HRESULT GetTypeInfoCount(UINT* p) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO*, UINT*) override;
    // IPropertyNotifySink
    HRESULT OnChanged(DISPID dispID) override;
    HRESULT OnRequestEdit(DISPID) override { return S_OK; }
    // IOleInPlaceSite
    HRESULT GetWindow(HWND* phwnd) override;
    HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT CanInPlaceActivate() override { return window_ ? S_OK : S_FALSE; }
    HRESULT OnInPlaceActivate() override;
    HRESULT OnInPlaceDeactivate() override;
    HRESULT GetWindowContext(LPRECT lprcPosRect, LPRECT lprcClipRect) override;
    HRESULT OnPosRectChange(LPCRECT lprcPosRect) override;
    // Called with each property change the control reports (after it is recorded).
    std::function<void(DISPID)> onChanged;

private:
    ControlSite() = default;
    ~ControlSite() override = default;
    std::map<DISPID, platform::com::Variant> ambient_;
    IUnknown* control_ = nullptr;  // not owned: the control holds the site
    platform::com::ComPtr<IOleContainer> container_;
    HWND window_ = nullptr;
    RECT pos_{0, 0, 0, 0};
};

// Records the events fired into it.
class EventSink final : public platform::com::Object<IDispatch> {
public:
    struct Event {
        DISPID id;
        std::string name;  // from the control's type information, or "#<dispid>"
        std::vector<platform::com::Variant> args;
    };
    static platform::com::ComPtr<EventSink> Create(REFIID eventsIid, ITypeInfo* eventsInfo);

    std::vector<Event> events;
    std::function<void(const Event&)> onEvent;
    REFIID Iid() const { return iid_; }

    void* GetInterface(REFIID riid) override;
    HRESULT GetTypeInfoCount(UINT* p) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO*, UINT*) override;

private:
    EventSink(REFIID iid, ITypeInfo* info);
    ~EventSink() override = default;
    IID iid_;
    platform::com::ComPtr<ITypeInfo> info_;
};

// A control created by class id and placed in a site: the site is set first, the container
// listens for property changes and events, and the control starts new (InitNew) or from saved
// properties (Load).
class HostedControl {
public:
    HostedControl() = default;
    ~HostedControl();
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;

    // Creates the control; its ambient display name is `name` and its user mode `runMode`.
    HRESULT Create(REFCLSID clsid, const std::string& name, bool runMode);
    // Wraps a control object made otherwise (a new reference is taken).
    HRESULT Attach(IUnknown* control, const std::string& name, bool runMode);
    // Puts the control into the container (before it is activated, so that it finds the objects
    // beside it); Close takes it out again.
    void JoinContainer(ObjectContainer* container);
    HRESULT InitNew();
    HRESULT Load(IPropertyBag* bag);
    HRESULT Save(IPropertyBag* bag, bool saveAll);
    // Makes the control in-place active in the window at pos (its client coordinates): the
    // control's window appears there. Moves it when it is active already.
    HRESULT Activate(HWND window, const RECT& pos);
    // The control's window while it is in-place active, else null.
    HWND Window() const;
    // Releases the control (and unhooks the site and the sinks).
    void Close();

    IDispatch* Dispatch() const { return dispatch_.get(); }
    IUnknown* Object() const { return unknown_.get(); }
    ControlSite& Site() const { return *site_; }
    EventSink& Events() const { return *events_; }
    CLSID ClassId() const { return clsid_; }

private:
    platform::com::ComPtr<IPersistPropertyBag> Persistence() const;

    platform::com::ComPtr<IUnknown> unknown_;
    platform::com::ComPtr<IDispatch> dispatch_;
    platform::com::ComPtr<ControlSite> site_;
    platform::com::ComPtr<EventSink> events_;
    platform::com::ComPtr<ObjectContainer> container_;
    DWORD eventCookie_ = 0;
    DWORD notifyCookie_ = 0;
    CLSID clsid_ = GUID_NULL;
};

}  // namespace platform::ole
