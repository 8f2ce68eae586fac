// Resources of a module: named blobs carried inside a shared library or executable, read from its
// file without loading it (as the original reads a library's resources).
//
// A resource of type T and number N is the ELF section ".kesto.rsrc.T.N" of the module file. The
// build adds them with kesto_add_resource(<target> TYPE <T> ID <N> FILE <file>) (see
// platform/com/CMakeLists.txt), which compiles the file's bytes into that section.
//
// A module's string table is the one list of its texts by number, compiled into the module: the
// module defines it with KESTO_MODULE_STRING_TABLE(entries), which exports it under the name
// KestoModuleStringTable, and LoadStringA finds it there (a module without one has no strings).
// It is program data, not read from a file, so nothing in it needs parsing.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "platform/com/types.h"

// One entry of a module's string table.
struct STRINGTABLEENTRY {
    UINT id;
    const char* text;
};
struct MODULESTRINGTABLE {
    const STRINGTABLEENTRY* entries;
    std::size_t count;
};
#define KESTO_MODULE_STRING_TABLE(entries)            \
    extern "C" __attribute__((visibility("default"))) \
    const MODULESTRINGTABLE KestoModuleStringTable {  \
        entries, std::size(entries)                   \
    }

// Copies string uID of the module's string table into the buffer: at most cchBufferMax - 1
// characters and a zero. Returns the number of characters copied; 0 (and an empty buffer) when
// the module has no such string, or no string table.
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);

namespace platform::com {

// The resource's bytes from the module file at path; nothing when the file is not an ELF file or
// has no such resource.
std::optional<std::string> ReadModuleResource(const std::string& path, std::string_view type,
                                              int id);
std::optional<std::string> ReadModuleResource(HMODULE module, std::string_view type, int id);

}  // namespace platform::com
