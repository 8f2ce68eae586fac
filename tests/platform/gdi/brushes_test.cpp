// Hatch and pattern brushes: their patterns, gaps and alignment.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gdi_canvas.h"

using Grid = std::vector<std::string>;

TEST(Brushes, TheSixHatchesAndTheirGaps) {
    const Grid expected[6] = {
        {"########", "........", "........", "........", "........", "........", "........",
         "........"},
        {"#.......", "#.......", "#.......", "#.......", "#.......", "#.......", "#.......",
         "#......."},
        {"#.......", ".#......", "..#.....", "...#....", "....#...", ".....#..", "......#.",
         ".......#"},
        {".......#", "......#.", ".....#..", "....#...", "...#....", "..#.....", ".#......",
         "#......."},
        {"########", "#.......", "#.......", "#.......", "#.......", "#.......", "#.......",
         "#......."},
        {"#......#", ".#....#.", "..#..#..", "...##...", "...##...", "..#..#..", ".#....#.",
         "#......#"},
    };
    for (int hatch = HS_HORIZONTAL; hatch <= HS_DIAGCROSS; ++hatch) {
        MemCanvas canvas(8, 8);
        HBRUSH brush = CreateHatchBrush(hatch, RGB(0, 0, 0));
        HGDIOBJ old = SelectObject(canvas.dc(), brush);
        ASSERT_TRUE(PatBlt(canvas.dc(), 0, 0, 8, 8, PATCOPY));
        EXPECT_EQ(canvas.Rows(kInk), expected[hatch]) << "hatch " << hatch;

        // A shape's gaps take the background colour in OPAQUE mode and stay in TRANSPARENT mode.
        for (int mode : {OPAQUE, TRANSPARENT}) {
            canvas.Fill(RGB(0, 255, 0));
            SetBkMode(canvas.dc(), mode);
            SetBkColor(canvas.dc(), RGB(255, 255, 255));
            SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
            Rectangle(canvas.dc(), 0, 0, 9, 9);
            Grid rows = canvas.Rows({{RGB(255, 255, 255), '.'},
                                     {RGB(0, 0, 0), '#'},
                                     {RGB(0, 255, 0), mode == OPAQUE ? '?' : '.'}});
            EXPECT_EQ(rows, expected[hatch]) << "hatch " << hatch << " mode " << mode;
        }
        SelectObject(canvas.dc(), old);
        DeleteObject(brush);
    }
}

TEST(Brushes, PatternsTileFromTheBrushOriginInDeviceCoordinates) {
    // A 4 x 4 pattern with its corner pixel black.
    HBITMAP pattern = CreateBitmap(4, 4, 1, 32, nullptr);
    HDC p = CreateCompatibleDC(nullptr);
    HGDIOBJ oldP = SelectObject(p, pattern);
    PatBlt(p, 0, 0, 4, 4, WHITENESS);
    SetPixel(p, 0, 0, RGB(0, 0, 0));
    SelectObject(p, oldP);
    DeleteDC(p);
    HBRUSH brush = CreatePatternBrush(pattern);
    ASSERT_TRUE(DeleteObject(pattern)) << "the brush keeps its own copy";

    MemCanvas canvas(9, 6);
    HGDIOBJ old = SelectObject(canvas.dc(), brush);
    RECT area{1, 1, 9, 6};
    FillRect(canvas.dc(), &area, brush);
    EXPECT_EQ(canvas.Rows(kInk), (Grid{".........",  //
                                       ".........",  //
                                       ".........",  //
                                       ".........",  //
                                       "....#...#",  //
                                       "........."}));
    SetBrushOrgEx(canvas.dc(), 1, 1, nullptr);
    FillRect(canvas.dc(), &area, brush);
    EXPECT_EQ(canvas.Rows(kInk), (Grid{".........",  //
                                       ".#...#...",  //
                                       ".........",  //
                                       ".........",  //
                                       ".........",  //
                                       ".#...#..."}));
    SelectObject(canvas.dc(), old);
    DeleteObject(brush);
}

TEST(Brushes, MonochromePatternsTakeTheBackgroundAndTextColours) {
    // Rows 0xAA 0x55 ...: a checkerboard of set (white) and clear (black) bits.
    const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(bits);
    DeleteObject(bits);
    MemCanvas canvas(2, 2);
    SetBkColor(canvas.dc(), RGB(255, 0, 0));
    SetTextColor(canvas.dc(), RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(canvas.dc(), brush);
    PatBlt(canvas.dc(), 0, 0, 2, 2, PATCOPY);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0)) << "a set bit";
    EXPECT_EQ(canvas.At(1, 0), RGB(0, 0, 255)) << "a clear bit";
    EXPECT_EQ(canvas.At(0, 1), RGB(0, 0, 255));
    SelectObject(canvas.dc(), old);
    EXPECT_TRUE(UnrealizeObject(brush));
    DeleteObject(brush);
}
