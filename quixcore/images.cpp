// Colour-key and mask composition, picture placement and tiling, screen capture, bitmap copies
// and update areas.
#include <QImage>
#include <algorithm>

#include "platform/gdi/qt.h"
#include "quixcore/internal.h"

using namespace quixcore::internal;

namespace {

int Mod(int a, int m) {
    int r = a % m;
    return r < 0 ? r + m : r;
}

int FloorHalf(int v) {
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

short Clamp16(int v) {
    return static_cast<short>(std::clamp(v, -32768, 32767));
}

}  // namespace

short CreateTransparentBitmap(HDC hdcDest, int x, int y, int width, int height, COLORREF key,
                              HDC hdcSrc) {
    if (!IsDc(hdcDest) || !IsDc(hdcSrc)) return QUIX_E_HANDLE;
    if (width <= 0 || height <= 0) return QUIX_OK;
    const QRect area = DeviceRect(hdcDest, QRect(x, y, width, height));
    const QPoint shift = DeviceRect(hdcSrc, QRect(x, y, 1, 1)).topLeft() - area.topLeft();
    const QRgb k = Rgb(key) & 0xFFFFFFu;
    bool ok = platform::gdi::WithPixels(
        hdcDest, hdcSrc, [&](platform::gdi::PixelAccess& dest, platform::gdi::PixelAccess& src) {
            // Only where the source can be read.
            const QRect within = area & src.readable.translated(-shift);
            ForWritable(dest, within, [&](int row, int x0, int x1, QRgb* line) {
                const auto* in = reinterpret_cast<const QRgb*>(
                    src.image->constScanLine(row + shift.y() + src.offset.y()));
                const int dx = shift.x() + src.offset.x();
                for (int col = x0; col < x1; ++col) {
                    if ((line[col] & 0xFFFFFFu) == k) line[col] = ForTarget(dest, in[col + dx]);
                }
            });
        });
    return ok ? QUIX_OK : QUIX_E_DRAW;
}

short CreateTransparentMaskBitmap(HDC hdcDest, int x, int y, int width, int height, HBITMAP mask,
                                  HDC hdcOutput) {
    if (!IsDc(hdcDest) || !IsDc(hdcOutput)) return QUIX_E_HANDLE;
    if (!IsBitmap(mask)) return QUIX_E_MASK;
    if (width <= 0 || height <= 0) return QUIX_OK;
    const QImage shape = platform::gdi::ImageOf(mask);
    const QRect area = DeviceRect(
        hdcDest, QRect(0, 0, std::min(width, shape.width()), std::min(height, shape.height())));
    const QPoint screenAt = DeviceRect(hdcOutput, QRect(x, y, 1, 1)).topLeft();
    bool ok = platform::gdi::WithPixels(
        hdcDest, hdcOutput,
        [&](platform::gdi::PixelAccess& dest, platform::gdi::PixelAccess& output) {
            ForWritable(dest, area, [&](int row, int x0, int x1, QRgb* line) {
                const auto* m = reinterpret_cast<const QRgb*>(shape.constScanLine(row - area.y()));
                for (int col = x0; col < x1; ++col) {
                    QRgb s;
                    if ((m[col - area.x()] & 0xFFFFFFu) == 0xFFFFFFu &&
                        ReadPixel(output, QPoint(col, row) - area.topLeft() + screenAt, &s)) {
                        line[col] = ForTarget(dest, s);
                    }
                }
            });
        });
    return ok ? QUIX_OK : QUIX_E_DRAW;
}

short AddImageToControl(HDC hdc, const RECT* rect, HBITMAP picture, HPALETTE, short, BOOL visible,
                        short align, short x, short y, short* placedX, short* placedY,
                        short backStyle, BOOL, BOOL transparent, COLORREF transparentColor) {
    auto place = [&](int px, int py) {
        if (placedX) *placedX = Clamp16(px);
        if (placedY) *placedY = Clamp16(py);
    };
    place(0, 0);
    if (!IsDc(hdc)) return QUIX_E_HANDLE;
    if (!rect || align < 0 || align > 8) return QUIX_E_ARGUMENT;
    if (!visible || !picture) return QUIX_OK;
    if (!IsBitmap(picture)) return QUIX_E_HANDLE;
    const QImage pic = platform::gdi::ImageOf(picture);
    const QRect box = RectOf(*rect);
    if (pic.isNull() || box.isEmpty()) return QUIX_OK;
    const int pw = pic.width(), ph = pic.height();
    QPoint corner;
    QRect area;
    const bool tile = backStyle == 5;
    if (tile) {
        corner = box.topLeft() + QPoint(x, y);
        area = box;
    } else {
        const int horizontal = align / 3, vertical = align % 3;
        int px = horizontal == 0   ? box.x()
                 : horizontal == 1 ? box.x() + box.width() - pw
                                   : box.x() + FloorHalf(box.width() - pw);
        int py = vertical == 0   ? box.y()
                 : vertical == 2 ? box.y() + box.height() - ph
                                 : box.y() + FloorHalf(box.height() - ph);
        corner = QPoint(px + x, py + y);
        area = box & QRect(corner, pic.size());
    }
    place(corner.x(), corner.y());
    if (area.isEmpty()) return QUIX_OK;
    const QRect device = DeviceRect(hdc, area);
    const QPoint toPicture = area.topLeft() - device.topLeft() - corner;  // device to picture
    const QRgb key = Rgb(transparentColor) & 0xFFFFFFu;
    bool ok = platform::gdi::WithPixels(hdc, [&](platform::gdi::PixelAccess& a) {
        ForWritable(a, device, [&](int row, int x0, int x1, QRgb* line) {
            int sy = row + toPicture.y();
            if (tile) sy = Mod(sy, ph);
            const auto* s = reinterpret_cast<const QRgb*>(pic.constScanLine(sy));
            for (int col = x0; col < x1; ++col) {
                int sx = col + toPicture.x();
                if (tile) sx = Mod(sx, pw);
                QRgb p = s[sx];
                if (transparent && (p & 0xFFFFFFu) == key) continue;
                line[col] = ForTarget(a, p);
            }
        });
    });
    return ok ? QUIX_OK : QUIX_E_DRAW;
}

short TileImage(HDC hdcDest, int width, int height, int, HDC hdcSrc, int xSrc, int ySrc,
                int srcWidth, int srcHeight) {
    if (!IsDc(hdcDest) || !IsDc(hdcSrc)) return QUIX_E_HANDLE;
    if (srcWidth <= 0 || srcHeight <= 0) return QUIX_E_ARGUMENT;
    if (width <= 0 || height <= 0) return QUIX_OK;
    const QImage tile = ReadArea(hdcSrc, QRect(xSrc, ySrc, srcWidth, srcHeight));
    if (tile.isNull()) return QUIX_E_DRAW;
    const QRect device = DeviceRect(hdcDest, QRect(0, 0, width, height));
    bool ok = platform::gdi::WithPixels(hdcDest, [&](platform::gdi::PixelAccess& a) {
        ForWritable(a, device, [&](int row, int x0, int x1, QRgb* line) {
            const auto* s =
                reinterpret_cast<const QRgb*>(tile.constScanLine((row - device.y()) % srcHeight));
            for (int col = x0; col < x1; ++col) {
                line[col] = ForTarget(a, s[(col - device.x()) % srcWidth]);
            }
        });
    });
    return ok ? QUIX_OK : QUIX_E_DRAW;
}

short CaptureControl(HDC hdc, const RECT* rect, HBITMAP* captured, short* error) {
    if (captured) *captured = nullptr;
    if (!IsDc(hdc)) return Fail(QUIX_E_HANDLE, error);
    if (!rect || !captured) return Fail(QUIX_E_ARGUMENT, error);
    POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    POINT origin{};
    if (!LPtoDP(hdc, corners, 2) || !GetDCOrgEx(hdc, &origin)) return Fail(QUIX_E_HANDLE, error);
    QRect area = RectOf(RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y})
                     .translated(origin.x, origin.y);
    if (area.isEmpty()) return Fail(QUIX_E_ARGUMENT, error);
    HDC screen = GetDC(nullptr);
    QImage image = ReadArea(screen, area);
    ReleaseDC(nullptr, screen);
    HBITMAP bitmap = image.isNull() ? nullptr : platform::gdi::BitmapFromImage(image);
    if (!bitmap) return Fail(QUIX_E_DRAW, error);
    *captured = bitmap;
    return QUIX_OK;
}

