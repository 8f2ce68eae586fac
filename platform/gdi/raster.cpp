#include "platform/gdi/raster.h"

#include <algorithm>
#include <cmath>

namespace platform::gdi::internal {

// ---- coverage ----

void RowBuilder::Add(int y, int x0, int x1) {
    if (x1 > x0) runs_.push_back({y, x0, x1});
}

QRegion RowBuilder::Finish() {
    if (runs_.empty()) return QRegion();
    std::sort(runs_.begin(), runs_.end(),
              [](const Run& a, const Run& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
    // Merge the runs of each row, then rows with the same runs into one band.
    std::vector<std::pair<int, std::vector<std::pair<int, int>>>> rows;
    for (const Run& r : runs_) {
        if (rows.empty() || rows.back().first != r.y) rows.push_back({r.y, {}});
        auto& spans = rows.back().second;
        if (!spans.empty() && r.x0 <= spans.back().second) {
            spans.back().second = std::max(spans.back().second, r.x1);
        } else {
            spans.push_back({r.x0, r.x1});
        }
    }
    std::vector<QRect> rects;
    std::size_t bandStart = 0;  // index into rects of the current band
    int bandTop = 0, bandHeight = 0;
    const std::vector<std::pair<int, int>>* bandSpans = nullptr;
    for (const auto& [y, spans] : rows) {
        if (bandSpans && y == bandTop + bandHeight && spans == *bandSpans) {
            ++bandHeight;
            for (std::size_t i = bandStart; i < rects.size(); ++i) rects[i].setHeight(bandHeight);
            continue;
        }
        bandStart = rects.size();
        bandTop = y;
        bandHeight = 1;
        bandSpans = &spans;
        for (const auto& [x0, x1] : spans) rects.emplace_back(x0, y, x1 - x0, 1);
    }
    runs_.clear();
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

namespace {

using Wide = __int128;

// Pixel x (centre 2x + 1 in half units) inside the ellipse of half-unit centre cx and
// semi-axis a, on a row whose ellipse test leaves `room` = a^2 b^2 - dy^2 a^2 (in half units).
bool InsideEllipseRow(long long x, long long cx, long long a, long long b, Wide room) {
    Wide dx = 2 * x + 1 - cx;
    return dx * dx * static_cast<Wide>(b) * b < room;
}

}  // namespace

QRegion RoundBox(int left, int top, int right, int bottom, int cornerW, int cornerH) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (right <= left || bottom <= top) return QRegion();
    cornerW = std::clamp(cornerW, 0, right - left);
    cornerH = std::clamp(cornerH, 0, bottom - top);
    if (cornerW == 0 || cornerH == 0) return QRegion(left, top, right - left, bottom - top);
    // Half units: a pixel's centre is 2x + 1; the corner ellipses' semi-axes are cornerW and
    // cornerH, their centres 2 * left + cornerW and so on.
    const long long a = cornerW, b = cornerH;
    const long long cxl = 2LL * left + a, cxr = 2LL * right - a;
    const long long cyt = 2LL * top + b, cyb = 2LL * bottom - b;
    RowBuilder rows;
    for (int y = top; y < bottom; ++y) {
        long long y2 = 2LL * y + 1;
        long long dy = 0;
        if (y2 < cyt) {
            dy = y2 - cyt;
        } else if (y2 > cyb) {
            dy = y2 - cyb;
        }
        if (dy == 0) {
            rows.Add(y, left, right);
            continue;
        }
        Wide room = static_cast<Wide>(a) * a * b * b - static_cast<Wide>(dy) * dy * a * a;
        if (room <= 0) continue;
        // The real half-width, then exact steps to the first and last pixel inside.
        double half = std::sqrt(static_cast<double>(room)) / static_cast<double>(b);
        long long x0 = static_cast<long long>(std::floor((cxl - half - 1) / 2.0)) + 1;
        x0 = std::clamp<long long>(x0, left, right - 1);
        while (x0 > left && InsideEllipseRow(x0 - 1, cxl, a, b, room)) --x0;
        while (x0 < right && 2 * x0 + 1 < cxl && !InsideEllipseRow(x0, cxl, a, b, room)) ++x0;
        long long x1 = static_cast<long long>(std::ceil((cxr + half - 1) / 2.0)) - 1;
        x1 = std::clamp<long long>(x1, left, right - 1);
        while (x1 < right - 1 && InsideEllipseRow(x1 + 1, cxr, a, b, room)) ++x1;
        while (x1 >= left && 2 * x1 + 1 > cxr && !InsideEllipseRow(x1, cxr, a, b, room)) --x1;
        if (x1 >= x0) rows.Add(y, static_cast<int>(x0), static_cast<int>(x1) + 1);
    }
    return rows.Finish();
}

QRegion Boundary(const QRegion& region) {
    QRegion inner = region.intersected(region.translated(1, 0))
                        .intersected(region.translated(-1, 0))
                        .intersected(region.translated(0, 1))
                        .intersected(region.translated(0, -1));
    return region.subtracted(inner);
}

namespace {

long long CeilDiv(long long n, long long d) {  // d > 0
    return n >= 0 ? (n + d - 1) / d : -((-n) / d);
}

}  // namespace

QRegion PolygonCoverage(const std::vector<QPoint>& points, int fillMode) {
    if (points.size() < 3) return QRegion();
    int top = points[0].y(), bottom = points[0].y();
    for (const QPoint& p : points) {
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    struct Crossing {
        long long x;
        int dir;
    };
    std::vector<Crossing> crossings;
    RowBuilder rows;
    const std::size_t n = points.size();
    for (int y = top; y < bottom; ++y) {
        const long long y2 = 2LL * y + 1;
        crossings.clear();
        for (std::size_t i = 0; i < n; ++i) {
            QPoint a = points[i], b = points[(i + 1) % n];
            if (a.y() == b.y()) continue;
            int dir = b.y() > a.y() ? 1 : -1;
            if (dir < 0) std::swap(a, b);
            if (!(2LL * a.y() < y2 && y2 < 2LL * b.y())) continue;
            // Twice the crossing's x is num / den; the first pixel right of it (centre at or
            // past the crossing) is ceil((num - den) / (2 den)).
            long long den = b.y() - a.y();
            long long num = 2LL * a.x() * den + (y2 - 2LL * a.y()) * (b.x() - a.x());
            crossings.push_back({CeilDiv(num - den, 2 * den), dir});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& p, const Crossing& q) { return p.x < q.x; });
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].dir;
            bool inside = fillMode == WINDING ? winding != 0 : (i % 2) == 0;
            if (inside) {
                rows.Add(y, static_cast<int>(crossings[i].x), static_cast<int>(crossings[i + 1].x));
            }
        }
    }
    return rows.Finish();
}

namespace {

struct Interval {
    double lo = 0, hi = 0;
    bool some = false;
    void Take(double a, double b) {
        if (b <= a) return;
        if (!some) {
            lo = a;
            hi = b;
            some = true;
        } else {
            lo = std::min(lo, a);
            hi = std::max(hi, b);
        }
    }
};

void DiscRow(double cx, double cy, double r, double yc, Interval& out) {
    double dy = yc - cy;
    if (std::fabs(dy) >= r) return;
    double half = std::sqrt(r * r - dy * dy);
    out.Take(cx - half, cx + half);
}

// The part of the row within r of the segment's inner part (between its end discs).
void BodyRow(double ax, double ay, double bx, double by, double r, double yc, Interval& out) {
    double vx = bx - ax, vy = by - ay;
    double len = std::sqrt(vx * vx + vy * vy);
    if (len == 0) return;
    double ux = vx / len, uy = vy / len;
    // perp(x) = (x - ax) uy - (yc - ay) ux, |perp| < r; proj(x) = (x - ax) ux + (yc - ay) uy
    // in [0, len].
    double lo = -1e18, hi = 1e18;
    double k = (yc - ay) * ux;
    if (uy == 0) {
        if (std::fabs(k) >= r) return;
    } else {
        double p = ax + (k - r) / uy, q = ax + (k + r) / uy;
        lo = std::max(lo, std::min(p, q));
        hi = std::min(hi, std::max(p, q));
    }
    double m = (yc - ay) * uy;
    if (ux == 0) {
        if (m < 0 || m > len) return;
    } else {
        double p = ax + (0 - m) / ux, q = ax + (len - m) / ux;
        lo = std::max(lo, std::min(p, q));
        hi = std::min(hi, std::max(p, q));
    }
    out.Take(lo, hi);
}

}  // namespace

QRegion WidePath(const std::vector<QPoint>& points, bool closed, int width) {
    if (points.empty()) return QRegion();
    const double r = width / 2.0;
    const double off = (width % 2 == 0) ? 0.0 : 0.5;  // path points in pixel-centre space
    int top = points[0].y(), bottom = points[0].y();
    for (const QPoint& p : points) {
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    std::vector<std::pair<QPoint, QPoint>> segments;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        segments.push_back({points[i], points[i + 1]});
    if (closed && points.size() > 2) segments.push_back({points.back(), points.front()});
    if (segments.empty()) segments.push_back({points[0], points[0]});
    RowBuilder rows;
    const int reach = width / 2 + 2;
    for (int y = top - reach; y <= bottom + reach; ++y) {
        const double yc = y + 0.5;
        for (const auto& [a, b] : segments) {
            Interval row;
            double ax = a.x() + off, ay = a.y() + off, bx = b.x() + off, by = b.y() + off;
            DiscRow(ax, ay, r, yc, row);
            DiscRow(bx, by, r, yc, row);
            BodyRow(ax, ay, bx, by, r, yc, row);
            if (!row.some) continue;
            // Pixels whose centres x + 0.5 lie strictly between lo and hi.
            long long x0 = static_cast<long long>(std::floor(row.lo - 0.5)) + 1;
            long long x1 = static_cast<long long>(std::ceil(row.hi - 0.5)) - 1;
            if (x1 >= x0) rows.Add(y, static_cast<int>(x0), static_cast<int>(x1) + 1);
        }
    }
    return rows.Finish();
}

void LinePixels(QPoint a, QPoint b, bool includeLast, std::vector<QPoint>& out) {
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
    int err = dx - dy;
    while (true) {
        if (x == b.x() && y == b.y()) {
            if (includeLast) out.emplace_back(x, y);
            return;
        }
        out.emplace_back(x, y);
        int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
}

// ---- targets ----

std::optional<Canvas> OpenCanvas(DCObject& dc) {
    Canvas c;
    QRect base;
    switch (dc.dcKind) {
        case DcKind::Memory: {
            c.bitmap = SelectedBitmap(dc);
            if (!c.bitmap) return std::nullopt;
            base = c.bitmap->image.rect();
            break;
        }
        case DcKind::Window: {
            auto target = FindWindowTarget(dc.window);
            if (!target) return std::nullopt;
            c.bitmap = target->surface;
            c.origin = target->rect.topLeft();
            base = QRect(QPoint(0, 0), target->rect.size())
                       .intersected(c.bitmap->image.rect().translated(-c.origin));
            c.readOnlyWindow = !target->visible;
            break;
        }
        case DcKind::Screen: {
            if (!dc.screenCopy) dc.screenCopy = ComposeScreen();
            c.bitmap = dc.screenCopy;
            if (!c.bitmap) return std::nullopt;
            base = c.bitmap->image.rect();
            break;
        }
    }
    c.mono = c.bitmap->mono;
    c.readable = base;
    if (c.readOnlyWindow) {
        // A hidden window: reads see its area, drawing covers nothing.
        c.area = QRegion();
        c.areaBox = QRect();
    } else if (dc.state.clip) {
        c.area = dc.state.clip->intersected(base);
        c.areaBox = c.area.boundingRect();
        c.areaIsRect = c.area.rectCount() <= 1;
    } else {
        c.area = QRegion(base);
        c.areaBox = base;
    }
    return c;
}

QRect ReadableArea(const Canvas& canvas) {
    return canvas.readable;
}

// ---- painting ----

namespace {

bool HatchBit(int hatch, int px, int py) {
    switch (hatch) {
        case HS_HORIZONTAL:
            return py == 0;
        case HS_VERTICAL:
            return px == 0;
        case HS_FDIAGONAL:
            return px == py;
        case HS_BDIAGONAL:
            return px + py == 7;
        case HS_CROSS:
            return px == 0 || py == 0;
        case HS_DIAGCROSS:
            return px == py || px + py == 7;
        default:
            return false;
    }
}

int Mod(int a, int m) {
    int r = a % m;
    return r < 0 ? r + m : r;
}

DWORD DeviceWord(const DCObject& dc, const Canvas& canvas, COLORREF c) {
    DWORD w = ResolveColor(dc, c);
    return canvas.mono ? MonoWord(w) : w;
}

}  // namespace

Paint SolidPaint(const DCObject& dc, const Canvas& canvas, COLORREF color) {
    Paint p;
    p.type = Paint::Solid;
    p.color = DeviceWord(dc, canvas, color);
    return p;
}

std::optional<Paint> BrushPaint(const DCObject& dc, const Canvas& canvas,
                                const BrushObject* brush) {
    if (!brush) brush = static_cast<const BrushObject*>(dc.state.brush.object.get());
    if (!brush || brush->style == BS_NULL) return std::nullopt;
    Paint p;
    p.origin = dc.state.brushOrg;
    switch (brush->style) {
        case BS_HATCHED:
            p.type = Paint::Hatch;
            p.color = DeviceWord(dc, canvas, brush->color);
            p.hatch = brush->hatch;
            p.gap = DeviceWord(dc, canvas, dc.state.bkColor);
            p.gapOpaque = dc.state.bkMode == OPAQUE;
            break;
        case BS_PATTERN:
            p.type = Paint::Pattern;
            p.pattern = &brush->pattern;
            p.patternMono = brush->patternMono;
            p.patternOne = DeviceWord(dc, canvas, dc.state.bkColor);
            p.patternZero = DeviceWord(dc, canvas, dc.state.textColor);
            p.color = canvas.mono ? 1 : 0;  // marks a monochrome target for colour patterns
            break;
        default:
            p.type = Paint::Solid;
            p.color = DeviceWord(dc, canvas, brush->color);
            break;
    }
    return p;
}

bool PaintWord(const Paint& paint, int x, int y, DWORD* word) {
    switch (paint.type) {
        case Paint::Solid:
            *word = paint.color;
            return true;
        case Paint::Hatch: {
            int px = Mod(x - paint.origin.x(), 8), py = Mod(y - paint.origin.y(), 8);
            if (HatchBit(paint.hatch, px, py)) {
                *word = paint.color;
                return true;
            }
            if (!paint.gapOpaque) return false;
            *word = paint.gap;
            return true;
        }
        case Paint::Pattern: {
            const QImage& img = *paint.pattern;
            int px = Mod(x - paint.origin.x(), img.width());
            int py = Mod(y - paint.origin.y(), img.height());
            DWORD w = reinterpret_cast<const QRgb*>(img.constScanLine(py))[px] & 0xFFFFFFu;
            if (paint.patternMono) {
                *word = w ? paint.patternOne : paint.patternZero;
            } else {
                *word = paint.color ? MonoWord(w) : w;
            }
            return true;
        }
    }
    return false;
}

DWORD Rop3(BYTE code, DWORD p, DWORD s, DWORD d) {
    DWORD result = 0;
    for (int index = 0; index < 8; ++index) {
        if (!((code >> index) & 1)) continue;
        DWORD term = ((index & 4) ? p : ~p) & ((index & 2) ? s : ~s) & ((index & 1) ? d : ~d);
        result |= term;
    }
    return result & 0xFFFFFFu;
}

void PaintRegion(Canvas& canvas, const QRegion& region, const Paint& paint, int rop2) {
    if (canvas.readOnlyWindow || region.isEmpty()) return;
    QRegion r =
        canvas.areaIsRect ? region.intersected(canvas.areaBox) : region.intersected(canvas.area);
    QImage& image = canvas.bitmap->image;
    const int ox = canvas.origin.x(), oy = canvas.origin.y();
    const bool plain = paint.type == Paint::Solid && rop2 == R2_COPYPEN;
    const QRgb solid = 0xFF000000u | paint.color;
    for (const QRect& rect : r) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y + oy)) + ox;
            if (plain) {
                std::fill(line + rect.left(), line + rect.right() + 1, solid);
                continue;
            }
            for (int x = rect.left(); x <= rect.right(); ++x) {
                DWORD w;
                if (!PaintWord(paint, x, y, &w)) continue;
                line[x] = 0xFF000000u | Rop2(rop2, w, line[x] & 0xFFFFFFu);
            }
        }
    }
}

