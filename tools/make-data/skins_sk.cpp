// The skins of the chooser's catalogue (folder Sk).
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>

#include "tools/make-data/art.h"
#include "tools/make-data/skins.h"

namespace makedata {

// The flagship: a graphite body with a spun-silver dial that holds the transport.
Skin Tavro() {
    Skin s;
    s.folder = "Sk";
    s.name = "Tavro";
    s.author = "Kesto Studio";
    s.foreColor = QColor(200, 234, 255);
    s.windowTop = 1200;
    const QSize size(500, 250);
    const QPointF dial(122, 125);

    Layout& l = s.layout;
    l[kPlay] = {107, 110};
    l[kPrevious] = {61, 110};
    l[kNext] = {153, 110};
    l[kPause] = {107, 64};
    l[kStop] = {107, 156};
    l[kMin] = {414, 29};
    l[kClose] = {446, 29};
    l[kTitle] = {258, 73};
    l[kTime] = {258, 97};
    l[kPos] = {302, 101};
    l[kDuration] = {426, 97};
    l[kBrowse] = {256, 138};
    l[kList] = {306, 138};
    l[kVideo] = {356, 138};
    l[kAssoc] = {256, 165};
    l[kMenu] = {306, 165};
    l[kAbout] = {356, 165};
    l[kVol] = {404, 160};

    // The outline: dial, body and crest, with an arc-shaped gap between dial and body and three
    // vents at the body's end.
    QPainterPath outline = Circle(dial, 112);
    outline = outline.united(RoundRect(QRectF(150, 40, 340, 172), 36));
    outline = outline.united(RoundRect(QRectF(398, 18, 84, 44), 16));
    outline = outline.subtracted(Stroke(Arc(dial, 118.5, -30, 30), 5));
    for (int i = 0; i < 3; ++i) {
        outline = outline.subtracted(RoundRect(QRectF(412 + i * 8, 182, 4, 18), 2));
    }

    QImage img = Canvas(size, QColor(12, 14, 20));
    const Field body = Coverage(outline, size);
    FillVertical(img, outline,
                 {{0, QColor(92, 104, 128)}, {0.45, QColor(52, 60, 80)}, {1, QColor(22, 26, 36)}});
    Texture(img, Noise(size, 11), body, 0.035f);
    Bevel(img, outline, 6, 0.55f, true);
    Gloss(img, outline, 14, 120, 0.10f);
    Gloss(img,
          Ellipse(QPointF(360, 20), 170, 44).intersected(outline).subtracted(Circle(dial, 112)), 18,
          64, 0.10f);

    // The dial: spun silver ring, dark well, glowing rim.
    const QPainterPath ring = Circle(dial, 98).subtracted(Circle(dial, 71));
    Shadow(img, Circle(dial, 98), QPointF(1.5, 2.5), 4, QColor(0, 0, 0, 170), &body);
    FillVertical(img, ring, {{0, QColor(214, 220, 232)}, {1, QColor(120, 128, 144)}});
    const Field ringMask = Coverage(ring, size);
    Texture(img, Spun(size, dial, 21), ringMask, 0.06f);
    Texture(img, Sheen(size, dial, 2, 0.5), ringMask, 0.14f);
    Bevel(img, ring, 3, 0.55f, true);
    for (int i = 0; i < 48; ++i) {
        const double a = i * 2 * kPi / 48;
        QPainterPath tick;
        tick.moveTo(dial + QPointF(std::cos(a), std::sin(a)) * 92);
        tick.lineTo(dial + QPointF(std::cos(a), std::sin(a)) * 96);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(60, 66, 80, 120), 1.0));
        p.drawPath(tick);
    }
    ButtonWell(img, Circle(dial, 70), 5);
    Glow(img, Circle(dial, 70.5), QColor(120, 190, 255, 120), 1.0, 2, 0.45f);
    {
        // Four faint marks between the buttons.
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 190, 255, 110));
        for (int i = 0; i < 4; ++i) {
            const double a = (45 + 90 * i) * kPi / 180;
            p.drawEllipse(dial + QPointF(std::cos(a), std::sin(a)) * 44, 1.6, 1.6);
        }
    }

    // Display, keys, volume.
    LcdStyle lcd{QColor(10, 24, 40),    QColor(4, 12, 22),   QColor(10, 12, 18),
                 QColor(110, 122, 146), QColor(0, 0, 0, 40), 0.07f};
    LcdPanel(img, QRectF(250, 68, 222, 50), 6, lcd);
    for (Element e : {kBrowse, kList, kVideo, kAssoc, kMenu, kAbout}) {
        KeySeat(img, Around(l, e, 2, 2), QColor(50, 60, 82), true);
    }
    KeySeat(img, Around(l, kMin, 2, 2), QColor(50, 60, 82), true);
    KeySeat(img, Around(l, kClose, 2, 2), QColor(128, 44, 58), true);
    BarSlot(img, Rect(l, kVol), QColor(44, 52, 70));
    Letters(img, "VOLUME", Lettering("DejaVu Sans", 8, 700, 1.2), QPointF(404, 152),
            QColor(150, 170, 200), false, 0.5f);

    // Lettering.
    Letters(img, "KESTO", Lettering("DejaVu Sans", 15, 800, 2.5), QPointF(252, 58),
            QColor(214, 222, 236), true, 0.5f);
    Letters(img, "tavro", Lettering("DejaVu Sans", 11, 400, 1.0), QPointF(320, 58),
            QColor(120, 190, 255), true, 0.35f);

    s.face = Finish(img, outline);
    return s;
}

