// The test container's form on a real X display: what the screen shows of it is the picture the
// container writes of its form.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include "tests/support/server_input.h"
#include "tests/support/test_support.h"

TEST(TestContainerOnX11, TheScreenShowsTheSeeThroughControlOverItsFormAsTheContainerWritesIt) {
    testing_support::TempDir dir;
    testing_support::ScopedEnv store{"KESTO_REGISTRY", dir / "registry.reg"};
    std::string picture = dir / "form.png";
    QProcess container;
    container.start(
        TESTCONTAINER_PATH,
        {"--gui", QString("register ") + SHAPECTL_PATH, "form 160 100 &H00808000&",
         "create Lumorax.QuixShape.Brenic Shape1", "mode run", "set Shape 7", "set BackStyle 2",
         "set BackColor &H0000FFFF&", "set BorderWidth 2", "place 20 10 120 80", "wait",
         "sleep 300", "wait", QString::fromStdString("picture " + picture), "sleep 20000"});
    ASSERT_TRUE(container.waitForStarted());
    QString out;
    QRegularExpression wrote("wrote \\S+ \\(form at (-?\\d+) (-?\\d+)\\)");
    QRegularExpressionMatch match;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 15000 && !(match = wrote.match(out)).hasMatch()) {
        container.waitForReadyRead(200);
        out += QString::fromUtf8(container.readAllStandardOutput());
    }
    ASSERT_TRUE(match.hasMatch()) << out.toStdString();
    QImage written(QString::fromStdString(picture));
    ASSERT_FALSE(written.isNull());
    QTest::qWait(300);  // the window system has shown the last paint
    QImage screen = QGuiApplication::primaryScreen()
                        ->grabWindow(0, match.captured(1).toInt(), match.captured(2).toInt(),
                                     written.width(), written.height())
                        .toImage()
                        .convertToFormat(QImage::Format_RGB32);
    container.kill();
    container.waitForFinished();
    screen.save(QString::fromStdString(dir / "screen.png"));
    ASSERT_EQ(screen.size(), written.size());
    int differing = 0;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            if ((screen.pixel(x, y) & 0xFFFFFF) != (written.pixel(x, y) & 0xFFFFFF)) ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
    // The star is translucent: the form's teal shows through its yellow.
    EXPECT_EQ(written.pixel(80, 55) & 0xFFFFFF, qRgb(127, 191, 64) & 0xFFFFFF);
}

TEST(TestContainerOnX11, AClickOnTheControlThroughTheServerReachesTheContainersEventLog) {
    testing_support::ServerInput input;
    if (!input.Usable()) GTEST_SKIP() << "the X server has no test extension";
    testing_support::TempDir dir;
    testing_support::ScopedEnv store{"KESTO_REGISTRY", dir / "registry.reg"};
    std::string picture = dir / "form.png";
    QProcess container;
    container.start(TESTCONTAINER_PATH,
                    {"--gui", QString("register ") + SHAPECTL_PATH, "form 160 100",
                     "create Lumorax.QuixShape.Brenic Shape1", "mode run", "set BackStyle 1",
                     "place 20 10 120 80", "wait", "sleep 300", "wait",
                     QString::fromStdString("picture " + picture), "sleep 20000"});
    ASSERT_TRUE(container.waitForStarted());
    QString out;
    auto waitFor = [&](const QRegularExpression& re) {
        QElapsedTimer clock;
        clock.start();
        QRegularExpressionMatch m;
        while (clock.elapsed() < 15000 && !(m = re.match(out)).hasMatch()) {
            container.waitForReadyRead(200);
            out += QString::fromUtf8(container.readAllStandardOutput());
        }
        return m;
    };
    QRegularExpressionMatch form = waitFor(QRegularExpression("form at (-?\\d+) (-?\\d+)\\)"));
    ASSERT_TRUE(form.hasMatch()) << out.toStdString();
    const QPoint origin(form.captured(1).toInt(), form.captured(2).toInt());
    QTest::qWait(300);
    input.Click(origin + QPoint(60, 40));  // inside the control at (20, 10)-(120, 80)
    QRegularExpressionMatch click = waitFor(QRegularExpression("event Shape1\\.Click\\n"));
    container.kill();
    container.waitForFinished();
    ASSERT_TRUE(click.hasMatch()) << out.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression("event Shape1\\.MouseDown 1 0 40 30\\n")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression("event Shape1\\.MouseUp 1 0 40 30\\n")))
        << out.toStdString();
    EXPECT_TRUE(out.contains("event Shape1.GotFocus\n")) << out.toStdString();
}
