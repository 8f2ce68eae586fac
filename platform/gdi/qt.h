// The graphics objects in Qt's terms, for the layers that show them (windows, pictures).
#pragma once

#include <QImage>
#include <QRegion>
#include <optional>

#include "platform/gdi/gdi.h"

namespace platform::gdi {

// A new colour bitmap holding the image (converted to 32 bits).
HBITMAP BitmapFromImage(const QImage& image);
// A copy of the bitmap's pixels (Format_RGB32); a null image for an unknown handle.
QImage ImageOf(HBITMAP bitmap);
// The region's area; nothing for an unknown handle.
std::optional<QRegion> RegionOf(HRGN region);
// A new region with this area.
HRGN RegionFromQRegion(const QRegion& region);
// The icon's colour image with the mask as alpha (transparent where the mask is white).
QImage IconImage(HICON icon);
// True when the bitmap is monochrome.
bool IsMonochrome(HBITMAP bitmap);
// A copy of what the form's surface holds now (a null image when it has none); the form's
// listener hears of the next drawing again.
QImage WindowSurfaceImage(HWND form);

}  // namespace platform::gdi
