// CShapectlCtrl: the paint pipeline (its window's messages and the invalidation that lets a
// see-through control show what lies behind it are in ShapectlMessages.cpp).
//
// Decisions this part is built on:
// - The control is windowed while in-place active (platform/ole/olectl.h): its window is a child
//   window of the container's form that draws into the form's surface, the graphics layer's
//   per-form backing bitmap. "The output DC" of a paint is the context the paint is given: in a
//   window it is a context onto the control's part of that surface, so reading it (BitBlt from
//   it) reads what the form shows beneath the control at that moment. That is how back fill 0
//   copies what lies behind a see-through control after InvalidateWithBackground had the parent
//   repaint under the hidden window, and what CaptureControl reads (the screen, composed from the
//   forms' surfaces).
// - COleControl::GetDC with OLEDC_PAINTBKGND (the reference context of a paint, Capture 3 and 5,
//   Paint with Overlay) first has the container's background painter paint what lies beneath the
//   control into it; without a window the paint uses the screen's context instead.
// - The caption's font is the stock font's graphics font (IFont::get_hFont: the font's point size
//   at 96 pixels an inch, mapped to an installed font with real metrics by platform/gdi); the
//   paint and TextW/TextH copy its LOGFONT.
// - With MultiEffect at run time (QuixEnabled, no Preview) a paint composes on the user-interface
//   thread and hands the output to the effect worker (shapectl/ShapectlEffect.cpp); otherwise the
//   synchronous output path shows the image inside the paint, where the drawing library animates
//   the effect (the form shows the frames as they come only when the effect lets events run
//   between its steps, with Multitask or a cancel mode).
#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/com/bstr.h"
#include "platform/win/paint.h"
#include "platform/win/winmsg.h"
#include "quixcore/quixcore.h"
#include "shapectl/ShapectlCtl.h"
#include "shapectl/ShapectlPalette.h"

namespace {

// The identification string of the drawing library's calls.
constexpr const char* kIdent = "QuixShape";

bool SquareFit(SHORT shape) {
    switch (shape) {
        case 1:
        case 3:
        case 5:
        case 6:
        case 7:
        case 8:
        case 13:
        case 14:
        case 15:
            return true;
        default:
            return false;
    }
}

HBITMAP BitmapOf(CPictureHolder& holder, HPALETTE* palette) {
    if (holder.GetType() != PICTYPE_BITMAP) return nullptr;
    OLE_HANDLE h = 0, p = 0;
    holder.m_pPict->get_Handle(&h);
    holder.m_pPict->get_hPal(&p);
    if (palette) *palette = reinterpret_cast<HPALETTE>(static_cast<std::uintptr_t>(p));
    return reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(h));
}

