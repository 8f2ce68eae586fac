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

}  // namespace testing_support
