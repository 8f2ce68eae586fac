// The GStreamer engine end to end: generated media played through null sinks (fakesink, which
// the engine keeps in real time), on the offscreen platform.
#include <gtest/gtest.h>

#include <QWidget>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/controls/GstMediaEngine.h"
#include "tests/platform/controls/media/media_fixtures.h"
#include "tests/support/test_support.h"

using controls::GstMediaEngine;
using controls::MediaEngine;
using controls::MediaError;
using media_fixtures::Pump;
using media_fixtures::WaitFor;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFile;
using State = MediaEngine::State;

namespace {

constexpr int kEndTimeoutMs = 8000;

class GstEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(wav_, media_fixtures::WavBytes(2.0));
        engine_ = std::make_unique<GstMediaEngine>();
        engine_->onEndOfStream = [this] {
            ++ends_;
            endsOnTestThread_ = endsOnTestThread_ && std::this_thread::get_id() == testThread_;
        };
    }

    TempDir dir_;
    ScopedEnv audio_{"KESTO_AUDIO_SINK", "fakesink"};
    ScopedEnv video_{"KESTO_VIDEO_SINK", "fakesink"};
    const std::string wav_ = dir_ / "tone.wav";
    std::unique_ptr<GstMediaEngine> engine_;
    int ends_ = 0;
    bool endsOnTestThread_ = true;
    const std::thread::id testThread_ = std::this_thread::get_id();
};

TEST_F(GstEngineTest, AWavIsTimedWhenOpenReturnsAndEndsOnceOnTheUserInterfaceThread) {
    const auto start = std::chrono::steady_clock::now();
    engine_->Open(wav_);
    EXPECT_NEAR(engine_->Duration(), 2.0, 0.01);
    EXPECT_EQ(engine_->state(), State::Playing);
    EXPECT_EQ(engine_->FileName(), wav_);
    EXPECT_FALSE(engine_->HasVideo());

    ASSERT_TRUE(WaitFor([&] { return ends_ > 0; }, kEndTimeoutMs));
    // It took real time: the null sink plays against the clock.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
    EXPECT_EQ(engine_->state(), State::Stopped);
    EXPECT_NEAR(engine_->Position(), 2.0, 0.01);
    Pump(300);
    EXPECT_EQ(ends_, 1);
    EXPECT_TRUE(endsOnTestThread_);
}

// An MP3 without a length header (as GStreamer's own encoder writes them) cannot be timed before
// it has been read to the end; its length comes from its size and bit rate.
TEST_F(GstEngineTest, ALongMp3WithoutALengthHeaderIsTimedWhenOpenReturns) {
    const std::string mp3 = dir_ / "long.mp3";
    ASSERT_EQ(media_fixtures::RunPipeline(
                  "audiotestsrc num-buffers=200 samplesperbuffer=4410 ! "
                  "audio/x-raw,rate=44100,channels=2 ! audioconvert ! "
                  "lamemp3enc target=bitrate cbr=true bitrate=64 ! filesink location=" +
                  mp3),
              "");
    engine_->Open(mp3);
    EXPECT_NEAR(engine_->Duration(), 20.0, 0.2);
}

TEST_F(GstEngineTest, PositionFollowsTheClockAndPauseHoldsIt) {
    const auto start = std::chrono::steady_clock::now();
    engine_->Open(wav_);
    Pump(400);
    const double playing = engine_->Position();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // It moves, and never faster than the clock on the wall (however slow the machine).
    EXPECT_GT(playing, 0.0);
    EXPECT_LE(playing, wall + 0.05);
    engine_->Pause();
    EXPECT_EQ(engine_->state(), State::Paused);
    const double held = engine_->Position();
    Pump(300);
    EXPECT_NEAR(engine_->Position(), held, 0.02);
    engine_->Play();
    EXPECT_EQ(engine_->state(), State::Playing);
    EXPECT_TRUE(WaitFor([&] { return engine_->Position() > held + 0.05; }, kEndTimeoutMs));
}

