// Device-independent bitmaps: reading every depth and compression, writing, packed blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/support/gdi_canvas.h"

namespace {

// A BITMAPINFO with room for 256 colours.
struct Info {
    BITMAPINFOHEADER header{};
    RGBQUAD colors[256]{};
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

Info Header(int w, int h, int bits, DWORD compression = BI_RGB) {
    Info info;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = w;
    info.header.biHeight = h;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = compression;
    return info;
}

}  // namespace

TEST(Dibs, EveryDepthRoundTripsThroughGetAndSetDIBits) {
    // Four pixels of the writer's colours for each depth: black, white, and two that every
    // depth's table holds (the static red and green).
    const COLORREF colours[4] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 255, 0)};
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        MemCanvas source(4, 2);
        for (int x = 0; x < 4; ++x) SetPixel(source.dc(), x, 1, colours[bits == 1 ? x % 2 : x]);
        Info info = Header(4, 2, bits);
        std::vector<BYTE> buffer(64, 0);
        ASSERT_EQ(GetDIBits(source.dc(), source.bitmap(), 0, 2, buffer.data(), info.get(),
                            DIB_RGB_COLORS),
                  2)
            << bits;
        MemCanvas back(4, 2, RGB(9, 9, 9));
        HGDIOBJ old = SelectObject(back.dc(), GetStockObject(WHITE_BRUSH));
        ASSERT_EQ(
            SetDIBits(back.dc(), back.bitmap(), 0, 2, buffer.data(), info.get(), DIB_RGB_COLORS),
            2);
        SelectObject(back.dc(), old);
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(back.At(x, 1), colours[bits == 1 ? x % 2 : x]) << bits << " bits, " << x;
            EXPECT_EQ(back.At(x, 0), RGB(255, 255, 255)) << "the top row stays";
        }
    }
}

TEST(Dibs, RunLengthBitsAndTopDownRowsAreRead) {
    Info info = Header(4, 2, 8, BI_RLE8);
    info.header.biClrUsed = 2;
    info.colors[1] = RGBQUAD{0, 0, 255, 0};  // red
    // Bottom row: 3 pixels of colour 1, end of line; top row: absolute run 0 1 1 0, end.
    const BYTE rle[] = {3, 1, 0, 0, 0, 4, 0, 1, 1, 0, 0, 1};
    info.header.biSizeImage = sizeof rle;
    MemCanvas canvas(4, 2);
    ASSERT_EQ(
        SetDIBitsToDevice(canvas.dc(), 0, 0, 4, 2, 0, 0, 0, 2, rle, info.get(), DIB_RGB_COLORS), 2);
    std::map<COLORREF, char> ink = {{RGB(255, 0, 0), 'r'}, {RGB(0, 0, 0), 'k'}};
    EXPECT_EQ(canvas.Rows(ink), (std::vector<std::string>{"krrk", "rrrk"}));

    Info top = Header(2, -2, 24);
    const BYTE rows[] = {0, 0, 255, 0, 0,   0, 0, 0,  // red black, padded to 8 bytes
                         0, 0, 0,   0, 255, 0, 0, 0};
    MemCanvas twice(4, 4);
    ASSERT_GT(
        StretchDIBits(twice.dc(), 0, 0, 4, 4, 0, 0, 2, 2, rows, top.get(), DIB_RGB_COLORS, SRCCOPY),
        0);
    EXPECT_EQ(twice.At(0, 0), RGB(255, 0, 0)) << "a top-down DIB's first row is the top";
    EXPECT_EQ(twice.At(3, 3), RGB(0, 255, 0));
}

TEST(Dibs, PackedBlocksAreReadWithinTheirSizeOnly) {
    Info info = Header(2, 2, 24);
    std::vector<BYTE> packed(sizeof(BITMAPINFOHEADER) + 16, 0);
    std::memcpy(packed.data(), &info.header, sizeof info.header);
    packed[sizeof(BITMAPINFOHEADER) + 2] = 255;  // bottom-left red
    auto layout = platform::gdi::ParsePackedDib(packed.data(), packed.size());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->bitsOffset, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(layout->bitsSize, 16u);
    HBITMAP b = platform::gdi::BitmapFromPackedDib(packed.data(), packed.size());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(platform::gdi::ImageOf(b).pixel(0, 1), qRgb(255, 0, 0));
    DeleteObject(b);
    EXPECT_FALSE(platform::gdi::ParsePackedDib(packed.data(), packed.size() - 1)) << "cut short";
    EXPECT_EQ(platform::gdi::BitmapFromPackedDib(packed.data(), packed.size() - 1), nullptr);
    // Headers that are not read: a bad size, planes, depth or compression.
    for (auto spoil :
         {+[](BITMAPINFOHEADER& h) { h.biSize = 20; }, +[](BITMAPINFOHEADER& h) { h.biPlanes = 2; },
          +[](BITMAPINFOHEADER& h) { h.biBitCount = 7; },
          +[](BITMAPINFOHEADER& h) { h.biCompression = 9; },
          +[](BITMAPINFOHEADER& h) { h.biWidth = -2; },
          +[](BITMAPINFOHEADER& h) { h.biHeight = 0; }}) {
        BITMAPINFOHEADER h = info.header;
        spoil(h);
        std::memcpy(packed.data(), &h, sizeof h);
        EXPECT_FALSE(platform::gdi::ParsePackedDib(packed.data(), packed.size()));
    }
}
