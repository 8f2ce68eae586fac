// CShapectlCtrl: the methods of _DShapectl.
#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/safearray.h"
#include "platform/files/files.h"
#include "platform/win/paint.h"
#include "quixcore/quixcore.h"
#include "shapectl/ShapectlCtl.h"
#include "shapectl/ShapectlPalette.h"

using platform::com::Variant;

namespace {

// The three readings of an optional argument; any other type counts as not given.
bool WholeNumber(const VARIANT& v, LONG* out) {
    if (v.vt == VT_I2) {
        *out = v.iVal;
        return true;
    }
    if (v.vt == VT_I4) {
        *out = v.lVal;
        return true;
    }
    return false;
}

bool FlagOf(const VARIANT& v, BOOL* out) {
    if (v.vt == VT_I2 || v.vt == VT_I4) {
        *out = (v.vt == VT_I2 ? v.iVal : v.lVal) > 0;
        return true;
    }
    if (v.vt == VT_BOOL) {
        *out = (v.boolVal & 0xFF) != 0;
        return true;
    }
    return false;
}

bool SizeOf(const VARIANT& v, FLOAT* out) {
    switch (v.vt) {
        case VT_I2:
            *out = v.iVal;
            return true;
        case VT_I4:
            *out = static_cast<FLOAT>(v.lVal);
            return true;
        case VT_R4:
            *out = v.fltVal;
            return true;
        case VT_R8:
            *out = static_cast<FLOAT>(v.dblVal);
            return true;
        default:
            return false;
    }
}

}  // namespace

// The value properties as the methods set them: through their set functions, with a whole number
// of the property's type.
#define SET_SHORT(id, value) SetValueProperty(id, Variant::I2(static_cast<SHORT>(value)).get())
#define SET_LONG(id, value) SetValueProperty(id, Variant::I4(static_cast<LONG>(value)).get())
#define SET_BOOL(id, value) SetValueProperty(id, Variant::Bool((value) != 0).get())

template <class F>
void CShapectlCtrl::Held(F&& setters) {
    BOOL saved = m_props.Update;
    m_props.Update = FALSE;
    try {
        setters();
    } catch (...) {
        // A rejected value ends the batch; Update is given back so the control paints again.
        m_props.Update = saved;
        throw;
    }
    m_props.Update = saved;
    if (saved) RedrawControl();
}

// ---- redraw, palette and effects ----

void CShapectlCtrl::Paint() {
    m_bDeferredPaint = TRUE;
    if (m_bHostAttached && SUCCEEDED(AttachToBackdropHost())) {
        RedrawControl();
        return;
    }
    if (!m_props.Update || !m_hWnd || !IsWindowVisible(m_hWnd)) return;
    if (!m_props.Overlay) {
        // The parent repaints what lies under the hidden window; shown again, the control paints.
        InvalidateWithBackground(FALSE);
        return;
    }
    RECT r;
    GetClientRect(m_hWnd, &r);
    HDC dc = GetDC(nullptr, OLEDC_PAINTBKGND);
    OnDraw(dc, r, r);
    ReleaseDC(dc);
}

void CShapectlCtrl::UpdatePalette(BOOL redraw) {
    CPictureHolder* picture = CurrentFramePicture();
    if (!picture || !picture->m_pPict || picture->GetType() != PICTYPE_BITMAP) return;
    OLE_HANDLE handle = 0;
    picture->m_pPict->get_hPal(&handle);
    auto palette = reinterpret_cast<HPALETTE>(static_cast<std::uintptr_t>(handle));
    HWND window = GetHwnd();
    if (!palette || !window) return;
    SelectAndRealizePalette(window, palette);
    BroadcastPaletteChanged(window);
    if (redraw) RedrawControl();
}

