// Regions: sets of pixels made from rectangles, ellipses, rounded rectangles and polygons.
#include <utility>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/raster.h"

using namespace platform::gdi::internal;

namespace {

HRGN NewRegion(QRegion area) {
    auto r = std::make_shared<RegionObject>();
    r->region = std::move(area);
    return As<HRGN>(Add(r));
}

std::shared_ptr<RegionObject> RegionObj(HRGN h) {
    return Find<RegionObject>(Id(h), Kind::Region);
}

}  // namespace

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
    return NewRegion(QRegion(RectOf(x1, y1, x2, y2)));
}

HRGN CreateRectRgnIndirect(const RECT* lprect) {
    if (!lprect) return nullptr;
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2) {
    QRect r = RectOf(x1, y1, x2, y2);
    return NewRegion(RoundBox(x1, y1, x2, y2, r.width(), r.height()));
}

HRGN CreateEllipticRgnIndirect(const RECT* lprect) {
    if (!lprect) return nullptr;
    return CreateEllipticRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
    return NewRegion(RoundBox(x1, y1, x2, y2, w < 0 ? -w : w, h < 0 ? -h : h));
}

HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode) {
    if (!pptl || cPoint < 0 || (iMode != ALTERNATE && iMode != WINDING)) return nullptr;
    std::vector<QPoint> points;
    for (int i = 0; i < cPoint; ++i) points.emplace_back(pptl[i].x, pptl[i].y);
    return NewRegion(PolygonCoverage(points, iMode));
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    auto dst = RegionObj(hrgnDst);
    auto a = RegionObj(hrgnSrc1);
    if (!dst || !a || iMode < RGN_AND || iMode > RGN_COPY) return ERROR;
    if (iMode == RGN_COPY) {
        dst->region = a->region;
        return RegionType(dst->region);
    }
    auto b = RegionObj(hrgnSrc2);
    if (!b) return ERROR;
    QRegion result;
    switch (iMode) {
        case RGN_AND:
            result = a->region.intersected(b->region);
            break;
        case RGN_OR:
            result = a->region.united(b->region);
            break;
        case RGN_XOR:
            result = a->region.xored(b->region);
            break;
        default:
            result = a->region.subtracted(b->region);
            break;
    }
    dst->region = result;
    return RegionType(result);
}

BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
    auto r = RegionObj(hrgn);
    if (!r) return FALSE;
    r->region = QRegion(RectOf(left, top, right, bottom));
    return TRUE;
}

int OffsetRgn(HRGN hrgn, int x, int y) {
    auto r = RegionObj(hrgn);
    if (!r) return ERROR;
    r->region.translate(x, y);
    return RegionType(r->region);
}

BOOL PtInRegion(HRGN hrgn, int x, int y) {
    auto r = RegionObj(hrgn);
    return r && r->region.contains(QPoint(x, y)) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN hrgn, const RECT* lprect) {
    auto r = RegionObj(hrgn);
    if (!r || !lprect) return FALSE;
    return r->region.intersects(RectOf(lprect->left, lprect->top, lprect->right, lprect->bottom))
               ? TRUE
               : FALSE;
}

BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2) {
    auto a = RegionObj(hrgn1);
    auto b = RegionObj(hrgn2);
    // Equal when they cover the same pixels, however their rectangles are cut.
    return a && b && a->region.xored(b->region).isEmpty() ? TRUE : FALSE;
}

int GetRgnBox(HRGN hrgn, LPRECT lprc) {
    auto r = RegionObj(hrgn);
    if (!r || !lprc) return ERROR;
    QRect box = r->region.boundingRect();
    if (r->region.isEmpty()) {
        *lprc = RECT{0, 0, 0, 0};
    } else {
        *lprc = RECT{box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
    }
    return RegionType(r->region);
}
