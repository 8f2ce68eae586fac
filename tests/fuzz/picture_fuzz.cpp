// The picture loaders on any bytes: a picture file (BMP, GIF, JPEG, PNG, ...) or an icon or cursor
// file. Nothing larger than the stated limit is ever decoded.
#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gdi/picturefile.h"
#include "platform/vb/Picture.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

void CheckSize(const QImage& image, int side) {
    if (image.isNull()) return;
    FUZZ_CHECK(image.width() > 0 && image.height() > 0);
    FUZZ_CHECK(image.width() <= side && image.height() <= side);
    FUZZ_CHECK(static_cast<long long>(image.width()) * image.height() <=
               platform::gdi::kMaxPicturePixels);
}

}  // namespace

// The image readers' warnings about broken files are expected here by the million.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string why;
    QImage picture = platform::gdi::DecodePicture(bytes, nullptr, &why);
    CheckSize(picture, platform::gdi::kMaxPictureSide);
    FUZZ_CHECK(!picture.isNull() || !why.empty());
    QPoint hotspot;
    bool cursor = false;
    CheckSize(vb::ReadIconFile(bytes, &hotspot, &cursor), 1024);
    return 0;
}
