// The program users run, Kesto: a start that a running player takes is handed over without
// loading the player's libraries; every other start becomes the player, in the same process.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QProcess>
#include <QTest>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/files/files.h"
#include "platform/win/handover.h"
#include "tests/support/media_files.h"
#include "tests/support/programs.h"
#include "tests/support/running_player.h"
#include "tests/support/socket_listener.h"
#include "tests/support/test_support.h"

namespace handover = platform::win::handover;
using testing_support::ScopedEnv;
using testing_support::TempDir;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// A running player's mailbox, played by this test process: it answers the search for the start-up
// form and its text box, and before it answers the text it reads which shared objects the sender
// has mapped.
class FakePlayer {
public:
    FakePlayer() {
        EXPECT_TRUE(listener_.Listening());
        thread_ = std::thread([this] { Serve(); });
    }
    ~FakePlayer() {
        stop_ = true;
        thread_.join();
    }
    // Valid once the text has arrived.
    bool got() const { return got_; }
    std::string text() const { return text_; }
    std::string senderMaps() const { return maps_; }

private:
    void Serve() {
        while (!stop_) {
            if (!listener_.Connected(20)) continue;
            int c = ::accept4(listener_.fd(), nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0) continue;
            Answer(c);
            ::close(c);
        }
    }
    void Answer(int c) {
        std::string in;
        char buf[4096];
        handover::Packet q;
        size_t used = 0;
        while (handover::Parse(in, &q, &used) == handover::Parsed::kIncomplete) {
            ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0) return;
            in.append(buf, static_cast<size_t>(n));
        }
        handover::Packet a;
        a.command = "ok";
        if (q.command == "find" && q.a == "ThunderRT6FormDC" && q.b == "StartUp") a.handle = 7;
        if (q.command == "child" && q.handle == 7 && q.a == "ThunderRT6TextBox") a.handle = 8;
        if (q.command == "settext" && q.handle == 8) {
            ucred peer{};
            socklen_t len = sizeof peer;
            ::getsockopt(c, SOL_SOCKET, SO_PEERCRED, &peer, &len);
            maps_ = Slurp("/proc/" + std::to_string(peer.pid) + "/maps");
            text_ = q.a.value_or("");
            got_ = true;
            a.handle = 1;
        }
        std::string out = handover::Encode(a);
        ::send(c, out.data(), out.size(), MSG_NOSIGNAL);
    }

    testing_support::SocketListener listener_{
        handover::MailboxFolder(platform::files::RuntimeFolder()) + "/" +
        std::to_string(::getpid())};
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> got_{false};
    std::string text_, maps_;
};

class Launcher : public ::testing::Test {
protected:
    TempDir program;
    ScopedEnv dir{"KESTO_PROGRAM_DIR", program.path()};
    ScopedEnv audio{"KESTO_AUDIO_SINK", std::string("fakesink")};
    ScopedEnv video{"KESTO_VIDEO_SINK", std::string("fakesink")};
    testing_support::Programs programs;
};

}  // namespace

TEST_F(Launcher, HandsTheFileToARunningPlayerWithoutLoadingQtOrGStreamer) {
    FakePlayer player;
    std::string media = program / "media";
    std::filesystem::create_directories(media);
    QProcess& start = programs.Launch(KESTO_EXE, {"my tune.wav"}, QString::fromStdString(media));
    ASSERT_TRUE(start.waitForFinished(10000));
    EXPECT_EQ(start.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(start.exitCode(), 0);
    ASSERT_TRUE(player.got());
    EXPECT_EQ(player.text(), media + "/my tune.wav");
    const std::string maps = player.senderMaps();
    EXPECT_NE(maps.find("libc.so"), std::string::npos) << maps;
    EXPECT_EQ(maps.find("libQt"), std::string::npos) << maps;
    EXPECT_EQ(maps.find("libgst"), std::string::npos) << maps;
}

TEST_F(Launcher, BecomesThePlayerInTheSameProcessWhenNoPlayerAnswers) {
    std::string file = program / "alone.wav";
    testing_support::WriteFile(file, testing_support::Wav(5));
    QProcess& start = programs.Run(KESTO_EXE, {QString::fromStdString(file)});
    ASSERT_TRUE(QTest::qWaitFor(testing_support::MailboxUp, 15000));
    EXPECT_TRUE(QTest::qWaitFor([] { return testing_support::PlayerShowing("alone.wav"); }, 10000));
    // The mailbox is the launched process's own, and that process is now the player; it keeps
    // the launcher's name for its instance lock.
    std::string runtime = platform::files::RuntimeFolder();
    std::string pid = std::to_string(start.processId());
    EXPECT_TRUE(std::filesystem::exists(handover::MailboxFolder(runtime) + "/" + pid));
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + pid + "/exe").filename(), "kesto-player");
    EXPECT_TRUE(
        std::filesystem::exists(runtime + "/Kesto-" + std::to_string(::getuid()) + ".instance"));
}
