#include "tools/make-data/art.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace makedata {

std::uint64_t Rng::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::Uniform() {
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

double Rng::Signed() {
    return Uniform() * 2.0 - 1.0;
}

float Field::get(int x, int y) const {
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, h - 1);
    return v[size_t(y) * w + x];
}

Field Coverage(const QPainterPath& path, QSize size) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(path);
    }
    Field f(size.width(), size.height());
    for (int y = 0; y < f.h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < f.w; ++x) f.at(x, y) = qAlpha(row[x]) / 255.0f;
    }
    return f;
}

namespace {

// One box pass along rows (dx = 1) or columns, edges clamped.
Field BoxPass(const Field& in, int r, bool rows) {
    Field out(in.w, in.h);
    const int n = rows ? in.w : in.h, lines = rows ? in.h : in.w;
    std::vector<float> line(static_cast<size_t>(n));
    for (int l = 0; l < lines; ++l) {
        auto src = [&](int i) {
            i = std::clamp(i, 0, n - 1);
            return rows ? in.at(i, l) : in.at(l, i);
        };
        double sum = 0;
        for (int i = -r; i <= r; ++i) sum += src(i);
        for (int i = 0; i < n; ++i) {
            line[size_t(i)] = static_cast<float>(sum / (2 * r + 1));
            sum += src(i + r + 1) - src(i - r);
        }
        for (int i = 0; i < n; ++i) (rows ? out.at(i, l) : out.at(l, i)) = line[size_t(i)];
    }
    return out;
}

}  // namespace

Field Blurred(const Field& f, int radius) {
    if (radius <= 0) return f;
    // Three box passes of half the radius each come close to a Gaussian of about that radius.
    int r = std::max(1, radius / 2);
    Field out = f;
    for (int pass = 0; pass < 3; ++pass) out = BoxPass(BoxPass(out, r, true), r, false);
    return out;
}

Field Noise(QSize size, std::uint64_t seed) {
    Rng rng(seed);
    Field f(size.width(), size.height());
    for (float& x : f.v) x = static_cast<float>(rng.Signed());
    return f;
}

Field Brushed(QSize size, std::uint64_t seed, int streak) {
    Field n = Noise(size, seed);
    // Long horizontal smears of the noise, with a little fine grain left on top.
    Field s = n;
    for (int pass = 0; pass < 2; ++pass) s = BoxPass(s, streak, true);
    Field rows(size.width(), size.height());
    Rng rng(seed ^ 0x5151);
    std::vector<float> rowTone(size_t(size.height()));
    for (float& t : rowTone) t = static_cast<float>(rng.Signed());
    for (int y = 0; y < s.h; ++y) {
        for (int x = 0; x < s.w; ++x) {
            rows.at(x, y) = s.at(x, y) * 5.0f + n.at(x, y) * 0.18f + rowTone[size_t(y)] * 0.35f;
        }
    }
    for (float& x : rows.v) x = std::clamp(x, -1.0f, 1.0f);
    return rows;
}

Field Spun(QSize size, QPointF centre, std::uint64_t seed) {
    Rng rng(seed);
    const int rings = 2048;
    std::vector<float> tone(rings);
    for (float& t : tone) t = static_cast<float>(rng.Signed());
    // Smooth the ring tones a little so neighbouring rings relate.
    std::vector<float> smooth(rings);
    for (int i = 0; i < rings; ++i) {
        smooth[size_t(i)] = 0.5f * tone[size_t(i)] + 0.25f * tone[size_t((i + 1) % rings)] +
                            0.25f * tone[size_t((i + rings - 1) % rings)];
    }
    Field grain = Noise(size, seed ^ 0xABCD);
    Field f(size.width(), size.height());
    for (int y = 0; y < f.h; ++y) {
        for (int x = 0; x < f.w; ++x) {
            const double d = std::hypot(x - centre.x(), y - centre.y()) * 3.0;
            const int i = static_cast<int>(d);
            const float t = static_cast<float>(d - i);
            const float a = smooth[size_t(i % rings)], b = smooth[size_t((i + 1) % rings)];
            f.at(x, y) = std::clamp((a + (b - a) * t) * 1.4f + grain.at(x, y) * 0.12f, -1.0f, 1.0f);
        }
    }
    return f;
}

