#include <QApplication>
#include <QTest>

#include "player/Module1.h"
#include "player/Remote.h"
#include "player/Skins.h"
#include "player/frmAbout.h"
#include "player/frmSkin.h"
#include "tests/player/PlayerFixture.h"

using Dragging = PlayerTest;

namespace {

// Presses `buttons` one after another on `pressed` at `at` (its own coordinates), moves the mouse
// by (30, 20) and then by (60, 40) from there over `over` (the pressed widget by default),
// releases the buttons where the mouse is, and returns how far `over`'s window moved. The cursor
// starts at the press, as a real press leaves it.
QPoint Drag(QWidget* pressed, std::initializer_list<Qt::MouseButton> buttons,
            QWidget* over = nullptr, QPoint at = QPoint(10, 10)) {
    if (!over) over = pressed;
    QWidget* window = over->window();
    const QPoint before = window->pos();
    const QPoint start = pressed->mapToGlobal(at);
    QTest::mouseMove(pressed, at);  // no button held: this puts the cursor there
    for (Qt::MouseButton b : buttons) QTest::mousePress(pressed, b, {}, at);
    for (QPoint step : {QPoint(30, 20), QPoint(60, 40)}) {
        QTest::mouseMove(over, over->mapFromGlobal(start + step));
    }
    for (Qt::MouseButton b : buttons) {
        QTest::mouseRelease(pressed, b, {}, pressed->mapFromGlobal(start + QPoint(60, 40)));
    }
    return window->pos() - before;
}

vb::Control& AboutFace() {
    return frmAbout->PicMainSkin;
}
vb::Control& SkinsFace() {
    return Skins->PicMainSkin;
}
vb::Control& ChooserTitle() {
    return frmSkin->QuixLabel6;
}
vb::Control& ChooserStrip() {
    return frmSkin->QuixLabel1;
}
vb::Control& RemoteTitle() {
    return Remote->QuixLabel1;
}
vb::Control& RemoteDuration() {
    return Remote->QuixLabel2;
}
vb::Control& RemoteElapsed() {
    return Remote->QuixLabel3;
}

void ShowAt(vb::Form& form, float left, float top) {
    form.Move(left, top);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.window()));
}

}  // namespace

TEST_F(Dragging, ThePlaylistsTitleStripMovesTheWindowAndAClickStaysAClick) {
    Start();
    Form2->Move(1500, 1500);
    Form2->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form2->window()));
    QWidget* strip = Form2->QuixLabel2.widget();
    QPoint before = Form2->window()->pos();
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(strip, QPoint(40, 30));
    QTest::mouseMove(strip, QPoint(70, 50));
    QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(70, 50));
    EXPECT_NE(Form2->window()->pos(), before);
    EXPECT_GT(Form2->window()->pos().x(), before.x());

    // A press released where it was moves nothing.
    QPoint now = Form2->window()->pos();
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(Form2->window()->pos(), now);
}

TEST_F(Dragging, ThePlaylistDragsFromWhereverNoOtherControlCoversItsFace) {
    Start();
    ShowAt(*Form2, 1500, 1500);
    QWidget* window = Form2->window();
    QWidget* strip = Form2->QuixLabel2.widget();
    EXPECT_EQ(Form2->QuixLabel2.Caption(), "");
    // The strip spans the window's width and nearly all of its height, beneath the other
    // controls: each of them still takes the mouse.
    EXPECT_EQ(strip->width(), window->width());
    EXPECT_GE(strip->height(), window->height() * 9 / 10);
    for (vb::Control* c : std::initializer_list<vb::Control*>{
             &Form2->List1, &Form2->Command1, &Form2->Command2, &Form2->Command3, &Form2->Command4,
             &Form2->Command5, &Form2->Command6, &Form2->QuixLabel1}) {
        QWidget* w = c->widget();
        QWidget* found = window->childAt(w->geometry().center());
        EXPECT_TRUE(found == w || w->isAncestorOf(found)) << c->Name();
    }
    // Between the list and the buttons, and beside the hide button, lies the strip.
    const QPoint belowList(
        Form2->List1.widget()->geometry().center().x(),
        (Form2->List1.widget()->geometry().bottom() + Form2->Command1.widget()->geometry().top()) /
            2);
    const QPoint beside(Form2->Command3.widget()->geometry().left() - 20,
                        Form2->Command3.widget()->geometry().center().y());
    for (QPoint at : {belowList, beside}) {
        ASSERT_EQ(window->childAt(at), strip) << at.x() << "," << at.y();
        EXPECT_EQ(Drag(strip, {Qt::LeftButton}, nullptr, strip->mapFrom(window, at)),
                  QPoint(60, 40))
            << at.x() << "," << at.y();
    }
}

TEST_F(Dragging, TheMainWindowsSkinDragsWithTheLeftButtonAndPopsUpTheMenuWithTheRight) {
    Start();
    ShowAt(*frmMain1, 1500, 1500);
    QWidget* skin = frmMain1->PicMainSkin.widget();
    EXPECT_EQ(Drag(skin, {Qt::RightButton}), QPoint(0, 0));
    EXPECT_EQ(Drag(skin, {Qt::MiddleButton}), QPoint(0, 0));
    ASSERT_EQ(script.Log().size(), 1u);  // the right button only
    EXPECT_EQ(script.Log()[0].kind, "PopupMenu");
    EXPECT_EQ(script.Log()[0].prompt, "kesto");
    EXPECT_EQ(Drag(skin, {Qt::LeftButton}), QPoint(60, 40));
    EXPECT_EQ(script.Log().size(), 1u);
}

