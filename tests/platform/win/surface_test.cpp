// Forms shown from their surfaces, and child windows drawing into them (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <memory>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "platform/win/paint.h"
#include "platform/win/surface.h"
#include "platform/win/window.h"

using platform::win::HandleOf;

TEST(FormSurfaces, FollowTheFormAndPlaceItsChildWindows) {
    auto* form = new QWidget;
    form->resize(120, 80);
    platform::win::AttachSurface(form);
    auto* control = new QWidget(form);
    control->setGeometry(20, 10, 60, 40);
    platform::win::AttachToSurface(control);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    const HWND formHwnd = HandleOf(form), controlHwnd = HandleOf(control);
    ASSERT_TRUE(platform::gdi::HasWindowSurface(formHwnd));

    HDC dc = GetDC(controlHwnd);
    ASSERT_NE(dc, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 60, 40};
    FillRect(dc, &all, red);
    QImage surface = platform::gdi::WindowSurfaceImage(formHwnd);
    EXPECT_EQ(surface.pixel(20, 10), qRgb(255, 0, 0));
    EXPECT_EQ(surface.pixel(19, 10), qRgb(255, 255, 255));
    POINT org;
    GetDCOrgEx(dc, &org);
    EXPECT_EQ(QPoint(org.x, org.y), control->mapToGlobal(QPoint(0, 0)));

    // The child moves and hides; the form resizes.
    control->move(50, 30);
    FillRect(dc, &all, red);
    EXPECT_EQ(platform::gdi::WindowSurfaceImage(formHwnd).pixel(50, 30), qRgb(255, 0, 0));
    control->hide();
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &all, blue);
    EXPECT_EQ(platform::gdi::WindowSurfaceImage(formHwnd).pixel(50, 30), qRgb(255, 0, 0));
    form->resize(200, 100);
    EXPECT_EQ(platform::gdi::WindowSurfaceImage(formHwnd).size(), QSize(200, 100));

    ReleaseDC(controlHwnd, dc);
    DeleteObject(red);
    DeleteObject(blue);
    delete form;
    EXPECT_FALSE(platform::gdi::HasWindowSurface(formHwnd)) << "the surface ends with the form";
    EXPECT_EQ(GetDC(controlHwnd), nullptr);
}

TEST(FormSurfaces, AWindowInsideAMovedChildWindowDrawsAtItsNewPlace) {
    auto form = std::make_unique<QWidget>();
    form->resize(120, 80);
    platform::win::AttachSurface(form.get());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    HWND outer =
        platform::win::CreateChildWindow(HandleOf(form.get()), RECT{0, 0, 60, 40}, DefWindowProcA);
    HWND inner = platform::win::CreateChildWindow(outer, RECT{10, 10, 20, 20}, DefWindowProcA);
    ShowWindow(outer, SW_SHOW);
    ShowWindow(inner, SW_SHOW);
    MoveWindow(outer, 50, 30, 60, 40, FALSE);
    HDC dc = GetDC(inner);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 10, 10};
    FillRect(dc, &all, red);
    ReleaseDC(inner, dc);
    DeleteObject(red);
    EXPECT_EQ(platform::gdi::WindowSurfaceImage(HandleOf(form.get())).pixel(60, 40),
              qRgb(255, 0, 0));
}
