#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"

namespace {

// A 3 x 2 picture: white, red, blue / black, white, green.
QImage Picture() {
    QImage image(3, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 255, 255));
    image.setPixel(1, 0, qRgb(255, 0, 0));
    image.setPixel(2, 0, qRgb(0, 0, 255));
    image.setPixel(0, 1, qRgb(0, 0, 0));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    image.setPixel(2, 1, qRgb(0, 255, 0));
    return image;
}

}  // namespace

TEST(Bitmaps, AreReadPixelByPixelThroughAMemoryContext) {
    HBITMAP bitmap = platform::gdi::BitmapFromImage(Picture());
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(0, 0, 255));  // colours read as 0x00BBGGRR
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 3, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 0, -1), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, 0, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(1, 2, 3));

    BITMAP bm;
    ASSERT_EQ(GetObject(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidthBytes, 12);

    // A selected bitmap cannot be deleted nor selected elsewhere.
    EXPECT_FALSE(DeleteObject(bitmap));
    HDC other = CreateCompatibleDC(dc);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    DeleteDC(other);
    EXPECT_EQ(SelectObject(dc, old), reinterpret_cast<HGDIOBJ>(bitmap));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(Bitmaps, TransferBetweenColourAndMonochromeByTheContextColours) {
    HBITMAP colour = platform::gdi::BitmapFromImage(Picture());
    HBITMAP mono = CreateBitmap(3, 2, 1, 1, nullptr);
    BITMAP bm;
    GetObject(mono, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 2);
    HDC src = CreateCompatibleDC(nullptr);
    HDC dst = CreateCompatibleDC(nullptr);
    HGDIOBJ oldSrc = SelectObject(src, colour);
    HGDIOBJ oldDst = SelectObject(dst, mono);

    // Pixels of the source's background colour become white, all others black.
    SetBkColor(src, RGB(255, 255, 255));
    ASSERT_TRUE(BitBlt(dst, 0, 0, 3, 2, src, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dst, 1, 0), 0u);
    EXPECT_EQ(GetPixel(dst, 0, 1), 0u);
    EXPECT_EQ(GetPixel(dst, 1, 1), RGB(255, 255, 255));
    // A monochrome context holds only black and white.
    EXPECT_EQ(SetPixel(dst, 2, 1, RGB(200, 200, 200)), RGB(255, 255, 255));

    // Back to colour: white takes the destination's background colour, black its text colour.
    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
    SelectObject(src, mono);
    SelectObject(dst, colour);
    SetBkColor(dst, RGB(10, 20, 30));
    SetTextColor(dst, RGB(40, 50, 60));
    ASSERT_TRUE(BitBlt(dst, 1, 0, 2, 2, src, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst, 0, 0), RGB(255, 255, 255)) << "outside the target area";
    EXPECT_EQ(GetPixel(dst, 1, 0), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dst, 2, 0), RGB(40, 50, 60));
    EXPECT_EQ(GetPixel(dst, 1, 1), RGB(40, 50, 60));
    EXPECT_EQ(GetPixel(dst, 2, 1), RGB(10, 20, 30));

    // Raster operations combine pattern, source and destination bit by bit.
    HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0x0F, 0x00));
    HGDIOBJ oldBrush = SelectObject(dst, brush);
    ASSERT_TRUE(PatBlt(dst, 0, 0, 1, 1, PATINVERT));  // white xor pattern
    EXPECT_EQ(GetPixel(dst, 0, 0), RGB(0x0F, 0xF0, 0xFF));
    ASSERT_TRUE(PatBlt(dst, 0, 0, 1, 1, DSTINVERT));
    EXPECT_EQ(GetPixel(dst, 0, 0), RGB(0xF0, 0x0F, 0x00));
    ASSERT_TRUE(PatBlt(dst, 0, 1, 3, 1, WHITENESS));
    EXPECT_EQ(GetPixel(dst, 2, 1), RGB(255, 255, 255));
    EXPECT_FALSE(PatBlt(dst, 0, 0, 1, 1, SRCCOPY)) << "needs a source";
    SelectObject(dst, oldBrush);
    DeleteObject(brush);

    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
    DeleteDC(src);
    DeleteDC(dst);
    DeleteObject(colour);
    DeleteObject(mono);
}

TEST(Bitmaps, AreMadeFromRowsOfBitsOrCompatibleWithAContext) {
    // 2 x 2 monochrome, rows padded to 16 bits: white black / black white.
    const unsigned char bits[] = {0x80, 0x00, 0x40, 0x00};
    HBITMAP mono = CreateBitmap(2, 2, 1, 1, bits);
    QImage image = platform::gdi::ImageOf(mono);
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(1, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.pixel(1, 1) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_TRUE(platform::gdi::IsMonochrome(mono));

    const unsigned char bgr[] = {0x30, 0x20, 0x10, 0, 0, 0, 0, 0};  // one 24-bit pixel per row
    HBITMAP colour = CreateBitmap(1, 2, 1, 24, bgr);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_TRUE(
        platform::gdi::IsMonochrome(reinterpret_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP))));
    HBITMAP compatible = CreateCompatibleBitmap(dc, 4, 4);
    EXPECT_TRUE(platform::gdi::IsMonochrome(compatible)) << "a new memory context is monochrome";
    HGDIOBJ old = SelectObject(dc, colour);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x10, 0x20, 0x30));
    HBITMAP second = CreateCompatibleBitmap(dc, 4, 4);
    EXPECT_FALSE(platform::gdi::IsMonochrome(second));
    SelectObject(dc, old);
    EXPECT_EQ(CreateBitmap(0, 5, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(5, 5, 2, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(100000, 5, 1, 32, nullptr), nullptr);
    for (HBITMAP b : {mono, colour, compatible, second}) EXPECT_TRUE(DeleteObject(b));
    DeleteDC(dc);
}

TEST(Bitmaps, ANewBitmapIsFilledAlsoWhenItTakesTheBufferOfAnEndedOne) {
    for (int round = 0; round < 3; ++round) {
        HBITMAP b = CreateBitmap(300, 200, 1, 32, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, b);
        EXPECT_EQ(GetPixel(dc, 150, 100), 0u) << "black, round " << round;
        PatBlt(dc, 0, 0, 300, 200, WHITENESS);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(b);
    }
    HBITMAP mono = CreateBitmap(300, 200, 1, 1, nullptr);
    EXPECT_EQ(platform::gdi::ImageOf(mono).pixel(0, 0), qRgb(0, 0, 0));
    DeleteObject(mono);
}
