// The fake engine's rules, which the window tests lean on.
#include "tests/support/FakeMediaEngine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QWidget>

#include "tests/support/test_support.h"

using controls::FakeMediaEngine;
using controls::MediaError;
using testing::ElementsAre;
using testing_support::TempDir;
using testing_support::WriteFile;
using State = controls::MediaEngine::State;

namespace {

class FakeEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(song_, "not really an mp3");
        WriteFile(clip_, "not really a video");
        engine_.onEndOfStream = [this] { ++ends_; };
    }

    TempDir dir_;
    const std::string song_ = dir_ / "song.mp3";
    const std::string clip_ = dir_ / "clip.dat";
    FakeMediaEngine engine_;
    int ends_ = 0;
};

TEST_F(FakeEngineTest, OpeningAFileStartsItWithTheDurationSetForItsPath) {
    engine_.SetDuration(song_, 187.5);
    engine_.SetHasVideo(clip_, true);
    engine_.Open(song_);
    EXPECT_EQ(engine_.state(), State::Playing);
    EXPECT_EQ(engine_.FileName(), song_);
    EXPECT_EQ(engine_.Duration(), 187.5);
    EXPECT_EQ(engine_.Position(), 0.0);
    EXPECT_FALSE(engine_.HasVideo());
    engine_.Open(clip_);
    EXPECT_EQ(engine_.Duration(), FakeMediaEngine::kDefaultDuration);
    EXPECT_TRUE(engine_.HasVideo());
}

TEST_F(FakeEngineTest, AFileThatCannotBePlayedRaisesAndLeavesTheEngineClosed) {
    engine_.SetUnplayable(clip_);
    for (const std::string& path : {dir_ / "missing.mp3", dir_.path(), clip_}) {
        engine_.Open(song_);
        EXPECT_THROW(engine_.Open(path), MediaError) << path;
        EXPECT_EQ(engine_.state(), State::Closed);
        EXPECT_EQ(engine_.FileName(), path);
        EXPECT_EQ(engine_.Duration(), 0.0);
        EXPECT_EQ(engine_.Position(), 0.0);
        EXPECT_THROW(engine_.Play(), MediaError);
    }
}

TEST_F(FakeEngineTest, CommandsWithoutAFileRaiseButAreLogged) {
    EXPECT_THROW(engine_.Play(), MediaError);
    EXPECT_THROW(engine_.Pause(), MediaError);
    EXPECT_THROW(engine_.Stop(), MediaError);
    EXPECT_THROW(engine_.Seek(3), MediaError);
    engine_.Open(song_);
    engine_.Open("");
    EXPECT_EQ(engine_.state(), State::Closed);
    EXPECT_EQ(engine_.FileName(), "");
    EXPECT_THAT(engine_.calls(),
                ElementsAre("Play", "Pause", "Stop", "Seek(3)", "Open(" + song_ + ")", "Open()"));
}

TEST_F(FakeEngineTest, TimeMovesOnlyWhilePlaying) {
    engine_.SetDuration(song_, 100);
    engine_.Open(song_);
    engine_.Advance(10.5);
    EXPECT_EQ(engine_.Position(), 10.5);
    engine_.Pause();
    EXPECT_EQ(engine_.state(), State::Paused);
    engine_.Advance(5);
    EXPECT_EQ(engine_.Position(), 10.5);
    engine_.Play();
    engine_.Advance(4.5);
    EXPECT_EQ(engine_.Position(), 15.0);
    engine_.Stop();
    EXPECT_EQ(engine_.state(), State::Stopped);
    EXPECT_EQ(engine_.Position(), 0.0);
    engine_.Advance(5);
    EXPECT_EQ(engine_.Position(), 0.0);
    engine_.Play();
    engine_.Advance(5);
    EXPECT_EQ(engine_.Position(), 5.0);
}