BOOL CShapectlCtrl::OnGetColorSet(void*, HDC, LOGPALETTE** ppColorSet) {
    if (!ppColorSet) return FALSE;
    CPictureHolder* picture = CurrentFramePicture();
    if (!picture || !picture->m_pPict || picture->GetType() == PICTYPE_NONE) return FALSE;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->m_pPict->get_hPal(&handle)) || !handle) return FALSE;
    auto palette = reinterpret_cast<HPALETTE>(static_cast<std::uintptr_t>(handle));
    UINT count = GetPaletteEntries(palette, 0, 0, nullptr);
    if (count == 0 || count == GDI_ERROR) return FALSE;
    platform::com::ComPtr<IMalloc> malloc;
    if (FAILED(CoGetMalloc(MEMCTX_TASK, malloc.out()))) return FALSE;
    auto* set = static_cast<LOGPALETTE*>(malloc->Alloc(8 + 4 * std::size_t(count)));
    if (!set) return FALSE;
    set->palVersion = 0x300;
    set->palNumEntries = static_cast<WORD>(count);
    GetPaletteEntries(palette, 0, count, set->palPalEntry);
    *ppColorSet = set;
    return TRUE;
}

// ---- hotspots ----

void CShapectlCtrl::HResource(const VARIANT& hotdata) {
    if (hotdata.vt != (VT_ARRAY | VT_UI1) || !hotdata.parray ||
        SafeArrayGetDim(hotdata.parray) != 1) {
        return;
    }
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(hotdata.parray, &data))) return;
    ULONG size = hotdata.parray->rgsabound[0].cElements;
    StoreWord<SHORT>(m_QuixError, LoadHotspotResource(static_cast<const BYTE*>(data), size,
                                                      &m_nHotspots, &m_hHotspots, 1.0f, 1.0f));
    SafeArrayUnaccessData(hotdata.parray);
}

void CShapectlCtrl::DeleteHotspots() {
    if (m_hHotspots) ClearHotspots();
}

void CShapectlCtrl::AddHotspot(SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT id, LPCOLESTR name) {
    std::string text = platform::com::Utf8FromWide(name);
    StoreWord<SHORT>(m_QuixError,
                     IQuixAddHotspot(x1, y1, x2, y2, id, text.c_str(), &m_nHotspots, &m_hHotspots));
}

// ---- composition ----

void CShapectlCtrl::Compose() {
    if (IsEffectRunning()) return;
    SetCapture(3);
}

void CShapectlCtrl::DeleteCompose() {
    if (IsEffectRunning()) return;
    SetCapture(2);
}

void CShapectlCtrl::ExportCompose() {
    if (IsEffectRunning()) return;
    SetCapture(4);
}

void CShapectlCtrl::ReCompose() {
    if (IsEffectRunning()) return;
    SetCapture(2);
    SetCapture(3);
}

void CShapectlCtrl::ComposeTransparent() {
    if (IsEffectRunning()) return;
    SetCapture(3);
    SET_SHORT(12, 0);
    SET_SHORT(88, 1);
}

void CShapectlCtrl::ReComposeTransparent() {
    if (IsEffectRunning()) return;
    SetCapture(2);
    SetCapture(3);
    SET_SHORT(12, 0);
    SET_SHORT(88, 1);
}

void CShapectlCtrl::CaptureNow() {
    SetCapture(5);
}

// ---- the batch setters ----

void CShapectlCtrl::SetFontType(LPCOLESTR name, const VARIANT& size, const VARIANT& bold,
                                const VARIANT& italic, const VARIANT& underline,
                                const VARIANT& strikethru) {
    if (!name || !*name) return;
    Held([&] {
        SetFontName(name);
        FLOAT points;
        if (SizeOf(size, &points)) SetFontSize(points);
        BOOL flag;
        if (FlagOf(bold, &flag)) SetFontBold(flag);
        if (FlagOf(italic, &flag)) SetFontItalic(flag);
        if (FlagOf(underline, &flag)) SetFontUnderline(flag);
        if (FlagOf(strikethru, &flag)) SetFontStrikethru(flag);
    });
}

void CShapectlCtrl::SetOuterBevel(SHORT style, const VARIANT& width, const VARIANT& color1,
                                  const VARIANT& color2) {
    Held([&] {
        SET_SHORT(16, style);
        LONG n;
        if (WholeNumber(width, &n)) SET_SHORT(14, n);
        if (WholeNumber(color1, &n)) SET_LONG(17, n);
        if (WholeNumber(color2, &n)) SET_LONG(15, n);
    });
}