Field Sheen(QSize size, QPointF c, int lobes, double phase) {
    Field f(size.width(), size.height());
    for (int y = 0; y < f.h; ++y) {
        for (int x = 0; x < f.w; ++x) {
            const double a = std::atan2(y - c.y(), x - c.x());
            f.at(x, y) = static_cast<float>(std::cos(lobes * a + phase));
        }
    }
    return f;
}

Field CarbonFibre(QSize size, int cell) {
    Field f(size.width(), size.height());
    for (int y = 0; y < f.h; ++y) {
        for (int x = 0; x < f.w; ++x) {
            const int cx = x / cell, cy = y / cell;
            const double u = (x % cell + 0.5) / cell, v = (y % cell + 0.5) / cell;
            // A 2/2 twill: strands run across in two cells out of four along each diagonal.
            const bool across = ((cx + cy) & 3) < 2;
            const double bundle = std::sin(kPi * (across ? v : u));
            const double along = 0.75 + 0.25 * std::sin(kPi * (across ? u : v));
            f.at(x, y) = static_cast<float>((bundle * along) * 2.0 - 1.1);
        }
    }
    return f;
}

Field WoodGrain(QSize size, std::uint64_t seed, double pitch) {
    Field warp = Blurred(Noise(size, seed), 24);
    Field fine = Noise(size, seed ^ 0x77);
    Field streak = Brushed(size, seed ^ 0x99, 30);
    Field f(size.width(), size.height());
    const double cx = size.width() * 0.35, cy = -size.height() * 2.2;
    for (int y = 0; y < f.h; ++y) {
        for (int x = 0; x < f.w; ++x) {
            const double dx = (x - cx) * 0.18, dy = y - cy;
            const double d = std::sqrt(dx * dx + dy * dy) + warp.at(x, y) * 160.0;
            const double ring = std::fmod(d / pitch, 1.0);
            // Late wood: a darker band at the end of each ring.
            const double tone = std::pow(ring, 4.0) * 1.6 - 0.4;
            f.at(x, y) = static_cast<float>(
                std::clamp(tone * 0.45 + streak.at(x, y) * 0.55 + fine.at(x, y) * 0.08, -1.0, 1.0));
        }
    }
    return f;
}

QRgb Mix(QRgb under, QRgb over, float a) {
    a = std::clamp(a, 0.0f, 1.0f);
    auto ch = [a](int u, int o) { return static_cast<int>(std::lround(u + (o - u) * a)); };
    return qRgb(ch(qRed(under), qRed(over)), ch(qGreen(under), qGreen(over)),
                ch(qBlue(under), qBlue(over)));
}

void Shade(QImage& img, const Field& height, const Field& mask, float strength) {
    // Light from the upper left, fairly high.
    const double lx = -0.45, ly = -0.62, lz = 0.64;
    const double norm = std::sqrt(lx * lx + ly * ly + lz * lz);
    for (int y = 0; y < img.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const float m = mask.at(x, y);
            if (m <= 0) continue;
            const double gx = (height.get(x + 1, y) - height.get(x - 1, y)) * 0.5;
            const double gy = (height.get(x, y + 1) - height.get(x, y - 1)) * 0.5;
            const double nl = std::sqrt(gx * gx + gy * gy + 1.0);
            const double lit = (-gx * lx - gy * ly + lz) / (nl * norm) - lz / norm;
            const float s = static_cast<float>(std::clamp(lit * 1.6, -1.0, 1.0)) * strength * m;
            if (s > 0) {
                row[x] = Mix(row[x], qRgb(255, 255, 255), s);
            } else if (s < 0) {
                row[x] = Mix(row[x], qRgb(0, 0, 0), -s);
            }
        }
    }
}

