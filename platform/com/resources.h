// Resources of a module: named blobs carried inside a shared library or executable, read from its
// file without loading it (as the original reads a library's resources).
//
// A resource of type T and number N is the ELF section ".kesto.rsrc.T.N" of the module file. The
// build adds them with kesto_add_resource(<target> TYPE <T> ID <N> FILE <file>) (see
// platform/com/CMakeLists.txt), which compiles the file's bytes into that section.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/com/types.h"

namespace platform::com {

// The resource's bytes from the module file at path; nothing when the file is not an ELF file or
// has no such resource.
std::optional<std::string> ReadModuleResource(const std::string& path, std::string_view type,
                                              int id);
std::optional<std::string> ReadModuleResource(HMODULE module, std::string_view type, int id);

}  // namespace platform::com