void CShapectlCtrl::SetInnerBevel(SHORT style, const VARIANT& width, const VARIANT& color1,
                                  const VARIANT& color2) {
    Held([&] {
        SET_SHORT(31, style);
        LONG n;
        if (WholeNumber(width, &n)) SET_SHORT(32, n);
        if (WholeNumber(color1, &n)) SET_LONG(33, n);
        if (WholeNumber(color2, &n)) SET_LONG(34, n);
    });
}

void CShapectlCtrl::SetBorder(SHORT width, const VARIANT& color) {
    Held([&] {
        SET_SHORT(29, width);
        LONG n;
        if (WholeNumber(color, &n)) SET_LONG(30, n);
    });
}

void CShapectlCtrl::Set3DFont(SHORT style, const VARIANT& blockSize, const VARIANT& dropX,
                              const VARIANT& dropY, const VARIANT& shadowColor,
                              const VARIANT& outlineColor, const VARIANT& color3D1,
                              const VARIANT& color3D2) {
    Held([&] {
        SET_SHORT(78, style);
        LONG n;
        if (WholeNumber(blockSize, &n)) SET_SHORT(79, n);
        if (WholeNumber(dropX, &n)) SET_SHORT(80, n);
        if (WholeNumber(dropY, &n)) SET_SHORT(81, n);
        if (WholeNumber(shadowColor, &n)) SET_LONG(83, n);
        if (WholeNumber(outlineColor, &n)) SET_LONG(82, n);
        if (WholeNumber(color3D1, &n)) SET_LONG(104, n);
        if (WholeNumber(color3D2, &n)) SET_LONG(105, n);
    });
}

void CShapectlCtrl::SetEffect(SHORT effect, const VARIANT& delay, const VARIANT& grain) {
    SET_SHORT(18, effect);
    LONG n;
    if (WholeNumber(delay, &n)) SET_SHORT(19, n);
    if (WholeNumber(grain, &n)) SET_SHORT(20, n);
}

void CShapectlCtrl::SetDissolve(SHORT mode, const VARIANT& effect1, const VARIANT& effect2,
                                const VARIANT& effect3, const VARIANT& delay,
                                const VARIANT& grain) {
    SET_SHORT(22, mode);
    LONG n;
    if (WholeNumber(effect1, &n)) SET_SHORT(23, n);
    if (WholeNumber(effect2, &n)) SET_SHORT(24, n);
    if (WholeNumber(effect3, &n)) SET_SHORT(25, n);
    if (WholeNumber(delay, &n)) SET_SHORT(19, n);
    if (WholeNumber(grain, &n)) SET_SHORT(20, n);
}

void CShapectlCtrl::SetTranEffect(SHORT effect, const VARIANT& delay, const VARIANT& grain) {
    SET_SHORT(70, effect);
    LONG n;
    if (WholeNumber(delay, &n)) SET_SHORT(71, n);
    if (WholeNumber(grain, &n)) SET_SHORT(72, n);
}

void CShapectlCtrl::SetTransition(BOOL enabled, const VARIANT& style, const VARIANT& backColor,
                                  const VARIANT& foreColor, const VARIANT& only) {
    SetValueProperty(69, Variant::Bool(enabled != 0).get());
    LONG n;
    if (WholeNumber(style, &n)) SET_SHORT(75, n);
    if (WholeNumber(backColor, &n)) SET_LONG(74, n);
    if (WholeNumber(foreColor, &n)) SET_LONG(73, n);
    BOOL flag;
    if (FlagOf(only, &flag)) SET_BOOL(76, flag);
}

void CShapectlCtrl::SetGradient(SHORT style, const VARIANT& steps, const VARIANT& color1,
                                const VARIANT& color2) {
    SET_SHORT(47, style);
    LONG n;
    if (WholeNumber(steps, &n)) SET_SHORT(50, n);
    if (WholeNumber(color1, &n)) SET_LONG(49, n);
    if (WholeNumber(color2, &n)) SET_LONG(48, n);
}

void CShapectlCtrl::SetTextPos(SHORT x, SHORT y) {
    Held([&] {
        SET_SHORT(85, x);
        SET_SHORT(86, y);
    });
}

