// Pieces shared by the files of this layer only.
#pragma once

#include <string>
#include <vector>

#include "platform/com/unknown.h"

namespace platform::com::internal {

// The class factory of the component categories manager (a static: its references are not
// counted).
IClassFactory* CategoriesManagerFactory();

// The registry helpers of the layer, under HKEY_CLASSES_ROOT: whether a key exists, the names of
// its subkeys, and the name of an LCID's key (lower-case hexadecimal).
bool KeyExists(const std::string& path);
std::vector<std::string> SubKeys(const std::string& path);
std::string LcidName(LCID lcid);

}  // namespace platform::com::internal
