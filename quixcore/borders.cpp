// Bevelled borders: rings of one pixel coloured by the bevel style (the catalogue in quixcore.h).
#include <QRegion>
#include <map>

#include "platform/gdi/qt.h"
#include "quixcore/internal.h"

using namespace quixcore::internal;

namespace {

COLORREF Mix(COLORREF from, COLORREF to, int k, int w) {
    auto channel = [&](int a, int b) { return static_cast<BYTE>(a + (b - a) * k / w); };
    return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
               channel(GetBValue(from), GetBValue(to)));
}

COLORREF Mean(COLORREF a, COLORREF b) {
    return RGB(static_cast<BYTE>((GetRValue(a) + GetRValue(b)) / 2),
               static_cast<BYTE>((GetGValue(a) + GetGValue(b)) / 2),
               static_cast<BYTE>((GetBValue(a) + GetBValue(b)) / 2));
}

using Areas = std::map<COLORREF, QRegion>;

// Ring k of the box: its top-left sides and its bottom-right sides.
void Ring(const QRect& box, int k, COLORREF topLeft, COLORREF bottomRight, Areas& areas) {
    QRect r = box.adjusted(k, k, -k, -k);
    if (r.isEmpty()) return;
    QRegion tl = QRegion(r.left(), r.top(), r.width() - 1, 1)
                     .united(QRegion(r.left(), r.top(), 1, r.height() - 1));
    QRegion br = QRegion(r.left(), r.bottom(), r.width(), 1)
                     .united(QRegion(r.right(), r.top(), 1, r.height()));
    areas[topLeft] += tl.subtracted(br);  // a ring one pixel high or wide is all bottom-right
    areas[bottomRight] += br;
}

// The bevel's rings into `areas`; false for a style outside the catalogue.
bool Bevel(const QRect& box, short style, int width, COLORREF c1, COLORREF c2, Areas& areas) {
    const COLORREF mean = Mean(c1, c2);
    for (int k = 0; k < width; ++k) {
        switch (style) {
            case QUIX_BEVEL_Inset:
                Ring(box, k, c1, c2, areas);
                break;
            case QUIX_BEVEL_Raised:
                Ring(box, k, c2, c1, areas);
                break;
            case QUIX_BEVEL_InsetGradient:
                Ring(box, k, Mix(c1, mean, k, width), Mix(c2, mean, k, width), areas);
                break;
            case QUIX_BEVEL_RaisedGradient:
                Ring(box, k, Mix(c2, mean, k, width), Mix(c1, mean, k, width), areas);
                break;
            case QUIX_BEVEL_Color_1_2_1:
            case QUIX_BEVEL_Color_2_1_2: {
                bool middle = 3 * k / width == 1;
                COLORREF c = (middle == (style == QUIX_BEVEL_Color_1_2_1)) ? c2 : c1;
                Ring(box, k, c, c, areas);
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

}  // namespace

short DrawBorder(HDC hdc, const RECT* rect, short, short outerStyle, short outerWidth,
                 COLORREF outerColor1, COLORREF outerColor2, short innerStyle, short innerWidth,
                 COLORREF innerColor1, COLORREF innerColor2, short borderWidth,
                 COLORREF borderColor, short reserved1, short, short, short) {
    if (!IsDc(hdc)) return QUIX_E_HANDLE;
    if (!rect || outerStyle < 0 || outerStyle > 6 || innerStyle < 0 || innerStyle > 6 ||
        outerWidth < 0 || innerWidth < 0 || borderWidth < 0) {
        return QUIX_E_ARGUMENT;
    }
    QRect box = RectOf(*rect);
    Areas areas;
    int outer = outerStyle ? outerWidth : 0;
    if (outerStyle) Bevel(box, outerStyle, outerWidth, outerColor1, outerColor2, areas);
    if (reserved1 == 0 && borderWidth > 0) {
        QRect line = box.adjusted(outer, outer, -outer, -outer);
        if (!line.isEmpty()) {
            QRegion ring = QRegion(line).subtracted(
                QRegion(line.adjusted(borderWidth, borderWidth, -borderWidth, -borderWidth)));
            areas[borderColor] += ring;
        }
    }
    if (innerStyle) {
        int in = outer + borderWidth;
        Bevel(box.adjusted(in, in, -in, -in), innerStyle, innerWidth, innerColor1, innerColor2,
              areas);
    }
    for (const auto& [colour, area] : areas) {
        if (area.isEmpty()) continue;
        HRGN region = platform::gdi::RegionFromQRegion(area);
        HBRUSH brush = CreateSolidBrush(colour);
        BOOL ok = FillRgn(hdc, region, brush);
        DeleteObject(brush);
        DeleteObject(region);
        if (!ok) return QUIX_E_DRAW;
    }
    return QUIX_OK;
}