TEST_F(FakeEngineTest, ReachingTheEndStopsThereAndReportsItOnce) {
    engine_.SetDuration(song_, 30);
    engine_.Open(song_);
    engine_.Advance(29);
    EXPECT_EQ(ends_, 0);
    engine_.Advance(5);
    EXPECT_EQ(ends_, 1);
    EXPECT_EQ(engine_.state(), State::Stopped);
    EXPECT_EQ(engine_.Position(), 30.0);
    engine_.Advance(5);
    EXPECT_EQ(ends_, 1);
    // Play after the end starts again from the beginning, and the next end is reported again.
    engine_.Play();
    EXPECT_EQ(engine_.Position(), 0.0);
    engine_.Advance(30);
    EXPECT_EQ(ends_, 2);
}

TEST_F(FakeEngineTest, TheEndHandlerCanStartTheNextFile) {
    engine_.SetDuration(song_, 10);
    engine_.SetDuration(clip_, 20);
    engine_.onEndOfStream = [&] {
        ++ends_;
        engine_.Open(clip_);
        engine_.Play();
    };
    engine_.Open(song_);
    engine_.Advance(15);  // the 5 seconds past the end are dropped
    EXPECT_EQ(ends_, 1);
    EXPECT_EQ(engine_.FileName(), clip_);
    EXPECT_EQ(engine_.state(), State::Playing);
    EXPECT_EQ(engine_.Position(), 0.0);
    EXPECT_EQ(engine_.Duration(), 20.0);
}

struct SeekCase {
    double given;
    double position;
};

class FakeEngineSeekTest : public FakeEngineTest, public ::testing::WithParamInterface<SeekCase> {};

TEST_P(FakeEngineSeekTest, ASeekIsClampedIntoTheMedia) {
    engine_.SetDuration(song_, 300);
    engine_.Open(song_);
    engine_.Seek(GetParam().given);
    EXPECT_EQ(engine_.Position(), GetParam().position);
    EXPECT_EQ(engine_.state(), State::Playing);
}

INSTANTIATE_TEST_SUITE_P(Positions, FakeEngineSeekTest,
                         ::testing::Values(SeekCase{150, 150}, SeekCase{0, 0}, SeekCase{-1, 0},
                                           SeekCase{300, 300}, SeekCase{301.5, 300}));

TEST_F(FakeEngineTest, ASeekAfterTheEndIsWherePlayResumes) {
    engine_.SetDuration(song_, 30);
    engine_.Open(song_);
    engine_.Advance(30);
    engine_.Seek(12);
    engine_.Play();
    EXPECT_EQ(engine_.Position(), 12.0);
}

TEST_F(FakeEngineTest, VolumeIsClampedAndEveryCommandIsLoggedAsGiven) {
    engine_.Open(song_);
    engine_.ClearCalls();
    for (long volume : {-100L, 250L, -12000L}) engine_.SetVolume(volume);
    EXPECT_EQ(engine_.Volume(), -10000);
    engine_.SetMute(true);
    EXPECT_TRUE(engine_.Mute());
    engine_.Seek(12.5);
    engine_.Pause();
    engine_.Play();
    engine_.Stop();
    QWidget window;
    engine_.SetVideoWindow(&window);
    EXPECT_EQ(engine_.VideoWindow(), &window);
    engine_.SetVideoWindow(nullptr);
    engine_.SetMute(false);
    EXPECT_THAT(engine_.calls(),
                ElementsAre("SetVolume(-100)", "SetVolume(250)", "SetVolume(-12000)",
                            "SetMute(true)", "Seek(12.5)", "Pause", "Play", "Stop",
                            "SetVideoWindow(window)", "SetVideoWindow(null)", "SetMute(false)"));
}

TEST_F(FakeEngineTest, SettingsOutliveTheFile) {
    engine_.SetVolume(-2500);
    engine_.SetMute(true);
    engine_.Open(song_);
    engine_.Open(clip_);
    EXPECT_EQ(engine_.Volume(), -2500);
    EXPECT_TRUE(engine_.Mute());
}

}  // namespace
