#include "player/Glyphs.h"

#include <QPainter>
#include <QPolygonF>

namespace forms {

QImage TransportGlyph(char kind) {
    QImage img(30, 30, QImage::Format_RGB32);
    img.fill(QColor(24, 28, 36));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(62, 70, 86));
    p.drawEllipse(1, 1, 28, 28);
    p.setBrush(QColor(235, 240, 248));
    auto tri = [&](double x, double dir) {
        QPolygonF t;
        t << QPointF(x, 9) << QPointF(x, 21) << QPointF(x + 8 * dir, 15);
        p.drawPolygon(t);
    };
    switch (kind) {
        case 'P':
            tri(12, 1);
            break;
        case 'p':
            p.drawRect(10, 9, 4, 12), p.drawRect(16, 9, 4, 12);
            break;
        case 's':
            p.drawRect(10, 10, 10, 10);
            break;
        case '<':
            tri(17, -1), p.drawRect(8, 9, 3, 12);
            break;
        case '>':
            tri(13, 1), p.drawRect(19, 9, 3, 12);
            break;
        default:
            break;
    }
    return img;
}

}  // namespace forms
