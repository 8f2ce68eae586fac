// The catalogue of effects: one row per effect number of the control's effect list, each with
// the way it brings the new image in. u and v are a pixel centre's place across the area (0 at
// the left or top edge, 1 at the right or bottom); a revealing effect gives each pixel the time
// (0 to 1) at which the new image replaces the old one there; a moving effect gives each pixel
// of a frame the place in the old or the new image it shows.
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "quixcore/animate.h"

namespace quixcore::internal {

namespace {

// The side of the blocks, bands and cells of the blocky effects: an eighth of the shorter side.
int Cell(int w, int h) {
    return std::max(2, (std::min(w, h) + 7) / 8);
}

// A fixed pseudo-random number in [0, 1) for a pair of whole numbers.
double Rand(std::uint32_t a, std::uint32_t b, std::uint32_t seed) {
    std::uint64_t z = (static_cast<std::uint64_t>(a) << 32 | b) + seed * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 53);
}

// A fixed shuffle of 0 .. n - 1: rank[i] is the place of i in the order.
std::vector<int> Shuffled(int n, std::uint32_t seed) {
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i) order[i] = i;
    for (int i = n - 1; i > 0; --i) {
        int j = static_cast<int>(Rand(i, n, seed) * (i + 1));
        std::swap(order[i], order[j]);
    }
    std::vector<int> rank(n);
    for (int i = 0; i < n; ++i) rank[order[i]] = i;
    return rank;
}

// The cells of a cols x rows grid in a clockwise spiral from the top-left corner inwards: rank of
// each cell (row-major index).
std::vector<int> Spiral(int cols, int rows) {
    std::vector<int> rank(cols * rows, 0);
    int left = 0, top = 0, right = cols - 1, bottom = rows - 1, k = 0;
    while (left <= right && top <= bottom) {
        for (int x = left; x <= right; ++x) rank[top * cols + x] = k++;
        for (int y = top + 1; y <= bottom; ++y) rank[y * cols + right] = k++;
        if (top < bottom)
            for (int x = right - 1; x >= left; --x) rank[bottom * cols + x] = k++;
        if (left < right)
            for (int y = bottom - 1; y > top; --y) rank[y * cols + left] = k++;
        ++left, ++top, --right, --bottom;
    }
    return rank;
}

// ---- revealing effects ----

class RevealPlan : public EffectPlan {
public:
    RevealPlan(int w, int h, int length) : w_(w), h_(h), length_(std::max(1, length)) {
        time_.resize(static_cast<std::size_t>(w) * h);
    }
    template <class Time>
    void Fill(Time time) {
        for (int y = 0; y < h_; ++y) {
            const double v = (y + 0.5) / h_;
            for (int x = 0; x < w_; ++x) {
                const double u = (x + 0.5) / w_;
                time_[static_cast<std::size_t>(y) * w_ + x] = static_cast<float>(time(x, y, u, v));
            }
        }
    }
    int Length() const override { return length_; }
    void Render(double t, const QImage& before, const QImage& after,
                FrameBuffer& frame) const override {
        const float limit = static_cast<float>(t);
        for (int y = 0; y < h_; ++y) {
            const auto* b = reinterpret_cast<const QRgb*>(before.constScanLine(y));
            const auto* a = reinterpret_cast<const QRgb*>(after.constScanLine(y));
            auto* out = reinterpret_cast<QRgb*>(frame.pixels.scanLine(y));
            const float* time = &time_[static_cast<std::size_t>(y) * w_];
            std::uint8_t* shows = &frame.shows[static_cast<std::size_t>(y) * w_];
            for (int x = 0; x < w_; ++x) {
                const bool in = time[x] < limit;
                out[x] = in ? a[x] : b[x];
                shows[x] = in;
            }
        }
    }

private:
    int w_, h_, length_;
    std::vector<float> time_;
};

template <class Time>
std::unique_ptr<EffectPlan> Reveal(int w, int h, int length, Time time) {
    auto plan = std::make_unique<RevealPlan>(w, h, length);
    plan->Fill(time);
    return plan;
}

// ---- moving effects ----

// Where a frame's pixel comes from: the new image or the old one, at (x, y).
struct Src {
    bool fromAfter;
    int x, y;
};

