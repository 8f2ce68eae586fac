#include "platform/win/shell.h"

#include <mutex>

namespace platform::win {

namespace {

struct Notices {
    std::mutex mutex;
    std::vector<ShellNotice> list;
    std::function<void(const ShellNotice&)> listener;
};

Notices& notices() {
    static Notices n;
    return n;
}

}  // namespace

const std::vector<ShellNotice>& ShellNotices() {
    return notices().list;
}

void ClearShellNotices() {
    std::lock_guard lock(notices().mutex);
    notices().list.clear();
}

void SetShellNoticeListener(std::function<void(const ShellNotice&)> listener) {
    std::lock_guard lock(notices().mutex);
    notices().listener = std::move(listener);
}

}  // namespace platform::win

void SHChangeNotify(LONG wEventId, UINT uFlags, LPCVOID dwItem1, LPCVOID dwItem2) {
    using namespace platform::win;
    ShellNotice notice{wEventId, uFlags, dwItem1, dwItem2};
    std::function<void(const ShellNotice&)> listener;
    {
        std::lock_guard lock(notices().mutex);
        notices().list.push_back(notice);
        listener = notices().listener;
    }
    if (listener) listener(notice);
}
