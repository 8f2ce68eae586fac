// The run-time's file statements.
#pragma once

#include <string>

namespace vb {

// Name oldPath As newPath: renames a file, never replacing one. Both paths are found without
// regard to letter case; the new name keeps the spelling given. A missing file raises run-time
// error 53, an existing target (in any letter case) error 58, any other failure error 75.
void Name(const std::string& oldPath, const std::string& newPath);

}  // namespace vb
