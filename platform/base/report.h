// The one way a layer tells a person about a problem it does not raise: one line on stderr,
// "<area>: <message>", written whole even when several threads report at once.
#pragma once

#include <string_view>

namespace platform::base {

void Report(std::string_view area, std::string_view message);

}  // namespace platform::base
