#include "platform/ole/propexch.h"

#include <cstring>

#include "platform/com/bstr.h"

using platform::com::ComPtr;
using platform::com::Query;
using platform::com::Utf16;
using platform::com::Variant;

namespace {

// Reads the member as a variant of its type.
Variant ToVariant(VARTYPE vt, const void* p) {
    switch (vt) {
        case VT_I2:
            return Variant::I2(*static_cast<const SHORT*>(p));
        case VT_I4:
            return Variant::I4(*static_cast<const LONG*>(p));
        case VT_UI4:
            return Variant::UI4(*static_cast<const DWORD*>(p));
        case VT_BOOL:
            return Variant::Bool(*static_cast<const BOOL*>(p) != 0);
        case VT_R4:
            return Variant::R4(*static_cast<const float*>(p));
        case VT_CY:
            return Variant::Cy(static_cast<const CY*>(p)->int64);
        case VT_BSTR:
            return Variant::String(*static_cast<const std::string*>(p));
        default:
            return Variant();
    }
}

// Stores a variant of the member's type into the member.
void FromVariant(VARTYPE vt, const VARIANT& v, void* p) {
    switch (vt) {
        case VT_I2:
            *static_cast<SHORT*>(p) = v.iVal;
            break;
        case VT_I4:
            *static_cast<LONG*>(p) = v.lVal;
            break;
        case VT_UI4:
            *static_cast<DWORD*>(p) = v.ulVal;
            break;
        case VT_BOOL:
            *static_cast<BOOL*>(p) = v.boolVal != 0 ? TRUE : FALSE;
            break;
        case VT_R4:
            *static_cast<float*>(p) = v.fltVal;
            break;
        case VT_CY:
            *static_cast<CY*>(p) = v.cyVal;
            break;
        case VT_BSTR:
            *static_cast<std::string*>(p) = platform::com::Utf8(v.bstrVal);
            break;
        default:
            break;
    }
}

void CopyDefault(VARTYPE vt, const void* from, void* to) {
    switch (vt) {
        case VT_I2:
            *static_cast<SHORT*>(to) = *static_cast<const SHORT*>(from);
            break;
        case VT_I4:
            *static_cast<LONG*>(to) = *static_cast<const LONG*>(from);
            break;
        case VT_UI4:
            *static_cast<DWORD*>(to) = *static_cast<const DWORD*>(from);
            break;
        case VT_BOOL:
            *static_cast<BOOL*>(to) = *static_cast<const BOOL*>(from);
            break;
        case VT_R4:
            *static_cast<float*>(to) = *static_cast<const float*>(from);
            break;
        case VT_CY:
            *static_cast<CY*>(to) = *static_cast<const CY*>(from);
            break;
        case VT_BSTR:
            *static_cast<std::string*>(to) = *static_cast<const std::string*>(from);
            break;
        default:
            break;
    }
}

bool EqualsDefault(VARTYPE vt, const void* value, const void* def) {
    if (!def) return false;
    switch (vt) {
        case VT_BOOL:
            return (*static_cast<const BOOL*>(value) != 0) == (*static_cast<const BOOL*>(def) != 0);
        case VT_BSTR:
            return *static_cast<const std::string*>(value) == *static_cast<const std::string*>(def);
        default: {
            Variant a = ToVariant(vt, value), b = ToVariant(vt, def);
            return std::memcmp(&a.get().llVal, &b.get().llVal, sizeof(LONGLONG)) == 0;
        }
    }
}

}  // namespace

BOOL CPropExchange::ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert) {
    LONG version = static_cast<LONG>(dwVersionDefault);
    if (IsLoading()) {
        LONG saved = static_cast<LONG>(dwVersionDefault);
        ExchangeProp("_Version", VT_I4, &saved, &version);
        dwVersionLoaded = static_cast<DWORD>(saved);
        m_dwVersion = dwVersionLoaded;
        return dwVersionLoaded == dwVersionDefault || bConvert;
    }
    if (!IsResetting()) ExchangeProp("_Version", VT_I4, &version, nullptr);
    dwVersionLoaded = dwVersionDefault;
    m_dwVersion = dwVersionDefault;
    return TRUE;
}

// ---- over a bag ----

