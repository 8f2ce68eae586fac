// The player's windows on a real X display with a window manager.
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "platform/win/windowpos.h"
#include "player/Module1.h"
#include "tests/player/PlayerFixture.h"

namespace {

// The mouse as the X server sees it, driven through its test extension: the server decides which
// window a press reaches, as it does for the user's own mouse.
class ServerPointer {
public:
    ServerPointer() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_)) return;
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(connection_, &xcb_test_id);
        usable_ = ext && ext->present;
    }
    ~ServerPointer() { xcb_disconnect(connection_); }
    ServerPointer(const ServerPointer&) = delete;
    ServerPointer& operator=(const ServerPointer&) = delete;

    bool Usable() const { return usable_; }
    // Moves the pointer to `at` (screen coordinates), presses the left button and releases it.
    void Click(QPoint at) {
        Send(XCB_MOTION_NOTIFY, 0, at);
        Send(XCB_BUTTON_PRESS, 1, at);
        Send(XCB_BUTTON_RELEASE, 1, at);
    }

    // Presses the left button at `from`, moves the pointer by `by` in a few steps, letting the
    // program see each, and lets go there.
    void Drag(QPoint from, QPoint by) {
        Send(XCB_MOTION_NOTIFY, 0, from);
        Send(XCB_BUTTON_PRESS, 1, from);
        for (int i = 1; i <= 4; ++i) {
            QTest::qWait(60);
            Send(XCB_MOTION_NOTIFY, 0, from + by * i / 4);
        }
        QTest::qWait(60);
        Send(XCB_BUTTON_RELEASE, 1, from + by);
    }

private:
    void Send(uint8_t type, uint8_t detail, QPoint at) {
        xcb_test_fake_input(connection_, type, detail, XCB_CURRENT_TIME, XCB_NONE,
                            static_cast<int16_t>(at.x()), static_cast<int16_t>(at.y()), 0);
        // A round trip: the server has handled the request when it answers.
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    xcb_connection_t* connection_;
    bool usable_ = false;
};

// Counts the mouse presses a widget takes.
class Presses : public QObject {
public:
    explicit Presses(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress) ++count;
        return false;
    }
};

class OnScreen : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        // What these tests look at only a real display has.
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display";
        std::filesystem::copy(testing_support::SourceDir() + "/data", program.path(),
                              std::filesystem::copy_options::recursive);
        backdrop.setWindowFlag(Qt::FramelessWindowHint);
        backdrop.setStyleSheet("background: rgb(0, 200, 0);");
        backdrop.setGeometry(0, 0, 1000, 800);
        backdrop.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&backdrop));
    }
    static QRgb ScreenPixel(QPoint p) {
        QTest::qWait(100);
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, p.x(), p.y(), 1, 1)
            .toImage()
            .pixel(0, 0);
    }
    static bool Green(QRgb c) { return qGreen(c) > 180 && qRed(c) < 40 && qBlue(c) < 40; }
    // Shows a blue window of another program's kind over the form's place; then each call of
    // the returned test raises and activates it and tells whether it covers the form at `at`.
    std::function<bool()> ActivatedWindowOver(vb::Form& form, QPoint at) {
        other.setStyleSheet("background: rgb(0, 0, 230);");
        other.setGeometry(150, 150, 500, 400);
        other.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&other));
        return [this, &form, at] {
            other.raise();
            other.activateWindow();
            QRgb c = ScreenPixel(form.window()->mapToGlobal(at));
            return qBlue(c) > 200 && qRed(c) < 40 && qGreen(c) < 40;
        };
    }
    QWidget backdrop;
    QWidget other;
};

}  // namespace

TEST_F(OnScreen, TheMainWindowWithTavroShowsWhatLiesBeneathOutsideItsFace) {
    Start();
    QWidget* main = frmMain1->window();
    main->move(100, 100);
    main->raise();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    EXPECT_EQ(frmMain1->PicMainSkin.Picture().Width(), 500);
    // The face's top-left corner is key colour: the backdrop shows through there.
    QPoint corner = main->mapToGlobal(QPoint(2, 2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Green(ScreenPixel(corner)); }, 3000))
        << std::hex << ScreenPixel(corner);
    // The middle of the display panel is the face.
    QPoint face = main->mapToGlobal(QPoint(300, 60));
    QRgb c = ScreenPixel(face);
    EXPECT_FALSE(Green(c)) << std::hex << c;
    EXPECT_NE(c & 0xFFFFFF, 0xFF00FFu);  // and never the key colour
}

