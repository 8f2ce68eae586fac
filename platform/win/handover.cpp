#include "platform/win/handover.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace platform::win::handover {

namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;

void PutU32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(v >> shift));
}

void PutU64(std::string& out, uint64_t v) {
    for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<char>(v >> shift));
}

void PutBytes(std::string& out, const std::optional<std::string>& bytes) {
    if (!bytes) {
        PutU32(out, kNone);
        return;
    }
    PutU32(out, static_cast<uint32_t>(bytes->size()));
    out += *bytes;
}

// Reads big-endian numbers and counted texts from a packet's body; any read past its end fails.
class Reader {
public:
    explicit Reader(std::string_view body) : body_(body) {}

    bool U32(uint32_t& v) {
        if (body_.size() - at_ < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(body_[at_++]);
        return true;
    }
    bool U64(uint64_t& v) {
        if (body_.size() - at_ < 8) return false;
        v = 0;
        for (int i = 0; i < 8; ++i) v = (v << 8) | static_cast<unsigned char>(body_[at_++]);
        return true;
    }
    bool Bytes(std::optional<std::string>& out) {
        uint32_t n = 0;
        if (!U32(n)) return false;
        if (n == kNone) {
            out.reset();
            return true;
        }
        if (body_.size() - at_ < n) return false;
        out = std::string(body_.substr(at_, n));
        at_ += n;
        return true;
    }
    // A UTF-16 big-endian text of ASCII characters; any other character makes it "?".
    bool Ascii(std::string& out) {
        std::optional<std::string> units;
        if (!Bytes(units)) return false;
        out.clear();
        if (!units) return true;
        if (units->size() % 2 != 0) return false;
        for (size_t i = 0; i < units->size(); i += 2) {
            unsigned hi = static_cast<unsigned char>((*units)[i]);
            unsigned lo = static_cast<unsigned char>((*units)[i + 1]);
            if (hi != 0 || lo >= 0x80) {
                out = "?";
                return true;
            }
            out.push_back(static_cast<char>(lo));
        }
        return true;
    }

private:
    std::string_view body_;
    size_t at_ = 0;
};

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

// Waits until `fd` is ready for `events`; false after `ms`.
bool WaitFor(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    for (;;) {
        int rc = ::poll(&p, 1, ms);
        if (rc > 0) return true;
        if (rc == 0 || errno != EINTR) return false;
    }
}

bool Connect(int fd, const std::string& path) {
    std::optional<sockaddr_un> addr = SocketAddress(path);
    if (!addr) return false;
    auto deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) == 0)
            return true;
        if (errno == EINTR) continue;
        if (errno == EINPROGRESS) {
            int error = 0;
            socklen_t len = sizeof error;
            return WaitFor(fd, POLLOUT, MsLeft(deadline)) &&
                   ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0;
        }
        // A full backlog: a burst of starts is waiting in line; try again shortly.
        if (errno != EAGAIN || Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool SendAll(int fd, std::string_view bytes) {
    auto deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);
    while (!bytes.empty()) {
        ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!WaitFor(fd, POLLOUT, MsLeft(deadline))) return false;
        } else {
            return false;
        }
    }
    return true;
}

bool Receive(int fd, Packet* answer, int answerMs) {
    std::string in;
    char buf[4096];
    for (;;) {
        size_t used = 0;
        switch (Parse(in, answer, &used)) {
            case Parsed::kPacket:
                return true;
            case Parsed::kMalformed:
            case Parsed::kTooLarge:
                return false;
            case Parsed::kIncomplete:
                break;
        }
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n > 0) {
            in.append(buf, static_cast<size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!WaitFor(fd, POLLIN, answerMs)) return false;
        } else {
            return false;  // closed before the whole answer
        }
    }
}

