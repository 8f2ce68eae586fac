// CShapectlCtrl: the shape control. Its property set, defaults and persistence, its dispatch
// interface _DShapectl with the common set path and the access rules of its read-only and
// write-only properties, and its methods.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "platform/base/thread.h"
#include "platform/ole/olectl.h"
#include "platform/win/windowpos.h"
#include "shapectl/BackdropProtocol.h"
#include "shapectl/ShapeProperties.h"
#include "shapectl/shapectl.h"

// The control's private window messages.
inline constexpr UINT WM_DEFERREDPAINT = WM_USER + 3;
inline constexpr UINT WM_EFFECTCOMPLETE = WM_USER + 7;

// The automation errors of the set functions.
inline constexpr SCODE kStatusBase = static_cast<SCODE>(0x800A0000);
inline constexpr const char* kInvalidPropertyValue = "Invalid property value.";
inline constexpr const char* kCannotSetAtRunTime = "Property cannot be set at run-time";
inline constexpr const char* kCannotReadAtRunTime = "Property cannot be read at run-time";
inline constexpr const char* kImageFormatNotSupported = "This image format is not supported.";
inline constexpr USHORT kImageFormatCode = 20140;

class CShapectlCtrl : public COleControl {
    DECLARE_DYNCREATE(CShapectlCtrl)

public:
    CShapectlCtrl();

    // What the redraw path was asked to do, for the container programs and tests: the calls of
    // RedrawControl and of InvalidateWithBackground.
    struct RedrawTrace {
        int redraws = 0;
        int invalidations = 0;
    };
    RedrawTrace m_redrawTrace;

    // ---- the property set and the members the other parts of the control use ----
    ShapeProperties m_props{};
    CPictureHolder m_Picture;  // also served as QuixPicture
    std::string m_strHFileName;
    CPictureHolder m_Mask;
    CPictureHolder m_Frame[6];  // Frame1 to Frame6
    CPictureHolder m_MouseIcon;

    HGLOBAL m_hHotspots = nullptr;    // hotspot records, or none
    SHORT m_nHotspots = 0;            // their count (HTotal)
    HBITMAP m_hComposed = nullptr;    // the composed bitmap, owned
    HBITMAP m_hPaintImage = nullptr;  // the last paint's image, owned
    HRGN m_hShapeRgn = nullptr;       // the last composed shape, owned
    BOOL m_bNewPalette = TRUE;
    SHORT m_QuixError = 0;
    BOOL m_QuixCanceled = FALSE;
    BOOL m_EffectAborted = FALSE;
    LONG m_PrinterHeight = 0, m_PrinterLeft = 0, m_PrinterTop = 0, m_PrinterWidth = 0;

    // ---- the effect worker (shapectl/ShapectlEffect.cpp) ----
    // The words the worker shares with the user-interface thread (the running flag, the handle
    // slot, the cued, cancel and events-advised flags, QuixCanceled, QuixError, MultiEffect and
    // EffectIncrement) are read and written through LoadWord and StoreWord on both threads.
    template <class T>
    static T LoadWord(T& word) {
        return std::atomic_ref<T>(word).load();
    }
    template <class T>
    static void StoreWord(T& word, T value) {
        std::atomic_ref<T>(word).store(value);
    }

