// Printer contexts: drawing on a page, pages sent to the PDF printer, the document's end.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "platform/gdi/gdi.h"
#include "tests/support/gdi_canvas.h"
#include "tests/support/pdf_facts.h"
#include "tests/support/test_support.h"

using testing_support::PdfFactsOf;

TEST(Printers, ThePdfPrinterHasAnA4PageAtItsResolutionAndPrintsWhatWasDrawn) {
    testing_support::TempDir dir;
    std::string file = dir / "out.pdf";
    HDC dc = CreateDCA("WINSPOOL", kPdfPrinter, file.c_str(), nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(dc)), OBJ_DC);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), kPrinterDpi);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1240) << "210 mm at 150 dots per inch";
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 1754) << "297 mm";
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 1240);

    DOCINFOA info{sizeof(DOCINFOA), "Two pages", nullptr, nullptr, 0};
    EXPECT_GT(StartDocA(dc, &info), 0);
    EXPECT_GT(StartPage(dc), 0);
    PaintRect(dc, 100, 200, 300, 250, RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 100, 200), RGB(255, 0, 0)) << "the page reads back";
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_EQ(GetPixel(dc, 100, 200), RGB(255, 255, 255)) << "a white page follows";
    PaintRect(dc, 0, 0, 40, 30, RGB(0, 0, 255));
    // No bitmap can be selected into a printer's context.
    HBITMAP other = CreateBitmap(4, 4, 1, 32, nullptr);
    EXPECT_EQ(SelectObject(dc, other), nullptr);
    DeleteObject(other);
    EXPECT_GT(EndDoc(dc), 0) << "the second page is sent by the document's end";
    EXPECT_TRUE(DeleteDC(dc));

    auto facts = PdfFactsOf(testing_support::ReadFile(file));
    EXPECT_TRUE(facts.isPdf);
    ASSERT_EQ(facts.pages.size(), 2u);
    for (auto [w, h] : facts.pages) {
        EXPECT_NEAR(w, 595.3, 1.0);
        EXPECT_NEAR(h, 841.9, 1.0);
    }
    // Only the part drawn on is sent, as an image of its size.
    EXPECT_EQ(facts.images, (std::vector<std::pair<int, int>>{{200, 50}, {40, 30}}));
}

TEST(Printers, DeleteDCEndsAnOpenDocumentAndAbortDocDropsIt) {
    testing_support::TempDir dir;
    std::string kept = dir / "kept.pdf";
    HDC dc = CreateDCA(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    DOCINFOA info{sizeof(DOCINFOA), "Kept", kept.c_str(), nullptr, 0};
    EXPECT_GT(StartDocA(dc, &info), 0) << "the file named by the document";
    PaintRect(dc, 10, 10, 20, 20, RGB(0, 0, 0));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(PdfFactsOf(testing_support::ReadFile(kept)).pages.size(), 1u);

    std::string dropped = dir / "dropped.pdf";
    dc = CreateDCA(nullptr, kPdfPrinter, dropped.c_str(), nullptr);
    PaintRect(dc, 10, 10, 20, 20, RGB(0, 0, 0));
    EXPECT_GT(AbortDoc(dc), 0);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(std::ifstream(dropped).good()) << "nothing printed";

    // A started page is printed, white or not; a document with neither prints nothing.
    std::string blank = dir / "blank.pdf";
    dc = CreateDCA(nullptr, kPdfPrinter, blank.c_str(), nullptr);
    EXPECT_GT(StartPage(dc), 0);
    EXPECT_GT(EndDoc(dc), 0);
    DeleteDC(dc);
    auto facts = PdfFactsOf(testing_support::ReadFile(blank));
    EXPECT_EQ(facts.pages.size(), 1u);
    EXPECT_TRUE(facts.images.empty());
    std::string none = dir / "none.pdf";
    dc = CreateDCA(nullptr, kPdfPrinter, none.c_str(), nullptr);
    EXPECT_GT(EndDoc(dc), 0);
    DeleteDC(dc);
    EXPECT_FALSE(std::ifstream(none).good());
}

TEST(Printers, APrinterWithoutAFileOrOfNoNameFails) {
    HDC dc = CreateDCA(nullptr, kPdfPrinter, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(StartDocA(dc, nullptr), SP_ERROR) << "the PDF printer needs a file";
    DeleteDC(dc);
    EXPECT_EQ(CreateDCA(nullptr, "No Such Printer 4711", nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateDCA("DISPLAY", nullptr, nullptr, nullptr), nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_EQ(EndPage(memory), SP_ERROR);
    EXPECT_EQ(EndDoc(memory), SP_ERROR);
    DeleteDC(memory);

    // A file that cannot be written.
    dc = CreateDCA(nullptr, kPdfPrinter, "/no/such/folder/out.pdf", nullptr);
    PaintRect(dc, 0, 0, 5, 5, RGB(0, 0, 0));
    EXPECT_EQ(EndPage(dc), SP_ERROR);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    DeleteDC(dc);
}