void Bevel(QImage& img, const QPainterPath& path, int width, float strength, bool raised) {
    Field mask = Coverage(path, img.size());
    Field height = Blurred(mask, width);
    for (float& h : height.v) h *= raised ? width : -width;
    Shade(img, height, mask, strength);
}

void Texture(QImage& img, const Field& tex, const Field& mask, float amount) {
    for (int y = 0; y < img.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const float m = mask.at(x, y);
            if (m <= 0) continue;
            const float s = tex.at(x, y) * amount * m;
            if (s > 0) {
                row[x] = Mix(row[x], qRgb(255, 255, 255), s);
            } else if (s < 0) {
                row[x] = Mix(row[x], qRgb(0, 0, 0), -s);
            }
        }
    }
}

void Shadow(QImage& img, const QPainterPath& path, QPointF offset, int blur, QColor colour,
            const Field* clip) {
    Field f = Blurred(Coverage(path.translated(offset), img.size()), blur);
    const QRgb c = colour.rgb();
    const float alpha = static_cast<float>(colour.alphaF());
    for (int y = 0; y < img.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            float a = f.at(x, y) * alpha;
            if (clip) a *= clip->at(x, y);
            if (a > 0) row[x] = Mix(row[x], c, a);
        }
    }
}

QImage Finish(const QImage& painting, const QPainterPath& outline) {
    QImage out = painting.convertToFormat(QImage::Format_RGB32);
    Field cover = Coverage(outline, out.size());
    for (int y = 0; y < out.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (cover.at(x, y) < 0.5f) {
                row[x] = kKey;
            } else if ((row[x] | 0xFF000000u) == kKey) {
                row[x] = qRgb(250, 6, 250);
            }
        }
    }
    return out;
}

QImage Canvas(QSize size, QColor fill) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

QPainterPath Stroke(const QPainterPath& path, qreal width, Qt::PenCapStyle cap) {
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(cap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(path).simplified();
}

QPainterPath Arc(QPointF c, qreal r, qreal a0, qreal a1) {
    QPainterPath p;
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    p.arcMoveTo(box, a0);
    p.arcTo(box, a0, a1 - a0);
    return p;
}

QPolygonF Inset(const QPolygonF& poly, qreal d) {
    const int n = static_cast<int>(poly.size());
    double area = 0;
    for (int i = 0; i < n; ++i) {
        const QPointF a = poly[i], b = poly[(i + 1) % n];
        area += a.x() * b.y() - b.x() * a.y();
    }
    // Inward normal of edge a->b: to the right of the edge when the polygon turns clockwise in
    // screen coordinates (positive area with y down).
    const double side = area > 0 ? 1 : -1;
    auto normal = [&](QPointF a, QPointF b) {
        const QPointF e = b - a;
        const double len = std::hypot(e.x(), e.y());
        return QPointF(-e.y(), e.x()) * (side / len);
    };
    QPolygonF out;
    for (int i = 0; i < n; ++i) {
        const QPointF prev = poly[(i + n - 1) % n], cur = poly[i], next = poly[(i + 1) % n];
        const QPointF n1 = normal(prev, cur), n2 = normal(cur, next);
        // Intersection of the two offset edges: cur + d * (n1 + n2) / (1 + n1.n2).
        const double dot = n1.x() * n2.x() + n1.y() * n2.y();
        out << cur + (n1 + n2) * (d / (1 + dot));
    }
    return out;
}

QPainterPath PolygonPath(const QPolygonF& polygon) {
    QPainterPath p;
    p.addPolygon(polygon);
    p.closeSubpath();
    return p;
}

QPainterPath RoundRect(const QRectF& r, qreal radius) {
    QPainterPath p;
    p.addRoundedRect(r, radius, radius);
    return p;
}

QPainterPath Ellipse(QPointF centre, qreal rx, qreal ry) {
    QPainterPath p;
    p.addEllipse(centre, rx, ry);
    return p;
}

}  // namespace makedata
