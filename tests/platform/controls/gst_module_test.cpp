#include "platform/controls/GstModule.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/controls/MediaEngine.h"
#include "platform/win/sound.h"
#include "tests/support/test_support.h"

using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// The output of a command.
std::string Output(const std::string& command) {
    std::string out;
    if (std::FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        while (size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

}  // namespace

TEST(GstModule, ThePlayerMapsNoGStreamerLibraryAndTheModuleExportsItsEntryAlone) {
    std::string libraries = Output(std::string("ldd '") + KESTO_EXE + "'");
    ASSERT_NE(libraries.find("libQt6Widgets"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libgst"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("liborc"), std::string::npos) << libraries;
    EXPECT_NE(Output(std::string("ldd '") + KESTO_GST_MODULE_FILE + "'").find("libgstreamer-1.0"),
              std::string::npos);
    std::string functions =
        Output(std::string("nm -D --defined-only '") + KESTO_GST_MODULE_FILE + "' | grep ' T '");
    EXPECT_EQ(functions.substr(functions.find(' ')), " T KestoGstModule\n") << functions;
}

TEST(GstModule, AModuleThatCannotBeLoadedIsSaidWithItsPath) {
    TempDir dir;
    WriteFile(dir / "garbage.so", std::string(512, 'x'));
    struct Case {
        std::string path;
        const char* reason;
    } cases[] = {
        {dir / "missing.so", "No such file"},
        {dir / "garbage.so", "invalid ELF header"},
        {"libm.so.6", "it has no entry KestoGstModule"},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_EQ(controls::LoadGstModuleFrom(c.path, &why), nullptr) << c.path;
        EXPECT_EQ(why.rfind("the playback module " + c.path + " cannot be loaded: ", 0), 0u) << why;
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
}

TEST(GstModule, WithoutTheModuleAnEngineCannotPlayAndSoundsFallBack) {
    TempDir dir;
    WriteFile(dir / "aah.wav", "RIFF");
    ScopedEnv module("KESTO_GST_MODULE", dir / "libkesto_gst.so");
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            controls::CreateGstEngine();
            ADD_FAILURE() << "an engine without its module";
        } catch (const controls::MediaError& e) {
            EXPECT_EQ(
                std::string(e.what()).rfind("Cannot play: the playback module " +
                                                (dir / "libkesto_gst.so") + " cannot be loaded",
                                            0),
                0u)
                << e.what();
        }
    }
    controls::PrepareGstEngine();  // nothing to prepare, and no crash
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sndPlaySoundA((dir / "aah.wav").c_str(), SND_ASYNC | SND_NODEFAULT));
    EXPECT_FALSE(sndPlaySoundA((dir / "aah.wav").c_str(), SND_SYNC | SND_NODEFAULT));
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("Cannot play sounds: the playback module"), std::string::npos) << errors;
}

TEST(GstModule, TheModuleGivesEnginesAndSounds) {
    ScopedEnv module("KESTO_GST_MODULE", std::string(KESTO_GST_MODULE_FILE));
    ScopedEnv sink("KESTO_AUDIO_SINK", std::string("fakesink"));
    std::string why;
    ASSERT_NE(controls::LoadGstModule(&why), nullptr) << why;
    std::unique_ptr<controls::MediaEngine> engine = controls::CreateGstEngine();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->state(), controls::MediaEngine::State::Closed);
    EXPECT_THROW(engine->Play(), controls::MediaError);  // thrown in the module, caught here
}