namespace {

struct DashPattern {
    const int* steps;
    int count;
};

DashPattern DashOf(int style) {
    static const int dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6},
                     dashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (style) {
        case PS_DASH:
            return {dash, 2};
        case PS_DOT:
            return {dot, 2};
        case PS_DASHDOT:
            return {dashDot, 4};
        case PS_DASHDOTDOT:
            return {dashDotDot, 6};
        default:
            return {nullptr, 0};
    }
}

}  // namespace

void PaintPenPixels(Canvas& canvas, const std::vector<QPoint>& pixels, int style, DWORD color,
                    DWORD gap, bool gapOpaque, int rop2) {
    if (canvas.readOnlyWindow) return;
    DashPattern dashes = DashOf(style);
    int step = 0, left = dashes.count ? dashes.steps[0] : 0;
    QImage& image = canvas.bitmap->image;
    for (const QPoint& p : pixels) {
        bool on = true;
        if (dashes.count) {
            on = (step % 2) == 0;
            if (--left == 0) {
                step = (step + 1) % dashes.count;
                left = dashes.steps[step];
            }
        }
        if (!on && !gapOpaque) continue;
        bool inside = canvas.areaIsRect ? canvas.areaBox.contains(p) : canvas.area.contains(p);
        if (!inside) continue;
        auto* px = reinterpret_cast<QRgb*>(image.scanLine(p.y() + canvas.origin.y())) + p.x() +
                   canvas.origin.x();
        *px = 0xFF000000u | Rop2(rop2, on ? color : gap, *px & 0xFFFFFFu);
    }
}

PenUse PenOf(const DCObject& dc, const Canvas& canvas) {
    PenUse use;
    const auto* pen = static_cast<const PenObject*>(dc.state.pen.object.get());
    if (!pen || pen->style == PS_NULL) return use;
    use.null = false;
    use.width = std::max(1, pen->width);
    use.insideFrame = pen->style == PS_INSIDEFRAME;
    use.style = (use.width > 1 || use.insideFrame) ? PS_SOLID : pen->style;
    use.color = DeviceWord(dc, canvas, pen->color);
    return use;
}

PixelLock::PixelLock(BitmapObject* a, BitmapObject* b) : a_(a), b_(b == a ? nullptr : b) {
    if (a_ && b_) {
        std::lock(a_->pixels, b_->pixels);
    } else if (a_) {
        a_->pixels.lock();
    }
}

PixelLock::~PixelLock() {
    if (a_) a_->pixels.unlock();
    if (b_) b_->pixels.unlock();
}

}  // namespace platform::gdi::internal
