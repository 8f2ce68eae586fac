// The painting kit of the data generator: coverage masks, blurs, lighting of height fields
// (bevels, recesses), procedural textures, and the finishing step that turns a painting and its
// outline into a face on the key colour.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdint>
#include <vector>

namespace makedata {

// The key colour of every face: pure magenta. It never appears inside a face.
inline constexpr QRgb kKey = 0xFFFF00FFu;

// A small deterministic generator (SplitMix64).
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    double Uniform();  // [0, 1)
    double Signed();   // [-1, 1)

private:
    std::uint64_t state_;
};

// A float picture.
struct Field {
    int w = 0, h = 0;
    std::vector<float> v;
    Field() = default;
    Field(int width, int height, float fill = 0)
        : w(width), h(height), v(size_t(width) * height, fill) {}
    float& at(int x, int y) { return v[size_t(y) * w + x]; }
    float at(int x, int y) const { return v[size_t(y) * w + x]; }
    // Clamped to the edge.
    float get(int x, int y) const;
};

// The antialiased coverage (0..1) of a path, filled by its own fill rule.
Field Coverage(const QPainterPath& path, QSize size);
// A blur of about a Gaussian of the given radius (three box passes of half of it).
Field Blurred(const Field& f, int radius);

// White noise in -1..1.
Field Noise(QSize size, std::uint64_t seed);
// Horizontal brushed-metal streaks in about -1..1.
Field Brushed(QSize size, std::uint64_t seed, int streak);
// Concentric spun-metal rings around a centre, in about -1..1.
Field Spun(QSize size, QPointF centre, std::uint64_t seed);

// The angle-dependent sheen of spun metal: `lobes` bright sectors around a centre, -1..1.
Field Sheen(QSize size, QPointF centre, int lobes, double phase);
// A twill weave of carbon fibre, cells of `cell` pixels, -1..1.
Field CarbonFibre(QSize size, int cell);
// Wood grain: rings around a far-away centre, stretched along x, warped by noise, -1..1.
Field WoodGrain(QSize size, std::uint64_t seed, double ringPitch);

inline constexpr double kPi = 3.14159265358979323846;

// Lights a height field (pixels of height) from the upper left: slopes facing the light are
// lightened, the others darkened, by up to `strength` (0..1), only where `mask` covers.
void Shade(QImage& img, const Field& height, const Field& mask, float strength);
// A bevel inside a path: raised (lit at the top left) or sunken (lit at the bottom right).
void Bevel(QImage& img, const QPainterPath& path, int width, float strength, bool raised);
// Adds a texture to the brightness: value * amount, where mask covers.
void Texture(QImage& img, const Field& tex, const Field& mask, float amount);
// A soft shadow (or glow) of a path, offset and blurred, drawn where `clip` covers.
void Shadow(QImage& img, const QPainterPath& path, QPointF offset, int blur, QColor colour,
            const Field* clip = nullptr);

// Mixes a colour over a pixel.
QRgb Mix(QRgb under, QRgb over, float amount);

// The face: the painting where the outline covers at least half a pixel, the key elsewhere.
// A painting colour that equals the key is nudged off it.
QImage Finish(const QImage& painting, const QPainterPath& outline);

// A canvas for painting: RGB32 filled with a colour.
QImage Canvas(QSize size, QColor fill);

// A stroke of a path as a filled path.
QPainterPath Stroke(const QPainterPath& path, qreal width, Qt::PenCapStyle cap = Qt::RoundCap);
// An arc of a circle from angle a0 to a1 (degrees, counter-clockwise from three o'clock).
QPainterPath Arc(QPointF centre, qreal r, qreal a0, qreal a1);
// A polygon moved inwards (d > 0) or outwards by d along its edge normals.
QPolygonF Inset(const QPolygonF& polygon, qreal d);
QPainterPath PolygonPath(const QPolygonF& polygon);

// A rounded rectangle path.
QPainterPath RoundRect(const QRectF& r, qreal radius);
QPainterPath Ellipse(QPointF centre, qreal rx, qreal ry);
inline QPainterPath Circle(QPointF centre, qreal r) {
    return Ellipse(centre, r, r);
}

}  // namespace makedata
