#include "platform/ole/olectl.h"

#include <strings.h>

#include <cstring>
#include <iterator>
#include <vector>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/object.h"
#include "platform/ole/connpt.h"
#include "platform/ole/oleauto.h"
#include "platform/win/paint.h"
#include "platform/win/windowpos.h"
#include "platform/win/winmsg.h"

using platform::com::ComPtr;
using platform::com::Query;
using platform::com::Variant;
using platform::ole::DispEntry;
using platform::ole::DispKind;

// ---- the interface parts ----

#define KESTO_PART_UNKNOWN                                     \
    HRESULT QueryInterface(REFIID riid, void** ppv) override { \
        return m_pThis->ExternalQueryInterface(riid, ppv);     \
    }                                                          \
    ULONG AddRef() override {                                  \
        return m_pThis->ExternalAddRef();                      \
    }                                                          \
    ULONG Release() override {                                 \
        return m_pThis->ExternalRelease();                     \
    }                                                          \
    COleControl* m_pThis

struct COleControl::Parts {
    struct XDispatch final : IDispatch {
        KESTO_PART_UNKNOWN;
        HRESULT GetTypeInfoCount(UINT* p) override {
            if (!p) return E_POINTER;
            *p = m_pThis->GetTypeInfoCount();
            return S_OK;
        }
        HRESULT GetTypeInfo(UINT i, LCID lcid, ITypeInfo** pp) override {
            if (!pp) return E_POINTER;
            *pp = nullptr;
            if (i != 0) return DISP_E_BADINDEX;
            return m_pThis->GetTypeInfoOfGuid(lcid, m_pThis->m_piidPrimary, pp);
        }
        HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid,
                              DISPID* ids) override {
            return m_pThis->GetIDsOfNames(names, count, lcid, ids);
        }
        HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* info, UINT* argErr) override {
            return m_pThis->Invoke(id, flags, params, result, info, argErr);
        }
    } dispatch;

    struct XOleObject final : IOleObject {
        KESTO_PART_UNKNOWN;
        HRESULT SetClientSite(IOleClientSite* site) override {
            m_pThis->m_pClientSite = ComPtr<IOleClientSite>(site);
            m_pThis->OnSetClientSite();
            return S_OK;
        }
        HRESULT GetClientSite(IOleClientSite** pp) override {
            if (!pp) return E_POINTER;
            *pp = ComPtr<IOleClientSite>(m_pThis->m_pClientSite).detach();
            return S_OK;
        }
        HRESULT Close(DWORD) override {
            m_pThis->InPlaceDeactivate();
            m_pThis->m_bHaveRect = FALSE;
            return S_OK;
        }
        // Every verb but hide makes the control in-place active (windowed) and shows it.
        HRESULT DoVerb(LONG verb, HWND parent, LPCRECT rect) override {
            if (verb == OLEIVERB_HIDE) {
                if (m_pThis->m_hWnd) ShowWindow(m_pThis->m_hWnd, SW_HIDE);
                return S_OK;
            }
            if (verb > 0) return E_NOTIMPL;
            HRESULT hr = m_pThis->InPlaceActivate(parent, rect);
            if (SUCCEEDED(hr) && verb == OLEIVERB_UIACTIVATE) SetFocus(m_pThis->m_hWnd);
            return hr;
        }
        HRESULT GetUserClassID(CLSID* p) override { return m_pThis->GetClassID(p); }
        HRESULT GetUserType(DWORD, LPOLESTR* p) override {
            if (!p) return E_POINTER;
            std::u16string name = platform::com::Utf16(AfxLoadString(m_pThis->GetUserTypeNameID()));
            *p = static_cast<LPOLESTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(OLECHAR)));
            if (!*p) return E_OUTOFMEMORY;
            std::memcpy(*p, name.c_str(), (name.size() + 1) * sizeof(OLECHAR));
            return S_OK;
        }
        HRESULT SetExtent(DWORD aspect, SIZEL* size) override {
            if (!size) return E_POINTER;
            if (aspect != DVASPECT_CONTENT || size->cx < 0 || size->cy < 0) return E_INVALIDARG;
            m_pThis->m_extent = *size;
            return S_OK;
        }
        HRESULT GetExtent(DWORD aspect, SIZEL* size) override {
            if (!size) return E_POINTER;
            if (aspect != DVASPECT_CONTENT) return E_INVALIDARG;
            *size = m_pThis->m_extent;
            return S_OK;
        }
        HRESULT GetMiscStatus(DWORD, DWORD* p) override {
            if (!p) return E_POINTER;
            *p = m_pThis->GetMiscStatus();
            return S_OK;
        }
    } oleObject;

    struct XOleControl final : IOleControl {
        KESTO_PART_UNKNOWN;
        HRESULT OnAmbientPropertyChange(DISPID id) override {
            m_pThis->OnAmbientPropertyChange(id);
            return S_OK;
        }
        HRESULT FreezeEvents(BOOL freeze) override {
            m_pThis->m_nFreezeEvents += freeze ? 1 : (m_pThis->m_nFreezeEvents > 0 ? -1 : 0);
            return S_OK;
        }
    } oleControl;

    struct XInPlaceObject final : IOleInPlaceObject {
        KESTO_PART_UNKNOWN;
        HRESULT GetWindow(HWND* p) override {
            if (!p) return E_POINTER;
            *p = m_pThis->m_hWnd;
            return *p ? S_OK : E_FAIL;
        }
        HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
        HRESULT InPlaceDeactivate() override {
            m_pThis->InPlaceDeactivate();
            m_pThis->m_bHaveRect = FALSE;
            return S_OK;
        }
        HRESULT UIDeactivate() override {
            m_pThis->UIDeactivate();
            return S_OK;
        }
        HRESULT SetObjectRects(LPCRECT pos, LPCRECT clip) override {
            if (!pos) return E_POINTER;
            return m_pThis->OnSetObjectRects(pos, clip) ? S_OK : E_FAIL;
        }
        HRESULT ReactivateAndUndo() override { return E_NOTIMPL; }
    } inPlace;

    struct XPersistBag final : IPersistPropertyBag {
        KESTO_PART_UNKNOWN;
        HRESULT GetClassID(CLSID* p) override { return m_pThis->GetClassID(p); }
        HRESULT InitNew() override {
            try {
                m_pThis->OnResetState();
            } catch (const std::exception&) {
                return E_FAIL;
            }
            m_pThis->m_bModified = FALSE;
            return S_OK;
        }
        HRESULT Load(IPropertyBag* bag, IErrorLog* log) override {
            if (!bag) return E_POINTER;
            Variant marker;
            marker.ptr()->vt = VT_BOOL;
            std::u16string name = platform::com::Utf16("_ConvertVBX");
            m_pThis->m_bConvertVBX = SUCCEEDED(bag->Read(name.c_str(), marker.ptr(), nullptr)) &&
                                     marker.vt() == VT_BOOL && marker.get().boolVal != 0;
            HRESULT hr = S_OK;
            try {
                CPropbagPropExchange px(bag, log, TRUE);
                m_pThis->DoPropExchange(&px);
            } catch (const std::exception&) {
                hr = E_FAIL;
            }
            m_pThis->m_bConvertVBX = FALSE;
            m_pThis->m_bModified = FALSE;
            return hr;
        }
        HRESULT Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override {
            if (!bag) return E_POINTER;
            try {
                CPropbagPropExchange px(bag, nullptr, FALSE, saveAll);
                m_pThis->DoPropExchange(&px);
            } catch (const std::exception&) {
                return E_FAIL;
            }
            if (clearDirty) m_pThis->m_bModified = FALSE;
            return S_OK;
        }
    } persist;

    struct XConnPtContainer final : IConnectionPointContainer {
        KESTO_PART_UNKNOWN;
        Parts* parts;
        HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** pp) override {
            if (!pp) return E_POINTER;
            *pp = nullptr;
            platform::ole::ConnectionPoint* point = nullptr;
            if (riid == m_pThis->m_piidEvents && riid != GUID_NULL) point = &parts->events;
            if (riid == IID_IPropertyNotifySink) point = &parts->propNotify;
            if (!point) return CONNECT_E_NOCONNECTION;
            *pp = point;
            point->AddRef();
            return S_OK;
        }
    } cpc;

    struct XSpecifyPages final : ISpecifyPropertyPages {
        KESTO_PART_UNKNOWN;
        HRESULT GetPages(CAUUID* pages) override {
            if (!pages) return E_POINTER;
            ULONG count = 0;
            LPCLSID ids = m_pThis->GetPropPageIDs(count);
            pages->cElems = 0;
            pages->pElems = nullptr;
            if (count == 0) return S_OK;
            pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(count * sizeof(GUID)));
            if (!pages->pElems) return E_OUTOFMEMORY;
            std::memcpy(pages->pElems, ids, count * sizeof(GUID));
            pages->cElems = count;
            return S_OK;
        }
    } pages;

    struct XPerPropertyBrowsing final : IPerPropertyBrowsing {
        KESTO_PART_UNKNOWN;
        HRESULT GetDisplayString(DISPID, BSTR*) override { return E_NOTIMPL; }
        HRESULT MapPropertyToPage(DISPID id, CLSID* clsid) override {
            if (!clsid) return E_POINTER;
            BOOL optional = FALSE;
            if (m_pThis->OnMapPropertyToPage(id, clsid, &optional)) return S_OK;
            *clsid = GUID_NULL;
            return PERPROP_E_NOPAGEAVAILABLE;
        }
    } browsing;

    struct XClassInfo final : IProvideClassInfo {
        KESTO_PART_UNKNOWN;
        HRESULT GetClassInfo(ITypeInfo** pp) override {
            if (!pp) return E_POINTER;
            CLSID clsid;
            HRESULT hr = m_pThis->GetClassID(&clsid);
            if (FAILED(hr)) return hr;
            return m_pThis->GetTypeInfoOfGuid(0, clsid, pp);
        }
    } classInfo;

    // The stock font's notices. It is a part of the control that the font holds while the
    // control holds the font, so its references are not counted.
    struct XFontNotification final : platform::com::UncountedObject<IPropertyNotifySink> {
        COleControl* m_pThis = nullptr;
        void* GetInterface(REFIID riid) override {
            if (riid == IID_IUnknown || riid == IID_IPropertyNotifySink) {
                return static_cast<IPropertyNotifySink*>(this);
            }
            return nullptr;
        }
        HRESULT OnChanged(DISPID) override {
            m_pThis->OnFontChanged();
            return S_OK;
        }
        HRESULT OnRequestEdit(DISPID) override { return S_OK; }
    } fontNotify;

    platform::ole::ConnectionPoint events;
    platform::ole::ConnectionPoint propNotify;

    explicit Parts(COleControl* c)
        : events(&cpc, GUID_NULL, true, [c](bool advised) { c->OnEventAdvise(advised); }),
          propNotify(&cpc, IID_IPropertyNotifySink, false) {
        dispatch.m_pThis = oleObject.m_pThis = oleControl.m_pThis = inPlace.m_pThis = c;
        persist.m_pThis = cpc.m_pThis = pages.m_pThis = browsing.m_pThis = c;
        classInfo.m_pThis = fontNotify.m_pThis = c;
        cpc.parts = this;
    }
};

