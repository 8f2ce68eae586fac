#include "tools/make-data/windows.h"

#include <QFontMetricsF>
#include <QPainter>

#include "tools/make-data/art.h"
#include "tools/make-data/skins.h"

namespace makedata {

namespace {

const QColor kCyan(120, 190, 255);

// The graphite body shared with the flagship skin.
void Graphite(QImage& img, const QPainterPath& outline, std::uint64_t seed) {
    FillVertical(img, outline,
                 {{0, QColor(92, 104, 128)}, {0.45, QColor(52, 60, 80)}, {1, QColor(22, 26, 36)}});
    Texture(img, Noise(img.size(), seed), Coverage(outline, img.size()), 0.035f);
    Bevel(img, outline, 6, 0.55f, true);
}

// Text centred on a point of its baseline.
void Centred(QImage& img, const QString& text, const QFont& font, QPointF baseline, QColor colour,
             bool raised, float strength) {
    const qreal w = QFontMetricsF(font).horizontalAdvance(text);
    Letters(img, text, font, baseline - QPointF(w / 2, 0), colour, raised, strength);
}

}  // namespace

QImage AboutFace() {
    const QSize size(360, 240);
    const QPointF disc(96, 122);
    const QPainterPath panel = RoundRect(QRectF(40, 6, 314, 226), 20);
    const QPainterPath record = Circle(disc, 86);
    const QPainterPath outline = panel.united(record).subtracted(Circle(disc, 5.5));

    QImage img = Canvas(size, QColor(12, 14, 20));
    Graphite(img, panel, 61);
    Gloss(img, panel, 6, 90, 0.10f);
    const Field panelMask = Coverage(panel, size);

    // A vinyl record with a glossy label.
    Shadow(img, record, QPointF(3, 4), 6, QColor(0, 0, 0, 190), &panelMask);
    FillVertical(img, record, {{0, QColor(30, 32, 38)}, {1, QColor(8, 8, 10)}});
    const Field vinyl = Coverage(record, size);
    Texture(img, Spun(size, disc, 62), vinyl, 0.05f);
    Texture(img, Sheen(size, disc, 2, 1.9), vinyl, 0.10f);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        for (qreal r : {48.0, 62.0, 74.0}) {
            p.setPen(QPen(QColor(0, 0, 0, 150), 1.2));
            p.drawEllipse(disc, r, r);
            p.setPen(QPen(QColor(255, 255, 255, 18), 0.8));
            p.drawEllipse(disc, r + 1.0, r + 1.0);
        }
    }
    Bevel(img, record, 3, 0.5f, true);
    const QPainterPath label = Circle(disc, 32);
    FillVertical(img, label, {{0, QColor(96, 170, 250)}, {1, QColor(24, 74, 160)}});
    Centred(img, "K", Lettering("DejaVu Sans", 22, 800), disc + QPointF(0, -9),
            QColor(236, 244, 255), true, 0.4f);
    Centred(img, "KESTO", Lettering("DejaVu Sans", 7, 700, 1.2), disc + QPointF(0, 21),
            QColor(210, 230, 255), false, 0.2f);
    Bevel(img, label, 3, 0.4f, true);
    Gloss(img, label, disc.y() - 32, disc.y(), 0.18f);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(220, 226, 236), 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(disc, 6.5, 6.5);
    }
    Bevel(img, Circle(disc, 8), 2, 0.5f, true);

    // The words.
    const qreal mid = 270;
    Centred(img, "Kesto Player", Lettering("DejaVu Sans", 19, 800), QPointF(mid, 72),
            QColor(232, 240, 252), true, 0.45f);
    Centred(img, "Version 1.0", Lettering("DejaVu Sans", 12, 400, 0.5), QPointF(mid, 96), kCyan,
            true, 0.3f);
    {
        QPainterPath rule;
        rule.moveTo(206, 110);
        rule.lineTo(334, 110);
        Glow(img, rule, QColor(kCyan.red(), kCyan.green(), kCyan.blue(), 80), 0.8, 2, 0.5f);
    }
    const QFont small = Lettering("DejaVu Sans", 10, 400);
    const QColor soft(180, 192, 212);
    Centred(img, "Skins, sounds and music", small, QPointF(mid, 134), soft, false, 0.4f);
    Centred(img, "by the Kesto Studio crew.", small, QPointF(mid, 149), soft, false, 0.4f);
    Centred(img, "Enjoy the music!", Lettering("DejaVu Sans", 11, 700), QPointF(mid, 182),
            QColor(200, 234, 255), false, 0.4f);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(kCyan.red(), kCyan.green(), kCyan.blue(), 150));
        for (int i = -1; i <= 1; ++i) p.drawEllipse(QPointF(mid + i * 10, 206), 1.6, 1.6);
    }

    // The close mark: an x in a ring.
    const QRectF mark(AboutCloseMark());
    const QPointF c = mark.center();
    const QPainterPath seat = Circle(c, 11.5);
    FillVertical(img, seat, {{0, QColor(20, 24, 32)}, {1, QColor(48, 56, 74)}});
    Bevel(img, seat, 3, 0.6f, false);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(150, 166, 196), 1.2));
        p.drawEllipse(c, 8.5, 8.5);
        p.setPen(QPen(QColor(226, 234, 248), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-4, -4), c + QPointF(4, 4));
        p.drawLine(c + QPointF(-4, 4), c + QPointF(4, -4));
    }
    return Finish(img, outline);
}

