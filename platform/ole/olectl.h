// The control base class: a COM object with the interfaces a container uses (IDispatch, IOleObject,
// IOleControl, IOleInPlaceObject, IPersistPropertyBag, IConnectionPointContainer,
// ISpecifyPropertyPages, IPerPropertyBrowsing, IProvideClassInfo), the container's ambient
// properties, the stock properties Caption, Font and Enabled, events fired into the container's
// sinks, property change notices, automation errors, persistence through DoPropExchange, and the
// control's size and place in its container.
//
// A control class derives from COleControl, gives its dispatch map and event map, its class id,
// type library and fixed answers, and its DoPropExchange; it adds interfaces of its own by
// overriding GetInterface. Everything runs on the container's thread; reference counts are atomic.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "platform/base/error.h"
#include "platform/com/variant.h"
#include "platform/ole/dispmap.h"
#include "platform/ole/holders.h"
#include "platform/ole/module.h"
#include "platform/ole/oleidl.h"
#include "platform/ole/propexch.h"

// The automation error raised by ThrowError: Invoke turns it into DISP_E_EXCEPTION with the status
// code and the description in the EXCEPINFO.
class COleDispatchException : public platform::base::Error {
public:
    COleDispatchException(SCODE sc, const std::string& description, UINT helpContext)
        : platform::base::Error(description), m_scError(sc), m_dwHelpContext(helpContext) {}
    SCODE m_scError;
    UINT m_dwHelpContext;
};

// The message of the class library's get-not-supported and set-not-supported errors.
inline constexpr const char* kGetNotSupportedMessage = "Property cannot be read.";
inline constexpr const char* kSetNotSupportedMessage = "Property cannot be set.";

class COleControl : public CCmdTarget {
public:
    // ---- the object ----
    IDispatch* GetIDispatch(BOOL bAddRef);
    void* GetInterface(REFIID iid) override;

    // ---- stock properties ----
    const std::string& InternalGetText() const { return m_strText; }
    BSTR GetText();
    void SetText(LPCOLESTR pszText);
    void SetText(const std::string& text);
    CFontHolder& InternalGetFont() { return m_font; }
    LPFONTDISP GetFont();
    void SetFont(LPFONTDISP pFontDisp);
    BOOL GetEnabled() { return m_bEnabled; }
    void SetEnabled(BOOL bEnabled);

    // ---- the container ----
    IOleClientSite* GetClientSite() const { return m_pClientSite.get(); }
    // Reads an ambient property of the container (converted to vtProp into *pvProp: SHORT, LONG,
    // BOOL, OLE_COLOR, std::string or IDispatch* with a new reference). FALSE without one.
    BOOL GetAmbientProperty(DISPID dispid, VARTYPE vtProp, void* pvProp);
    // TRUE when the container does not say (a control outside a designer runs).
    BOOL AmbientUserMode();
    std::string AmbientDisplayName();
    OLE_COLOR AmbientBackColor();
    OLE_COLOR AmbientForeColor();
    // A new reference on the container's font, or null.
    LPFONTDISP AmbientFont();