// ---- the object ----

COleControl::COleControl() : m_parts(new Parts(this)), m_font(&m_parts->fontNotify) {}

COleControl::~COleControl() {
    if (m_hWnd) {
        // The window goes with the control (its procedure must not reach the control after it).
        HWND window = m_hWnd;
        m_hWnd = nullptr;
        platform::win::SetWindowProc(window, nullptr);
        DestroyWindow(window);
    }
    m_parts->events.Clear();
    m_parts->propNotify.Clear();
    m_pClientSite.reset();
}

void* COleControl::GetInterface(REFIID iid) {
    Parts& p = *m_parts;
    if (iid == IID_IUnknown || iid == IID_IDispatch || (iid == m_piidPrimary && iid != GUID_NULL)) {
        return static_cast<IDispatch*>(&p.dispatch);
    }
    if (iid == IID_IOleObject) return static_cast<IOleObject*>(&p.oleObject);
    if (iid == IID_IOleControl) return static_cast<IOleControl*>(&p.oleControl);
    if (iid == IID_IOleInPlaceObject || iid == IID_IOleWindow) {
        return static_cast<IOleInPlaceObject*>(&p.inPlace);
    }
    if (iid == IID_IPersistPropertyBag || iid == IID_IPersist) {
        return static_cast<IPersistPropertyBag*>(&p.persist);
    }
    if (iid == IID_IConnectionPointContainer) {
        return static_cast<IConnectionPointContainer*>(&p.cpc);
    }
    if (iid == IID_ISpecifyPropertyPages) return static_cast<ISpecifyPropertyPages*>(&p.pages);
    if (iid == IID_IPerPropertyBrowsing) return static_cast<IPerPropertyBrowsing*>(&p.browsing);
    if (iid == IID_IProvideClassInfo) return static_cast<IProvideClassInfo*>(&p.classInfo);
    return nullptr;
}

