#include "tools/make-data/cursors.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

#include "tools/make-data/art.h"

namespace makedata {

namespace {

const QColor kInk(16, 22, 34);

// Paints a shape with a soft drop shadow, a light gradient fill and a dark outline.
void Figure(QImage& img, const QPainterPath& shape, QColor top, QColor bottom) {
    const Field shadow = Blurred(Coverage(shape.translated(1.2, 1.8), img.size()), 2);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const int a = static_cast<int>(shadow.at(x, y) * 80);
            if (a > 0) img.setPixel(x, y, qPremultiply(qRgba(0, 0, 0, a)));
        }
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF b = shape.boundingRect();
    QLinearGradient g(b.topLeft(), b.bottomRight());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(kInk, 1.25, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(shape);
}

QImage Blank() {
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QPainterPath ArrowShape() {
    return PolygonPath(QPolygonF({{1.5, 1.5},
                                  {1.5, 23.5},
                                  {6.8, 18.6},
                                  {10.6, 27.2},
                                  {14.2, 25.6},
                                  {10.5, 17.2},
                                  {17.4, 17.2}}));
}

QImage Arrow() {
    QImage img = Blank();
    Figure(img, ArrowShape(), QColor(255, 255, 255), QColor(196, 214, 236));
    // A thin accent along the arrow's spine.
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 170, 255, 200), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.6, 6.5), QPointF(3.6, 17.5));
    return img;
}

QPainterPath Rounded(qreal x, qreal y, qreal w, qreal h) {
    return RoundRect(QRectF(x, y, w, h), w / 2);
}

QImage PointingHand() {
    QImage img = Blank();
    QPainterPath hand = Rounded(8.6, 1.5, 5.6, 18);
    hand = hand.united(Rounded(14.2, 9.5, 4.8, 9.5));
    hand = hand.united(Rounded(19.0, 10.5, 4.8, 9.5));
    hand = hand.united(Rounded(23.8, 12.0, 4.4, 8.5));
    hand = hand.united(RoundRect(QRectF(8.6, 14, 19.6, 12), 4.5));
    hand = hand.united(RoundRect(QRectF(10.4, 20, 16, 10), 4));
    QPainterPath thumb;
    thumb.moveTo(10.5, 22.5);
    thumb.lineTo(4.2, 16.2);
    hand = hand.united(Stroke(thumb, 5.2));
    Figure(img, hand.simplified(), QColor(255, 255, 255), QColor(206, 216, 232));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 0.9, Qt::SolidLine, Qt::RoundCap));
    for (qreal x : {14.2, 19.0, 23.8}) p.drawLine(QPointF(x, 12.5), QPointF(x, 17.0));
    return img;
}

QImage GrabHand() {
    QImage img = Blank();
    QPainterPath hand = Rounded(8.2, 6.0, 4.2, 12);
    hand = hand.united(Rounded(12.5, 3.5, 4.2, 14));
    hand = hand.united(Rounded(16.8, 4.5, 4.2, 13));
    hand = hand.united(Rounded(21.1, 7.5, 4.0, 11));
    hand = hand.united(RoundRect(QRectF(8.2, 13, 16.9, 12.5), 5));
    hand = hand.united(RoundRect(QRectF(9.8, 19, 13.6, 10), 4));
    QPainterPath thumb;
    thumb.moveTo(10.2, 21.5);
    thumb.lineTo(4.0, 14.5);
    hand = hand.united(Stroke(thumb, 4.8));
    Figure(img, hand.simplified(), QColor(255, 255, 255), QColor(206, 216, 232));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 0.9, Qt::SolidLine, Qt::RoundCap));
    for (qreal x : {12.5, 16.8, 21.1}) p.drawLine(QPointF(x, 9.5), QPointF(x, 15.5));
    return img;
}

QImage NoteArrow() {
    QImage img = Blank();
    Figure(img, QTransform().scale(0.9, 0.9).map(ArrowShape()), QColor(255, 255, 255),
           QColor(196, 214, 236));
    QPainterPath note =
        QTransform().translate(21.0, 27.0).rotate(-22).map(Ellipse(QPointF(0, 0), 3.6, 2.6));
    QPainterPath stem;
    stem.moveTo(24.0, 26.0);
    stem.lineTo(24.0, 14.0);
    note = note.united(Stroke(stem, 1.6, Qt::FlatCap));
    QPainterPath flag;
    flag.moveTo(24.0, 14.5);
    flag.cubicTo(25.5, 17.5, 30.0, 17.5, 28.5, 22.5);
    note = note.united(Stroke(flag, 1.8));
    Figure(img, note.simplified(), QColor(130, 210, 255), QColor(40, 120, 230));
    return img;
}

}  // namespace

std::vector<Cursor> AllCursors() {
    return {
        {"curAlbums.cur", PointingHand(), QPoint(11, 1)},
        {"curmain.cur", Arrow(), QPoint(1, 1)},
        {"curminimode.cur", GrabHand(), QPoint(16, 16)},
        {"curlistrep.cur", NoteArrow(), QPoint(1, 1)},
    };
}

}  // namespace makedata