void CShapectlCtrl::SetPicturePos(SHORT x, SHORT y) {
    Held([&] {
        SET_SHORT(91, x);
        SET_SHORT(92, y);
    });
}

void CShapectlCtrl::SetPictureTransparent(BOOL flag, const VARIANT& color) {
    SetValueProperty(55, Variant::Bool(flag != 0).get());
    LONG n;
    if (WholeNumber(color, &n)) SET_LONG(56, n);
}

void CShapectlCtrl::SetEffectPos(SHORT x, SHORT y) {
    SET_SHORT(119, x);
    SET_SHORT(120, y);
}

// ---- drawing into the composed bitmap ----

namespace {

COLORREF FillColorOf(CShapectlCtrl& c) {
    return c.TranslateColor(c.m_props.DrawFillColor);
}

}  // namespace

void CShapectlCtrl::DrawLine(SHORT x1, SHORT y1, SHORT x2, SHORT y2, const VARIANT& color,
                             const VARIANT& box, const VARIANT& fill) {
    if (IsEffectRunning()) return;
    m_QuixError = IQuixDrawLine(x1, y1, x2, y2, color, box, fill, m_hComposed, m_props.DrawStyle,
                                m_props.DrawWidth, m_props.DrawMode, m_props.DrawFillStyle,
                                FillColorOf(*this));
    RedrawControl();
}

void CShapectlCtrl::DrawCircle(SHORT x, SHORT y, SHORT radius, const VARIANT& color,
                               const VARIANT& aspect) {
    if (IsEffectRunning()) return;
    m_QuixError = IQuixDrawCircle(x, y, radius, color, aspect, m_hComposed, m_props.DrawStyle,
                                  m_props.DrawWidth, m_props.DrawMode, m_props.DrawFillStyle,
                                  FillColorOf(*this));
    RedrawControl();
}

void CShapectlCtrl::DrawCurve(SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT x3, SHORT y3, SHORT x4,
                              SHORT y4, const VARIANT& color) {
    if (IsEffectRunning()) return;
    m_QuixError = IQuixDrawCurve(x1, y1, x2, y2, x3, y3, x4, y4, color, m_hComposed,
                                 m_props.DrawStyle, m_props.DrawWidth, m_props.DrawMode);
    RedrawControl();
}

void CShapectlCtrl::DrawPolygon(SHORT x1, SHORT y1, SHORT x2, SHORT y2, const VARIANT& x3,
                                const VARIANT& y3, const VARIANT& x4, const VARIANT& y4,
                                const VARIANT& x5, const VARIANT& y5, const VARIANT& x6,
                                const VARIANT& y6, const VARIANT& color) {
    if (IsEffectRunning()) return;
    m_QuixError = IQuixDrawPolygon(x1, y1, x2, y2, x3, y3, x4, y4, x5, y5, x6, y6, color,
                                   m_hComposed, m_props.DrawStyle, m_props.DrawWidth,
                                   m_props.DrawMode, m_props.DrawFillStyle, FillColorOf(*this));
    RedrawControl();
}

void CShapectlCtrl::DrawRoundRect(SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT roundW,
                                  SHORT roundH, const VARIANT& color) {
    if (IsEffectRunning()) return;
    m_QuixError = IQuixDrawRoundRect(x1, y1, x2, y2, roundW, roundH, color, m_hComposed,
                                     m_props.DrawStyle, m_props.DrawWidth, m_props.DrawMode,
                                     m_props.DrawFillStyle, FillColorOf(*this));
    RedrawControl();
}

void CShapectlCtrl::DrawArc(SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT startAngle,
                            SHORT endAngle, const VARIANT& color) {
    if (IsEffectRunning()) return;
    m_QuixError = IQuixDrawArc(x1, y1, x2, y2, startAngle, endAngle, color, m_hComposed,
                               m_props.DrawStyle, m_props.DrawWidth, m_props.DrawMode);
    RedrawControl();
}

void CShapectlCtrl::DrawPie(SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT startAngle,
                            SHORT endAngle, const VARIANT& color) {
    if (IsEffectRunning()) return;
    m_QuixError = IQuixDrawPie(x1, y1, x2, y2, startAngle, endAngle, color, m_hComposed,
                               m_props.DrawStyle, m_props.DrawWidth, m_props.DrawMode,
                               m_props.DrawFillStyle, FillColorOf(*this));
    RedrawControl();
}

