// The real program, started several times: the first start plays, every later start hands its
// file to the first and ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>

#include "platform/files/files.h"
#include "platform/win/messages.h"
#include "tests/support/media_files.h"
#include "tests/support/programs.h"
#include "tests/support/running_player.h"
#include "tests/support/socket_listener.h"
#include "tests/support/test_support.h"

using testing_support::MailboxUp;
using testing_support::PlayerShowing;
using testing_support::PlaylistPaths;
using testing_support::PlaylistTitles;
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

    // Starts the program with this argument (none when empty), without waiting for it. Its
    // stderr is kept to be read when `readErrors` is set, else it goes to the test's.
    QProcess& Launch(const std::string& file = {}, const std::string& workingFolder = {},
                     bool readErrors = false) {
        QStringList args;
        if (!file.empty()) args << QString::fromStdString(file);
        return programs.Launch(KESTO_EXE, args, QString::fromStdString(workingFolder), readErrors);
    }

    QProcess& Run(const std::string& file = {}, const std::string& workingFolder = {},
                  bool readErrors = false) {
        QProcess& p = Launch(file, workingFolder, readErrors);
        EXPECT_TRUE(p.waitForStarted(5000));
        return p;
    }
};

}  // namespace

TEST_F(Instances, ASecondStartHandsItsFileOverAndTheEndOfAFileAdvances) {
    std::string a = Wav("a.wav", 1.0), b = Wav("b.wav", 1.5);
    QProcess& first = Run(a);
    ASSERT_TRUE(QTest::qWaitFor(MailboxUp, 15000));
    ASSERT_TRUE(QTest::qWaitFor([] { return PlayerShowing("a.wav"); }, 10000));

    QProcess& second = Run(b);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QTest::qWaitFor(
        [] {
            return PlaylistTitles() == std::vector<std::string>{"a.wav", "b.wav"};
        },
        5000));
    EXPECT_TRUE(QTest::qWaitFor([] { return PlayerShowing("b.wav"); }, 5000));
    // b.wav plays to its end; with nothing selected the advance starts the first entry.
    EXPECT_TRUE(QTest::qWaitFor([] { return PlayerShowing("a.wav"); }, 10000));
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
    ASSERT_TRUE(QTest::qWaitFor([] { return PlaylistTitles().size() == 5; }, 5000));
    std::vector<std::string> titles = PlaylistTitles();
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
    EXPECT_TRUE(QTest::qWaitFor([] { return PlaylistTitles().size() == 2; }, 10000));
    EXPECT_EQ(running(), 1);  // only one player runs
}

TEST_F(Instances, ABurstOfStartsWithNoPlayerRunningKeepsEveryFile) {
    // All start at once: one becomes the player, every other one waits for its mailbox as long as
    // it is starting and hands its file over.
    constexpr int kStarts = 24;
    std::set<std::string> expected;
    std::vector<std::string> files;
    for (int i = 0; i < kStarts; ++i) {
        std::string name = "start" + std::to_string(i) + ".wav";
        expected.insert(name);
        files.push_back(Wav(name, 0.5));
    }
    for (const std::string& file : files) Launch(file);
    for (auto& p : processes) ASSERT_TRUE(p->waitForStarted(10000));
    auto finished = [&] {
        return std::count_if(processes.begin(), processes.end(),
                             [](const auto& p) { return p->state() == QProcess::NotRunning; });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished() == kStarts - 1; }, 120000));
    for (auto& p : processes) {
        if (p->state() == QProcess::NotRunning) {
            EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p->exitCode(), 0);
        }
    }
    ASSERT_TRUE(QTest::qWaitFor([] { return PlaylistTitles().size() == kStarts; }, 10000));
    std::vector<std::string> titles = PlaylistTitles();
    EXPECT_EQ(std::set<std::string>(titles.begin(), titles.end()), expected);
}

