// The half of the files layer that needs neither Qt nor any other library: the executable and the
// program folder, path spelling, command-line paths and the run-time folder. The player's launcher
// links this alone.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

#include "platform/base/report.h"
#include "platform/files/files.h"
#include "platform/files/internal.h"

namespace platform::files {

std::string internal::Join(const std::string& folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    if (folder.back() == '/') return folder + std::string(name);
    return folder + "/" + std::string(name);
}

using internal::Join;

namespace {

std::string StripTrailingSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

// The path of the program the user started when the launcher started this process.
std::string& LauncherPath() {
    static std::string path;
    return path;
}

}  // namespace

std::string RunningExecutablePath() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, static_cast<size_t>(n));
}

void TakeLauncherPath() {
    const char* env = std::getenv(kLauncherVariable);
    std::string given = env ? env : "";
    ::unsetenv(kLauncherVariable);
    if (given.empty() || given.front() != '/') return;
    // Only the program beside this one: the variable names the launcher, it moves no folder.
    if (FolderOf(given) != FolderOf(RunningExecutablePath())) return;
    LauncherPath() = given;
}

std::string ExecutablePath() {
    if (!LauncherPath().empty()) return LauncherPath();
    return RunningExecutablePath();
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

bool IsFileName(std::string_view name) {
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos &&
           name.find("..") == std::string_view::npos;
}

std::string AbsolutePath(std::string_view path) {
    if (path.empty() || NativePath(path).front() == '/') return std::string(path);
    if (auto colon = path.find("://"); colon != std::string_view::npos && colon > 0) {
        return std::string(path);
    }
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    if (ec || cwd.empty()) return std::string(path);
    while (path.size() > 2 && path.substr(0, 2) == "./") path.remove_prefix(2);
    return Join(cwd, path);
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

namespace {

// Why `folder` cannot hold this user's run-time files, or "" when it can: it must be a real folder
// (not a link), owned by this user, with no permission for the group or others. Anything else may
// be another user's trap: a folder of theirs would receive every text a later start hands over.
std::string NotPrivate(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        struct stat st;
        if (::lstat(folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return "it is a link";
        return std::string("it cannot be opened: ") + std::strerror(errno);
    }
    struct stat st;
    int rc = ::fstat(fd, &st);
    ::close(fd);
    if (rc != 0) return std::string("it cannot be read: ") + std::strerror(errno);
    if (st.st_uid != ::getuid()) return "it belongs to user " + std::to_string(st.st_uid);
    if ((st.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        return std::string("others may use it (mode ") + mode + ")";
    }
    return {};
}

}  // namespace

std::string CheckedRuntimeFolder(std::string* folderOut, std::string* why) {
    std::string folder;
    if (const char* env = std::getenv("XDG_RUNTIME_DIR"); env && *env) {
        folder = StripTrailingSlash(env);
    } else {
        std::error_code ec;
        std::string tmp = std::filesystem::temp_directory_path(ec).string();
        if (ec || tmp.empty()) tmp = "/tmp";
        folder = Join(StripTrailingSlash(tmp), "kesto-" + std::to_string(::getuid()));
        ::mkdir(folder.c_str(), 0700);
    }
    if (folderOut) *folderOut = folder;
    std::string reason = NotPrivate(folder);
    if (why) *why = reason;
    return reason.empty() ? folder : std::string();
}

std::string RuntimeFolder() {
    std::string folder, why;
    if (std::string usable = CheckedRuntimeFolder(&folder, &why); !usable.empty()) return usable;
    // Said once for each folder and reason, however often it is asked for.
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard lock(mutex);
    if (reported.insert(folder + "\n" + why).second) {
        platform::base::Report(
            "run-time folder",
            folder + " is not used because " + why + "; this start has no single-instance mailbox");
    }
    return {};
}

}  // namespace platform::files
