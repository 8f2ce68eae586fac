// The one base of the errors the layers raise (the form run-time's run-time errors, the media
// engine's, the registry's, the control's automation errors). A handler that goes on after a
// failed step catches this base only, so the end of the program, a bug (a std::logic_error) or an
// exhausted memory passes through.
#pragma once

#include <stdexcept>
#include <string>

namespace platform::base {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace platform::base