HBITMAP CopyBitmap(HDC hdc, HBITMAP source, int x, int y, int width, int height) {
    if ((hdc && !IsDc(hdc)) || !IsBitmap(source)) return nullptr;
    QImage image = platform::gdi::ImageOf(source);
    QRect area = (width == 0 || height == 0) ? image.rect() : QRect(x, y, width, height);
    area &= image.rect();
    if (area.isEmpty()) return nullptr;
    QImage part = image.copy(area);
    if (!platform::gdi::IsMonochrome(source)) return platform::gdi::BitmapFromImage(part);
    // Monochrome: rows of bits, word-aligned, top row first.
    const int stride = ((part.width() + 15) / 16) * 2;
    std::vector<unsigned char> bits(static_cast<std::size_t>(stride) * part.height(), 0);
    for (int row = 0; row < part.height(); ++row) {
        const auto* s = reinterpret_cast<const QRgb*>(part.constScanLine(row));
        for (int col = 0; col < part.width(); ++col) {
            if (s[col] & 0xFFFFFFu) bits[row * stride + col / 8] |= 0x80 >> (col % 8);
        }
    }
    return CreateBitmap(part.width(), part.height(), 1, 1, bits.data());
}

void GetUpdateRectValues(const RECT* rect, int* x, int* y, int* width, int* height,
                         short updateArea, short updateX, short updateY, short updateW,
                         short updateH) {
    QRect box = rect ? RectOf(*rect) : QRect();
    int ux = 0, uy = 0, uw = box.width(), uh = box.height();
    if (updateArea == 1) {
        ux = std::clamp<int>(updateX, 0, box.width());
        uy = std::clamp<int>(updateY, 0, box.height());
        uw = std::clamp<int>(updateW, 0, box.width() - ux);
        uh = std::clamp<int>(updateH, 0, box.height() - uy);
    }
    if (x) *x = ux;
    if (y) *y = uy;
    if (width) *width = uw;
    if (height) *height = uh;
}
