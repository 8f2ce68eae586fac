// Pixels and the transfers with the ternary raster operations.
#include <algorithm>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/raster.h"

using namespace platform::gdi::internal;

namespace {

bool UsesSource(BYTE code) {
    return ((code >> 2) & 0x33) != (code & 0x33);
}
bool UsesPattern(BYTE code) {
    return ((code >> 4) & 0x0F) != (code & 0x0F);
}

void Done(const Canvas& canvas) {
    if (canvas.bitmap->surface) NotifyDrawn(*canvas.bitmap);
}

// One row of the operation: d = f(p, s, d) over n pixels (p and s may be null when unused).
void ApplyRow(BYTE code, const DWORD* p, const DWORD* s, QRgb* d, int n) {
    constexpr QRgb kOpaque = 0xFF000000u;
    switch (code) {
        case 0xCC:  // SRCCOPY
            for (int i = 0; i < n; ++i) d[i] = kOpaque | s[i];
            return;
        case 0x88:  // SRCAND
            for (int i = 0; i < n; ++i) d[i] = kOpaque | (s[i] & d[i]);
            return;
        case 0xEE:  // SRCPAINT
            for (int i = 0; i < n; ++i) d[i] = kOpaque | ((s[i] | d[i]) & 0xFFFFFFu);
            return;
        case 0x66:  // SRCINVERT
            for (int i = 0; i < n; ++i) d[i] = kOpaque | ((s[i] ^ d[i]) & 0xFFFFFFu);
            return;
        case 0x22:  // DSna
            for (int i = 0; i < n; ++i) d[i] = kOpaque | (d[i] & ~s[i] & 0xFFFFFFu);
            return;
        case 0xF0:  // PATCOPY
            for (int i = 0; i < n; ++i) d[i] = kOpaque | p[i];
            return;
        case 0x00:  // BLACKNESS
            std::fill(d, d + n, kOpaque);
            return;
        case 0xFF:  // WHITENESS
            std::fill(d, d + n, 0xFFFFFFFFu);
            return;
        case 0x55:  // DSTINVERT
            for (int i = 0; i < n; ++i) d[i] = kOpaque | (~d[i] & 0xFFFFFFu);
            return;
        case 0x5A:  // PATINVERT
            for (int i = 0; i < n; ++i) d[i] = kOpaque | ((p[i] ^ d[i]) & 0xFFFFFFu);
            return;
        case 0xCA:  // DPSDxax: the source where the pattern is set
            for (int i = 0; i < n; ++i) {
                DWORD dw = d[i] & 0xFFFFFFu;
                d[i] = kOpaque | (dw ^ (p[i] & (s[i] ^ dw)));
            }
            return;
        default: {
            static const DWORD zero = 0;
            for (int i = 0; i < n; ++i) {
                d[i] = kOpaque | Rop3(code, p ? p[i] : zero, s ? s[i] : zero, d[i] & 0xFFFFFFu);
            }
            return;
        }
    }
}

struct Side {
    std::shared_ptr<DCObject> dc;
    std::optional<Canvas> canvas;
};

// A transfer from a source rectangle (stretched when its size differs) to a destination rectangle,
// both in device coordinates, sizes possibly negative (mirrored).
BOOL Transfer(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, int sw, int sh,
              DWORD rop) {
    const BYTE code = static_cast<BYTE>((rop >> 16) & 0xFF);
    Side dest{DcOf(hdc), std::nullopt};
    if (!dest.dc) return FALSE;
    dest.canvas = OpenCanvas(*dest.dc);
    if (!dest.canvas) return FALSE;
    const bool needSource = UsesSource(code);
    Side src;
    if (needSource) {
        src.dc = DcOf(hdcSrc);
        if (!src.dc) return FALSE;
        src.canvas = src.dc == dest.dc ? dest.canvas : OpenCanvas(*src.dc);
        if (!src.canvas) return FALSE;
    }
    QPoint d0 = ToDevice(*dest.dc, x, y);
    QPoint s0 = needSource ? ToDevice(*src.dc, x1, y1) : QPoint();
    // Normalise to positive sizes; a sign that differs between the two sides mirrors.
    bool flipX = (cx < 0) != (sw < 0), flipY = (cy < 0) != (sh < 0);
    if (cx < 0) {
        d0.rx() += cx;
        cx = -cx;
    }
    if (cy < 0) {
        d0.ry() += cy;
        cy = -cy;
    }
    if (sw < 0) {
        s0.rx() += sw;
        sw = -sw;
    }
    if (sh < 0) {
        s0.ry() += sh;
        sh = -sh;
    }
    if (cx == 0 || cy == 0 || (needSource && (sw == 0 || sh == 0))) return TRUE;
    const bool stretch = needSource && (sw != cx || sh != cy || flipX || flipY);

    std::optional<Paint> pattern;
    if (UsesPattern(code)) {
        pattern = BrushPaint(*dest.dc, *dest.canvas, nullptr);
        if (!pattern) return TRUE;  // the null brush paints nothing
        pattern->gapOpaque = true;
    }
    Canvas& dc = *dest.canvas;
    QRect want(d0, QSize(cx, cy));
    if (needSource && !stretch) {
        want &= src.canvas->readable.translated(d0 - s0);
    }
    QRegion region =
        dc.areaIsRect ? QRegion(want.intersected(dc.areaBox)) : dc.area.intersected(want);
    if (dc.readOnlyWindow || region.isEmpty()) return TRUE;

    // Source column and row of each destination column and row (stretch), -1 outside the source.
    std::vector<int> mapX, mapY;
    if (stretch) {
        QRect readable = src.canvas->readable;
        mapX.resize(cx);
        for (int i = 0; i < cx; ++i) {
            int j = static_cast<int>((2LL * i + 1) * sw / (2LL * cx));
            if (flipX) j = sw - 1 - j;
            int sx = s0.x() + j;
            mapX[i] = sx >= readable.left() && sx <= readable.right() ? sx : -1;
        }
        mapY.resize(cy);
        for (int i = 0; i < cy; ++i) {
            int j = static_cast<int>((2LL * i + 1) * sh / (2LL * cy));
            if (flipY) j = sh - 1 - j;
            int sy = s0.y() + j;
            mapY[i] = sy >= readable.top() && sy <= readable.bottom() ? sy : -1;
        }
    }

    DWORD toBk = 0, toText = 0, srcBk = 0;
    bool monoToColour = false, colourToMono = false;
    if (needSource) {
        monoToColour = src.canvas->mono && !dc.mono;
        colourToMono = !src.canvas->mono && dc.mono;
        toBk = ResolveColor(*dest.dc, dest.dc->state.bkColor);
        toText = ResolveColor(*dest.dc, dest.dc->state.textColor);
        srcBk = ResolveColor(*src.dc, src.dc->state.bkColor);
    }
    {
        PixelLock lock(dc.bitmap.get(), needSource ? src.canvas->bitmap.get() : nullptr);
        QImage& target = dc.bitmap->image;
        const QImage* source = needSource ? &src.canvas->bitmap->image : nullptr;
        QImage copy;
        if (source == &target) {
            copy = target.copy();
            source = &copy;
        }
        std::vector<DWORD> srow, prow;
        for (const QRect& r : region) {
            const int n = r.width();
            srow.assign(n, 0);
            prow.assign(n, 0);
            for (int row = r.top(); row <= r.bottom(); ++row) {
                QRgb* out = reinterpret_cast<QRgb*>(target.scanLine(row + dc.origin.y())) +
                            r.left() + dc.origin.x();
                int begin = 0, end = n;  // the part of the row that has a source
                const DWORD* sourceRow = nullptr;
                if (needSource) {
                    int sy = stretch ? mapY[row - d0.y()] : row - d0.y() + s0.y();
                    if (sy < 0) continue;
                    const QRgb* in = reinterpret_cast<const QRgb*>(
                        source->constScanLine(sy + src.canvas->origin.y()));
                    if (!stretch && !monoToColour && !colourToMono) {
                        // The source row as it is (its words carry the alpha byte, which every
                        // operation leaves out).
                        sourceRow = in + (r.left() - d0.x() + s0.x() + src.canvas->origin.x());
                    }
                    for (int i = 0; !sourceRow && i < n; ++i) {
                        int col = r.left() + i;
                        int sx = stretch ? mapX[col - d0.x()] : col - d0.x() + s0.x();
                        DWORD raw = sx < 0 ? 0 : in[sx + src.canvas->origin.x()] & 0xFFFFFFu;
                        if (monoToColour) {
                            raw = raw ? toBk : toText;
                        } else if (colourToMono) {
                            raw = raw == srcBk ? 0xFFFFFFu : 0u;
                        }
                        srow[i] = raw;
                    }
                    if (stretch) {
                        // Columns without a source are left as they are.
                        while (begin < n && mapX[r.left() + begin - d0.x()] < 0) ++begin;
                        while (end > begin && mapX[r.left() + end - 1 - d0.x()] < 0) --end;
                    }
                }
                if (pattern) {
                    for (int i = 0; i < n; ++i) {
                        DWORD w = 0;
                        PaintWord(*pattern, r.left() + i, row, &w);
                        prow[i] = w;
                    }
                }
                if (end > begin) {
                    const DWORD* sourceWords = sourceRow ? sourceRow : srow.data();
                    ApplyRow(code, pattern ? prow.data() + begin : nullptr,
                             needSource ? sourceWords + begin : nullptr, out + begin, end - begin);
                }
            }
        }
    }
    Done(dc);
    return TRUE;
}

}  // namespace

