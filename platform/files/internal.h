// What the two halves of the files layer share.
#pragma once

#include <string>
#include <string_view>

namespace platform::files::internal {

// `name` inside `folder` ("" for the folder: the name alone).
std::string Join(const std::string& folder, std::string_view name);

}  // namespace platform::files::internal