TEST_F(OnScreen, ATopmostWindowStaysAboveAnActivatedWindow) {
    Start();
    FrmVideo->Move(3000, 3000);
    FrmVideo->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FrmVideo->window()));
    auto otherOnTop = ActivatedWindowOver(*FrmVideo, QPoint(20, 20));
    EXPECT_FALSE(QTest::qWaitFor(otherOnTop, 1500));
    // Back in the normal band, the activated window covers it.
    SetNotTopMost(*FrmVideo);
    EXPECT_TRUE(QTest::qWaitFor(otherOnTop, 5000));
}

TEST_F(OnScreen, APressOnTheKeyColourGoesToTheWindowBeneathNotToTheSkin) {
    ServerPointer pointer;
    if (!pointer.Usable()) GTEST_SKIP() << "the X server takes no test input";
    Start();
    QWidget* main = frmMain1->window();
    main->move(100, 100);
    main->raise();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    QWidget* skin = frmMain1->PicMainSkin.widget();
    const QRegion face = main->mask();
    ASSERT_FALSE(face.isEmpty());
    // Two points of the skin picture, no other control above them: one of the key colour, and one
    // well inside the face.
    auto onlySkinAt = [&](QPoint p) {
        for (QWidget* w : main->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->isVisible() && w->geometry().contains(p) != (w == skin)) return false;
        }
        return true;
    };
    const QPoint outside(2, 2);
    ASSERT_FALSE(face.contains(outside));
    ASSERT_TRUE(onlySkinAt(outside));
    auto onFace = [&](QPoint p) {
        for (QPoint d :
             {QPoint(0, 0), QPoint(-4, -4), QPoint(4, -4), QPoint(-4, 4), QPoint(4, 4)}) {
            if (!face.contains(p + d) || !onlySkinAt(p + d)) return false;
        }
        return true;
    };
    QPoint inside(-1, -1);
    for (int y = 10; y < main->height() && inside.x() < 0; y += 5) {
        for (int x = 10; x < main->width() && inside.x() < 0; x += 5) {
            if (onFace(QPoint(x, y))) inside = QPoint(x, y);
        }
    }
    ASSERT_GE(inside.x(), 0);

    int downs = 0;
    frmMain1->PicMainSkin.MouseDown = [&](int, int, float, float) { ++downs; };
    Presses beneath(&backdrop);
    pointer.Click(main->mapToGlobal(inside));
    EXPECT_TRUE(QTest::qWaitFor([&] { return downs == 1; }, 3000));
    EXPECT_EQ(beneath.count, 0);
    main->raise();
    QTest::qWait(100);
    pointer.Click(main->mapToGlobal(outside));
    EXPECT_TRUE(QTest::qWaitFor([&] { return beneath.count == 1; }, 3000));
    QTest::qWait(200);
    EXPECT_EQ(downs, 1);
}

TEST_F(OnScreen, TheRemoteStaysAboveAnActivatedWindowOnceItWasActivated) {
    Start();
    Remote->Move(3000, 3000);
    Remote->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Remote->window()));
    ASSERT_TRUE(QTest::qWaitFor([] { return IsTopMost(Remote->hWnd()); }, 3000));
    EXPECT_FALSE(QTest::qWaitFor(ActivatedWindowOver(*Remote, QPoint(60, 10)), 1500));
}

TEST_F(OnScreen, ThePlaylistMovesWhenItsBackgroundIsDragged) {
    ServerPointer pointer;
    if (!pointer.Usable()) GTEST_SKIP() << "the X server takes no test input";
    Start();
    Form2->Move(3000, 3000);
    Form2->Show();
    QWidget* window = Form2->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->raise();
    window->activateWindow();
    QTest::qWait(200);
    // Between the list and the buttons no control but the drag strip lies.
    const QRect list = Form2->List1.widget()->geometry();
    const QPoint at(list.center().x(),
                    (list.bottom() + Form2->Command1.widget()->geometry().top()) / 2);
    ASSERT_EQ(window->childAt(at), Form2->QuixLabel2.widget());
    const QPoint before = window->geometry().topLeft();
    pointer.Drag(window->mapToGlobal(at), QPoint(80, 60));
    // The window manager's move starts once the pointer has left the press a little, and the
    // window follows the pointer from there on.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QPoint moved = window->geometry().topLeft() - before;
            return moved.x() >= 40 && moved.x() <= 83 && moved.y() >= 30 && moved.y() <= 63;
        },
        3000))
        << window->geometry().x() - before.x() << "," << window->geometry().y() - before.y();
}
