// An effect on a real X display: each frame of a wipe reaches the screen, and the screen ends on
// the image.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/win/surface.h"
#include "platform/win/window.h"
#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"

namespace {

QImage Grab(QPoint at, int w, int h) {
    return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), w, h).toImage();
}

bool IsRed(QRgb p) {
    return (p & 0xFFFFFF) == 0xFF0000u;
}

}  // namespace

TEST(EffectsOnX11, EachFrameOfAWipeReachesTheScreen) {
    QWidget form;
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.setGeometry(120, 120, 120, 80);
    platform::win::AttachSurface(&form);
    auto* control = new QWidget(&form);
    control->setGeometry(20, 10, 80, 60);
    platform::win::AttachToSurface(control);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const HWND hwnd = platform::win::HandleOf(control);
    HDC dc = GetDC(hwnd);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT all{0, 0, 80, 60};
    FillRect(dc, &all, blue);
    DeleteObject(blue);
    MemCanvas image(80, 60, RGB(255, 0, 0));
    const QPoint corner = control->mapToGlobal(QPoint(0, 0));
    std::vector<QImage> frames;
    SetQuixEffectClock([&](int) {
        const int edge = 20 * static_cast<int>(frames.size() + 1);  // the columns shown so far
        QImage shot;
        QTest::qWaitFor(
            [&] {
                shot = Grab(corner, 80, 60);
                return IsRed(shot.pixel(edge - 1, 30)) && !IsRed(shot.pixel(edge, 30));
            },
            3000);
        frames.push_back(shot);
    });
    BOOL canceled = FALSE;
    ASSERT_EQ(BltEffect(dc, 0, 0, image.dc(), 0, 0, 80, 60, 20, 1, 0, SRCCOPY, nullptr, 0, FALSE, 0,
                        0, "", 0, &canceled),
              QUIX_OK);
    SetQuixEffectClock(nullptr);
    ASSERT_EQ(frames.size(), 3u);
    for (size_t k = 0; k < frames.size(); ++k) {
        const int edge = 20 * static_cast<int>(k + 1);
        EXPECT_TRUE(IsRed(frames[k].pixel(edge - 1, 30))) << "frame " << k;
        EXPECT_FALSE(IsRed(frames[k].pixel(edge, 30))) << "frame " << k;
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QImage shot = Grab(corner, 80, 60);
            return IsRed(shot.pixel(0, 0)) && IsRed(shot.pixel(79, 59));
        },
        3000));
    ReleaseDC(hwnd, dc);
}