IDispatch* COleControl::GetIDispatch(BOOL bAddRef) {
    if (bAddRef) ExternalAddRef();
    return &m_parts->dispatch;
}

void COleControl::InitializeIIDs(const IID* piidPrimary, const IID* piidEvents) {
    m_piidPrimary = piidPrimary ? *piidPrimary : GUID_NULL;
    m_piidEvents = piidEvents ? *piidEvents : GUID_NULL;
    m_parts->events.SetInterface(m_piidEvents);
}

// ---- dispatch ----

const platform::ole::DispEntry* COleControl::FindEntry(DISPID id) const {
    const auto& map = GetDispatchMap();
    for (int hops = 0; hops < 2; ++hops) {
        const DispEntry* found = nullptr;
        for (const auto& e : map) {
            if (e.id == id) found = &e;
        }
        if (!found) return nullptr;
        if (found->kind != DispKind::Alias) return found;
        id = found->aliasOf;
    }
    return nullptr;
}

HRESULT COleControl::GetIDsOfNames(LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(GetTypeInfoOfGuid(lcid, m_piidPrimary, info.out())) && info) {
        HRESULT hr = info->GetIDsOfNames(names, count, ids);
        if (SUCCEEDED(hr)) return hr;
    }
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    std::string name = platform::com::Utf8FromWide(names[0]);
    for (const auto& e : GetDispatchMap()) {
        if (e.kind != DispKind::Alias && ::strcasecmp(e.name, name.c_str()) == 0) {
            ids[0] = e.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

namespace {

HRESULT Coerce(const VARIANT& given, VARTYPE vt, Variant* out) {
    if (vt == VT_VARIANT) return VariantCopy(out->ptr(), &given);
    return VariantChangeType(out->ptr(), &given, 0, vt);
}

void Fill(EXCEPINFO* info, SCODE sc, const std::string& text, UINT help) {
    if (!info) return;
    std::memset(info, 0, sizeof *info);
    info->scode = sc;
    info->bstrDescription = platform::com::AllocBstr(text);
    info->bstrSource = platform::com::AllocBstr(AfxGetAppName());
    info->dwHelpContext = help;
}

}  // namespace

HRESULT COleControl::Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* info, UINT* argErr) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    const DispEntry* e = FindEntry(id);
    if (!e) return DISP_E_MEMBERNOTFOUND;
    Variant local;
    VARIANT* out = local.ptr();
    try {
        bool property = e->kind == DispKind::Property || (e->kind == DispKind::Stock && !e->call);
        if (property) {
            if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
                if (!e->put) return DISP_E_MEMBERNOTFOUND;
                if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
                    return DISP_E_PARAMNOTOPTIONAL;
                }
                if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
                Variant value;
                HRESULT hr = Coerce(params->rgvarg[0], e->vt, &value);
                if (FAILED(hr)) {
                    if (argErr) *argErr = 0;
                    return hr;
                }
                e->put(this, *e, value.get());
                return S_OK;
            }
            if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) || !e->get) {
                return DISP_E_MEMBERNOTFOUND;
            }
            if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
            e->get(this, *e, out);
        } else {
            if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
            if (params->cNamedArgs) return DISP_E_NONAMEDARGS;
            std::size_t n = e->params.size();
            if (params->cArgs > n) return DISP_E_BADPARAMCOUNT;
            std::vector<Variant> args(n);
            for (std::size_t i = 0; i < n; ++i) {
                if (i < params->cArgs) {
                    UINT at = params->cArgs - 1 - static_cast<UINT>(i);
                    HRESULT hr = Coerce(params->rgvarg[at], e->params[i], &args[i]);
                    if (FAILED(hr)) {
                        if (argErr) *argErr = at;
                        return hr;
                    }
                } else if (e->params[i] == VT_VARIANT) {
                    args[i] = Variant::Missing();
                } else {
                    return DISP_E_PARAMNOTOPTIONAL;
                }
            }
            std::vector<VARIANT> raw;
            for (auto& a : args) raw.push_back(a.get());
            e->call(this, *e, raw.data(), out);
        }
    } catch (const COleDispatchException& ex) {
        Fill(info, ex.m_scError, ex.what(), ex.m_dwHelpContext);
        return DISP_E_EXCEPTION;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& ex) {
        Fill(info, E_UNEXPECTED, ex.what(), 0);
        return DISP_E_EXCEPTION;
    }
    if (result) {
        *result = local.detach();
    }
    return S_OK;
}

