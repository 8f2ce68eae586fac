#include "platform/vb/FileSystem.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/files.h"
#include "platform/vb/Error.h"

namespace vb {

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

}  // namespace

void Name(const std::string& oldPath, const std::string& newPath) {
    using namespace platform::files;
    std::string from = Resolve(oldPath);
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0) Raise(vbErrFileNotFound);
    std::string folder = FolderOf(newPath);
    std::string to = (folder.empty() ? std::string() : Resolve(folder) + "/") + NameOf(newPath);
    std::string existing = Resolve(to);
    if (::lstat(existing.c_str(), &st) == 0 && !SameFile(existing, from)) {
        Raise(vbErrFileAlreadyExists);
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
    int err = errno;
    if (err == EEXIST) {
        // Only the letter case changes: the file is renamed onto itself.
        if (SameFile(to, from) && ::rename(from.c_str(), to.c_str()) == 0) return;
        Raise(vbErrFileAlreadyExists);
    }
    if (err == EINVAL || err == ENOSYS) {
        // A file system without the no-replace rename: a hard link fails on an existing target.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return;
        }
        if (errno == EEXIST) Raise(vbErrFileAlreadyExists);
    }
    if (err == ENOENT) Raise(vbErrPathNotFound);
    Raise(vbErrPathFileAccess);
}

}  // namespace vb