COLORREF GetPixel(HDC hdc, int x, int y) {
    auto dc = DcOf(hdc);
    if (!dc) return CLR_INVALID;
    auto canvas = OpenCanvas(*dc);
    if (!canvas) return CLR_INVALID;
    QPoint p = ToDevice(*dc, x, y);
    if (!canvas->readable.contains(p)) return CLR_INVALID;
    if (dc->state.clip && !dc->state.clip->contains(p)) return CLR_INVALID;
    PixelLock lock(canvas->bitmap.get());
    return ToColorRef(canvas->bitmap->image.pixel(p + canvas->origin));
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    auto dc = DcOf(hdc);
    if (!dc) return CLR_INVALID;
    auto canvas = OpenCanvas(*dc);
    if (!canvas) return CLR_INVALID;
    QPoint p = ToDevice(*dc, x, y);
    if (!canvas->area.contains(p)) return CLR_INVALID;
    DWORD w = ResolveColor(*dc, color);
    if (canvas->mono) w = MonoWord(w);
    {
        PixelLock lock(canvas->bitmap.get());
        canvas->bitmap->image.setPixel(p + canvas->origin, 0xFF000000u | w);
    }
    Done(*canvas);
    return ToColorRef(w);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    return SetPixel(hdc, x, y, color) != CLR_INVALID ? TRUE : FALSE;
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    // A negative size moves the corner on both sides alike (no mirroring).
    int sw = cx, sh = cy;
    if (cx < 0) {
        x += cx;
        x1 += cx;
        cx = sw = -cx;
    }
    if (cy < 0) {
        y += cy;
        y1 += cy;
        cy = sh = -cy;
    }
    return Transfer(hdc, x, y, cx, cy, hdcSrc, x1, y1, sw, sh, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    BYTE code = static_cast<BYTE>((rop >> 16) & 0xFF);
    if (UsesSource(code)) return FALSE;
    return Transfer(hdc, x, y, w, h, nullptr, 0, 0, w, h, rop);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                int ySrc, int wSrc, int hSrc, DWORD rop) {
    return Transfer(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop);
}
