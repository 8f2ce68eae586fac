// Transitions and effects: the final image of each call, put onto the context through the effect
// engine (animate.h) with the effect the call names.
#include <QImage>
#include <atomic>
#include <vector>

#include "platform/gdi/qt.h"
#include "quixcore/animate.h"
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

namespace {

short DrawTransition(HDC hdc, const RECT& rect, short style, COLORREF backColor, COLORREF foreColor,
                     short reserved1, short useUpdateRect, const RECT* updateRect, short* error) {
    QRect whole = RectOf(rect);
    const QRect area = TransitionArea(rect, useUpdateRect, updateRect);
    if (style == 0) {
        const std::vector<QRgb> row(whole.width(), Rgb(backColor));
        return Show(hdc, rect, reserved1 == 1, area, error, [&](auto put) {
            for (int y = 0; y < whole.height(); ++y) put(y, row.data());
        });
    }
    QImage fill = StyleFill(whole.width(), whole.height(), style, backColor, foreColor);
    if (fill.isNull()) return Fail(QUIX_E_DRAW, error);
    return Show(hdc, rect, reserved1 == 1, area, error, RowsOf(fill));
}

Pace PaceOf(short grain, short effect, short delay, short multitask, BOOL wand, COLORREF wandColor,
            short wandWidth, short cancelMode, BOOL* canceled) {
    Pace pace;
    pace.grain = grain;
    pace.effect = effect;
    pace.delay = delay;
    pace.multitask = multitask;
    pace.wand = wand;
    pace.wandColor = wandColor;
    pace.wandWidth = wandWidth;
    pace.cancelMode = cancelMode;
    pace.canceled = canceled;
    return pace;
}

Pace WorkerPace(Pace pace, BOOL* cancel, void* thread, BOOL* cued, BOOL* multiEffect,
                BOOL* effectIncrement) {
    pace.cancel = cancel;
    pace.thread = thread;
    pace.cued = cued;
    pace.multiEffect = multiEffect;
    pace.effectIncrement = effectIncrement;
    return pace;
}

bool Cancelled(BOOL* cancel) {
    return cancel && std::atomic_ref<BOOL>(*cancel).load();
}

short Transition(HDC hdc, const RECT* rect, short style, COLORREF backColor, COLORREF foreColor,
                 short reserved1, short useUpdateRect, const RECT* updateRect, short* error,
                 const Pace& pace) {
    if (!IsDc(hdc)) return Fail(QUIX_E_HANDLE, error);
    if (!rect || style < 0 || style > 6) return Fail(QUIX_E_ARGUMENT, error);
    if (RectOf(*rect).isEmpty()) return QUIX_OK;
    const QRect area = TransitionArea(*rect, useUpdateRect, updateRect) & RectOf(*rect);
    short r = Animate(hdc, area, pace, [&](HDC target) {
        return DrawTransition(target, *rect, style, backColor, foreColor, reserved1, useUpdateRect,
                              updateRect, error);
    });
    return r == QUIX_OK ? r : Fail(r, error);
}

short GradientTransition(HDC hdc, const RECT* rect, short gradientStyle, short steps,
                         COLORREF color1, COLORREF color2, short* error, short reserved1,
                         short useUpdateRect, const RECT* updateRect, const Pace& pace) {
    if (!IsDc(hdc)) return Fail(QUIX_E_HANDLE, error);
    if (!rect) return Fail(QUIX_E_ARGUMENT, error);
    QRect whole = RectOf(*rect);
    if (whole.isEmpty()) return QUIX_OK;
    if (gradientStyle < 0 || gradientStyle > 19) return Fail(QUIX_E_ARGUMENT, error);
    const QRect area = TransitionArea(*rect, useUpdateRect, updateRect) & whole;
    short r = Animate(hdc, area, pace, [&](HDC target) {
        return Show(target, *rect, reserved1 == 1, area, error, [&](auto put) {
            GradientRows(whole.width(), whole.height(), gradientStyle, steps, color1, color2, put);
        });
    });
    return r == QUIX_OK ? r : Fail(r, error);
}

short CaptureTransition(HDC hdc, const RECT* rect, HBITMAP composed, short* error,
                        short useUpdateRect, const RECT* updateRect, const Pace& pace) {
    if (!IsDc(hdc)) return Fail(QUIX_E_HANDLE, error);
    if (!composed) return Fail(QUIX_E_NOIMAGE, error);
    if (!IsBitmap(composed)) return Fail(QUIX_E_HANDLE, error);
    if (!rect) return Fail(QUIX_E_ARGUMENT, error);
    const QImage image = platform::gdi::ImageOf(composed);
    const QRect at(RectOf(*rect).topLeft(), image.size());
    const QRect area = TransitionArea(*rect, useUpdateRect, updateRect) & at & RectOf(*rect);
    const RECT imageRect{at.left(), at.top(), at.left() + at.width(), at.top() + at.height()};
    short r = Animate(hdc, area, pace, [&](HDC target) {
        return Show(target, imageRect, false, area, error, RowsOf(image));
    });
    return r == QUIX_OK ? r : Fail(r, error);
}

short Blt(HDC hdcDest, int xDest, int yDest, HDC hdcSrc, int xSrc, int ySrc, int width, int height,
          DWORD rop, HPALETTE palette, const Pace& pace) {
    if (!IsDc(hdcDest)) return QUIX_E_HANDLE;
    if (palette && GetObjectType(palette) != OBJ_PAL) return QUIX_E_HANDLE;
    HPALETTE old = nullptr;
    if (palette) {
        old = SelectPalette(hdcDest, palette, FALSE);
        RealizePalette(hdcDest);
    }
    const QRect area = RectOf(RECT{xDest, yDest, xDest + width, yDest + height});
    short r = Animate(hdcDest, area, pace, [&](HDC target) {
        return BitBlt(target, xDest, yDest, width, height, hdcSrc, xSrc, ySrc, rop) ? QUIX_OK
                                                                                    : QUIX_E_DRAW;
    });
    if (old) SelectPalette(hdcDest, old, FALSE);
    return r;
}

}  // namespace