    // Tells the container's property sinks that the property changed, and marks the control
    // changed.
    void BoundPropertyChanged(DISPID dispid);
    BOOL BoundPropertyRequestEdit(DISPID dispid);
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }
    BOOL IsModified() const { return m_bModified; }
    // Asks the container to keep the control in-place active (TRUE) or lets it go (FALSE);
    // FALSE when the container does not offer it.
    BOOL LockInPlaceActive(BOOL bLock);
    void ControlInfoChanged();

    // ---- errors ----
    // Raises the automation error: the property or method call ends here.
    [[noreturn]] static void ThrowError(SCODE sc, const char* pszDescription, UINT nHelpID = 0);
    [[noreturn]] static void GetNotSupported();
    [[noreturn]] static void SetNotSupported();

    // ---- events ----
    // Fires the event into every sink of the event interface (not while events are frozen).
    void FireEvent(DISPID dispid, std::initializer_list<platform::com::Variant> args = {});
    void FireClick();
    void FireDblClick();
    void FireMouseDown(SHORT nButton, SHORT nShiftState, OLE_XPOS_PIXELS x, OLE_YPOS_PIXELS y);
    void FireMouseMove(SHORT nButton, SHORT nShiftState, OLE_XPOS_PIXELS x, OLE_YPOS_PIXELS y);
    void FireMouseUp(SHORT nButton, SHORT nShiftState, OLE_XPOS_PIXELS x, OLE_YPOS_PIXELS y);

    // ---- size and place ----
    // The control's size in pixels (from its extent, 96 pixels an inch).
    void GetControlSize(int* pcx, int* pcy);
    BOOL SetControlSize(int cx, int cy);
    // The control's rectangle in the container's client coordinates, while the container has
    // given it one (SetObjectRects); FALSE otherwise.
    BOOL GetRectInContainer(LPRECT lpRect);
    BOOL SetRectInContainer(LPCRECT lpRect);
    // The control's window while it is in-place active, else null.
    HWND GetHwnd() const { return m_hWnd; }
    // Asks for a repaint (of the whole control for a null rectangle); without a window there is
    // nothing to repaint.
    void InvalidateControl(LPCRECT lpRect = nullptr, BOOL bErase = TRUE);

    // ---- the window ----
    // The control is windowed while in-place active: DoVerb(OLEIVERB_INPLACEACTIVATE) asks the
    // client site's IOleInPlaceSite for the container's window and the control's place, makes the
    // control's window there (a child window of platform/win that draws into its form's surface)
    // and shows it; InPlaceDeactivate and Close destroy it. Its messages reach WindowProc.
    HRESULT InPlaceActivate(HWND hWndParent, LPCRECT lprcPosRect);
    void InPlaceDeactivate();
    // A context onto the control's window (null without one); OLEDC_PAINTBKGND first paints what
    // lies beneath the control into it, through the container's background painter of the window.
    // Code of a control class calls the graphics layer's own GetDC and ReleaseDC as ::GetDC and
    // ::ReleaseDC.
    HDC GetDC(LPCRECT lprcRect = nullptr, DWORD dwFlags = OLEDC_PAINTBKGND);
    int ReleaseDC(HDC hDC);
    // The control's message handling: WM_PAINT paints through OnDraw over the client rectangle;
    // every other message gets Default.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // Draws the control into the context: rcBounds is the control's rectangle there, rcInvalid
    // the part that needs it. The base class draws nothing.
    virtual void OnDraw(HDC hdc, const RECT& rcBounds, const RECT& rcInvalid);
    // Draws the control into a metafile's context over rcBounds; the base class draws it through
    // OnDraw.
    virtual void OnDrawMetafile(HDC hdc, const RECT& rcBounds);

    // ---- mouse, click and focus ----
    // The framework's handlers of the window's mouse and focus messages (WindowProc routes them
    // here). They fire the stock events: MouseMove, MouseDown and MouseUp with the button (1
    // left, 2 right, 4 middle; for MouseMove the buttons held), the shift state (1 Shift, 2 Ctrl,
    // 4 Alt) and the point in the window's client pixels; a press and release of a button inside
    // the window calls OnClick with the button, unless the press was the second of a double
    // click; the left button's double click fires DblClick.
    void OnMouseMove(UINT nFlags, POINT point);
    void OnButtonDown(USHORT nButton, UINT nFlags, POINT point);
    void OnButtonUp(USHORT nButton, UINT nFlags, POINT point);
    void OnButtonDblClk(USHORT nButton, UINT nFlags, POINT point);
    // Fires Click for the left button.
    virtual void OnClick(USHORT iButton);
    // The window took the focus: the control becomes UI active and tells its site.
    void OnSetFocus(HWND hWndOld);
    // The window lost the focus: the control tells its site.
    void OnKillFocus(HWND hWndNew);
    // Ends a mouse capture of the window.
    void ReleaseCapture();
    // UI active from the window's taking the focus (or the verb OLEIVERB_UIACTIVATE) until
    // UIDeactivate, which gives the focus back to the container's window when the control's
    // window has it.
    BOOL IsUIActive() const { return m_bUIActive; }
    void UIDeactivate();

    // An OLE colour as a colour reference (0 for a value that is not a colour).
    COLORREF TranslateColor(OLE_COLOR clrColor, HPALETTE hpal = nullptr);

    // ---- persistence ----
    // TRUE while loading the saved properties of the older 16-bit form of the control (a bag
    // holding "_ConvertVBX" = True).
    BOOL IsConvertingVBX() const { return m_bConvertVBX; }
    // "_ExtentX" and "_ExtentY" (HIMETRIC).
    void ExchangeExtent(CPropExchange* pPX);
    // The stock properties the dispatch map serves: "Caption", "Font", "Enabled".
    void ExchangeStockProps(CPropExchange* pPX);

    // ---- type information ----
    // The primary dispatch interface and the event interface.
    void InitializeIIDs(const IID* piidPrimary, const IID* piidEvents);
    HRESULT GetTypeInfoOfGuid(LCID lcid, REFGUID guid, ITypeInfo** ppTypeInfo);

    // ---- overridables ----
    virtual const platform::ole::DispatchMap& GetDispatchMap() const = 0;
    virtual const platform::ole::EventMap& GetEventMap() const;
    virtual UINT GetTypeInfoCount();
    virtual HRESULT GetTypeLib(LCID lcid, ITypeLib** ppTypeLib) = 0;
    virtual CTypeLibCache* GetTypeLibCache() = 0;
    virtual HRESULT GetClassID(LPCLSID pclsid) = 0;
    virtual UINT GetUserTypeNameID() = 0;
    virtual DWORD GetMiscStatus() = 0;
    virtual void DoPropExchange(CPropExchange* pPX);
    // Reset to defaults: DoPropExchange in reset mode.
    virtual void OnResetState();
    virtual void OnSetClientSite();
    virtual BOOL OnSetObjectRects(LPCRECT lpRectPos, LPCRECT lpRectClip);
    virtual void OnEventAdvise(BOOL bAdvise);
    virtual void OnTextChanged();
    virtual void OnFontChanged();
    virtual void OnEnabledChanged();
    virtual void OnAmbientPropertyChange(DISPID dispid);
    // The page that edits a property (the stock font page for the stock font).
    virtual BOOL OnMapPropertyToPage(DISPID dispid, LPCLSID lpclsid, BOOL* pbPageOptional);
    virtual LPCLSID GetPropPageIDs(ULONG& cPropPages);
    // The stock methods.
    virtual void Refresh();
    virtual void AboutBox();

