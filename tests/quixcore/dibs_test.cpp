// Packed device-independent bitmaps in global memory.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"

namespace {

HGLOBAL Block(const std::vector<BYTE>& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

}  // namespace

TEST(PackedDibs, ColourAndMonochromeBitmapsRoundTrip) {
    QImage picture(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) picture.setPixel(x, y, qRgb(40 * x, 80 * y, 7));
    }
    HBITMAP colour = platform::gdi::BitmapFromImage(picture);
    HGLOBAL dib = BitmapToDIB(colour, nullptr);
    ASSERT_NE(dib, nullptr);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    EXPECT_EQ(header->biBitCount, 24);
    EXPECT_EQ(header->biHeight, 3) << "bottom row first";
    EXPECT_EQ(static_cast<BYTE*>(FindDIBBits(header)), reinterpret_cast<BYTE*>(header) + 40);
    GlobalUnlock(dib);
    HBITMAP back = BitmapFromDib(dib, nullptr);
    EXPECT_EQ(platform::gdi::ImageOf(back), picture);
    EXPECT_EQ(CreateDibPalette(dib), nullptr) << "24 bits need no palette";
    DestroyDIB(dib);
    EXPECT_EQ(GlobalSize(dib), 0u) << "freed";

    const WORD rows[2] = {0xA0, 0x40};
    HBITMAP mono = CreateBitmap(3, 2, 1, 1, rows);
    HGLOBAL monoDib = BitmapToDIB(mono, nullptr);
    auto* monoHeader = static_cast<BITMAPINFOHEADER*>(GlobalLock(monoDib));
    EXPECT_EQ(monoHeader->biBitCount, 1);
    EXPECT_EQ(static_cast<BYTE*>(FindDIBBits(monoHeader)),
              reinterpret_cast<BYTE*>(monoHeader) + 48);
    GlobalUnlock(monoDib);
    HBITMAP monoBack = BitmapFromDib(monoDib, nullptr);
    EXPECT_EQ(platform::gdi::ImageOf(monoBack), platform::gdi::ImageOf(mono));
    HPALETTE two = CreateDibPalette(monoDib);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(GetPaletteEntries(two, 0, 0, nullptr), 2u);
    for (HGDIOBJ o : {reinterpret_cast<HGDIOBJ>(colour), reinterpret_cast<HGDIOBJ>(back),
                      reinterpret_cast<HGDIOBJ>(mono), reinterpret_cast<HGDIOBJ>(monoBack),
                      reinterpret_cast<HGDIOBJ>(two)}) {
        DeleteObject(o);
    }
    DestroyDIB(monoDib);
}

TEST(PackedDibs, TheColourTableBecomesThePalette) {
    std::vector<BYTE> bytes(40 + 3 * 4 + 4, 0);
    BITMAPINFOHEADER h{40, 2, 1, 1, 8, BI_RGB, 0, 0, 0, 3, 0};
    std::memcpy(bytes.data(), &h, 40);
    const BYTE table[12] = {255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0};  // blue, green, red
    std::memcpy(bytes.data() + 40, table, 12);
    bytes[52] = 2;  // red, blue
    bytes[53] = 0;
    HGLOBAL dib = Block(bytes);
    HPALETTE palette = CreateDibPalette(dib);
    ASSERT_NE(palette, nullptr);
    PALETTEENTRY e[3];
    ASSERT_EQ(GetPaletteEntries(palette, 0, 3, e), 3u);
    EXPECT_EQ(e[0].peBlue, 255);
    EXPECT_EQ(e[2].peRed, 255);
    HBITMAP bitmap = BitmapFromDib(dib, palette);
    EXPECT_EQ(platform::gdi::ImageOf(bitmap).pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(platform::gdi::ImageOf(bitmap).pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(BitmapFromDib(dib, reinterpret_cast<HPALETTE>(bitmap)), nullptr)
        << "a bitmap is no palette";
    DeleteObject(bitmap);
    DeleteObject(palette);
    GlobalFree(dib);
    HPALETTE system = GetSystemPalette();
    EXPECT_EQ(GetPaletteEntries(system, 0, 0, nullptr), 256u);
    DeleteObject(system);
}

TEST(PackedDibs, BlocksThatCannotBeReadGiveNoBitmapAndStayTheCallers) {
    BITMAPINFOHEADER h{40, 1000, 1000, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> claims(40 + 64, 0);
    std::memcpy(claims.data(), &h, 40);
    HGLOBAL dib = Block(claims);
    EXPECT_EQ(BitmapFromDib(dib, nullptr), nullptr) << "bits past the end of the block";
    EXPECT_EQ(GlobalSize(dib), claims.size());
    GlobalFree(dib);
    EXPECT_EQ(BitmapFromDib(dib, nullptr), nullptr) << "a freed block";
    EXPECT_EQ(BitmapFromDib(nullptr, nullptr), nullptr);
    // Random bytes behind a plausible header never read past the block.
    std::mt19937 random(13);
    for (int round = 0; round < 200; ++round) {
        std::vector<BYTE> bytes(8 + random() % 200);
        for (BYTE& b : bytes) b = static_cast<BYTE>(random());
        if (round % 2) {
            BITMAPINFOHEADER g{40,
                               LONG(random() % 9),
                               LONG(random() % 9) - 4,
                               1,
                               WORD(std::vector<int>{1, 4, 8, 16, 24, 32}[random() % 6]),
                               DWORD(random() % 4),
                               DWORD(random() % 64),
                               0,
                               0,
                               DWORD(random() % 4),
                               0};
            if (bytes.size() >= 40) std::memcpy(bytes.data(), &g, 40);
        }
        HGLOBAL block = Block(bytes);
        HBITMAP b = BitmapFromDib(block, nullptr);
        if (b) DeleteObject(b);
        GlobalFree(block);
    }
}
