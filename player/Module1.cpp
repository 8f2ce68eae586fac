#include "player/Module1.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
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

long MakeRegionFromBitmap(vb::PictureBox& pic) {
    HDC h = pic.hDC();
    const int W = static_cast<int>(vb::RoundHalfEven(pic.ScaleWidth()));
    const int H = static_cast<int>(vb::RoundHalfEven(pic.ScaleHeight()));
    const COLORREF key = GetPixel(h, 0, 0);
    // The pixels are read straight from the image; a pixel outside it reads as no colour, as a
    // pixel read one at a time does.
    const QImage image =
        platform::gdi::ImageOf(reinterpret_cast<HBITMAP>(GetCurrentObject(h, OBJ_BITMAP)));
    auto colour = [&](const QRgb* row, int x) {
        if (!row || x >= image.width()) return CLR_INVALID;
        QRgb c = row[x];
        return RGB(qRed(c), qGreen(c), qBlue(c));
    };
    // Rows are made one after another; a row with the same runs as the row above widens that
    // band, so the rectangles come out banded and merged as a union of them would be.
    std::vector<QRect> bands;
    std::vector<std::pair<int, int>> row, previous;  // runs as [x0, x1)
    size_t bandStart = 0;
    for (int y = 0; y < H; ++y) {
        const QRgb* pixels =
            y < image.height() ? reinterpret_cast<const QRgb*>(image.constScanLine(y)) : nullptr;
        row.clear();
        int x0 = -1;
        for (int x = 0; x < W; ++x) {
            bool face = colour(pixels, x) != key;
            if (face && x0 < 0) x0 = x;
            if (!face && x0 >= 0) {
                row.emplace_back(x0, x);
                x0 = -1;
            }
        }
        if (x0 >= 0) row.emplace_back(x0, W);
        if (!row.empty() && row == previous && y > 0) {
            for (size_t i = bandStart; i < bands.size(); ++i) bands[i].setBottom(y);
        } else {
            bandStart = bands.size();
            for (const auto& [a, b] : row) bands.emplace_back(a, y, b - a, 1);
        }
        previous.swap(row);
    }
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