// Dark carbon fibre with neon edges, cut at sharp angles.
Skin Nocturne() {
    Skin s;
    s.folder = "Sk";
    s.name = "Nocturne";
    s.author = "Kesto Studio";
    s.foreColor = QColor(96, 255, 214);
    s.windowTop = 1500;
    const QSize size(470, 240);
    const QColor aqua(40, 255, 200), violet(176, 84, 255);

    Layout& l = s.layout;
    l[kTitle] = {40, 71};
    l[kDuration] = {246, 71};
    l[kTime] = {40, 94};
    l[kPos] = {88, 98};
    l[kMin] = {394, 50};
    l[kClose] = {422, 50};
    l[kBrowse] = {332, 80};
    l[kList] = {392, 80};
    l[kVideo] = {332, 106};
    l[kAssoc] = {392, 106};
    l[kMenu] = {332, 132};
    l[kAbout] = {392, 132};
    l[kVol] = {350, 172};
    l[kPrevious] = {46, 152};
    l[kPlay] = {88, 152};
    l[kPause] = {130, 152};
    l[kStop] = {172, 152};
    l[kNext] = {214, 152};

    const QPolygonF plate({{40, 20},
                           {296, 20},
                           {316, 40},
                           {440, 40},
                           {460, 60},
                           {460, 182},
                           {430, 212},
                           {252, 212},
                           {236, 228},
                           {58, 228},
                           {12, 182},
                           {12, 48}});
    QPainterPath outline = PolygonPath(plate);
    for (int i = 0; i < 7; ++i) {
        const qreal x = 300 + i * 14;
        outline = outline.subtracted(
            PolygonPath(QPolygonF({{x, 204}, {x + 9, 190}, {x + 14, 190}, {x + 5, 204}})));
    }

    QImage img = Canvas(size, QColor(6, 6, 9));
    const Field body = Coverage(outline, size);
    FillVertical(img, outline,
                 {{0, QColor(44, 46, 56)}, {0.5, QColor(24, 25, 32)}, {1, QColor(12, 12, 17)}});
    Texture(img, CarbonFibre(size, 5), body, 0.07f);
    Bevel(img, outline, 4, 0.6f, true);
    Gloss(img, PolygonPath(QPolygonF({{0, 0}, {470, 0}, {470, 40}, {0, 120}})), 10, 120, 0.07f);
    Glow(img, PolygonPath(Inset(plate, 5)), QColor(aqua.red(), aqua.green(), aqua.blue(), 100), 0.8,
         3, 0.5f);

    // The display with a still spectrum beside the position bar.
    LcdStyle lcd{QColor(6, 26, 28),  QColor(2, 10, 12),   QColor(4, 4, 6),
                 QColor(70, 74, 88), QColor(0, 0, 0, 50), 0.06f};
    LcdPanel(img, QRectF(30, 64, 264, 52), 4, lcd);
    {
        QPainter p(&img);
        const int heights[] = {6, 11, 15, 9, 13, 17, 12, 8, 14, 10, 6, 9, 5};
        for (int i = 0; i < 13; ++i) {
            for (int k = 0; k < heights[i]; k += 2) {
                const float t = k / 17.0f;
                QColor c =
                    QColor::fromRgbF(0.16f + 0.5f * t, 1.0f - 0.35f * t, 0.78f + 0.2f * t, 0.85f);
                p.fillRect(QRectF(216 + i * 5.5, 110 - k, 4, 1), c);
            }
        }
    }
    // Keys, each ringed by faint neon.
    for (Element e : {kBrowse, kList, kVideo, kAssoc, kMenu, kAbout, kMin, kClose}) {
        const QRectF r = Around(l, e, 3, 2);
        KeySeat(img, r, QColor(26, 30, 38), false, 4);
        Glow(img, RoundRect(r.adjusted(-1.5, -1.5, 1.5, 1.5), 5),
             e == kClose ? QColor(255, 60, 140, 70)
                         : QColor(aqua.red(), aqua.green(), aqua.blue(), 45),
             0.7, 2, 0.3f);
    }
    BarSlot(img, Rect(l, kVol), QColor(30, 32, 40));
    Letters(img, "VOL", Lettering("DejaVu Sans", 8, 700, 1.0), QPointF(322, 180), aqua.darker(150),
            false, 0.4f);

    // The transport in a violet-lit trench.
    const QPainterPath tray = RoundRect(QRectF(30, 144, 230, 46), 23);
    Glow(img, RoundRect(QRectF(28, 142, 234, 50), 25),
         QColor(violet.red(), violet.green(), violet.blue(), 90), 1.0, 3, 0.5f);
    ButtonWell(img, tray, 4);

    Letters(img, "KESTO", Lettering("DejaVu Sans", 17, 800, 3.0), QPointF(38, 50),
            QColor(10, 12, 16), false, 0.3f);
    Glow(
        img,
        [] {
            QPainterPath t;
            t.addText(QPointF(38, 50), Lettering("DejaVu Sans", 17, 800, 3.0), "KESTO");
            return t;
        }(),
        QColor(aqua.red(), aqua.green(), aqua.blue(), 110), 0.9, 3, 0.7f);
    Letters(img, "nocturne", Lettering("DejaVu Sans", 11, 400, 1.5), QPointF(142, 50),
            violet.lighter(120), false, 0.3f);

    s.face = Finish(img, outline);
    return s;
}

