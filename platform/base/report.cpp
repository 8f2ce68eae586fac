#include "platform/base/report.h"

#include <cstdio>
#include <string>

namespace platform::base {

void Report(std::string_view area, std::string_view message) {
    std::string line;
    line.reserve(area.size() + message.size() + 3);
    line.append(area).append(": ").append(message).push_back('\n');
    // One write, so lines of two threads never interleave.
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace platform::base