namespace platform::ole {

DispEntry DispStock(DISPID id) {
    DispEntry e{"", id, DispKind::Stock, VT_EMPTY, {}};
    switch (id) {
        case DISPID_CAPTION:
        case DISPID_TEXT:
            e.name = id == DISPID_CAPTION ? "Caption" : "Text";
            e.vt = VT_BSTR;
            e.get = [](COleControl* self, const DispEntry&, VARIANT* out) {
                VariantInit(out);
                out->vt = VT_BSTR;
                out->bstrVal = self->GetText();
            };
            e.put = [](COleControl* self, const DispEntry&, const VARIANT& v) {
                self->SetText(v.bstrVal);
            };
            break;
        case DISPID_FONT:
            e.name = "Font";
            e.vt = VT_DISPATCH;
            e.get = [](COleControl* self, const DispEntry&, VARIANT* out) {
                VariantInit(out);
                out->vt = VT_DISPATCH;
                out->pdispVal = self->GetFont();
            };
            e.put = [](COleControl* self, const DispEntry&, const VARIANT& v) {
                self->SetFont(v.pdispVal);
            };
            break;
        case DISPID_ENABLED:
            e.name = "Enabled";
            e.vt = VT_BOOL;
            e.get = [](COleControl* self, const DispEntry&, VARIANT* out) {
                VariantInit(out);
                out->vt = VT_BOOL;
                out->boolVal = self->GetEnabled() ? VARIANT_TRUE : VARIANT_FALSE;
            };
            e.put = [](COleControl* self, const DispEntry&, const VARIANT& v) {
                self->SetEnabled(v.boolVal);
            };
            break;
        case DISPID_REFRESH:
            e.name = "Refresh";
            e.call = [](COleControl* self, const DispEntry&, VARIANT*, VARIANT*) {
                self->Refresh();
            };
            break;
        case DISPID_ABOUTBOX:
            e.name = "AboutBox";
            e.call = [](COleControl* self, const DispEntry&, VARIANT*, VARIANT*) {
                self->AboutBox();
            };
            break;
        default:
            break;
    }
    return e;
}

}  // namespace platform::ole

// ---- stock properties ----

BSTR COleControl::GetText() {
    return platform::com::AllocBstr(m_strText);
}

void COleControl::SetText(LPCOLESTR pszText) {
    SetText(platform::com::Utf8FromWide(pszText));
}

void COleControl::SetText(const std::string& text) {
    m_strText = text;
    SetModifiedFlag();
    OnTextChanged();
}

LPFONTDISP COleControl::GetFont() {
    return m_font.GetFontDispatch();
}

void COleControl::SetFont(LPFONTDISP pFontDisp) {
    if (auto font = Query<IFont>(pFontDisp, IID_IFont)) {
        ComPtr<IFont> copy;
        font->Clone(copy.out());
        m_font.SetFont(copy.detach());
    } else {
        m_font.InitializeFont(nullptr, nullptr);
    }
    SetModifiedFlag();
    OnFontChanged();
}

