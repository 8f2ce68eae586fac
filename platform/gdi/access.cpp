// Direct access to a context's pixels for the code that composes them itself.
#include "platform/gdi/objects.h"
#include "platform/gdi/qt.h"
#include "platform/gdi/raster.h"

using namespace platform::gdi::internal;

namespace platform::gdi {

namespace {

PixelAccess AccessOf(Canvas& c) {
    PixelAccess a;
    a.image = &c.bitmap->image;
    a.offset = c.origin;
    a.writable = c.readOnlyWindow ? QRegion() : (c.areaIsRect ? QRegion(c.areaBox) : c.area);
    a.readable = c.readable;
    a.mono = c.mono;
    return a;
}

std::optional<Canvas> CanvasOf(HDC hdc, std::shared_ptr<DCObject>& dc) {
    dc = DcOf(hdc);
    if (!dc) return std::nullopt;
    return OpenCanvas(*dc);
}

void Done(const Canvas& c) {
    if (c.bitmap->surface) NotifyDrawn(*c.bitmap);
}

}  // namespace

bool WithPixels(HDC hdc, const std::function<void(PixelAccess&)>& work) {
    std::shared_ptr<DCObject> dc;
    auto canvas = CanvasOf(hdc, dc);
    if (!canvas) return false;
    {
        PixelLock lock(canvas->bitmap.get());
        PixelAccess a = AccessOf(*canvas);
        work(a);
    }
    Done(*canvas);
    return true;
}

bool WithPixels(HDC first, HDC second,
                const std::function<void(PixelAccess& first, PixelAccess& second)>& work) {
    std::shared_ptr<DCObject> dc1, dc2;
    auto c1 = CanvasOf(first, dc1);
    auto c2 = dc1 && DcOf(second) == dc1 ? c1 : CanvasOf(second, dc2);
    if (!c1 || !c2) return false;
    {
        PixelLock lock(c1->bitmap.get(), c2->bitmap.get());
        PixelAccess a = AccessOf(*c1), b = AccessOf(*c2);
        work(a, b);
    }
    Done(*c1);
    if (c2->bitmap != c1->bitmap) Done(*c2);
    return true;
}

}  // namespace platform::gdi
