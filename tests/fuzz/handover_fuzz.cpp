// The reader of the packets processes of this user send each other (platform/win/handover.h) on
// any bytes: it never reads past them, a packet it reads is written back to the same frame, and
// reading what was written gives the same packet.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win/handover.h"
#include "tests/fuzz/fuzz_check.h"

using namespace platform::win::handover;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Every packet of the bytes in turn, as the published server reads a connection.
    for (int packets = 0; packets < 64; ++packets) {
        Packet p;
        size_t used = 0;
        Parsed parsed = Parse(bytes, &p, &used);
        if (parsed == Parsed::kIncomplete || parsed == Parsed::kTooLarge) break;
        FUZZ_CHECK(used >= 4 && used <= bytes.size());
        if (parsed == Parsed::kPacket) {
            std::string encoded = Encode(p);
            Packet back;
            size_t again = 0;
            FUZZ_CHECK(Parse(encoded, &back, &again) == Parsed::kPacket);
            FUZZ_CHECK(again == encoded.size());
            FUZZ_CHECK(back.command == p.command && back.handle == p.handle &&
                       back.after == p.after && back.a == p.a && back.b == p.b);
            // An ASCII command is written as it was read, and so is the whole frame then.
            if (p.command != "?") FUZZ_CHECK(encoded.size() <= used);
        }
        bytes.remove_prefix(used);
    }
    return 0;
}
