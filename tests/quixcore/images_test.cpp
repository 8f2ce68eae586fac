// Colour-key and mask composition, picture placement, tiling, capture, copies and update areas.
#include <gtest/gtest.h>

#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"
#include "tests/support/reference_image.h"

namespace {

const RECT kBox{0, 0, 120, 80};

// A 20 x 10 picture: magenta (the key colour of the tests) with an orange 12 x 4 block at (4, 3).
HBITMAP Picture() {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    for (int y = 3; y < 7; ++y) {
        for (int x = 4; x < 16; ++x) image.setPixel(x, y, qRgb(255, 160, 0));
    }
    return platform::gdi::BitmapFromImage(image);
}

const COLORREF kKey = RGB(255, 0, 255), kOrange = RGB(255, 160, 0);

}  // namespace

TEST(Images, TheSourceShowsWhereTheDestinationHasTheKeyColour) {
    MemCanvas dest(10, 4, RGB(0, 0, 0));
    MemCanvas src(10, 4, RGB(0, 255, 0));
    HBRUSH key = CreateSolidBrush(RGB(1, 2, 3));
    RECT keyed{2, 1, 6, 3};
    FillRect(dest.dc(), &keyed, key);
    DeleteObject(key);
    SetPixel(src.dc(), 2, 1, RGB(9, 9, 9));
    ASSERT_EQ(CreateTransparentBitmap(dest.dc(), 0, 0, 5, 4, RGB(1, 2, 3), src.dc()), QUIX_OK);
    EXPECT_EQ(dest.At(2, 1), RGB(9, 9, 9));
    EXPECT_EQ(dest.At(4, 2), RGB(0, 255, 0));
    EXPECT_EQ(dest.At(5, 2), RGB(1, 2, 3)) << "outside the area given";
    EXPECT_EQ(dest.At(1, 1), RGB(0, 0, 0)) << "not the key colour";
    EXPECT_EQ(CreateTransparentBitmap(dest.dc(), 0, 0, 5, 4, 0, nullptr), QUIX_E_HANDLE);
}

TEST(Images, TheMaskKeepsItsShapeAndShowsTheScreenAroundIt) {
    MemCanvas image(4, 2, RGB(255, 0, 0));
    MemCanvas screen(10, 10, RGB(0, 0, 255));
    SetPixel(screen.dc(), 7, 5, RGB(0, 255, 0));
    // Mask rows: white black black white / white white black black.
    const WORD rows[2] = {0x90, 0xC0};
    HBITMAP mask = CreateBitmap(4, 2, 1, 1, rows);
    ASSERT_EQ(CreateTransparentMaskBitmap(image.dc(), 6, 4, 4, 2, mask, screen.dc()), QUIX_OK);
    std::map<COLORREF, char> ink = {
        {RGB(255, 0, 0), 'r'}, {RGB(0, 0, 255), 'b'}, {RGB(0, 255, 0), 'g'}};
    EXPECT_EQ(image.Rows(ink), (std::vector<std::string>{"brrb", "bgrr"}));
    HBRUSH notBitmap = CreateSolidBrush(0);
    EXPECT_EQ(CreateTransparentMaskBitmap(image.dc(), 0, 0, 4, 2,
                                          reinterpret_cast<HBITMAP>(notBitmap), screen.dc()),
              QUIX_E_MASK);
    DeleteObject(notBitmap);
    DeleteObject(mask);
}

TEST(Images, ThePictureIsPlacedByTheNineAlignmentsAndMovedByTheOffset) {
    HBITMAP picture = Picture();
    const int left[3] = {0, 100, 50}, top[3] = {0, 35, 70};
    for (short align = 0; align <= 8; ++align) {
        MemCanvas canvas(120, 80);
        short x = -1, y = -1;
        ASSERT_EQ(AddImageToControl(canvas.dc(), &kBox, picture, nullptr, 0, TRUE, align, 3, -2, &x,
                                    &y, 1, TRUE, FALSE, 0),
                  QUIX_OK);
        QPoint corner(left[align / 3] + 3, top[align % 3] - 2);
        EXPECT_EQ(QPoint(x, y), corner) << "alignment " << align;
        EXPECT_EQ(canvas.At(corner.x() + 4, corner.y() + 3), kOrange) << align;
        if (corner.y() >= 0) {
            EXPECT_EQ(canvas.At(corner.x(), corner.y()), kKey) << "opaque without transparency";
        }
    }
    DeleteObject(picture);
}