    // What a paint hands to its worker; filled before the worker starts and not rewritten while it
    // lives.
    struct EffectThreadParams {
        BOOL* pRunning;
        HWND hWnd;
        int destX, destY, destW, destH;
        int srcX, srcY, srcW, srcH;
        HPALETTE hPalette;
        const char* pszIdent;
        HBITMAP hPaintImage;  // none in mode 2
        HBITMAP hComposed;
        BOOL* pCancel;
        BOOL* pEventsAdvised;
        RECT rcUpdate;
        RECT rcPaint;
        SHORT nMGrain, nMEffect, nMDelay, nMultitask;
        BOOL bWand;
        COLORREF crWandColor;
        SHORT nWandWidth, nCancelMode;
        BOOL* pQuixCanceled;
        BOOL bNotify;
        BOOL bTEnabled;
        SHORT nTStyle, nTGrain, nTEffect, nTDelay;
        SHORT* pQuixError;
        SHORT nReserved[4];
        SHORT nUseUpdateRect;
        BOOL bQuixEnabled;
        COLORREF crTBackColor, crTForeColor;
        BOOL bTOnly;
        SHORT nDMode, nDEffect1, nDEffect2, nDEffect3;
        HANDLE* phThread;
        platform::base::WorkerThread* pThread;
        BOOL* pCued;
        BOOL* pMultiEffect;
        BOOL* pEffectIncrement;
        SHORT nPaintMode;
        HWND hWndHost;
        HDC hTargetDC;
        HDC hBackdropDC;
        HBITMAP hBackdropBitmap;
        // The paint's number, posted with the completion message, so that the completion of an
        // earlier worker is told from the current one's.
        UINT nGeneration;
    };
    EffectThreadParams m_EffectParams{};
    platform::base::WorkerThread* m_pEffectThread = nullptr;  // the thread object of the last paint
    std::unique_ptr<platform::base::WorkerThread> m_effectWorker;  // owns it until the next paint
    HANDLE m_hEffectThread = nullptr;                              // the handle slot
    BOOL m_bEffectRunning = FALSE;
    BOOL m_bEffectCued = FALSE;
    BOOL m_bEffectCancel = FALSE;
    BOOL m_bEventsAdvised = TRUE;
    BOOL m_bInEffectComplete = FALSE;
    UINT m_nEffectGeneration = 0;

