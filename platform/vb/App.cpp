#include "platform/vb/App.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/files/files.h"

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
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    g_command = text;
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

bool PrevInstance() {
    static std::once_flag once;
    static bool previous = false;
    std::call_once(once, [] {
        std::string lock = platform::files::RuntimeFolder() + "/" + EXEName() + "-" +
                           std::to_string(::getuid()) + ".instance";
        int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) return;  // cannot tell: count as the first instance
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // Held, open, for the whole run; the system drops it when the process ends.
            return;
        }
        previous = true;
        ::close(fd);
    });
    return previous;
}

}  // namespace App

void SetEndHandler(std::function<void()> handler) {
    g_endHandler = std::move(handler);
}

void End() {
    if (g_endHandler) {
        g_endHandler();
        throw ProgramEnded{};
    }
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace vb
