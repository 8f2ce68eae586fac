#include "platform/files/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform::files {

namespace {

bool LExists(const std::string& p) {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    if (folder.back() == '/') return folder + std::string(name);
    return folder + "/" + std::string(name);
}

std::string StripTrailingSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

}  // namespace

std::string ExecutablePath() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, static_cast<size_t>(n));
}

std::string ProgramFolder() {
    if (const char* env = std::getenv(kProgramDirVariable); env && *env) {
        return StripTrailingSlash(env);
    }
    std::string folder = FolderOf(ExecutablePath());
    return folder.empty() ? std::string("/") : folder;
}

std::string ExecutableName() {
    std::string name = NameOf(ExecutablePath());
    if (auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string NativePath(std::string_view path) {
    std::string p(path);
    std::replace(p.begin(), p.end(), '\\', '/');
    // A drive letter ("C:", "C:/...") names the root.
    if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
        p = p.size() == 2 ? std::string("/") : p.substr(2);
        if (p.empty() || p[0] != '/') p.insert(p.begin(), '/');
    }
    return p;
}

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

std::optional<std::string> ReadFile(std::string_view path) {
    std::string p = Resolve(path);
    int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

bool ReplaceFile(std::string_view path, std::string_view contents, std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) *error = what + ": " + std::strerror(errno);
        return false;
    };
    std::string target = Resolve(path);
    std::string folder = FolderOf(target);
    // The temporary name stays a valid file name also beside a file whose name is as long as a
    // name can be.
    std::string tmpl = Join(folder.empty() ? std::string(".") : folder,
                            "." + NameOf(target).substr(0, 200) + ".tmp-XXXXXX");
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return fail("cannot create a temporary file beside " + target);
    std::string tmp(name.data());

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
            ::close(fd);
            ::unlink(tmp.c_str());
            errno = saved;
            return fail("cannot write " + target);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        int saved = errno;
        ::unlink(tmp.c_str());
        errno = saved;
        return fail("cannot write " + target);
    }
    if (::rename(tmp.c_str(), target.c_str()) != 0) {
        int saved = errno;
        ::unlink(tmp.c_str());
        errno = saved;
        return fail("cannot replace " + target);
    }
    return true;
}

std::string FolderOf(std::string_view path) {
    auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string NameOf(std::string_view path) {
    auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace platform::files

namespace platform::files {

std::string RuntimeFolder() {
    if (const char* env = std::getenv("XDG_RUNTIME_DIR"); env && *env)
        return StripTrailingSlash(env);
    std::string folder = "/tmp/kesto-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    return folder;
}

}  // namespace platform::files
