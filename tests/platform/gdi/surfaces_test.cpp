// The surfaces of forms: window contexts onto them, what lies beneath a window, and the screen.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/gdi_canvas.h"

namespace {

// Window handles of this test only (the graphics layer takes any handle value).
HWND Handle(std::uintptr_t n) {
    return reinterpret_cast<HWND>(0x7A000000u + 4 * n);
}

struct Form {
    explicit Form(std::uintptr_t n, int w, int h) : hwnd(Handle(n)) {
        EXPECT_TRUE(platform::gdi::CreateWindowSurface(hwnd, w, h));
    }
    ~Form() { platform::gdi::DestroyWindowSurface(hwnd); }
    HWND hwnd;
};

void Paint(HDC dc, int l, int t, int r, int b, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    RECT rect{l, t, r, b};
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

}  // namespace

TEST(Surfaces, AWindowDrawsIntoItsPartOfTheFormAndReadsWhatLiesBeneath) {
    Form form(1, 40, 30);
    HWND control = Handle(2);
    ASSERT_TRUE(platform::gdi::PlaceWindow(control, form.hwnd, RECT{10, 5, 30, 25}, true));
    HDC formDc = GetDC(form.hwnd);
    Paint(formDc, 0, 0, 40, 30, RGB(0, 0, 255));  // the form's background

    HDC dc = GetDC(control);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(WindowFromDC(dc), control);
    // Reading the control's context reads the form beneath it, in the control's coordinates.
    MemCanvas copy(20, 20);
    ASSERT_TRUE(BitBlt(copy.dc(), 0, 0, 20, 20, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(copy.At(0, 0), RGB(0, 0, 255));
    // Drawing is clipped to the control.
    Paint(dc, -5, -5, 50, 50, RGB(255, 0, 0));
    QImage shown = platform::gdi::WindowSurfaceImage(form.hwnd);
    EXPECT_EQ(shown.pixel(10, 5), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(29, 24), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(30, 24), qRgb(0, 0, 255));
    EXPECT_EQ(shown.pixel(9, 5), qRgb(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 20, 0), CLR_INVALID) << "outside the control";

    // The context follows the window; a hidden window draws nothing.
    platform::gdi::PlaceWindow(control, form.hwnd, RECT{0, 0, 5, 5}, true);
    Paint(dc, 0, 0, 5, 5, RGB(0, 255, 0));
    EXPECT_EQ(platform::gdi::WindowSurfaceImage(form.hwnd).pixel(0, 0), qRgb(0, 255, 0));
    platform::gdi::PlaceWindow(control, form.hwnd, RECT{0, 0, 5, 5}, false);
    Paint(dc, 0, 0, 5, 5, RGB(0, 0, 0));
    EXPECT_EQ(platform::gdi::WindowSurfaceImage(form.hwnd).pixel(0, 0), qRgb(0, 255, 0));

    EXPECT_EQ(ReleaseDC(form.hwnd, dc), 0) << "released by its own window";
    EXPECT_EQ(ReleaseDC(control, dc), 1);
    EXPECT_EQ(ReleaseDC(form.hwnd, formDc), 1);
}

TEST(Surfaces, TheBackgroundPainterPaintsWhatLiesBeneathAWindow) {
    Form form(3, 20, 20);
    HWND control = Handle(4);
    platform::gdi::PlaceWindow(control, form.hwnd, RECT{5, 5, 15, 15}, true);
    HDC dc = GetDC(control);
    EXPECT_FALSE(platform::gdi::PaintWindowBackground(control, dc)) << "no painter yet";
    RECT asked{};
    platform::gdi::SetWindowBackgroundPainter(control, [&](HDC target, const RECT& rect) {
        asked = rect;
        Paint(target, rect.left, rect.top, rect.right, rect.bottom, RGB(9, 9, 9));
    });
    ASSERT_TRUE(platform::gdi::PaintWindowBackground(control, dc));
    EXPECT_EQ(asked.right, 10);
    EXPECT_EQ(asked.bottom, 10);
    EXPECT_EQ(GetPixel(dc, 9, 9), RGB(9, 9, 9));
    ReleaseDC(control, dc);
}

TEST(Surfaces, TheListenerHearsOfDrawingOnceUntilTheFormReadsItsSurface) {
    Form form(5, 10, 10);
    std::atomic<int> heard{0};
    platform::gdi::SetWindowSurfaceListener(form.hwnd, [&] { ++heard; });
    HDC dc = GetDC(form.hwnd);
    SetPixel(dc, 1, 1, 0);
    SetPixel(dc, 2, 2, 0);
    EXPECT_EQ(heard, 1);
    platform::gdi::WindowSurfaceImage(form.hwnd);
    // Drawing from another thread is heard on that thread.
    std::thread([dc] { SetPixel(dc, 3, 3, 0); }).join();
    EXPECT_EQ(heard, 2);
    ReleaseDC(form.hwnd, dc);
}

TEST(Surfaces, TheScreenShowsVisibleFormsAtTheirPlacesTopmostLast) {
    platform::gdi::SetScreenSize(200, 100);
    Form back(6, 50, 50), front(7, 50, 50);
    HDC b = GetDC(back.hwnd), f = GetDC(front.hwnd);
    Paint(b, 0, 0, 50, 50, RGB(255, 0, 0));
    Paint(f, 0, 0, 50, 50, RGB(0, 255, 0));
    platform::gdi::SetWindowSurfacePlace(back.hwnd, 10, 10, true);
    platform::gdi::SetWindowSurfacePlace(front.hwnd, 40, 10, true);
    POINT org;
    ASSERT_TRUE(GetDCOrgEx(f, &org));
    EXPECT_EQ(org.x, 40);
    auto screenAt = [](int x, int y) {
        HDC s = GetDC(nullptr);
        COLORREF c = GetPixel(s, x, y);
        ReleaseDC(nullptr, s);
        return c;
    };
    EXPECT_EQ(screenAt(15, 15), RGB(255, 0, 0));
    EXPECT_EQ(screenAt(45, 15), RGB(0, 255, 0)) << "the later form lies above";
    EXPECT_EQ(screenAt(5, 5), GetSysColor(COLOR_BACKGROUND));
    platform::gdi::RaiseWindowSurface(back.hwnd);
    EXPECT_EQ(screenAt(45, 15), RGB(255, 0, 0));
    platform::gdi::SetWindowSurfacePlace(back.hwnd, 10, 10, false);
    EXPECT_EQ(screenAt(45, 15), RGB(0, 255, 0)) << "a hidden form shows nothing";
    HDC screen = GetDC(GetDesktopWindow());
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 200);
    ReleaseDC(GetDesktopWindow(), screen);
    ReleaseDC(back.hwnd, b);
    ReleaseDC(front.hwnd, f);
}

TEST(Surfaces, AFormThatEndsLeavesItsContextsDrawingNowhere) {
    HWND hwnd = Handle(8);
    ASSERT_TRUE(platform::gdi::CreateWindowSurface(hwnd, 10, 10));
    EXPECT_FALSE(platform::gdi::CreateWindowSurface(hwnd, 10, 10)) << "one surface per form";
    HDC dc = GetDC(hwnd);
    ASSERT_TRUE(platform::gdi::ResizeWindowSurface(hwnd, 20, 5));
    EXPECT_EQ(platform::gdi::WindowSurfaceImage(hwnd).size(), QSize(20, 5));
    EXPECT_NE(SetPixel(dc, 15, 1, 0), CLR_INVALID);
    platform::gdi::DestroyWindowSurface(hwnd);
    EXPECT_EQ(SetPixel(dc, 1, 1, 0), CLR_INVALID);
    EXPECT_FALSE(Rectangle(dc, 0, 0, 3, 3));
    EXPECT_EQ(GetDC(hwnd), nullptr);
    EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
}
