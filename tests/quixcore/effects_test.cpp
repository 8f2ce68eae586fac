// Transitions and effects: each ends with its final image on the context, at once.
#include <gtest/gtest.h>

#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"

namespace {

const RECT kBox{0, 0, 16, 8};

short Transition(HDC dc, short style, short translucent, const RECT* update = nullptr,
                 short* error = nullptr, short effect = 0) {
    BOOL canceled = FALSE;
    return DoTransition(dc, &kBox, style, 0, RGB(255, 255, 0), RGB(0, 0, 255), 5, effect, 0, 1,
                        FALSE, 0, 10, "", 0, &canceled, translucent, 0, 0, 0, update ? 1 : 0,
                        update, error, TRUE);
}

}  // namespace

TEST(Effects, TransitionsFillWithTheirStyleOpaqueOrTranslucent) {
    MemCanvas solid(16, 8, RGB(0, 0, 0));
    ASSERT_EQ(Transition(solid.dc(), 0, 0), QUIX_OK);
    EXPECT_EQ(solid.At(15, 7), RGB(255, 255, 0));
    MemCanvas hatched(16, 8, RGB(0, 0, 0));
    ASSERT_EQ(Transition(hatched.dc(), 3, 0), QUIX_OK);  // the downward diagonal
    EXPECT_EQ(hatched.At(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(hatched.At(3, 2), RGB(255, 255, 0));
    EXPECT_EQ(hatched.At(10, 2), RGB(0, 0, 255));
    MemCanvas mixed(16, 8, RGB(0, 100, 200));
    ASSERT_EQ(Transition(mixed.dc(), 0, 1), QUIX_OK);
    EXPECT_EQ(mixed.At(5, 5), RGB(127, 177, 100));
    // Every effect number ends with the same image.
    MemCanvas other(16, 8, RGB(0, 0, 0));
    ASSERT_EQ(Transition(other.dc(), 3, 0, nullptr, nullptr, 37), QUIX_OK);
    EXPECT_EQ(other.Image(), hatched.Image());
}

TEST(Effects, TheUpdateRectangleLimitsTheTransitionAndErrorsAreReported) {
    MemCanvas canvas(16, 8, RGB(0, 0, 0));
    RECT update{4, 2, 8, 4};
    short error = 5;
    ASSERT_EQ(Transition(canvas.dc(), 0, 0, &update, &error), QUIX_OK);
    EXPECT_EQ(error, 5);
    EXPECT_EQ(canvas.At(4, 2), RGB(255, 255, 0));
    EXPECT_EQ(canvas.At(7, 3), RGB(255, 255, 0));
    EXPECT_EQ(canvas.At(8, 3), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(3, 2), RGB(0, 0, 0));
    EXPECT_EQ(Transition(canvas.dc(), 7, 0, nullptr, &error), QUIX_E_ARGUMENT);
    EXPECT_EQ(error, QUIX_E_ARGUMENT);
    EXPECT_EQ(Transition(nullptr, 0, 0, nullptr, &error), QUIX_E_HANDLE);
    EXPECT_EQ(error, QUIX_E_HANDLE);
}

TEST(Effects, TheComposedImageShowsAtTheRectanglesCorner) {
    MemCanvas composed(4, 4, RGB(9, 9, 9));
    MemCanvas canvas(16, 8, RGB(0, 0, 0));
    BOOL canceled = FALSE;
    short error = 0;
    RECT at{10, 2, 16, 8};
    ASSERT_EQ(DoCaptureTransition(canvas.dc(), &at, 0, composed.bitmap(), 5, 0, 0, 0, FALSE, 0, 1,
                                  "", 0, &canceled, &error, 0, 0, 0, 0, 0, nullptr, TRUE),
              QUIX_OK);
    EXPECT_EQ(canvas.At(10, 2), RGB(9, 9, 9));
    EXPECT_EQ(canvas.At(13, 5), RGB(9, 9, 9));
    EXPECT_EQ(canvas.At(14, 5), RGB(0, 0, 0)) << "the image is only 4 x 4";
    EXPECT_EQ(DoCaptureTransition(canvas.dc(), &at, 0, nullptr, 5, 0, 0, 0, FALSE, 0, 1, "", 0,
                                  &canceled, &error, 0, 0, 0, 0, 0, nullptr, TRUE),
              QUIX_E_NOIMAGE);
    EXPECT_EQ(error, QUIX_E_NOIMAGE);
    EXPECT_FALSE(canceled);
}

TEST(Effects, TheEffectCopyUsesTheRasterOperationAndTheDissolvePattern) {
    MemCanvas image(8, 8, RGB(255, 0, 0));
    MemCanvas screen(8, 8, RGB(0, 0, 255));
    BOOL canceled = FALSE;
    // A dissolve pass: where the pattern bit is set the image replaces the screen.
    const WORD checker[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, checker);
    HBRUSH brush = CreatePatternBrush(bits);
    HGDIOBJ old = SelectObject(screen.dc(), brush);
    SetBkColor(screen.dc(), RGB(255, 255, 255));
    ASSERT_EQ(BltEffect(screen.dc(), 0, 0, image.dc(), 0, 0, 8, 8, 5, 12, 0, 0xCA0749, nullptr, 0,
                        FALSE, 0, 1, "", 0, &canceled),
              QUIX_OK);
    EXPECT_EQ(screen.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(screen.At(1, 0), RGB(0, 0, 255));
    SelectObject(screen.dc(), old);
    DeleteObject(brush);
    DeleteObject(bits);
    // The second pass, with the complementary pattern, completes the image.
    const WORD other[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    bits = CreateBitmap(8, 8, 1, 1, other);
    brush = CreatePatternBrush(bits);
    old = SelectObject(screen.dc(), brush);
    BltEffect(screen.dc(), 0, 0, image.dc(), 0, 0, 8, 8, 5, 0, 0, 0xCA0749, nullptr, 0, FALSE, 0, 1,
              "", 0, &canceled);
    EXPECT_EQ(screen.Image(), image.Image());
    SelectObject(screen.dc(), old);
    DeleteObject(brush);
    DeleteObject(bits);

    HPALETTE palette = CreateHalftonePalette(nullptr);
    EXPECT_EQ(BltEffect(screen.dc(), 0, 0, image.dc(), 0, 0, 8, 8, 5, 0, 0, SRCCOPY, palette, 0,
                        FALSE, 0, 1, "", 0, &canceled),
              QUIX_OK);
    EXPECT_EQ(GetCurrentObject(screen.dc(), OBJ_PAL), GetStockObject(DEFAULT_PALETTE))
        << "the palette is selected for the copy only";
    EXPECT_EQ(BltEffect(screen.dc(), 0, 0, image.dc(), 0, 0, 8, 8, 5, 0, 0, SRCCOPY,
                        reinterpret_cast<HPALETTE>(brush), 0, FALSE, 0, 1, "", 0, &canceled),
              QUIX_E_HANDLE);
    DeleteObject(palette);
}

TEST(Effects, TheWorkerVariantsDrawNothingOnceCancelled) {
    MemCanvas image(4, 4, RGB(255, 0, 0));
    MemCanvas screen(4, 4, RGB(0, 0, 255));
    BOOL canceled = FALSE, cancel = TRUE, cued = FALSE, multi = TRUE, increment = FALSE;
    EXPECT_EQ(BltThreadEffect(screen.dc(), 0, 0, image.dc(), 0, 0, 4, 4, 5, 0, 0, SRCCOPY, nullptr,
                              0, FALSE, 0, 1, "", 0, &canceled, &cancel, nullptr, nullptr, &cued,
                              &multi, &increment),
              QUIX_OK);
    EXPECT_EQ(screen.At(0, 0), RGB(0, 0, 255));
    cancel = FALSE;
    BltThreadEffect(screen.dc(), 0, 0, image.dc(), 0, 0, 4, 4, 5, 0, 0, SRCCOPY, nullptr, 0, FALSE,
                    0, 1, "", 0, &canceled, &cancel, nullptr, nullptr, &cued, &multi, &increment);
    EXPECT_EQ(screen.At(0, 0), RGB(255, 0, 0));
}
