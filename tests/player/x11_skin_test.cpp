// The player's windows on a real X display with a window manager and no compositor: the bundled
// start-up skin, the windows' faces, drags and full screen.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/win/windowpos.h"
#include "player/Module1.h"
#include "player/Skins.h"
#include "player/frmAbout.h"
#include "player/frmSkin.h"
#include "tests/player/PlayerFixture.h"
#include "tests/support/server_input.h"

namespace {

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
    testing_support::ServerInput pointer;
    if (!pointer.Usable()) GTEST_SKIP() << "the X server takes no test input";
    Start();
    QWidget* main = frmMain1->window();
    main->move(100, 100);
    main->raise();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    ASSERT_TRUE(pointer.Placed(main));
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

namespace {

// The part of the screen a window covers.
QImage OnScreenImage(QWidget* window) {
    QTest::qWait(200);
    QPoint at = window->mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, at.x(), at.y(), window->width(), window->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The share of pixels of two pictures of one size that differ by more than a little in a channel.
double Differing(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 1;
    long long off = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            off += std::abs(qRed(p) - qRed(q)) > 24 || std::abs(qGreen(p) - qGreen(q)) > 24 ||
                   std::abs(qBlue(p) - qBlue(q)) > 24;
        }
    }
    return static_cast<double>(off) / (static_cast<double>(a.width()) * a.height());
}

// A point of `handle` that a press reaches: inside the window's shape, with no other control
// above it.
std::optional<QPoint> FreePoint(QWidget* handle) {
    QWidget* window = handle->window();
    for (int y = 4; y < handle->height() - 4; y += 3) {
        for (int x = 4; x < handle->width() - 4; x += 3) {
            QPoint inWindow = handle->mapTo(window, QPoint(x, y));
            if (!window->mask().isEmpty() && !window->mask().contains(inWindow)) continue;
            QWidget* hit = window->childAt(inWindow);
            if (hit == handle || (hit && handle->isAncestorOf(hit)))
                return handle->mapToGlobal(QPoint(x, y));
        }
    }
    return std::nullopt;
}

}  // namespace

TEST_F(OnScreen, TheVideoWindowShowsItsWholeFace) {
    Start(Media("clip.dat", 30));
    Remote->Hide();
    QWidget* video = FrmVideo->window();
    video->move(200, 150);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(video));
    QImage face = video->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage shown;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            shown = OnScreenImage(video);
            return Differing(shown, face) < 0.01;
        },
        3000))
        << Differing(shown, face) * 100 << "% of the pixels differ";
    // The face has what the screen must show: the background picture, the close picture and
    // the caption of the full-screen button are no backdrop green.
    for (vb::Control* c : {static_cast<vb::Control*>(&FrmVideo->Image1),
                           static_cast<vb::Control*>(&FrmVideo->Image2),
                           static_cast<vb::Control*>(&FrmVideo->QuixLabel1)}) {
        QRect r(c->widget()->mapTo(video, QPoint(0, 0)), c->widget()->size());
        EXPECT_FALSE(Green(shown.pixel(r.center()))) << c->Name();
    }
}

TEST_F(OnScreen, EveryWindowThatDragsKeepsThePointWhereItWasPressedUnderThePointer) {
    testing_support::ServerInput input;
    if (!input.Usable()) GTEST_SKIP() << "the X server takes no test input";
    Start(Media("clip.dat", 30));
    // The point under the pointer when the drag begins stays under it: at the press, or for the
    // chooser's strip, which drags once the mouse moves over it with the button held, at the first
    // move.
    struct Case {
        const char* name;
        std::function<vb::Control&()> handle;
        bool fromFirstMove = false;
    } cases[] = {
        {"main window face", []() -> vb::Control& { return frmMain1->PicMainSkin; }},
        {"video window background", []() -> vb::Control& { return FrmVideo->Image1; }},
        {"playlist title strip", []() -> vb::Control& { return Form2->QuixLabel2; }},
        {"remote title", []() -> vb::Control& { return Remote->QuixLabel1; }},
        {"Skins face", []() -> vb::Control& { return Skins->PicMainSkin; }},
        {"about box face", []() -> vb::Control& { return frmAbout->PicMainSkin; }},
        {"skin chooser title", []() -> vb::Control& { return frmSkin->QuixLabel6; }},
        {"skin chooser strip", []() -> vb::Control& { return frmSkin->QuixLabel1; }, true},
    };
    for (const Case& c : cases) {
        vb::Control& handle = c.handle();
        vb::Form& form = handle.Parent();
        for (vb::Form* f : vb::Forms()) {
            if (f != &form && f->window()->isVisible()) f->Hide();
        }
        form.Move(3000, 2250);
        form.Show();
        QWidget* window = form.window();
        window->raise();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << c.name;
        ASSERT_TRUE(input.Placed(window)) << c.name;
        QTest::qWait(200);
        std::optional<QPoint> grab = FreePoint(handle.widget());
        ASSERT_TRUE(grab) << c.name;
        const QPoint before = window->pos();
        const QPoint pressed = *grab - window->mapToGlobal(QPoint(0, 0));
        input.Press(*grab);
        QTest::qWait(50);
        const QPoint first = *grab + QPoint(3, 2);
        QPoint at = *grab;
        for (QPoint step : {QPoint(3, 2), QPoint(20, 10), QPoint(40, 30), QPoint(50, 40)}) {
            at += step;
            input.MoveTo(at);
            QTest::qWait(30);
        }
        input.Release(at);
        const QPoint start = c.fromFirstMove ? first : *grab;
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->pos() == before + (at - start); }, 3000))
            << c.name << ": moved by " << (window->pos() - before).x() << ","
            << (window->pos() - before).y();
        EXPECT_EQ(window->mapFromGlobal(at), pressed + (start - *grab)) << c.name;
        ASSERT_TRUE(window->isVisible()) << c.name;
    }
}

