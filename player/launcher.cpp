// Kesto, the program users run. A start that a running player can take is handed to it straight
// away, without loading the player's libraries; every other start becomes the player itself.
//
// How it is done:
//  - The player is kesto-player in the launcher's own folder (the folder of the running
//    executable, also when KESTO_PROGRAM_DIR points the program folder elsewhere). The launcher
//    replaces itself with it (execv, the arguments unchanged), so the process id stays, and names
//    itself in KESTO_LAUNCHER, so that the player's executable name (its instance lock, its
//    settings, the file association) and its program folder are the launcher's.
//  - The launcher asks the running player's mailbox once, exactly as a later start does (the
//    command line made absolute from this start's working folder), and ends with status 0 once
//    the mailbox has taken the text. In every other case the player starts and decides as a
//    start always has: the run-time folder refused (said once, by the player), no player
//    answering, an answer that fails, or a command line with a quote (whose rule drops characters
//    as the player's string functions count them). The launcher never touches the instance lock:
//    starts that race each other still end with exactly one first instance.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/base/arguments.h"
#include "platform/base/report.h"
#include "platform/files/files.h"
#include "platform/win/handover.h"

namespace {

namespace handover = platform::win::handover;

// The running player's start-up form and its mailbox, as a later start finds them.
bool HandOver(const std::string& runtime, const std::string& text) {
    std::optional<handover::RemoteWindow> form =
        handover::FindRemote(runtime, std::string("ThunderRT6FormDC"), std::string("StartUp"));
    if (!form) return false;
    std::optional<handover::RemoteWindow> box =
        handover::FindRemoteChild(*form, 0, std::string("ThunderRT6TextBox"), std::nullopt);
    return box && handover::SetRemoteText(*box, text);
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = platform::base::JoinArguments(argc, argv);
    std::string runtime = platform::files::CheckedRuntimeFolder(nullptr, nullptr);
    if (!runtime.empty() && command.find('"') == std::string::npos &&
        HandOver(runtime, platform::files::AbsolutePath(command))) {
        return 0;
    }
    std::string self = platform::files::RunningExecutablePath();
    std::string player = platform::files::FolderOf(self) + "/kesto-player";
    ::setenv(platform::files::kLauncherVariable, self.c_str(), 1);
    ::execv(player.c_str(), argv);
    platform::base::Report("Kesto", "cannot start " + player + ": " + std::strerror(errno));
    return 127;
}
