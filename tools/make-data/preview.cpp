#include "tools/make-data/preview.h"

#include <QPainter>
#include <algorithm>

#include "player/Glyphs.h"
#include "tools/make-data/art.h"

namespace makedata {

namespace {

QImage Desktop(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    for (int y = 0; y < size.height(); y += 8) {
        for (int x = 0; x < size.width(); x += 8) {
            p.fillRect(x, y, 8, 8,
                       ((x + y) / 8) % 2 ? QColor(150, 156, 166) : QColor(120, 126, 136));
        }
    }
    return img;
}

void Keyed(QImage& onto, const QImage& face) {
    const QRgb key = face.pixel(0, 0);
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            if (face.pixel(x, y) != key) onto.setPixel(x, y, face.pixel(x, y));
        }
    }
}

// The transport glyph the player shows for an element.
QImage Glyph(Element e) {
    switch (e) {
        case kPlay:
            return forms::TransportGlyph('P');
        case kPause:
            return forms::TransportGlyph('p');
        case kStop:
            return forms::TransportGlyph('s');
        case kPrevious:
            return forms::TransportGlyph('<');
        case kNext:
            return forms::TransportGlyph('>');
        default:
            return forms::TransportGlyph(' ');
    }
}

}  // namespace

QImage PreviewFace(const QImage& face) {
    QImage img = Desktop(face.size());
    Keyed(img, face);
    return img;
}

QImage PreviewSkin(const Skin& skin, bool outlines) {
    QImage img = PreviewFace(skin.face);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(LabelFont());
    for (int i = 0; i < kElementCount; ++i) {
        const Element e = static_cast<Element>(i);
        const QRect r = Rect(skin.layout, e);
        if (e == kVol || e == kPos) {
            p.fillRect(r, QColor(28, 32, 40));
            p.fillRect(QRect(r.topLeft(), QSize(r.width() * (e == kVol ? 7 : 4) / 10, r.height())),
                       QColor(120, 190, 255));
        } else if (e >= kPlay) {
            p.drawImage(r.topLeft(), Glyph(e));
        } else {
            const bool left = e == kTime || e == kDuration || e == kTitle;
            p.setPen(skin.foreColor);
            p.drawText(r, (left ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter,
                       QString::fromUtf8(Info(e).sample));
        }
        if (outlines) {
            p.setPen(QPen(QColor(255, 255, 0), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
        }
    }
    return img;
}

QImage ContactSheet(const std::vector<std::pair<QString, QImage>>& items, int columns) {
    const int pad = 16, caption = 20;
    int cellW = 0, cellH = 0;
    for (auto& [name, img] : items) {
        cellW = std::max(cellW, img.width());
        cellH = std::max(cellH, img.height());
    }
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    QImage sheet(pad + columns * (cellW + pad), pad + rows * (cellH + caption + pad),
                 QImage::Format_RGB32);
    sheet.fill(QColor(88, 94, 104));
    QPainter p(&sheet);
    p.setFont(LabelFont());
    for (size_t i = 0; i < items.size(); ++i) {
        const int cx = pad + static_cast<int>(i % columns) * (cellW + pad);
        const int cy = pad + static_cast<int>(i / columns) * (cellH + caption + pad);
        p.setPen(Qt::white);
        p.drawText(QPoint(cx, cy + 13), items[i].first);
        p.drawImage(QPoint(cx, cy + caption), items[i].second);
    }
    return sheet;
}

}  // namespace makedata