TEST_F(GstEngineTest, ASeekLandsAndStopRewinds) {
    engine_->Open(wav_);
    engine_->Pause();
    engine_->Seek(1.25);
    EXPECT_NEAR(engine_->Position(), 1.25, 0.02);
    engine_->Seek(-3);
    EXPECT_NEAR(engine_->Position(), 0.0, 0.02);

    engine_->Play();
    engine_->Seek(0.8);
    EXPECT_NEAR(engine_->Position(), 0.8, 0.05);
    EXPECT_EQ(engine_->state(), State::Playing);

    engine_->Stop();
    EXPECT_EQ(engine_->state(), State::Stopped);
    EXPECT_EQ(engine_->Position(), 0.0);
    Pump(200);
    EXPECT_EQ(engine_->Position(), 0.0);
    engine_->Play();
    Pump(200);
    EXPECT_GT(engine_->Position(), 0.05);
    EXPECT_LT(engine_->Position(), 1.0);
}

TEST_F(GstEngineTest, ASeekPastTheEndIsClampedAndEndsTheMedia) {
    engine_->Open(wav_);
    engine_->Seek(99);
    ASSERT_TRUE(WaitFor([&] { return ends_ == 1; }, kEndTimeoutMs));
    EXPECT_NEAR(engine_->Position(), 2.0, 0.01);
}

TEST_F(GstEngineTest, PlayAfterTheEndStartsAgainFromTheBeginning) {
    engine_->Open(wav_);
    engine_->Seek(1.7);
    ASSERT_TRUE(WaitFor([&] { return ends_ == 1; }, kEndTimeoutMs));
    engine_->Play();
    EXPECT_EQ(engine_->state(), State::Playing);
    EXPECT_LT(engine_->Position(), 0.3);
    engine_->Seek(1.8);
    ASSERT_TRUE(WaitFor([&] { return ends_ == 2; }, kEndTimeoutMs));
    Pump(200);
    EXPECT_EQ(ends_, 2);
}

TEST_F(GstEngineTest, TheEndHandlerCanStartTheNextFile) {
    const std::string next = dir_ / "next.wav";
    WriteFile(next, media_fixtures::WavBytes(1.0));
    engine_->onEndOfStream = [&] {
        ++ends_;
        engine_->Open(next);
        engine_->Play();
    };
    engine_->Open(wav_);
    engine_->Seek(1.9);
    ASSERT_TRUE(WaitFor([&] { return ends_ == 1; }, kEndTimeoutMs));
    EXPECT_EQ(engine_->FileName(), next);
    EXPECT_EQ(engine_->state(), State::Playing);
    EXPECT_NEAR(engine_->Duration(), 1.0, 0.01);
}

TEST_F(GstEngineTest, OpeningAnotherFileDropsTheEndOfTheFirst) {
    const std::string second = dir_ / "second.wav";
    WriteFile(second, media_fixtures::WavBytes(3.0));
    engine_->Open(wav_);
    engine_->Seek(1.98);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the first file ends meanwhile
    engine_->Open(second);
    Pump(300);
    EXPECT_EQ(ends_, 0);
    EXPECT_EQ(engine_->FileName(), second);
    EXPECT_NEAR(engine_->Duration(), 3.0, 0.01);
    EXPECT_LT(engine_->Position(), 1.0);
}

TEST_F(GstEngineTest, OpeningTheEmptyPathCloses) {
    engine_->Open(wav_);
    engine_->Open("");
    EXPECT_EQ(engine_->state(), State::Closed);
    EXPECT_EQ(engine_->FileName(), "");
    EXPECT_EQ(engine_->Duration(), 0.0);
    EXPECT_EQ(engine_->Position(), 0.0);
    Pump(100);
    EXPECT_EQ(ends_, 0);
}

struct VolumeCase {
    long given;
    long kept;
    double gain;
};

