// A form shown from its surface on a real X display: what a child window's context draws, also
// from another thread, is what the screen shows.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <thread>

#include "platform/gdi/gdi.h"
#include "platform/win/surface.h"
#include "platform/win/window.h"

namespace {

QRgb ScreenPixel(QPoint p) {
    return QGuiApplication::primaryScreen()
               ->grabWindow(0, p.x(), p.y(), 1, 1)
               .toImage()
               .pixel(0, 0) &
           0xFFFFFF;
}

void Fill(HDC dc, int w, int h, COLORREF colour) {
    HBRUSH b = CreateSolidBrush(colour);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, b);
    DeleteObject(b);
}

}  // namespace

TEST(FormSurfacesOnX11, TheScreenShowsWhatTheContextsDraw) {
    QWidget form;
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.setGeometry(100, 100, 160, 120);
    platform::win::AttachSurface(&form);
    auto* control = new QWidget(&form);
    control->setGeometry(40, 30, 80, 60);
    platform::win::AttachToSurface(control);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const HWND formHwnd = platform::win::HandleOf(&form);
    const HWND controlHwnd = platform::win::HandleOf(control);

    HDC formDc = GetDC(formHwnd);
    Fill(formDc, 160, 120, RGB(0, 160, 0));
    HDC dc = GetDC(controlHwnd);
    Fill(dc, 80, 60, RGB(200, 0, 0));
    const QPoint inside = control->mapToGlobal(QPoint(10, 10));
    const QPoint outside = form.mapToGlobal(QPoint(10, 10));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(inside) == 0xC80000u; }, 3000))
        << std::hex << ScreenPixel(inside);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(outside) == 0x00A000u; }, 3000))
        << std::hex << ScreenPixel(outside);

    // Drawing from another thread shows too.
    std::thread([dc] { Fill(dc, 80, 60, RGB(0, 0, 220)); }).join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(inside) == 0x0000DCu; }, 3000))
        << std::hex << ScreenPixel(inside);

    // The screen context reads the forms' surfaces at their places.
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, inside.x(), inside.y()), RGB(0, 0, 220));
    ReleaseDC(nullptr, screen);
    ReleaseDC(controlHwnd, dc);
    ReleaseDC(formHwnd, formDc);
}
