// Gradients: bands of solid colour between two colours along the course of a style.
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
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

// A pixel centre's place along one side of the box, from the edge: (2i + 1) / (2 size).
struct Frac {
    Wide num, den;
};
Frac Along(int i, int size) {
    return {2LL * i + 1, 2LL * size};
}
// The distance of a pixel centre from the middle line, from 0 (middle) to nearly 1 (edge).
Frac FromMiddle(int i, int size) {
    return {std::llabs(2LL * i + 1 - size), static_cast<Wide>(size)};
}
Frac Reverse(Frac f) {
    return {f.den - f.num, f.den};
}
Frac Larger(Frac a, Frac b) {
    return a.num * b.den >= b.num * a.den ? a : b;
}
// The mean of two places along the two sides: a diagonal's course.
Frac Diagonal(int x, int w, int y, int h) {
    return {(2LL * x + 1) * h + (2LL * y + 1) * w, 4LL * w * h};
}
// |2 s - 1| for a diagonal place s: the distance from the other diagonal.
Frac FromDiagonal(Frac s) {
    return {std::llabs(2 * s.num - s.den), s.den};
}

}  // namespace

QImage GradientImage(int width, int height, short style, short steps, COLORREF color1,
                     COLORREF color2) {
    if (width <= 0 || height <= 0 || style < 0 || style > 19) return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    const int n = std::clamp<int>(steps, 1, 256);
    std::vector<QRgb> colours(n);
    for (int k = 0; k < n; ++k) {
        auto channel = [&](int a, int b) { return n < 2 ? a : a + (b - a) * k / (n - 1); };
        colours[k] = qRgb(channel(GetRValue(color1), GetRValue(color2)),
                          channel(GetGValue(color1), GetGValue(color2)),
                          channel(GetBValue(color1), GetBValue(color2)));
    }
    auto fillRows = [&](auto bandOfRow) {
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::fill(line, line + width, colours[bandOfRow(y)]);
        }
    };
    auto fillColumns = [&](auto bandOfColumn) {
        std::vector<QRgb> row(width);
        for (int x = 0; x < width; ++x) row[x] = colours[bandOfColumn(x)];
        for (int y = 0; y < height; ++y) {
            std::copy(row.begin(), row.end(), reinterpret_cast<QRgb*>(image.scanLine(y)));
        }
    };
    auto fillPixels = [&](auto bandOf) {
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) line[x] = colours[bandOf(x, y)];
        }
    };
    auto band = [n](Frac f) { return Band(f.num, f.den, n); };
    switch (style) {
        case QUIX_GS_LeftToRight:
            fillColumns([&](int x) { return band(Along(x, width)); });
            break;
        case QUIX_GS_RightToLeft:
            fillColumns([&](int x) { return band(Along(width - 1 - x, width)); });
            break;
        case QUIX_GS_TopToBottom:
            fillRows([&](int y) { return band(Along(y, height)); });
            break;
        case QUIX_GS_BottomToTop:
            fillRows([&](int y) { return band(Along(height - 1 - y, height)); });
            break;
        case QUIX_GS_OutsideToCenter:
        case QUIX_GS_CenterToOutside:
            fillPixels([&](int x, int y) {
                Frac p = Larger(FromMiddle(x, width), FromMiddle(y, height));
                return band(style == QUIX_GS_OutsideToCenter ? Reverse(p) : p);
            });
            break;
        case QUIX_GS_Diagonal_TLBR:
            fillPixels([&](int x, int y) { return band(Diagonal(x, width, y, height)); });
            break;
        case QUIX_GS_Diagonal_BRTL:
            fillPixels([&](int x, int y) {
                return band(Diagonal(width - 1 - x, width, height - 1 - y, height));
            });
            break;
        case QUIX_GS_Diagonal_TRBL:
            fillPixels(
                [&](int x, int y) { return band(Diagonal(width - 1 - x, width, y, height)); });
            break;
        case QUIX_GS_Diagonal_BLTR:
            fillPixels(
                [&](int x, int y) { return band(Diagonal(x, width, height - 1 - y, height)); });
            break;
        case QUIX_GS_Diagonal_TLBR_ToCenter:
        case QUIX_GS_Diagonal_CenterTo_TLBR:
            fillPixels([&](int x, int y) {
                Frac q = FromDiagonal(Diagonal(x, width, y, height));
                return band(style == QUIX_GS_Diagonal_TLBR_ToCenter ? Reverse(q) : q);
            });
            break;
        case QUIX_GS_Diagonal_TRBL_ToCenter:
        case QUIX_GS_Diagonal_CenterTo_TRBL:
            fillPixels([&](int x, int y) {
                Frac q = FromDiagonal(Diagonal(width - 1 - x, width, y, height));
                return band(style == QUIX_GS_Diagonal_TRBL_ToCenter ? Reverse(q) : q);
            });
            break;
        case QUIX_GS_EllipseToCenter:
        case QUIX_GS_EllipseFromCenter:
            fillPixels([&](int x, int y) {
                double dx = double(2LL * x + 1 - width) / width;
                double dy = double(2LL * y + 1 - height) / height;
                double r = std::sqrt((dx * dx + dy * dy) / 2.0);
                double u = style == QUIX_GS_EllipseToCenter ? 1.0 - r : r;
                return std::clamp(static_cast<int>(std::floor(u * n)), 0, n - 1);
            });
            break;
        case QUIX_GS_HorizontalToCenter:
            fillRows([&](int y) { return band(Reverse(FromMiddle(y, height))); });
            break;
        case QUIX_GS_HorizontalFromCenter:
            fillRows([&](int y) { return band(FromMiddle(y, height)); });
            break;
        case QUIX_GS_VerticalToCenter:
            fillColumns([&](int x) { return band(Reverse(FromMiddle(x, width))); });
            break;
        case QUIX_GS_VerticalFromCenter:
            fillColumns([&](int x) { return band(FromMiddle(x, width)); });
            break;
    }
    return image;
}

}  // namespace quixcore::internal

using namespace quixcore::internal;

HBITMAP GetGradientBitmap(HDC hdc, const RECT* rect, short, short style, short steps,
                          COLORREF color1, COLORREF color2) {
    if (!rect || (hdc && !IsDc(hdc))) return nullptr;
    QRect area = RectOf(*rect);
    QImage image = GradientImage(area.width(), area.height(), style, steps, color1, color2);
    if (image.isNull()) return nullptr;
    return platform::gdi::BitmapFromImage(image);
}
