// Which file a path named when it was last read: device, inode, size, modification and change
// time to the nanosecond. A write in place changes the change time, a replacement the inode, so a
// parse kept while the identity stays the same is the file's content.
#pragma once

#include <sys/stat.h>

#include <ctime>

namespace platform::files {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{}, changed{};

    static FileIdentity Of(const struct stat& st) {
        return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    }
    bool operator==(const FileIdentity& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

}  // namespace platform::files
