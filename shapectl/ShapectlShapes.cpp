// CShapectlCtrl: the pens and brushes that follow BorderStyle and FillStyle, the painters of the
// point-list shapes (Shape 6 to 17) and the shape region kept for hit testing.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win/paint.h"
#include "quixcore/quixcore.h"
#include "shapectl/ShapectlCtl.h"

namespace {

// A floating-point coordinate made whole by truncation toward zero.
int Trunc(double v) {
    return static_cast<int>(v);
}

}  // namespace

HPEN CShapectlCtrl::CreateBorderPen(int width, COLORREF colour) {
    if (m_props.BorderStyle == 0) return reinterpret_cast<HPEN>(GetStockObject(NULL_PEN));
    if (width < 2) return CreatePen(m_props.BorderStyle - 1, width, colour);
    // Wide pens are solid: inside the frame for the box shapes.
    return CreatePen(m_props.Shape <= 5 ? PS_INSIDEFRAME : PS_SOLID, width, colour);
}

HBRUSH CShapectlCtrl::CreateFillBrush(COLORREF colour) {
    static const int kHatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL,
                                   HS_BDIAGONAL,  HS_CROSS,    HS_DIAGCROSS};
    SHORT style = m_props.FillStyle;
    if (style == 0) return CreateSolidBrush(colour);
    if (style >= 2 && style <= 7) return CreateHatchBrush(kHatches[style - 2], colour);
    return reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CShapectlCtrl::AddToShapeRegion(HRGN region) {
    if (!region) return;
    HRGN combined = CreateRectRgn(0, 0, 0, 0);
    if (m_hShapeRgn) {
        CombineRgn(combined, m_hShapeRgn, region, RGN_OR);
        DeleteObject(m_hShapeRgn);
    } else {
        CombineRgn(combined, region, nullptr, RGN_COPY);
    }
    DeleteObject(region);
    m_hShapeRgn = combined;
}

BOOL CShapectlCtrl::IsCursorInShape() {
    if (!m_hShapeRgn || !m_hWnd) return FALSE;
    POINT p;
    if (!GetCursorPos(&p) || !ScreenToClient(m_hWnd, &p)) return FALSE;
    return PtInRegion(m_hShapeRgn, p.x, p.y);
}

