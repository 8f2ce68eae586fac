// Packed device-independent bitmaps in movable global memory, and palettes from them.
#include <cstring>
#include <limits>
#include <vector>

#include "quixcore/internal.h"

using namespace quixcore::internal;

HGLOBAL BitmapToDIB(HBITMAP bitmap, HPALETTE palette) {
    if (!IsBitmap(bitmap)) return nullptr;
    if (palette && GetObjectType(palette) != OBJ_PAL) return nullptr;
    BITMAP bm{};
    if (!GetObject(bitmap, sizeof bm, &bm)) return nullptr;
    const int bits = bm.bmBitsPixel == 1 ? 1 : 24;
    const int colors = bits == 1 ? 2 : 0;
    const std::size_t stride = ((static_cast<std::size_t>(bm.bmWidth) * bits + 31) / 32) * 4;
    const std::size_t header = sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD);
    const std::size_t size = header + stride * bm.bmHeight;
    HGLOBAL block = GlobalAlloc(GHND, size);
    if (!block) return nullptr;
    auto* p = static_cast<BYTE*>(GlobalLock(block));
    auto* info = reinterpret_cast<BITMAPINFO*>(p);
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = bm.bmWidth;
    info->bmiHeader.biHeight = bm.bmHeight;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bits);
    info->bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, bm.bmHeight, p + header, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    GlobalUnlock(block);
    if (rows != bm.bmHeight) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

void* FindDIBBits(const void* packedDib) {
    auto layout = platform::gdi::ParsePackedDib(packedDib, std::numeric_limits<std::size_t>::max());
    if (!layout) return nullptr;
    return const_cast<BYTE*>(static_cast<const BYTE*>(packedDib) + layout->bitsOffset);
}

void DestroyDIB(HGLOBAL dib) {
    if (dib) GlobalFree(dib);
}

HBITMAP BitmapFromDib(HGLOBAL dib, HPALETTE palette) {
    if (palette && GetObjectType(palette) != OBJ_PAL) return nullptr;
    const void* p = GlobalLock(dib);
    if (!p) return nullptr;
    HBITMAP bitmap = platform::gdi::BitmapFromPackedDib(p, GlobalSize(dib));
    GlobalUnlock(dib);
    return bitmap;
}

HPALETTE CreateDibPalette(HGLOBAL dib) {
    const auto* p = static_cast<const BYTE*>(GlobalLock(dib));
    if (!p) return nullptr;
    HPALETTE palette = nullptr;
    if (auto layout = platform::gdi::ParsePackedDib(p, GlobalSize(dib)); layout && layout->colors) {
        std::vector<BYTE> buffer(sizeof(LOGPALETTE) + layout->colors * sizeof(PALETTEENTRY));
        auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
        log->palVersion = 0x300;
        log->palNumEntries = static_cast<WORD>(layout->colors);
        for (int i = 0; i < layout->colors; ++i) {
            const BYTE* e =
                p + layout->colorTableOffset + static_cast<std::size_t>(i) * layout->colorEntrySize;
            log->palPalEntry[i] = PALETTEENTRY{e[2], e[1], e[0], 0};
        }
        palette = CreatePalette(log);
    }
    GlobalUnlock(dib);
    return palette;
}

HPALETTE GetSystemPalette() {
    HDC screen = GetDC(nullptr);
    UINT count = GetSystemPaletteEntries(screen, 0, 0, nullptr);
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
    log->palVersion = 0x300;
    log->palNumEntries =
        static_cast<WORD>(GetSystemPaletteEntries(screen, 0, count, log->palPalEntry));
    ReleaseDC(nullptr, screen);
    return CreatePalette(log);
}
