// The program folder, file names without regard to letter case, and whole-file replacement.
//
// Path conventions of this port, kept here and nowhere else:
//  - paths are built with '/', and a rule that splits a path at its last separator splits at the
//    last '/'; a drive root such as "C:\" stands for the root "/" (NativePath);
//  - file and folder names match without regard to letter case, as the program's data files expect:
//    "Skins/Blue.jpg" finds "skins/Blue.Jpg" (Resolve);
//  - the program folder is the folder of the running executable, or $KESTO_PROGRAM_DIR when set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct stat;

namespace platform::files {

inline constexpr const char* kProgramDirVariable = "KESTO_PROGRAM_DIR";

// The program folder, without a trailing '/' (unless it is the root).
std::string ProgramFolder();

// The running executable's file name without its extension ("Kesto").
std::string ExecutableName();

// The full path of the program the user started: the launcher's when it started this process
// (TakeLauncherPath), else the running executable's.
std::string ExecutablePath();

// The running executable's own full path.
std::string RunningExecutablePath();

// The launcher, the program users run, hands a start it cannot serve itself to the player beside
// it and names itself in this variable: the player takes the launcher's path as its own
// executable path, so that its name (EXEName) and its program folder are the launcher's.
inline constexpr const char* kLauncherVariable = "KESTO_LAUNCHER";
// Takes that path from the environment and removes the variable, so that programs this process
// starts do not see it. A path that is not in the running executable's folder is ignored.
void TakeLauncherPath();

// A path written in the original's style ("C:\Music\a.mp3", "Sk\Tavro.ini") in this system's form
// ("/Music/a.mp3", "Sk/Tavro.ini").
std::string NativePath(std::string_view path);

// The existing file or folder that `path` names when each component is matched without regard to
// letter case. A component whose exact spelling exists is taken as it is; otherwise the matching
// entries are sorted bytewise and the first is taken. From the first component that matches nothing
// on, the rest of the path is kept as given (so a file about to be created keeps its spelling).
std::string Resolve(std::string_view path);

// True when Resolve(path) names an existing file or folder.
bool Exists(std::string_view path);

// The whole content of a file (after Resolve), or nothing when it cannot be read, is no regular
// file (a folder, a pipe, a device) or holds more than `limit` bytes (then nothing is read); errno
// then says why (EISDIR, EINVAL, EFBIG, or the system's reason). With `seen`, the file's status as
// it was just before its bytes were read goes there.
std::optional<std::string> ReadFile(std::string_view path, struct ::stat* seen = nullptr,
                                    std::uint64_t limit = UINT64_MAX);

// Replaces the whole file with `contents`: writes a temporary file in the same folder and renames
// it over the old one, so readers see the old or the new content and never a torn file. The file
// keeps its permissions. Returns false (with a reason in *error) when the file cannot be written.
// Temporary files of earlier replacements of the same file whose writer has ended (a save killed
// halfway) are removed first.
bool ReplaceFile(std::string_view path, std::string_view contents, std::string* error = nullptr);

// ReplaceFile in two steps, for a writer that puts the file in place later: WriteReplacement
// writes the complete temporary file (not yet flushed to disk; nothing else sees it), Commit
// flushes it to disk and renames it over the file (with syncFolder, the rename is flushed too).
// A replacement dropped or abandoned removes its temporary file and leaves the file as it was.
class Replacement {
public:
    Replacement() = default;
    Replacement(Replacement&& other) noexcept;
    Replacement& operator=(Replacement&& other) noexcept;
    ~Replacement();

    bool Commit(bool syncFolder = false, std::string* error = nullptr);
    void Abandon();
    // Closes this copy of the temporary file and leaves the file to the writer that holds
    // another (the copy a forked child inherits).
    void Forget();
    const std::string& target() const { return target_; }

private:
    friend std::optional<Replacement> WriteReplacement(std::string_view, std::string_view,
                                                       std::string*);
    int fd_ = -1;
    std::string temporary_, target_;
};
std::optional<Replacement> WriteReplacement(std::string_view path, std::string_view contents,
                                            std::string* error = nullptr);

// A path given on the command line, made independent of the working folder: a relative path is
// joined to the working folder ("tune.wav" in /home/u/media is "/home/u/media/tune.wav"); an
// absolute path (also in the original's style, "C:\Music\a.mp3"), an address with a scheme
// ("http://...") and the empty text are kept as they are.
std::string AbsolutePath(std::string_view path);

// True when `name`, taken from a stored file or from the user, can be used as one file name in a
// folder: it holds no '/', '\\', ".." or NUL, so it names nothing outside that folder. The empty
// name passes (it names the file "<empty>.ext" where an extension is added).
bool IsFileName(std::string_view name);

// The part before the last '/' ("" when there is none) and the part after it.
std::string FolderOf(std::string_view path);
std::string NameOf(std::string_view path);

// True when the two names are equal without regard to letter case.
bool SameName(std::string_view a, std::string_view b);

}  // namespace platform::files

namespace platform::files {

// A folder for this user's run-time files (sockets, instance locks): $XDG_RUNTIME_DIR when set,
// else kesto-<uid> in the temporary folder ($TMPDIR or /tmp), created with mode 0700. The folder is
// used only when it is a real folder (not a link) owned by this user with no permission for the
// group or others; otherwise the reason is said on stderr (once per folder and reason) and "" is
// returned: the program then runs without the single-instance lock and mailbox.
std::string RuntimeFolder();
// The same check without a word on stderr: the usable folder or "", with the folder looked at in
// *folder and the reason it is refused ("" when it is not) in *why.
std::string CheckedRuntimeFolder(std::string* folder, std::string* why);

}  // namespace platform::files