void CShapectlCtrl::PaintPolygon(HDC dc, const POINT* points, int count, BOOL shadow,
                                 BOOL addRegion) {
    const ShapeProperties& p = m_props;
    COLORREF shadowColour = TranslateColor(p.ShadowColor);
    HPEN pen =
        CreateBorderPen(p.BorderWidth, shadow ? shadowColour : TranslateColor(p.BorderColor));
    SetBkColor(
        dc, shadow ? shadowColour : TranslateColor(p.FillStyle != 0 ? p.BackColor : p.FillColor));
    HBRUSH brush;
    if (p.FillStyle == 1) {
        brush = p.BackStyle == 0
                    ? reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                    : CreateSolidBrush(shadow ? shadowColour : TranslateColor(p.BackColor));
    } else if (p.BackStyle > 0) {
        brush =
            shadow ? CreateSolidBrush(shadowColour) : CreateFillBrush(TranslateColor(p.FillColor));
    } else {
        brush = CreateFillBrush(shadow ? shadowColour : TranslateColor(p.FillColor));
    }
    SetBkMode(dc, p.BackStyle < 1 ? TRANSPARENT : OPAQUE);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    if (p.Shape == 17) {
        Polyline(dc, points, count);
    } else {
        Polygon(dc, points, count);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    // Stock pens and brushes are never deleted by the graphics layer.
    DeleteObject(pen);
    DeleteObject(brush);
    if (addRegion) AddToShapeRegion(CreatePolygonRgn(points, count, WINDING));
}

void CShapectlCtrl::DrawOctagon(HDC dc, int left, int top, int right, int, BOOL shadow,
                                BOOL addRegion) {
    int h = m_props.BorderWidth / 2;
    int r = (right - left - 2 * h - 2) / 2;
    int cx = left + h + 1 + r, cy = top + h + 1 + r;
    const double c = 0.92388, s = 0.38268;
    POINT pts[8] = {{Trunc(cx + r * c), Trunc(cy - r * s)}, {Trunc(cx + r * s), Trunc(cy - r * c)},
                    {Trunc(cx - r * s), Trunc(cy - r * c)}, {Trunc(cx - r * c), Trunc(cy - r * s)},
                    {Trunc(cx - r * c), Trunc(cy + r * s)}, {Trunc(cx - r * s), Trunc(cy + r * c)},
                    {Trunc(cx + r * s), Trunc(cy + r * c)}, {Trunc(cx + r * c), Trunc(cy + r * s)}};
    SetPolyFillMode(dc, ALTERNATE);
    PaintPolygon(dc, pts, 8, shadow, addRegion);
}

namespace {

// The five corners of the regular pentagon in the circle of the octagon's radius, clockwise from
// the top: top, upper right, lower right, lower left, upper left.
void PentagonCorners(int h, int left, int top, int right, POINT corners[5]) {
    int r = (right - left - 2 * h - 2) / 2;
    int cx = left + h + 1 + r;
    int t = top + h + 1, cy = t + r;
    corners[0] = {cx, t};
    corners[1] = {Trunc(cx + 0.95106 * r), Trunc(cy - 0.30902 * r)};
    corners[2] = {Trunc(cx + 0.58779 * r), Trunc(cy + 0.80902 * r)};
    corners[3] = {Trunc(cx - 0.58779 * r), Trunc(cy + 0.80902 * r)};
    corners[4] = {Trunc(cx - 0.95106 * r), Trunc(cy - 0.30902 * r)};
}

}  // namespace

void CShapectlCtrl::DrawStar(HDC dc, int left, int top, int right, int, BOOL shadow,
                             BOOL addRegion) {
    POINT c[5];
    PentagonCorners(m_props.BorderWidth / 2, left, top, right, c);
    POINT pts[5] = {c[0], c[3], c[1], c[4], c[2]};  // every second corner
    SetPolyFillMode(dc, WINDING);                   // the inner pentagon is filled too
    PaintPolygon(dc, pts, 5, shadow, addRegion);
}

void CShapectlCtrl::DrawPentagon(HDC dc, int left, int top, int right, int, BOOL shadow,
                                 BOOL addRegion) {
    POINT c[5];
    PentagonCorners(m_props.BorderWidth / 2, left, top, right, c);
    POINT pts[5] = {c[0], c[4], c[3], c[2], c[1]};  // counterclockwise from the top
    SetPolyFillMode(dc, ALTERNATE);
    PaintPolygon(dc, pts, 5, shadow, addRegion);
}

void CShapectlCtrl::DrawHexagon(HDC dc, int left, int top, int right, int, BOOL shadow,
                                BOOL addRegion) {
    int h = m_props.BorderWidth / 2;
    int l = left + h + 1, r = right - h - 1;
    int g = (r - l) / 2;
    int cx = l + g, cy = top + g + h + 1;
    POINT pts[6] = {{Trunc(cx - 0.5 * g), Trunc(cy - 0.86603 * g)},
                    {l, cy},
                    {Trunc(cx - 0.5 * g), Trunc(cy + 0.86603 * g)},
                    {Trunc(cx + 0.5 * g), Trunc(cy + 0.86603 * g)},
                    {r, cy},
                    {Trunc(cx + 0.5 * g), Trunc(cy - 0.86603 * g)}};
    SetPolyFillMode(dc, ALTERNATE);
    PaintPolygon(dc, pts, 6, shadow, addRegion);
}

void CShapectlCtrl::DrawDiamond(HDC dc, int left, int top, int right, int bottom, BOOL shadow,
                                BOOL addRegion) {
    int h = m_props.BorderWidth / 2;
    int l = left + h + 1, t = top + h + 1;
    int halfWidth = (right - h - 1 - l) / 2, halfHeight = (bottom - h - 1 - t) / 2;
    int d = halfWidth < halfHeight ? halfWidth : halfHeight;
    POINT pts[4] = {{l + d, t}, {l, t + d}, {l + d, t + 2 * d}, {l + 2 * d, t + d}};
    SetPolyFillMode(dc, ALTERNATE);
    PaintPolygon(dc, pts, 4, shadow, addRegion);
}

void CShapectlCtrl::DrawTriangle(HDC dc, int left, int top, int right, int bottom, BOOL shadow,
                                 BOOL addRegion) {
    int h = m_props.BorderWidth / 2;
    int l = left + h + 1, t = top + h + 1, r = right - h - 1, b = bottom - h - 1;
    int half = (r - l) / 2;
    int mx = l + half, my = t + (b - t) / 2;
    POINT pts[3];
    switch (m_props.Shape) {
        case 8: {
            int y = Trunc(t + 1.5 * half);
            pts[0] = {mx, t};
            pts[1] = {Trunc(mx - 0.866 * half), y};
            pts[2] = {Trunc(mx + 0.866 * half), y};
            break;
        }
        case 9:
            pts[0] = {l, t};
            pts[1] = {l, b};
            pts[2] = {r, my};
            break;
        case 10:
            pts[0] = {mx, t};
            pts[1] = {l, b};
            pts[2] = {r, b};
            break;
        case 11:
            pts[0] = {l, my};
            pts[1] = {r, b};
            pts[2] = {r, t};
            break;
        default:  // 12, pointing down
            pts[0] = {mx, b};
            pts[1] = {r, t};
            pts[2] = {l, t};
            break;
    }
    SetPolyFillMode(dc, ALTERNATE);
    PaintPolygon(dc, pts, 3, shadow, addRegion);
}

void CShapectlCtrl::DrawCustomShape(HDC dc, int left, int top, int, int, BOOL shadow,
                                    BOOL addRegion) {
    if (!m_hHotspots || m_strHFileName.empty() || m_nHotspots == 0) return;
    const auto* block = static_cast<const unsigned char*>(GlobalLock(m_hHotspots));
    if (!block) return;
    std::size_t size = GlobalSize(m_hHotspots);
    std::size_t count = static_cast<std::size_t>(m_nHotspots > 0 ? m_nHotspots : 0);
    if (count > size / HotspotRecordSize) count = size / HotspotRecordSize;
    const unsigned char* chosen = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* record = block + i * HotspotRecordSize;
        std::int16_t id;
        std::memcpy(&id, record + 40, sizeof id);
        if (id == m_props.HShape) chosen = record;  // the last one of the id
    }
    std::vector<POINT> pts;
    if (chosen) {
        std::int16_t n;
        std::memcpy(&n, chosen, sizeof n);
        if (n >= 1 && n <= 100) {
            int h = m_props.BorderWidth / 2;
            for (int i = 0; i < n; ++i) {
                std::int32_t xy[2];
                std::memcpy(xy, chosen + 48 + 8 * i, sizeof xy);
                pts.push_back(POINT{xy[0] + left + h, xy[1] + top + h});
            }
        }
    }
    GlobalUnlock(m_hHotspots);
    if (pts.empty()) return;
    SetPolyFillMode(dc, ALTERNATE);
    PaintPolygon(dc, pts.data(), static_cast<int>(pts.size()), shadow, addRegion);
}

void CShapectlCtrl::PaintPointShape(HDC dc, const RECT& r, BOOL shadow, BOOL addRegion) {
    switch (m_props.Shape) {
        case 6:
            DrawOctagon(dc, r.left, r.top, r.right, r.bottom, shadow, addRegion);
            break;
        case 7:
            DrawStar(dc, r.left, r.top, r.right, r.bottom, shadow, addRegion);
            break;
        case 8:
        case 9:
        case 10:
        case 11:
        case 12:
            DrawTriangle(dc, r.left, r.top, r.right, r.bottom, shadow, addRegion);
            break;
        case 13:
            DrawDiamond(dc, r.left, r.top, r.right, r.bottom, shadow, addRegion);
            break;
        case 14:
            DrawPentagon(dc, r.left, r.top, r.right, r.bottom, shadow, addRegion);
            break;
        case 15:
            DrawHexagon(dc, r.left, r.top, r.right, r.bottom, shadow, addRegion);
            break;
        case 16:
        case 17:
            DrawCustomShape(dc, r.left, r.top, r.right, r.bottom, shadow, addRegion);
            break;
        default:
            break;
    }
}
