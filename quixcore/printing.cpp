// Printing the composed bitmap onto a printer context (or any context), placed on the page and,
// with banding, sent in bands of rows.
#include <algorithm>
#include <cmath>

#include "quixcore/internal.h"
#include "quixcore/quixcore.h"

using quixcore::internal::IsBitmap;
using quixcore::internal::IsDc;

namespace {

constexpr int kBandRows = 64;
constexpr int kScreenDpi = 96;

}  // namespace

short PrintControl(HDC printer, const RECT* rect, BOOL banding, LONG left, LONG top, LONG width,
                   LONG height, short, short, short, short, short, ULONG, ULONG, ULONG, ULONG,
                   ULONG, short, short, HBITMAP bitmap, HPALETTE palette, short, short) {
    if (!IsDc(printer)) return QUIX_E_HANDLE;
    if (!bitmap) return QUIX_E_NOIMAGE;
    if (!IsBitmap(bitmap) || (palette && GetObjectType(palette) != OBJ_PAL)) return QUIX_E_HANDLE;
    if (!rect || left < 0 || top < 0 || width < 0 || height < 0) return QUIX_E_ARGUMENT;
    BITMAP info{};
    GetObject(bitmap, sizeof info, &info);
    // The control's area of the bitmap, cut to the bitmap.
    QRect area =
        quixcore::internal::RectOf(*rect).intersected(QRect(0, 0, info.bmWidth, info.bmHeight));
    if (area.isEmpty()) return QUIX_E_ARGUMENT;
    // The printed size: as given; one side given, the other in proportion; neither, the control's
    // size on the screen at the printer's resolution.
    double sx = width, sy = height;
    if (width == 0 && height == 0) {
        sx = double(area.width()) * GetDeviceCaps(printer, LOGPIXELSX) / kScreenDpi;
        sy = double(area.height()) * GetDeviceCaps(printer, LOGPIXELSY) / kScreenDpi;
    } else if (width == 0) {
        sx = double(height) * area.width() / area.height();
    } else if (height == 0) {
        sy = double(width) * area.height() / area.width();
    }
    int outWidth = std::max(1, static_cast<int>(std::lround(sx)));
    int outHeight = std::max(1, static_cast<int>(std::lround(sy)));
    if (outWidth > 65536 || outHeight > 65536) return QUIX_E_ARGUMENT;

    quixcore::internal::BitmapContext holder(bitmap);
    HDC source = holder.dc();
    if (!source) return QUIX_E_HANDLE;  // held by another context
    HPALETTE oldPalette = nullptr;
    if (palette) {
        oldPalette = SelectPalette(printer, palette, FALSE);
        RealizePalette(printer);
    }
    int oldMode = SetStretchBltMode(printer, COLORONCOLOR);
    BOOL ok = TRUE;
    int rows = banding ? kBandRows : area.height();
    for (int y = 0; y < area.height() && ok; y += rows) {
        int band = std::min(rows, area.height() - y);
        // The band's rows on the page, so that the bands meet without a gap.
        int top0 = static_cast<int>(std::lround(double(y) * outHeight / area.height()));
        int top1 = static_cast<int>(std::lround(double(y + band) * outHeight / area.height()));
        if (top1 <= top0) continue;
        ok = StretchBlt(printer, left, top + top0, outWidth, top1 - top0, source, area.x(),
                        area.y() + y, area.width(), band, SRCCOPY);
    }
    SetStretchBltMode(printer, oldMode);
    if (palette) SelectPalette(printer, oldPalette, FALSE);
    return ok ? QUIX_OK : QUIX_E_DRAW;
}
