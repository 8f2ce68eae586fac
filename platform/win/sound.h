// The simple wave-sound call and the start of another program.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/base/wintypes.h"

inline constexpr UINT SND_SYNC = 0x0;
inline constexpr UINT SND_ASYNC = 0x1;
inline constexpr UINT SND_NODEFAULT = 0x2;

// Plays a wave file (found without regard to letter case). With SND_ASYNC the call returns at
// once and the sound plays on; without it the call returns when the sound has ended. A file that
// is missing or cannot be played gives the system's default sound instead, unless SND_NODEFAULT
// is set; the result is then FALSE.
BOOL sndPlaySoundA(LPCSTR lpszSoundName, UINT fuSound);

namespace platform::win {

// Replaces the sound output (tests record the calls instead of making sounds): the handler gets
// the path as given and the flags, and says whether it "played" it.
void SetSoundHandler(std::function<bool(const std::string&, UINT)> handler);

// Starts a program by path with a normal window, not waited for. Returns the process id, or 0
// when it cannot be started.
long long StartProgram(const std::string& path, const std::vector<std::string>& arguments = {});

}  // namespace platform::win
