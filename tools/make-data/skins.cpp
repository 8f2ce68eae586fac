#include "tools/make-data/skins.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/make-data/art.h"

namespace makedata {

const ElementInfo& Info(Element e) {
    static const ElementInfo table[kElementCount] = {
        {"MinT", "MinL", {20, 17}, "_"},
        {"CloseT", "CloseL", {20, 17}, "X"},
        {"AbouT", "AboutL", {40, 17}, "About"},
        {"VideoT", "VideoL", {40, 17}, "Video"},
        {"AssociateT", "AssociateL", {40, 17}, "Assoc"},
        {"BrowseT", "BrowseL", {40, 17}, "Open"},
        {"LisT", "ListL", {40, 17}, "List"},
        {"RemoteT", "RemoteL", {40, 17}, "Menu"},
        {"TimeT", "TimeL", {40, 17}, "02:05"},
        {"DurationT", "DurationL", {40, 17}, "3:07"},
        {"TitleT", "TitleL", {180, 17}, "Kesto Demo - Evening Lights"},
        {"VolT", "VoltL", {76, 7}, ""},
        {"PgT", "PgL", {112, 10}, ""},
        {"PlayT", "PlayL", {30, 30}, ""},
        {"PreviousT", "PreviousL", {30, 30}, ""},
        {"PauseT", "PauseL", {30, 30}, ""},
        {"StopT", "StopL", {30, 30}, ""},
        {"NexT", "NextL", {30, 30}, ""},
    };
    return table[e];
}

std::string SkinIni(const Skin& s) {
    const QRgb c = s.foreColor.rgb();
    char colour[32];
    std::snprintf(colour, sizeof colour, "&H00%02X%02X%02X&", qBlue(c), qGreen(c), qRed(c));
    std::string out;
    auto line = [&](const std::string& text) { out += text + "\r\n"; };
    line("[SkinName]");
    line("SkinName=" + s.name);
    line("[TextColor]");
    line(std::string("ForeColor=") + colour);
    line("[Position]");
    line("Top=" + std::to_string(s.windowTop));
    line("[Settings]");
    for (int e = 0; e < kElementCount; ++e) {
        const ElementInfo& info = Info(static_cast<Element>(e));
        line(std::string(info.topKey) + "=" + std::to_string(s.layout[e].y() * 15));
        line(std::string(info.leftKey) + "=" + std::to_string(s.layout[e].x() * 15));
    }
    line("[Info]");
    line("AuthorName=" + s.author);
    return out;
}

Layout LayoutFromIni(const std::string& ini) {
    Layout l;
    l.fill(QPoint(-1000, -1000));
    size_t at = 0;
    while (at < ini.size()) {
        size_t end = ini.find("\r\n", at);
        if (end == std::string::npos) end = ini.size();
        const std::string line = ini.substr(at, end - at);
        at = end + 2;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        for (int e = 0; e < kElementCount; ++e) {
            const ElementInfo& info = Info(static_cast<Element>(e));
            const int px = std::atoi(line.c_str() + eq + 1) / 15;
            if (key == info.topKey) l[e].setY(px);
            if (key == info.leftKey) l[e].setX(px);
        }
    }
    return l;
}

std::vector<std::string> Check(const Skin& s) {
    std::vector<std::string> problems;
    const QImage& f = s.face;
    const QRgb key = f.pixel(0, 0);
    if ((key | 0xFF000000u) != kKey) problems.push_back("top-left pixel is not the key");
    if (f.width() < 400 || f.height() < 200 || f.width() > 600 || f.height() > 380) {
        problems.push_back("face size out of range");
    }
    auto face = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < f.width() && y < f.height() && f.pixel(x, y) != key;
    };
    long facePixels = 0, free = 0;
    for (int y = 0; y < f.height(); ++y) {
        for (int x = 0; x < f.width(); ++x) {
            if (!face(x, y)) continue;
            ++facePixels;
            bool taken = false;
            for (int e = 0; e < kElementCount && !taken; ++e) {
                taken =
                    Rect(s.layout, static_cast<Element>(e)).adjusted(-4, -4, 4, 4).contains(x, y);
            }
            if (!taken) ++free;
        }
    }
    for (int e = 0; e < kElementCount; ++e) {
        const QRect r = Rect(s.layout, static_cast<Element>(e));
        bool inside = true;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) inside = inside && face(x, y);
        }
        if (!inside)
            problems.push_back(std::string(Info(static_cast<Element>(e)).topKey) + " off the face");
        for (int o = e + 1; o < kElementCount; ++o) {
            if (r.intersects(Rect(s.layout, static_cast<Element>(o)))) {
                problems.push_back(std::string(Info(static_cast<Element>(e)).topKey) +
                                   " overlaps " + Info(static_cast<Element>(o)).topKey);
            }
        }
    }
    if (facePixels == long(f.width()) * f.height()) problems.push_back("face is rectangular");
    if (free * 3 < facePixels) problems.push_back("too little free face to drag by");
    return problems;
}

