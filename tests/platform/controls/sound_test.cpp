#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "platform/vb/Error.h"
#include "platform/vb/Shell.h"
#include "platform/win/sound.h"
#include "tests/support/media_files.h"
#include "tests/support/test_support.h"

using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFile;

using testing_support::Wav;

TEST(SndPlaySound, PlaysAWaveFileToItsEndAndFallsBackToTheDefaultSound) {
    ScopedEnv sink("KESTO_AUDIO_SINK", std::string("fakesink"));
    ScopedEnv module("KESTO_GST_MODULE", std::string(KESTO_GST_MODULE_FILE));
    TempDir dir;
    WriteFile(dir / "aah.wav", Wav(0.2));
    EXPECT_TRUE(sndPlaySoundA((dir / "AAH.WAV").c_str(), SND_SYNC));
    EXPECT_TRUE(sndPlaySoundA((dir / "aah.wav").c_str(), SND_ASYNC));
    EXPECT_FALSE(sndPlaySoundA((dir / "missing.wav").c_str(), SND_ASYNC));
    WriteFile(dir / "bad.wav", "not a sound");
    EXPECT_FALSE(sndPlaySoundA((dir / "bad.wav").c_str(), SND_SYNC | SND_NODEFAULT));
    // Played on without waiting, a file that is no sound still gives way to the default sound.
    EXPECT_FALSE(sndPlaySoundA((dir / "bad.wav").c_str(), SND_ASYNC));
    // A new sound takes the place of one still playing.
    WriteFile(dir / "long.wav", Wav(2));
    EXPECT_TRUE(sndPlaySoundA((dir / "long.wav").c_str(), SND_ASYNC));
    EXPECT_TRUE(sndPlaySoundA((dir / "aah.wav").c_str(), SND_ASYNC));
}

TEST(SndPlaySound, ATestCanListenInstead) {
    std::vector<std::string> heard;
    platform::win::SetSoundHandler([&](const std::string& p, UINT f) {
        heard.push_back(p + ":" + std::to_string(f));
        return true;
    });
    EXPECT_TRUE(sndPlaySoundA("/prog/aah.wav", SND_ASYNC));
    platform::win::SetSoundHandler(nullptr);
    EXPECT_EQ(heard, std::vector<std::string>{"/prog/aah.wav:1"});
}

TEST(Shell, StartsAProgramWithoutWaitingAndRefusesAMissingOne) {
    EXPECT_GT(vb::Shell("/bin/true", vb::vbNormalFocus), 0);
    TempDir dir;
    try {
        vb::Shell(dir / "sysoff", vb::vbNormalFocus);
        FAIL() << "a missing program started";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::vbErrFileNotFound);
    }
}