bool IsProcessId(const char* name) {
    size_t n = std::strlen(name);
    return n > 0 && n < 10 &&
           std::all_of(name, name + n, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string Encode(const Packet& packet) {
    std::string body;
    std::optional<std::string> units(std::string{});
    for (char c : packet.command) {
        units->push_back('\0');
        units->push_back(c);
    }
    PutBytes(body, units);
    PutU64(body, packet.handle);
    PutU64(body, packet.after);
    PutBytes(body, packet.a);
    PutBytes(body, packet.b);
    std::string framed;
    framed.reserve(4 + body.size());
    PutU32(framed, static_cast<uint32_t>(body.size()));
    return framed + body;
}

Parsed Parse(std::string_view bytes, Packet* packet, size_t* used) {
    Reader head(bytes);
    uint32_t size = 0;
    if (!head.U32(size)) return Parsed::kIncomplete;
    if (size > kMaxPacket) return Parsed::kTooLarge;
    if (bytes.size() - 4 < size) return Parsed::kIncomplete;
    *used = 4 + static_cast<size_t>(size);
    Reader body(bytes.substr(4, size));
    Packet p;
    // What follows the last field is not looked at.
    if (!body.Ascii(p.command) || !body.U64(p.handle) || !body.U64(p.after) || !body.Bytes(p.a) ||
        !body.Bytes(p.b)) {
        return Parsed::kMalformed;
    }
    *packet = std::move(p);
    return Parsed::kPacket;
}

std::optional<sockaddr_un> SocketAddress(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return std::nullopt;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return addr;
}

std::string MailboxFolder(const std::string& runtime) {
    if (runtime.empty()) return {};
    std::string dir = runtime + "/kesto-windows";
    ::mkdir(dir.c_str(), 0700);
    struct stat st;
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
    ::chmod(dir.c_str(), 0700);
    return dir;
}

std::vector<std::string> OtherServers(const std::string& runtime) {
    std::vector<std::string> out;
    std::string folder = MailboxFolder(runtime);
    if (folder.empty()) return out;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return out;
    std::vector<std::string> names;
    while (dirent* e = ::readdir(dir)) {
        if (IsProcessId(e->d_name)) names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        pid_t pid = static_cast<pid_t>(std::stol(name));
        if (pid == ::getpid()) continue;
        std::string path = folder + "/" + name;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || S_ISLNK(st.st_mode)) continue;
        if (::kill(pid, 0) != 0 && errno == ESRCH) {
            ::unlink(path.c_str());
            continue;
        }
        out.push_back(path);
    }
    return out;
}

bool Ask(const std::string& server, const Packet& question, Packet* answer, int answerMs) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    bool ok = Connect(fd, server) && SendAll(fd, Encode(question)) && Receive(fd, answer, answerMs);
    ::close(fd);
    return ok;
}

std::optional<RemoteWindow> FindRemote(const std::string& runtime,
                                       const std::optional<std::string>& className,
                                       const std::optional<std::string>& title) {
    Packet q;
    q.command = "find";
    q.a = className;
    q.b = title;
    for (const std::string& server : OtherServers(runtime)) {
        Packet a;
        if (Ask(server, q, &a) && a.handle) return RemoteWindow{server, a.handle};
    }
    return std::nullopt;
}

std::optional<RemoteWindow> FindRemoteChild(const RemoteWindow& parent, uint64_t after,
                                            const std::optional<std::string>& className,
                                            const std::optional<std::string>& title) {
    Packet q, a;
    q.command = "child";
    q.handle = parent.handle;
    q.after = after;
    q.a = className;
    q.b = title;
    if (Ask(parent.server, q, &a) && a.handle) return RemoteWindow{parent.server, a.handle};
    return std::nullopt;
}

bool SetRemoteText(const RemoteWindow& window, const std::string& text) {
    Packet q, a;
    q.command = "settext";
    q.handle = window.handle;
    q.a = text;
    return Ask(window.server, q, &a, kChangeAnswerMs) && a.handle;
}

}  // namespace platform::win::handover
