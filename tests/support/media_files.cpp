#include "tests/support/media_files.h"

#include <cmath>
#include <cstdint>

namespace testing_support {

namespace {
void U16(std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>((v >> 8) & 0xff);
}
void U32(std::string& s, unsigned long v) {
    U16(s, v & 0xffff);
    U16(s, (v >> 16) & 0xffff);
}
}  // namespace

std::string Wav(double seconds, int rate) {
    auto samples = static_cast<std::uint32_t>(seconds * rate);
    std::string s = "RIFF";
    U32(s, 36 + samples * 2);
    s += "WAVEfmt ";
    U32(s, 16), U16(s, 1), U16(s, 1), U32(s, rate), U32(s, rate * 2), U16(s, 2), U16(s, 16);
    s += "data";
    U32(s, samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i) {
        double v = 8000 * std::sin(i * 2 * M_PI * 440 / rate);
        U16(s, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    }
    return s;
}

std::string CursorFile() {
    std::string b;
    U16(b, 0), U16(b, 2), U16(b, 1);  // a cursor file with one image
    b += char(2), b += char(2), b += char(0), b += char(0);
    U16(b, 1), U16(b, 0);           // hot spot
    U32(b, 40 + 16 + 8), U32(b, 22);  // size and offset of the image
    U32(b, 40), U32(b, 2), U32(b, 4), U16(b, 1), U16(b, 32);
    for (int i = 0; i < 6; ++i) U32(b, 0);
    // Rows bottom-up, BGRA: red, green; then blue, transparent.
    for (unsigned long px : {0xffff0000UL, 0xff00ff00UL, 0xff0000ffUL, 0x00000000UL}) U32(b, px);
    U32(b, 0), U32(b, 0);  // the mask
    return b;
}

}  // namespace testing_support
