#include "platform/vb/Picture.h"

#include <cstring>

#include "platform/files/files.h"
#include "platform/gdi/picturefile.h"
#include "platform/vb/Error.h"

namespace vb {

Picture Picture::FromImage(QImage image, Kind kind, QPoint hotspot) {
    Picture p;
    if (image.isNull()) return p;
    p.data_ = std::make_shared<const Data>(Data{std::move(image), kind, hotspot});
    return p;
}

const QImage& Picture::Image() const {
    static const QImage none;
    return data_ ? data_->image : none;
}

QCursor Picture::AsCursor() const {
    if (!data_) return QCursor();
    QPoint hot = data_->kind == Kind::Cursor
                     ? data_->hotspot
                     : QPoint(data_->image.width() / 2, data_->image.height() / 2);
    return QCursor(QPixmap::fromImage(data_->image), hot.x(), hot.y());
}

namespace {

std::uint16_t U16(const std::string& b, size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}
std::uint32_t U32(const std::string& b, size_t at) {
    return static_cast<std::uint32_t>(U16(b, at)) |
           (static_cast<std::uint32_t>(U16(b, at + 2)) << 16);
}
std::int32_t S32(const std::string& b, size_t at) {
    return static_cast<std::int32_t>(U32(b, at));
}

// One image of an icon or cursor file: a PNG, or a device-independent bitmap of twice the height
// (the colour bitmap, then the 1-bit transparency mask).
QImage ReadIconImage(const std::string& b, size_t offset, size_t size) {
    if (offset + size > b.size() || size < 40) return {};
    if (std::memcmp(b.data() + offset, "\x89PNG", 4) == 0) {
        QImage png = platform::gdi::DecodePicture(std::string_view(b).substr(offset, size), "PNG");
        if (png.width() > 1024 || png.height() > 1024) return {};  // as for the bitmaps below
        return png.convertToFormat(QImage::Format_ARGB32);
    }
    std::uint32_t header = U32(b, offset);
    if (header < 40) return {};
    std::int32_t width = S32(b, offset + 4);
    std::int32_t height2 = S32(b, offset + 8);
    std::uint16_t bpp = U16(b, offset + 14);
    std::uint32_t compression = U32(b, offset + 16);
    std::uint32_t used = U32(b, offset + 32);
    if (width <= 0 || width > 1024 || height2 <= 0 || height2 > 2048 || compression != 0) return {};
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return {};
    int height = height2 / 2;
    size_t colors = bpp <= 8 ? (used ? used : (1u << bpp)) : 0;
    size_t palette = offset + header;
    size_t xorStride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    size_t andStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    size_t xorAt = palette + colors * 4;
    size_t andAt = xorAt + xorStride * height;
    bool hasMask = andAt + andStride * height <= offset + size;
    if (xorAt + xorStride * height > offset + size) return {};

    QImage img(width, height, QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        size_t row = xorAt + xorStride * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            unsigned char r = 0, g = 0, bl = 0, a = 255;
            if (bpp <= 8) {
                size_t bit = static_cast<size_t>(x) * bpp;
                unsigned byte = static_cast<unsigned char>(b[row + bit / 8]);
                unsigned index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                if (index < colors) {
                    size_t p = palette + index * 4;
                    bl = b[p];
                    g = b[p + 1];
                    r = b[p + 2];
                }
            } else {
                size_t p = row + static_cast<size_t>(x) * (bpp / 8);
                bl = b[p];
                g = b[p + 1];
                r = b[p + 2];
                if (bpp == 32) {
                    a = b[p + 3];
                    if (a) anyAlpha = true;
                }
            }
            img.setPixel(x, y, qRgba(r, g, bl, a));
        }
    }
    if (!anyAlpha) {
        for (int y = 0; y < height; ++y) {
            size_t row = andAt + andStride * static_cast<size_t>(height - 1 - y);
            for (int x = 0; x < width; ++x) {
                bool transparent =
                    hasMask && ((static_cast<unsigned char>(b[row + x / 8]) >> (7 - x % 8)) & 1);
                QRgb c = img.pixel(x, y);
                // A masked pixel with colour inverts the screen; it is shown as black here.
                img.setPixel(x, y,
                             transparent ? (qRed(c) | qGreen(c) | qBlue(c) ? qRgba(0, 0, 0, 255)
                                                                           : qRgba(0, 0, 0, 0))
                                         : qRgba(qRed(c), qGreen(c), qBlue(c), 255));
            }
        }
    }
    return img;
}

}  // namespace

QImage ReadIconFile(const std::string& b, QPoint* hotspot, bool* isCursor) {
    if (b.size() < 6 || U16(b, 0) != 0) return {};
    std::uint16_t type = U16(b, 2);
    std::uint16_t count = U16(b, 4);
    if ((type != 1 && type != 2) || count == 0 || b.size() < 6 + 16u * count) return {};
    QImage best;
    QPoint bestHot;
    for (std::uint16_t i = 0; i < count; ++i) {
        size_t e = 6 + 16u * i;
        QImage img = ReadIconImage(b, U32(b, e + 12), U32(b, e + 8));
        if (img.isNull()) continue;
        if (best.isNull() || img.width() * img.height() > best.width() * best.height()) {
            best = img;
            bestHot = QPoint(U16(b, e + 4), U16(b, e + 6));
        }
    }
    if (hotspot) *hotspot = type == 2 ? bestHot : QPoint();
    if (isCursor) *isCursor = type == 2;
    return best;
}

Picture LoadPicture(const std::string& path) {
    if (path.empty()) return Picture();
    std::optional<std::string> bytes = platform::files::ReadFile(path);
    if (!bytes) {
        if (!platform::files::Exists(path)) Raise(vbErrFileNotFound);
        Raise(vbErrPathFileAccess);
    }
    QPoint hot;
    bool cursor = false;
    QImage icon = ReadIconFile(*bytes, &hot, &cursor);
    if (!icon.isNull()) {
        return Picture::FromImage(icon, cursor ? Picture::Kind::Cursor : Picture::Kind::Icon, hot);
    }
    std::string why;
    QImage img = platform::gdi::DecodePicture(*bytes, nullptr, &why);
    if (img.isNull())
        Raise(vbErrInvalidPicture, ErrorDescription(vbErrInvalidPicture) + ": " + why);
    return Picture::FromImage(img.convertToFormat(QImage::Format_RGB32), Picture::Kind::Bitmap);
}

}  // namespace vb
