// A process listening on a local socket, as a trap of another user's would: the tests check that
// nobody connects to it.
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace testing_support {

// The address of a local socket at `path` (a path too long for one gives the empty address).
inline sockaddr_un LocalAddress(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() < sizeof addr.sun_path)
        std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return addr;
}

class SocketListener {
public:
    explicit SocketListener(const std::string& path) {
        sockaddr_un addr = LocalAddress(path);
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd_ >= 0 && (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
                         ::listen(fd_, 16) != 0)) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~SocketListener() {
        if (fd_ >= 0) ::close(fd_);
    }
    SocketListener(const SocketListener&) = delete;
    SocketListener& operator=(const SocketListener&) = delete;

    bool Listening() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // True when a connection waits or arrives within `waitMs`.
    bool Connected(int waitMs = 0) const {
        pollfd p{fd_, POLLIN, 0};
        return fd_ >= 0 && ::poll(&p, 1, waitMs) > 0;
    }

private:
    int fd_ = -1;
};

}  // namespace testing_support
