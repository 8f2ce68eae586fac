// Lines and filled shapes: pens outline, brushes fill, each pixel of a primitive drawn once.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/raster.h"

using namespace platform::gdi::internal;

namespace {

struct Drawing {
    std::shared_ptr<DCObject> dc;
    Canvas canvas;
};

std::optional<Drawing> Begin(HDC hdc) {
    auto dc = DcOf(hdc);
    if (!dc) return std::nullopt;
    auto canvas = OpenCanvas(*dc);
    if (!canvas) return std::nullopt;
    return Drawing{dc, std::move(*canvas)};
}

void Done(const Canvas& canvas) {
    if (canvas.bitmap->surface) NotifyDrawn(*canvas.bitmap);
}

// Paints the pen: a one-pixel pen along the pixels in their order (with its dashes), any other
// over the outline.
void PaintPen(Canvas& canvas, const DCObject& dc, const PenUse& pen,
              const std::vector<QPoint>* ordered, const QRegion& outline) {
    if (pen.null) return;
    if (ordered) {
        DWORD gap = ResolveColor(dc, dc.state.bkColor);
        if (canvas.mono) gap = MonoWord(gap);
        PaintPenPixels(canvas, *ordered, pen.style, pen.color, gap, dc.state.bkMode == OPAQUE,
                       dc.state.rop2);
    } else {
        Paint p;
        p.color = pen.color;
        PaintRegion(canvas, outline, p, dc.state.rop2);
    }
}

QRegion PixelsRegion(const std::vector<QPoint>& pixels) {
    RowBuilder rows;
    for (const QPoint& p : pixels) rows.Add(p.y(), p.x(), p.x() + 1);
    return rows.Finish();
}

// The box in device coordinates, corners in order.
struct Box {
    int l, t, r, b;
};

Box DeviceBox(const DCObject& dc, int left, int top, int right, int bottom) {
    QPoint a = ToDevice(dc, left, top), c = ToDevice(dc, right, bottom);
    Box box{std::min(a.x(), c.x()), std::min(a.y(), c.y()), std::max(a.x(), c.x()),
            std::max(a.y(), c.y())};
    return box;
}

Box Grow(Box b, int by) {
    return Box{b.l - by, b.t - by, b.r + by, b.b + by};
}

// The shape of a box kind, inscribed in a box; `grow` is how much wider and higher the box is than
// the shape's own box (corner sizes grow with it).
using ShapeOf = std::function<QRegion(const Box& box, int grow)>;

// Angles around a centre, counterclockwise on the screen (y up).
double AngleOf(double dx, double dy) {
    return std::atan2(-dy, dx);
}
double Sweep(double from, double to) {
    double s = std::fmod(to - from, 2 * std::numbers::pi);
    if (s < 0) s += 2 * std::numbers::pi;
    return s;
}

// Orders the pixels of an outline for a dashed pen: by angle around the centre, counterclockwise
// from `start`.
std::vector<QPoint> OrderAround(const QRegion& ring, double cx, double cy, double start) {
    struct Item {
        double key;
        QPoint p;
    };
    std::vector<Item> items;
    for (const QRect& r : ring) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                double a = AngleOf(x - cx, y - cy);
                items.push_back({Sweep(start, a), QPoint(x, y)});
            }
        }
    }
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        if (a.key != b.key) return a.key < b.key;
        return a.p.y() != b.p.y() ? a.p.y() < b.p.y() : a.p.x() < b.p.x();
    });
    std::vector<QPoint> out;
    out.reserve(items.size());
    for (const Item& i : items) out.push_back(i.p);
    return out;
}

// A rectangle's outline from its top-left corner, clockwise.
std::vector<QPoint> RectangleTrace(const Box& b) {
    std::vector<QPoint> out;
    if (b.r - b.l <= 1 || b.b - b.t <= 1) {
        for (int y = b.t; y < b.b; ++y) {
            for (int x = b.l; x < b.r; ++x) out.emplace_back(x, y);
        }
        return out;
    }
    for (int x = b.l; x < b.r - 1; ++x) out.emplace_back(x, b.t);
    for (int y = b.t; y < b.b - 1; ++y) out.emplace_back(b.r - 1, y);
    for (int x = b.r - 1; x > b.l; --x) out.emplace_back(x, b.b - 1);
    for (int y = b.b - 1; y > b.t; --y) out.emplace_back(b.l, y);
    return out;
}

