// The real program, started several times: the first start plays, every later start hands its
// file to the first and ends.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>
#include <chrono>
#include <memory>
#include <set>

#include "platform/win/messages.h"
#include "tests/support/media_files.h"
#include "tests/support/programs.h"
#include "tests/support/test_support.h"

using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

class Instances : public ::testing::Test {
protected:
    TempDir program;
    ScopedEnv dir{"KESTO_PROGRAM_DIR", program.path()};
    ScopedEnv audio{"KESTO_AUDIO_SINK", std::string("fakesink")};
    ScopedEnv video{"KESTO_VIDEO_SINK", std::string("fakesink")};
    ScopedEnv qpa{"QT_QPA_PLATFORM", std::string("offscreen")};
    testing_support::Programs programs;
    const std::vector<std::unique_ptr<QProcess>>& processes = programs.All();

    std::string Wav(const std::string& name, double seconds) {
        std::string path = program / name;
        WriteFile(path, testing_support::Wav(seconds));
        return path;
    }

    QProcess& Run(const std::string& file = {}) {
        QStringList args;
        if (!file.empty()) args << QString::fromStdString(file);
        return programs.Run(KESTO_EXE, args);
    }

    // The titles in the first instance's playlist.
    static std::vector<std::string> Titles() {
        std::vector<std::string> titles;
        HWND form2 = FindWindowA("ThunderRT6FormDC", "Playlist");
        HWND list = form2 ? FindWindowExA(form2, nullptr, "ThunderRT6ListBox", nullptr) : nullptr;
        LRESULT n = list ? SendMessageA(list, LB_GETCOUNT, 0, 0) : LB_ERR;
        for (LRESULT i = 0; i < n; ++i) {
            char buf[512];
            if (SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(buf)) != LB_ERR) {
                titles.emplace_back(buf);
            }
        }
        return titles;
    }

    // True when the first instance's main window shows this title.
    static bool Showing(const char* title) {
        HWND main = FindWindowA("ThunderRT6FormDC", "");
        return main && FindWindowExA(main, nullptr, nullptr, title);
    }

    static bool MailboxUp() { return FindWindowA("ThunderRT6FormDC", "Startup") != nullptr; }
};

}  // namespace

TEST_F(Instances, ASecondStartHandsItsFileOverAndTheEndOfAFileAdvances) {
    std::string a = Wav("a.wav", 1.0), b = Wav("b.wav", 1.5);
    QProcess& first = Run(a);
    ASSERT_TRUE(QTest::qWaitFor(MailboxUp, 15000));
    ASSERT_TRUE(QTest::qWaitFor([] { return Showing("a.wav"); }, 10000));

    QProcess& second = Run(b);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QTest::qWaitFor(
        [] {
            return Titles() == std::vector<std::string>{"a.wav", "b.wav"};
        },
        5000));
    EXPECT_TRUE(QTest::qWaitFor([] { return Showing("b.wav"); }, 5000));
    // b.wav plays to its end; with nothing selected the advance starts the first entry.
    EXPECT_TRUE(QTest::qWaitFor([] { return Showing("a.wav"); }, 10000));
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(Instances, ABurstOfSecondStartsLosesNoFile) {
    Run();
    ASSERT_TRUE(QTest::qWaitFor(MailboxUp, 15000));
    std::set<std::string> expected;
    std::vector<QProcess*> burst;
    for (int i = 0; i < 5; ++i) {
        std::string name = "burst" + std::to_string(i) + ".wav";
        expected.insert(name);
        burst.push_back(&Run(Wav(name, 0.5)));
    }
    for (QProcess* p : burst) {
        ASSERT_TRUE(p->waitForFinished(15000));
        EXPECT_EQ(p->exitCode(), 0);
    }
    ASSERT_TRUE(QTest::qWaitFor([] { return Titles().size() == 5; }, 5000));
    std::vector<std::string> titles = Titles();
    EXPECT_EQ(std::set<std::string>(titles.begin(), titles.end()), expected);
}

TEST_F(Instances, AStartWhileTheFirstIsStillStartingWaitsForItsMailbox) {
    // Both start at once; whichever takes the instance first, the other hands its file to it.
    Run(Wav("first.wav", 3));
    Run(Wav("second.wav", 3));
    auto running = [&] {
        return std::count_if(processes.begin(), processes.end(),
                             [](const auto& p) { return p->state() == QProcess::Running; });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return running() == 1; }, 15000));
    for (auto& p : processes) {
        if (p->state() == QProcess::NotRunning) {
            EXPECT_EQ(p->exitCode(), 0);
        }
    }
    EXPECT_TRUE(QTest::qWaitFor([] { return Titles().size() == 2; }, 10000));
    EXPECT_EQ(running(), 1);  // only one player runs
}
