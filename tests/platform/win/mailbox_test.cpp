#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>
#include <QWidget>

#include <cstring>
#include <filesystem>

#include "platform/files/files.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"
#include "tests/platform/win/startup_form.h"
#include "tests/support/socket_listener.h"
#include "tests/support/test_support.h"

namespace {

std::string Send(HWND box, const char* text) {
    return std::to_string(SendMessageA(box, WM_SETTEXT, 256, reinterpret_cast<LPARAM>(text)));
}

}  // namespace

TEST(Mailbox, FindsAndFillsAWindowOfThisProcess) {
    testing_support::StartUpForm startUp;
    QWidget& form = startUp.form;
    QLineEdit* box = startUp.box;
    HWND h = FindWindowA("ThunderRT6FormDC", "StartUp");  // titles match without regard to case
    ASSERT_EQ(h, platform::win::HandleOf(&form));
    EXPECT_EQ(FindWindowA("ThunderRT6FormDC", "Miralo"), nullptr);
    EXPECT_EQ(FindWindowA("OtherClass", "Startup"), nullptr);
    HWND t = FindWindowExA(h, nullptr, "ThunderRT6TextBox", nullptr);
    ASSERT_EQ(t, platform::win::HandleOf(box));
    EXPECT_EQ(Send(t, "/music/a b.mp3"), "1");
    EXPECT_EQ(box->text(), "/music/a b.mp3");
    char buf[8];
    EXPECT_EQ(SendMessageA(t, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 7);
    EXPECT_STREQ(buf, "/music/");
    EXPECT_EQ(SendMessageA(nullptr, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), 0);
}

TEST(Mailbox, ReachesTheWindowOfAnotherProcessAndWaitsForTheDelivery) {
    QProcess peer;
    peer.start(KESTO_MAILBOX_PEER, {});
    ASSERT_TRUE(peer.waitForStarted(5000));
    ASSERT_TRUE(peer.waitForReadyRead(10000));
    ASSERT_EQ(peer.readLine().trimmed(), "ready");

    HWND h = FindWindowA("ThunderRT6FormDC", "StartUp");
    ASSERT_NE(h, nullptr);
    HWND t = FindWindowExA(h, nullptr, "ThunderRT6TextBox", nullptr);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(Send(t, "/music/first.mp3"), "1");
    // Synchronous: the peer has handled the text when the send returns.
    ASSERT_TRUE(peer.waitForReadyRead(5000));
    EXPECT_EQ(peer.readLine().trimmed(), "got:/music/first.mp3");
    char title[64];
    EXPECT_EQ(SendMessageA(t, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title)), 16);
    EXPECT_STREQ(title, "/music/first.mp3");
    HWND list = FindWindowExA(h, nullptr, "ThunderRT6ListBox", nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 1, 0), 12);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(title)), 12);
    EXPECT_STREQ(title, "second title");
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(title)), LB_ERR);
    EXPECT_EQ(Send(t, "quit"), "1");
    EXPECT_TRUE(peer.waitForFinished(5000));
    EXPECT_EQ(peer.exitCode(), 0);
    // Its window is gone with it.
    EXPECT_EQ(FindWindowA("ThunderRT6FormDC", "StartUp"), nullptr);
    EXPECT_EQ(Send(t, "late"), "0");
}

TEST(Mailbox, SocketsOfEndedProcessesAreRemoved) {
    std::string folder = platform::files::RuntimeFolder() + "/kesto-windows";
    std::filesystem::create_directories(folder);
    // A process id that no process has: the highest one the kernel never hands out.
    std::string stale = folder + "/4194304";
    // The socket file a crashed process leaves behind.
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, stale.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    ASSERT_TRUE(std::filesystem::exists(stale));
    EXPECT_EQ(FindWindowA("ThunderRT6FormDC", "Nobody"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(stale));
}

TEST(Mailbox, ARunTimeFolderOfAnotherUserIsNeitherAskedNorUsed) {
    // Another user made the fallback folder first and listens there as if it were a player.
    testing_support::TempDir tmp;
    testing_support::ScopedEnv tmpdir("TMPDIR", tmp.path());
    testing_support::ScopedEnv xdg("XDG_RUNTIME_DIR", std::nullopt);
    std::string trap = tmp / ("kesto-" + std::to_string(::getuid()));
    std::filesystem::create_directories(trap + "/kesto-windows");
    testing_support::SocketListener listener(trap + "/kesto-windows/1");
    ASSERT_TRUE(listener.Listening());
    for (const auto& p : {trap, trap + "/kesto-windows", trap + "/kesto-windows/1"}) {
        ::chmod(p.c_str(), 0777);
        ASSERT_EQ(::chown(p.c_str(), 4242, 4242), 0);
    }

    testing::internal::CaptureStderr();
    EXPECT_EQ(FindWindowA("ThunderRT6FormDC", "StartUp"), nullptr);
    EXPECT_FALSE(platform::win::PublishWindows());
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("belongs to user 4242"), std::string::npos) << said;
    QCoreApplication::processEvents();
    EXPECT_FALSE(listener.Connected());
    EXPECT_FALSE(listener.Connected(100));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(trap + "/kesto-windows"),
                            std::filesystem::directory_iterator()),
              1);
}
