// The registry store's text on any bytes: it reads (or is refused with the line that is wrong),
// and what a save of it writes reads back as the same store.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry/registry.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string why;
    std::optional<std::string> saved = platform::registry::ReformatStore(text, &why);
    if (!saved) {
        FUZZ_CHECK(why.rfind("line ", 0) == 0);
        return 0;
    }
    std::optional<std::string> again = platform::registry::ReformatStore(*saved, &why);
    FUZZ_CHECK(again);
    FUZZ_CHECK(*again == *saved);
    return 0;
}
