#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "platform/win/window.h"

using platform::win::HandleOf;
using platform::win::WidgetOf;

TEST(WindowHandles, StayTheSameForAWidgetAndDieWithIt) {
    auto a = std::make_unique<QWidget>();
    QWidget b;
    HWND ha = HandleOf(a.get());
    EXPECT_EQ(HandleOf(a.get()), ha);
    EXPECT_NE(HandleOf(&b), ha);
    EXPECT_EQ(WidgetOf(ha), a.get());
    EXPECT_TRUE(IsWindow(ha));
    a.reset();
    EXPECT_EQ(WidgetOf(ha), nullptr);
    EXPECT_FALSE(IsWindow(ha));
    EXPECT_EQ(HandleOf(nullptr), nullptr);
}
