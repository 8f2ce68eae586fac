// The saved-list (.kesto) reader on any bytes: every line is one path without a line ending, and
// the paths read save to bytes that read back as the same paths.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "player/Form2.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t most = 64;
    std::vector<std::string> paths = forms::PlaylistPaths(bytes, most);
    FUZZ_CHECK(paths.size() <= most);
    size_t characters = 0;
    for (const std::string& path : paths) {
        FUZZ_CHECK(path.find_first_of("\r\n") == std::string::npos);
        characters += path.size();
    }
    FUZZ_CHECK(characters <= size);
    FUZZ_CHECK(forms::PlaylistPaths(forms::PlaylistBytes(paths), most) == paths);
    return 0;
}
