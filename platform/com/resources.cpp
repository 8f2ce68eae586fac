#include "platform/com/resources.h"

#include <dlfcn.h>
#include <elf.h>
#include <limits.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/com/activation.h"

namespace platform::com {

namespace {

bool ReadAt(std::ifstream& in, std::uint64_t offset, void* out, std::size_t size) {
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(static_cast<char*>(out), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

}  // namespace

std::optional<std::string> ReadModuleResource(const std::string& path, std::string_view type,
                                              int id) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    Elf64_Ehdr eh;
    if (!ReadAt(in, 0, &eh, sizeof eh)) return std::nullopt;
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64 ||
        eh.e_ident[EI_DATA] != ELFDATA2LSB || eh.e_shentsize != sizeof(Elf64_Shdr) ||
        eh.e_shnum == 0 || eh.e_shstrndx >= eh.e_shnum) {
        return std::nullopt;
    }
    std::string names;
    {
        Elf64_Shdr strings;
        if (!ReadAt(in, eh.e_shoff + std::uint64_t{eh.e_shstrndx} * sizeof(Elf64_Shdr), &strings,
                    sizeof strings) ||
            strings.sh_size > (64u << 20)) {
            return std::nullopt;
        }
        names.resize(strings.sh_size);
        if (!ReadAt(in, strings.sh_offset, names.data(), names.size())) return std::nullopt;
    }
    std::string wanted = ".kesto.rsrc." + std::string(type) + "." + std::to_string(id);
    for (unsigned i = 0; i < eh.e_shnum; ++i) {
        Elf64_Shdr sh;
        if (!ReadAt(in, eh.e_shoff + std::uint64_t{i} * sizeof(Elf64_Shdr), &sh, sizeof sh)) {
            return std::nullopt;
        }
        if (sh.sh_name >= names.size()) continue;
        if (std::strcmp(names.c_str() + sh.sh_name, wanted.c_str()) != 0) continue;
        if (sh.sh_type != SHT_PROGBITS || sh.sh_size > (256u << 20)) return std::nullopt;
        std::string data(sh.sh_size, '\0');
        if (!ReadAt(in, sh.sh_offset, data.data(), data.size())) return std::nullopt;
        return data;
    }
    return std::nullopt;
}

std::optional<std::string> ReadModuleResource(HMODULE module, std::string_view type, int id) {
    std::string path = ModulePath(module);
    if (path.empty()) return std::nullopt;
    return ReadModuleResource(path, type, id);
}

}  // namespace platform::com

namespace {

std::string CanonicalPath(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

// The module's own string table: the exported table found through the module that is defined in
// the module's file (a search by name also finds the tables of the libraries it depends on).
const MODULESTRINGTABLE* StringTableOf(HINSTANCE module) {
    void* symbol = GetProcAddress(module, "KestoModuleStringTable");
    if (!symbol) return nullptr;
    Dl_info info{};
    if (!::dladdr(symbol, &info) || !info.dli_fname) return nullptr;
    std::string path = platform::com::ModulePath(module);
    if (path.empty() || CanonicalPath(info.dli_fname) != CanonicalPath(path)) return nullptr;
    return static_cast<const MODULESTRINGTABLE*>(symbol);
}

}  // namespace

int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax <= 0) return 0;
    lpBuffer[0] = 0;
    const MODULESTRINGTABLE* table = StringTableOf(hInstance);
    if (!table) return 0;
    for (std::size_t i = 0; i < table->count; ++i) {
        if (table->entries[i].id != uID || !table->entries[i].text) continue;
        std::size_t length = std::strlen(table->entries[i].text);
        std::size_t n = std::min(length, static_cast<std::size_t>(cchBufferMax - 1));
        std::memcpy(lpBuffer, table->entries[i].text, n);
        lpBuffer[n] = 0;
        return static_cast<int>(n);
    }
    return 0;
}
