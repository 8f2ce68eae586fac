#include <QTest>

#include "tests/player/PlayerFixture.h"

using Dragging = PlayerTest;

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

TEST_F(Dragging, TheMainWindowsSkinDragsWithTheLeftButtonAndPopsUpTheMenuWithTheRight) {
    Start();
    frmMain1->Move(1500, 1500);
    frmMain1->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frmMain1->window()));
    QWidget* skin = frmMain1->PicMainSkin.widget();

    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
        QPoint before = frmMain1->window()->pos();
        QTest::mousePress(skin, b, {}, QPoint(10, 10));
        QTest::mouseMove(skin, QPoint(40, 30));
        QTest::mouseMove(skin, QPoint(70, 50));
        QTest::mouseRelease(skin, b, {}, QPoint(70, 50));
        EXPECT_EQ(frmMain1->window()->pos(), before);
    }
    ASSERT_EQ(script.Log().size(), 1u);  // the right button only
    EXPECT_EQ(script.Log()[0].kind, "PopupMenu");
    EXPECT_EQ(script.Log()[0].prompt, "kesto");

    QPoint before = frmMain1->window()->pos();
    QTest::mousePress(skin, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(skin, QPoint(40, 30));
    QTest::mouseMove(skin, QPoint(70, 50));
    QTest::mouseRelease(skin, Qt::LeftButton, {}, QPoint(70, 50));
    EXPECT_GT(frmMain1->window()->pos().x(), before.x());
    EXPECT_EQ(script.Log().size(), 1u);
}
