// Pieces shared by the files of this layer only.
#pragma once

#include <string_view>

#include "platform/com/unknown.h"

namespace platform::com::internal {

// A new reference on the class factory of the component categories manager.
IClassFactory* CategoriesManagerFactory();

// Case-insensitive equality of ASCII names.
bool SameName(std::string_view a, std::string_view b);

}  // namespace platform::com::internal
