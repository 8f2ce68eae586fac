// File encoders of the data generator: 24-bit BMP, GIF89a (LZW), Windows cursor, 16-bit PCM WAV,
// JPEG, and a palette quantiser that keeps one key colour exact.
#pragma once

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <string>
#include <vector>

namespace makedata {

using Bytes = std::string;

// A 24-bit, bottom-up, uncompressed BMP of an image's colours (alpha is dropped).
Bytes EncodeBmp(const QImage& image);

// An indexed picture: one palette index per pixel, row by row, and up to 256 colours.
struct Indexed {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    std::vector<QRgb> palette;
};

// A GIF89a file of one frame with a global colour table of 256 entries and no transparency.
Bytes EncodeGif(const Indexed& picture);

// Reduces an image to 256 colours. Pixels of the key colour become index 0, which holds the key
// exactly; every other pixel gets one of the indices 1..255 (never the key), chosen by median cut,
// refined by a few rounds of k-means, with Floyd-Steinberg dithering that stays within the
// non-key pixels. Deterministic.
Indexed Quantize(const QImage& image, QRgb key);

// A cursor file with one 32x32 image: a 32-bit BGRA DIB with its 1-bit AND mask, and the hot spot
// in the directory entry. `image` is converted to non-premultiplied ARGB.
Bytes EncodeCursor(const QImage& image, QPoint hotspot);

// A mono 16-bit PCM WAV of samples in -1..1 (clipped).
Bytes EncodeWav(const std::vector<float>& samples, int sampleRate);

// A baseline JPEG through Qt's writer.
Bytes EncodeJpeg(const QImage& image, int quality);

}  // namespace makedata