void COleControl::SetEnabled(BOOL bEnabled) {
    m_bEnabled = bEnabled;
    if (m_hWnd) EnableWindow(m_hWnd, m_bEnabled);
    SetModifiedFlag();
    OnEnabledChanged();
}

// ---- the container ----

ComPtr<IDispatch> COleControl::AmbientDispatch() {
    return m_pClientSite.Query<IDispatch>(IID_IDispatch);
}

BOOL COleControl::GetAmbientProperty(DISPID dispid, VARTYPE vtProp, void* pvProp) {
    auto disp = AmbientDispatch();
    if (!disp) return FALSE;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    Variant value;
    HRESULT hr = disp->Invoke(dispid, GUID_NULL, 0, DISPATCH_PROPERTYGET, &none, value.ptr(),
                              nullptr, nullptr);
    if (FAILED(hr)) return FALSE;
    Variant converted;
    VARTYPE want = vtProp == VT_UI4 ? static_cast<VARTYPE>(VT_I4) : vtProp;
    if (FAILED(VariantChangeType(converted.ptr(), &value.get(), 0, want))) return FALSE;
    const VARIANT& v = converted.get();
    switch (vtProp) {
        case VT_I2:
            *static_cast<SHORT*>(pvProp) = v.iVal;
            break;
        case VT_I4:
            *static_cast<LONG*>(pvProp) = v.lVal;
            break;
        case VT_UI4:
            *static_cast<DWORD*>(pvProp) = static_cast<DWORD>(v.lVal);
            break;
        case VT_BOOL:
            *static_cast<BOOL*>(pvProp) = v.boolVal != 0;
            break;
        case VT_BSTR:
            *static_cast<std::string*>(pvProp) = platform::com::Utf8(v.bstrVal);
            break;
        case VT_DISPATCH:
            *static_cast<IDispatch**>(pvProp) = ComPtr<IDispatch>(v.pdispVal).detach();
            break;
        default:
            return FALSE;
    }
    return TRUE;
}

BOOL COleControl::AmbientUserMode() {
    BOOL mode = TRUE;
    return GetAmbientProperty(DISPID_AMBIENT_USERMODE, VT_BOOL, &mode) ? mode : TRUE;
}

std::string COleControl::AmbientDisplayName() {
    std::string name;
    return GetAmbientProperty(DISPID_AMBIENT_DISPLAYNAME, VT_BSTR, &name) ? name : std::string();
}

OLE_COLOR COleControl::AmbientBackColor() {
    OLE_COLOR color = 0x80000000 | COLOR_WINDOW;
    GetAmbientProperty(DISPID_AMBIENT_BACKCOLOR, VT_UI4, &color);
    return color;
}

OLE_COLOR COleControl::AmbientForeColor() {
    OLE_COLOR color = 0x80000000 | COLOR_WINDOWTEXT;
    GetAmbientProperty(DISPID_AMBIENT_FORECOLOR, VT_UI4, &color);
    return color;
}

LPFONTDISP COleControl::AmbientFont() {
    IDispatch* font = nullptr;
    if (!GetAmbientProperty(DISPID_AMBIENT_FONT, VT_DISPATCH, &font)) return nullptr;
    return font;
}

void COleControl::BoundPropertyChanged(DISPID dispid) {
    m_parts->propNotify.ForEach(
        [dispid](IUnknown* sink) { static_cast<IPropertyNotifySink*>(sink)->OnChanged(dispid); });
    SetModifiedFlag();
}

BOOL COleControl::BoundPropertyRequestEdit(DISPID dispid) {
    BOOL allowed = TRUE;
    m_parts->propNotify.ForEach([&](IUnknown* sink) {
        if (static_cast<IPropertyNotifySink*>(sink)->OnRequestEdit(dispid) == S_FALSE) {
            allowed = FALSE;
        }
    });
    return allowed;
}

BOOL COleControl::LockInPlaceActive(BOOL bLock) {
    auto site = m_pClientSite.Query<IOleControlSite>(IID_IOleControlSite);
    return site && SUCCEEDED(site->LockInPlaceActive(bLock));
}

void COleControl::ControlInfoChanged() {
    if (auto site = m_pClientSite.Query<IOleControlSite>(IID_IOleControlSite)) {
        site->OnControlInfoChanged();
    }
}

// ---- errors ----

void COleControl::ThrowError(SCODE sc, const char* pszDescription, UINT nHelpID) {
    throw COleDispatchException(sc, pszDescription ? pszDescription : "", nHelpID);
}

void COleControl::GetNotSupported() {
    ThrowError(CTL_E_GETNOTSUPPORTED, kGetNotSupportedMessage);
}

void COleControl::SetNotSupported() {
    ThrowError(CTL_E_SETNOTSUPPORTED, kSetNotSupportedMessage);
}

// ---- events ----