namespace {

// The pixel methods' conditions: no worker, a composed bitmap and a point inside the control's
// client area (its right and bottom edges included).
bool PixelAllowed(CShapectlCtrl& c, SHORT x, SHORT y) {
    if (c.IsEffectRunning() || !c.m_hComposed || x < 0 || y < 0) return false;
    int width = 0, height = 0;
    c.GetControlExtent(&width, &height);
    return x <= width && y <= height;
}

}  // namespace

LONG CShapectlCtrl::GetPixelColor(SHORT x, SHORT y) {
    if (!PixelAllowed(*this, x, y)) return -1;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, m_hComposed);
    COLORREF color = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return static_cast<LONG>(color);
}

void CShapectlCtrl::SetPixelColor(SHORT x, SHORT y, const VARIANT& color) {
    LONG value;
    if (!PixelAllowed(*this, x, y) || !WholeNumber(color, &value)) return;
    if (m_props.DrawWidth == 1) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, m_hComposed);
        SetPixel(dc, x, y, TranslateColor(static_cast<OLE_COLOR>(value)));
        SelectObject(dc, old);
        DeleteDC(dc);
    } else {
        DrawLine(x, y, x, y, color, Variant::I2(0).get(), Variant::I2(0).get());
    }
    RedrawControl();
}

// ---- pictures, frames, files and the window ----

void CShapectlCtrl::DeletePicture() {
    m_Picture.CreateEmpty();
}

void CShapectlCtrl::SaveControl(LPCOLESTR filename) {
    HWND window = GetHwnd();
    HDC dc = window ? ::GetDC(window) : nullptr;
    if (!dc) return;
    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    int width = client.right - client.left, height = client.bottom - client.top;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP shown = CreateCompatibleBitmap(dc, width, height);
    if (memory && shown) {
        HGDIOBJ old = SelectObject(memory, shown);
        BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        StoreWord<SHORT>(m_QuixError,
                         SaveControlImage(platform::com::Utf8FromWide(filename).c_str(), shown));
    }
    if (shown) DeleteObject(shown);
    if (memory) DeleteDC(memory);
    ::ReleaseDC(window, dc);
}

void CShapectlCtrl::FrameForward() {
    SetFrame(m_props.Frame == m_props.MaxFrames ? 1 : static_cast<SHORT>(m_props.Frame + 1));
}

void CShapectlCtrl::FrameReverse() {
    SetFrame(m_props.Frame == 1 ? m_props.MaxFrames : static_cast<SHORT>(m_props.Frame - 1));
}

void CShapectlCtrl::SetSize(SHORT width, SHORT height) {
    if (!AmbientUserMode()) return;
    SetControlSize(width, height);
}

void CShapectlCtrl::SetXY(SHORT x, SHORT y) {
    if (!AmbientUserMode()) return;
    int width = 0, height = 0;
    GetControlSize(&width, &height);
    RECT r{x, y, x + width, y + height};
    SetRectInContainer(&r);
}

void CShapectlCtrl::SetVisible(BOOL mode) {
    HWND window = GetHwnd();
    if (!window) return;
    BOOL visible = IsWindowVisible(window);
    if (mode && !visible) ShowWindow(window, SW_SHOWNORMAL);
    if (!mode && visible) ShowWindow(window, SW_HIDE);
}

void CShapectlCtrl::TextFile(LPCOLESTR filename) {
    // A folder, a pipe or a device in the file's place reads as no file.
    std::optional<std::string> bytes =
        platform::files::ReadFile(platform::com::Utf8FromWide(filename));
    if (!bytes) return;
    HGLOBAL buffer = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes->size() + 1);
    if (!buffer) return;
    auto* text = static_cast<char*>(GlobalLock(buffer));
    std::memcpy(text, bytes->data(), bytes->size());
    text[bytes->size()] = 0;
    std::string caption(text, std::strlen(text));
    GlobalUnlock(buffer);
    GlobalFree(buffer);
    SetText(caption);
}
