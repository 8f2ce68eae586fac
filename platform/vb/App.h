// The run-time's App object and the program's end.
#pragma once

#include <functional>
#include <string>

namespace vb {

namespace App {
// The program folder, without a trailing "/" (except at the root).
std::string Path();
// The executable's name without its extension.
std::string EXEName();
// The program's title ("Kesto"), used as the default title of message boxes.
std::string Title();
void SetTitle(const std::string& title);
// True when another process of the same program already runs for this user. Decided once, at the
// first call: the first process holds a lock for its whole run.
bool PrevInstance();
// For a process that found a previous instance: true while that instance still runs (it may still
// be starting); false once it has ended.
bool PrevInstanceRunning();
}  // namespace App

// The command line after the program's name: the arguments joined by single spaces, as the
// shell handed them over (so one path with spaces arrives whole).
std::string Command();
void SetCommandLine(int argc, char** argv);
void SetCommand(const std::string& text);

// Thrown past every handler by End() when a test has replaced the end of the program; it is not a
// run-time error, so no "errors are ignored" step swallows it.
struct ProgramEnded {};

// Ends the program at once: no further event runs, no form's unload or terminate code runs. The
// process's exit status is exitCode (non-zero when the program could not do what it was asked).
[[noreturn]] void End(int exitCode = 0);
// Replaces what End() does (tests record the end instead of leaving the process). A handler that
// returns makes End() throw ProgramEnded.
void SetEndHandler(std::function<void()> handler);

}  // namespace vb