class GstEngineVolumeTest : public GstEngineTest,
                            public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(GstEngineVolumeTest, HundredthsOfADecibelBecomeAGain) {
    engine_->Open(wav_);
    engine_->SetVolume(GetParam().given);
    EXPECT_EQ(engine_->Volume(), GetParam().kept);
    EXPECT_NEAR(engine_->OutputGain(), GetParam().gain, GetParam().gain * 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Volumes, GstEngineVolumeTest,
                         ::testing::Values(VolumeCase{0, 0, 1.0},                   //
                                           VolumeCase{-100, -100, 0.891250938},     //
                                           VolumeCase{-600, -600, 0.501187234},     //
                                           VolumeCase{-2000, -2000, 0.1},           //
                                           VolumeCase{-2500, -2500, 0.0562341325},  //
                                           VolumeCase{-10000, -10000, 1e-5},        //
                                           VolumeCase{-30000, -10000, 1e-5},        //
                                           VolumeCase{250, 0, 1.0}));

TEST_F(GstEngineTest, VolumeAndMuteOutliveTheFile) {
    engine_->SetVolume(-2000);
    engine_->SetMute(true);
    engine_->Open(wav_);
    EXPECT_NEAR(engine_->OutputGain(), 0.1, 1e-7);
    EXPECT_TRUE(engine_->OutputMuted());
    EXPECT_TRUE(engine_->Mute());
    engine_->SetMute(false);
    EXPECT_FALSE(engine_->OutputMuted());
}

struct BadFile {
    const char* name;
    std::string bytes;  // written to the file unless `create` is false
    bool create;
};

class GstEngineBadFileTest : public GstEngineTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(GstEngineBadFileTest, RaisesAndLeavesTheEngineClosed) {
    const std::string path = dir_ / GetParam().name;
    if (GetParam().create) WriteFile(path, GetParam().bytes);
    engine_->Open(wav_);
    try {
        engine_->Open(path);
        FAIL() << "Open accepted " << path;
    } catch (const MediaError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
    EXPECT_EQ(engine_->state(), State::Closed);
    EXPECT_EQ(engine_->Duration(), 0.0);
    EXPECT_EQ(engine_->Position(), 0.0);
    EXPECT_FALSE(engine_->HasVideo());
    EXPECT_THROW(engine_->Play(), MediaError);
    Pump(100);
    EXPECT_EQ(ends_, 0);
    // The engine is still good for the next file.
    engine_->Open(wav_);
    EXPECT_NEAR(engine_->Duration(), 2.0, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GstEngineBadFileTest,
    ::testing::Values(BadFile{"missing.mp3", "", false},
                      BadFile{"notes.mp3", std::string(4000, 'x') + "not a sound at all", true},
                      BadFile{"empty.wav", "", true},
                      BadFile{"cut.wav", media_fixtures::WavBytes(1.0).substr(0, 30), true}),
    [](const auto& info) {
        std::string name = info.param.name;
        return name.substr(0, name.find('.'));
    });

TEST_F(GstEngineTest, CommandsWithoutAFileRaise) {
    EXPECT_THROW(engine_->Play(), MediaError);
    EXPECT_THROW(engine_->Pause(), MediaError);
    EXPECT_THROW(engine_->Stop(), MediaError);
    EXPECT_THROW(engine_->Seek(1), MediaError);
    EXPECT_EQ(engine_->FileName(), "");
    EXPECT_EQ(engine_->state(), State::Closed);
}

TEST(GstEngineSinks, WithoutAnAudioOutputAFileStillPlaysAgainstTheClock) {
    ScopedEnv audio("KESTO_AUDIO_SINK", std::nullopt);
    ScopedEnv video("KESTO_VIDEO_SINK", std::nullopt);
    TempDir dir;
    WriteFile(dir / "tone.wav", media_fixtures::WavBytes(2.0));
    GstMediaEngine engine;
    // The real output where the machine has one, else a clocked null sink.
    EXPECT_TRUE(engine.AudioSinkName() == "autoaudiosink" || engine.AudioSinkName() == "fakesink")
        << engine.AudioSinkName();
    EXPECT_EQ(engine.VideoSinkName(), "fakesink");
    engine.SetMute(true);
    engine.Open(dir / "tone.wav");
    Pump(400);
    EXPECT_GT(engine.Position(), 0.2);
    EXPECT_LT(engine.Position(), 1.5);
}

TEST(GstEngineSinks, VideoGoesToANullSinkWithoutADisplay) {
    ScopedEnv audio("KESTO_AUDIO_SINK", "fakesink");
    ScopedEnv video("KESTO_VIDEO_SINK", std::nullopt);
    TempDir dir;
    const std::string clip = dir / "clip.avi";
    ASSERT_EQ(media_fixtures::RunPipeline(
                  "videotestsrc num-buffers=20 ! video/x-raw,width=160,height=120,framerate=10/1 "
                  "! jpegenc ! avimux ! filesink location=" +
                  clip),
              "");
    QWidget window;
    window.resize(160, 120);
    window.show();
    GstMediaEngine engine;
    engine.SetVideoWindow(&window);
    engine.Open(clip);
    EXPECT_EQ(engine.VideoSinkName(), "fakesink");
    EXPECT_TRUE(engine.HasVideo());
    EXPECT_NEAR(engine.Duration(), 2.0, 0.05);
    Pump(300);
    EXPECT_GT(engine.Position(), 0.1);
    engine.SetVideoWindow(nullptr);
    EXPECT_EQ(engine.state(), MediaEngine::State::Playing);
}

// Every format the player offers opens and is timed. The media is encoded here; a format whose
// encoder this machine lacks is skipped, but its decoders must be present.
struct Format {
    const char* extension;
    std::vector<std::string> encoders;  // gst-launch pipelines into {out}; the first that exists
    double seconds;
    bool video;
};

const char* kVideo1s =
    "videotestsrc num-buffers=25 ! video/x-raw,width=160,height=120,"
    "framerate=25/1 ! videoconvert ! ";
const char* kAudio1s =
    "audiotestsrc num-buffers=10 samplesperbuffer=4410 ! "
    "audio/x-raw,rate=44100,channels=2 ! audioconvert ! ";

class GstEngineFormatTest : public GstEngineTest, public ::testing::WithParamInterface<Format> {};

TEST_P(GstEngineFormatTest, OpensAndIsTimed) {
    const Format& format = GetParam();
    const std::string path = dir_ / (std::string("clip.") + format.extension);
    if (std::string(format.extension) == "wav") {
        WriteFile(path, media_fixtures::WavBytes(format.seconds, 44100));
    } else if (std::string(format.extension) == "mid") {
        WriteFile(path, media_fixtures::MidiBytes(format.seconds));
    } else {
        std::string problems;
        bool made = false;
        for (std::string pipeline : format.encoders) {
            pipeline.replace(pipeline.find("{out}"), 5, path);
            bool missing = false;
            const std::string problem = media_fixtures::RunPipeline(pipeline, &missing);
            if (problem.empty()) {
                made = true;
                break;
            }
            ASSERT_TRUE(missing) << pipeline << ": " << problem;
            problems += problem + "; ";
        }
        if (!made) GTEST_SKIP() << "no encoder for ." << format.extension << " here: " << problems;
    }
    engine_->Open(path);
    EXPECT_NEAR(engine_->Duration(), format.seconds, 0.25);
    EXPECT_EQ(engine_->HasVideo(), format.video);
    EXPECT_EQ(engine_->state(), State::Playing);
}

INSTANTIATE_TEST_SUITE_P(
    PlayerFormats, GstEngineFormatTest,
    ::testing::Values(
        Format{"mp3", {std::string(kAudio1s) + "lamemp3enc ! filesink location={out}"}, 1, false},
        Format{"wav", {}, 1, false},
        Format{"wma",
               {std::string(kAudio1s) + "avenc_wmav2 ! asfmux ! filesink location={out}"},
               1,
               false},
        Format{"wmv",
               {std::string(kVideo1s) + "avenc_wmv2 ! asfmux ! filesink location={out}"},
               1,
               true},
        Format{"mid", {}, 1, false},
        // A video CD's .dat: an MPEG-1 program stream of VCD video and MPEG audio.
        Format{"dat",
               {"videotestsrc num-buffers=25 ! video/x-raw,width=352,height=288,framerate=25/1 ! "
                "videoconvert ! mpeg2enc format=1 ! mpegvideoparse ! avmux_vcd name=m ! "
                "filesink location={out} " +
                std::string(kAudio1s) + "avenc_mp2 bitrate=224000 ! mpegaudioparse ! m."},
               1,
               true},
        Format{"mpeg",
               {std::string(kVideo1s) +
                "mpeg2enc format=0 ! mpegvideoparse ! avmux_mpeg ! filesink location={out}"},
               1,
               true},
        Format{"mpg",
               {std::string(kVideo1s) +
                "mpeg2enc format=3 ! mpegvideoparse ! avmux_vob name=m ! filesink location={out} " +
                kAudio1s + "avenc_mp2 ! mpegaudioparse ! m."},
               1,
               true},
        Format{"avi",
               {std::string(kVideo1s) + "jpegenc ! avimux name=m ! filesink location={out} " +
                kAudio1s + "m."},
               1,
               true},
        Format{"mov",
               {std::string(kVideo1s) + "x264enc ! h264parse ! qtmux ! filesink location={out}",
                std::string(kVideo1s) + "jpegenc ! qtmux ! filesink location={out}"},
               1,
               true}),
    [](const auto& info) { return std::string(info.param.extension); });

}  // namespace