TEST_F(Instances, ARelativePathIsHandedOverAsTheSecondStartSeesIt) {
    Run();
    ASSERT_TRUE(QTest::qWaitFor(MailboxUp, 15000));
    std::string media = program / "media";
    WriteFile(media + "/tune.wav", testing_support::Wav(0.5));
    QProcess& second = Run("tune.wav", media);
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_TRUE(QTest::qWaitFor([] { return PlaylistPaths().size() == 1; }, 5000));
    EXPECT_EQ(PlaylistPaths(), std::vector<std::string>{media + "/tune.wav"});
    EXPECT_EQ(PlaylistTitles(), std::vector<std::string>{"tune.wav"});
}

TEST_F(Instances, AStartWhoseRunningPlayerEndsBeforeTakingItsFileSaysSoAndFails) {
    // A player holds the instance lock but never shows its mailbox, then ends.
    std::string lock =
        platform::files::RuntimeFolder() + "/Kesto-" + std::to_string(::getuid()) + ".instance";
    int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    QProcess& second = Run(Wav("lost.wav", 0.5), {}, true);
    EXPECT_FALSE(second.waitForFinished(1500));  // it waits while that player runs
    ::close(fd);
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_NE(second.exitCode(), 0);
    std::string said = second.readAllStandardError().toStdString();
    EXPECT_NE(said.find("the running player ended before it took"), std::string::npos) << said;
    EXPECT_NE(said.find("lost.wav"), std::string::npos) << said;
}

TEST_F(Instances, ARunTimeFolderOfAnotherUserIsRefusedAndThePlayerRunsAlone) {
    // Another user made the fallback folder first, holds the instance lock in it and listens there
    // as if it were the running player.
    TempDir tmp;
    std::string trap = tmp / ("kesto-" + std::to_string(::getuid()));
    std::filesystem::create_directories(trap + "/kesto-windows");
    testing_support::SocketListener listener(trap + "/kesto-windows/1");
    ASSERT_TRUE(listener.Listening());
    std::string lock = trap + "/Kesto-" + std::to_string(::getuid()) + ".instance";
    int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    for (const auto& p : {trap, trap + "/kesto-windows", trap + "/kesto-windows/1", lock}) {
        ::chmod(p.c_str(), 0777);
        ASSERT_EQ(::chown(p.c_str(), 4242, 4242), 0);
    }
    ScopedEnv tmpdir("TMPDIR", tmp.path());
    ScopedEnv xdg("XDG_RUNTIME_DIR", std::nullopt);
    QProcess& player = Run(Wav("private.wav", 5), {}, true);
    EXPECT_FALSE(player.waitForFinished(3000));  // it runs, as a first instance
    EXPECT_FALSE(listener.Connected());
    EXPECT_FALSE(listener.Connected(100));
    player.kill();
    player.waitForFinished(5000);
    std::string said = player.readAllStandardError().toStdString();
    EXPECT_NE(said.find(trap), std::string::npos) << said;
    EXPECT_NE(said.find("belongs to user 4242"), std::string::npos) << said;
    EXPECT_EQ(said.find("belongs to user 4242"), said.rfind("belongs to user 4242")) << said;
    ::close(fd);
}

TEST_F(Instances, AFileThatCannotBePlayedSaysWhyInThePlayersWindow) {
    Run();
    ASSERT_TRUE(QTest::qWaitFor(MailboxUp, 15000));
    WriteFile(program / "notes.mp3", "just some text, no sound");
    std::filesystem::create_directories(program / "folder.mp3");
    struct Case {
        std::string path;
        std::string shown;
    } cases[] = {
        {program / "notes.mp3", "Cannot play \"notes.mp3\": "},
        {program / "gone.mp3", "Cannot open \"gone.mp3\": there is no such file"},
        {program / "folder.mp3", "Cannot open \"folder.mp3\": it is a folder, not a media file"},
    };
    for (const Case& c : cases) {
        QProcess& second = Run(c.path);
        ASSERT_TRUE(second.waitForFinished(15000));
        auto showing = [&] {
            for (const std::string& text : testing_support::PlayerTexts()) {
                if (text.rfind(c.shown, 0) == 0) return true;
            }
            return false;
        };
        EXPECT_TRUE(QTest::qWaitFor(showing, 10000)) << c.shown;
    }
}
