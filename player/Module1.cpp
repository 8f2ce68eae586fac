#include "player/Module1.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "platform/vb/Conversions.h"
#include "platform/win/messages.h"
#include "platform/win/windowpos.h"

void SetTopMost(vb::Form& form) {
    SetWindowPos(form.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void SetNotTopMost(vb::Form& form) {
    SetWindowPos(form.hWnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

QPoint OnScreenPlace(const QRect& window, const QList<QRect>& screens) {
    const int cornerW = std::min(kOnScreenCorner, window.width());
    const int cornerH = std::min(kOnScreenCorner, window.height());
    QPoint best = window.topLeft();
    long long bestDistance = -1;
    for (const QRect& s : screens) {
        if (s.isEmpty()) continue;
        // The places whose overlap with the screen is at least the corner, on each axis.
        const int x =
            std::clamp(window.x(), s.x() + cornerW - window.width(),
                       std::max(s.x() + cornerW - window.width(), s.right() + 1 - cornerW));
        const int y =
            std::clamp(window.y(), s.y() + cornerH - window.height(),
                       std::max(s.y() + cornerH - window.height(), s.bottom() + 1 - cornerH));
        const long long dx = std::llabs(static_cast<long long>(x) - window.x());
        const long long dy = std::llabs(static_cast<long long>(y) - window.y());
        if (dx == 0 && dy == 0) return window.topLeft();
        if (bestDistance < 0 || dx + dy < bestDistance) {
            bestDistance = dx + dy;
            best = QPoint(x, y);
        }
    }
    return best;
}

bool KeepOnScreen(vb::Form& form) {
    QWidget* w = form.window();
    if (!w) return false;
    QList<QRect> screens;
    for (QScreen* s : QGuiApplication::screens()) screens.push_back(s->availableGeometry());
    const QPoint place = OnScreenPlace(w->geometry(), screens);
    if (place == w->pos()) return false;
    w->move(place);
    return true;
}

void DragForm(vb::Form& form) {
    ReleaseCapture();
    SendMessageA(form.hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

namespace {

// The horizontal runs [x0, x1) of one row of pixels whose colour differs from `key`, in one pass
// over the row. `pixels` is null for a row outside the image; a pixel outside the image reads
// as no colour (CLR_INVALID), as a pixel read one at a time does.
void FaceRuns(const QRgb* pixels, int imageWidth, int W, COLORREF key, std::vector<int>& runs) {
    runs.clear();
    const int n = pixels ? std::min(W, imageWidth) : 0;
    const QRgb keyRgb = key == CLR_INVALID
                            ? 0xffffffffu
                            : qRgb(GetRValue(key), GetGValue(key), GetBValue(key)) & 0xffffffu;
    int x = 0;
    while (x < n) {
        while (x < n && (pixels[x] & 0xffffffu) == keyRgb) ++x;
        if (x == n) break;
        const int x0 = x;
        while (x < n && (pixels[x] & 0xffffffu) != keyRgb) ++x;
        runs.push_back(x0);
        runs.push_back(x);
    }
    // The part of the row beyond the image is one run of no colour.
    if (n < W && key != CLR_INVALID) {
        if (!runs.empty() && runs.back() == n) {
            runs.back() = W;
        } else {
            runs.push_back(n);
            runs.push_back(W);
        }
    }
}

}  // namespace

long MakeRegionFromBitmap(vb::PictureBox& pic) {
    HDC h = pic.hDC();
    const int W = static_cast<int>(vb::RoundHalfEven(pic.ScaleWidth()));
    const int H = static_cast<int>(vb::RoundHalfEven(pic.ScaleHeight()));
    const COLORREF key = GetPixel(h, 0, 0);
    // One pass over the rows, reading the pixels in place: a row with the same runs as the row
    // above (at once when its pixels are the same) widens that band, so the rectangles come out
    // banded and merged as a union of them would be, and go to the region in one piece.
    std::vector<QRect> bands;
    auto build = [&](const QImage& image) {
        std::vector<int> row, previous;
        size_t bandStart = 0;
        int bandTop = 0;
        auto closeBand = [&](int bottom) {
            for (size_t i = bandStart; i < bands.size(); ++i) bands[i].setBottom(bottom - 1);
        };
        const QRgb* above = nullptr;
        for (int y = 0; y < H; ++y) {
            const QRgb* pixels = y < image.height()
                                     ? reinterpret_cast<const QRgb*>(image.constScanLine(y))
                                     : nullptr;
            const size_t rowBytes = sizeof(QRgb) * static_cast<size_t>(std::min(W, image.width()));
            if (y > 0 && pixels && above && std::memcmp(pixels, above, rowBytes) == 0) {
                above = pixels;
                continue;  // the same pixels: the same runs, the band grows
            }
            above = pixels;
            FaceRuns(pixels, image.width(), W, key, row);
            if (y > 0 && row == previous) continue;
            closeBand(y);
            bandStart = bands.size();
            bandTop = y;
            for (size_t i = 0; i < row.size(); i += 2) {
                bands.emplace_back(row[i], bandTop, row[i + 1] - row[i], 1);
            }
            previous.swap(row);
        }
        closeBand(H);
    };
    const auto bitmap = reinterpret_cast<HBITMAP>(GetCurrentObject(h, OBJ_BITMAP));
    const bool read = platform::gdi::ReadImage(bitmap, [&](const QImage& image) {
        const QImage::Format f = image.format();
        if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
            f == QImage::Format_ARGB32_Premultiplied) {
            build(image);
        } else {
            build(image.convertToFormat(QImage::Format_ARGB32));
        }
    });
    if (!read) build(QImage());
    if (bands.empty()) return 0;
    QRegion region;
    region.setRects(bands.data(), static_cast<int>(bands.size()));
    return static_cast<long>(
        reinterpret_cast<std::uintptr_t>(platform::gdi::RegionFromQRegion(region)));
}

void ShapeFromPicture(vb::Form& form, vb::PictureBox& PicMainSkin) {
    PicMainSkin.SetScaleMode(vb::vbPixels);
    PicMainSkin.SetAutoRedraw(true);
    PicMainSkin.SetAutoSize(true);
    PicMainSkin.SetBorderStyle(0);
    form.SetBorderStyle(0);
    form.SetWidth(PicMainSkin.Width());
    form.SetHeight(PicMainSkin.Height());
    long r = MakeRegionFromBitmap(PicMainSkin);
    SetWindowRgn(form.hWnd(), reinterpret_cast<HRGN>(static_cast<std::uintptr_t>(r)), TRUE);
}

vb::Picture PanelPicture(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, width * 0.3, height);
    g.setColorAt(0, QColor(40, 48, 64));
    g.setColorAt(1, QColor(16, 18, 25));
    p.fillRect(img.rect(), g);
    p.setPen(QColor(94, 108, 136));
    p.drawRect(0, 0, width - 1, height - 1);
    return vb::Picture::FromImage(img);
}

vb::Picture TitledPanelPicture(int width, int height, int strip, const char* title) {
    QImage img = PanelPicture(width, height).Image();
    QPainter p(&img);
    p.fillRect(QRect(1, 1, width - 2, strip - 1), QColor(52, 62, 82));
    QFont f("DejaVu Sans");
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(200, 210, 228));
    p.drawText(QRect(8, 0, width - 16, strip), Qt::AlignLeft | Qt::AlignVCenter, title);
    return vb::Picture::FromImage(img);
}

void StyleDialog(vb::Form& form, int width, int height) {
    form.SetBorderStyle(3);
    form.SetBackColor(RGB(30, 34, 44));
    form.SetWidth(vb::PixelsToTwips(width));
    form.SetHeight(vb::PixelsToTwips(height));
    form.SetPicture(PanelPicture(width, height));
}

void StyleLabelButton(controls::QuixLabel& button, float left, float top, float width,
                      float height) {
    button.Move(left, top, width, height);
    button.SetForeColor(RGB(230, 236, 246));
    button.SetBackStyle(1);
    button.SetBackColor(RGB(52, 62, 82));
    button.SetAlignment(2);
}
