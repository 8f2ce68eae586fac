// The drawing library's output: the hotspot under the mouse in a window, images saved to files,
// and printing the composed bitmap.
#include <gtest/gtest.h>

#include <QCursor>
#include <QImage>
#include <fstream>

#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"
#include "tests/support/pdf_facts.h"
#include "tests/support/test_support.h"

namespace {

// A bitmap of w x h whose pixel (x, y) has the colour RGB(x * 10, y * 10, 77), not selected.
HBITMAP Pattern(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 10 % 256, y * 10 % 256, 77));
    }
    return platform::gdi::BitmapFromImage(image);
}

// PrintControl with the arguments the library reads.
short Print(HDC dc, RECT area, BOOL banding, LONG left, LONG top, LONG width, LONG height,
            HBITMAP bitmap, HPALETTE palette = nullptr) {
    return PrintControl(dc, &area, banding, left, top, width, height, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                        0, 0, bitmap, palette, 0, 0);
}

}  // namespace

TEST(HotspotQuery, TheHotspotUnderTheMouseIsFoundInPictureCoordinates) {
    HWND form = reinterpret_cast<HWND>(0x7B000004);
    HWND control = reinterpret_cast<HWND>(0x7B000008);
    ASSERT_TRUE(platform::gdi::CreateWindowSurface(form, 200, 100));
    platform::gdi::SetWindowSurfacePlace(form, 300, 200, true);
    ASSERT_TRUE(platform::gdi::PlaceWindow(control, form, RECT{20, 10, 120, 90}, true));

    short count = 0;
    HGLOBAL block = nullptr;
    ASSERT_EQ(IQuixAddHotspot(0, 0, 10, 10, 42, "Corner", &count, &block), QUIX_OK);
    char name[32] = "";
    short id = 0, priority = 0;
    // The picture's corner lies at (5, 4) in the control; the mouse at (7, 6) in the control is
    // (2, 2) in the picture.
    QCursor::setPos(300 + 20 + 7, 200 + 10 + 6);
    ASSERT_EQ(QCursor::pos(), QPoint(327, 216));
    EXPECT_EQ(GetHotspotData(control, block, count, name, sizeof name, &id, &priority, 0, 0, 0, 0,
                             0, 0, 0, 5, 4, 0),
              QUIX_OK);
    EXPECT_EQ(id, 42);
    EXPECT_STREQ(name, "Corner");
    QCursor::setPos(320 + 16, 210 + 4);  // (11, 0) in the picture
    id = 7;
    EXPECT_EQ(GetHotspotData(control, block, count, name, sizeof name, &id, &priority, 0, 0, 0, 0,
                             0, 0, 0, 5, 4, 0),
              QUIX_E_NOHOTSPOT);
    EXPECT_EQ(id, 7) << "left as it was";
    EXPECT_EQ(GetHotspotData(nullptr, block, count, name, sizeof name, &id, &priority, 0, 0, 0, 0,
                             0, 0, 0, 0, 0, 0),
              QUIX_E_HANDLE);
    GlobalFree(block);
    platform::gdi::DestroyWindowSurface(form);
}

TEST(SaveImage, TheExtensionChoosesTheFormat) {
    testing_support::TempDir dir;
    HBITMAP bitmap = Pattern(12, 7);
    QImage expected = platform::gdi::ImageOf(bitmap);
    for (const char* name : {"a.bmp", "b.PNG", "c.Bmp"}) {
        std::string path = dir / name;
        EXPECT_EQ(SaveControlImage(path.c_str(), bitmap), QUIX_OK) << name;
        QImage back(QString::fromStdString(path));
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), expected) << name;
    }
    std::string jpeg = dir / "d.jpg";
    EXPECT_EQ(SaveControlImage(jpeg.c_str(), bitmap), QUIX_OK);
    EXPECT_EQ(QImage(QString::fromStdString(jpeg)).size(), QSize(12, 7));

    // Refusals leave what is there as it was.
    std::string kept = dir / "kept.gif";
    testing_support::WriteFile(kept, "old");
    EXPECT_EQ(SaveControlImage(kept.c_str(), bitmap), QUIX_E_ARGUMENT);
    EXPECT_EQ(testing_support::ReadFile(kept), "old");
    std::string noExtension = dir / "plain";
    EXPECT_EQ(SaveControlImage(noExtension.c_str(), bitmap), QUIX_E_ARGUMENT);
    EXPECT_EQ(SaveControlImage((dir / "missing/e.png").c_str(), bitmap), QUIX_E_FILE);
    EXPECT_EQ(SaveControlImage("", bitmap), QUIX_E_FILE);
    std::string png = dir / "b.PNG";
    EXPECT_EQ(SaveControlImage(png.c_str(), reinterpret_cast<HBITMAP>(0x4711)), QUIX_E_HANDLE);
    EXPECT_FALSE(QImage(QString::fromStdString(png)).isNull()) << "the earlier file stays";
    DeleteObject(bitmap);
}