TEST(Images, TheKeyColourLeavesTheContextAndNothingIsDrawnWhenHidden) {
    HBITMAP picture = Picture();
    MemCanvas canvas(120, 80, RGB(0, 0, 0));
    short x, y;
    AddImageToControl(canvas.dc(), &kBox, picture, nullptr, 0, TRUE, 0, 0, 0, &x, &y, 1, TRUE, TRUE,
                      kKey);
    EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(4, 3), kOrange);
    MemCanvas hidden(120, 80, RGB(0, 0, 0));
    x = y = 9;
    EXPECT_EQ(AddImageToControl(hidden.dc(), &kBox, picture, nullptr, 0, FALSE, 7, 0, 0, &x, &y, 1,
                                TRUE, FALSE, 0),
              QUIX_OK);
    EXPECT_EQ(QPoint(x, y), QPoint(0, 0));
    EXPECT_EQ(InkBox(hidden.Image(), qRgb(0, 0, 0)), QRect());
    EXPECT_EQ(AddImageToControl(hidden.dc(), &kBox, reinterpret_cast<HBITMAP>(hidden.dc()), nullptr,
                                0, TRUE, 0, 0, 0, &x, &y, 1, TRUE, FALSE, 0),
              QUIX_E_HANDLE);
    DeleteObject(picture);
}

TEST(Images, CompositionKeepsToTheContextsClipRegionAndOrigin) {
    HBITMAP picture = Picture();
    MemCanvas canvas(120, 80, RGB(0, 0, 0));
    HRGN clip = CreateRectRgn(0, 0, 10, 80);
    SelectClipRgn(canvas.dc(), clip);
    DeleteObject(clip);
    SetViewportOrgEx(canvas.dc(), 2, 1, nullptr);  // logical (0, 0) is device (2, 1)
    short x, y;
    AddImageToControl(canvas.dc(), &kBox, picture, nullptr, 0, TRUE, 0, 0, 0, &x, &y, 1, TRUE,
                      FALSE, 0);
    EXPECT_EQ(InkBox(canvas.Image(), qRgb(0, 0, 0)), QRect(2, 1, 8, 10));
    EXPECT_EQ(platform::gdi::ImageOf(canvas.bitmap()).pixel(6, 4), qRgb(255, 160, 0));
    DeleteObject(picture);
}

TEST(Images, BackStyleFiveTilesThePictureFromTheOffsetCorner) {
    HBITMAP picture = Picture();
    MemCanvas canvas(120, 80, RGB(0, 0, 0));
    short x, y;
    ASSERT_EQ(AddImageToControl(canvas.dc(), &kBox, picture, nullptr, 0, TRUE, 7, 5, 3, &x, &y, 5,
                                TRUE, TRUE, kKey),
              QUIX_OK);
    EXPECT_EQ(QPoint(x, y), QPoint(5, 3));
    EXPECT_TRUE(testing_support::MatchesReference(canvas.Image(), "quixcore/picture-tiled"));
    // The tiles repeat every 20 x 10 pixels, also before the offset corner.
    EXPECT_EQ(canvas.At(9, 6), kOrange);
    EXPECT_EQ(canvas.At(29, 16), kOrange);
    EXPECT_EQ(canvas.At(9 - 20, 6), CLR_INVALID);
    EXPECT_EQ(canvas.At(0, 6), kOrange) << "the tile left of the corner";
    DeleteObject(picture);

    MemCanvas src(3, 2);
    SetPixel(src.dc(), 1, 1, 0);
    MemCanvas tiled(7, 5);
    ASSERT_EQ(TileImage(tiled.dc(), 7, 5, 0, src.dc(), 0, 0, 3, 2), QUIX_OK);
    EXPECT_EQ(tiled.Rows(kInk),
              (std::vector<std::string>{".......", ".#..#..", ".......", ".#..#..", "......."}));
}