void COleControl::FireEvent(DISPID dispid, std::initializer_list<Variant> args) {
    if (m_nFreezeEvents > 0) return;
    std::vector<VARIANT> reversed;
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) reversed.push_back(it->get());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr,
                      static_cast<UINT>(reversed.size()), 0};
    m_parts->events.ForEach([&](IUnknown* sink) {
        static_cast<IDispatch*>(sink)->Invoke(dispid, GUID_NULL, 0, DISPATCH_METHOD, &params,
                                              nullptr, nullptr, nullptr);
    });
}

void COleControl::FireClick() {
    FireEvent(DISPID_CLICK);
}
void COleControl::FireDblClick() {
    FireEvent(DISPID_DBLCLICK);
}
void COleControl::FireMouseDown(SHORT b, SHORT s, OLE_XPOS_PIXELS x, OLE_YPOS_PIXELS y) {
    FireEvent(DISPID_MOUSEDOWN, {Variant::I2(b), Variant::I2(s), Variant::I4(x), Variant::I4(y)});
}
void COleControl::FireMouseMove(SHORT b, SHORT s, OLE_XPOS_PIXELS x, OLE_YPOS_PIXELS y) {
    FireEvent(DISPID_MOUSEMOVE, {Variant::I2(b), Variant::I2(s), Variant::I4(x), Variant::I4(y)});
}
void COleControl::FireMouseUp(SHORT b, SHORT s, OLE_XPOS_PIXELS x, OLE_YPOS_PIXELS y) {
    FireEvent(DISPID_MOUSEUP, {Variant::I2(b), Variant::I2(s), Variant::I4(x), Variant::I4(y)});
}

// ---- size and place ----

namespace {

int ToPixels(LONG himetric) {
    return static_cast<int>((himetric * 96 + 1270) / 2540);
}
LONG ToHimetric(int pixels) {
    return static_cast<LONG>((pixels * 2540 + 48) / 96);
}

}  // namespace

void COleControl::GetControlSize(int* pcx, int* pcy) {
    if (pcx) *pcx = ToPixels(m_extent.cx);
    if (pcy) *pcy = ToPixels(m_extent.cy);
}

BOOL COleControl::SetControlSize(int cx, int cy) {
    if (cx < 0 || cy < 0) return FALSE;
    m_extent = SIZEL{ToHimetric(cx), ToHimetric(cy)};
    if (m_bHaveRect) {
        m_rcPos.right = m_rcPos.left + cx;
        m_rcPos.bottom = m_rcPos.top + cy;
        PlaceWindow();
    }
    return TRUE;
}

void COleControl::PlaceWindow() {
    if (!m_hWnd) return;
    MoveWindow(m_hWnd, m_rcPos.left, m_rcPos.top, m_rcPos.right - m_rcPos.left,
               m_rcPos.bottom - m_rcPos.top, TRUE);
    if (auto site = m_pClientSite.Query<IOleInPlaceSite>(IID_IOleInPlaceSite)) {
        site->OnPosRectChange(&m_rcPos);
    }
}

BOOL COleControl::GetRectInContainer(LPRECT lpRect) {
    if (!m_bHaveRect || !lpRect) return FALSE;
    *lpRect = m_rcPos;
    return TRUE;
}

BOOL COleControl::SetRectInContainer(LPCRECT lpRect) {
    if (!m_bHaveRect || !lpRect) return FALSE;
    m_rcPos = *lpRect;
    m_extent =
        SIZEL{ToHimetric(lpRect->right - lpRect->left), ToHimetric(lpRect->bottom - lpRect->top)};
    PlaceWindow();
    return TRUE;
}

BOOL COleControl::OnSetObjectRects(LPCRECT lpRectPos, LPCRECT) {
    m_rcPos = *lpRectPos;
    m_bHaveRect = TRUE;
    m_extent = SIZEL{ToHimetric(lpRectPos->right - lpRectPos->left),
                     ToHimetric(lpRectPos->bottom - lpRectPos->top)};
    if (m_hWnd) {
        MoveWindow(m_hWnd, m_rcPos.left, m_rcPos.top, m_rcPos.right - m_rcPos.left,
                   m_rcPos.bottom - m_rcPos.top, TRUE);
    }
    return TRUE;
}

void COleControl::InvalidateControl(LPCRECT lpRect, BOOL bErase) {
    if (m_hWnd) InvalidateRect(m_hWnd, lpRect, bErase);
}

// ---- the window ----

HRESULT COleControl::InPlaceActivate(HWND hWndParent, LPCRECT lprcPosRect) {
    if (m_hWnd) {
        ShowWindow(m_hWnd, SW_SHOWNORMAL);
        return S_OK;
    }
    auto site = m_pClientSite.Query<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!site) return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    HWND parent = hWndParent;
    if (HWND given = nullptr; SUCCEEDED(site->GetWindow(&given)) && given) parent = given;
    RECT pos{0, 0, 0, 0}, clip{0, 0, 0, 0};
    if (FAILED(site->GetWindowContext(&pos, &clip))) {
        if (!lprcPosRect) return E_INVALIDARG;
        pos = clip = *lprcPosRect;
    }
    if (!parent) return E_FAIL;
    site->OnInPlaceActivate();
    m_rcPos = pos;
    m_bHaveRect = TRUE;
    m_extent = SIZEL{ToHimetric(pos.right - pos.left), ToHimetric(pos.bottom - pos.top)};
    HWND window = platform::win::CreateChildWindow(
        parent, pos, [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (!m_hWnd) m_hWnd = hwnd;  // from WM_CREATE on
            return WindowProc(msg, wParam, lParam);
        });
    if (!window) {
        site->OnInPlaceDeactivate();
        return E_FAIL;
    }
    m_hWnd = window;
    EnableWindow(m_hWnd, m_bEnabled);
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    OnSetObjectRects(&pos, &clip);
    return S_OK;
}