QImage ChooserFace() {
    const QSize size(320, 280);
    const QPainterPath body = RoundRect(QRectF(2, 10, 316, 266), 20);
    const QPainterPath tab = RoundRect(QRectF(70, 0, 180, 34), 12);
    const QPainterPath outline = body.united(tab).subtracted(Circle(QPointF(160, 294), 26));

    QImage img = Canvas(size, QColor(12, 14, 20));
    Graphite(img, outline, 71);
    Gloss(img, outline, 0, 60, 0.10f);

    // The title strip: a darker band with the name, lit from below by a thin line.
    const QPainterPath strip =
        RoundRect(QRectF(12, 12, 296, 26), 10).united(RoundRect(QRectF(78, 5, 164, 30), 10));
    FillVertical(img, strip, {{0, QColor(30, 36, 50)}, {1, QColor(16, 20, 28)}});
    Bevel(img, strip, 3, 0.5f, false);
    Centred(img, "More Skins", Lettering("DejaVu Sans", 14, 800, 1.0), QPointF(160, 27),
            QColor(214, 232, 255), true, 0.4f);
    for (qreal x : {40.0, 280.0}) {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 3; ++i) {
            p.setBrush(QColor(120, 190, 255, 150));
            p.drawEllipse(QPointF(x - 8 + i * 8, 25), 1.5, 1.5);
        }
    }
    {
        QPainterPath rule;
        rule.moveTo(24, 42);
        rule.lineTo(296, 42);
        Glow(img, rule, QColor(kCyan.red(), kCyan.green(), kCyan.blue(), 50), 0.6, 2, 0.3f);
    }

    // The list's well and the three button seats.
    const QRectF list(ChooserList());
    const QPainterPath well = RoundRect(list.adjusted(-4, -4, 4, 4), 6);
    FillVertical(img, well, {{0, QColor(8, 10, 14)}, {1, QColor(24, 28, 38)}});
    Bevel(img, well, 4, 0.6f, false);
    {
        QPainter p(&img);
        p.fillRect(list, QColor(18, 22, 30));
    }
    for (int i = 0; i < 3; ++i) {
        const QRectF b(ChooserButton(i));
        const QPainterPath seat = RoundRect(b.adjusted(-3, -3, 3, 3), 7);
        FillVertical(img, seat, {{0, QColor(14, 16, 22)}, {1, QColor(40, 46, 60)}});
        Bevel(img, seat, 3, 0.6f, false);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(52, 62, 82));
        p.drawRoundedRect(b, 4, 4);
    }
    return Finish(img, outline);
}

}  // namespace makedata