TEST(Images, CaptureCopiesWhatTheScreenShowsUnderTheRectangle) {
    HWND form = reinterpret_cast<HWND>(std::uintptr_t{0x7B000000});
    HWND control = reinterpret_cast<HWND>(std::uintptr_t{0x7B000004});
    ASSERT_TRUE(platform::gdi::CreateWindowSurface(form, 100, 60));
    platform::gdi::SetWindowSurfacePlace(form, 200, 100, true);
    platform::gdi::RaiseWindowSurface(form);
    platform::gdi::PlaceWindow(control, form, RECT{30, 20, 70, 50}, true);
    HDC formDc = GetDC(form);
    SetPixel(formDc, 35, 22, RGB(7, 7, 7));
    HDC dc = GetDC(control);
    HBITMAP captured = nullptr;
    short error = 0;
    RECT r{0, 0, 40, 30};
    ASSERT_EQ(CaptureControl(dc, &r, &captured, &error), QUIX_OK);
    ASSERT_NE(captured, nullptr);
    QImage image = platform::gdi::ImageOf(captured);
    EXPECT_EQ(image.size(), QSize(40, 30));
    EXPECT_EQ(image.pixel(5, 2), qRgb(7, 7, 7));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    DeleteObject(captured);
    EXPECT_EQ(CaptureControl(nullptr, &r, &captured, &error), QUIX_E_HANDLE);
    EXPECT_EQ(captured, nullptr);
    EXPECT_EQ(error, QUIX_E_HANDLE);
    ReleaseDC(control, dc);
    ReleaseDC(form, formDc);
    platform::gdi::DestroyWindowSurface(form);
}

TEST(Images, CopiesAreNewBitmapsOfTheWholeOrOfAnArea) {
    HBITMAP picture = Picture();
    HBITMAP whole = CopyBitmap(nullptr, picture, 0, 0, 0, 0);
    HBITMAP part = CopyBitmap(nullptr, picture, 4, 3, 100, 2);
    DeleteObject(picture);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(platform::gdi::ImageOf(whole).size(), QSize(20, 10));
    EXPECT_EQ(platform::gdi::ImageOf(part).size(), QSize(16, 2)) << "cut to the bitmap";
    EXPECT_EQ(platform::gdi::ImageOf(part).pixel(0, 0), qRgb(255, 160, 0));
    const WORD rows[1] = {0x80};
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, rows);
    HBITMAP monoCopy = CopyBitmap(nullptr, mono, 0, 0, 0, 0);
    EXPECT_TRUE(platform::gdi::IsMonochrome(monoCopy));
    EXPECT_EQ(platform::gdi::ImageOf(monoCopy).pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(CopyBitmap(nullptr, picture, 0, 0, 0, 0), nullptr) << "a deleted bitmap";
    for (HBITMAP b : {whole, part, mono, monoCopy}) DeleteObject(b);
}

TEST(Images, TheUpdateAreaIsTheWholeRectangleOrTheUpdateRectangleCutToIt) {
    struct Case {
        short area, x, y, w, h;
        int ex, ey, ew, eh;
    } cases[] = {{0, 10, 10, 5, 5, 0, 0, 120, 80},
                 {1, 10, 20, 30, 40, 10, 20, 30, 40},
                 {1, 100, 70, 50, 50, 100, 70, 20, 10},
                 {1, 200, 0, 5, 5, 120, 0, 0, 5},
                 {1, 0, 0, 0, 0, 0, 0, 0, 0}};
    for (const Case& c : cases) {
        int x, y, w, h;
        GetUpdateRectValues(&kBox, &x, &y, &w, &h, c.area, c.x, c.y, c.w, c.h);
        EXPECT_EQ(QRect(x, y, w, h), QRect(c.ex, c.ey, c.ew, c.eh)) << c.x << "," << c.y;
    }
}
