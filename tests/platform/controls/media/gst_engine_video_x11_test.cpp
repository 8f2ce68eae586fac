// Video drawn by the GStreamer engine into a widget's native X11 window, read back from the X
// server (under Xvfb).
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/controls/GstMediaEngine.h"
#include "tests/platform/controls/media/media_fixtures.h"
#include "tests/support/test_support.h"

using controls::GstMediaEngine;
using media_fixtures::Pump;
using media_fixtures::WaitFor;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using State = controls::MediaEngine::State;

namespace {

constexpr int kFrameTimeoutMs = 5000;

// How much of `area` of `image` shows each of three colour bars of videotestsrc's SMPTE
// pattern (yellow, cyan, magenta), as the smallest of the three shares.
double BarShare(const QImage& image, const QRect& area) {
    int yellow = 0, cyan = 0, magenta = 0, total = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            const bool r = qRed(p) > 150, g = qGreen(p) > 150, b = qBlue(p) > 150;
            const bool noR = qRed(p) < 60, noG = qGreen(p) < 60, noB = qBlue(p) < 60;
            yellow += r && g && noB;
            cyan += noR && g && b;
            magenta += r && noG && b;
            ++total;
        }
    }
    return total ? static_cast<double>(std::min({yellow, cyan, magenta})) / total : 0;
}

class VideoOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        ASSERT_EQ(media_fixtures::RunPipeline(
                      "videotestsrc pattern=smpte num-buffers=40 ! "
                      "video/x-raw,format=I420,width=160,height=120,framerate=10/1 ! "
                      "avimux ! filesink location=" +
                      clip_),
                  "");
        top_.setStyleSheet("background: rgb(40, 40, 40)");
        top_.setGeometry(50, 50, 400, 300);
        screen_ = new QWidget(&top_);
        screen_->setGeometry(kScreen);
        top_.show();
        ASSERT_TRUE(WaitFor([&] { return top_.windowHandle() && top_.windowHandle()->isExposed(); },
                            kFrameTimeoutMs));
        Pump(50);
    }

    QImage Grab() { return top_.screen()->grabWindow(top_.winId()).toImage(); }

    // Waits until each colour bar covers at least `share` of the video widget.
    bool VideoShows(double share = 0.02) {
        return WaitFor([&] { return BarShare(Grab(), kScreen) >= share; }, kFrameTimeoutMs);
    }

    const QRect kScreen{40, 30, 320, 240};
    ScopedEnv audio_{"KESTO_AUDIO_SINK", "fakesink"};
    ScopedEnv video_{"KESTO_VIDEO_SINK", std::nullopt};
    TempDir dir_;
    const std::string clip_ = dir_ / "bars.avi";
    QWidget top_;
    QWidget* screen_ = nullptr;
};

TEST_F(VideoOnX11, FramesAreDrawnIntoTheVideoWidgetOnly) {
    GstMediaEngine engine;
    engine.SetVideoWindow(screen_);
    EXPECT_TRUE(engine.VideoSinkName() == "ximagesink" || engine.VideoSinkName() == "xvimagesink")
        << engine.VideoSinkName();
    engine.Open(clip_);
    EXPECT_TRUE(engine.HasVideo());
    ASSERT_TRUE(VideoShows()) << "share " << BarShare(Grab(), kScreen);
    // The picture is scaled to the widget: each bar then covers about a tenth of it (a quarter of
    // that at the clip's own size). Nothing is drawn around the widget.
    EXPECT_TRUE(VideoShows(0.08)) << "share " << BarShare(Grab(), kScreen);
    const QImage image = Grab();
    EXPECT_EQ(BarShare(image, QRect(0, 0, 400, 25)), 0.0);
    EXPECT_EQ(BarShare(image, QRect(0, 275, 400, 25)), 0.0);
}

TEST_F(VideoOnX11, APausedFrameSurvivesARepaint) {
    GstMediaEngine engine;
    engine.SetVideoWindow(screen_);
    engine.Open(clip_);
    ASSERT_TRUE(VideoShows()) << "share " << BarShare(Grab(), kScreen);
    engine.Pause();
    screen_->repaint();
    top_.update();
    Pump(200);
    EXPECT_TRUE(VideoShows()) << "share " << BarShare(Grab(), kScreen);
}

TEST_F(VideoOnX11, TheLastFrameSurvivesARepaintAfterTheEnd) {
    GstMediaEngine engine;
    int ends = 0;
    engine.onEndOfStream = [&] { ++ends; };
    engine.SetVideoWindow(screen_);
    engine.Open(clip_);
    ASSERT_TRUE(VideoShows()) << "share " << BarShare(Grab(), kScreen);
    engine.Seek(3.8);
    ASSERT_TRUE(WaitFor([&] { return ends == 1; }, kFrameTimeoutMs));
    screen_->repaint();
    top_.update();
    Pump(200);
    EXPECT_TRUE(VideoShows()) << "share " << BarShare(Grab(), kScreen);
}

TEST_F(VideoOnX11, AnEnlargedWidgetIsFilledAgain) {
    screen_->setGeometry(kScreen.x(), kScreen.y(), kScreen.width() / 2, kScreen.height() / 2);
    GstMediaEngine engine;
    engine.SetVideoWindow(screen_);
    engine.Open(clip_);
    ASSERT_TRUE(VideoShows()) << "share " << BarShare(Grab(), kScreen);
    screen_->setGeometry(kScreen);
    EXPECT_TRUE(VideoShows(0.08)) << "share " << BarShare(Grab(), kScreen);
}

TEST_F(VideoOnX11, TheWindowCanBeGivenAndTakenWhilePlaying) {
    GstMediaEngine engine;
    engine.Open(clip_);
    EXPECT_EQ(engine.VideoSinkName(), "fakesink");
    Pump(300);
    const double before = engine.Position();
    engine.SetVideoWindow(screen_);
    EXPECT_EQ(engine.state(), State::Playing);
    EXPECT_GE(engine.Position(), before - 0.15);  // it goes on where it was
    ASSERT_TRUE(VideoShows()) << "share " << BarShare(Grab(), kScreen);
    engine.SetVideoWindow(nullptr);
    EXPECT_EQ(engine.VideoSinkName(), "fakesink");
    EXPECT_EQ(engine.state(), State::Playing);
    EXPECT_GT(engine.Position(), before);
}

TEST_F(VideoOnX11, AVideoWidgetDestroyedWhilePlayingLeavesTheEngineOnTheNullSink) {
    GstMediaEngine engine;
    engine.SetVideoWindow(screen_);
    engine.Open(clip_);
    ASSERT_TRUE(VideoShows()) << "share " << BarShare(Grab(), kScreen);
    const double before = engine.Position();
    delete screen_;
    screen_ = nullptr;
    EXPECT_EQ(engine.VideoSinkName(), "fakesink");
    EXPECT_EQ(engine.state(), State::Playing);
    Pump(300);
    EXPECT_GT(engine.Position(), before);
}

}  // namespace
