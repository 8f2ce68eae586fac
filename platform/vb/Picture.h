// Picture objects of the form run-time: bitmaps, JPEG and GIF pictures, icons and cursors.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <memory>
#include <string>

namespace vb {

class Picture {
public:
    enum class Kind { None, Bitmap, Icon, Cursor };

    Picture() = default;  // no picture
    static Picture FromImage(QImage image, Kind kind = Kind::Bitmap, QPoint hotspot = {});

    bool IsNone() const { return !data_; }
    Kind kind() const { return data_ ? data_->kind : Kind::None; }
    const QImage& Image() const;
    // Width and height in pixels (0 for no picture).
    int Width() const { return data_ ? data_->image.width() : 0; }
    int Height() const { return data_ ? data_->image.height() : 0; }
    QPoint Hotspot() const { return data_ ? data_->hotspot : QPoint(); }
    // The picture as a mouse pointer (the hotspot of a cursor file, else the centre... of an icon).
    QCursor AsCursor() const;

    // Pictures are shared, as the run-time's picture objects are: a copy is the same picture.
    bool operator==(const Picture& o) const { return data_ == o.data_; }

private:
    struct Data {
        QImage image;
        Kind kind;
        QPoint hotspot;
    };
    std::shared_ptr<const Data> data_;
};

// LoadPicture: a BMP, JPEG, GIF or PNG picture, or an icon (.ico) or cursor (.cur) file, found
// without regard to letter case. An empty path gives no picture. A missing file raises run-time
// error 53, a file that is no picture, or one whose header claims a size it cannot have
// (platform/gdi/picturefile.h), error 481 with the reason in its description.
Picture LoadPicture(const std::string& path = {});

// Reads a Windows icon or cursor file (the largest image in it). Returns a null image when the
// bytes are not one; *hotspot receives a cursor's hot spot.
QImage ReadIconFile(const std::string& bytes, QPoint* hotspot = nullptr, bool* isCursor = nullptr);

}  // namespace vb