CPropbagPropExchange::CPropbagPropExchange(IPropertyBag* pPropBag, IErrorLog* pErrorLog,
                                           BOOL bLoading, BOOL bSaveAllProperties)
    : m_pPropBag(pPropBag), m_pErrorLog(pErrorLog), m_bSaveAllProperties(bSaveAllProperties) {
    m_bLoading = bLoading;
}

BOOL CPropbagPropExchange::HasProp(LPCSTR pszPropName) const {
    std::u16string name = Utf16(pszPropName);
    Variant v;
    return SUCCEEDED(m_pPropBag->Read(name.c_str(), v.ptr(), nullptr));
}

BOOL CPropbagPropExchange::ExchangeProp(LPCSTR pszPropName, VARTYPE vtProp, void* pvProp,
                                        const void* pvDefault) {
    std::u16string name = Utf16(pszPropName);
    if (m_bLoading) {
        Variant v;
        v.ptr()->vt = vtProp;
        if (SUCCEEDED(m_pPropBag->Read(name.c_str(), v.ptr(), m_pErrorLog)) && v.vt() == vtProp) {
            FromVariant(vtProp, v.get(), pvProp);
            return TRUE;
        }
        if (pvDefault) CopyDefault(vtProp, pvDefault, pvProp);
        return pvDefault != nullptr;
    }
    if (!m_bSaveAllProperties && EqualsDefault(vtProp, pvProp, pvDefault)) return TRUE;
    Variant v = ToVariant(vtProp, pvProp);
    return SUCCEEDED(m_pPropBag->Write(name.c_str(), v.ptr()));
}

BOOL CPropbagPropExchange::ExchangePersistentProp(LPCSTR pszPropName, ComPtr<IUnknown>& unk,
                                                  REFIID iid, LPUNKNOWN pUnkDefault) {
    std::u16string name = Utf16(pszPropName);
    if (m_bLoading) {
        Variant v;
        v.ptr()->vt = VT_UNKNOWN;
        ComPtr<IUnknown> loaded;
        if (SUCCEEDED(m_pPropBag->Read(name.c_str(), v.ptr(), m_pErrorLog)) &&
            v.vt() == VT_UNKNOWN) {
            loaded = Query<IUnknown>(v.get().punkVal, iid);
        }
        if (!loaded) loaded = Query<IUnknown>(pUnkDefault, iid);
        unk = std::move(loaded);
        return unk != nullptr;
    }
    if (!unk) return TRUE;
    Variant v = Variant::Unknown(unk.get());
    return SUCCEEDED(m_pPropBag->Write(name.c_str(), v.ptr()));
}

// ---- reset ----

CResetPropExchange::CResetPropExchange() {
    m_bLoading = TRUE;
}

BOOL CResetPropExchange::ExchangeProp(LPCSTR, VARTYPE vtProp, void* pvProp, const void* pvDefault) {
    if (pvDefault) CopyDefault(vtProp, pvDefault, pvProp);
    return TRUE;
}

BOOL CResetPropExchange::ExchangePersistentProp(LPCSTR, ComPtr<IUnknown>& unk, REFIID iid,
                                                LPUNKNOWN pUnkDefault) {
    unk = Query<IUnknown>(pUnkDefault, iid);
    return TRUE;
}

// ---- the PX_ functions ----

BOOL PX_Bool(CPropExchange* pPX, LPCSTR name, BOOL& value) {
    return pPX->ExchangeProp(name, VT_BOOL, &value, nullptr);
}
BOOL PX_Bool(CPropExchange* pPX, LPCSTR name, BOOL& value, BOOL def) {
    return pPX->ExchangeProp(name, VT_BOOL, &value, &def);
}
BOOL PX_Short(CPropExchange* pPX, LPCSTR name, SHORT& value) {
    return pPX->ExchangeProp(name, VT_I2, &value, nullptr);
}
BOOL PX_Short(CPropExchange* pPX, LPCSTR name, SHORT& value, SHORT def) {
    return pPX->ExchangeProp(name, VT_I2, &value, &def);
}
BOOL PX_Long(CPropExchange* pPX, LPCSTR name, LONG& value) {
    return pPX->ExchangeProp(name, VT_I4, &value, nullptr);
}
BOOL PX_Long(CPropExchange* pPX, LPCSTR name, LONG& value, LONG def) {
    return pPX->ExchangeProp(name, VT_I4, &value, &def);
}
BOOL PX_Color(CPropExchange* pPX, LPCSTR name, OLE_COLOR& value) {
    return pPX->ExchangeProp(name, VT_UI4, &value, nullptr);
}
BOOL PX_Color(CPropExchange* pPX, LPCSTR name, OLE_COLOR& value, OLE_COLOR def) {
    return pPX->ExchangeProp(name, VT_UI4, &value, &def);
}
BOOL PX_Float(CPropExchange* pPX, LPCSTR name, float& value, float def) {
    return pPX->ExchangeProp(name, VT_R4, &value, &def);
}
BOOL PX_String(CPropExchange* pPX, LPCSTR name, std::string& value) {
    return pPX->ExchangeProp(name, VT_BSTR, &value, nullptr);
}
BOOL PX_String(CPropExchange* pPX, LPCSTR name, std::string& value, const std::string& def) {
    return pPX->ExchangeProp(name, VT_BSTR, &value, &def);
}

