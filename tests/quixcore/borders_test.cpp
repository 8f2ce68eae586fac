// Bevelled borders: every style against its reference, the sides and corners, the room they take.
#include <gtest/gtest.h>

#include <string>

#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"
#include "tests/support/reference_image.h"

namespace {

const RECT kBox{0, 0, 120, 80};
const COLORREF kGrey = RGB(192, 192, 192);
const COLORREF kDark = RGB(128, 128, 128), kLight = RGB(255, 255, 255);

short Border(HDC dc, short outer, short outerWidth, short inner, short innerWidth, short border,
             short leaveLine = 0) {
    return DrawBorder(dc, &kBox, 0, outer, outerWidth, kDark, kLight, inner, innerWidth,
                      RGB(0, 0, 128), RGB(0, 255, 255), border, RGB(0, 0, 0), leaveLine, 0, 0, 0);
}

}  // namespace

TEST(Borders, EveryBevelStyleMatchesItsReference) {
    for (short style = 1; style <= 6; ++style) {
        MemCanvas canvas(120, 80, kGrey);
        ASSERT_EQ(Border(canvas.dc(), style, 6, style, 4, 2), QUIX_OK);
        EXPECT_TRUE(testing_support::MatchesReference(canvas.Image(),
                                                      "quixcore/bevel-" + std::to_string(style)))
            << style;
    }
}

TEST(Borders, InsetAndRaisedColourTheSidesAndGiveTheCornersToTheBottomRight) {
    struct Case {
        short style;
        COLORREF topLeft, bottomRight;
    } cases[] = {{QUIX_BEVEL_Inset, kDark, kLight}, {QUIX_BEVEL_Raised, kLight, kDark}};
    for (const Case& c : cases) {
        MemCanvas canvas(120, 80, kGrey);
        Border(canvas.dc(), c.style, 3, 0, 1, 0);
        EXPECT_EQ(canvas.At(0, 40), c.topLeft);
        EXPECT_EQ(canvas.At(2, 40), c.topLeft);
        EXPECT_EQ(canvas.At(60, 0), c.topLeft);
        EXPECT_EQ(canvas.At(119, 40), c.bottomRight);
        EXPECT_EQ(canvas.At(60, 79), c.bottomRight);
        EXPECT_EQ(canvas.At(119, 0), c.bottomRight) << "the top-right corner";
        EXPECT_EQ(canvas.At(0, 79), c.bottomRight) << "the bottom-left corner";
        EXPECT_EQ(canvas.At(2, 77), c.bottomRight) << "the third ring's bottom-left corner";
        EXPECT_EQ(canvas.At(3, 40), kGrey) << "three rings only";
    }
}

TEST(Borders, TheFlatThirdsAndTheGradientRings) {
    MemCanvas thirds(120, 80, kGrey);
    Border(thirds.dc(), QUIX_BEVEL_Color_1_2_1, 6, 0, 1, 0);
    for (int k = 0; k < 6; ++k) {
        COLORREF want = (3 * k / 6 == 1) ? kLight : kDark;
        EXPECT_EQ(thirds.At(k, 40), want) << k;
        EXPECT_EQ(thirds.At(119 - k, 40), want) << k;
    }
    MemCanvas graded(120, 80, kGrey);
    Border(graded.dc(), QUIX_BEVEL_InsetGradient, 4, 0, 1, 0);
    // Ring k is mixed toward the mean (191) by k / 4.
    const int expect[4] = {128, 128 + 63 / 4, 128 + 63 * 2 / 4, 128 + 63 * 3 / 4};
    for (int k = 0; k < 4; ++k) {
        BYTE v = static_cast<BYTE>(expect[k]);
        EXPECT_EQ(graded.At(k, 40), RGB(v, v, v)) << k;
    }
}

TEST(Borders, TheInnerBevelLiesInsideTheOuterBevelAndTheBorderLine) {
    MemCanvas canvas(120, 80, kGrey);
    Border(canvas.dc(), QUIX_BEVEL_Inset, 3, QUIX_BEVEL_Raised, 2, 4);
    EXPECT_EQ(canvas.At(3, 40), RGB(0, 0, 0)) << "the border line after the outer bevel";
    EXPECT_EQ(canvas.At(6, 40), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(7, 40), RGB(0, 255, 255)) << "the inner bevel's top-left colour";
    EXPECT_EQ(canvas.At(9, 40), kGrey);
    // Left to the caller, the line's place stays; an outer style 0 takes no room.
    MemCanvas gap(120, 80, kGrey);
    Border(gap.dc(), QUIX_BEVEL_Inset, 3, QUIX_BEVEL_Raised, 2, 4, 1);
    EXPECT_EQ(gap.At(3, 40), kGrey);
    EXPECT_EQ(gap.At(7, 40), RGB(0, 255, 255));
    MemCanvas noOuter(120, 80, kGrey);
    Border(noOuter.dc(), QUIX_BEVEL_None, 3, QUIX_BEVEL_Raised, 2, 0);
    EXPECT_EQ(noOuter.At(0, 40), RGB(0, 255, 255));
}

TEST(Borders, StylesOutsideTheCatalogueAndForeignContextsAreRefused) {
    MemCanvas canvas(120, 80, kGrey);
    EXPECT_EQ(Border(canvas.dc(), 7, 3, 0, 1, 0), QUIX_E_ARGUMENT);
    EXPECT_EQ(Border(canvas.dc(), 1, 3, -1, 1, 0), QUIX_E_ARGUMENT);
    EXPECT_EQ(InkBox(canvas.Image(), qRgb(192, 192, 192)), QRect()) << "nothing drawn";
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    EXPECT_EQ(Border(gone, 1, 3, 0, 1, 0), QUIX_E_HANDLE);
}
