// Transitions and effects. Effect 0 puts the final image on the context at once; this version
// draws every other effect number the same way (the catalogue in quixcore.h).
#include <QImage>
#include <vector>

#include "platform/gdi/qt.h"
#include "quixcore/internal.h"

using namespace quixcore::internal;

namespace {

// The part of the rectangle a transition covers (its own coordinates are the rectangle's corner's).
QRect TransitionArea(const RECT& rect, short useUpdateRect, const RECT* updateRect) {
    QRect area = RectOf(rect);
    if (useUpdateRect && updateRect) {
        area &= RectOf(*updateRect).translated(area.topLeft());
    }
    return area;
}

// The transition fill of a style: solid back colour, or a hatch in the fore colour over it.
QImage StyleFill(int width, int height, short style, COLORREF backColor, COLORREF foreColor) {
    QImage fill(width, height, QImage::Format_RGB32);
    if (fill.isNull()) return fill;
    if (style == 0) {
        fill.fill(Rgb(backColor));
        return fill;
    }
    // The hatches of the graphics layer, aligned to the rectangle's corner.
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, width, height);
    if (!bitmap) return QImage();
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
    HBRUSH hatch = CreateHatchBrush(style - 1, foreColor);
    HGDIOBJ oldBrush = SelectObject(mem, hatch);
    SetBkColor(mem, backColor);
    PatBlt(mem, 0, 0, width, height, PATCOPY);
    SelectObject(mem, oldBrush);
    SelectObject(mem, oldBitmap);
    DeleteObject(hatch);
    DeleteDC(mem);
    fill = platform::gdi::ImageOf(bitmap);
    DeleteObject(bitmap);
    return fill;
}

// Puts rows of the rectangle over the area, opaque or mixed half and half with what the context
// shows: produce(put) hands each row y (0 = the rectangle's top, the rectangle's width long) to
// put(y, row).
template <class Produce>
short Show(HDC hdc, const RECT& rect, bool translucent, QRect area, short* error, Produce produce) {
    const QRect whole = RectOf(rect);
    area &= whole;
    if (area.isEmpty()) return QUIX_OK;
    const QRect device = DeviceRect(hdc, area);
    const QPoint shift = device.topLeft() - area.topLeft();  // logical to device
    bool ok = platform::gdi::WithPixels(hdc, [&](platform::gdi::PixelAccess& a) {
        const QRegion clip = a.writable.intersected(device);
        produce([&](int y, const QRgb* row) {
            const int dy = whole.y() + y + shift.y();
            for (const QRect& r : clip) {
                if (dy < r.top() || dy > r.bottom()) continue;
                QRgb* line =
                    reinterpret_cast<QRgb*>(a.image->scanLine(dy + a.offset.y())) + a.offset.x();
                const int first = whole.x() + shift.x();  // the device x of row[0]
                for (int x = r.left(); x <= r.right(); ++x) {
                    QRgb p = row[x - first];
                    if (translucent) {
                        QRgb u = line[x];
                        p = qRgb((qRed(p) + qRed(u)) / 2, (qGreen(p) + qGreen(u)) / 2,
                                 (qBlue(p) + qBlue(u)) / 2);
                    }
                    line[x] = ForTarget(a, p);
                }
            }
        });
    });
    return ok ? QUIX_OK : Fail(QUIX_E_DRAW, error);
}

// The rows of an image.
auto RowsOf(const QImage& image) {
    return [&image](auto put) {
        for (int y = 0; y < image.height(); ++y) {
            put(y, reinterpret_cast<const QRgb*>(image.constScanLine(y)));
        }
    };
}

}  // namespace

short DoTransition(HDC hdc, const RECT* rect, short style, short, COLORREF backColor,
                   COLORREF foreColor, short, short, short, short, BOOL, COLORREF, short,
                   const char*, short, BOOL*, short reserved1, short, short, short,
                   short useUpdateRect, const RECT* updateRect, short* error, BOOL) {
    if (!IsDc(hdc)) return Fail(QUIX_E_HANDLE, error);
    if (!rect || style < 0 || style > 6) return Fail(QUIX_E_ARGUMENT, error);
    QRect whole = RectOf(*rect);
    if (whole.isEmpty()) return QUIX_OK;
    const QRect area = TransitionArea(*rect, useUpdateRect, updateRect);
    if (style == 0) {
        const std::vector<QRgb> row(whole.width(), Rgb(backColor));
        return Show(hdc, *rect, reserved1 == 1, area, error, [&](auto put) {
            for (int y = 0; y < whole.height(); ++y) put(y, row.data());
        });
    }
    QImage fill = StyleFill(whole.width(), whole.height(), style, backColor, foreColor);
    if (fill.isNull()) return Fail(QUIX_E_DRAW, error);
    return Show(hdc, *rect, reserved1 == 1, area, error, RowsOf(fill));
}

