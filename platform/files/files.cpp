#include "platform/files/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "platform/base/report.h"
#include "platform/files/internal.h"

namespace platform::files {

using internal::Join;

namespace {

bool LExists(const std::string& p) {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
        })) {
        return true;
    }
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
               .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())),
                        Qt::CaseInsensitive) == 0;
}

std::string Resolve(std::string_view path) {
    std::string given(path);
    if (given.empty() || LExists(given)) return given;

    std::string current = given[0] == '/' ? "/" : "";
    size_t pos = given[0] == '/' ? 1 : 0;
    while (pos <= given.size()) {
        size_t next = given.find('/', pos);
        if (next == std::string::npos) next = given.size();
        std::string_view part(given.data() + pos, next - pos);
        std::string rest = next < given.size() ? given.substr(next) : std::string();
        pos = next + 1;
        if (part.empty()) {
            if (next == given.size()) break;
            continue;
        }
        std::string exact = Join(current, part);
        if (part == "." || part == ".." || LExists(exact)) {
            current = exact;
            continue;
        }
        std::vector<std::string> matches;
        if (DIR* dir = ::opendir(current.empty() ? "." : current.c_str())) {
            while (dirent* e = ::readdir(dir)) {
                std::string_view name(e->d_name);
                if (name != "." && name != ".." && SameName(name, part)) matches.emplace_back(name);
            }
            ::closedir(dir);
        }
        if (matches.empty()) {
            // Nothing matches: the rest is kept as given.
            return Join(current, std::string(part) + rest);
        }
        std::sort(matches.begin(), matches.end());
        current = Join(current, matches.front());
    }
    if (!given.empty() && given.back() == '/' && current.back() != '/') current += '/';
    return current;
}

bool Exists(std::string_view path) {
    struct stat st;
    return ::stat(Resolve(path).c_str(), &st) == 0;
}

std::optional<std::string> ReadFile(std::string_view path, struct ::stat* seen,
                                    std::uint64_t limit) {
    std::string p = Resolve(path);
    // Without waiting at the open: a pipe or a device in a file's place is refused, not waited on.
    int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st;
    // errno tells why nothing was read.
    auto refuse = [fd](int why) {
        ::close(fd);
        errno = why;
        return std::nullopt;
    };
    if (::fstat(fd, &st) != 0) return refuse(errno);
    if (!S_ISREG(st.st_mode)) return refuse(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    if (seen) *seen = st;
    if (static_cast<std::uint64_t>(st.st_size) > limit) return refuse(EFBIG);
    std::string data;
    data.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return refuse(errno);
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

namespace {

// The temporary files of ReplaceFile are named ".<name>.tmp-<pid>-XXXXXX" and locked by their
// writer while it writes. Earlier ones ".<name>.tmp-XXXXXX" carry no writer.
// The prefix stays part of a valid file name also beside a file whose name is as long as a name
// can be.
std::string TemporaryPrefix(const std::string& name) {
    return "." + name.substr(0, 200) + ".tmp-";
}

// True when `rest` (what follows the prefix) is "<pid>-XXXXXX" of a process that has ended, or
// the older "XXXXXX" form of a file untouched for an hour.
bool WriterGone(std::string_view rest, const struct stat& st) {
    auto dash = rest.find('-');
    if (dash == std::string_view::npos) {
        return rest.size() == 6 && ::time(nullptr) - st.st_mtime > 3600;
    }
    if (dash == 0 || rest.size() - dash - 1 != 6) return false;
    long pid = 0;
    for (char c : rest.substr(0, dash)) {
        if (c < '0' || c > '9' || pid > 1'000'000'000) return false;
        pid = pid * 10 + (c - '0');
    }
    return pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Removes the temporary files of earlier replacements of `name` in `folder` whose writer is gone
// (a writer killed in the middle of a save leaves its temporary file behind).
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
    std::string prefix = TemporaryPrefix(name);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> stale;
    while (dirent* e = ::readdir(dir)) {
        std::string_view entry(e->d_name);
        if (entry.size() <= prefix.size() || entry.substr(0, prefix.size()) != prefix) continue;
        stale.emplace_back(entry);
    }
    ::closedir(dir);
    for (const std::string& entry : stale) {
        std::string path = Join(folder, entry);
        int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st, now;
        // A writer in another process still holds its lock; the name still names this file.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            WriterGone(std::string_view(entry).substr(prefix.size()), st) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &now) == 0 &&
            now.st_ino == st.st_ino && now.st_dev == st.st_dev) {
            ::unlink(path.c_str());
        }
        ::close(fd);
    }
}

}  // namespace

std::optional<Replacement> WriteReplacement(std::string_view path, std::string_view contents,
                                            std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) *error = what + ": " + std::strerror(errno);
        return std::nullopt;
    };
    std::string target = Resolve(path);
    std::string folder = FolderOf(target);
    if (folder.empty()) folder = ".";
    RemoveStaleTemporaries(folder, NameOf(target));
    std::string tmpl =
        Join(folder, TemporaryPrefix(NameOf(target)) + std::to_string(::getpid()) + "-XXXXXX");
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return fail("cannot create a temporary file beside " + target);
    Replacement replacement;
    replacement.fd_ = fd;
    replacement.temporary_ = name.data();
    replacement.target_ = target;
    ::flock(fd, LOCK_EX);  // this writer is alive as long as the lock is held

    struct stat st;
    mode_t mode;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    const char* p = contents.data();
    size_t left = contents.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int saved = errno;
            replacement.Abandon();
            errno = saved;
            return fail("cannot write " + target);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return replacement;
}

Replacement::Replacement(Replacement&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      temporary_(std::move(other.temporary_)),
      target_(std::move(other.target_)) {}

Replacement& Replacement::operator=(Replacement&& other) noexcept {
    if (this != &other) {
        Abandon();
        fd_ = std::exchange(other.fd_, -1);
        temporary_ = std::move(other.temporary_);
        target_ = std::move(other.target_);
    }
    return *this;
}

Replacement::~Replacement() {
    Abandon();
}

void Replacement::Abandon() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(temporary_.c_str());
}

void Replacement::Forget() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool Replacement::Commit(bool syncFolder, std::string* error) {
    auto fail = [&](const std::string& what) {
        int saved = errno;
        ::unlink(temporary_.c_str());
        fd_ = -1;
        if (error) *error = what + ": " + std::strerror(saved);
        errno = saved;
        return false;
    };
    if (fd_ < 0) {
        errno = EBADF;
        if (error) *error = "nothing to put in place of " + target_;
        return false;
    }
    if (::fsync(fd_) != 0) {
        ::close(fd_);
        return fail("cannot write " + target_);
    }
    if (::close(fd_) != 0) return fail("cannot write " + target_);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return fail("cannot replace " + target_);
    }
    fd_ = -1;
    if (syncFolder) {
        std::string folder = FolderOf(target_);
        int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    return true;
}

bool ReplaceFile(std::string_view path, std::string_view contents, std::string* error) {
    std::optional<Replacement> replacement = WriteReplacement(path, contents, error);
    return replacement && replacement->Commit(false, error);
}

}  // namespace platform::files
