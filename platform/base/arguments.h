// The command line a program sees after its name.
#pragma once

#include <string>

namespace platform::base {

// The arguments after the program's name joined by single spaces, as the shell handed them over
// (so one path with spaces arrives whole).
std::string JoinArguments(int argc, char** argv);

}  // namespace platform::base
