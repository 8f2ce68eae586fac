// Packed device-independent bitmaps (the bytes of a stored picture) on any bytes: the layout read
// lies within the block, and a bitmap made from it has the size its header gives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/gdi.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto layout = platform::gdi::ParsePackedDib(data, size);
    HBITMAP bitmap = platform::gdi::BitmapFromPackedDib(data, size);
    if (!layout) {
        FUZZ_CHECK(!bitmap);
        return 0;
    }
    FUZZ_CHECK(layout->bitsOffset <= size && layout->bitsSize <= size - layout->bitsOffset);
    FUZZ_CHECK(layout->colorTableOffset <= layout->bitsOffset || layout->colors == 0);
    if (bitmap) {
        BITMAP info{};
        FUZZ_CHECK(GetObject(bitmap, sizeof info, &info) == sizeof info);
        FUZZ_CHECK(info.bmWidth == layout->width && info.bmHeight == std::abs(layout->height));
        DeleteObject(bitmap);
    }
    return 0;
}
