// What the bodies of the drawing library share (internal to it).
#pragma once

#include <QImage>
#include <QRect>

#include "platform/gdi/gdi.h"
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

// The gradient image (the catalogue of quixcore.h); a null image for a style outside it.
QImage GradientImage(int width, int height, short style, short steps, COLORREF color1,
                     COLORREF color2);

// The rectangle as a QRect (corners in any order).
QRect RectOf(const RECT& r);

}  // namespace quixcore::internal
