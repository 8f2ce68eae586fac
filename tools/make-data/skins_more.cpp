// The skins of the passcode-guarded catalogue (folder Skins).
#include <QPainter>
#include <QTransform>
#include <cmath>

#include "tools/make-data/art.h"
#include "tools/make-data/skins.h"

namespace makedata {

namespace {

QPoint SquareAt(QPointF centre) {
    return QPoint(static_cast<int>(std::lround(centre.x() - 15)),
                  static_cast<int>(std::lround(centre.y() - 15)));
}

// The centres of five buttons along an arc (angles in degrees, y pointing down).
std::vector<QPointF> AlongArc(QPointF c, qreal r, qreal first, qreal step, bool vertical) {
    std::vector<QPointF> out;
    for (int i = 0; i < 5; ++i) {
        const double a = (first + i * step) * kPi / 180;
        out.push_back(vertical ? c + QPointF(std::cos(a), std::sin(a)) * r
                               : c + QPointF(std::sin(a), std::cos(a)) * r);
    }
    return out;
}

QPainterPath ArcStroke(QPointF c, qreal r, qreal a0, qreal a1, qreal width) {
    return Stroke(Arc(c, r, a0, a1), width);
}

}  // namespace

// A pillow of polished jade; the transport rides an arc. Stored as one GIF.
Skin Green1() {
    Skin s;
    s.folder = "Skins";
    s.name = "Green1";
    s.author = "Kesto Studio";
    s.storage = Storage::kGif;
    s.foreColor = QColor(214, 255, 228);
    s.windowTop = 1350;
    const QSize size(460, 260);
    const QPointF centre(230, 135);

    Layout& l = s.layout;
    l[kTitle] = {130, 57};
    l[kTime] = {130, 81};
    l[kPos] = {176, 85};
    l[kDuration] = {298, 81};
    l[kMin] = {358, 38};
    l[kClose] = {384, 38};
    // Centre of curvature above the face: the buttons smile.
    const QPointF hub(230, 40);
    const auto arc = AlongArc(hub, 150, -32, 16, false);
    const Element order[] = {kPrevious, kPlay, kPause, kStop, kNext};
    for (int i = 0; i < 5; ++i) l[order[i]] = SquareAt(arc[size_t(i)]);
    l[kBrowse] = {72, 104};
    l[kList] = {72, 128};
    l[kVideo] = {72, 152};
    l[kAssoc] = {348, 104};
    l[kMenu] = {348, 128};
    l[kAbout] = {348, 152};
    l[kVol] = {192, 226};

    // A leaf-shaped bud on the upper right carries the window keys.
    QPainterPath bud =
        QTransform().translate(386, 48).rotate(-18).map(Ellipse(QPointF(0, 0), 50, 24));
    QPainterPath outline = Ellipse(centre, 220, 118).united(bud);
    for (qreal x : {36.0, 424.0}) outline = outline.subtracted(Ellipse(QPointF(x, 135), 7, 22));

    QImage img = Canvas(size, QColor(4, 30, 20));
    const Field body = Coverage(outline, size);
    FillVertical(img, outline,
                 {{0, QColor(96, 206, 146)}, {0.45, QColor(30, 128, 84)}, {1, QColor(8, 58, 38)}});
    // Clouded stone: two scales of soft noise.
    Field cloud = Blurred(Noise(size, 41), 18);
    Field veins = Blurred(Noise(size, 42), 5);
    for (size_t i = 0; i < cloud.v.size(); ++i) {
        cloud.v[i] = std::clamp(cloud.v[i] * 9.0f + veins.v[i] * 4.0f, -1.0f, 1.0f);
    }
    Texture(img, cloud, body, 0.10f);
    Bevel(img, outline, 12, 0.5f, true);
    Gloss(img, Ellipse(QPointF(230, 70), 190, 56), 16, 100, 0.22f);
    Shadow(img, bud, QPointF(0, 3), 4, QColor(0, 30, 16, 150), &body);
    FillVertical(img, bud, {{0, QColor(150, 226, 170)}, {1, QColor(40, 140, 92)}});
    Texture(img, cloud, Coverage(bud, size), 0.08f);
    Bevel(img, bud, 8, 0.55f, true);
    Gloss(img, bud, 22, 50, 0.2f);

    LcdStyle lcd{QColor(8, 48, 34),     QColor(2, 22, 16),   QColor(4, 40, 26),
                 QColor(120, 210, 160), QColor(0, 0, 0, 40), 0.08f};
    LcdPanel(img, QRectF(120, 52, 224, 50), 14, lcd);

    const QPainterPath tray = ArcStroke(hub, 150, -90 - 32, -90 + 32, 50);
    Shadow(img, tray, QPointF(0, 1.5), 2, QColor(190, 255, 220, 90), &body);
    ButtonWell(img, tray, 4);

    for (Element e : {kBrowse, kList, kVideo, kAssoc, kMenu, kAbout, kMin}) {
        KeySeat(img, Around(l, e, 3, 2), QColor(24, 92, 62), true);
    }
    KeySeat(img, Around(l, kClose, 3, 2), QColor(150, 110, 30), true);
    BarSlot(img, Rect(l, kVol), QColor(20, 80, 52));
    Letters(img, "KESTO", Lettering("DejaVu Sans", 12, 800, 2.0), QPointF(50, 96),
            QColor(200, 255, 224), false, 0.35f);

    s.face = Finish(img, outline);
    return s;
}

// Twilight: a pearl crescent moon against an indigo sky; the transport follows the moon's curve.
// Its pictures go under hidden extensions.
Skin Vesper() {
    Skin s;
    s.folder = "Skins";
    s.name = "Vesper";
    s.author = "Kesto Studio";
    s.storage = Storage::kHiddenExt;
    s.foreColor = QColor(238, 228, 255);
    s.windowTop = 2100;
    const QSize size(460, 250);
    const QPointF moon(125, 125), bite(62, 125);

    Layout& l = s.layout;
    const auto arc = AlongArc(bite, 106, -46, 23, true);
    const Element order[] = {kPrevious, kPlay, kPause, kStop, kNext};
    for (int i = 0; i < 5; ++i) l[order[i]] = SquareAt(arc[size_t(i)]);
    l[kMin] = {382, 40};
    l[kClose] = {410, 40};
    l[kTitle] = {222, 76};
    l[kTime] = {222, 99};
    l[kPos] = {266, 103};
    l[kDuration] = {386, 99};
    l[kBrowse] = {218, 138};
    l[kList] = {266, 138};
    l[kVideo] = {314, 138};
    l[kAssoc] = {218, 163};
    l[kMenu] = {266, 163};
    l[kAbout] = {314, 163};
    l[kVol] = {364, 158};

    const QPainterPath crescent = Circle(moon, 118).subtracted(Circle(bite, 76));
    const QPainterPath sky =
        RoundRect(QRectF(150, 52, 296, 150), 40).united(RoundRect(QRectF(372, 32, 66, 34), 13));
    const QPainterPath outline = crescent.united(sky);

    QImage img = Canvas(size, QColor(14, 10, 30));
    const Field body = Coverage(outline, size);
    // The sky, from indigo to a dusky violet at the horizon, with a scatter of stars.
    FillVertical(img, sky,
                 {{0, QColor(40, 34, 92)}, {0.6, QColor(70, 44, 112)}, {1, QColor(122, 66, 120)}});
    const Field skyMask = Coverage(sky, size);
    Texture(img, Noise(size, 51), skyMask, 0.025f);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipPath(sky);
        Rng rng(52);
        for (int i = 0; i < 70; ++i) {
            const QPointF at(150 + rng.Uniform() * 296, 34 + rng.Uniform() * 168);
            const double r = 0.4 + std::pow(rng.Uniform(), 3) * 1.1;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 248, 230, int(90 + rng.Uniform() * 130)));
            p.drawEllipse(at, r, r);
        }
    }
    Bevel(img, sky, 6, 0.5f, true);

    // The moon, pearl with faint maria, glowing on the sky.
    Shadow(img, crescent, QPointF(0, 0), 8, QColor(255, 230, 255, 120), &skyMask);
    FillVertical(
        img, crescent,
        {{0, QColor(246, 240, 252)}, {0.5, QColor(214, 206, 232)}, {1, QColor(170, 160, 200)}});
    const Field moonMask = Coverage(crescent, size);
    Field maria = Blurred(Noise(size, 53), 10);
    for (float& v : maria.v) v = std::clamp(v * 8.0f, -1.0f, 1.0f);
    Texture(img, maria, moonMask, 0.07f);
    Bevel(img, crescent, 10, 0.45f, true);

    const QPainterPath tray = ArcStroke(bite, 106, -46, 46, 50);
    Shadow(img, tray, QPointF(0, 1.5), 2, QColor(255, 255, 255, 110), &moonMask);
    ButtonWell(img, tray, 4);

    LcdStyle lcd{QColor(26, 20, 58),    QColor(12, 8, 30),   QColor(20, 14, 40),
                 QColor(150, 130, 200), QColor(0, 0, 0, 40), 0.07f};
    LcdPanel(img, QRectF(212, 70, 216, 50), 8, lcd);
    for (Element e : {kBrowse, kList, kVideo, kAssoc, kMenu, kAbout, kMin}) {
        KeySeat(img, Around(l, e, 3, 2), QColor(72, 56, 130), true);
    }
    KeySeat(img, Around(l, kClose, 3, 2), QColor(150, 60, 110), true);
    BarSlot(img, Rect(l, kVol), QColor(80, 54, 120));
    Letters(img, "VOLUME", Lettering("DejaVu Sans", 7, 700, 1.2), QPointF(364, 151),
            QColor(180, 160, 230), false, 0.3f);
    Letters(img, "vesper", Lettering("DejaVu Serif", 13, 400, 2.0), QPointF(368, 194),
            QColor(238, 220, 255), false, 0.3f);
    Letters(img, "KESTO", Lettering("DejaVu Sans", 10, 800, 2.0), QPointF(238, 65),
            QColor(210, 196, 250), false, 0.3f);

    s.face = Finish(img, outline);
    return s;
}

}  // namespace makedata
