#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWidget>

#include "platform/win/window.h"

TEST(WindowOnX11, AShownWindowIsANativeX11Window) {
    EXPECT_EQ(QGuiApplication::platformName(), "xcb");
    QWidget w;
    w.resize(50, 40);
    w.show();
    EXPECT_NE(w.winId(), 0u);
    EXPECT_TRUE(IsWindow(platform::win::HandleOf(&w)));
}
