// The hotspot reader on any bytes: a load either gives a set whose bytes, written again, are the
// bytes read (the format has one spelling of each set), or fails and leaves the set it was handed
// as it was; the hit test and switching work on whatever was loaded.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "quixcore/quixcore.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A set that holds one hotspot before the load.
    short count = 0;
    HGLOBAL block = nullptr;
    FUZZ_CHECK(IQuixAddHotspot(1, 2, 3, 4, 77, "before", &count, &block) == QUIX_OK);
    HGLOBAL before = block;

    short result = LoadHotspotResource(data, static_cast<ULONG>(size), &count, &block, 1.0f, 1.0f);
    if (result != QUIX_OK) {
        FUZZ_CHECK(result == QUIX_E_FORMAT);
        FUZZ_CHECK(count == 1 && block == before);
        GlobalFree(block);
        return 0;
    }
    FUZZ_CHECK(count >= 0 && count <= kMaxHotspots);
    FUZZ_CHECK((count == 0) == (block == nullptr));
    FUZZ_CHECK(GlobalSize(before) == 0);  // the old set's block was freed
    if (block) FUZZ_CHECK(GlobalSize(block) == std::size_t(count) * HotspotRecordSize);

    ULONG length = WriteHotspotBytes(count, block, nullptr, 0);
    FUZZ_CHECK(length == size);
    std::vector<BYTE> written(length);
    FUZZ_CHECK(WriteHotspotBytes(count, block, written.data(), length) == length);
    FUZZ_CHECK(std::memcmp(written.data(), data, size) == 0);

    // The hit test at a few points taken from the bytes, and switching the first hotspot.
    for (size_t i = 0; i + 4 <= size && i < 64; i += 4) {
        int x = static_cast<int8_t>(data[i]) * 300, y = static_cast<int8_t>(data[i + 1]) * 300;
        char name[8];
        short id = 0, priority = 0;
        short hit = HotspotAt(count, block, x, y, name, sizeof name, &id, &priority);
        FUZZ_CHECK(hit == QUIX_OK || hit == QUIX_E_NOHOTSPOT || (hit == QUIX_E_HANDLE && !count));
        if (hit == QUIX_OK) FUZZ_CHECK(std::strlen(name) < sizeof name);
    }
    if (count) {
        FUZZ_CHECK(EnableHotspot(count, block, 1, 0) == QUIX_OK);
        FUZZ_CHECK(EnableHotspot(count, block, static_cast<short>(count + 1), 0) ==
                   QUIX_E_ARGUMENT);
    }

    // Scaled loads read the same bytes; a scale that takes a point out of range is refused.
    short scaledCount = 0;
    HGLOBAL scaled = nullptr;
    short half =
        LoadHotspotResource(data, static_cast<ULONG>(size), &scaledCount, &scaled, 0.5f, 0.5f);
    FUZZ_CHECK(half == QUIX_OK && scaledCount == count);
    if (scaled) GlobalFree(scaled);
    if (block) GlobalFree(block);
    return 0;
}