template <class Place>
class MovePlan : public EffectPlan {
public:
    MovePlan(int w, int h, int length, Place place)
        : w_(w), h_(h), length_(std::max(1, length)), place_(place) {}
    int Length() const override { return length_; }
    void Render(double t, const QImage& before, const QImage& after,
                FrameBuffer& frame) const override {
        for (int y = 0; y < h_; ++y) {
            auto* out = reinterpret_cast<QRgb*>(frame.pixels.scanLine(y));
            std::uint8_t* shows = &frame.shows[static_cast<std::size_t>(y) * w_];
            for (int x = 0; x < w_; ++x) {
                Src s = place_(t, x, y);
                if (s.x < 0 || s.y < 0 || s.x >= w_ || s.y >= h_) s = Src{false, x, y};
                const QImage& from = s.fromAfter ? after : before;
                out[x] = reinterpret_cast<const QRgb*>(from.constScanLine(s.y))[s.x];
                shows[x] = s.fromAfter;
            }
        }
    }

private:
    int w_, h_, length_;
    Place place_;
};

template <class Place>
std::unique_ptr<EffectPlan> Move(int w, int h, int length, Place place) {
    return std::make_unique<MovePlan<Place>>(w, h, length, place);
}

// x * num / den for the scaling effects (den > 0).
int Scale(int x, int num, int den) {
    return den > 0 ? static_cast<int>(static_cast<long long>(x) * num / den) : 0;
}
int Edge(double t, int n) {
    return static_cast<int>(std::lround(t * n));
}

double Angle(int x, int y, int w, int h) {  // clockwise from 12 o'clock, 0 .. 2 pi
    const double dx = x + 0.5 - w / 2.0, dy = y + 0.5 - h / 2.0;
    double a = std::atan2(dx, -dy);
    return a < 0 ? a + 2 * std::numbers::pi : a;
}

double Checker(int x, int y) {
    return ((x + y) & 1) * 0.5;
}

using Maker = std::unique_ptr<EffectPlan> (*)(int w, int h);

struct EffectRow {
    short number;
    const char* name;
    Maker make;
};

constexpr double kPi = std::numbers::pi;

// The time functions that the double-pass effects reuse.
double LeftToRight(double u, double) {
    return u;
}
double RightToLeft(double u, double) {
    return 1 - u;
}
double TopToBottom(double, double v) {
    return v;
}
double BottomToTop(double, double v) {
    return 1 - v;
}
double WipeIn(double s) {
    return 1 - std::abs(2 * s - 1);
}
double WipeOut(double s) {
    return std::abs(2 * s - 1);
}
double Box(double u, double v) {
    return std::max(std::abs(2 * u - 1), std::abs(2 * v - 1));
}

#define REVEAL(length, expr)                                                  \
    [](int w, int h) -> std::unique_ptr<EffectPlan> {                         \
        [[maybe_unused]] const int cell = Cell(w, h);                         \
        return Reveal(w, h, (length), [&](int x, int y, double u, double v) { \
            (void)x, (void)y, (void)u, (void)v;                               \
            return (expr);                                                    \
        });                                                                   \
    }
#define MOVE(length, ...)                                                   \
    [](int w, int h) -> std::unique_ptr<EffectPlan> {                       \
        return Move(w, h, (length), [w, h](double t, int x, int y) -> Src { \
            (void)w, (void)h;                                               \
            __VA_ARGS__                                                     \
        });                                                                 \
    }

// The blocky effects whose order is a rank of cells.
template <class Rank>
std::unique_ptr<EffectPlan> Cells(int w, int h, Rank rankOf) {
    const int cell = Cell(w, h);
    const int cols = (w + cell - 1) / cell, rows = (h + cell - 1) / cell;
    std::vector<int> rank = rankOf(cols, rows);
    const double count = static_cast<double>(cols) * rows;
    return Reveal(w, h, cols * rows, [&](int x, int y, double, double) {
        return rank[(y / cell) * cols + x / cell] / count;
    });
}

