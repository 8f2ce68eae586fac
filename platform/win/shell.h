// The shell's notice that file associations changed.
//
// This system has no shell that caches associations: a notice changes nothing outside the
// program. Each one is recorded where a test can see it, and that is all it does.
#pragma once

#include <functional>
#include <vector>

#include "platform/base/wintypes.h"

inline constexpr LONG SHCNE_ASSOCCHANGED = 0x08000000;
inline constexpr UINT SHCNF_IDLIST = 0x0000;

void SHChangeNotify(LONG wEventId, UINT uFlags, LPCVOID dwItem1, LPCVOID dwItem2);

namespace platform::win {

struct ShellNotice {
    LONG event;
    UINT flags;
    LPCVOID item1;
    LPCVOID item2;
};

// Every notice of this process, in the order they were given.
const std::vector<ShellNotice>& ShellNotices();
void ClearShellNotices();
// Called with each notice right after it is recorded (tests look at the state at that moment).
void SetShellNoticeListener(std::function<void(const ShellNotice&)> listener);

}  // namespace platform::win
