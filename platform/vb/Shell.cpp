#include "platform/vb/Shell.h"

#include "platform/vb/Error.h"
#include "platform/win/sound.h"

namespace vb {

double Shell(const std::string& path, int) {
    long long pid = platform::win::StartProgram(path);
    if (pid == 0) Raise(vbErrFileNotFound);
    return static_cast<double>(pid);
}

}  // namespace vb