enum class Part { Closed, Arc, Pie, Chord };

struct ArcSpec {
    Part part = Part::Closed;
    double start = 0, end = 0;  // angles of the radials
    bool full = true;
    QPoint startPoint, endPoint, centre;
};

// Pixel-index space: the box's pixels are l .. r - 1, its centre (l + r - 1) / 2.
ArcSpec MakeArc(Part part, const Box& b, QPoint s, QPoint e) {
    ArcSpec a;
    a.part = part;
    double cx = (b.l + b.r - 1) / 2.0, cy = (b.t + b.b - 1) / 2.0;
    double ra = (b.r - b.l - 1) / 2.0, rb = (b.b - b.t - 1) / 2.0;
    auto onEllipse = [&](QPoint p) {
        double dx = p.x() - cx, dy = p.y() - cy;
        if (dx == 0 && dy == 0) dx = 1;
        double k = (ra > 0 && rb > 0)
                       ? 1.0 / std::sqrt((dx / ra) * (dx / ra) + (dy / rb) * (dy / rb))
                       : 0.0;
        return QPoint(static_cast<int>(std::lround(cx + dx * k)),
                      static_cast<int>(std::lround(cy + dy * k)));
    };
    a.start = AngleOf(s.x() - cx, s.y() - cy);
    a.end = AngleOf(e.x() - cx, e.y() - cy);
    a.full = a.start == a.end;
    a.startPoint = onEllipse(s);
    a.endPoint = onEllipse(e);
    a.centre = QPoint((b.l + b.r) / 2, (b.t + b.b) / 2);
    return a;
}

bool InSweep(const ArcSpec& a, double cx, double cy, int x, int y) {
    if (a.full) return true;
    double angle = AngleOf(x - cx, y - cy);
    return Sweep(a.start, angle) <= Sweep(a.start, a.end);
}

