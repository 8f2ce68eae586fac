// The text property bag on any text: a text that reads writes a text that reads the same values
// again, written the same way (and nothing nests without bound).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "platform/ole/propbag.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto bag = platform::ole::ParseTextPropertyBag(text, &error);
    if (!bag) {
        FUZZ_CHECK(error.rfind("line ", 0) == 0);
        return 0;
    }
    std::string written = bag->ToText();
    auto again = platform::ole::ParseTextPropertyBag(written, &error);
    FUZZ_CHECK(again);
    FUZZ_CHECK(again->ToText() == written);
    FUZZ_CHECK(again->Names() == bag->Names());
    for (const std::string& name : bag->Names()) {
        std::u16string wide = platform::com::Utf16(name);
        platform::com::Variant first, second;
        HRESULT a = bag->Read(wide.c_str(), first.ptr(), nullptr);
        HRESULT b = again->Read(wide.c_str(), second.ptr(), nullptr);
        FUZZ_CHECK(a == b);
        if (SUCCEEDED(a)) {
            FUZZ_CHECK(platform::com::Describe(first.get()) ==
                       platform::com::Describe(second.get()));
        }
    }
    return 0;
}
