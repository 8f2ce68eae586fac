#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "platform/vb/Error.h"
#include "platform/vb/Shell.h"
#include "platform/win/sound.h"
#include "tests/support/test_support.h"

using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// A mono 16-bit WAV of `seconds` of a 440 Hz tone.
std::string Wav(double seconds, int rate = 8000) {
    auto u32 = [](std::string& s, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xff);
    };
    auto u16 = [](std::string& s, std::uint16_t v) { s += char(v & 0xff), s += char(v >> 8); };
    std::uint32_t samples = static_cast<std::uint32_t>(seconds * rate);
    std::string s = "RIFF";
    u32(s, 36 + samples * 2);
    s += "WAVEfmt ";
    u32(s, 16), u16(s, 1), u16(s, 1), u32(s, rate), u32(s, rate * 2), u16(s, 2), u16(s, 16);
    s += "data";
    u32(s, samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i) {
        u16(s, static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / rate))));
    }
    return s;
}

}  // namespace

TEST(SndPlaySound, PlaysAWaveFileToItsEndAndFallsBackToTheDefaultSound) {
    ScopedEnv sink("KESTO_AUDIO_SINK", std::string("fakesink"));
    TempDir dir;
    WriteFile(dir / "aah.wav", Wav(0.2));
    EXPECT_TRUE(sndPlaySoundA((dir / "AAH.WAV").c_str(), SND_SYNC));
    EXPECT_TRUE(sndPlaySoundA((dir / "aah.wav").c_str(), SND_ASYNC));
    EXPECT_FALSE(sndPlaySoundA((dir / "missing.wav").c_str(), SND_ASYNC));
    WriteFile(dir / "bad.wav", "not a sound");
    EXPECT_FALSE(sndPlaySoundA((dir / "bad.wav").c_str(), SND_SYNC | SND_NODEFAULT));
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