std::vector<Skin> AllSkins() {
    return {Tavro(), Nocturne(), Argent(), Author(), Green1(), Vesper()};
}

QFont LabelFont() {
    QFont f("DejaVu Sans");
    f.setPointSizeF(8);
    f.setBold(true);
    return f;
}

QFont Lettering(const char* family, qreal pixels, int weight, qreal spacing) {
    QFont f(family);
    f.setPixelSize(static_cast<int>(std::lround(pixels)));
    f.setWeight(static_cast<QFont::Weight>(weight));
    if (spacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void FillVertical(QImage& img, const QPainterPath& path,
                  const std::vector<std::pair<qreal, QColor>>& stops) {
    const QRectF b = path.boundingRect();
    QLinearGradient g(0, b.top(), 0, b.bottom());
    for (auto& [at, c] : stops) g.setColorAt(at, c);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
}

void LcdPanel(QImage& img, const QRectF& r, qreal radius, const LcdStyle& s) {
    const QPainterPath bezel = RoundRect(r.adjusted(-3, -3, 3, 3), radius + 3);
    FillVertical(img, bezel, {{0, s.bezelDark}, {1, s.bezelLight}});
    const QPainterPath glass = RoundRect(r, radius);
    FillVertical(img, glass, {{0, s.top}, {1, s.bottom}});
    {
        QPainter p(&img);
        p.setClipPath(glass);
        p.setPen(Qt::NoPen);
        QColor line = s.grid;
        for (int y = static_cast<int>(r.top()) + 1; y < r.bottom(); y += 2) {
            p.fillRect(QRectF(r.left(), y, r.width(), 1), line);
        }
        // A faint reflection across the upper glass.
        QPainterPath glare;
        glare.moveTo(r.left(), r.top());
        glare.lineTo(r.left() + r.width() * 0.62, r.top());
        glare.lineTo(r.left() + r.width() * 0.42, r.top() + r.height() * 0.45);
        glare.lineTo(r.left(), r.top() + r.height() * 0.45);
        glare.closeSubpath();
        QLinearGradient g(0, r.top(), 0, r.top() + r.height() * 0.45);
        g.setColorAt(0, QColor(255, 255, 255, int(255 * s.glare)));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(g);
        p.drawPath(glare);
    }
    Bevel(img, bezel, 3, 0.55f, false);
    Bevel(img, glass, 4, 0.45f, false);
}

void KeySeat(QImage& img, const QRectF& r, QColor base, bool raised, qreal radius) {
    if (radius < 0) radius = r.height() / 2;
    const QPainterPath key = RoundRect(r, radius);
    if (raised) {
        Shadow(img, key, QPointF(0, 1.5), 2, QColor(0, 0, 0, 150));
        FillVertical(img, key, {{0, base.lighter(130)}, {0.5, base}, {1, base.darker(125)}});
        Bevel(img, key, 2, 0.5f, true);
    } else {
        FillVertical(img, key, {{0, base.darker(135)}, {1, base.lighter(110)}});
        Bevel(img, key, 3, 0.6f, false);
    }
}

void BarSlot(QImage& img, const QRectF& bar, QColor rim) {
    const QPainterPath outer = RoundRect(bar.adjusted(-3, -3, 3, 3), 4);
    FillVertical(img, outer, {{0, rim.darker(140)}, {1, rim.lighter(115)}});
    Bevel(img, outer, 2, 0.6f, false);
    const QPainterPath inner = RoundRect(bar.adjusted(-1, -1, 1, 1), 2);
    FillVertical(img, inner, {{0, QColor(14, 16, 22)}, {1, QColor(28, 32, 40)}});
}

void ButtonWell(QImage& img, const QPainterPath& path, int depth) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(kButtonGround));
    p.drawPath(path);
    p.end();
    Bevel(img, path, depth, 0.7f, false);
}