namespace {

// The video's full-screen window, while one is up.
QWidget* FullScreenWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->isFullScreen()) return w;
    }
    return nullptr;
}

// Shows the video window and clicks its full-screen button through the server: true once the
// full screen is up and has the focus.
bool EnterFullScreen(testing_support::ServerInput& input) {
    FrmVideo->Show();
    if (!QTest::qWaitForWindowExposed(FrmVideo->window()) || !input.Placed(FrmVideo->window())) {
        return false;
    }
    std::optional<QPoint> button = FreePoint(FrmVideo->QuixLabel1.widget());
    if (!button) return false;
    input.Click(*button);
    return QTest::qWaitFor(
        [] {
            QWidget* full = FullScreenWindow();
            return full && QApplication::activeWindow() == full;
        },
        3000);
}

}  // namespace

TEST_F(OnScreen, FullScreenTakesTheFocusAndEscapeLeavesIt) {
    testing_support::ServerInput input;
    if (!input.Usable()) GTEST_SKIP() << "the X server takes no test input";
    Start(Media("clip.avi", 30));
    ASSERT_TRUE(EnterFullScreen(input)) << "full screen, with the focus";
    QTest::qWait(300);  // the remote shown with it has come up
    input.Key(0xff1b);  // Escape, to whichever window has the focus
    EXPECT_TRUE(QTest::qWaitFor([&] { return FullScreenWindow() == nullptr; }, 3000));
    EXPECT_EQ(Player().DisplaySize(), 0);
}

TEST_F(OnScreen, AWindowShownLateGivesTheFocusBackToTheFullScreenUntilTheUserMoves) {
    testing_support::ServerInput input;
    if (!input.Usable()) GTEST_SKIP() << "the X server takes no test input";
    Start(Media("clip.avi", 30));
    ASSERT_TRUE(EnterFullScreen(input)) << "full screen, with the focus";
    QWidget* full = FullScreenWindow();
    QTest::qWait(500);

    // The playlist comes up on its own, as the remote may on a busy desktop.
    Form2->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form2->window()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == full; }, 3000));

    // Once the user moves the pointer over the video, the remote that the move brings up keeps
    // the focus.
    QPoint at = full->geometry().center();
    for (int i = 0; i < 4; ++i) {
        input.MoveTo(at += QPoint(10, 10));
        QTest::qWait(30);
    }
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return QApplication::activeWindow() == Remote->window(); }, 3000));
    EXPECT_FALSE(QTest::qWaitFor([&] { return QApplication::activeWindow() == full; }, 1000));
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
    testing_support::ServerInput pointer;
    if (!pointer.Usable()) GTEST_SKIP() << "the X server takes no test input";
    Start();
    Form2->Move(3000, 3000);
    Form2->Show();
    QWidget* window = Form2->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->raise();
    window->activateWindow();
    ASSERT_TRUE(pointer.Placed(window));
    QTest::qWait(200);
    // Between the list and the buttons no control but the drag strip lies.
    const QRect list = Form2->List1.widget()->geometry();
    const QPoint at(list.center().x(),
                    (list.bottom() + Form2->Command1.widget()->geometry().top()) / 2);
    ASSERT_EQ(window->childAt(at), Form2->QuixLabel2.widget());
    const QPoint before = window->geometry().topLeft();
    pointer.Drag(window->mapToGlobal(at), QPoint(80, 60));
    // The window follows the pointer, the pressed point staying under it.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->geometry().topLeft() - before == QPoint(80, 60); }, 3000))
        << window->geometry().x() - before.x() << "," << window->geometry().y() - before.y();
}