// The one routine of the box shapes (rectangle, ellipse, rounded rectangle, arc, pie, chord).
BOOL DrawBox(HDC hdc, int left, int top, int right, int bottom, const ShapeOf& shapeOf,
             bool isRectangle, Part part = Part::Closed, QPoint s = {}, QPoint e = {}) {
    auto d = Begin(hdc);
    if (!d) return FALSE;
    DCObject& dc = *d->dc;
    Canvas& canvas = d->canvas;
    Box box = DeviceBox(dc, left, top, right, bottom);
    if (box.r <= box.l || box.b <= box.t) return TRUE;
    PenUse pen = PenOf(dc, canvas);
    ArcSpec arc;
    if (part != Part::Closed) {
        arc = MakeArc(part, box, ToDevice(dc, s.x(), s.y()), ToDevice(dc, e.x(), e.y()));
    }
    const double cx = (box.l + box.r - 1) / 2.0, cy = (box.t + box.b - 1) / 2.0;

    QRegion ring, fill;
    std::vector<QPoint> dashed;  // a one-pixel styled outline in drawing order
    bool wantFill = part != Part::Arc;
    if (pen.null) {
        if (wantFill) fill = shapeOf(Box{box.l, box.t, box.r - 1, box.b - 1}, 0);
    } else {
        int w = pen.width;
        QRegion shape = shapeOf(box, 0);
        if (w == 1) {
            ring = Boundary(shape);
        } else if (pen.insideFrame) {
            ring = shape.subtracted(shapeOf(Grow(box, -w), -2 * w));
        } else {
            // Centred on the outline's pixels: [edge - w / 2, edge - w / 2 + w) on every side,
            // so an even width lies half a pixel up and to the left.
            int g = w / 2, in = w - g, e = (w % 2 == 0) ? 1 : 0;
            Box outer{box.l - g, box.t - g, box.r + g - e, box.b + g - e};
            Box inner{box.l + in, box.t + in, box.r - in - e, box.b - in - e};
            ring = shapeOf(outer, 2 * g - e).subtracted(shapeOf(inner, -(2 * in + e)));
        }
        if (wantFill) fill = shape.subtracted(ring);
    }
    // Arcs, pies and chords keep the part of the outline within the sweep.
    std::vector<QPoint> lines;  // one-pixel radials or chord
    QRegion wideLines;
    if (part != Part::Closed && !arc.full) {
        ring = Filter(ring, [&](int x, int y) { return InSweep(arc, cx, cy, x, y); });
        if (part == Part::Pie) {
            fill = Filter(fill, [&](int x, int y) { return InSweep(arc, cx, cy, x, y); });
        } else if (part == Part::Chord) {
            double mid = arc.start + Sweep(arc.start, arc.end) / 2;
            QPointF m(cx + std::cos(mid) * (box.r - box.l - 1) / 2.0,
                      cy - std::sin(mid) * (box.b - box.t - 1) / 2.0);
            QPointF p0 = arc.startPoint, p1 = arc.endPoint;
            auto side = [&](QPointF q) {
                return (p1.x() - p0.x()) * (q.y() - p0.y()) - (p1.y() - p0.y()) * (q.x() - p0.x());
            };
            double want = side(m);
            fill = Filter(fill, [&](int x, int y) {
                double v = side(QPointF(x, y));
                return v == 0 || (v > 0) == (want > 0);
            });
        }
        if (!pen.null && part != Part::Arc) {
            std::vector<QPoint> path =
                part == Part::Pie ? std::vector<QPoint>{arc.startPoint, arc.centre, arc.endPoint}
                                  : std::vector<QPoint>{arc.startPoint, arc.endPoint};
            if (pen.width == 1) {
                for (std::size_t i = 0; i + 1 < path.size(); ++i) {
                    LinePixels(path[i], path[i + 1], true, lines);
                }
            } else {
                wideLines = WidePath(path, false, pen.width);
            }
        }
    }
    if (!pen.null && pen.width == 1 && pen.style != PS_SOLID) {
        dashed = isRectangle ? RectangleTrace(box)
                             : OrderAround(ring, cx, cy, part == Part::Closed ? 0.0 : arc.start);
    }
    QRegion lineRegion = PixelsRegion(lines).united(wideLines);
    QRegion outline = ring.united(lineRegion);
    fill = fill.subtracted(outline);
    {
        PixelLock lock(canvas.bitmap.get());
        if (auto paint = BrushPaint(dc, canvas, nullptr); paint && wantFill) {
            PaintRegion(canvas, fill, *paint, dc.state.rop2);
        }
        // The radials or the chord follow the arc in the same dashes.
        if (!dashed.empty()) {
            for (const QPoint& p : lines) {
                if (!ring.contains(p)) dashed.push_back(p);
            }
        }
        PaintPen(canvas, dc, pen, dashed.empty() ? nullptr : &dashed, outline);
    }
    Done(canvas);
    return TRUE;
}

QRegion RectShape(const Box& b, int) {
    return RoundBox(b.l, b.t, b.r, b.b, 0, 0);
}
QRegion EllipseShape(const Box& b, int) {
    return RoundBox(b.l, b.t, b.r, b.b, b.r - b.l, b.b - b.t);
}

// Paints a one-pixel or wide pen along a path (open: the last point left out).
BOOL DrawPath(HDC hdc, const std::vector<QPoint>& logical, bool closed, bool fillToo) {
    auto d = Begin(hdc);
    if (!d) return FALSE;
    DCObject& dc = *d->dc;
    Canvas& canvas = d->canvas;
    std::vector<QPoint> points;
    points.reserve(logical.size());
    for (const QPoint& p : logical) points.push_back(ToDevice(dc, p.x(), p.y()));
    PenUse pen = PenOf(dc, canvas);
    std::vector<QPoint> pixels;
    QRegion outline;
    if (!pen.null && !points.empty()) {
        if (pen.width == 1) {
            for (std::size_t i = 0; i + 1 < points.size(); ++i) {
                LinePixels(points[i], points[i + 1], false, pixels);
            }
            if (closed && points.size() > 1) {
                LinePixels(points.back(), points.front(), false, pixels);
            }
            if (closed && points.size() == 1) pixels.push_back(points[0]);
            outline = PixelsRegion(pixels);
        } else {
            outline = WidePath(points, closed, pen.width);
        }
    }
    {
        PixelLock lock(canvas.bitmap.get());
        if (fillToo) {
            if (auto paint = BrushPaint(dc, canvas, nullptr)) {
                QRegion fill = PolygonCoverage(points, dc.state.polyFillMode).subtracted(outline);
                PaintRegion(canvas, fill, *paint, dc.state.rop2);
            }
        }
        PaintPen(canvas, dc, pen, pen.width == 1 ? &pixels : nullptr, outline);
    }
    Done(canvas);
    return TRUE;
}