const EffectRow kEffects[] = {
    {1, "LeftToRight", REVEAL(w, u)},
    {2, "RightToLeft", REVEAL(w, 1 - u)},
    {3, "TopToBottom", REVEAL(h, v)},
    {4, "BottomToTop", REVEAL(h, 1 - v)},
    {5, "HorizWipeIn", REVEAL(w / 2, WipeIn(u))},
    {6, "HorizWipeOut", REVEAL(w / 2, WipeOut(u))},
    {7, "VertWipeIn", REVEAL(h / 2, WipeIn(v))},
    {8, "VertWipeOut", REVEAL(h / 2, WipeOut(v))},
    {9, "SlideUp", MOVE(h, int e = h - Edge(t, h);
                        return y >= e ? Src{true, x, y - e} : Src{false, x, y};)},
    {10, "SlideDown", MOVE(h, int e = Edge(t, h);
                           return y < e ? Src{true, x, y + h - e} : Src{false, x, y};)},
    {11, "PushUp", MOVE(h, int e = h - Edge(t, h);
                        return y < e ? Src{false, x, y + h - e} : Src{true, x, y - e};)},
    {12, "PushDown", MOVE(h, int e = Edge(t, h);
                          return y < e ? Src{true, x, y + h - e} : Src{false, x, y - e};)},
    {13, "Diagonal_TLBR", REVEAL(w + h, (u + v) / 2)},
    {14, "Diagonal_BLTR", REVEAL(w + h, (u + 1 - v) / 2)},
    {15, "Diagonal_TRBL", REVEAL(w + h, (1 - u + v) / 2)},
    {16, "Diagonal_BRTL", REVEAL(w + h, (2 - u - v) / 2)},
    {17, "DoubleDiag_TLBR", REVEAL((w + h) / 2, 1 - std::abs(u + v - 1))},
    {18, "DoubleDiag_TRBL", REVEAL((w + h) / 2, 1 - std::abs(v - u))},
    {19, "DiagonalOut_TLBR", REVEAL((w + h) / 2, std::abs(u + v - 1))},
    {20, "DiagonalOut_TRBL", REVEAL((w + h) / 2, std::abs(v - u))},
    {21, "DiagonalQuad", REVEAL((w + h) / 2, std::min(u, 1 - u) + std::min(v, 1 - v))},
    {22, "Explode", REVEAL(std::max(w, h) / 2, Box(u, v))},
    {23, "Implode", REVEAL(std::max(w, h) / 2, 1 - Box(u, v))},
    {24, "ZoomOut",
     MOVE(std::max(w, h) / 2, int sw = std::max(1, Edge(t, w)); int sh = std::max(1, Edge(t, h));
          int x0 = (w - sw) / 2; int y0 = (h - sh) / 2;
          if (x < x0 || y < y0 || x >= x0 + sw || y >= y0 + sh) return Src{false, x, y};
          return Src{true, Scale(x - x0, w, sw), Scale(y - y0, h, sh)};)},
    {25, "ZoomIn",
     MOVE(std::max(w, h) / 2, int sw = w - Edge(t, w); int sh = h - Edge(t, h);
          int x0 = (w - sw) / 2; int y0 = (h - sh) / 2;
          if (sw <= 0 || sh <= 0 || x < x0 || y < y0 || x >= x0 + sw || y >= y0 + sh)
              return Src{true, x, y};
          return Src{false, Scale(x - x0, w, sw), Scale(y - y0, h, sh)};)},
    {26, "CornersOut",
     REVEAL(std::max(w, h) / 2,
            std::hypot(std::min(u, 1 - u), std::min(v, 1 - v)) / std::sqrt(0.5))},
    {27, "HorizInterlace", REVEAL(w, y % 2 ? 1 - u : u)},
    {28, "VertInterlace", REVEAL(h, x % 2 ? 1 - v : v)},
    {29, "HorizDoublePass2", REVEAL(2 * h, y % 2 ? 0.5 + (1 - v) / 2 : v / 2)},
    {30, "VertDoublePass2", REVEAL(2 * w, x % 2 ? 0.5 + (1 - u) / 2 : u / 2)},
    {31, "HorizDoublePass", REVEAL(2 * w, y % 2 ? 0.5 + (1 - u) / 2 : u / 2)},
    {32, "VertDoublePass", REVEAL(2 * h, x % 2 ? 0.5 + (1 - v) / 2 : v / 2)},
    {33, "RandomLines", [](int w, int h) -> std::unique_ptr<EffectPlan> {
         std::vector<int> rank = Shuffled(h, 33);
         return Reveal(w, h, h, [&](int, int y, double, double) {
             return rank[y] / static_cast<double>(h);
         });
     }},
    {34, "HorizBlind", REVEAL(cell, ((y % cell) + 0.5) / cell)},
    {35, "VertBlind", REVEAL(cell, ((x % cell) + 0.5) / cell)},
    {36, "DoubleBlind", REVEAL(cell, std::max((x % cell) + 0.5, (y % cell) + 0.5) / cell)},
    {37, "SwirlIn", [](int w, int h) { return Cells(w, h, Spiral); }},
    {38, "SwirlOut",
     [](int w, int h) {
         return Cells(w, h, [](int cols, int rows) {
             std::vector<int> rank = Spiral(cols, rows);
             for (int& r : rank) r = cols * rows - 1 - r;
             return rank;
         });
     }},
    {39, "RandomBlock",
     [](int w, int h) {
         return Cells(w, h, [](int cols, int rows) { return Shuffled(cols * rows, 39); });
     }},
    {40, "Checkerboard",
     REVEAL(2 * cell, ((x / cell + y / cell) % 2) * 0.5 + ((x % cell) + 0.5) / cell / 2)},
    {41, "VertDoubleWipe", REVEAL(h, x < w / 2 ? v : 1 - v)},
    {42, "HorizDoubleWipe", REVEAL(w, y < h / 2 ? u : 1 - u)},
    {43, "Kaliedescope", REVEAL((w + h) / 2, [&] {
         double a = Angle(x, y, w, h);
         int quadrant = static_cast<int>(a / (kPi / 2)) % 4;
         double q = std::fmod(a, kPi / 2) / (kPi / 2);
         return quadrant % 2 ? 1 - q : q;
     }())},
    {44, "DoubleWipeOut", REVEAL(std::max(w, h) / 2, std::min(WipeOut(u), WipeOut(v)))},
    {45, "DoubleWipeIn", REVEAL(std::max(w, h) / 2, 1 - std::min(WipeOut(u), WipeOut(v)))},
    {46, "VertSquash", MOVE(h, int e = Edge(t, h); if (y < e) return Src{true, x, y};
                            return Src{false, x, Scale(y - e, h, h - e)};)},
    {47, "VertPull", MOVE(h, int e = Edge(t, h); if (y < e) return Src{true, x, Scale(y, h, e)};
                          return Src{false, x, y};)},
    {48, "HorizSquash", MOVE(w, int e = Edge(t, w); if (x < e) return Src{true, x, y};
                             return Src{false, Scale(x - e, w, w - e), y};)},
    {49, "HorizPull", MOVE(w, int e = Edge(t, w); if (x < e) return Src{true, Scale(x, w, e), y};
                           return Src{false, x, y};)},
    {50, "Drip", REVEAL(2 * h, Rand(x, 0, 50) / 2 + v / 2)},
    {52, "SlideLeft", MOVE(w, int e = w - Edge(t, w);
                           return x >= e ? Src{true, x - e, y} : Src{false, x, y};)},
    {53, "SlideRight", MOVE(w, int e = Edge(t, w);
                            return x < e ? Src{true, x + w - e, y} : Src{false, x, y};)},
    {54, "PushLeft", MOVE(w, int e = w - Edge(t, w);
                          return x < e ? Src{false, x + w - e, y} : Src{true, x - e, y};)},
    {55, "PushRight", MOVE(w, int e = Edge(t, w);
                           return x < e ? Src{true, x + w - e, y} : Src{false, x - e, y};)},
    {56, "DoubleDiagUp", REVEAL(w / 2 + h, ((1 - v) + WipeOut(u)) / 2)},
    {57, "DoubleDiagDown", REVEAL(w / 2 + h, (v + WipeOut(u)) / 2)},
    {58, "DoubleDiagLeft", REVEAL(w + h / 2, ((1 - u) + WipeOut(v)) / 2)},
    {59, "DoubleDiagRight", REVEAL(w + h / 2, (u + WipeOut(v)) / 2)},
    {60, "RandomBarsUp", REVEAL(2 * h, Rand(x / std::max(1, cell / 2), 1, 60) / 2 + (1 - v) / 2)},
    {61, "RandomBarsDown", REVEAL(2 * h, Rand(x / std::max(1, cell / 2), 1, 61) / 2 + v / 2)},
    {62, "RandomBarsLeft",
     REVEAL(2 * w, Rand(y / std::max(1, cell / 2), 1, 62) / 2 + (1 - u) / 2)},
    {63, "RandomBarsRight", REVEAL(2 * w, Rand(y / std::max(1, cell / 2), 1, 63) / 2 + u / 2)},
    {64, "SparkleUp", REVEAL(2 * h, Rand(x, y, 64) / 2 + (1 - v) / 2)},
    {65, "SparkleDown", REVEAL(2 * h, Rand(x, y, 65) / 2 + v / 2)},
    {66, "SparkleLeft", REVEAL(2 * w, Rand(x, y, 66) / 2 + (1 - u) / 2)},
    {67, "SparkleRight", REVEAL(2 * w, Rand(x, y, 67) / 2 + u / 2)},
    {68, "Clock", REVEAL(w + h, Angle(x, y, w, h) / (2 * kPi))},
    {69, "Counterclock", REVEAL(w + h, std::fmod(2 * kPi - Angle(x, y, w, h), 2 * kPi) / (2 * kPi))},
    {70, "Semicircle_RL", REVEAL((w + h) / 2, [&] {
         const double dx = x + 0.5 - w / 2.0;
         const double dy = y + 0.5 - h / 2.0;
         return std::atan2(std::abs(dy), dx) / kPi;
     }())},
    {71, "Semicircle_LR", REVEAL((w + h) / 2, [&] {
         const double dx = x + 0.5 - w / 2.0;
         const double dy = y + 0.5 - h / 2.0;
         return 1 - std::atan2(std::abs(dy), dx) / kPi;
     }())},
    {72, "SemicircleIn", REVEAL(std::max(w, h) / 2,
                                1 - std::hypot(u - 0.5, v - 0.5) / std::sqrt(0.5))},
    {73, "SemicircleOut", REVEAL(std::max(w, h) / 2,
                                 std::hypot(u - 0.5, v - 0.5) / std::sqrt(0.5))},
    {74, "DoubleClock", REVEAL((w + h) / 2, std::fmod(Angle(x, y, w, h), kPi) / kPi)},
    {75, "CircularQuad", REVEAL((w + h) / 4, std::fmod(Angle(x, y, w, h), kPi / 2) / (kPi / 2))},
    {76, "DiagonalSlide_TLBR", MOVE(std::max(w, h), int ox = w - Edge(t, w);
                                    int oy = h - Edge(t, h); int sx = x + ox; int sy = y + oy;
                                    return sx < w && sy < h ? Src{true, sx, sy} : Src{false, x, y};)},
    {77, "DiagonalSlide_TRBL", MOVE(std::max(w, h), int ox = w - Edge(t, w);
                                    int oy = h - Edge(t, h); int sx = x - ox; int sy = y + oy;
                                    return sx >= 0 && sy < h ? Src{true, sx, sy} : Src{false, x, y};)},
    {78, "DiagonalSlide_BLTR", MOVE(std::max(w, h), int ox = w - Edge(t, w);
                                    int oy = h - Edge(t, h); int sx = x + ox; int sy = y - oy;
                                    return sx < w && sy >= 0 ? Src{true, sx, sy} : Src{false, x, y};)},
    {79, "DiagonalSlide_BRTL", MOVE(std::max(w, h), int ox = w - Edge(t, w);
                                    int oy = h - Edge(t, h); int sx = x - ox; int sy = y - oy;
                                    return sx >= 0 && sy >= 0 ? Src{true, sx, sy} : Src{false, x, y};)},
    {80, "HorizDoubleSlide", MOVE(w, int e = Edge(t, w); if (y < h / 2) {
         return x < e ? Src{true, x + w - e, y} : Src{false, x, y};
     } return x >= w - e ? Src{true, x - (w - e), y} : Src{false, x, y};)},
    {81, "VertDoubleSlide", MOVE(h, int e = Edge(t, h); if (x < w / 2) {
         return y < e ? Src{true, x, y + h - e} : Src{false, x, y};
     } return y >= h - e ? Src{true, x, y - (h - e)} : Src{false, x, y};)},
    {82, "RotateLeft", MOVE(w, int e = w - Edge(t, w);
                            if (x < e) return Src{false, Scale(x, w, e), y};
                            return Src{true, Scale(x - e, w, w - e), y};)},
    {83, "RotateRight", MOVE(w, int e = Edge(t, w); if (x < e) return Src{true, Scale(x, w, e), y};
                             return Src{false, Scale(x - e, w, w - e), y};)},
    {84, "RotateTop", MOVE(h, int e = h - Edge(t, h);
                           if (y < e) return Src{false, x, Scale(y, h, e)};
                           return Src{true, x, Scale(y - e, h, h - e)};)},
    {85, "RotateBottom", MOVE(h, int e = Edge(t, h); if (y < e) return Src{true, x, Scale(y, h, e)};
                              return Src{false, x, Scale(y - e, h, h - e)};)},
    {86, "HorizCenterStretch", MOVE(w / 2, int sw = std::max(1, Edge(t, w)); int x0 = (w - sw) / 2;
                                    if (x < x0 || x >= x0 + sw) return Src{false, x, y};
                                    return Src{true, Scale(x - x0, w, sw), y};)},
    {87, "VertCenterStretch", MOVE(h / 2, int sh = std::max(1, Edge(t, h)); int y0 = (h - sh) / 2;
                                   if (y < y0 || y >= y0 + sh) return Src{false, x, y};
                                   return Src{true, x, Scale(y - y0, h, sh)};)},
    {88, "HorizStretchToCenter", MOVE(w / 2, int half = w / 2; int e = Edge(t, half);
                                      if (x < e) return Src{true, Scale(x, half, e), y};
                                      if (x >= w - e)
                                          return Src{true, half + Scale(x - (w - e), w - half, e), y};
                                      return Src{false, x, y};)},
    {89, "VertStretchToCenter", MOVE(h / 2, int half = h / 2; int e = Edge(t, half);
                                     if (y < e) return Src{true, x, Scale(y, half, e)};
                                     if (y >= h - e)
                                         return Src{true, x, half + Scale(y - (h - e), h - half, e)};
                                     return Src{false, x, y};)},
    {90, "Blocks_TB",
     [](int w, int h) {
         return Cells(w, h, [](int cols, int rows) {
             std::vector<int> rank(cols * rows);
             for (int i = 0; i < cols * rows; ++i) rank[i] = i;
             return rank;
         });
     }},
    {91, "Blocks_BT",
     [](int w, int h) {
         return Cells(w, h, [](int cols, int rows) {
             std::vector<int> rank(cols * rows);
             for (int i = 0; i < cols * rows; ++i)
                 rank[i] = (rows - 1 - i / cols) * cols + i % cols;
             return rank;
         });
     }},
    {92, "Blocks_LR",
     [](int w, int h) {
         return Cells(w, h, [](int cols, int rows) {
             std::vector<int> rank(cols * rows);
             for (int i = 0; i < cols * rows; ++i) rank[i] = (i % cols) * rows + i / cols;
             return rank;
         });
     }},
    {93, "Blocks_RL",
     [](int w, int h) {
         return Cells(w, h, [](int cols, int rows) {
             std::vector<int> rank(cols * rows);
             for (int i = 0; i < cols * rows; ++i)
                 rank[i] = (cols - 1 - i % cols) * rows + i / cols;
             return rank;
         });
     }},
    {94, "GrowingBlind_TB",
     REVEAL(2 * cell, (y / cell) / std::ceil(h / double(cell)) / 2 + ((y % cell) + 0.5) / cell / 2)},
    {95, "GrowingBlind_BT",
     REVEAL(2 * cell, ((h - 1 - y) / cell) / std::ceil(h / double(cell)) / 2 +
                          (((h - 1 - y) % cell) + 0.5) / cell / 2)},
    {96, "GrowingBlind_LR",
     REVEAL(2 * cell, (x / cell) / std::ceil(w / double(cell)) / 2 + ((x % cell) + 0.5) / cell / 2)},
    {97, "GrowingBlind_RL",
     REVEAL(2 * cell, ((w - 1 - x) / cell) / std::ceil(w / double(cell)) / 2 +
                          (((w - 1 - x) % cell) + 0.5) / cell / 2)},
    {98, "Roll_TB", MOVE(h, int e = Edge(t, h); int r = std::max(1, h / 10);
                         if (y < e) return Src{true, x, y};
                         if (y < e + r) return Src{true, x, std::max(0, 2 * e - y - 1)};
                         return Src{false, x, y};)},
    {99, "Roll_BT", MOVE(h, int e = h - Edge(t, h); int r = std::max(1, h / 10);
                         if (y >= e) return Src{true, x, y};
                         if (y >= e - r) return Src{true, x, std::min(h - 1, 2 * e - y - 1)};
                         return Src{false, x, y};)},
    {100, "Roll_LR", MOVE(w, int e = Edge(t, w); int r = std::max(1, w / 10);
                          if (x < e) return Src{true, x, y};
                          if (x < e + r) return Src{true, std::max(0, 2 * e - x - 1), y};
                          return Src{false, x, y};)},
    {101, "Roll_RL", MOVE(w, int e = w - Edge(t, w); int r = std::max(1, w / 10);
                          if (x >= e) return Src{true, x, y};
                          if (x >= e - r) return Src{true, std::min(w - 1, 2 * e - x - 1), y};
                          return Src{false, x, y};)},
    {102, "DoublePassLeftToRight", REVEAL(2 * w, Checker(x, y) + LeftToRight(u, v) / 2)},
    {103, "DoublePassRightToLeft", REVEAL(2 * w, Checker(x, y) + RightToLeft(u, v) / 2)},
    {104, "DoublePassTopToBottom", REVEAL(2 * h, Checker(x, y) + TopToBottom(u, v) / 2)},
    {105, "DoublePassBottomToTop", REVEAL(2 * h, Checker(x, y) + BottomToTop(u, v) / 2)},
    {106, "DoublePassHorizWipeIn", REVEAL(w, Checker(x, y) + WipeIn(u) / 2)},
    {107, "DoublePassHorizWipeOut", REVEAL(w, Checker(x, y) + WipeOut(u) / 2)},
    {108, "DoublePassVertWipeIn", REVEAL(h, Checker(x, y) + WipeIn(v) / 2)},
    {109, "DoublePassVerticalWipeOut", REVEAL(h, Checker(x, y) + WipeOut(v) / 2)},
    {110, "DoublePassImplode", REVEAL(std::max(w, h), Checker(x, y) + (1 - Box(u, v)) / 2)},
    {111, "DoublePassExplode", REVEAL(std::max(w, h), Checker(x, y) + Box(u, v) / 2)},
    {112, "HorizInterlaceSlide", MOVE(w, int e = Edge(t, w); if (y % 2 == 0) {
         return x < e ? Src{true, x + w - e, y} : Src{false, x, y};
     } return x >= w - e ? Src{true, x - (w - e), y} : Src{false, x, y};)},
    {113, "VerticalInterlaceSlide", MOVE(h, int e = Edge(t, h); if (x % 2 == 0) {
         return y < e ? Src{true, x, y + h - e} : Src{false, x, y};
     } return y >= h - e ? Src{true, x, y - (h - e)} : Src{false, x, y};)},
};

}  // namespace

std::unique_ptr<EffectPlan> MakeEffectPlan(short effect, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    for (const EffectRow& row : kEffects) {
        if (row.number == effect) return row.make(width, height);
    }
    return nullptr;
}

const char* EffectName(short effect) {
    if (effect == 0) return "NoEffect";
    if (effect == 51) return "NoEffect1";
    for (const EffectRow& row : kEffects) {
        if (row.number == effect) return row.name;
    }
    return nullptr;
}

}  // namespace quixcore::internal
