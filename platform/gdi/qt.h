// The graphics objects in Qt's terms, for the layers that show them (windows, pictures).
#pragma once

#include <QImage>
#include <QRegion>
#include <functional>
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
// Direct access to the pixels a context draws into, for code that composes pixels itself: device
// point p of the context is image pixel p + offset; drawing may change the device pixels of
// `writable` (the bitmap or the window's area, and the clip region) and read those of `readable`;
// a monochrome target takes only black and white. The pixels stay locked while `work` runs (it
// must not call the graphics functions on the same contexts); a form hears of the change after.
struct PixelAccess {
    QImage* image = nullptr;
    QPoint offset;
    QRegion writable;
    QRect readable;
    bool mono = false;
};
// False when the context has no target.
bool WithPixels(HDC hdc, const std::function<void(PixelAccess&)>& work);
// Two contexts at once (one bitmap is locked once, then both accesses share its image).
bool WithPixels(HDC first, HDC second,
                const std::function<void(PixelAccess& first, PixelAccess& second)>& work);
// A copy of what the form's surface holds now (a null image when it has none); the form's
// listener hears of the next drawing again.
QImage WindowSurfaceImage(HWND form);

}  // namespace platform::gdi
