#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"

TEST(Regions, UniteRectanglesThatExcludeTheirRightAndBottomEdges) {
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    RECT box;
    EXPECT_EQ(GetRgnBox(shape, &box), NULLREGION);
    // Two runs of one row and one run of the next, as a window shape is built from a picture.
    HRGN runs[] = {CreateRectRgn(2, 0, 5, 1), CreateRectRgn(7, 0, 9, 1), CreateRectRgn(2, 1, 9, 2)};
    EXPECT_EQ(CombineRgn(shape, shape, runs[0], RGN_OR), SIMPLEREGION);
    EXPECT_EQ(CombineRgn(shape, shape, runs[1], RGN_OR), COMPLEXREGION);
    EXPECT_EQ(CombineRgn(shape, shape, runs[2], RGN_OR), COMPLEXREGION);
    for (HRGN r : runs) EXPECT_TRUE(DeleteObject(r));

    EXPECT_TRUE(PtInRegion(shape, 2, 0));
    EXPECT_TRUE(PtInRegion(shape, 4, 0));
    EXPECT_FALSE(PtInRegion(shape, 5, 0));
    EXPECT_FALSE(PtInRegion(shape, 6, 0));
    EXPECT_TRUE(PtInRegion(shape, 8, 1));
    EXPECT_FALSE(PtInRegion(shape, 9, 1));
    EXPECT_FALSE(PtInRegion(shape, 2, 2));
    EXPECT_EQ(GetRgnBox(shape, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 9);
    EXPECT_EQ(box.bottom, 2);

    auto area = platform::gdi::RegionOf(shape);
    ASSERT_TRUE(area);
    EXPECT_EQ(area->boundingRect(), QRect(2, 0, 7, 2));
    EXPECT_TRUE(DeleteObject(shape));
    EXPECT_FALSE(platform::gdi::RegionOf(shape));
    EXPECT_FALSE(DeleteObject(shape));
}

TEST(Regions, CombineInEveryMode) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 0, 15, 10);  // corners given in any order are the same rectangle
    HRGN out = CreateRectRgn(15, 10, 5, 0);
    EXPECT_TRUE(EqualRgn(b, out));
    struct Case {
        int mode, type;
        bool in2, in7, in12;
    } cases[] = {{RGN_AND, SIMPLEREGION, false, true, false},
                 {RGN_OR, SIMPLEREGION, true, true, true},
                 {RGN_XOR, COMPLEXREGION, true, false, true},
                 {RGN_DIFF, SIMPLEREGION, true, false, false},
                 {RGN_COPY, SIMPLEREGION, true, true, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(CombineRgn(out, a, b, c.mode), c.type) << c.mode;
        EXPECT_EQ(PtInRegion(out, 2, 5), c.in2) << c.mode;
        EXPECT_EQ(PtInRegion(out, 7, 5), c.in7) << c.mode;
        EXPECT_EQ(PtInRegion(out, 12, 5), c.in12) << c.mode;
    }
    EXPECT_EQ(CombineRgn(out, a, b, 9), ERROR);
    EXPECT_EQ(OffsetRgn(a, 100, 0), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(a, 100, 0));
    for (HRGN r : {a, b, out}) DeleteObject(r);
}

TEST(Regions, AreEqualWhenTheyCoverTheSamePixelsHoweverTheyAreCut) {
    // One 2 x 2 square, made once as one rectangle and once as two rows.
    HRGN whole = CreateRectRgn(0, 0, 2, 2);
    HRGN rows = CreateRectRgn(0, 0, 2, 1);
    HRGN second = CreateRectRgn(0, 1, 2, 2);
    CombineRgn(rows, rows, second, RGN_OR);
    EXPECT_TRUE(EqualRgn(whole, rows));
    HRGN other = CreateRectRgn(0, 0, 2, 3);
    EXPECT_FALSE(EqualRgn(whole, other));
    for (HRGN r : {whole, rows, second, other}) DeleteObject(r);
}
