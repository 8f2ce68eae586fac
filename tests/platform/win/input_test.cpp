// A child window's input: Qt's mouse and focus events as the window messages of the platform, the
// key state of the event being handled, enabling, and the z-order of new child windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QTest>
#include <QWidget>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "platform/win/paint.h"
#include "platform/win/surface.h"
#include "platform/win/window.h"
#include "platform/win/winmsg.h"

using platform::win::HandleOf;
using platform::win::WidgetOf;

namespace {

struct Seen {
    UINT msg;
    WPARAM w;
    LPARAM l;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s) {
    return os << "{0x" << std::hex << s.msg << ", 0x" << s.w << ", 0x" << s.l << std::dec << "}";
}

bool IsInput(UINT msg) {
    return (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK) || msg == WM_SETFOCUS ||
           msg == WM_KILLFOCUS;
}

// A form with child windows of the layer whose input messages are recorded.
class Input : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<QWidget>();
        form->resize(200, 100);
        platform::win::AttachSurface(form.get());
        form->show();
        first = Child(RECT{0, 0, 80, 60});
        second = Child(RECT{100, 0, 180, 60});
        form->activateWindow();
        QTest::qWait(10);
    }
    // The windows go first: the focus they pass on as they go still reaches the procedures.
    void TearDown() override { form.reset(); }
    HWND Child(const RECT& r) {
        HWND h = platform::win::CreateChildWindow(HandleOf(form.get()), r,
                                                  [this](HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
                                                      if (IsInput(msg))
                                                          seen[hwnd].push_back(Seen{msg, w, l});
                                                      if (msg == WM_LBUTTONDOWN)
                                                          shiftAtPress = GetKeyState(VK_SHIFT);
                                                      return DefWindowProcA(hwnd, msg, w, l);
                                                  });
        ShowWindow(h, SW_SHOWNORMAL);
        return h;
    }
    // The input messages of the window other than mouse moves, and forgets them.
    std::vector<Seen> Buttons(HWND h) {
        std::vector<Seen> out;
        for (const Seen& s : seen[h]) {
            if (s.msg != WM_MOUSEMOVE) out.push_back(s);
        }
        seen.clear();
        return out;
    }
    void Send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at,
              quint64 time, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent e(type, at, form->mapToGlobal(at), button, held, modifiers);
        e.setTimestamp(time);
        QApplication::sendEvent(WidgetOf(first), &e);
    }

    std::unique_ptr<QWidget> form;
    HWND first = nullptr, second = nullptr;
    std::map<HWND, std::vector<Seen>> seen;
    SHORT shiftAtPress = 0;
};

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<UINT>(x), static_cast<UINT>(y));
}

}  // namespace

TEST_F(Input, PressesAndReleasesCarryTheButtonsHeldTheShiftKeysAndThePoint) {
    QWidget* w = WidgetOf(first);
    QTest::mousePress(w, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 6));
    EXPECT_LT(shiftAtPress, 0) << "the key state of the press";
    QTest::mouseRelease(w, Qt::LeftButton, Qt::ControlModifier, QPoint(7, 8));
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, QPoint(1, 2));
    QTest::mouseClick(w, Qt::MiddleButton, Qt::AltModifier, QPoint(3, 4));
    EXPECT_LT(GetKeyState(VK_MENU), 0);
    std::vector<Seen> got = Buttons(first);
    // The click gave the window the focus first.
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.front().msg, WM_SETFOCUS);
    got.erase(got.begin());
    EXPECT_EQ(got, (std::vector<Seen>{
                       {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(5, 6)},
                       {WM_LBUTTONUP, MK_CONTROL, At(7, 8)},
                       {WM_RBUTTONDOWN, MK_RBUTTON, At(1, 2)},
                       {WM_RBUTTONUP, 0, At(1, 2)},
                       {WM_MBUTTONDOWN, MK_MBUTTON, At(3, 4)},
                       {WM_MBUTTONUP, 0, At(3, 4)},
                   }));
}

TEST_F(Input, ADoubleClicksSecondPressIsOneDoubleClickMessage) {
    const QPoint p(10, 10);
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, p, 1000);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p, 1010);
    Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, p, 1020);
    Send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, p, 1020);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p, 1030);
    // A third press soon after is a new click; one after the interval too.
    Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, p, 1040);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p, 1050);
    Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, p, 1050 + interval + 1);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p, 1060 + interval);
    // A double click Qt reports without its press.
    Send(QEvent::MouseButtonDblClick, Qt::RightButton, Qt::RightButton, p, 9000);
    const LPARAM at = At(10, 10);
    EXPECT_EQ(Buttons(first), (std::vector<Seen>{
                                  {WM_LBUTTONDOWN, MK_LBUTTON, at},
                                  {WM_LBUTTONUP, 0, at},
                                  {WM_LBUTTONDBLCLK, MK_LBUTTON, at},
                                  {WM_LBUTTONUP, 0, at},
                                  {WM_LBUTTONDOWN, MK_LBUTTON, at},
                                  {WM_LBUTTONUP, 0, at},
                                  {WM_LBUTTONDOWN, MK_LBUTTON, at},
                                  {WM_LBUTTONUP, 0, at},
                                  {WM_RBUTTONDBLCLK, MK_RBUTTON, at},
                              }));
}

TEST_F(Input, MovesCarryTheButtonsHeld) {
    Send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton, QPoint(3, 9), 10,
         Qt::ShiftModifier);
    EXPECT_EQ(seen[first],
              (std::vector<Seen>{{WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_SHIFT, At(3, 9)}}));
}

TEST_F(Input, TheFocusMovesWithItsMessagesNamingTheOtherWindow) {
    SetFocus(first);
    EXPECT_EQ(GetFocus(), first);
    EXPECT_EQ(SetFocus(second), first);
    EXPECT_EQ(GetFocus(), second);
    EXPECT_EQ(seen[first],
              (std::vector<Seen>{{WM_SETFOCUS, 0, 0},
                                 {WM_KILLFOCUS, reinterpret_cast<WPARAM>(second), 0}}));
    EXPECT_EQ(seen[second], (std::vector<Seen>{{WM_SETFOCUS, reinterpret_cast<WPARAM>(first), 0}}));
}

TEST_F(Input, ADisabledWindowTakesNeitherClicksNorTheFocus) {
    EXPECT_TRUE(IsWindowEnabled(first));
    EXPECT_FALSE(EnableWindow(first, FALSE));
    EXPECT_FALSE(IsWindowEnabled(first));
    QTest::mouseClick(WidgetOf(first), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(seen[first].empty());
    EXPECT_NE(GetFocus(), first);
    EXPECT_TRUE(EnableWindow(first, TRUE)) << "it was disabled";
    QTest::mouseClick(WidgetOf(first), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(GetFocus(), first);
    EXPECT_FALSE(EnableWindow(nullptr, TRUE));
}

TEST_F(Input, NewChildWindowsGoBelowTheirSiblings) {
    HWND third = Child(RECT{0, 70, 20, 90});
    HWND f = HandleOf(form.get());
    EXPECT_EQ(GetWindow(f, GW_CHILD), first) << "the first made is the topmost";
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), third);
    std::vector<HWND> all;
    EnumChildWindows(f, [&](HWND h) {
        all.push_back(h);
        return TRUE;
    });
    EXPECT_EQ(all, (std::vector<HWND>{first, second, third}));
    WidgetOf(third)->raise();
    EXPECT_EQ(GetWindow(f, GW_CHILD), third);
}