    static DWORD EffectThreadProc(EffectThreadParams* params);
    // The worker path of a paint's output: fills the block and starts the worker, which puts
    // size of the image at src onto the target at dest.
    void StartEffectThread(short mode, HDC target, HDC backdrop, HWND hostWindow, HPALETTE palette,
                           const RECT& paintRect, POINT dest, POINT src, SIZE size,
                           const RECT& update, SHORT useUpdateRect);
    void StopEffectThread();
    // The thread object and handle of the last paint are forgotten (the thread has ended).
    void ForgetEffectThread();
    void OnEffectPriorityChanged();
    void OnDestroy();
    LRESULT OnEffectComplete(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    // Steps 2 to 4 of the completion: Notify at once, or through the timer after NotifyDelay.
    void FireNotify();
    // The passes of a dissolve (DMode 1 to 3) onto the output context: each pass selects its
    // pattern brush into it and calls blt with the pass's effect.
    static void PaintDissolve(HDC out, SHORT dMode, SHORT effect1, SHORT effect2, SHORT effect3,
                              const std::function<void(SHORT passEffect)>& blt);

    BOOL m_bDeferredPaint = FALSE;
    POINT m_ptLastMouse{0, 0};
    SHORT m_nHotspotX = 0, m_nHotspotY = 0;  // the hotspot query point

    // The backdrop host's state (shapectl/ShapectlBackdrop.cpp).
    platform::com::ComPtr<IBackdropHost> m_pBackdropHost;      // a counted reference, or none
    platform::com::ComPtr<IBackdropClient> m_pBackdropClient;  // this control's own, registered
    BackdropHostRect m_rcHost{0, 0, 0, 0};
    BackdropDrawTarget m_drawTarget{nullptr, nullptr, nullptr};
    BOOL m_bHostVisible = FALSE;
    BOOL m_bHostAttached = FALSE;
    BOOL m_bDrawAllowed = TRUE;
    BOOL m_bHostUpdatePending = TRUE;
    // The attach record's fields that the control reads: the backdrop context, its palette and
    // its bitmap.
    HDC m_hBackdropDC = nullptr;
    HPALETTE m_hBackdropPalette = nullptr;
    HBITMAP m_hBackdropBitmap = nullptr;
    // The running effects that a hide or show of the window aborted (for the tests).
    int m_nHostEffectAborts = 0;
    // The client's interface part: forwards to the control.
    struct XBackdropClient final : IBackdropClient {
        explicit XBackdropClient(CShapectlCtrl* control) : m_pThis(control) {}
        HRESULT QueryInterface(REFIID riid, void** ppv) override;
        ULONG AddRef() override;
        ULONG Release() override;
        HRESULT Command(LONG code, void* data) override;
        CShapectlCtrl* m_pThis;
    } m_xBackdropClient{this};
    void* GetInterface(REFIID iid) override;
    void OnSetClientSite() override;
    // The host-side paint: the update with host-draws 0, then the paint into the host's target.
    void HostSidePaint(BackdropHostRect* leading);
    // The update that only reports the control (host-draws 1).
    void ReportToHost();
    // A shown control with an effect paints itself into the host's target (unless a running
    // effect without AutoRedraw is left to finish); any other is reported for the host to draw.
    void ShowOnHost();
    void SendHostUpdate(BOOL hostDraws);
    // The control's place in its parent window (its position rectangle), and the host rectangle
    // made from it.
    RECT PositionRect();
    void MakeHostRect();
    int OnCreate();
    void OnMove();
    void OnSize();
    void OnShowWindow(BOOL show, UINT status);
    void OnWindowPosChanging(WINDOWPOS* pos);
    HRESULT BackdropCommand(LONG code, void* data);

    SHORT m_nInstanceId = 0;

    // ---- defaults and persistence ----
    void InitDefaults();
    void OnResetState() override;
    void DoPropExchange(CPropExchange* pPX) override;

    // ---- fixed answers ----
    const platform::ole::DispatchMap& GetDispatchMap() const override;
    const platform::ole::EventMap& GetEventMap() const override;
    UINT GetTypeInfoCount() override { return 1; }
    HRESULT GetTypeLib(LCID lcid, ITypeLib** ppTypeLib) override;
    CTypeLibCache* GetTypeLibCache() override;
    HRESULT GetClassID(LPCLSID pclsid) override;
    UINT GetUserTypeNameID() override { return IDS_SHAPECTL; }
    DWORD GetMiscStatus() override { return 0x22191; }
    void OnEventAdvise(BOOL bAdvise) override { StoreWord(m_bEventsAdvised, bAdvise); }
    BOOL OnMapPropertyToPage(DISPID dispid, LPCLSID lpclsid, BOOL* pbPageOptional) override;
    LPCLSID GetPropPageIDs(ULONG& cPropPages) override;
    void AboutBox() override;
    void Refresh() override;

    // ---- framework notices ----
    void OnTextChanged() override;
    void OnFontChanged() override;
    void OnEnabledChanged() override;
    BOOL OnSetObjectRects(LPCRECT lpRectPos, LPCRECT lpRectClip) override;

    // ---- shared by the get and set functions ----
    void NotifyPropChange(DISPID dispid);
    void GetNotSupportedAtDesignTime();
    void ThrowIfRunTimeRead();
    void ThrowIfRunTimeSet();
    static void ValidateShortRange(SHORT value, SHORT low, SHORT high, const char* message,
                                   SCODE code);
    static void ValidateLongRange(LONG value, LONG low, LONG high, const char* message, SCODE code);
    static void ValidateColor(OLE_COLOR value);
    void GetControlExtent(int* width, int* height);
    // The redraw after a property change or method.
    void RedrawControl();
    virtual void InvalidateWithBackground(BOOL unused);
    // The window's rectangle in its parent's client coordinates; FALSE without a window.
    BOOL WindowRectInParent(RECT* r);
    // Fires one of the custom events, with the control kept in-place active.
    void FireCustomEvent(DISPID dispid);
    HRESULT AttachToBackdropHost();
    // TRUE when an effect is configured (a dissolve, a main effect or a text transition effect).
    BOOL HasEffect();
    BOOL IsEffectRunning();
    // The picture Frame selects (Picture for 0, Frame1 to Frame6 for 1 to 6), or none.
    CPictureHolder* CurrentFramePicture();

    // ---- the window and the paint ----
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDraw(HDC hdc, const RECT& rcBounds, const RECT& rcInvalid) override;
    // Composes the control and shows it on the target (mode 0 normal, 1 forced into a backdrop
    // host's backdrop, 2 into a backdrop host's drawing context, which it releases).
    int DrawControl(HDC target, HDC backdrop, const RECT* rect, short mode, HWND hostWindow);
    BOOL OnEraseBkgnd(HDC) { return TRUE; }  // the paint covers the whole control
    LRESULT OnDeferredPaint(WPARAM, LPARAM);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    void OnDropFiles(HDROP hDrop);
    // A move to another point than the last one passed on fires MouseMove.
    void OnMouseMove(UINT nFlags, POINT point);
    void OnClick(USHORT iButton) override;
    // The framework's handling, then GotFocus / LostFocus.
    void OnSetFocus(HWND hWndOld);
    void OnKillFocus(HWND hWndNew);
    // The palette of the picture Frame selects, or none.
    HPALETTE FramePalette();
    void OnPaletteChanged(HWND hFocusWnd);
    BOOL OnQueryNewPalette();
    void OnDrawMetafile(HDC hdc, const RECT& rcBounds) override;
    void CompletePaint();
    void RealizeWindowPalette(HWND window, HPALETTE palette, BOOL* newPalette);
    // The stock font as the paint draws the caption with it, selected into nothing; the caller
    // deletes it.
    HFONT CreateCaptionFont(HDC dc);
    // The caption's one-line size in the control's font plus the margin of Font3D.
    SIZE MeasureCaption();

    // ---- shapes, pens, brushes and the shape region ----
    HPEN CreateBorderPen(int width, COLORREF colour);
    HBRUSH CreateFillBrush(COLORREF colour);
    void PaintPolygon(HDC dc, const POINT* points, int count, BOOL shadow, BOOL addRegion);
    void DrawOctagon(HDC dc, int left, int top, int right, int bottom, BOOL shadow, BOOL addRegion);
    void DrawStar(HDC dc, int left, int top, int right, int bottom, BOOL shadow, BOOL addRegion);
    void DrawTriangle(HDC dc, int left, int top, int right, int bottom, BOOL shadow,
                      BOOL addRegion);
    void DrawDiamond(HDC dc, int left, int top, int right, int bottom, BOOL shadow, BOOL addRegion);
    void DrawPentagon(HDC dc, int left, int top, int right, int bottom, BOOL shadow,
                      BOOL addRegion);
    void DrawHexagon(HDC dc, int left, int top, int right, int bottom, BOOL shadow, BOOL addRegion);
    void DrawCustomShape(HDC dc, int left, int top, int right, int bottom, BOOL shadow,
                         BOOL addRegion);
    // The painter of Shape 6 to 17 over the rectangle.
    void PaintPointShape(HDC dc, const RECT& r, BOOL shadow, BOOL addRegion);
    void AddToShapeRegion(HRGN region);
    BOOL IsCursorInShape();

    // ---- the value and member properties (DISPID-driven, from the property table) ----
    VARIANT GetValueProperty(DISPID id);
    void SetValueProperty(DISPID id, const VARIANT& value);

    // ---- member property notices ----
    void OnMousePointerChanged();
    void OnManagePaletteChanged() { OnFontChanged(); }
    void OnEffectCueChanged() { NotifyPropChange(4); }
    void OnEffectIncrementChanged() { NotifyPropChange(5); }
    void OnPaintNotifyChanged() { NotifyPropChange(6); }
    void OnPersistenceChanged() { NotifyPropChange(7); }
    void OnOLEDropAllowedChanged();
    void OnZLevelChanged();

    // ---- properties with rules of their own ----
    // The one set function of the read-only properties.
    template <class T>
    void SetNotSupportedAtRunTime(T) {
        ThrowIfRunTimeSet();
    }
    VARIANT GetWriteOnly();
    BOOL GetQuixCanceled();
    SHORT GetQuixError();
    BOOL GetOnShape();
    LONG GetPrinterHeight();
    void SetPrinterHeight(LONG v) { m_PrinterHeight = v; }
    LONG GetPrinterLeft();
    void SetPrinterLeft(LONG v) { m_PrinterLeft = v; }
    LONG GetPrinterTop();
    void SetPrinterTop(LONG v) { m_PrinterTop = v; }
    LONG GetPrinterWidth();
    void SetPrinterWidth(LONG v) { m_PrinterWidth = v; }
    void SetPrinterhDC(LONG hdc);
    BSTR GetFontName();
    void SetFontName(LPCOLESTR name);
    FLOAT GetFontSize();
    void SetFontSize(FLOAT size);
    BOOL GetFontBold();
    void SetFontBold(BOOL v);
    BOOL GetFontItalic();
    void SetFontItalic(BOOL v);
    BOOL GetFontStrikethru();
    void SetFontStrikethru(BOOL v);
    BOOL GetFontUnderline();
    void SetFontUnderline(BOOL v);
    void SetHDisable(SHORT index);
    void SetHEnable(SHORT index);
    BSTR GetHFileName();
    void SetHFileName(LPCOLESTR name);
    SHORT GetHID();
    BSTR GetHName();
    SHORT GetHPriority();
    SHORT GetHTotal();
    void SetPreview(BOOL v);
    OLE_HANDLE GethBmp();
    OLE_HANDLE GethPal();
    BOOL GetEffectInProgress();
    SHORT GetEffectStatus();
    SHORT GetCapture() { return m_props.Capture; }
    void SetCapture(SHORT value);
    LPPICTUREDISP GetPicture() { return m_Picture.GetPictureDispatch(); }
    void SetPicture(LPPICTUREDISP picture);
    LPUNKNOWN GetQuixPicture();
    void SetQuixPicture(LPUNKNOWN picture);
    LPPICTUREDISP GetMask() { return m_Mask.GetPictureDispatch(); }
    void SetMask(LPPICTUREDISP picture);
    SHORT GetMaskH();
    SHORT GetMaskW();
    LPPICTUREDISP GetMouseIcon() { return m_MouseIcon.GetPictureDispatch(); }
    void SetMouseIcon(LPPICTUREDISP picture);
    void SethDIB(LONG dib);
    SHORT GetTextH();
    SHORT GetTextW();
    SHORT GetFrame() { return m_props.Frame; }
    void SetFrame(SHORT value);
    template <int N>
    LPPICTUREDISP GetFrameN() {
        return m_Frame[N - 1].GetPictureDispatch();
    }
    template <int N>
    void SetFrameN(LPPICTUREDISP picture) {
        SetFramePicture(N, picture);
    }
    void SetFramePicture(int n, LPPICTUREDISP picture);
    SHORT GetMaxFrames() { return m_props.MaxFrames; }
    void SetMaxFrames(SHORT value);
    BOOL GetEffectAborted();
    void SetEffectAborted(BOOL v) { m_EffectAborted = v; }
    OLE_HANDLE GethWnd();

    // ---- the colour set ----
    // The frame picture's palette as a LOGPALETTE in task memory (the caller frees it) in
    // *ppColorSet, or FALSE when the frame picture has no palette with entries.
    BOOL OnGetColorSet(void* targetDevice, HDC hicTargetDev, LOGPALETTE** ppColorSet);

    // ---- methods ----
    void Paint();
    void UpdatePalette(BOOL redraw);
    void PauseEffect();
    void ResumeEffect();
    void AbortEffect();
    void HResource(const VARIANT& hotdata);
    void Compose();
    void DeleteCompose();
    void ExportCompose();
    void Lock() { m_props.Update = FALSE; }
    void UnLock() { m_props.Update = TRUE; }
    void SetFontType(LPCOLESTR name, const VARIANT& size, const VARIANT& bold,
                     const VARIANT& italic, const VARIANT& underline, const VARIANT& strikethru);
    void SetOuterBevel(SHORT style, const VARIANT& width, const VARIANT& color1,
                       const VARIANT& color2);
    void SetInnerBevel(SHORT style, const VARIANT& width, const VARIANT& color1,
                       const VARIANT& color2);
    void SetBorder(SHORT width, const VARIANT& color);
    void Set3DFont(SHORT style, const VARIANT& blockSize, const VARIANT& dropX,
                   const VARIANT& dropY, const VARIANT& shadowColor, const VARIANT& outlineColor,
                   const VARIANT& color3D1, const VARIANT& color3D2);
    void SetEffect(SHORT effect, const VARIANT& delay, const VARIANT& grain);
    void SetDissolve(SHORT mode, const VARIANT& effect1, const VARIANT& effect2,
                     const VARIANT& effect3, const VARIANT& delay, const VARIANT& grain);
    void SetTranEffect(SHORT effect, const VARIANT& delay, const VARIANT& grain);
    void SetTransition(BOOL enabled, const VARIANT& style, const VARIANT& backColor,
                       const VARIANT& foreColor, const VARIANT& only);
    void SetGradient(SHORT style, const VARIANT& steps, const VARIANT& color1,
                     const VARIANT& color2);
    void DrawLine(SHORT x1, SHORT y1, SHORT x2, SHORT y2, const VARIANT& color, const VARIANT& box,
                  const VARIANT& fill);
    void DrawCircle(SHORT x, SHORT y, SHORT radius, const VARIANT& color, const VARIANT& aspect);
    void DrawCurve(SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT x3, SHORT y3, SHORT x4, SHORT y4,
                   const VARIANT& color);
    void DrawPolygon(SHORT x1, SHORT y1, SHORT x2, SHORT y2, const VARIANT& x3, const VARIANT& y3,
                     const VARIANT& x4, const VARIANT& y4, const VARIANT& x5, const VARIANT& y5,
                     const VARIANT& x6, const VARIANT& y6, const VARIANT& color);
    LONG GetPixelColor(SHORT x, SHORT y);
    void SetPixelColor(SHORT x, SHORT y, const VARIANT& color);
    void DrawRoundRect(SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT roundW, SHORT roundH,
                       const VARIANT& color);
    void DrawArc(SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT startAngle, SHORT endAngle,
                 const VARIANT& color);
    void DrawPie(SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT startAngle, SHORT endAngle,
                 const VARIANT& color);
    void DeletePicture();
    void ReCompose();
    void ComposeTransparent();
    void ReComposeTransparent();
    void DeleteHotspots();
    void AddHotspot(SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT id, LPCOLESTR name);
    void SetTextPos(SHORT x, SHORT y);
    void SetPicturePos(SHORT x, SHORT y);
    void SetPictureTransparent(BOOL flag, const VARIANT& color);
    void SetEffectPos(SHORT x, SHORT y);
    void SaveControl(LPCOLESTR filename);
    void FrameForward();
    void FrameReverse();
    void CaptureNow();
    void SetSize(SHORT width, SHORT height);
    void SetXY(SHORT x, SHORT y);
    void SetVisible(BOOL mode);
    void TextFile(LPCOLESTR filename);

protected:
    ~CShapectlCtrl() override;

private:
    // Runs a batch of set functions with Update held FALSE, then restores it and redraws once.
    template <class F>
    void Held(F&& setters);
    void ClearHotspots();
};

// The property pages the control lists, and the about box's template.
extern const CLSID kShapectlPropPages[11];
