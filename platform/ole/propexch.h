// Property exchange: one routine of a control (DoPropExchange) saves, loads and resets its
// persisted properties through the PX_ functions, over a property bag or in reset mode.
//
// Each PX_ function with a default: on load, an absent (or unreadable) property takes the
// default; on reset it takes the default; on save it is written (unless it equals the default and
// the bag is not asked to save every property). Without a default, an absent property leaves the
// member as it is, reset leaves it as it is, and save always writes it. Loaded values are stored
// as read, without any range check.
#pragma once

#include <string>

#include "platform/ole/holders.h"
#include "platform/ole/oleidl.h"

class CPropExchange {
public:
    virtual ~CPropExchange() = default;

    BOOL IsLoading() const { return m_bLoading; }
    DWORD GetVersion() const { return m_dwVersion; }

    // "_Version": saves dwVersionDefault; loads the saved version (or dwVersionDefault when there
    // is none) into dwVersionLoaded. With bConvert a different saved version is accepted (the
    // caller converts); without it such a load is refused (FALSE).
    virtual BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert);

    // One value: vtProp is VT_I2 (SHORT), VT_I4 (LONG), VT_UI4 (DWORD, OLE colours), VT_BOOL
    // (BOOL), VT_R4 (float), VT_CY (CY) or VT_BSTR (std::string); pvDefault may be null.
    virtual BOOL ExchangeProp(LPCSTR pszPropName, VARTYPE vtProp, void* pvProp,
                              const void* pvDefault) = 0;
    // An object property (a picture or a font): unk is the object saved, or receives the object
    // loaded or the default (pUnkDefault, which may be null) as its interface iid.
    virtual BOOL ExchangePersistentProp(LPCSTR pszPropName, platform::com::ComPtr<IUnknown>& unk,
                                        REFIID iid, LPUNKNOWN pUnkDefault) = 0;
    // True in reset mode (neither loading nor saving data).
    virtual BOOL IsResetting() const { return FALSE; }

protected:
    BOOL m_bLoading = FALSE;
    DWORD m_dwVersion = 0;
};

// Over a property bag.
class CPropbagPropExchange : public CPropExchange {
public:
    CPropbagPropExchange(IPropertyBag* pPropBag, IErrorLog* pErrorLog, BOOL bLoading,
                         BOOL bSaveAllProperties = FALSE);
    BOOL ExchangeProp(LPCSTR pszPropName, VARTYPE vtProp, void* pvProp,
                      const void* pvDefault) override;
    BOOL ExchangePersistentProp(LPCSTR pszPropName, platform::com::ComPtr<IUnknown>& unk,
                                REFIID iid, LPUNKNOWN pUnkDefault) override;
    // True when the bag holds the property.
    BOOL HasProp(LPCSTR pszPropName) const;

private:
    // Borrowed for the exchange, which lasts one load or save of the bag's owner.
    IPropertyBag* m_pPropBag;
    IErrorLog* m_pErrorLog;
    BOOL m_bSaveAllProperties;
};

// Reset mode: every property with a default takes it.
class CResetPropExchange : public CPropExchange {
public:
    CResetPropExchange();
    BOOL ExchangeProp(LPCSTR pszPropName, VARTYPE vtProp, void* pvProp,
                      const void* pvDefault) override;
    BOOL ExchangePersistentProp(LPCSTR pszPropName, platform::com::ComPtr<IUnknown>& unk,
                                REFIID iid, LPUNKNOWN pUnkDefault) override;
    BOOL IsResetting() const override { return TRUE; }
};

BOOL PX_Bool(CPropExchange* pPX, LPCSTR pszPropName, BOOL& bValue);
BOOL PX_Bool(CPropExchange* pPX, LPCSTR pszPropName, BOOL& bValue, BOOL bDefault);
BOOL PX_Short(CPropExchange* pPX, LPCSTR pszPropName, SHORT& sValue);
BOOL PX_Short(CPropExchange* pPX, LPCSTR pszPropName, SHORT& sValue, SHORT sDefault);
BOOL PX_Long(CPropExchange* pPX, LPCSTR pszPropName, LONG& lValue);
BOOL PX_Long(CPropExchange* pPX, LPCSTR pszPropName, LONG& lValue, LONG lDefault);
BOOL PX_Color(CPropExchange* pPX, LPCSTR pszPropName, OLE_COLOR& clrValue);
BOOL PX_Color(CPropExchange* pPX, LPCSTR pszPropName, OLE_COLOR& clrValue, OLE_COLOR clrDefault);
BOOL PX_Float(CPropExchange* pPX, LPCSTR pszPropName, float& floatValue, float floatDefault);
BOOL PX_String(CPropExchange* pPX, LPCSTR pszPropName, std::string& strValue);
BOOL PX_String(CPropExchange* pPX, LPCSTR pszPropName, std::string& strValue,
               const std::string& strDefault);
// A picture; an absent one (or one that cannot be read) leaves the holder empty, or holding the
// default picture's object when one is given.
BOOL PX_Picture(CPropExchange* pPX, LPCSTR pszPropName, CPictureHolder& pict);
BOOL PX_Picture(CPropExchange* pPX, LPCSTR pszPropName, CPictureHolder& pict,
                CPictureHolder& pictDefault);
// A font; an absent one takes a copy of the ambient font when there is one, else a font of the
// description (the default font for none).
BOOL PX_Font(CPropExchange* pPX, LPCSTR pszPropName, CFontHolder& font,
             const FONTDESC* pFontDesc = nullptr, LPFONTDISP pFontDispAmbient = nullptr);
// On loading the saved properties of the older 16-bit form of a control: its separate font
// settings "FontName", "FontSize", "FontBold", "FontItalic", "FontStrikethru" and
// "FontUnderline" (each when present) carried into the font.
BOOL PX_VBXFontConvert(CPropExchange* pPX, CFontHolder& font);
