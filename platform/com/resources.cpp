#include "platform/com/resources.h"

#include <elf.h>

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