protected:
    COleControl();
    ~COleControl() override;

    HWND m_hWnd = nullptr;

private:
    struct Parts;
    friend struct Parts;
    // Moves the window to the control's place and tells the site.
    void PlaceWindow();
    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                   UINT* argErr);
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, LCID lcid, DISPID* ids);
    const platform::ole::DispEntry* FindEntry(DISPID id) const;
    platform::com::ComPtr<IDispatch> AmbientDispatch();

    std::unique_ptr<Parts> m_parts;
    CFontHolder m_font;
    std::string m_strText;
    BOOL m_bEnabled = TRUE;
    BOOL m_bModified = FALSE;
    BOOL m_bConvertVBX = FALSE;
    platform::com::ComPtr<IOleClientSite> m_pClientSite;
    IID m_piidPrimary = GUID_NULL;
    IID m_piidEvents = GUID_NULL;
    SIZEL m_extent{2646, 1323};  // 100 x 50 pixels
    BOOL m_bHaveRect = FALSE;
    RECT m_rcPos{0, 0, 0, 0};
    int m_nFreezeEvents = 0;
    BOOL m_bUIActive = FALSE;
    USHORT m_iButtonState = 0;  // the buttons pressed in the window
    USHORT m_iDblClkState = 0;  // the buttons whose press was a double click's second
};

// The stock mouse events' buttons and shift state.
inline constexpr USHORT LEFT_BUTTON = 0x01;
inline constexpr USHORT RIGHT_BUTTON = 0x02;
inline constexpr USHORT MIDDLE_BUTTON = 0x04;
inline constexpr SHORT SHIFT_MASK = 0x01;
inline constexpr SHORT CTRL_MASK = 0x02;
inline constexpr SHORT ALT_MASK = 0x04;
