// CShapectlCtrl: the messages of its window (mouse, click, cursor, focus, erase, dropped files,
// palette), the invalidation that lets a see-through control show what lies behind it, and the
// metafile rendering.
//
// Decisions this part is built on:
// - The mouse events' points are the window's client pixels, as the stock events' OLE_XPOS_PIXELS
//   and OLE_YPOS_PIXELS say; a container shows them in its own units.
// - The framework (platform/ole/olectl.h) fires MouseDown, MouseUp, Click and DblClick from the
//   window's button messages; the control takes over the messages of its own message map here
//   and passes every other one to the framework's WindowProc.
// - The palette of the palette messages is the picture handle's palette of the picture Frame
//   selects (any picture type that has one).
#include <cstdint>
#include <string>

#include "platform/com/bstr.h"
#include "platform/win/paint.h"
#include "platform/win/winmsg.h"
#include "quixcore/quixcore.h"
#include "shapectl/ShapectlCtl.h"

// ---- the window ----

LRESULT CShapectlCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove(static_cast<UINT>(wParam), point);
            return 0;
        case WM_PALETTECHANGED:
            OnPaletteChanged(reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_QUERYNEWPALETTE:
            return OnQueryNewPalette();
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam))) {
                return TRUE;
            }
            break;
        case WM_SETFOCUS:
            OnSetFocus(reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_TIMER:  // the effect worker's (shapectl/ShapectlEffect.cpp)
            OnTimer(wParam);
            break;
        case WM_ERASEBKGND:
            return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        case WM_KILLFOCUS:
            OnKillFocus(reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_DESTROY:  // the effect worker's
            OnDestroy();
            break;
        case WM_CREATE:  // the backdrop host's (shapectl/ShapectlBackdrop.cpp)
            if (Default(message, wParam, lParam) == -1) return -1;
            return OnCreate();
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            break;
        case WM_DEFERREDPAINT:
            return OnDeferredPaint(wParam, lParam);
        case WM_EFFECTCOMPLETE:  // the effect worker's
            return OnEffectComplete(wParam, lParam);
        // The messages the backdrop host hears about.
        case WM_MOVE:
            Default(message, wParam, lParam);
            OnMove();
            return 0;
        case WM_SIZE:
            Default(message, wParam, lParam);
            OnSize();
            return 0;
        case WM_SHOWWINDOW:
            Default(message, wParam, lParam);
            OnShowWindow(wParam != 0 ? TRUE : FALSE, static_cast<UINT>(lParam));
            return 0;
        case WM_WINDOWPOSCHANGING:
            Default(message, wParam, lParam);
            if (lParam) OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
            return 0;
        default:
            break;
    }
    return COleControl::WindowProc(message, wParam, lParam);
}

// ---- mouse and click ----

void CShapectlCtrl::OnMouseMove(UINT nFlags, POINT point) {
    if (point.x == m_ptLastMouse.x && point.y == m_ptLastMouse.y) return;
    m_ptLastMouse = point;
    COleControl::OnMouseMove(nFlags, point);
}

void CShapectlCtrl::OnClick(USHORT iButton) {
    COleControl::ReleaseCapture();
    COleControl::OnClick(iButton);
}

// ---- cursor ----

BOOL CShapectlCtrl::OnSetCursor(HWND window, UINT hitTest, UINT) {
    SHORT pointer = m_props.MousePointer;
    if (pointer < 1 || pointer > 99 || window != m_hWnd || hitTest != HTCLIENT) return FALSE;
    HCURSOR cursor = nullptr;
    if (pointer == 99) {
        OLE_HANDLE h = 0;
        if (m_MouseIcon.GetType() != PICTYPE_NONE) m_MouseIcon.m_pPict->get_Handle(&h);
        cursor = reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(h));
    } else {
        cursor = GetQuixCursor(pointer);
    }
    if (!cursor) return FALSE;
    SetCursor(cursor);
    return TRUE;
}

// ---- focus ----

void CShapectlCtrl::OnSetFocus(HWND hWndOld) {
    COleControl::OnSetFocus(hWndOld);
    FireCustomEvent(3);
}

void CShapectlCtrl::OnKillFocus(HWND hWndNew) {
    COleControl::OnKillFocus(hWndNew);
    FireCustomEvent(4);
}

// ---- dropped files ----

void CShapectlCtrl::OnDropFiles(HDROP hDrop) {
    char name[256];
    if (DragQueryFileA(hDrop, 0, name, sizeof name) > 0) {
        std::u16string wide = platform::com::Utf16(name);
        TextFile(wide.c_str());
    }
}

// ---- palette ----

HPALETTE CShapectlCtrl::FramePalette() {
    CPictureHolder* holder = CurrentFramePicture();
    if (!holder || !holder->m_pPict) return nullptr;
    OLE_HANDLE p = 0;
    if (FAILED(holder->m_pPict->get_hPal(&p))) return nullptr;
    return reinterpret_cast<HPALETTE>(static_cast<std::uintptr_t>(p));
}