namespace {

// A round speaker: chrome rim, perforated grille, spun centre cap.
void Speaker(QImage& img, QPointF c, qreal r, std::uint64_t seed) {
    const QSize size = img.size();
    Shadow(img, Circle(c, r), QPointF(1, 2), 3, QColor(0, 0, 0, 110));
    const QPainterPath rim = Circle(c, r).subtracted(Circle(c, r - 6));
    FillVertical(img, rim, {{0, QColor(246, 248, 252)}, {1, QColor(150, 156, 166)}});
    Texture(img, Sheen(size, c, 2, 0.6), Coverage(rim, size), 0.18f);
    Bevel(img, rim, 2, 0.5f, true);
    const QPainterPath mesh = Circle(c, r - 6);
    FillVertical(img, mesh, {{0, QColor(150, 156, 166)}, {1, QColor(196, 200, 208)}});
    Grille(img, Circle(c, r - 8), 6.0, 1.8, QColor(40, 44, 52));
    Bevel(img, mesh, 5, 0.55f, false);
    const QPainterPath cap = Circle(c, r * 0.24);
    Shadow(img, cap, QPointF(1, 2), 3, QColor(0, 0, 0, 120), nullptr);
    FillVertical(img, cap, {{0, QColor(236, 238, 242)}, {1, QColor(160, 166, 176)}});
    const Field capMask = Coverage(cap, size);
    Texture(img, Spun(size, c, seed), capMask, 0.08f);
    Texture(img, Sheen(size, c, 2, 0.6), capMask, 0.2f);
    Bevel(img, cap, 3, 0.5f, true);
}

}  // namespace

