// The interfaces between a control and its container, persistence through property bags,
// connection points, property pages, and the picture and font objects, as far as controls and
// containers of this system use them.
#pragma once

#include "platform/com/typeinfo.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"
#include "platform/gdi/gdi.h"
#include "platform/win/paint.h"

// ---- interface ids ----

inline constexpr IID IID_IOleObject{0x00000112, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleClientSite{0x00000118, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleContainer{0x0000011B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleWindow{0x00000114, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleInPlaceObject{0x00000113, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleInPlaceSite{0x00000119, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IEnumUnknown{0x00000100, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersist{0x0000010C, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersistPropertyBag{
    0x37D84F60, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr IID IID_IPropertyBag{
    0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr IID IID_IErrorLog{
    0x3127CA40, 0x446E, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr IID IID_IOleControl{
    0xB196B288, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IOleControlSite{
    0xB196B289, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IConnectionPointContainer{
    0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IConnectionPoint{
    0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IProvideClassInfo{
    0xB196B283, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_ISpecifyPropertyPages{
    0xB196B28B, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IPerPropertyBrowsing{
    0x376BD3AA, 0x3845, 0x101B, {0x84, 0xED, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13}};
inline constexpr IID IID_IPropertyPage{
    0xB196B28D, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IPropertyPage2{
    0x01E44665, 0x24AC, 0x101B, {0x84, 0xED, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13}};
inline constexpr IID IID_IPropertyPageSite{
    0xB196B28C, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IPropertyNotifySink{
    0x9BFBBC02, 0xEFF1, 0x101A, {0x84, 0xED, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IPicture{
    0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};
inline constexpr IID IID_IPictureDisp{
    0x7BF80981, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};
inline constexpr IID IID_IFont{
    0xBEF6E002, 0xA874, 0x101A, {0x8B, 0xBA, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};
inline constexpr IID IID_IFontDisp{
    0xBEF6E003, 0xA874, 0x101A, {0x8B, 0xBA, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

inline constexpr CLSID CLSID_StdFont{
    0x0BE35203, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr CLSID CLSID_StdPicture{
    0x0BE35204, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
// The stock property pages.
inline constexpr CLSID CLSID_CFontPropPage{
    0x0BE35200, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr CLSID CLSID_CColorPropPage{
    0x0BE35201, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr CLSID CLSID_CPicturePropPage{
    0x0BE35202, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

inline constexpr HRESULT OLE_E_NOCONNECTION = HResultOf(0x80040004);
inline constexpr HRESULT PERPROP_E_NOPAGEAVAILABLE = HResultOf(0x80040200);
inline constexpr HRESULT CTL_E_INVALIDPICTURE = HResultOf(0x800A01E1);

inline constexpr DWORD DVASPECT_CONTENT = 1;

// OLEMISC bits.
inline constexpr DWORD OLEMISC_RECOMPOSEONRESIZE = 0x1;
inline constexpr DWORD OLEMISC_CANTLINKINSIDE = 0x10;
inline constexpr DWORD OLEMISC_INSIDEOUT = 0x80;
inline constexpr DWORD OLEMISC_ACTIVATEWHENVISIBLE = 0x100;
inline constexpr DWORD OLEMISC_ACTSLIKELABEL = 0x2000;
inline constexpr DWORD OLEMISC_SETCLIENTSITEFIRST = 0x20000;

// Containers' object enumeration flags.
inline constexpr DWORD OLECONTF_EMBEDDINGS = 1;
inline constexpr DWORD OLECONTF_LINKS = 2;
inline constexpr DWORD OLECONTF_OTHERS = 4;

struct SIZEL {
    LONG cx;
    LONG cy;
};

// A counted array of GUIDs in task memory (the receiver frees pElems with CoTaskMemFree).
struct CAUUID {
    ULONG cElems;
    GUID* pElems;
};

// ---- containers and sites ----

class IEnumUnknown : public IUnknown {
public:
    virtual HRESULT Next(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;

protected:
    ~IEnumUnknown() = default;
};

class IOleContainer : public IUnknown {
public:
    virtual HRESULT EnumObjects(DWORD grfFlags, IEnumUnknown** ppenum) = 0;

protected:
    ~IOleContainer() = default;
};

class IOleClientSite : public IUnknown {
public:
    virtual HRESULT SaveObject() = 0;
    virtual HRESULT GetContainer(IOleContainer** ppContainer) = 0;
    virtual HRESULT ShowObject() = 0;
    virtual HRESULT OnShowWindow(BOOL fShow) = 0;
    virtual HRESULT RequestNewObjectLayout() = 0;

protected:
    ~IOleClientSite() = default;
};

class IOleControlSite : public IUnknown {
public:
    virtual HRESULT OnControlInfoChanged() = 0;
    virtual HRESULT LockInPlaceActive(BOOL fLock) = 0;
    virtual HRESULT GetExtendedControl(IDispatch** ppDisp) = 0;
    virtual HRESULT OnFocus(BOOL fGotFocus) = 0;
    virtual HRESULT ShowPropertyFrame() = 0;

protected:
    ~IOleControlSite() = default;
};

// ---- the control ----

class IOleObject : public IUnknown {
public:
    virtual HRESULT SetClientSite(IOleClientSite* pClientSite) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** ppClientSite) = 0;
    virtual HRESULT Close(DWORD dwSaveOption) = 0;
    virtual HRESULT DoVerb(LONG iVerb, HWND hwndParent, LPCRECT lprcPosRect) = 0;
    virtual HRESULT GetUserClassID(CLSID* pClsid) = 0;
    // The user type name (task memory).
    virtual HRESULT GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) = 0;
    // Sizes in HIMETRIC (0.01 mm).
    virtual HRESULT SetExtent(DWORD dwDrawAspect, SIZEL* psizel) = 0;
    virtual HRESULT GetExtent(DWORD dwDrawAspect, SIZEL* psizel) = 0;
    virtual HRESULT GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) = 0;

protected:
    ~IOleObject() = default;
};

class IOleWindow : public IUnknown {
public:
    virtual HRESULT GetWindow(HWND* phwnd) = 0;
    virtual HRESULT ContextSensitiveHelp(BOOL fEnterMode) = 0;

protected:
    ~IOleWindow() = default;
};

class IOleInPlaceObject : public IOleWindow {
public:
    virtual HRESULT InPlaceDeactivate() = 0;
    virtual HRESULT UIDeactivate() = 0;
    // The control's position and clip rectangles in the container's client coordinates.
    virtual HRESULT SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) = 0;
    virtual HRESULT ReactivateAndUndo() = 0;

protected:
    ~IOleInPlaceObject() = default;
};

// The container's side of an in-place active control (this system's form of it): the window the
// control's window goes into and the control's place there.
class IOleInPlaceSite : public IOleWindow {
public:
    // S_OK when the control may become in-place active.
    virtual HRESULT CanInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceDeactivate() = 0;
    // The control's position and clip rectangles in the container window's client coordinates.
    virtual HRESULT GetWindowContext(LPRECT lprcPosRect, LPRECT lprcClipRect) = 0;
    // The control asks for a new position (the container moves it with SetObjectRects).
    virtual HRESULT OnPosRectChange(LPCRECT lprcPosRect) = 0;

protected:
    ~IOleInPlaceSite() = default;
};

// The verbs of IOleObject::DoVerb.
inline constexpr LONG OLEIVERB_PRIMARY = 0;
inline constexpr LONG OLEIVERB_SHOW = -1;
inline constexpr LONG OLEIVERB_HIDE = -3;
inline constexpr LONG OLEIVERB_UIACTIVATE = -4;
inline constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;

// COleControl::GetDC's flags: OLEDC_PAINTBKGND paints what lies beneath the control first.
inline constexpr DWORD OLEDC_NODRAW = 0x01;
inline constexpr DWORD OLEDC_PAINTBKGND = 0x02;
inline constexpr DWORD OLEDC_OFFSCREEN = 0x04;

class IOleControl : public IUnknown {
public:
    virtual HRESULT OnAmbientPropertyChange(DISPID dispID) = 0;
    virtual HRESULT FreezeEvents(BOOL bFreeze) = 0;

protected:
    ~IOleControl() = default;
};

class IPersist : public IUnknown {
public:
    virtual HRESULT GetClassID(CLSID* pClassID) = 0;

protected:
    ~IPersist() = default;
};

class IErrorLog : public IUnknown {
public:
    virtual HRESULT AddError(LPCOLESTR pszPropName, EXCEPINFO* pExcepInfo) = 0;

protected:
    ~IErrorLog() = default;
};

// Named values. Read converts the stored value to pVar->vt (VT_EMPTY: as stored).
class IPropertyBag : public IUnknown {
public:
    virtual HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) = 0;
    virtual HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) = 0;

protected:
    ~IPropertyBag() = default;
};

class IPersistPropertyBag : public IPersist {
public:
    virtual HRESULT InitNew() = 0;
    virtual HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) = 0;
    virtual HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) = 0;

protected:
    ~IPersistPropertyBag() = default;
};

class IConnectionPointContainer;

class IConnectionPoint : public IUnknown {
public:
    virtual HRESULT GetConnectionInterface(IID* pIID) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** ppCPC) = 0;
    virtual HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) = 0;
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;

protected:
    ~IConnectionPoint() = default;
};

class IConnectionPointContainer : public IUnknown {
public:
    virtual HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) = 0;

protected:
    ~IConnectionPointContainer() = default;
};

class IPropertyNotifySink : public IUnknown {
public:
    virtual HRESULT OnChanged(DISPID dispID) = 0;
    virtual HRESULT OnRequestEdit(DISPID dispID) = 0;

protected:
    ~IPropertyNotifySink() = default;
};

class ISpecifyPropertyPages : public IUnknown {
public:
    virtual HRESULT GetPages(CAUUID* pPages) = 0;

protected:
    ~ISpecifyPropertyPages() = default;
};

class IPerPropertyBrowsing : public IUnknown {
public:
    virtual HRESULT GetDisplayString(DISPID dispID, BSTR* pBstr) = 0;
    // PERPROP_E_NOPAGEAVAILABLE when no page edits the property.
    virtual HRESULT MapPropertyToPage(DISPID dispID, CLSID* pClsid) = 0;

protected:
    ~IPerPropertyBrowsing() = default;
};

class IProvideClassInfo : public IUnknown {
public:
    virtual HRESULT GetClassInfo(ITypeInfo** ppTI) = 0;

protected:
    ~IProvideClassInfo() = default;
};

// ---- property pages ----

// What a page tells its frame about itself; the strings are task memory, freed by the frame.
struct PROPPAGEINFO {
    ULONG cb;
    LPOLESTR pszTitle;
    SIZE size;  // pixels
    LPOLESTR pszDocString;
    LPOLESTR pszHelpFile;
    DWORD dwHelpContext;
};

inline constexpr DWORD PROPPAGESTATUS_DIRTY = 0x1;
inline constexpr DWORD PROPPAGESTATUS_VALIDATE = 0x2;
inline constexpr DWORD PROPPAGESTATUS_CLEAN = 0x4;

// The frame's side of one page.
class IPropertyPageSite : public IUnknown {
public:
    virtual HRESULT OnStatusChange(DWORD dwFlags) = 0;
    virtual HRESULT GetLocaleID(LCID* pLocaleID) = 0;
    virtual HRESULT GetPageContainer(IUnknown** ppUnk) = 0;

protected:
    ~IPropertyPageSite() = default;
};

// A property page: a child window of its frame that edits the properties of the objects given.
class IPropertyPage : public IUnknown {
public:
    virtual HRESULT SetPageSite(IPropertyPageSite* pPageSite) = 0;
    // Creates the page's window inside hWndParent at pRect, loaded from the objects.
    virtual HRESULT Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) = 0;
    virtual HRESULT Deactivate() = 0;
    virtual HRESULT GetPageInfo(PROPPAGEINFO* pPageInfo) = 0;
    virtual HRESULT SetObjects(ULONG cObjects, IUnknown** ppUnk) = 0;
    virtual HRESULT Show(UINT nCmdShow) = 0;
    virtual HRESULT Move(LPCRECT pRect) = 0;
    // S_OK when the page holds changes not applied yet, else S_FALSE.
    virtual HRESULT IsPageDirty() = 0;
    // Writes the changes to the objects.
    virtual HRESULT Apply() = 0;
    virtual HRESULT Help(LPCOLESTR pszHelpDir) = 0;

protected:
    ~IPropertyPage() = default;
};

class IPropertyPage2 : public IPropertyPage {
public:
    // Gives the focus to the control that edits the property.
    virtual HRESULT EditProperty(DISPID dispID) = 0;

protected:
    ~IPropertyPage2() = default;
};

// ---- pictures and fonts ----

inline constexpr SHORT PICTYPE_UNINITIALIZED = -1;
inline constexpr SHORT PICTYPE_NONE = 0;
inline constexpr SHORT PICTYPE_BITMAP = 1;
inline constexpr SHORT PICTYPE_METAFILE = 2;
inline constexpr SHORT PICTYPE_ICON = 3;
inline constexpr SHORT PICTYPE_ENHMETAFILE = 4;

class IPicture : public IUnknown {
public:
    virtual HRESULT get_Handle(OLE_HANDLE* pHandle) = 0;
    virtual HRESULT get_hPal(OLE_HANDLE* phPal) = 0;
    virtual HRESULT get_Type(SHORT* pType) = 0;
    virtual HRESULT get_Width(OLE_XSIZE_HIMETRIC* pWidth) = 0;
    virtual HRESULT get_Height(OLE_YSIZE_HIMETRIC* pHeight) = 0;
    virtual HRESULT set_hPal(OLE_HANDLE hPal) = 0;
    virtual HRESULT PictureChanged() = 0;
    virtual HRESULT get_Attributes(DWORD* pDwAttr) = 0;

protected:
    ~IPicture() = default;
};
using LPPICTURE = IPicture*;
using IPictureDisp = IDispatch;
using LPPICTUREDISP = IPictureDisp*;

inline constexpr DISPID DISPID_PICT_HANDLE = 0;
inline constexpr DISPID DISPID_PICT_HPAL = 2;
inline constexpr DISPID DISPID_PICT_TYPE = 3;
inline constexpr DISPID DISPID_PICT_WIDTH = 4;
inline constexpr DISPID DISPID_PICT_HEIGHT = 5;

class IFont : public IUnknown {
public:
    virtual HRESULT get_Name(BSTR* pName) = 0;
    virtual HRESULT put_Name(BSTR name) = 0;
    // Points, as currency.
    virtual HRESULT get_Size(CY* pSize) = 0;
    virtual HRESULT put_Size(CY size) = 0;
    virtual HRESULT get_Bold(BOOL* pBold) = 0;
    virtual HRESULT put_Bold(BOOL bold) = 0;
    virtual HRESULT get_Italic(BOOL* pItalic) = 0;
    virtual HRESULT put_Italic(BOOL italic) = 0;
    virtual HRESULT get_Underline(BOOL* pUnderline) = 0;
    virtual HRESULT put_Underline(BOOL underline) = 0;
    virtual HRESULT get_Strikethrough(BOOL* pStrikethrough) = 0;
    virtual HRESULT put_Strikethrough(BOOL strikethrough) = 0;
    virtual HRESULT get_Weight(SHORT* pWeight) = 0;
    virtual HRESULT put_Weight(SHORT weight) = 0;
    virtual HRESULT get_Charset(SHORT* pCharset) = 0;
    virtual HRESULT put_Charset(SHORT charset) = 0;
    // The graphics font of the description at the screen's 96 pixels an inch (the character
    // height is the size in points * 96 / 72, rounded); the font object owns it and makes a new
    // one when the description changes.
    virtual HRESULT get_hFont(HFONT* phFont) = 0;
    virtual HRESULT Clone(IFont** ppFont) = 0;
    virtual HRESULT IsEqual(IFont* pFontOther) = 0;

protected:
    ~IFont() = default;
};
using LPFONT = IFont*;
using IFontDisp = IDispatch;
using LPFONTDISP = IFontDisp*;

inline constexpr DISPID DISPID_FONT_NAME = 0;
inline constexpr DISPID DISPID_FONT_SIZE = 2;
inline constexpr DISPID DISPID_FONT_BOLD = 3;
inline constexpr DISPID DISPID_FONT_ITALIC = 4;
inline constexpr DISPID DISPID_FONT_UNDER = 5;
inline constexpr DISPID DISPID_FONT_STRIKE = 6;
inline constexpr DISPID DISPID_FONT_WEIGHT = 7;
inline constexpr DISPID DISPID_FONT_CHARSET = 8;