TEST_F(Dragging, TheChoosersTheAboutBoxAndTheRemoteMoveByTheirFaceOrTitleStrip) {
    const QPoint moved(60, 40), still(0, 0);
    struct Case {
        const char* handle;
        vb::Control& (*control)();
        std::initializer_list<Qt::MouseButton> buttons;
        QPoint expected;
    } cases[] = {
        // A press with any button drags.
        {"about box face", AboutFace, {Qt::LeftButton}, moved},
        {"about box face", AboutFace, {Qt::RightButton}, moved},
        {"about box face", AboutFace, {Qt::MiddleButton}, moved},
        {"Skins face", SkinsFace, {Qt::LeftButton}, moved},
        {"Skins face", SkinsFace, {Qt::RightButton}, moved},
        {"Skins face", SkinsFace, {Qt::MiddleButton}, moved},
        {"frmSkin title", ChooserTitle, {Qt::LeftButton}, moved},
        {"frmSkin title", ChooserTitle, {Qt::RightButton}, moved},
        {"frmSkin title", ChooserTitle, {Qt::MiddleButton}, moved},
        {"Remote title", RemoteTitle, {Qt::LeftButton}, moved},
        {"Remote title", RemoteTitle, {Qt::RightButton}, moved},
        {"Remote duration", RemoteDuration, {Qt::MiddleButton}, moved},
        {"Remote elapsed", RemoteElapsed, {Qt::LeftButton}, moved},
        // The strip under the title drags only while the left button alone is held.
        {"frmSkin strip", ChooserStrip, {Qt::LeftButton}, moved},
        {"frmSkin strip", ChooserStrip, {Qt::RightButton}, still},
        {"frmSkin strip", ChooserStrip, {Qt::MiddleButton}, still},
        {"frmSkin strip", ChooserStrip, {Qt::LeftButton, Qt::RightButton}, still},
    };
    for (const Case& c : cases) {
        vb::Control& control = c.control();
        vb::Form& form = control.Parent();
        ShowAt(form, 1500, 1500);
        QPointer<QWidget> window = form.window();
        const QPoint before = window->pos();
        const int button = *c.buttons.begin();
        EXPECT_EQ(Drag(control.widget(), c.buttons), c.expected) << c.handle << " " << button;
        // A drag is no click: the about box stays open where it was put.
        ASSERT_TRUE(window) << c.handle << " " << button;
        EXPECT_TRUE(window->isVisible()) << c.handle << " " << button;
        EXPECT_EQ(window->pos(), before + c.expected) << c.handle << " " << button;
    }
    // A click on the about box still closes it.
    QTest::mouseClick(frmAbout->PicMainSkin.widget(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(frmAbout.IsLoaded());
}

TEST_F(Dragging, TheSkinsFaceDragsWhileTheLeftButtonAloneIsHeldOverIt) {
    ShowAt(*Skins, 1500, 1500);
    // The press lands elsewhere; only the moves cross the face.
    QWidget elsewhere;
    struct Case {
        std::initializer_list<Qt::MouseButton> held;
        QPoint expected;
    } cases[] = {
        {{Qt::LeftButton}, QPoint(60, 40)},
        {{Qt::RightButton}, QPoint(0, 0)},
        {{Qt::MiddleButton}, QPoint(0, 0)},
        {{Qt::LeftButton, Qt::RightButton}, QPoint(0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Drag(&elsewhere, c.held, Skins->PicMainSkin.widget()), c.expected)
            << c.held.size() << " buttons, first " << *c.held.begin();
    }
}

using WindowHelpers = PlayerTest;

TEST_F(WindowHelpers, TopmostAndBackKeepTheWindowsPlaceSizeAndVisibility) {
    Start();
    ShowAt(*frmMain1, 2250, 1950);
    Form2->Move(600, 900, 4500, 3000);
    Form2->Hide();
    for (vb::Form* form : {static_cast<vb::Form*>(&*frmMain1), static_cast<vb::Form*>(&*Form2)}) {
        QWidget* w = form->window();
        const QRect before = w->geometry();
        const bool shown = w->isVisible();
        SetTopMost(*form);
        EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint) << form->Name();
        EXPECT_EQ(w->geometry(), before) << form->Name();
        EXPECT_EQ(w->isVisible(), shown) << form->Name();
        SetNotTopMost(*form);
        EXPECT_FALSE(w->windowFlags() & Qt::WindowStaysOnTopHint) << form->Name();
        EXPECT_EQ(w->geometry(), before) << form->Name();
        EXPECT_EQ(w->isVisible(), shown) << form->Name();
    }
    // A shown window is also activated, whether its band changes or not.
    QWidget other;
    other.show();
    int step = 0;
    for (auto helper : {SetTopMost, SetTopMost, SetNotTopMost, SetNotTopMost}) {
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        helper(*frmMain1);
        EXPECT_TRUE(QTest::qWaitFor(
            [] { return QApplication::activeWindow() == frmMain1->window(); }, 2000))
            << "step " << step;
        ++step;
    }
}
