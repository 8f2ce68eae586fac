// Decoding picture files (BMP, GIF, JPEG, PNG and whatever else the image readers know), for every
// loader of the project: the form run-time's LoadPicture, the picture objects of the control
// library, persisted pictures.
//
// A picture's header says how large it is, and a hostile or broken file may claim any size. The
// claim is checked before anything of that size is allocated: a picture is refused when
//  - a side is larger than kMaxPictureSide pixels, or it has more than kMaxPicturePixels pixels
//    (this stated limit is for every format: at most 144 MB once decoded to 32-bit pixels); or
//  - it is an uncompressed bitmap whose pixel rows do not fit in the file.
#pragma once

#include <QImage>
#include <string>
#include <string_view>

namespace platform::gdi {

inline constexpr int kMaxPictureSide = 16384;
inline constexpr long long kMaxPicturePixels = 36'000'000;

// The picture in `bytes`, its format decided from the content (or given, as "PNG"). A null image
// when the bytes are no picture or claim a size the rules above refuse; *why then says which.
QImage DecodePicture(std::string_view bytes, const char* format = nullptr,
                     std::string* why = nullptr);

}  // namespace platform::gdi
