// The bundled start-up skin on a real X display with a window manager.
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <filesystem>

#include "player/Module1.h"
#include "tests/player/PlayerFixture.h"

namespace {

class OnScreen : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
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
        return QGuiApplication::primaryScreen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage().pixel(0, 0);
    }
    static bool Green(QRgb c) { return qGreen(c) > 180 && qRed(c) < 40 && qBlue(c) < 40; }
    QWidget backdrop;
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
    QWidget other;
    other.setStyleSheet("background: rgb(0, 0, 230);");
    other.setGeometry(150, 150, 500, 400);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    auto otherOnTop = [&] {
        other.raise();
        other.activateWindow();
        QRgb c = ScreenPixel(FrmVideo->window()->mapToGlobal(QPoint(20, 20)));
        return qBlue(c) > 200 && qRed(c) < 40 && qGreen(c) < 40;
    };
    EXPECT_FALSE(QTest::qWaitFor(otherOnTop, 1500));
    // Back in the normal band, the activated window covers it.
    SetNotTopMost(*FrmVideo);
    EXPECT_TRUE(QTest::qWaitFor(otherOnTop, 5000));
}