HBRUSH NullBrush() {
    return reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

// A pen and brush selected for one figure, put back and deleted after it.
class Tools {
public:
    Tools(HDC dc, HPEN pen, HBRUSH brush)
        : dc_(dc),
          pen_(pen),
          brush_(brush),
          oldPen_(SelectObject(dc, pen)),
          oldBrush_(SelectObject(dc, brush)) {}
    ~Tools() {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
        DeleteObject(pen_);
        DeleteObject(brush_);
    }
    Tools(const Tools&) = delete;
    Tools& operator=(const Tools&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HBRUSH brush_;
    HGDIOBJ oldPen_, oldBrush_;
};

// A box shape (0 to 5) over the rectangle with the context's pen and brush.
void DrawBox(HDC dc, SHORT shape, const RECT& r) {
    if (shape <= 1) {
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
    } else if (shape <= 3) {
        Ellipse(dc, r.left, r.top, r.right, r.bottom);
    } else {
        int c = std::min(r.right - r.left, r.bottom - r.top) / 4;
        RoundRect(dc, r.left, r.top, r.right, r.bottom, c, c);
    }
}

HRGN BoxRegion(SHORT shape, const RECT& r) {
    if (shape <= 3) return CreateEllipticRgn(r.left, r.top, r.right, r.bottom);
    int c = std::min(r.right - r.left, r.bottom - r.top) / 4;
    return CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, c, c);
}

// A memory context holding a new bitmap compatible with the reference context.
struct MemoryDC {
    MemoryDC(HDC reference, int width, int height)
        : dc(CreateCompatibleDC(reference)),
          bitmap(CreateCompatibleBitmap(reference, width, height)) {
        old = SelectObject(dc, bitmap);
    }
    ~MemoryDC() {
        SelectObject(dc, old);
        DeleteDC(dc);
        if (bitmap) DeleteObject(bitmap);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

}  // namespace

void CShapectlCtrl::OnDraw(HDC hdc, const RECT& rcBounds, const RECT&) {
    if (m_bHostUpdatePending && m_bHostAttached) {
        // The first paint of an attached control: the host repaints it, or it draws itself into
        // the host's target.
        if (SUCCEEDED(AttachToBackdropHost())) {
            m_bHostUpdatePending = FALSE;
            ShowOnHost();
        }
        return;
    }
    // Afterwards the host asks for the paints of an attached control.
    if (m_bHostAttached) return;
    if (AmbientUserMode() && !m_bDrawAllowed) return;
    DrawControl(hdc, nullptr, &rcBounds, 0, nullptr);
}

// ---- palette ----

void CShapectlCtrl::RealizeWindowPalette(HWND window, HPALETTE palette, BOOL* newPalette) {
    ::RealizeWindowPalette(window, palette, newPalette);
}

// ---- the caption's font and size ----

HFONT CShapectlCtrl::CreateCaptionFont(HDC dc) {
    LOGFONTA lf{};
    HFONT stock = nullptr;
    if (IFont* f = InternalGetFont().m_pFont.get()) f->get_hFont(&stock);
    if (!stock || !GetObject(stock, sizeof lf, &lf)) {
        stock = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        GetObject(stock, sizeof lf, &lf);
    }
    HGDIOBJ old = SelectObject(dc, stock);
    bool trueType = GetFontData(dc, 0, 0, nullptr, 0) != GDI_ERROR;
    SelectObject(dc, old);
    SetMapperFlags(dc, 1);
    if (m_props.FontScale && trueType) {
        lf.lfHeight = m_props.FontHeight;
        lf.lfWidth = m_props.FontWidth;
    }
    return CreateFontIndirect(&lf);
}

SIZE CShapectlCtrl::MeasureCaption() {
    const ShapeProperties& p = m_props;
    int mx = 0, my = 0;
    switch (p.Font3D) {
        case 1:
        case 3:
            mx = my = 1;
            break;
        case 2:
        case 4:
            mx = my = 2;
            break;
        case 5:
            mx = std::abs(p.FontDropX);
            my = std::abs(p.FontDropY);
            break;
        case 6:
            mx = my = std::abs(p.FontBlockSize);
            break;
        case 7:
            mx = my = std::abs(p.FontBlockSize) + 2;
            break;
        case 8:
            mx = std::abs(p.FontDropX) + 1;
            my = std::abs(p.FontDropY) + 1;
            break;
        default:
            break;
    }
    HDC desktop = ::GetDC(GetDesktopWindow());
    HDC dc = CreateCompatibleDC(desktop);
    ::ReleaseDC(GetDesktopWindow(), desktop);
    HFONT font = CreateCaptionFont(dc);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{0, 0};
    const std::string& text = InternalGetText();
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return SIZE{size.cx + mx, size.cy + my};
}

// ---- the paint pipeline ----

int CShapectlCtrl::DrawControl(HDC target, HDC backdrop, const RECT* rect, short mode,
                               HWND hostWindow) {
    ShapeProperties& p = m_props;
    HDC out = target;
    const RECT rc = *rect;
    const BOOL run = AmbientUserMode();
    const bool compose = (p.Capture == 3 && run) || p.Capture == 6;
    auto releaseTarget = [&] {
        if (mode == 2) ::ReleaseDC(hostWindow, target);
    };
    auto tc = [this](OLE_COLOR c) { return TranslateColor(c); };

    if (mode == 2 && run && (!m_bDrawAllowed || !m_bHostVisible)) {
        releaseTarget();
        return 0;
    }
    m_bHostUpdatePending = FALSE;
    if (p.PaintNotify && run && mode != 1) {
        FireCustomEvent(5);
        releaseTarget();
        return 0;
    }
    if (run && IsEffectRunning() && !p.AutoRedraw) {
        releaseTarget();
        return 0;
    }
    ForgetEffectThread();  // a running worker (AutoRedraw) is stopped first
    if (m_hPaintImage) DeleteObject(m_hPaintImage);
    m_hPaintImage = nullptr;

    // The current frame picture: bitmaps only.
    HPALETTE palette = nullptr;
    HBITMAP picture = nullptr;
    if (CPictureHolder* holder = CurrentFramePicture()) picture = BitmapOf(*holder, &palette);
    const bool hasPicture = picture != nullptr;
    if (mode == 1 || mode == 2) palette = m_hBackdropPalette;

    int width = 0, height = 0;
    GetControlExtent(&width, &height);
    RECT work{0, 0, width, height};
    const RECT full = work;

    if (run && !p.Update && !compose && mode != 1) {
        if (m_hWnd && palette && mode == 0) {
            if (p.ManagePalette) RealizeWindowPalette(m_hWnd, palette, &m_bNewPalette);
            SelectPalette(out, palette, TRUE);
            RealizePalette(out);
        }
        releaseTarget();
        return 0;
    }

    // A see-through control waits until its parent has repainted what lies behind it.
    bool attached = m_bHostAttached && SUCCEEDED(AttachToBackdropHost());
    if (!attached && run && !p.Overlay && !m_bDeferredPaint && !compose &&
        (p.BackStyle == 0 || p.BackStyle == 2 || p.BackStyle == 4)) {
        if (m_hWnd) PostMessageA(m_hWnd, WM_DEFERREDPAINT, 0, 0);
        releaseTarget();
        return 0;
    }
    m_bDeferredPaint = FALSE;
    m_QuixCanceled = FALSE;

    // The effect mask.
    bool useMask = false;
    HBITMAP maskBitmap = nullptr;
    int maskX = p.EffectX, maskY = p.EffectY, maskW = 0, maskH = 0;
    if (run && p.EffectMask) {
        if (!m_hComposed) {
            m_QuixError = QUIX_E_NOIMAGE;
        } else if (m_Mask.GetType() != PICTYPE_BITMAP) {
            m_QuixError = QUIX_E_MASK;
        } else {
            maskBitmap = BitmapOf(m_Mask, nullptr);
            BITMAP bm{};
            if (GetObject(maskBitmap, sizeof bm, &bm)) {
                useMask = true;
                maskW = bm.bmWidth;
                maskH = bm.bmHeight;
                if (maskX + maskW > width) maskW = width - maskX;
                if (maskY + maskH > height) maskH = height - maskY;
            }
        }
    }

    // Transparent as opaque: the composition sees BackStyle 1.
    const bool transparentAsOpaque = p.BackStyle == 0 && mode != 2;
    if (transparentAsOpaque) p.BackStyle = 1;

    if (m_hShapeRgn) DeleteObject(m_hShapeRgn);
    m_hShapeRgn = CreateRectRgn(0, 0, 0, 0);
    if (m_hWnd && palette && p.ManagePalette && mode == 0) {
        RealizeWindowPalette(m_hWnd, palette, &m_bNewPalette);
    }
    if (p.Notify && m_hWnd && run && mode != 1) KillTimer(m_hWnd, m_nInstanceId);

    if (run && ((p.Capture == 1 && !m_hComposed) || p.Capture == 5)) {
        if (m_hComposed) DeleteObject(m_hComposed);
        m_hComposed = nullptr;
        CaptureControl(out, &rc, &m_hComposed, &m_QuixError);
    }

    // The border inset and the square fit.
    int inset = p.BorderWidth;
    const int outer = p.BOuterStyle != 0 ? p.BOuterWidth : 0;
    if (p.Shape <= 1) {
        if (p.BInnerStyle != 0) inset += p.BInnerWidth;
        inset += outer;
    } else if (p.BOuterStyle != 0) {
        inset = p.BOuterWidth;
    }
    if (SquareFit(p.Shape)) {
        if (width > height) {
            work.left = (width - height) / 2;
            work.right = work.left + height;
        } else {
            work.top = (height - width) / 2;
            work.bottom = work.top + width;
        }
        int adx = std::abs(p.ShadowDropX), ady = std::abs(p.ShadowDropY);
        if (p.ShadowStyle == 1 && adx != ady) {
            if (ady < adx) work.bottom -= adx - ady;
            if (adx < ady) work.right -= ady - adx;
        }
    }

    HDC image = nullptr;
    HGDIOBJ oldImageBitmap = nullptr;
    HPALETTE oldImagePalette = nullptr;
    HDC reference = nullptr;
    bool referenceIsScreen = false;

    if (mode == 2) {
        image = backdrop;
        if (palette) {
            SelectPalette(out, palette, TRUE);
            RealizePalette(out);
        }
    } else {
        reference = GetDC(nullptr, OLEDC_PAINTBKGND);
        if (!reference) {
            reference = ::GetDC(nullptr);
            referenceIsScreen = true;
        }
        image = CreateCompatibleDC(reference);
        const int imageW = useMask && !compose ? std::max(maskW, 0) : width;
        const int imageH = useMask && !compose ? std::max(maskH, 0) : height;
        m_hPaintImage = CreateCompatibleBitmap(reference, std::max(imageW, 1), std::max(imageH, 1));
        oldImageBitmap = SelectObject(image, m_hPaintImage);
        if (palette) {
            oldImagePalette = SelectPalette(image, palette, TRUE);
            RealizePalette(image);
            SelectPalette(out, palette, TRUE);
            RealizePalette(out);
        }
        SetBkMode(image, p.BackStyle < 1 ? TRANSPARENT : OPAQUE);

        if (!useMask || compose) {
            MemoryDC back(reference, width, height);
            if (palette) {
                SelectPalette(back.dc, palette, TRUE);
                RealizePalette(back.dc);
            }
            // What the back fill puts into a context: the composed image over white, or what the
            // output context shows at the control's place.
            auto fillLikeBackFill = [&](HDC dc) {
                if (p.BackFill == 1 && m_hComposed) {
                    PatBlt(dc, 0, 0, width, height, WHITENESS);
                    HDC from = CreateCompatibleDC(nullptr);
                    HGDIOBJ old = SelectObject(from, m_hComposed);
                    BITMAP bm{};
                    GetObject(m_hComposed, sizeof bm, &bm);
                    BitBlt(dc, 0, 0, std::min<int>(width, bm.bmWidth),
                           std::min<int>(height, bm.bmHeight), from, 0, 0, SRCCOPY);
                    SelectObject(from, old);
                    DeleteDC(from);
                    return;
                }
                if (p.BackFill == 1) m_QuixError = QUIX_E_NOIMAGE;
                BitBlt(dc, 0, 0, width, height, out, rc.left, rc.top, SRCCOPY);
            };

            // Background.
            if (run || p.DesignStyle != 1) {
                if (p.BackFill == 0 || p.BackFill == 1) {
                    fillLikeBackFill(image);
                    if (p.BackFill == 1 && m_hComposed) {
                        fillLikeBackFill(back.dc);
                    } else {
                        BitBlt(back.dc, 0, 0, width, height, image, 0, 0, SRCCOPY);
                    }
                } else {
                    HBRUSH surround = CreateSolidBrush(tc(p.SurroundColor));
                    FillRect(image, &full, surround);
                    DeleteObject(surround);
                    BitBlt(back.dc, 0, 0, width, height, out, rc.left, rc.top, SRCCOPY);
                }
            } else {
                HBRUSH ambient = CreateSolidBrush(tc(AmbientBackColor()));
                FillRect(image, &full, ambient);
                FillRect(back.dc, &full, ambient);
                DeleteObject(ambient);
            }
            SetBkMode(image, TRANSPARENT);
            SetMapMode(image, MM_TEXT);

            // Drop shadow.
            const COLORREF shadowColour = tc(p.ShadowColor);
            const int dx = p.ShadowDropX, dy = p.ShadowDropY;
            if (p.ShadowStyle == 1 && (dx != 0 || dy != 0)) {
                RECT s = work;
                int extra = inset != 0 && p.Shape > 1 ? 2 * outer : 0;
                if (dx > 0) s.left += dx + extra;
                if (dx < 0) s.right -= -dx + extra;
                if (dy > 0) s.top += dy + extra;
                if (dy < 0) s.bottom -= -dy + extra;
                if (p.Shape >= 6) {
                    PaintPointShape(image, s, TRUE, FALSE);
                } else {
                    SetBkColor(image, shadowColour);
                    HPEN pen =
                        CreateBorderPen(inset + (p.Shape > 1 ? p.BorderWidth : 0), shadowColour);
                    HBRUSH brush = p.BackStyle < 1 ? CreateFillBrush(shadowColour)
                                                   : CreateSolidBrush(shadowColour);
                    SetBkMode(image, p.BackStyle < 1 ? TRANSPARENT : OPAQUE);
                    Tools tools(image, pen, brush);
                    DrawBox(image, p.Shape, s);
                }
                if (dx < 0) work.left += -dx;
                if (dx > 0) work.right -= dx;
                if (dy < 0) work.top += -dy;
                if (dy > 0) work.bottom -= dy;
            }

            if (inset != 0 && p.Shape > 1 && p.BOuterStyle > 0 && p.BackStyle > 0) {
                work.left += inset;
                work.top += inset;
                work.right -= inset;
                work.bottom -= inset;
            }

            // Borders of the rectangle and the square.
            int innerOffset = 0;
            if (p.Shape <= 1) {
                DrawBorder(image, &work, 0, p.BOuterStyle, p.BOuterWidth, tc(p.BOuterColor1),
                           tc(p.BOuterColor2), p.BInnerStyle, p.BInnerWidth, tc(p.BInnerColor1),
                           tc(p.BInnerColor2), p.BorderWidth, tc(p.BorderColor), 1, 0, 0, 0);
                if (p.BorderWidth != 0) {
                    Tools tools(image, CreateBorderPen(p.BorderWidth, tc(p.BorderColor)),
                                NullBrush());
                    Rectangle(image, work.left + outer, work.top + outer, work.right - outer,
                              work.bottom - outer);
                }
                innerOffset = outer + p.BorderWidth + (p.BInnerStyle != 0 ? p.BInnerWidth : 0);
            }

            // The 3-D outline of the other shapes: up-left, then down-right.
            if (p.Shape >= 2 && (p.BOuterStyle == 1 || p.BOuterStyle == 2) && p.BackStyle >= 1) {
                OLE_COLOR colours[2] = {p.BOuterColor1, p.BOuterColor2};
                if (p.BOuterStyle == 2) std::swap(colours[0], colours[1]);
                for (int pass = 0; pass < 2; ++pass) {
                    int d = pass == 0 ? -inset : inset;
                    RECT r{work.left + d, work.top + d, work.right + d, work.bottom + d};
                    if (p.Shape <= 5) {
                        COLORREF c = tc(colours[pass]);
                        Tools tools(image, CreatePen(PS_INSIDEFRAME, p.BOuterWidth, c),
                                    CreateSolidBrush(c));
                        DrawBox(image, p.Shape, r);
                        AddToShapeRegion(BoxRegion(p.Shape, r));
                    } else {
                        OLE_COLOR saved = p.ShadowColor;
                        p.ShadowColor = colours[pass];
                        PaintPointShape(image, r, TRUE, TRUE);
                        p.ShadowColor = saved;
                    }
                }
            }

            // The shape.
            if (p.Shape <= 1) {
                work.left += innerOffset;
                work.top += innerOffset;
                work.right += 1 - innerOffset;
                work.bottom += 1 - innerOffset;
            }
            if (p.Shape >= 6) {
                PaintPointShape(image, work, FALSE, TRUE);
            } else {
                SetBkColor(image, tc(p.FillStyle != 0 ? p.BackColor : p.FillColor));
                HPEN pen = p.Shape <= 1 ? reinterpret_cast<HPEN>(GetStockObject(NULL_PEN))
                                        : CreateBorderPen(p.BorderWidth, tc(p.BorderColor));
                HBRUSH brush = p.FillStyle == 1 && p.BackStyle > 0
                                   ? CreateSolidBrush(tc(p.BackColor))
                                   : CreateFillBrush(tc(p.FillColor));
                {
                    Tools tools(image, pen, brush);
                    DrawBox(image, p.Shape, work);
                }
                if (p.Shape <= 1) {
                    AddToShapeRegion(CreateRectRgn(work.left - inset, work.top - inset,
                                                   work.right + inset - 1,
                                                   work.bottom + inset - 1));
                } else {
                    AddToShapeRegion(BoxRegion(p.Shape, work));
                }
            }

            // The back style: the fill colour key BackColor lets a back picture show.
            const POINT corner{work.right, work.bottom};
            auto addPicture = [&](HDC dc) {
                if (!hasPicture) return;
                AddImageToControl(dc, &full, picture, palette, 0, p.PictureVisible, p.PictureAlign,
                                  p.PictureX, p.PictureY, &m_nHotspotX, &m_nHotspotY, p.BackStyle,
                                  run, p.Transparent, tc(p.TransparentColor));
            };
            auto keyInto = [&](HDC from) {
                SetBkColor(image, RGB(255, 255, 255));
                SetTextColor(image, RGB(0, 0, 0));
                SetMapMode(from, MM_TEXT);
                CreateTransparentBitmap(image, 0, 0, corner.x, corner.y, tc(p.BackColor), from);
            };
            switch (p.BackStyle) {
                case 2:
                case 4:
                    if (p.BackStyle == 2) {
                        DoTransition(back.dc, &full, 0, 0, tc(p.BackColor), 0, 5, 0, 0, 1, 0, 0, 10,
                                     kIdent, 0, &m_QuixCanceled, 1, 0, 0, 0, 0, nullptr,
                                     &m_QuixError, 1);
                    } else {
                        DoGradientTransition(back.dc, &full, 0, p.GStyle, p.GSteps, tc(p.GColor1),
                                             tc(p.GColor2), 5, 0, 0, 1, 0, 0, 5, kIdent, 0,
                                             &m_QuixCanceled, &m_QuixError, 1, 0, 0, 0, 0, nullptr,
                                             1);
                    }
                    addPicture(back.dc);
                    keyInto(back.dc);
                    break;
                case 3: {
                    HBITMAP gradient = GetGradientBitmap(reference, &full, 0, p.GStyle, p.GSteps,
                                                         tc(p.GColor1), tc(p.GColor2));
                    HDC g = CreateCompatibleDC(reference);
                    HGDIOBJ old = SelectObject(g, gradient);
                    addPicture(g);
                    keyInto(g);
                    SelectObject(g, old);
                    DeleteDC(g);
                    if (gradient) DeleteObject(gradient);
                    break;
                }
                case 1:
                case 5:
                    if ((hasPicture && p.PictureVisible) || transparentAsOpaque) {
                        MemoryDC copy(reference, width, height);
                        BitBlt(copy.dc, 0, 0, width, height, transparentAsOpaque ? back.dc : image,
                               0, 0, SRCCOPY);
                        addPicture(copy.dc);
                        keyInto(copy.dc);
                    }
                    break;
                default:
                    break;
            }

            // The caption.
            HFONT font = CreateCaptionFont(image);
            HGDIOBJ oldFont = SelectObject(image, font);
            const std::string& caption = InternalGetText();
            PaintTextInControl(image, &full, p.Font3D, p.FontDropX, p.FontDropY, p.FontBlockSize,
                               p.BOuterStyle, p.BOuterWidth, p.BInnerStyle, p.BInnerWidth,
                               p.BorderWidth, caption.c_str(), p.TextX, p.TextY, p.Alignment,
                               p.WordWrap, tc(p.ForeColor), tc(p.Font3DColor1), tc(p.Font3DColor2),
                               tc(p.FontShadowColor), tc(p.FontOutlineColor), 0);
            SelectObject(image, oldFont);
            DeleteObject(font);

            // The fore style: the caption, drawn in ForeColor, takes the fore image.
            if (p.ForeStyle >= 1 && p.ForeStyle <= 4 && (p.ForeStyle != 4 || hasPicture)) {
                HDC fore = CreateCompatibleDC(reference);
                HBITMAP foreBitmap = nullptr;
                if (p.ForeStyle == 2) {
                    foreBitmap = GetGradientBitmap(reference, &full, 0, p.FGStyle, p.FGSteps,
                                                   tc(p.FGColor1), tc(p.FGColor2));
                } else {
                    foreBitmap = CreateCompatibleBitmap(reference, width, height);
                }
                HGDIOBJ oldFore = SelectObject(fore, foreBitmap);
                if (p.ForeStyle == 1 || p.ForeStyle == 3) {
                    fillLikeBackFill(fore);
                    if (p.ForeStyle == 1) {
                        DoTransition(fore, &full, 0, 0, tc(p.BackColor), 0, 5, 0, 0, 1, 0, 0, 10,
                                     kIdent, 0, &m_QuixCanceled, 1, 0, 0, 0, 0, nullptr,
                                     &m_QuixError, 1);
                    }
                } else if (p.ForeStyle == 4) {
                    HDC pictureDC = CreateCompatibleDC(reference);
                    HGDIOBJ oldPicture = SelectObject(pictureDC, picture);
                    if (palette) {
                        SelectPalette(pictureDC, palette, TRUE);
                        RealizePalette(pictureDC);
                    }
                    BITMAP bm{};
                    GetObject(picture, sizeof bm, &bm);
                    TileImage(fore, width, height, 0, pictureDC, 0, 0, bm.bmWidth, bm.bmHeight);
                    SelectObject(pictureDC, oldPicture);
                    DeleteDC(pictureDC);
                }
                CreateTransparentBitmap(image, 0, 0, width, height, tc(p.ForeColor), fore);
                SelectObject(fore, oldFore);
                DeleteDC(fore);
                if (foreBitmap) DeleteObject(foreBitmap);
            }
        } else {
            // Only the masked area changes: the composed image there, the mask's white parts
            // keeping what the output context shows.
            HDC from = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(from, m_hComposed);
            BitBlt(image, 0, 0, maskW, maskH, from, maskX, maskY, SRCCOPY);
            SelectObject(from, old);
            DeleteDC(from);
            CreateTransparentMaskBitmap(image, maskX, maskY, maskW, maskH, maskBitmap, out);
        }
        if (referenceIsScreen) {
            ::ReleaseDC(nullptr, reference);
        } else {
            ReleaseDC(reference);
        }
    }
    if (transparentAsOpaque) p.BackStyle = 0;

    const short effect = p.MEffect == 51 ? 0 : p.MEffect;

    // The update rectangle, destination and source.
    int ux = 0, uy = 0, uw = width, uh = height;
    if (run && useMask) {
        ux = maskX;
        uy = maskY;
        uw = maskW;
        uh = maskH;
    } else if (run) {
        GetUpdateRectValues(&full, &ux, &uy, &uw, &uh, p.UpdateArea, p.UpdateX, p.UpdateY,
                            p.UpdateW, p.UpdateH);
    }
    const int destX = rc.left + ux, destY = rc.top + uy;
    int srcX = ux, srcY = uy;
    if (useMask) srcX = srcY = 0;
    if (mode == 2) {
        srcX = rc.left + ux;
        srcY = rc.top + uy;
    }
    auto endImage = [&] {
        if (mode == 2) return;
        SelectObject(image, oldImageBitmap);
        if (oldImagePalette) SelectPalette(image, oldImagePalette, TRUE);
        DeleteDC(image);
        if (m_hPaintImage) DeleteObject(m_hPaintImage);
        m_hPaintImage = nullptr;
    };

    if (compose) {
        if (mode != 2) {
            SelectObject(image, oldImageBitmap);
            if (oldImagePalette) SelectPalette(image, oldImagePalette, TRUE);
            if (m_hComposed) DeleteObject(m_hComposed);
            HDC desktop = ::GetDC(GetDesktopWindow());
            m_hComposed = CopyBitmap(desktop, m_hPaintImage, 0, 0, 0, 0);
            ::ReleaseDC(GetDesktopWindow(), desktop);
            DeleteObject(m_hPaintImage);
            m_hPaintImage = nullptr;
            DeleteDC(image);
        }
        releaseTarget();
        return 0;
    }

    m_EffectAborted = FALSE;
    const short useUpdate = p.UpdateArea != 0 || useMask ? 1 : 0;
    const RECT update{ux, uy, ux + uw, uy + uh};
    if (p.MultiEffect && run && p.QuixEnabled && !p.Preview && mode != 1 && (m_hWnd || mode == 2)) {
        if (mode != 2) {
            SelectObject(image, oldImageBitmap);
            if (oldImagePalette) SelectPalette(image, oldImagePalette, TRUE);
            DeleteDC(image);
        }
        StartEffectThread(mode, target, backdrop, hostWindow, palette, rc, POINT{destX, destY},
                          POINT{srcX, srcY}, SIZE{uw, uh}, update, useUpdate);
        return 0;
    }
    const bool effectsShown = run || p.Preview;
    bool shown = false;
    if (p.TEnabled && effectsShown) {
        short textEffect = mode == 1 ? 0 : p.TEffect;
        if (p.TStyle == 7) {
            DoCaptureTransition(out, &rc, 0, m_hComposed, p.TGrain, textEffect, p.TDelay,
                                p.Multitask, p.Wand, tc(p.WandColor), p.WandWidth, kIdent,
                                p.CancelMode, &m_QuixCanceled, &m_QuixError, 0, 0, 0, 0, useUpdate,
                                &update, p.QuixEnabled);
        } else {
            DoTransition(out, &rc, p.TStyle, 0, tc(p.TBackColor), tc(p.TForeColor), p.TGrain,
                         textEffect, p.TDelay, p.Multitask, p.Wand, tc(p.WandColor), p.WandWidth,
                         kIdent, p.CancelMode, &m_QuixCanceled, 0, 0, 0, 0, useUpdate, &update,
                         &m_QuixError, p.QuixEnabled);
        }
        shown = p.TOnly;
    }
    if (!shown && p.DMode != 0 && p.QuixEnabled && effectsShown && mode != 1) {
        PaintDissolve(out, p.DMode, p.DEffect1, p.DEffect2, p.DEffect3, [&](SHORT passEffect) {
            BltEffect(out, destX, destY, image, srcX, srcY, uw, uh, p.MGrain, passEffect, p.MDelay,
                      0xCA0749, nullptr, p.Multitask, p.Wand, tc(p.WandColor), p.WandWidth, kIdent,
                      p.CancelMode, &m_QuixCanceled);
        });
    } else if (!shown) {
        short shownEffect = effectsShown && p.QuixEnabled && mode != 1 ? effect : 0;
        BltEffect(out, destX, destY, image, srcX, srcY, uw, uh, p.MGrain, shownEffect, p.MDelay,
                  SRCCOPY, nullptr, p.Multitask, p.Wand, tc(p.WandColor), p.WandWidth, kIdent,
                  p.CancelMode, &m_QuixCanceled);
    }
    releaseTarget();
    endImage();
    if (mode != 1 || !HasEffect()) CompletePaint();
    return 0;
}