short DoTransition(HDC hdc, const RECT* rect, short style, short, COLORREF backColor,
                   COLORREF foreColor, short grain, short effect, short delay, short multitask,
                   BOOL wand, COLORREF wandColor, short wandWidth, const char*, short cancelMode,
                   BOOL* canceled, short reserved1, short, short, short, short useUpdateRect,
                   const RECT* updateRect, short* error, BOOL) {
    return Transition(
        hdc, rect, style, backColor, foreColor, reserved1, useUpdateRect, updateRect, error,
        PaceOf(grain, effect, delay, multitask, wand, wandColor, wandWidth, cancelMode, canceled));
}

short DoGradientTransition(HDC hdc, const RECT* rect, short, short gradientStyle, short steps,
                           COLORREF color1, COLORREF color2, short grain, short effect, short delay,
                           short multitask, BOOL wand, COLORREF wandColor, short wandWidth,
                           const char*, short cancelMode, BOOL* canceled, short* error,
                           short reserved1, short, short, short, short useUpdateRect,
                           const RECT* updateRect, BOOL) {
    return GradientTransition(
        hdc, rect, gradientStyle, steps, color1, color2, error, reserved1, useUpdateRect,
        updateRect,
        PaceOf(grain, effect, delay, multitask, wand, wandColor, wandWidth, cancelMode, canceled));
}

short DoCaptureTransition(HDC hdc, const RECT* rect, short, HBITMAP composed, short grain,
                          short effect, short delay, short multitask, BOOL wand, COLORREF wandColor,
                          short wandWidth, const char*, short cancelMode, BOOL* canceled,
                          short* error, short, short, short, short, short useUpdateRect,
                          const RECT* updateRect, BOOL) {
    return CaptureTransition(
        hdc, rect, composed, error, useUpdateRect, updateRect,
        PaceOf(grain, effect, delay, multitask, wand, wandColor, wandWidth, cancelMode, canceled));
}

short BltEffect(HDC hdcDest, int xDest, int yDest, HDC hdcSrc, int xSrc, int ySrc, int width,
                int height, short grain, short effect, short delay, DWORD rop, HPALETTE palette,
                short multitask, BOOL wand, COLORREF wandColor, short wandWidth, const char*,
                short cancelMode, BOOL* canceled) {
    return Blt(
        hdcDest, xDest, yDest, hdcSrc, xSrc, ySrc, width, height, rop, palette,
        PaceOf(grain, effect, delay, multitask, wand, wandColor, wandWidth, cancelMode, canceled));
}

short DoThreadTransition(HDC hdc, const RECT* rect, short style, short, COLORREF backColor,
                         COLORREF foreColor, short grain, short effect, short delay,
                         short multitask, BOOL wand, COLORREF wandColor, short wandWidth,
                         const char*, short cancelMode, BOOL* canceled, short reserved1, short,
                         short, short, short useUpdateRect, const RECT* updateRect, short* error,
                         BOOL, BOOL* cancel, HWND, void* thread, BOOL* cued, BOOL* multiEffect,
                         BOOL* effectIncrement) {
    if (Cancelled(cancel)) return QUIX_OK;
    return Transition(hdc, rect, style, backColor, foreColor, reserved1, useUpdateRect, updateRect,
                      error,
                      WorkerPace(PaceOf(grain, effect, delay, multitask, wand, wandColor, wandWidth,
                                        cancelMode, canceled),
                                 cancel, thread, cued, multiEffect, effectIncrement));
}

short DoThreadCaptureTransition(HDC hdc, const RECT* rect, short, HBITMAP composed, short grain,
                                short effect, short delay, short multitask, BOOL wand,
                                COLORREF wandColor, short wandWidth, const char*, short cancelMode,
                                BOOL* canceled, short* error, short, short, short, short,
                                short useUpdateRect, const RECT* updateRect, BOOL, BOOL* cancel,
                                HWND, void* thread, BOOL* cued, BOOL* multiEffect,
                                BOOL* effectIncrement) {
    if (Cancelled(cancel)) return QUIX_OK;
    return CaptureTransition(hdc, rect, composed, error, useUpdateRect, updateRect,
                             WorkerPace(PaceOf(grain, effect, delay, multitask, wand, wandColor,
                                               wandWidth, cancelMode, canceled),
                                        cancel, thread, cued, multiEffect, effectIncrement));
}

short BltThreadEffect(HDC hdcDest, int xDest, int yDest, HDC hdcSrc, int xSrc, int ySrc, int width,
                      int height, short grain, short effect, short delay, DWORD rop,
                      HPALETTE palette, short multitask, BOOL wand, COLORREF wandColor,
                      short wandWidth, const char*, short cancelMode, BOOL* canceled, BOOL* cancel,
                      HWND, void* thread, BOOL* cued, BOOL* multiEffect, BOOL* effectIncrement) {
    if (Cancelled(cancel)) return QUIX_OK;
    return Blt(hdcDest, xDest, yDest, hdcSrc, xSrc, ySrc, width, height, rop, palette,
               WorkerPace(PaceOf(grain, effect, delay, multitask, wand, wandColor, wandWidth,
                                 cancelMode, canceled),
                          cancel, thread, cued, multiEffect, effectIncrement));
}
