// Transfers with the ternary raster operations, stretching, clipping and coordinates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gdi_canvas.h"

using Grid = std::vector<std::string>;

TEST(Transfers, EveryTernaryOperationFollowsItsCode) {
    // Pattern 0xF0, source 0xCC and destination 0xAA in every channel give the operation's index
    // byte itself.
    MemCanvas source(1, 1, RGB(0xCC, 0xCC, 0xCC));
    MemCanvas dest(1, 1);
    HBRUSH pattern = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
    HGDIOBJ old = SelectObject(dest.dc(), pattern);
    for (DWORD code = 0; code < 256; ++code) {
        dest.Fill(RGB(0xAA, 0xAA, 0xAA));
        ASSERT_TRUE(BitBlt(dest.dc(), 0, 0, 1, 1, source.dc(), 0, 0, code << 16)) << code;
        BYTE b = static_cast<BYTE>(code);
        EXPECT_EQ(dest.At(0, 0), RGB(b, b, b)) << "operation " << code;
    }
    SelectObject(dest.dc(), old);
    DeleteObject(pattern);
}

TEST(Transfers, StretchingTakesThePixelUnderEachCentreAndMirrorsANegativeSize) {
    MemCanvas source(2, 1);
    SetPixel(source.dc(), 0, 0, RGB(0, 0, 0));
    MemCanvas dest(6, 2);
    ASSERT_TRUE(StretchBlt(dest.dc(), 0, 0, 6, 2, source.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dest.Rows(kInk), (Grid{"###...", "###..."}));
    ASSERT_TRUE(StretchBlt(dest.dc(), 6, 0, -6, 1, source.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dest.Rows(kInk)[0], "...###");
    // Shrinking keeps every other pixel.
    MemCanvas stripes(4, 1);
    SetPixel(stripes.dc(), 1, 0, 0);
    SetPixel(stripes.dc(), 3, 0, 0);
    MemCanvas half(2, 1);
    StretchBlt(half.dc(), 0, 0, 2, 1, stripes.dc(), 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(half.Rows(kInk)[0], "##");
}

TEST(Transfers, TheClipRegionAndTheOriginsBoundWhatIsDrawn) {
    MemCanvas canvas(6, 4);
    HRGN clip = CreateRectRgn(1, 1, 4, 3);
    EXPECT_EQ(SelectClipRgn(canvas.dc(), clip), SIMPLEREGION);
    DeleteObject(clip);  // the context keeps a copy
    PatBlt(canvas.dc(), 0, 0, 6, 4, BLACKNESS);
    EXPECT_EQ(canvas.Rows(kInk), (Grid{"......", ".###..", ".###..", "......"}));
    RECT box;
    EXPECT_EQ(GetClipBox(canvas.dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(SetPixel(canvas.dc(), 0, 0, 0), CLR_INVALID) << "outside the clip region";
    ExcludeClipRect(canvas.dc(), 2, 1, 3, 3);
    PatBlt(canvas.dc(), 0, 0, 6, 4, WHITENESS);
    EXPECT_EQ(canvas.Rows(kInk), (Grid{"......", "..#...", "..#...", "......"}));
    SelectClipRgn(canvas.dc(), nullptr);

    // The viewport origin moves logical (0, 0); SaveDC and RestoreDC bring it back.
    canvas.Fill(RGB(255, 255, 255));
    int level = SaveDC(canvas.dc());
    ASSERT_GT(level, 0);
    SetViewportOrgEx(canvas.dc(), 2, 1, nullptr);
    SetBkColor(canvas.dc(), RGB(1, 2, 3));
    SetPixel(canvas.dc(), 0, 0, 0);
    EXPECT_EQ(canvas.At(-2, -1), RGB(255, 255, 255)) << "logical (-2, -1) is device (0, 0)";
    ASSERT_TRUE(RestoreDC(canvas.dc(), -1));
    EXPECT_EQ(canvas.At(2, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(canvas.dc()), RGB(255, 255, 255));
    POINT org;
    GetViewportOrgEx(canvas.dc(), &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_FALSE(RestoreDC(canvas.dc(), -1)) << "nothing saved any more";
}

TEST(Transfers, OneBitmapCopiesOntoItselfAsIfFromACopy) {
    MemCanvas canvas(5, 1);
    SetPixel(canvas.dc(), 0, 0, 0);
    SetPixel(canvas.dc(), 1, 0, 0);
    ASSERT_TRUE(BitBlt(canvas.dc(), 1, 0, 4, 1, canvas.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.Rows(kInk)[0], "###..");
}
