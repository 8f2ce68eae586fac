#include "platform/gdi/picturefile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstdint>
#include <cstdlib>

namespace platform::gdi {

namespace {

std::uint32_t U16(std::string_view b, size_t at) {
    return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t U32(std::string_view b, size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

bool Refuse(std::string* why, std::string text) {
    if (why) *why = std::move(text);
    return false;
}

bool WithinLimits(long long width, long long height, std::string* why) {
    if (width <= 0 || height <= 0) return Refuse(why, "the picture has no size");
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
        return Refuse(why, "the picture claims " + std::to_string(width) + " x " +
                               std::to_string(height) + " pixels, more than a picture may have");
    }
    return true;
}

// A Windows bitmap file: its header's size within the limits and, without compression, its
// pixel rows within the file.
bool CheckBitmap(std::string_view b, std::string* why) {
    if (b.size() < 26) return Refuse(why, "the bitmap file is cut short");
    std::uint32_t offBits = U32(b, 10);
    std::uint32_t header = U32(b, 14);
    long long width, height;
    std::uint32_t bpp, compression = 0;
    if (header == 12) {  // the older core header
        width = U16(b, 18);
        height = U16(b, 20);
        bpp = U16(b, 24);
    } else if (header >= 40 && b.size() >= 14 + 40) {
        width = static_cast<std::int32_t>(U32(b, 18));
        height = std::llabs(static_cast<std::int32_t>(U32(b, 22)));  // negative: top-down
        bpp = U16(b, 28);
        compression = U32(b, 30);
    } else {
        return Refuse(why, "the bitmap file has a header of unknown size");
    }
    if (width <= 0 || height <= 0) return Refuse(why, "the picture has no size");
    // Uncompressed rows (also with bit-field masks) are all in the file.
    if (compression == 0 || compression == 3 || compression == 6) {
        if (bpp == 0 || bpp > 32) return Refuse(why, "the bitmap has no valid colour depth");
        unsigned long long stride = ((static_cast<unsigned long long>(width) * bpp + 31) / 32) * 4;
        unsigned long long needed = static_cast<unsigned long long>(offBits) +
                                    stride * static_cast<unsigned long long>(height);
        if (offBits > b.size() || needed > b.size()) {
            return Refuse(why, "the bitmap claims " + std::to_string(width) + " x " +
                                   std::to_string(height) + " pixels, more than its file holds");
        }
    }
    return WithinLimits(width, height, why);
}

}  // namespace

QImage DecodePicture(std::string_view bytes, const char* format, std::string* why) {
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "BM" && !CheckBitmap(bytes, why)) return {};
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(format == nullptr);
    // A reader that cannot tell the size ahead still allocates no more than the limit.
    reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
    QSize size = reader.size();
    if (size.isValid() && !WithinLimits(size.width(), size.height(), why)) return {};
    QImage image = reader.read();
    if (image.isNull()) {
        Refuse(why, "the file is no picture that can be read (" +
                        reader.errorString().toStdString() + ")");
        return {};
    }
    if (!WithinLimits(image.width(), image.height(), why)) return {};
    return image;
}

}  // namespace platform::gdi
