// Device-dependent bitmaps.
#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"

using namespace platform::gdi::internal;

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
    if (nPlanes != 1) return nullptr;
    if (nBitCount != 1 && nBitCount != 4 && nBitCount != 8 && nBitCount != 16 && nBitCount != 24 &&
        nBitCount != 32) {
        return nullptr;
    }
    bool mono = nBitCount == 1;
    auto b = NewBitmap(nWidth, nHeight, mono, static_cast<int>(nBitCount), 0);
    if (!b) return nullptr;
    if (lpBits && (mono || nBitCount == 16 || nBitCount == 24 || nBitCount == 32)) {
        const auto* bytes = static_cast<const unsigned char*>(lpBits);
        int stride = ((nWidth * static_cast<int>(nBitCount) + 15) / 16) * 2;
        for (int row = 0; row < nHeight; ++row) {
            const unsigned char* line = bytes + static_cast<std::size_t>(row) * stride;
            auto* out = reinterpret_cast<QRgb*>(b->image.scanLine(row));
            for (int col = 0; col < nWidth; ++col) {
                if (mono) {
                    bool white = (line[col / 8] >> (7 - col % 8)) & 1;
                    out[col] = white ? 0xFFFFFFFFu : 0xFF000000u;
                } else if (nBitCount == 16) {
                    unsigned v = line[2 * col] | (line[2 * col + 1] << 8);
                    auto spread = [](unsigned c) { return (c << 3) | (c >> 2); };
                    out[col] = qRgb(spread((v >> 10) & 31), spread((v >> 5) & 31), spread(v & 31));
                } else {
                    int step = static_cast<int>(nBitCount) / 8;
                    const unsigned char* px = line + col * step;
                    out[col] = qRgb(px[2], px[1], px[0]);
                }
            }
        }
    }
    return As<HBITMAP>(Add(b));
}

HBITMAP CreateBitmapIndirect(const BITMAP* pbm) {
    if (!pbm) return nullptr;
    return CreateBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    bool mono = false;
    if (hdc) {
        auto dc = DcOf(hdc);
        if (!dc) return nullptr;
        if (dc->dcKind == DcKind::Memory) {
            auto current = SelectedBitmap(*dc);
            mono = current && current->mono;
        }
    }
    auto b = NewBitmap(cx, cy, mono, 32, 0);
    if (!b) return nullptr;
    return As<HBITMAP>(Add(b));
}