void COleControl::InPlaceDeactivate() {
    if (!m_hWnd) return;
    HWND window = m_hWnd;
    m_bUIActive = FALSE;
    m_iButtonState = m_iDblClkState = 0;
    DestroyWindow(window);
    platform::win::SetWindowProc(window, nullptr);
    m_hWnd = nullptr;
    if (auto site = m_pClientSite.Query<IOleInPlaceSite>(IID_IOleInPlaceSite)) {
        site->OnInPlaceDeactivate();
    }
}

HDC COleControl::GetDC(LPCRECT, DWORD dwFlags) {
    if (!m_hWnd) return nullptr;
    HDC dc = ::GetDC(m_hWnd);
    if (dc && (dwFlags & OLEDC_PAINTBKGND)) platform::gdi::PaintWindowBackground(m_hWnd, dc);
    return dc;
}

int COleControl::ReleaseDC(HDC hDC) {
    return m_hWnd ? ::ReleaseDC(m_hWnd, hDC) : 0;
}

LRESULT COleControl::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT COleControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && m_hWnd) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        if (!dc) return 0;
        RECT bounds;
        GetClientRect(m_hWnd, &bounds);
        OnDraw(dc, bounds, ps.rcPaint);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    // The button messages: the button and the framework's handler of each.
    using ButtonHandler = void (COleControl::*)(USHORT, UINT, POINT);
    static constexpr struct {
        UINT message;
        USHORT button;
        ButtonHandler handler;
    } kButtons[] = {
        {WM_LBUTTONDOWN, LEFT_BUTTON, &COleControl::OnButtonDown},
        {WM_RBUTTONDOWN, RIGHT_BUTTON, &COleControl::OnButtonDown},
        {WM_MBUTTONDOWN, MIDDLE_BUTTON, &COleControl::OnButtonDown},
        {WM_LBUTTONUP, LEFT_BUTTON, &COleControl::OnButtonUp},
        {WM_RBUTTONUP, RIGHT_BUTTON, &COleControl::OnButtonUp},
        {WM_MBUTTONUP, MIDDLE_BUTTON, &COleControl::OnButtonUp},
        {WM_LBUTTONDBLCLK, LEFT_BUTTON, &COleControl::OnButtonDblClk},
        {WM_RBUTTONDBLCLK, RIGHT_BUTTON, &COleControl::OnButtonDblClk},
        {WM_MBUTTONDBLCLK, MIDDLE_BUTTON, &COleControl::OnButtonDblClk},
    };
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const UINT flags = static_cast<UINT>(wParam);
    for (const auto& b : kButtons) {
        if (b.message == message) {
            (this->*b.handler)(b.button, flags, point);
            return 0;
        }
    }
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove(flags, point);
            return 0;
        case WM_SETFOCUS:
            OnSetFocus(reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus(reinterpret_cast<HWND>(wParam));
            return 0;
        default:
            return Default(message, wParam, lParam);
    }
}

void COleControl::OnDraw(HDC, const RECT&, const RECT&) {}

void COleControl::OnDrawMetafile(HDC hdc, const RECT& rcBounds) {
    OnDraw(hdc, rcBounds, rcBounds);
}

// ---- mouse, click and focus ----

namespace {

SHORT ShiftState() {
    return static_cast<SHORT>((GetKeyState(VK_SHIFT) < 0 ? SHIFT_MASK : 0) |
                              (GetKeyState(VK_CONTROL) < 0 ? CTRL_MASK : 0) |
                              (GetKeyState(VK_MENU) < 0 ? ALT_MASK : 0));
}

SHORT ButtonsHeld(UINT flags) {
    return static_cast<SHORT>(((flags & MK_LBUTTON) ? LEFT_BUTTON : 0) |
                              ((flags & MK_RBUTTON) ? RIGHT_BUTTON : 0) |
                              ((flags & MK_MBUTTON) ? MIDDLE_BUTTON : 0));
}

}  // namespace

void COleControl::OnMouseMove(UINT nFlags, POINT point) {
    FireMouseMove(ButtonsHeld(nFlags), ShiftState(), point.x, point.y);
}

void COleControl::OnButtonDown(USHORT nButton, UINT, POINT point) {
    m_iButtonState |= nButton;
    m_iDblClkState &= static_cast<USHORT>(~nButton);
    FireMouseDown(static_cast<SHORT>(nButton), ShiftState(), point.x, point.y);
}

