// The rasteriser (internal to this layer): the pixels a primitive covers, and painting them into a
// context's target with the pen, brush and raster-operation rules of gdi.h.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/gdi/objects.h"

namespace platform::gdi::internal {

// ---- coverage ----

// NULLREGION, SIMPLEREGION or COMPLEXREGION.
inline int RegionType(const QRegion& r) {
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
// The rectangle between two corners given in any order (right and bottom excluded).
inline QRect RectOf(int l, int t, int r, int b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return QRect(l, t, r - l, b - t);
}

// Builds a region from horizontal runs added row by row (rows in any order, runs may overlap).
class RowBuilder {
public:
    void Add(int y, int x0, int x1);  // pixels x0 .. x1 - 1 of row y
    QRegion Finish();

private:
    struct Run {
        int y, x0, x1;
    };
    std::vector<Run> runs_;
};

// The pixels whose centres lie inside the box (left, top)-(right, bottom) with corners rounded by
// ellipses of width cornerW and height cornerH (0: square corners; the box's own size: an
// ellipse).
QRegion RoundBox(int left, int top, int right, int bottom, int cornerW, int cornerH);
// The pixels of a region that touch a pixel outside it (side by side or above and below).
QRegion Boundary(const QRegion& region);
// The pixels whose centres lie inside the polygon by the fill mode.
QRegion PolygonCoverage(const std::vector<QPoint>& points, int fillMode);
// The pixels a wide pen of `width` covers along the path (closed: back to the first point).
QRegion WidePath(const std::vector<QPoint>& points, bool closed, int width);
// The pixels of a Bresenham line from a to b, in order; the last point only when includeLast.
void LinePixels(QPoint a, QPoint b, bool includeLast, std::vector<QPoint>& out);
// The pixels of a region (in the order of its rows), kept when keep(x, y) is true.
template <class Keep>
QRegion Filter(const QRegion& region, Keep keep) {
    RowBuilder rows;
    for (const QRect& r : region) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            int start = -1;
            for (int x = r.left(); x <= r.right() + 1; ++x) {
                bool in = x <= r.right() && keep(x, y);
                if (in && start < 0) start = x;
                if (!in && start >= 0) {
                    rows.Add(y, start, x);
                    start = -1;
                }
            }
        }
    }
    return rows.Finish();
}

// ---- targets ----

// What a context draws into, in device coordinates.
struct Canvas {
    std::shared_ptr<BitmapObject> bitmap;
    QPoint origin;  // device (0, 0) in the image
    QRegion area;   // the device pixels that may be drawn (image, window and clip)
    QRect areaBox;  // the bounding rectangle of area
    bool areaIsRect = true;
    QRect readable;  // the device pixels that may be read (image and window)
    bool mono = false;
    bool readOnlyWindow = false;  // a hidden window: reads work, drawing covers nothing
};
// The context's target now; nothing when it has none (an ended form, an unknown context).
std::optional<Canvas> OpenCanvas(DCObject& dc);
// The device pixels of the target's image (reading ignores the clip region).
QRect ReadableArea(const Canvas& canvas);

// ---- painting ----

// How a brush or pen paints a pixel.
struct Paint {
    enum Type { Solid, Hatch, Pattern } type = Solid;
    DWORD color = 0;  // the solid or hatch colour, 0x00RRGGBB
    DWORD gap = 0;    // hatch gaps in OPAQUE mode
    bool gapOpaque = false;
    int hatch = 0;
    const QImage* pattern = nullptr;
    bool patternMono = false;
    DWORD patternOne = 0, patternZero = 0;  // a monochrome pattern's colours
    QPoint origin;                          // the brush origin (device coordinates)
};
// The paint of the context's brush (nothing for the null brush), or of a given brush.
std::optional<Paint> BrushPaint(const DCObject& dc, const Canvas& canvas, const BrushObject* brush);
// A solid paint in the context's colour rules.
Paint SolidPaint(const DCObject& dc, const Canvas& canvas, COLORREF color);
// The word a paint puts at a device pixel, or nothing for a transparent hatch gap.
bool PaintWord(const Paint& paint, int x, int y, DWORD* word);

// The binary raster operation on colour words.
inline DWORD Rop2(int code, DWORD p, DWORD d) {
    unsigned bits = static_cast<unsigned>(code - 1) & 15u;
    DWORD r = 0;
    if (bits & 8u) r |= p & d;
    if (bits & 4u) r |= p & ~d;
    if (bits & 2u) r |= ~p & d;
    if (bits & 1u) r |= ~p & ~d;
    return r & 0xFFFFFFu;
}
// The ternary raster operation (the code's index byte) on colour words.
DWORD Rop3(BYTE code, DWORD p, DWORD s, DWORD d);

// Paints the region (device coordinates) with the paint through the binary operation.
void PaintRegion(Canvas& canvas, const QRegion& region, const Paint& paint, int rop2);
// Paints a one-pixel pen along the pixels, in order, with the pen style's dashes.
void PaintPenPixels(Canvas& canvas, const std::vector<QPoint>& pixels, int style, DWORD color,
                    DWORD gap, bool gapOpaque, int rop2);

// The pen of a context as the shapes use it.
struct PenUse {
    bool null = true;
    int style = PS_SOLID;  // PS_SOLID or a dash style for one-pixel pens
    int width = 1;
    bool insideFrame = false;
    DWORD color = 0;
};
PenUse PenOf(const DCObject& dc, const Canvas& canvas);

// Device coordinates of a logical point.
inline QPoint ToDevice(const DCObject& dc, int x, int y) {
    return QPoint(x - dc.state.windowOrg.x() + dc.state.viewportOrg.x(),
                  y - dc.state.windowOrg.y() + dc.state.viewportOrg.y());
}

// Locks the pixels of one or two bitmaps (the same bitmap once).
class PixelLock {
public:
    explicit PixelLock(BitmapObject* a, BitmapObject* b = nullptr);
    ~PixelLock();
    PixelLock(const PixelLock&) = delete;
    PixelLock& operator=(const PixelLock&) = delete;

private:
    BitmapObject* a_;
    BitmapObject* b_;
};

}  // namespace platform::gdi::internal