TEST(Printing, ThePlacementSizesAndBandsThePrintedBitmap) {
    HBITMAP bitmap = Pattern(4, 2);
    RECT area{0, 0, 4, 2};
    // Printed 8 wide at (5, 3): the height follows in proportion; each pixel becomes 2 x 2.
    MemCanvas page(20, 10);
    EXPECT_EQ(Print(page.dc(), area, FALSE, 5, 3, 8, 0, bitmap), QUIX_OK);
    EXPECT_EQ(page.At(5, 3), RGB(0, 0, 77));
    EXPECT_EQ(page.At(12, 6), RGB(30, 10, 77));
    EXPECT_EQ(page.At(13, 6), RGB(255, 255, 255));
    EXPECT_EQ(page.At(12, 7), RGB(255, 255, 255));
    EXPECT_EQ(page.At(4, 3), RGB(255, 255, 255));

    // Without a size, the control's screen size at the context's resolution (a memory context
    // has the screen's); a part of the bitmap when the rectangle says so.
    MemCanvas same(6, 4);
    RECT part{1, 0, 3, 2};
    EXPECT_EQ(Print(same.dc(), part, FALSE, 0, 0, 0, 0, bitmap), QUIX_OK);
    EXPECT_EQ(same.At(0, 0), RGB(10, 0, 77));
    EXPECT_EQ(same.At(1, 1), RGB(20, 10, 77));
    EXPECT_EQ(same.At(2, 0), RGB(255, 255, 255));

    // Banding gives the same page.
    HBITMAP tall = Pattern(3, 150);
    RECT all{0, 0, 3, 150};
    MemCanvas whole(6, 300), bands(6, 300);
    Print(whole.dc(), all, FALSE, 0, 0, 6, 300, tall);
    EXPECT_EQ(Print(bands.dc(), all, TRUE, 0, 0, 6, 300, tall), QUIX_OK);
    EXPECT_EQ(bands.Image(), whole.Image());
    EXPECT_EQ(bands.At(5, 299), RGB(20, 1490 % 256, 77));

    // Refusals.
    EXPECT_EQ(Print(page.dc(), area, FALSE, 0, 0, 0, 0, nullptr), QUIX_E_NOIMAGE);
    EXPECT_EQ(Print(reinterpret_cast<HDC>(0x99), area, FALSE, 0, 0, 0, 0, bitmap), QUIX_E_HANDLE);
    EXPECT_EQ(Print(page.dc(), area, FALSE, -1, 0, 0, 0, bitmap), QUIX_E_ARGUMENT);
    RECT outside{10, 10, 20, 20};
    EXPECT_EQ(Print(page.dc(), outside, FALSE, 0, 0, 0, 0, bitmap), QUIX_E_ARGUMENT);
    DeleteObject(tall);
    DeleteObject(bitmap);
}

TEST(Printing, APrinterContextPrintsTheBitmapAtThePrintersResolution) {
    testing_support::TempDir dir;
    std::string file = dir / "control.pdf";
    HDC printer = CreateDCA(nullptr, kPdfPrinter, file.c_str(), nullptr);
    ASSERT_NE(printer, nullptr);
    HBITMAP bitmap = Pattern(48, 32);
    RECT area{0, 0, 48, 32};
    HPALETTE palette = GetSystemPalette();
    EXPECT_EQ(Print(printer, area, TRUE, 150, 150, 0, 0, bitmap, palette), QUIX_OK);
    EXPECT_GT(EndDoc(printer), 0);
    DeleteDC(printer);
    DeleteObject(palette);
    DeleteObject(bitmap);
    auto facts = testing_support::PdfFactsOf(testing_support::ReadFile(file));
    ASSERT_EQ(facts.pages.size(), 1u);
    // 48 x 32 screen pixels at 96 per inch are 75 x 50 dots at 150.
    EXPECT_EQ(facts.images, (std::vector<std::pair<int, int>>{{75, 50}}));
}
