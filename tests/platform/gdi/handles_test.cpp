// Handles: what each kind describes, and deleted or foreign handles refused.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/gdi_canvas.h"

TEST(Handles, GetObjectDescribesEveryKindThatHasADescription) {
    HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
    LOGPEN lp{};
    ASSERT_EQ(GetObject(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));

    HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(4, 5, 6));
    LOGBRUSH lb{};
    ASSERT_EQ(GetObject(hatch, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, BS_HATCHED);
    EXPECT_EQ(lb.lbHatch, static_cast<UINT_PTR>(HS_CROSS));

    LOGFONTA want{};
    want.lfHeight = -13;
    want.lfWeight = 700;
    std::strcpy(want.lfFaceName, "DejaVu Sans");
    HFONT font = CreateFontIndirect(&want);
    LOGFONTA got{};
    ASSERT_EQ(GetObject(font, sizeof got, &got), 60);
    EXPECT_EQ(got.lfHeight, -13);
    EXPECT_STREQ(got.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(GetObjectType(font), OBJ_FONT);
    EXPECT_EQ(GetObject(font, 59, &got), 0) << "a buffer too small";

    HRGN region = CreateRectRgn(0, 0, 1, 1);
    char buffer[64];
    EXPECT_EQ(GetObject(region, sizeof buffer, buffer), 0) << "regions have no description";
    for (HGDIOBJ h : {reinterpret_cast<HGDIOBJ>(pen), reinterpret_cast<HGDIOBJ>(hatch),
                      reinterpret_cast<HGDIOBJ>(font), reinterpret_cast<HGDIOBJ>(region)}) {
        EXPECT_TRUE(DeleteObject(h));
        EXPECT_EQ(GetObject(h, sizeof buffer, buffer), 0) << "a deleted handle";
    }
}

TEST(Handles, DeletedAndForeignHandlesAreRefused) {
    HDC gone = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(DeleteDC(gone));
    EXPECT_FALSE(DeleteDC(gone));
    EXPECT_FALSE(Rectangle(gone, 0, 0, 2, 2));
    EXPECT_EQ(GetPixel(gone, 0, 0), CLR_INVALID);
    EXPECT_EQ(SelectObject(gone, GetStockObject(BLACK_PEN)), nullptr);

    MemCanvas canvas(4, 4);
    HBRUSH brush = CreateSolidBrush(0);
    // A brush is not a context, nor a context a bitmap.
    EXPECT_FALSE(PatBlt(reinterpret_cast<HDC>(brush), 0, 0, 1, 1, BLACKNESS));
    EXPECT_EQ(SelectObject(canvas.dc(), reinterpret_cast<HGDIOBJ>(canvas.dc())), nullptr);
    EXPECT_FALSE(FillRect(canvas.dc(), nullptr, brush));
    EXPECT_EQ(CreatePatternBrush(reinterpret_cast<HBITMAP>(brush)), nullptr);
    EXPECT_FALSE(BitBlt(canvas.dc(), 0, 0, 1, 1, reinterpret_cast<HDC>(brush), 0, 0, SRCCOPY));

    // An object selected into a context is not deleted; once deselected it is.
    HGDIOBJ old = SelectObject(canvas.dc(), brush);
    EXPECT_FALSE(DeleteObject(brush));
    PatBlt(canvas.dc(), 0, 0, 1, 1, PATCOPY);
    EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 0));
    SelectObject(canvas.dc(), old);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(SelectObject(canvas.dc(), brush), nullptr) << "a deleted brush";
    RECT r{0, 0, 1, 1};
    EXPECT_FALSE(FillRect(canvas.dc(), &r, brush));

    // A context that ends gives its selections back.
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, pen);
    EXPECT_FALSE(DeleteObject(pen));
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(Handles, WindowAndScreenContextsEndOnlyWithReleaseDC) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(screen)), OBJ_DC);
    EXPECT_FALSE(DeleteDC(screen));
    EXPECT_EQ(WindowFromDC(screen), GetDesktopWindow());
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
    HDC mem = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(mem)), OBJ_MEMDC);
    EXPECT_EQ(ReleaseDC(nullptr, mem), 0);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(std::uintptr_t{0x7FFF0010})), nullptr)
        << "a window without a surface";
    DeleteDC(mem);
}
