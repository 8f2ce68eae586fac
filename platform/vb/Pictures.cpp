// PictureBox and Image.
#include <QPainter>
#include <QWidget>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "platform/vb/Error.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"

namespace vb {

namespace {
QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
}  // namespace

class PictureBox::Surface : public QWidget {
public:
    Surface(PictureBox* box, QWidget* parent) : QWidget(parent), box_(box) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        int b = box_->BorderPixels();
        p.drawImage(b, b, box_->Image());
        if (b) {
            // A sunken border: dark above and to the left, light below and to the right.
            QRect r = rect().adjusted(0, 0, -1, -1);
            p.setPen(QColor(128, 128, 128));
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(QColor(255, 255, 255));
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
            QRect in = r.adjusted(1, 1, -1, -1);
            p.setPen(QColor(64, 64, 64));
            p.drawLine(in.topLeft(), in.topRight());
            p.drawLine(in.topLeft(), in.bottomLeft());
            p.setPen(QColor(212, 208, 200));
            p.drawLine(in.bottomLeft(), in.bottomRight());
            p.drawLine(in.topRight(), in.bottomRight());
        }
    }

private:
    PictureBox* box_;
};

PictureBox::PictureBox(Form* form, const char* name, Control* container)
    : Control(form, name, container) {
    surface_ = new Surface(this, ContainerWidget());
    Attach(surface_);
}

void PictureBox::SetPicture(const vb::Picture& picture) {
    picture_ = picture;
    Fit();
    surface_->update();
}

void PictureBox::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    Fit();
}

void PictureBox::SetScaleMode(int mode) {
    if (mode != vbTwips && mode != vbPixels) Raise(vbErrInvalidPropertyValue);
    scaleMode_ = mode;
}

void PictureBox::SetBorderStyle(int style) {
    if (style != 0 && style != 1) Raise(vbErrInvalidPropertyValue);
    borderStyle_ = style;
    Fit();
    surface_->update();
}

void PictureBox::SetBackColor(COLORREF c) {
    back_ = c;
    surface_->update();
}

void PictureBox::Fit() {
    if (!autoSize_ || picture_.IsNone()) return;
    int b = BorderPixels();
    Control::SetWidth(PixelsToTwips(picture_.Width() + 2 * b));
    Control::SetHeight(PixelsToTwips(picture_.Height() + 2 * b));
}

float PictureBox::ScaleWidth() const {
    float px = std::max(0, TwipsToPixels(Width()) - 2 * BorderPixels());
    return scaleMode_ == vbPixels ? px : PixelsToTwips(px);
}

float PictureBox::ScaleHeight() const {
    float px = std::max(0, TwipsToPixels(Height()) - 2 * BorderPixels());
    return scaleMode_ == vbPixels ? px : PixelsToTwips(px);
}

QImage PictureBox::Image() const {
    int w = std::max(0, TwipsToPixels(Width()) - 2 * BorderPixels());
    int h = std::max(0, TwipsToPixels(Height()) - 2 * BorderPixels());
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(ToQColor(back_));
    if (!picture_.IsNone() && w > 0 && h > 0) {
        QPainter p(&img);
        p.drawImage(0, 0, picture_.Image());
    }
    return img;
}

long PictureBox::Point(float x, float y) const {
    float s = scaleMode_ == vbPixels ? 1.0f : static_cast<float>(kTwipsPerPixel);
    int px = static_cast<int>(x / s), py = static_cast<int>(y / s);
    QImage img = Image();
    if (px < 0 || py < 0 || px >= img.width() || py >= img.height()) return -1;
    QRgb c = img.pixel(px, py);
    return static_cast<long>(RGB(qRed(c), qGreen(c), qBlue(c)));
}

PictureBox::~PictureBox() {
    if (dc_) DeleteDC(dc_);
    if (bitmap_) DeleteObject(bitmap_);
}

HDC PictureBox::hDC() const {
    if (!dc_) dc_ = CreateCompatibleDC(nullptr);
    // The same size, colour and picture compose the same image: the bitmap (with whatever was
    // drawn into it since) stays, without composing and comparing the image again.
    const Composition parts{std::max(0, TwipsToPixels(Width()) - 2 * BorderPixels()),
                            std::max(0, TwipsToPixels(Height()) - 2 * BorderPixels()), back_,
                            picture_.IsNone() ? 0 : picture_.Image().cacheKey()};
    if (bitmap_ && parts == composed_) return dc_;
    composed_ = parts;
    QImage now = Image();
    if (!bitmap_ || now != drawn_) {
        HBITMAP fresh = platform::gdi::BitmapFromImage(now);
        SelectObject(dc_, fresh);
        if (bitmap_) DeleteObject(bitmap_);
        bitmap_ = fresh;
        drawn_ = now;
    }
    return dc_;
}

float PictureBox::MouseScale() const {
    return scaleMode_ == vbPixels ? 1.0f : static_cast<float>(kTwipsPerPixel);
}

class Image::Surface : public QWidget {
public:
    Surface(Image* image, QWidget* parent) : QWidget(parent), image_(image) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (image_->picture_.IsNone()) return;
        QPainter p(this);
        if (image_->stretch_) {
            p.drawImage(rect(), image_->picture_.Image());
        } else {
            p.drawImage(0, 0, image_->picture_.Image());
        }
    }

private:
    Image* image_;
};

Image::Image(Form* form, const char* name, Control* container) : Control(form, name, container) {
    surface_ = new Surface(this, ContainerWidget());
    // The picture's transparent parts show what lies beneath in the window. The surface paints no
    // background; it needs no alpha channel of its own (a native window with one shows nothing
    // where no compositor runs).
    surface_->setAttribute(Qt::WA_NoSystemBackground);
    Attach(surface_);
}

void Image::SetPicture(const vb::Picture& picture) {
    picture_ = picture;
    if (!stretch_ && !picture.IsNone()) {
        Control::SetWidth(PixelsToTwips(picture.Width()));
        Control::SetHeight(PixelsToTwips(picture.Height()));
    }
    surface_->update();
}

void Image::SetStretch(bool stretch) {
    stretch_ = stretch;
    surface_->update();
}

}  // namespace vb