void CShapectlCtrl::OnPaletteChanged(HWND hFocusWnd) {
    if (!hFocusWnd || hFocusWnd == m_hWnd) return;
    if (m_bHostAttached && SUCCEEDED(AttachToBackdropHost())) return;  // the host realizes
    HPALETTE palette = FramePalette();
    if (!palette) return;
    HDC dc = COleControl::GetDC(nullptr, OLEDC_PAINTBKGND);
    if (!dc) return;
    HPALETTE old = SelectPalette(dc, palette, TRUE);
    UINT changed = RealizePalette(dc);
    SelectPalette(dc, old, TRUE);
    COleControl::ReleaseDC(dc);
    if (changed != 0 && changed != GDI_ERROR) RedrawControl();
}

BOOL CShapectlCtrl::OnQueryNewPalette() {
    HPALETTE palette = FramePalette();
    if (!palette) return FALSE;
    if (m_bHostAttached && SUCCEEDED(AttachToBackdropHost())) return TRUE;
    if (HDC dc = m_hWnd ? ::GetDC(m_hWnd) : nullptr) {
        HPALETTE old = SelectPalette(dc, palette, FALSE);
        UINT changed = RealizePalette(dc);
        SelectPalette(dc, old, FALSE);
        ::ReleaseDC(m_hWnd, dc);
        if (changed != 0 && changed != GDI_ERROR) RedrawControl();
    }
    return TRUE;
}

// ---- invalidation ----

LRESULT CShapectlCtrl::OnDeferredPaint(WPARAM, LPARAM) {
    InvalidateWithBackground(FALSE);
    return 0;
}

BOOL CShapectlCtrl::WindowRectInParent(RECT* r) {
    if (!m_hWnd || !GetWindowRect(m_hWnd, r)) return FALSE;
    if (HWND parent = GetParent(m_hWnd)) {
        POINT corners[2] = {{r->left, r->top}, {r->right, r->bottom}};
        ScreenToClient(parent, &corners[0]);
        ScreenToClient(parent, &corners[1]);
        *r = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    return TRUE;
}

void CShapectlCtrl::InvalidateWithBackground(BOOL) {
    ++m_redrawTrace.invalidations;
    m_bDeferredPaint = TRUE;
    if (m_bHostAttached && SUCCEEDED(AttachToBackdropHost())) return;
    BOOL run = AmbientUserMode();
    if (run && !m_props.Update) return;
    if (run && m_hWnd && !m_props.Overlay && IsWindowVisible(m_hWnd)) {
        // The parent repaints what lies behind the hidden window before the control paints.
        HWND parent = GetParent(m_hWnd);
        RECT inParent{0, 0, 0, 0};
        WindowRectInParent(&inParent);
        ShowWindow(m_hWnd, SW_HIDE);
        InvalidateRect(parent, &inParent, TRUE);
        UpdateWindow(parent);
        ShowWindow(m_hWnd, SW_SHOWNORMAL);
    }
    InvalidateControl(nullptr, TRUE);
}

// ---- the metafile ----

void CShapectlCtrl::OnDrawMetafile(HDC hdc, const RECT& rcBounds) {
    int width = 0, height = 0;
    GetControlExtent(&width, &height);
    bool composedHere = false;
    if (!m_hComposed) {
        // One paint composes the control into the composed bitmap.
        const SHORT savedCapture = m_props.Capture;
        m_props.Capture = 6;
        if (m_hWnd) {
            HDC dc = COleControl::GetDC(nullptr, OLEDC_PAINTBKGND);
            RECT client;
            GetClientRect(m_hWnd, &client);
            if (dc) {
                OnDraw(dc, client, client);
                COleControl::ReleaseDC(dc);
            }
        } else {
            HWND desktop = GetDesktopWindow();
            HDC dc = ::GetDC(desktop);
            RECT whole{0, 0, width, height};
            OnDraw(dc, whole, whole);
            ::ReleaseDC(desktop, dc);
        }
        m_props.Capture = savedCapture;
        composedHere = m_hComposed != nullptr;
    }
    if (!m_hComposed) return;
    HPALETTE palette = GetSystemPalette();
    if (HGLOBAL dib = BitmapToDIB(m_hComposed, palette)) {
        void* packed = GlobalLock(dib);
        if (void* bits = packed ? FindDIBBits(packed) : nullptr) {
            int oldMode = SetStretchBltMode(hdc, COLORONCOLOR);
            StretchDIBits(hdc, rcBounds.left, rcBounds.top, rcBounds.right - rcBounds.left,
                          rcBounds.bottom - rcBounds.top, 0, 0, width, height, bits,
                          static_cast<const BITMAPINFO*>(packed), DIB_RGB_COLORS, SRCCOPY);
            SetStretchBltMode(hdc, oldMode);
        }
        if (packed) GlobalUnlock(dib);
        DestroyDIB(dib);
    }
    if (palette) DeleteObject(palette);
    if (composedHere) {
        DeleteObject(m_hComposed);
        m_hComposed = nullptr;
    }
}
