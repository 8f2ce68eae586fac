// The player's forms on a temporary program folder and registry, with the fake media engine, the
// manual clock and scripted dialogs. Every test starts with no form loaded.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>
#include <memory>
#include <string>

#include "platform/controls/MediaPlayer.h"
#include "platform/vb/App.h"
#include "platform/vb/Dialogs.h"
#include "platform/vb/Form.h"
#include "platform/vb/Timer.h"
#include "player/Form2.h"
#include "player/Form5.h"
#include "player/FrmVideo.h"
#include "player/Remote.h"
#include "player/frmMain1.h"
#include "tests/support/FakeMediaEngine.h"
#include "tests/support/test_support.h"

class PlayerTest : public ::testing::Test {
protected:
    testing_support::TempDir program;
    testing_support::ScopedEnv programDir{"KESTO_PROGRAM_DIR", program.path()};
    // Every test starts with a registry of its own: no run counts or settings of earlier tests.
    // It is kept in memory: every first run writes the file-type association into it.
    testing_support::TempDir settings{testing_support::MemoryFolder()};
    testing_support::ScopedEnv registry{"KESTO_REGISTRY", settings / "registry.reg"};
    vb::DialogScript script;
    controls::FakeMediaEngine* fake = nullptr;  // the engine of the current media player
    int ends = 0;
    std::map<std::string, double> durations;

    void SetUp() override {
        vb::TimerClock::UseManual(true);
        controls::SetMediaEngineFactory([this] {
            auto engine = std::make_unique<controls::FakeMediaEngine>();
            for (const auto& [path, seconds] : durations) engine->SetDuration(path, seconds);
            fake = engine.get();
            return engine;
        });
        vb::SetEndHandler([this] { ++ends; });
        vb::SetCommand("");
    }

    void TearDown() override {
        UnloadAll();
        controls::SetMediaEngineFactory(nullptr);
        vb::SetEndHandler(nullptr);
        vb::TimerClock::UseManual(false);
    }

    static void UnloadAll() {
        std::vector<vb::Form*> forms = vb::Forms();
        for (vb::Form* f : forms) vb::Unload(*f);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A media file in the program folder, `seconds` long for the fake engine.
    std::string Media(const std::string& name, double seconds = 60) {
        std::string path = program / name;
        testing_support::WriteFile(path, "media");
        durations[path] = seconds;
        if (fake) fake->SetDuration(path, seconds);
        return path;
    }

    // Starts the player as the first instance with this command line.
    void Start(const std::string& commandLine = "") {
        vb::SetCommand(commandLine);
        Form5.Get();
    }

    // Appends a playlist entry as the producers do.
    static void Append(const std::string& title, const std::string& path) {
        Form2->List1.AddItem(title);
        Form2->List2.AddItem(path);
    }

    static controls::MediaPlayer& Player() { return FrmVideo->MediaPlayer1; }

    int Count(const std::string& call) const {
        int n = 0;
        for (const auto& c : fake->calls()) n += c == call;
        return n;
    }
};