void COleControl::OnButtonUp(USHORT nButton, UINT, POINT point) {
    if ((m_iButtonState & nButton) == 0) return;  // pressed elsewhere
    m_iButtonState &= static_cast<USHORT>(~nButton);
    if (m_iButtonState == 0) ReleaseCapture();
    FireMouseUp(static_cast<SHORT>(nButton), ShiftState(), point.x, point.y);
    const bool secondOfDouble = (m_iDblClkState & nButton) != 0;
    m_iDblClkState &= static_cast<USHORT>(~nButton);
    RECT client{0, 0, 0, 0};
    if (m_hWnd) GetClientRect(m_hWnd, &client);
    const bool inside = point.x >= client.left && point.x < client.right && point.y >= client.top &&
                        point.y < client.bottom;
    if (!secondOfDouble && inside) OnClick(nButton);
}

void COleControl::OnButtonDblClk(USHORT nButton, UINT, POINT) {
    m_iButtonState |= nButton;
    m_iDblClkState |= nButton;
    if (nButton == LEFT_BUTTON) FireDblClick();
}

void COleControl::OnClick(USHORT iButton) {
    if (iButton == LEFT_BUTTON) FireClick();
}

void COleControl::ReleaseCapture() {
    ::ReleaseCapture();
}

void COleControl::OnSetFocus(HWND) {
    m_bUIActive = TRUE;
    if (auto site = m_pClientSite.Query<IOleControlSite>(IID_IOleControlSite)) site->OnFocus(TRUE);
}

void COleControl::OnKillFocus(HWND) {
    if (auto site = m_pClientSite.Query<IOleControlSite>(IID_IOleControlSite)) {
        site->OnFocus(FALSE);
    }
}

void COleControl::UIDeactivate() {
    if (!m_bUIActive) return;
    m_bUIActive = FALSE;
    if (m_hWnd && GetFocus() == m_hWnd) SetFocus(GetParent(m_hWnd));
}

COLORREF COleControl::TranslateColor(OLE_COLOR clrColor, HPALETTE hpal) {
    COLORREF color = 0;
    if (FAILED(OleTranslateColor(clrColor, hpal, &color))) return 0;
    return color;
}

// ---- persistence ----

void COleControl::ExchangeExtent(CPropExchange* pPX) {
    PX_Long(pPX, "_ExtentX", m_extent.cx);
    PX_Long(pPX, "_ExtentY", m_extent.cy);
}

void COleControl::ExchangeStockProps(CPropExchange* pPX) {
    for (const auto& e : GetDispatchMap()) {
        if (e.kind != DispKind::Stock) continue;
        if (e.id == DISPID_CAPTION || e.id == DISPID_TEXT) {
            PX_String(pPX, e.name, m_strText, std::string());
        } else if (e.id == DISPID_FONT) {
            auto ambient = ComPtr<IDispatch>::Attach(pPX->IsLoading() ? AmbientFont() : nullptr);
            PX_Font(pPX, "Font", m_font, &platform::ole::DefaultFontDesc(), ambient.get());
        } else if (e.id == DISPID_ENABLED) {
            PX_Bool(pPX, "Enabled", m_bEnabled, TRUE);
        }
    }
}

void COleControl::DoPropExchange(CPropExchange* pPX) {
    ExchangeExtent(pPX);
    ExchangeStockProps(pPX);
}

void COleControl::OnResetState() {
    CResetPropExchange px;
    DoPropExchange(&px);
}

// ---- type information ----

UINT COleControl::GetTypeInfoCount() {
    return 1;
}

HRESULT COleControl::GetTypeInfoOfGuid(LCID lcid, REFGUID guid, ITypeInfo** ppTypeInfo) {
    if (!ppTypeInfo) return E_POINTER;
    *ppTypeInfo = nullptr;
    CTypeLibCache* cache = GetTypeLibCache();
    ComPtr<ITypeLib> lib = cache ? cache->Lookup(lcid) : nullptr;
    if (!lib) {
        HRESULT hr = GetTypeLib(lcid, lib.out());
        if (FAILED(hr)) return hr;
        if (cache) cache->Cache(lcid, lib.get());
    }
    return lib->GetTypeInfoOfGuid(guid, ppTypeInfo);
}

// ---- default overridables ----

const platform::ole::EventMap& COleControl::GetEventMap() const {
    static const platform::ole::EventMap none;
    return none;
}

void COleControl::OnSetClientSite() {}
void COleControl::OnEventAdvise(BOOL) {}
void COleControl::OnTextChanged() {
    InvalidateControl();
}
void COleControl::OnFontChanged() {
    InvalidateControl();
}
void COleControl::OnEnabledChanged() {
    InvalidateControl();
}
void COleControl::OnAmbientPropertyChange(DISPID) {}

BOOL COleControl::OnMapPropertyToPage(DISPID dispid, LPCLSID lpclsid, BOOL* pbPageOptional) {
    if (dispid == DISPID_FONT) {
        *lpclsid = CLSID_CFontPropPage;
        if (pbPageOptional) *pbPageOptional = TRUE;
        return TRUE;
    }
    return FALSE;
}

LPCLSID COleControl::GetPropPageIDs(ULONG& cPropPages) {
    cPropPages = 0;
    return nullptr;
}

void COleControl::Refresh() {
    InvalidateControl();
}
void COleControl::AboutBox() {}
