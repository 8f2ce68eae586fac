// What the bodies of the drawing library share (internal to it).
#pragma once

#include <QImage>
#include <QRect>
#include <functional>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "quixcore/quixcore.h"

namespace quixcore::internal {

bool IsDc(HDC hdc);
bool IsBitmap(HBITMAP bitmap);
// The code, also written through `error` when there is one.
short Fail(short code, short* error = nullptr);

// What the context shows over the area (logical coordinates), as a colour image of the area's
// size (black where the context has nothing); a null image on failure.
QImage ReadArea(HDC hdc, const QRect& area);
// Copies the image onto the context with its corner at `at` (through the context's clipping).
bool WriteArea(HDC hdc, QPoint at, const QImage& image);

inline QRgb Rgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The gradient (the catalogue of quixcore.h) of a width x height box, handed over row by row, top
// row first; false for a style outside the catalogue or an empty box.
bool GradientRows(int width, int height, short style, short steps, COLORREF color1, COLORREF color2,
                  const std::function<void(int y, const QRgb* row)>& take);

// The rectangle as a QRect (corners in any order).
QRect RectOf(const RECT& r);

// The device rectangle of a logical one.
QRect DeviceRect(HDC hdc, const QRect& logical);
// A colour as the target takes it (the nearer of black and white on a monochrome target).
inline QRgb ForTarget(const platform::gdi::PixelAccess& a, QRgb c) {
    if (!a.mono) return c;
    return qRed(c) + qGreen(c) + qBlue(c) > 382 ? 0xFFFFFFFFu : 0xFF000000u;
}
// Calls row(y, x0, x1, line) for each run of the device area that the access may write, with the
// image's scan line of that row (indexed by device x + offset x).
template <class Row>
void ForWritable(platform::gdi::PixelAccess& a, const QRect& area, Row row) {
    for (const QRect& r : a.writable.intersected(area)) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            auto* line =
                reinterpret_cast<QRgb*>(a.image->scanLine(y + a.offset.y())) + a.offset.x();
            row(y, r.left(), r.right() + 1, line);
        }
    }
}
// The pixel of a device point the access may read, or nothing.
inline bool ReadPixel(const platform::gdi::PixelAccess& a, QPoint p, QRgb* out) {
    if (!a.readable.contains(p)) return false;
    *out = a.image->pixel(p + a.offset);
    return true;
}

}  // namespace quixcore::internal
