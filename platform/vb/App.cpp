#include "platform/vb/App.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/base/arguments.h"
#include "platform/files/files.h"
#include "platform/registry/registry.h"

namespace vb {

namespace {
std::string g_title = "Kesto";
std::function<void()> g_endHandler;
std::string g_command;
}  // namespace

std::string Command() {
    return g_command;
}
void SetCommand(const std::string& text) {
    g_command = text;
}
void SetCommandLine(int argc, char** argv) {
    g_command = platform::base::JoinArguments(argc, argv);
}

namespace App {

std::string Path() {
    return platform::files::ProgramFolder();
}
std::string EXEName() {
    return platform::files::ExecutableName();
}
std::string Title() {
    return g_title;
}
void SetTitle(const std::string& title) {
    g_title = title;
}

namespace {
// The instance lock of this process: held for the whole run by the first instance; kept open,
// without holding it, by a later start, which asks it whether the first one still runs.
int g_instanceLock = -1;
bool g_previous = false;
}  // namespace

bool PrevInstance() {
    static std::once_flag once;
    std::call_once(once, [] {
        std::string folder = platform::files::RuntimeFolder();
        if (folder.empty()) return;  // no private folder (said on stderr): a first instance
        std::string lock =
            folder + "/" + EXEName() + "-" + std::to_string(::getuid()) + ".instance";
        int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) return;  // cannot tell: count as the first instance
        g_instanceLock = fd;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // Held, open, for the whole run; the system drops it when the process ends.
            return;
        }
        g_previous = true;
    });
    return g_previous;
}

bool PrevInstanceRunning() {
    if (!PrevInstance() || g_instanceLock < 0) return false;
    // The first instance holds the lock exclusively while it runs; a shared lock is granted only
    // once it is gone.
    if (::flock(g_instanceLock, LOCK_SH | LOCK_NB) == 0) {
        ::flock(g_instanceLock, LOCK_UN);
        return false;
    }
    return true;
}

}  // namespace App

void SetEndHandler(std::function<void()> handler) {
    g_endHandler = std::move(handler);
}

void End(int exitCode) {
    if (g_endHandler) {
        g_endHandler();
        throw ProgramEnded{};
    }
    // Settings still being put in place reach the disk before the process leaves.
    platform::registry::Flush();
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

}  // namespace vb
