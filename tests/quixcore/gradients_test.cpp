// Gradients: every style against its reference picture, and the bands between the two colours.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"
#include "tests/support/reference_image.h"

namespace {

const RECT kBox{0, 0, 120, 80};

QImage Gradient(short style, short steps, COLORREF c1 = RGB(255, 0, 0),
                COLORREF c2 = RGB(0, 0, 255)) {
    HBITMAP b = GetGradientBitmap(nullptr, &kBox, 0, style, steps, c1, c2);
    QImage image = platform::gdi::ImageOf(b);
    DeleteObject(b);
    return image;
}

}  // namespace

TEST(Gradients, EveryStyleMatchesItsReference) {
    for (short style = 0; style <= 19; ++style) {
        char name[64];
        std::snprintf(name, sizeof name, "quixcore/gradient-%02d", style);
        EXPECT_TRUE(testing_support::MatchesReference(Gradient(style, 8), name)) << style;
    }
}

TEST(Gradients, RunInStepsBandsFromTheFirstColourToTheSecond) {
    for (short steps : {1, 2, 7, 16, 256}) {
        QImage image = Gradient(QUIX_GS_LeftToRight, steps, RGB(0, 0, 0), RGB(250, 100, 10));
        std::set<QRgb> colours;
        for (int x = 0; x < 120; ++x) colours.insert(image.pixel(x, 40));
        EXPECT_EQ(static_cast<int>(colours.size()), std::min<int>(steps, 120)) << steps;
        EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
        if (steps <= 120) {  // the last column lies in the last band
            EXPECT_EQ(image.pixel(119, 79), steps == 1 ? qRgb(0, 0, 0) : qRgb(250, 100, 10));
        }
    }
    // The bands are the same size: 120 columns in 4 steps are 30 each.
    QImage four = Gradient(QUIX_GS_LeftToRight, 4);
    EXPECT_EQ(four.pixel(29, 0), four.pixel(0, 0));
    EXPECT_NE(four.pixel(30, 0), four.pixel(29, 0));
    // Reversed courses put the first colour at the other side.
    EXPECT_EQ(Gradient(QUIX_GS_BottomToTop, 4).pixel(0, 79), qRgb(255, 0, 0));
    EXPECT_EQ(Gradient(QUIX_GS_CenterToOutside, 4).pixel(60, 40), qRgb(255, 0, 0));
    EXPECT_EQ(Gradient(QUIX_GS_OutsideToCenter, 4).pixel(60, 40), qRgb(0, 0, 255));
    EXPECT_EQ(Gradient(QUIX_GS_Diagonal_BLTR, 4).pixel(0, 79), qRgb(255, 0, 0));
}

TEST(Gradients, AStyleOutsideTheCatalogueOrAnEmptyBoxMakesNoBitmap) {
    EXPECT_EQ(GetGradientBitmap(nullptr, &kBox, 0, 20, 8, 0, 0), nullptr);
    EXPECT_EQ(GetGradientBitmap(nullptr, &kBox, 0, -1, 8, 0, 0), nullptr);
    RECT empty{5, 5, 5, 9};
    EXPECT_EQ(GetGradientBitmap(nullptr, &empty, 0, 0, 8, 0, 0), nullptr);
    HBRUSH notDc = CreateSolidBrush(0);
    EXPECT_EQ(GetGradientBitmap(reinterpret_cast<HDC>(notDc), &kBox, 0, 0, 8, 0, 0), nullptr);
    DeleteObject(notDc);
}

TEST(Gradients, TheTranslucentGradientMixesWithWhatLiesBeneathInTheUpdateArea) {
    MemCanvas canvas(120, 80, RGB(0, 200, 100));
    BOOL canceled = FALSE;
    short error = 7;
    RECT update{10, 10, 30, 20};  // (10, 10) to (30, 20) from the rectangle's corner
    ASSERT_EQ(DoGradientTransition(canvas.dc(), &kBox, 0, QUIX_GS_LeftToRight, 1, RGB(200, 0, 0),
                                   RGB(200, 0, 0), 5, 0, 0, 1, FALSE, 0, 5, "", 0, &canceled,
                                   &error, 1, 0, 0, 0, 1, &update, TRUE),
              QUIX_OK);
    EXPECT_EQ(error, 7) << "success leaves the error as it was";
    EXPECT_EQ(canvas.At(10, 10), RGB(100, 100, 50));
    EXPECT_EQ(canvas.At(29, 19), RGB(100, 100, 50));
    EXPECT_EQ(canvas.At(30, 19), RGB(0, 200, 100));
    EXPECT_EQ(canvas.At(9, 10), RGB(0, 200, 100));
    EXPECT_EQ(DoGradientTransition(canvas.dc(), &kBox, 0, 25, 8, 0, 0, 5, 0, 0, 1, FALSE, 0, 5, "",
                                   0, &canceled, &error, 0, 0, 0, 0, 0, nullptr, TRUE),
              QUIX_E_ARGUMENT);
    EXPECT_EQ(error, QUIX_E_ARGUMENT);
}