namespace {

// A loaded picture (a reference on its IPicture) into the holder; an empty picture for none.
void TakePicture(CPictureHolder& pict, ComPtr<IUnknown> object) {
    if (object) {
        pict.m_pPict = ComPtr<IPicture>::Attach(static_cast<IPicture*>(object.detach()));
    } else {
        pict.CreateEmpty();
    }
}

}  // namespace

BOOL PX_Picture(CPropExchange* pPX, LPCSTR name, CPictureHolder& pict) {
    ComPtr<IUnknown> object;
    if (!pPX->IsLoading()) {
        if (pict.GetType() != PICTYPE_NONE) object = pict.m_pPict;
        return pPX->ExchangePersistentProp(name, object, IID_IPicture, nullptr);
    }
    pPX->ExchangePersistentProp(name, object, IID_IPicture, nullptr);
    TakePicture(pict, std::move(object));
    return TRUE;
}

BOOL PX_Picture(CPropExchange* pPX, LPCSTR name, CPictureHolder& pict, CPictureHolder& def) {
    if (!pPX->IsLoading()) return PX_Picture(pPX, name, pict);
    ComPtr<IUnknown> object;
    pPX->ExchangePersistentProp(name, object, IID_IPicture, def.m_pPict.get());
    TakePicture(pict, std::move(object));
    return TRUE;
}

BOOL PX_Font(CPropExchange* pPX, LPCSTR name, CFontHolder& font, const FONTDESC* pFontDesc,
             LPFONTDISP pFontDispAmbient) {
    ComPtr<IUnknown> object;
    if (!pPX->IsLoading()) {
        object = font.m_pFont;
        return pPX->ExchangePersistentProp(name, object, IID_IFont, nullptr);
    }
    if (!pPX->IsResetting()) pPX->ExchangePersistentProp(name, object, IID_IFont, nullptr);
    if (object) {
        font.SetFont(static_cast<IFont*>(object.detach()));
    } else {
        font.InitializeFont(pFontDesc, pFontDispAmbient);
    }
    return TRUE;
}

BOOL PX_VBXFontConvert(CPropExchange* pPX, CFontHolder& font) {
    if (!pPX->IsLoading() || pPX->IsResetting() || !font.m_pFont) return FALSE;
    IFont* f = font.m_pFont.get();
    std::string name;
    if (pPX->ExchangeProp("FontName", VT_BSTR, &name, nullptr)) {
        BSTR b = platform::com::AllocBstr(name);
        f->put_Name(b);
        SysFreeString(b);
    }
    CY size{};
    if (pPX->ExchangeProp("FontSize", VT_CY, &size, nullptr) && size.int64 > 0) f->put_Size(size);
    BOOL flag = FALSE;
    if (pPX->ExchangeProp("FontBold", VT_BOOL, &flag, nullptr)) f->put_Bold(flag);
    if (pPX->ExchangeProp("FontItalic", VT_BOOL, &flag, nullptr)) f->put_Italic(flag);
    if (pPX->ExchangeProp("FontStrikethru", VT_BOOL, &flag, nullptr)) f->put_Strikethrough(flag);
    if (pPX->ExchangeProp("FontUnderline", VT_BOOL, &flag, nullptr)) f->put_Underline(flag);
    return TRUE;
}