// Light brushed aluminium, a carrying handle, two speakers.
Skin Argent() {
    Skin s;
    s.folder = "Sk";
    s.name = "Argent";
    s.author = "Kesto Studio";
    s.foreColor = QColor(22, 38, 44);
    s.windowTop = 1800;
    const QSize size(520, 240);

    Layout& l = s.layout;
    l[kTitle] = {170, 56};
    l[kTime] = {170, 80};
    l[kDuration] = {310, 80};
    l[kPos] = {204, 112};
    l[kPrevious] = {175, 134};
    l[kPlay] = {210, 134};
    l[kPause] = {245, 134};
    l[kStop] = {280, 134};
    l[kNext] = {315, 134};
    l[kBrowse] = {182, 181};
    l[kList] = {240, 181};
    l[kVideo] = {298, 181};
    l[kAssoc] = {182, 204};
    l[kMenu] = {240, 204};
    l[kAbout] = {298, 204};
    l[kMin] = {420, 46};
    l[kClose] = {446, 46};
    l[kVol] = {48, 212};

    QPainterPath outline = RoundRect(QRectF(8, 36, 504, 196), 56);
    outline = outline.united(RoundRect(QRectF(150, 4, 220, 70), 30));
    outline = outline.subtracted(RoundRect(QRectF(176, 16, 168, 18), 9));

    QImage img = Canvas(size, QColor(70, 74, 82));
    const Field body = Coverage(outline, size);
    FillVertical(
        img, outline,
        {{0, QColor(232, 235, 240)}, {0.5, QColor(204, 208, 215)}, {1, QColor(170, 175, 184)}});
    Texture(img, Brushed(size, 5, 60), body, 0.07f);
    Bevel(img, outline, 7, 0.6f, true);
    Gloss(img, outline, 36, 90, 0.18f);

    Speaker(img, QPointF(90, 138), 60, 31);
    Speaker(img, QPointF(430, 138), 60, 32);

    // A backlit display, the transport's trench, keys of the same metal.
    LcdStyle lcd{QColor(190, 210, 200), QColor(150, 178, 168), QColor(80, 84, 92),
                 QColor(244, 246, 250), QColor(0, 0, 0, 14),   0.16f};
    LcdPanel(img, QRectF(164, 50, 192, 54), 5, lcd);
    Letters(img, "STEREO", Lettering("DejaVu Sans", 8, 700, 1.0), QPointF(232, 93),
            QColor(120, 146, 138), false, 0.15f);
    BarSlot(img, Rect(l, kPos), QColor(150, 156, 166));
    ButtonWell(img, RoundRect(QRectF(158, 126, 204, 46), 23), 4);
    for (Element e : {kBrowse, kList, kVideo, kAssoc, kMenu, kAbout, kMin}) {
        KeySeat(img, Around(l, e, 3, 2), QColor(214, 218, 226), true, 5);
    }
    KeySeat(img, Around(l, kClose, 3, 2), QColor(232, 170, 160), true, 5);
    BarSlot(img, Rect(l, kVol), QColor(150, 156, 166));
    Letters(img, "VOLUME", Lettering("DejaVu Sans", 8, 700, 1.2), QPointF(48, 206),
            QColor(90, 96, 106), false, 0.5f);

    Letters(img, "KESTO", Lettering("DejaVu Sans", 14, 800, 2.5), QPointF(38, 68),
            QColor(70, 76, 88), false, 0.6f);
    Letters(img, "ARGENT", Lettering("DejaVu Sans", 9, 700, 2.0), QPointF(408, 222),
            QColor(90, 96, 106), false, 0.5f);
    for (QPointF at : {QPointF(166, 22), QPointF(354, 22)})
        Screw(img, at, 4, QColor(190, 194, 202), 30);

    s.face = Finish(img, outline);
    return s;
}

