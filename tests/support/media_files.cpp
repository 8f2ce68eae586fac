#include "tests/support/media_files.h"

#include <QBuffer>
#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <vector>

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
    U16(b, 1), U16(b, 0);             // hot spot
    U32(b, 40 + 16 + 8), U32(b, 22);  // size and offset of the image
    U32(b, 40), U32(b, 2), U32(b, 4), U16(b, 1), U16(b, 32);
    for (int i = 0; i < 6; ++i) U32(b, 0);
    // Rows bottom-up, BGRA: red, green; then blue, transparent.
    for (unsigned long px : {0xffff0000UL, 0xff00ff00UL, 0xff0000ffUL, 0x00000000UL}) U32(b, px);
    U32(b, 0), U32(b, 0);  // the mask
    return b;
}

std::string Gif(const QImage& image) {
    std::map<QRgb, int> index;
    std::vector<QRgb> palette;
    std::vector<int> pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb c = image.pixel(x, y) | 0xFF000000;
            auto [it, fresh] = index.emplace(c, static_cast<int>(palette.size()));
            if (fresh) palette.push_back(c);
            pixels.push_back(it->second);
        }
    }
    if (palette.size() > 256) throw std::runtime_error("more than 256 colours");
    palette.resize(256, 0xFF000000);
    std::string b = "GIF89a";
    U16(b, image.width()), U16(b, image.height());
    b += char(0xF7), b += char(0), b += char(0);  // a global table of 256 colours
    for (QRgb c : palette) b += char(qRed(c)), b += char(qGreen(c)), b += char(qBlue(c));
    b += ',';
    U16(b, 0), U16(b, 0), U16(b, image.width()), U16(b, image.height());
    b += char(0);
    b += char(8);  // minimum code size
    // Every pixel as a literal 9-bit code, with a clear code often enough that the code size
    // never grows.
    std::string data;
    unsigned long bits = 0;
    int count = 0;
    auto put = [&](int code) {
        bits |= static_cast<unsigned long>(code) << count;
        count += 9;
        while (count >= 8) {
            data += static_cast<char>(bits & 0xff);
            bits >>= 8;
            count -= 8;
        }
    };
    put(256);
    int since = 0;
    for (int p : pixels) {
        if (since == 254) {
            put(256);
            since = 0;
        }
        put(p);
        ++since;
    }
    put(257);
    if (count > 0) data += static_cast<char>(bits & 0xff);
    for (size_t at = 0; at < data.size(); at += 255) {
        std::string block = data.substr(at, 255);
        b += static_cast<char>(block.size());
        b += block;
    }
    b += char(0);
    b += ';';
    return b;
}

}  // namespace testing_support

namespace testing_support {

std::string BitmapFile(long width, long height, int bpp, size_t pixelBytes, int compression) {
    std::string b = "BM";
    U32(b, static_cast<unsigned long>(54 + pixelBytes)), U32(b, 0), U32(b, 54);
    U32(b, 40), U32(b, static_cast<unsigned long>(width)),
        U32(b, static_cast<unsigned long>(height));
    U16(b, 1), U16(b, static_cast<unsigned>(bpp)), U32(b, static_cast<unsigned long>(compression));
    for (int i = 0; i < 5; ++i) U32(b, 0);
    b.append(pixelBytes, '\x80');
    return b;
}

std::string OversizedBitmapFile() {
    return BitmapFile(3277321, 10, 24, 9);
}

std::string PngClaiming(unsigned long width, unsigned long height) {
    QImage one(1, 1, QImage::Format_RGB32);
    one.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    one.save(&buffer, "PNG");
    std::string png(bytes.constData(), static_cast<size_t>(bytes.size()));
    // The header chunk follows the 8-byte signature: length, "IHDR", width, height (big-endian).
    auto put = [&](size_t at, unsigned long v) {
        for (int i = 0; i < 4; ++i) png[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xff);
    };
    put(16, width);
    put(20, height);
    std::uint32_t crc = 0xffffffffu;
    for (size_t i = 12; i < 29; ++i) {
        crc ^= static_cast<unsigned char>(png[i]);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    put(29, ~crc);
    return png;
}

}  // namespace testing_support