void Letters(QImage& img, const QString& text, const QFont& font, QPointF baseline, QColor colour,
             bool raised, float strength) {
    QPainterPath path;
    path.addText(baseline, font, text);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (!raised) {
        // A lit lower lip under engraved letters.
        p.setBrush(QColor(255, 255, 255, int(110 * strength)));
        p.drawPath(path.translated(0.6, 1.0));
    } else {
        p.setBrush(QColor(0, 0, 0, int(200 * strength)));
        p.drawPath(path.translated(0.8, 1.2));
    }
    p.setBrush(colour);
    p.drawPath(path);
    p.end();
    Bevel(img, path, 1, strength, raised);
}

void Glow(QImage& img, const QPainterPath& path, QColor colour, qreal width, int blur, float core) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    const QPainterPath line = stroker.createStroke(path);
    Field halo = Blurred(Coverage(line, img.size()), blur);
    Field sharp = Coverage(line, img.size());
    const QRgb c = colour.rgb();
    const QRgb hot = QColor(colour).lighter(150).rgb();
    for (int y = 0; y < img.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const float a =
                std::min(1.0f, halo.at(x, y) * 1.3f) * static_cast<float>(colour.alphaF());
            if (a > 0) {
                // Add light rather than paint over it.
                const QRgb u = row[x];
                auto add = [a](int under, int over) {
                    return std::min(255, int(under + over * a));
                };
                row[x] =
                    qRgb(add(qRed(u), qRed(c)), add(qGreen(u), qGreen(c)), add(qBlue(u), qBlue(c)));
            }
            const float s = sharp.at(x, y) * core;
            if (s > 0) row[x] = Mix(row[x], hot, s);
        }
    }
}

void Gloss(QImage& img, const QPainterPath& shape, qreal top, qreal fade, float strength) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipPath(shape);
    QLinearGradient g(0, top, 0, fade);
    g.setColorAt(0, QColor(255, 255, 255, int(255 * strength)));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, top, img.width(), fade - top), g);
}

void Screw(QImage& img, QPointF c, qreal r, QColor metal, qreal angle) {
    const QPainterPath head = Circle(c, r);
    Shadow(img, head, QPointF(0.6, 1.0), 1, QColor(0, 0, 0, 140));
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        QRadialGradient g(c - QPointF(r * 0.35, r * 0.35), r * 1.6);
        g.setColorAt(0, metal.lighter(150));
        g.setColorAt(1, metal.darker(160));
        p.setBrush(g);
        p.drawPath(head);
        p.translate(c);
        p.rotate(angle);
        p.setBrush(metal.darker(260));
        p.drawRoundedRect(QRectF(-r * 0.75, -r * 0.16, r * 1.5, r * 0.32), 0.5, 0.5);
    }
    Bevel(img, head, 1, 0.4f, true);
}

void Grille(QImage& img, const QPainterPath& area, qreal pitch, qreal hole, QColor dark) {
    const QRectF b = area.boundingRect();
    QPainterPath holes;
    int row = 0;
    for (qreal y = b.top() + hole; y < b.bottom() - hole; y += pitch * 0.866, ++row) {
        const qreal shift = (row % 2) ? pitch / 2 : 0;
        for (qreal x = b.left() + hole + shift; x < b.right() - hole; x += pitch) {
            const QRectF h(x - hole, y - hole, 2 * hole, 2 * hole);
            if (area.contains(h)) holes.addEllipse(h);
        }
    }
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 50));
        p.drawPath(holes.translated(0, 0.8));
        p.setBrush(dark);
        p.drawPath(holes);
    }
}

}  // namespace makedata