std::vector<QPoint> PointsOf(const POINT* apt, int cpt) {
    std::vector<QPoint> out;
    for (int i = 0; i < cpt; ++i) out.emplace_back(apt[i].x, apt[i].y);
    return out;
}

// The paint of a brush handle, or of a system colour given as COLOR_ index + 1.
std::optional<Paint> HandlePaint(const DCObject& dc, const Canvas& canvas, HBRUSH hbr) {
    auto value = Id(hbr);
    if (value >= 1 && value <= 31) return SolidPaint(dc, canvas, GetSysColor(int(value) - 1));
    auto brush = Find<BrushObject>(value, Kind::Brush);
    if (!brush) return std::nullopt;
    auto paint = BrushPaint(dc, canvas, brush.get());
    if (!paint) return Paint{};  // the null brush: a paint that is never used
    return paint;
}

bool IsNullBrush(HBRUSH hbr) {
    auto brush = Find<BrushObject>(Id(hbr), Kind::Brush);
    return brush && brush->style == BS_NULL;
}

QRegion DeviceRegion(const DCObject& dc, const QRegion& logical) {
    return logical.translated(dc.state.viewportOrg - dc.state.windowOrg);
}

BOOL PaintArea(HDC hdc, const std::function<QRegion(const DCObject&)>& area, HBRUSH hbr,
               bool useRop2, bool gapsAlwaysOpaque) {
    auto d = Begin(hdc);
    if (!d) return FALSE;
    auto paint = hbr ? HandlePaint(*d->dc, d->canvas, hbr) : BrushPaint(*d->dc, d->canvas, nullptr);
    if (hbr && !paint) return FALSE;
    if (!paint || (hbr && IsNullBrush(hbr))) return TRUE;
    if (gapsAlwaysOpaque) paint->gapOpaque = true;
    {
        PixelLock lock(d->canvas.bitmap.get());
        PaintRegion(d->canvas, area(*d->dc), *paint, useRop2 ? d->dc->state.rop2 : R2_COPYPEN);
    }
    Done(d->canvas);
    return TRUE;
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    auto dc = DcOf(hdc);
    if (!dc) return FALSE;
    if (lppt) *lppt = POINT{dc->state.position.x(), dc->state.position.y()};
    dc->state.position = QPoint(x, y);
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
    auto dc = DcOf(hdc);
    if (!dc || !lppt) return FALSE;
    *lppt = POINT{dc->state.position.x(), dc->state.position.y()};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    auto dc = DcOf(hdc);
    if (!dc) return FALSE;
    QPoint from = dc->state.position;
    BOOL ok = DrawPath(hdc, {from, QPoint(x, y)}, false, false);
    if (ok) dc->state.position = QPoint(x, y);
    return ok;
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt) {
    if (!apt || cpt < 2) return FALSE;
    return DrawPath(hdc, PointsOf(apt, cpt), false, false);
}

BOOL Polygon(HDC hdc, const POINT* apt, int cpt) {
    if (!apt || cpt < 2) return FALSE;
    return DrawPath(hdc, PointsOf(apt, cpt), true, true);
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    return DrawBox(hdc, left, top, right, bottom, RectShape, true);
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    return DrawBox(hdc, left, top, right, bottom, EllipseShape, false);
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
    width = std::abs(width);
    height = std::abs(height);
    return DrawBox(
        hdc, left, top, right, bottom,
        [width, height](const Box& b, int grow) {
            return RoundBox(b.l, b.t, b.r, b.b, std::max(0, width + grow),
                            std::max(0, height + grow));
        },
        false);
}

BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd) {
    return DrawBox(hdc, left, top, right, bottom, EllipseShape, false, Part::Arc,
                   QPoint(xStart, yStart), QPoint(xEnd, yEnd));
}

BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd) {
    return DrawBox(hdc, left, top, right, bottom, EllipseShape, false, Part::Pie,
                   QPoint(xStart, yStart), QPoint(xEnd, yEnd));
}

BOOL Chord(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
           int yEnd) {
    return DrawBox(hdc, left, top, right, bottom, EllipseShape, false, Part::Chord,
                   QPoint(xStart, yStart), QPoint(xEnd, yEnd));
}

namespace {

// The device pixels of a logical rectangle, and of its one-pixel frame.
QRegion RectArea(const DCObject& dc, const RECT& r, bool frameOnly) {
    Box b = DeviceBox(dc, r.left, r.top, r.right, r.bottom);
    QRegion all(b.l, b.t, b.r - b.l, b.b - b.t);
    if (!frameOnly) return all;
    return all.subtracted(QRegion(b.l + 1, b.t + 1, b.r - b.l - 2, b.b - b.t - 2));
}

}  // namespace

int FillRect(HDC hdc, const RECT* lprc, HBRUSH hbr) {
    if (!lprc) return 0;
    RECT r = *lprc;
    return PaintArea(
        hdc, [r](const DCObject& dc) { return RectArea(dc, r, false); }, hbr, false, true);
}

int FrameRect(HDC hdc, const RECT* lprc, HBRUSH hbr) {
    if (!lprc) return 0;
    RECT r = *lprc;
    return PaintArea(
        hdc, [r](const DCObject& dc) { return RectArea(dc, r, true); }, hbr, false, true);
}

BOOL InvertRect(HDC hdc, const RECT* lprc) {
    if (!lprc) return FALSE;
    return PatBlt(hdc, lprc->left, lprc->top, lprc->right - lprc->left, lprc->bottom - lprc->top,
                  DSTINVERT);
}

BOOL FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
    auto r = Find<RegionObject>(Id(hrgn), Kind::Region);
    if (!r || !hbr) return FALSE;
    QRegion region = r->region;
    return PaintArea(
        hdc, [region](const DCObject& dc) { return DeviceRegion(dc, region); }, hbr, true, false);
}

BOOL PaintRgn(HDC hdc, HRGN hrgn) {
    auto r = Find<RegionObject>(Id(hrgn), Kind::Region);
    if (!r) return FALSE;
    QRegion region = r->region;
    return PaintArea(
        hdc, [region](const DCObject& dc) { return DeviceRegion(dc, region); }, nullptr, true,
        false);
}

BOOL FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h) {
    auto r = Find<RegionObject>(Id(hrgn), Kind::Region);
    if (!r || !hbr || w < 1 || h < 1) return FALSE;
    QRegion region = r->region;
    QRegion inner = region;
    for (int k = 1; k <= w; ++k) {
        inner = inner.intersected(region.translated(k, 0)).intersected(region.translated(-k, 0));
    }
    for (int k = 1; k <= h; ++k) {
        inner = inner.intersected(region.translated(0, k)).intersected(region.translated(0, -k));
    }
    QRegion frame = region.subtracted(inner);
    return PaintArea(
        hdc, [frame](const DCObject& dc) { return DeviceRegion(dc, frame); }, hbr, true, false);
}

BOOL InvertRgn(HDC hdc, HRGN hrgn) {
    auto r = Find<RegionObject>(Id(hrgn), Kind::Region);
    if (!r) return FALSE;
    auto d = Begin(hdc);
    if (!d) return FALSE;
    {
        PixelLock lock(d->canvas.bitmap.get());
        PaintRegion(d->canvas, DeviceRegion(*d->dc, r->region), Paint{}, R2_NOT);
    }
    Done(d->canvas);
    return TRUE;
}
