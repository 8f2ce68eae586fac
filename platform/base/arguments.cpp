#include "platform/base/arguments.h"

namespace platform::base {

std::string JoinArguments(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

}  // namespace platform::base
