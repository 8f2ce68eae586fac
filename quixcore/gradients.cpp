// Gradients: bands of solid colour between two colours along the course of a style.
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/gdi/qt.h"
#include "quixcore/internal.h"

namespace quixcore::internal {

namespace {

using Wide = long long;

// floor(n * num / den) cut to 0 .. n - 1 (num, den >= 0, den > 0).
int Band(Wide num, Wide den, int n) {
    Wide b = (static_cast<Wide>(n) * num) / den;
    return static_cast<int>(std::clamp<Wide>(b, 0, n - 1));
}

// The bands of floor(n * v / den) for v = start, start + step, ... (count values), cut to
// 0 .. n - 1, walked without a division per value.
void WalkBands(Wide start, Wide step, Wide den, int n, int count, int* out) {
    if (count <= 0) return;
    Wide num = n * start, inc = n * step;
    Wide q = num >= 0 ? num / den : -((-num + den - 1) / den);
    Wide r = num - q * den;  // 0 <= r < den
    for (int i = 0; i < count; ++i) {
        out[i] = static_cast<int>(std::clamp<Wide>(q, 0, n - 1));
        r += inc;
        if (r >= den || r < 0) {
            Wide k = r >= 0 ? r / den : -((-r + den - 1) / den);
            q += k;
            r -= k * den;
        }
    }
}

}  // namespace

bool GradientRows(int width, int height, short style, short steps, COLORREF color1, COLORREF color2,
                  const std::function<void(int y, const QRgb* row)>& take) {
    if (width <= 0 || height <= 0 || style < 0 || style > 19) return false;
    const int n = std::clamp<int>(steps, 1, 256);
    std::vector<QRgb> colours(n);
    for (int k = 0; k < n; ++k) {
        auto channel = [&](int a, int b) { return n < 2 ? a : a + (b - a) * k / (n - 1); };
        colours[k] = qRgb(channel(GetRValue(color1), GetRValue(color2)),
                          channel(GetGValue(color1), GetGValue(color2)),
                          channel(GetBValue(color1), GetBValue(color2)));
    }
    const Wide w = width, h = height;
    // A pixel centre's place along a side, (2i + 1) / (2 size), and its distance from the middle
    // line, |2i + 1 - size| / size, as bands (reversed: from the other end).
    auto along = [&](int i, Wide size, bool reverse) {
        Wide num = 2LL * i + 1, den = 2 * size;
        return Band(reverse ? den - num : num, den, n);
    };
    auto middle = [&](int i, Wide size, bool reverse) {
        Wide num = std::llabs(2LL * i + 1 - size);
        return Band(reverse ? size - num : num, size, n);
    };
    std::vector<int> bx(width), row(width);
    std::vector<QRgb> pixels(width);
    QRgb* out = pixels.data();
    auto fillBands = [&](int y, const int* bands) {
        for (int x = 0; x < width; ++x) out[x] = colours[bands[x]];
        take(y, out);
    };
    switch (style) {
        case QUIX_GS_LeftToRight:
        case QUIX_GS_RightToLeft:
        case QUIX_GS_VerticalToCenter:
        case QUIX_GS_VerticalFromCenter:
            for (int x = 0; x < width; ++x) {
                bx[x] = style <= QUIX_GS_RightToLeft
                            ? along(x, w, style == QUIX_GS_RightToLeft)
                            : middle(x, w, style == QUIX_GS_VerticalToCenter);
            }
            for (int y = 0; y < height; ++y) fillBands(y, bx.data());
            break;
        case QUIX_GS_TopToBottom:
        case QUIX_GS_BottomToTop:
        case QUIX_GS_HorizontalToCenter:
        case QUIX_GS_HorizontalFromCenter:
            for (int y = 0; y < height; ++y) {
                int b = style <= QUIX_GS_BottomToTop
                            ? along(y, h, style == QUIX_GS_BottomToTop)
                            : middle(y, h, style == QUIX_GS_HorizontalToCenter);
                std::fill(out, out + width, colours[b]);
                take(y, out);
            }
            break;
        case QUIX_GS_OutsideToCenter:
        case QUIX_GS_CenterToOutside: {
            // The larger distance from the middle lines decides (the smaller for the reverse).
            const bool reverse = style == QUIX_GS_OutsideToCenter;
            for (int x = 0; x < width; ++x) bx[x] = middle(x, w, reverse);
            for (int y = 0; y < height; ++y) {
                int b = middle(y, h, reverse);
                for (int x = 0; x < width; ++x) {
                    row[x] = reverse ? std::min(bx[x], b) : std::max(bx[x], b);
                }
                fillBands(y, row.data());
            }
            break;
        }
        case QUIX_GS_Diagonal_TLBR:
        case QUIX_GS_Diagonal_BRTL:
        case QUIX_GS_Diagonal_TRBL:
        case QUIX_GS_Diagonal_BLTR: {
            // The mean of the places along both sides: ((2x + 1) h + (2y + 1) w) / (4 w h), with
            // x or y counted from the other side for the styles that start there.
            const bool flipX = style == QUIX_GS_Diagonal_BRTL || style == QUIX_GS_Diagonal_TRBL;
            const bool flipY = style == QUIX_GS_Diagonal_BRTL || style == QUIX_GS_Diagonal_BLTR;
            for (int y = 0; y < height; ++y) {
                Wide yy = flipY ? h - 1 - y : y;
                WalkBands(h + (2 * yy + 1) * w, 2 * h, 4 * w * h, n, width, bx.data());
                for (int x = 0; x < width; ++x) out[flipX ? width - 1 - x : x] = colours[bx[x]];
                take(y, out);
            }
            break;
        }
        case QUIX_GS_Diagonal_TLBR_ToCenter:
        case QUIX_GS_Diagonal_CenterTo_TLBR:
        case QUIX_GS_Diagonal_TRBL_ToCenter:
        case QUIX_GS_Diagonal_CenterTo_TRBL: {
            // The distance from the other diagonal, |2 s - 1| for the diagonal place s: with
            // M = 2 ((2x + 1) h + (2y + 1) w) - 4 w h it is |M| / (4 w h).
            const bool flipX = style >= QUIX_GS_Diagonal_TRBL_ToCenter;
            const bool reverse =
                style == QUIX_GS_Diagonal_TLBR_ToCenter || style == QUIX_GS_Diagonal_TRBL_ToCenter;
            const Wide den = 4 * w * h;
            for (int y = 0; y < height; ++y) {
                const Wide m0 = 2 * (h + (2LL * y + 1) * w) - den, step = 4 * h;
                // M < 0 for x below the crossing, M >= 0 from it on.
                int cross = static_cast<int>(
                    std::clamp<Wide>(m0 >= 0 ? 0 : (-m0 + step - 1) / step, 0, width));
                // |M| falls until the crossing and rises from it.
                if (reverse) {
                    WalkBands(den + m0, step, den, n, cross, bx.data());
                    WalkBands(den - (m0 + cross * step), -step, den, n, width - cross,
                              bx.data() + cross);
                } else {
                    WalkBands(-m0, -step, den, n, cross, bx.data());
                    WalkBands(m0 + cross * step, step, den, n, width - cross, bx.data() + cross);
                }
                for (int x = 0; x < width; ++x) out[flipX ? width - 1 - x : x] = colours[bx[x]];
                take(y, out);
            }
            break;
        }
        case QUIX_GS_EllipseToCenter:
        case QUIX_GS_EllipseFromCenter: {
            // Band k of n from the centre where 2 (k / n)^2 <= dx^2 + dy^2 (dx, dy the distances
            // from the middle lines as fractions of the half sides); the reverse counts the bands
            // from the other end. Each row is walked outward from the middle column.
            std::vector<double> threshold(n + 1);
            for (int k = 0; k <= n; ++k) threshold[k] = 2.0 * k * k / (double(n) * n);
            std::vector<double> dx2(width);
            for (int x = 0; x < width; ++x) {
                double d = double(2LL * x + 1 - w) / double(w);
                dx2[x] = d * d;
            }
            for (int y = 0; y < height; ++y) {
                double d = double(2LL * y + 1 - h) / double(h);
                double dy2 = d * d;
                int k = 0;
                for (int x = width / 2; x < width; ++x) {
                    double q = dx2[x] + dy2;
                    while (k + 1 < n && threshold[k + 1] <= q) ++k;
                    int b = style == QUIX_GS_EllipseFromCenter ? k : n - 1 - k;
                    out[x] = colours[b];
                    out[width - 1 - x] = colours[b];
                }
                take(y, out);
            }
            break;
        }
    }
    return true;
}

}  // namespace quixcore::internal

using namespace quixcore::internal;

HBITMAP GetGradientBitmap(HDC hdc, const RECT* rect, short, short style, short steps,
                          COLORREF color1, COLORREF color2) {
    if (!rect || (hdc && !IsDc(hdc)) || style < 0 || style > 19) return nullptr;
    QRect area = RectOf(*rect);
    if (area.isEmpty()) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, area.width(), area.height());
    if (!bitmap) return nullptr;
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bitmap);
    platform::gdi::WithPixels(mem, [&](platform::gdi::PixelAccess& a) {
        GradientRows(
            area.width(), area.height(), style, steps, color1, color2, [&](int y, const QRgb* row) {
                std::copy(row, row + area.width(), reinterpret_cast<QRgb*>(a.image->scanLine(y)));
            });
    });
    SelectObject(mem, old);
    DeleteDC(mem);
    return bitmap;
}