// A walnut cathedral radio with an amber dial; stored as one GIF.
Skin Author() {
    Skin s;
    s.folder = "Sk";
    s.name = "Author";
    s.author = "Kesto Studio";
    s.storage = Storage::kGif;
    s.foreColor = QColor(58, 30, 10);
    s.windowTop = 900;
    const QSize size(420, 300);

    Layout& l = s.layout;
    l[kMin] = {187, 20};
    l[kClose] = {213, 20};
    l[kTitle] = {72, 153};
    l[kDuration] = {310, 153};
    l[kTime] = {72, 176};
    l[kPos] = {120, 180};
    l[kVol] = {266, 181};
    for (int i = 0; i < 5; ++i) {
        const Element order[] = {kPrevious, kPlay, kPause, kStop, kNext};
        l[order[i]] = {91 + i * 52, 211};
    }
    const Element keys[] = {kBrowse, kList, kVideo, kAssoc, kMenu, kAbout};
    for (int i = 0; i < 6; ++i) l[keys[i]] = {70 + i * 48, 256};

    QPainterPath arch;
    arch.moveTo(24, 280);
    arch.lineTo(24, 150);
    arch.arcTo(QRectF(24, 10, 372, 280), 180, -180);
    arch.lineTo(396, 280);
    arch.closeSubpath();
    QPainterPath outline = arch.united(RoundRect(QRectF(12, 248, 396, 36), 8));
    outline = outline.united(RoundRect(QRectF(24, 272, 60, 24), 6));
    outline = outline.united(RoundRect(QRectF(336, 272, 60, 24), 6));

    QImage img = Canvas(size, QColor(30, 16, 8));
    const Field body = Coverage(outline, size);
    FillVertical(img, outline,
                 {{0, QColor(138, 80, 42)}, {0.6, QColor(104, 58, 30)}, {1, QColor(66, 34, 16)}});
    Texture(img, WoodGrain(size, 8, 11.0), body, 0.16f);
    Bevel(img, outline, 8, 0.55f, true);
    Gloss(img, arch, 10, 110, 0.10f);

    // The moulded frame of the speaker arch and the grille cloth behind fretwork.
    QPainterPath inner;
    inner.moveTo(46, 140);
    inner.arcTo(QRectF(46, 46, 328, 188), 180, -180);
    inner.closeSubpath();
    Shadow(img, inner, QPointF(0, 2), 3, QColor(0, 0, 0, 140), &body);
    const QPainterPath cloth = inner;
    FillVertical(img, cloth, {{0, QColor(196, 156, 96)}, {1, QColor(150, 110, 62)}});
    {
        Field weave(size.width(), size.height());
        for (int y = 0; y < weave.h; ++y) {
            for (int x = 0; x < weave.w; ++x) {
                weave.at(x, y) = ((x / 2 + y / 2) % 2 ? 0.6f : -0.6f) * ((x + y) % 2 ? 1.0f : 0.6f);
            }
        }
        Texture(img, weave, Coverage(cloth, size), 0.10f);
    }
    Bevel(img, cloth, 6, 0.5f, false);
    // A sunburst of fretwork rising from a hub that carries the name.
    QPainterPath fret = Circle(QPointF(210, 142), 44).intersected(inner);
    for (int i = -3; i <= 3; ++i) {
        QPainterPath ray;
        const double a = (90 + i * 23) * kPi / 180;
        ray.moveTo(210, 142);
        ray.lineTo(210 + std::cos(a) * 200, 142 - std::sin(a) * 200);
        fret = fret.united(Stroke(ray, 7, Qt::FlatCap).intersected(inner));
    }
    Shadow(img, fret, QPointF(1.5, 2.5), 2, QColor(40, 20, 6, 170), nullptr);
    FillVertical(img, fret, {{0, QColor(128, 72, 36)}, {1, QColor(84, 44, 20)}});
    Texture(img, WoodGrain(size, 9, 7.0), Coverage(fret, size), 0.2f);
    Bevel(img, fret, 3, 0.5f, true);
    Letters(img, "KESTO", Lettering("DejaVu Serif", 14, 700, 1.5), QPointF(180, 132),
            QColor(230, 190, 110), true, 0.5f);
    const QPainterPath moulding = Stroke(inner, 6, Qt::FlatCap).intersected(outline);
    FillVertical(img, moulding, {{0, QColor(150, 92, 50)}, {1, QColor(96, 52, 26)}});
    Texture(img, WoodGrain(size, 10, 6.0), Coverage(moulding, size), 0.18f);
    Bevel(img, moulding, 3, 0.6f, true);

    // The amber dial.
    LcdStyle dial{QColor(250, 222, 160), QColor(222, 172, 96),    QColor(90, 56, 22),
                  QColor(232, 196, 120), QColor(120, 70, 20, 16), 0.2f};
    LcdPanel(img, QRectF(62, 148, 296, 50), 8, dial);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(140, 90, 40, 110), 1));
        for (int i = 0; i <= 32; ++i) {
            const qreal x = 72 + i * 8.75;
            p.drawLine(QPointF(x, 193), QPointF(x, i % 4 ? 195.5 : 197));
        }
    }
    BarSlot(img, Rect(l, kPos), QColor(190, 140, 70));
    BarSlot(img, Rect(l, kVol), QColor(190, 140, 70));
    for (int i = 0; i < 5; ++i) {
        const QPointF c = QPointF(l[kPrevious]) + QPointF(15 + i * 52, 15);
        Shadow(img, Circle(c, 25.5), QPointF(0, -1), 1, QColor(255, 220, 170, 60), &body);
        ButtonWell(img, Circle(c, 24.5), 3);
    }
    for (Element e : {kBrowse, kList, kVideo, kAssoc, kMenu, kAbout, kMin, kClose}) {
        KeySeat(img, Around(l, e, 3, 2), QColor(236, 222, 190), true,
                e == kMin || e == kClose ? 6 : -1);
    }
    for (QPointF at : {QPointF(44, 264), QPointF(376, 264)})
        Screw(img, at, 4.5, QColor(206, 160, 80), 40);

    s.face = Finish(img, outline);
    return s;
}

}  // namespace makedata
