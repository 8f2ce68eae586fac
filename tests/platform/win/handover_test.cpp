// The wire of the published windows: the packet bytes, and the published server answering
// questions however they arrive.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDataStream>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <thread>

#include "platform/files/files.h"
#include "platform/win/handover.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"
#include "tests/platform/win/startup_form.h"
#include "tests/support/socket_listener.h"

using namespace platform::win;
using handover::Packet;
using handover::Parsed;

namespace {

QByteArray Bytes(const std::optional<std::string>& s) {
    return s ? QByteArray(s->data(), static_cast<qsizetype>(s->size())) : QByteArray();
}

// The packet as a Qt data stream writes it: the layout peers of this program have always used.
std::string StreamEncoded(const Packet& p) {
    QByteArray body;
    QDataStream s(&body, QIODevice::WriteOnly);
    s << QString::fromStdString(p.command) << quint64(p.handle) << quint64(p.after) << Bytes(p.a)
      << Bytes(p.b);
    QByteArray framed;
    QDataStream f(&framed, QIODevice::WriteOnly);
    f << static_cast<quint32>(body.size());
    framed += body;
    return framed.toStdString();
}

bool Same(const Packet& x, const Packet& y) {
    return x.command == y.command && x.handle == y.handle && x.after == y.after && x.a == y.a &&
           x.b == y.b;
}

Packet Make(std::string command, uint64_t handle, uint64_t after, std::optional<std::string> a,
            std::optional<std::string> b) {
    Packet p;
    p.command = std::move(command);
    p.handle = handle;
    p.after = after;
    p.a = std::move(a);
    p.b = std::move(b);
    return p;
}

}  // namespace

TEST(HandoverWire, PacketsHaveTheDataStreamLayoutAndReadBack) {
    const Packet cases[] = {
        Make("find", 0, 0, std::string("ThunderRT6FormDC"), std::string("StartUp")),
        Make("find", 0, 0, std::nullopt, std::string("")),  // any class, the empty title
        Make("child", 0x7f00000000001234, 0x55, std::string("ThunderRT6TextBox"), std::nullopt),
        Make("settext", 42, 0, std::string("/music/a b \xc3\xa9.mp3"), std::nullopt),
        Make("settext", 42, 0, std::string("nul\0inside", 10), std::nullopt),
        Make("ok", ~0ull, 0, std::nullopt, std::nullopt),
    };
    for (const Packet& p : cases) {
        std::string encoded = handover::Encode(p);
        EXPECT_EQ(encoded, StreamEncoded(p)) << p.command;
        Packet back;
        size_t used = 0;
        ASSERT_EQ(handover::Parse(encoded + "next", &back, &used), Parsed::kPacket);
        EXPECT_EQ(used, encoded.size());
        EXPECT_TRUE(Same(back, p)) << p.command;
    }
}

TEST(HandoverWire, PartialOversizedAndBrokenPacketsAreTold) {
    std::string whole = handover::Encode(Make("find", 0, 0, std::string("a"), std::nullopt));
    Packet p;
    size_t used = 0;
    for (size_t n : {size_t(0), size_t(3), size_t(4), whole.size() - 1}) {
        EXPECT_EQ(handover::Parse(whole.substr(0, n), &p, &used), Parsed::kIncomplete) << n;
    }
    EXPECT_EQ(handover::Parse(std::string("\x01\x00\x00\x01", 4), &p, &used), Parsed::kTooLarge);
    // A frame whose text claims more than the frame holds, and a command of odd length.
    std::string claims = std::string("\0\0\0\x08\0\0\0\x10", 8) + std::string(4, 'x');
    EXPECT_EQ(handover::Parse(claims, &p, &used), Parsed::kMalformed);
    EXPECT_EQ(used, 12u);
    std::string odd = std::string("\0\0\0\x05\0\0\0\x01x", 9);
    EXPECT_EQ(handover::Parse(odd, &p, &used), Parsed::kMalformed);
    // A command that is not ASCII matches no command.
    std::string wide = StreamEncoded(Make("fi\xc3\xa9", 0, 0, std::nullopt, std::nullopt));
    ASSERT_EQ(handover::Parse(wide, &p, &used), Parsed::kPacket);
    EXPECT_EQ(p.command, "?");
}

namespace {

// The socket this process publishes its windows on.
std::string OwnSocket() {
    return handover::MailboxFolder(platform::files::RuntimeFolder()) + "/" +
           std::to_string(::getpid());
}

// A raw connection to this process's published server.
class RawClient {
public:
    RawClient() {
        sockaddr_un addr = testing_support::LocalAddress(OwnSocket());
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~RawClient() { ::close(fd_); }
    bool connected() const { return connected_; }
    void Send(std::string_view bytes) {
        ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    // The answers that arrive while the event loop runs for `ms`.
    std::vector<Packet> Answers(int ms) {
        QTest::qWait(ms);
        char buf[4096];
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0) break;
            ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0) {
                closed_ = true;
                break;
            }
            in_.append(buf, static_cast<size_t>(n));
        }
        std::vector<Packet> out;
        Packet p;
        size_t used = 0;
        while (handover::Parse(in_, &p, &used) == Parsed::kPacket) {
            out.push_back(p);
            in_.erase(0, used);
        }
        return out;
    }
    bool closed() const { return closed_; }

private:
    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
    std::string in_;
};

}  // namespace

TEST(HandoverServer, AnswersQuestionsSplitOrJoinedAndSkipsBrokenOnes) {
    testing_support::StartUpForm startUp;
    QWidget& form = startUp.form;
    QLineEdit* box = startUp.box;
    ASSERT_TRUE(platform::win::PublishWindows());
    struct stat st;
    std::string socket = OwnSocket();
    ASSERT_EQ(::lstat(socket.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    RawClient client;
    ASSERT_TRUE(client.connected());
    std::string find = handover::Encode(
        Make("find", 0, 0, std::string("ThunderRT6FormDC"), std::string("StartUp")));
    // Split in the middle of the frame's count, then the rest.
    client.Send(find.substr(0, 2));
    EXPECT_TRUE(client.Answers(20).empty());
    client.Send(find.substr(2));
    std::vector<Packet> answers = client.Answers(50);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].command, "ok");
    EXPECT_EQ(answers[0].handle, reinterpret_cast<uint64_t>(platform::win::HandleOf(&form)));

    // A broken question, an unknown one and a text, in one write: the broken one goes unanswered.
    std::string broken = std::string("\0\0\0\x02zz", 6);
    std::string set =
        handover::Encode(Make("settext", reinterpret_cast<uint64_t>(platform::win::HandleOf(box)),
                              0, std::string("x.mp3"), std::nullopt));
    client.Send(broken + handover::Encode(Make("dance", 0, 0, std::nullopt, std::nullopt)) + set);
    answers = client.Answers(50);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].command, "unknown");
    EXPECT_EQ(answers[1].handle, 1u);
    EXPECT_EQ(box->text(), "x.mp3");

    // A frame claiming more than a packet may hold ends the connection.
    client.Send(std::string("\x7f\0\0\0", 4));
    EXPECT_TRUE(client.Answers(50).empty());
    EXPECT_TRUE(client.closed());
}