short DoGradientTransition(HDC hdc, const RECT* rect, short, short gradientStyle, short steps,
                           COLORREF color1, COLORREF color2, short, short, short, short, BOOL,
                           COLORREF, short, const char*, short, BOOL*, short* error,
                           short reserved1, short, short, short, short useUpdateRect,
                           const RECT* updateRect, BOOL) {
    if (!IsDc(hdc)) return Fail(QUIX_E_HANDLE, error);
    if (!rect) return Fail(QUIX_E_ARGUMENT, error);
    QRect whole = RectOf(*rect);
    if (whole.isEmpty()) return QUIX_OK;
    if (gradientStyle < 0 || gradientStyle > 19) return Fail(QUIX_E_ARGUMENT, error);
    return Show(hdc, *rect, reserved1 == 1, TransitionArea(*rect, useUpdateRect, updateRect), error,
                [&](auto put) {
                    GradientRows(whole.width(), whole.height(), gradientStyle, steps, color1,
                                 color2, put);
                });
}

short DoCaptureTransition(HDC hdc, const RECT* rect, short, HBITMAP composed, short, short, short,
                          short, BOOL, COLORREF, short, const char*, short, BOOL*, short* error,
                          short, short, short, short, short useUpdateRect, const RECT* updateRect,
                          BOOL) {
    if (!IsDc(hdc)) return Fail(QUIX_E_HANDLE, error);
    if (!composed) return Fail(QUIX_E_NOIMAGE, error);
    if (!IsBitmap(composed)) return Fail(QUIX_E_HANDLE, error);
    if (!rect) return Fail(QUIX_E_ARGUMENT, error);
    const QImage image = platform::gdi::ImageOf(composed);
    const QRect at(RectOf(*rect).topLeft(), image.size());
    const QRect area = TransitionArea(*rect, useUpdateRect, updateRect) & at;
    const RECT imageRect{at.left(), at.top(), at.left() + at.width(), at.top() + at.height()};
    return Show(hdc, imageRect, false, area, error, RowsOf(image));
}

short BltEffect(HDC hdcDest, int xDest, int yDest, HDC hdcSrc, int xSrc, int ySrc, int width,
                int height, short, short, short, DWORD rop, HPALETTE palette, short, BOOL, COLORREF,
                short, const char*, short, BOOL*) {
    if (!IsDc(hdcDest)) return QUIX_E_HANDLE;
    if (palette && GetObjectType(palette) != OBJ_PAL) return QUIX_E_HANDLE;
    HPALETTE old = nullptr;
    if (palette) {
        old = SelectPalette(hdcDest, palette, FALSE);
        RealizePalette(hdcDest);
    }
    BOOL ok = BitBlt(hdcDest, xDest, yDest, width, height, hdcSrc, xSrc, ySrc, rop);
    if (old) SelectPalette(hdcDest, old, FALSE);
    return ok ? QUIX_OK : QUIX_E_DRAW;
}

short DoThreadTransition(HDC hdc, const RECT* rect, short style, short reserved, COLORREF backColor,
                         COLORREF foreColor, short grain, short effect, short delay,
                         short multitask, BOOL wand, COLORREF wandColor, short wandWidth,
                         const char* id, short cancelMode, BOOL* canceled, short reserved1,
                         short reserved2, short reserved3, short reserved4, short useUpdateRect,
                         const RECT* updateRect, short* error, BOOL enabled, BOOL* cancel, HWND,
                         void*, BOOL*, BOOL*, BOOL*) {
    if (cancel && *cancel) return QUIX_OK;
    return DoTransition(hdc, rect, style, reserved, backColor, foreColor, grain, effect, delay,
                        multitask, wand, wandColor, wandWidth, id, cancelMode, canceled, reserved1,
                        reserved2, reserved3, reserved4, useUpdateRect, updateRect, error, enabled);
}

short DoThreadCaptureTransition(HDC hdc, const RECT* rect, short reserved, HBITMAP composed,
                                short grain, short effect, short delay, short multitask, BOOL wand,
                                COLORREF wandColor, short wandWidth, const char* id,
                                short cancelMode, BOOL* canceled, short* error, short reserved1,
                                short reserved2, short reserved3, short reserved4,
                                short useUpdateRect, const RECT* updateRect, BOOL enabled,
                                BOOL* cancel, HWND, void*, BOOL*, BOOL*, BOOL*) {
    if (cancel && *cancel) return QUIX_OK;
    return DoCaptureTransition(hdc, rect, reserved, composed, grain, effect, delay, multitask, wand,
                               wandColor, wandWidth, id, cancelMode, canceled, error, reserved1,
                               reserved2, reserved3, reserved4, useUpdateRect, updateRect, enabled);
}

short BltThreadEffect(HDC hdcDest, int xDest, int yDest, HDC hdcSrc, int xSrc, int ySrc, int width,
                      int height, short grain, short effect, short delay, DWORD rop,
                      HPALETTE palette, short multitask, BOOL wand, COLORREF wandColor,
                      short wandWidth, const char* id, short cancelMode, BOOL* canceled,
                      BOOL* cancel, HWND, void*, BOOL*, BOOL*, BOOL*) {
    if (cancel && *cancel) return QUIX_OK;
    return BltEffect(hdcDest, xDest, yDest, hdcSrc, xSrc, ySrc, width, height, grain, effect, delay,
                     rop, palette, multitask, wand, wandColor, wandWidth, id, cancelMode, canceled);
}
