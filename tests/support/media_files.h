// Small media and cursor files made in the tests.
#pragma once

#include <QImage>
#include <string>

namespace testing_support {

// A mono 16-bit PCM WAV of `seconds` of a 440 Hz tone.
std::string Wav(double seconds, int rate = 8000);

// A 2x2 32-bit cursor file with its hot spot at (1, 0): top row blue and transparent, bottom row
// red and green.
std::string CursorFile();

// The picture as a GIF file (at most 256 colours).
std::string Gif(const QImage& image);

// A Windows bitmap file whose header claims width x height pixels of `bpp` bits with this
// compression (0: none), followed by `pixelBytes` bytes of pixel data (grey), as a broken or
// hostile file may be; a negative height is a top-down bitmap.
std::string BitmapFile(long width, long height, int bpp, size_t pixelBytes, int compression = 0);

// The file that made the player allocate hundreds of megabytes: 63 bytes claiming 3,277,321 x 10
// 24-bit pixels.
std::string OversizedBitmapFile();

// A PNG file of one pixel whose header is changed to claim width x height pixels.
std::string PngClaiming(unsigned long width, unsigned long height);

}  // namespace testing_support
