// Drawing into the composed bitmap with the control's settings.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/com/variant.h"
#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"

using platform::com::Variant;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

const Variant kMissing = Variant::Missing();
const Variant kNone;

// The composed bitmap: white, not selected into any context.
struct Composed {
    Composed(int w, int h) : width(w), height(h) {
        MemCanvas canvas(w, h);
        bitmap = CopyBitmap(nullptr, canvas.bitmap(), 0, 0, 0, 0);
    }
    ~Composed() { DeleteObject(bitmap); }
    std::vector<std::string> Rows() const {
        QImage image = platform::gdi::ImageOf(bitmap);
        std::map<QRgb, char> names{
            {0xFFFFFFFF, '.'}, {0xFFFF0000, 'r'}, {0xFF0000FF, 'b'}, {0xFF000000, 'k'}};
        std::vector<std::string> rows;
        for (int y = 0; y < height; ++y) {
            std::string row;
            for (int x = 0; x < width; ++x) {
                auto it = names.find(image.pixel(x, y));
                row += it == names.end() ? '?' : it->second;
            }
            rows.push_back(row);
        }
        return rows;
    }
    char At(int x, int y) const { return Rows()[y][x]; }
    int width, height;
    HBITMAP bitmap;
};

// The control's defaults: solid pen of width 1, copy pen, no fill.
struct Settings {
    short style = 1, width = 1, mode = 13, fill = 1;
    COLORREF fillColor = kBlue;
};

short Line(Composed& c, short x1, short y1, short x2, short y2, const VARIANT& color,
           const VARIANT& box, const VARIANT& fill, Settings s = {}) {
    return IQuixDrawLine(x1, y1, x2, y2, color, box, fill, c.bitmap, s.style, s.width, s.mode,
                         s.fill, s.fillColor);
}

}  // namespace

TEST(Drawing, LinesAndBoxes) {
    Variant red = Variant::I4(kRed);
    Composed line(6, 3);
    EXPECT_EQ(Line(line, 0, 1, 4, 1, red.get(), kMissing.get(), kMissing.get()), QUIX_OK);
    EXPECT_EQ(line.Rows(), (std::vector<std::string>{"......", "rrrr..", "......"}))
        << "without its last point";

    Composed box(6, 5);
    EXPECT_EQ(Line(box, 1, 1, 4, 3, red.get(), Variant::Bool(true).get(), kNone.get()), QUIX_OK);
    EXPECT_EQ(box.Rows(),
              (std::vector<std::string>{"......", ".rrrr.", ".r..r.", ".rrrr.", "......"}))
        << "both corners included, no fill";
    Settings solid;
    solid.fill = 0;
    Composed filledByStyle(6, 5);
    Line(filledByStyle, 1, 1, 4, 3, red.get(), Variant::I2(1).get(), kNone.get(), solid);
    EXPECT_EQ(filledByStyle.Rows()[2], ".rbbr.") << "the fill style's colour inside";
    Composed filled(6, 5);
    Line(filled, 4, 3, 1, 1, red.get(), Variant::I2(-1).get(), Variant::Bool(true).get());
    EXPECT_EQ(filled.Rows()[2], ".rrrr.") << "box and fill: the line's colour";

    // A line of no length is a dot of the pen's width.
    Composed dot(7, 7);
    Settings wide;
    wide.width = 3;
    EXPECT_EQ(Line(dot, 3, 3, 3, 3, red.get(), Variant::I2(0).get(), Variant::I2(0).get(), wide),
              QUIX_OK);
    EXPECT_EQ(dot.At(3, 3), 'r');
    EXPECT_EQ(dot.At(2, 3), 'r');
    EXPECT_EQ(dot.At(3, 4), 'r');
    EXPECT_EQ(dot.At(3, 5), '.');
    EXPECT_EQ(dot.At(1, 3), '.');
    Composed pixel(3, 3);
    Line(pixel, 1, 1, 1, 1, red.get(), kMissing.get(), kMissing.get());
    EXPECT_EQ(pixel.Rows(), (std::vector<std::string>{"...", ".r.", "..."}));
}

TEST(Drawing, ColoursFlagsAndSettingsOutsideTheCatalogueAreRefused) {
    Composed c(4, 4);
    // A missing colour is black; a system colour is the scheme's.
    Line(c, 0, 0, 4, 0, kMissing.get(), kMissing.get(), kMissing.get());
    EXPECT_EQ(c.At(0, 0), 'k');
    Line(c, 0, 1, 4, 1, Variant::I4(static_cast<LONG>(0x80000000u | COLOR_WINDOWTEXT)).get(),
         kMissing.get(), kMissing.get());
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), 0u);
    EXPECT_EQ(c.At(0, 1), 'k');
    Line(c, 0, 2, 4, 2, Variant::R8(255).get(), kMissing.get(), kMissing.get());
    EXPECT_EQ(c.At(1, 2), 'r') << "a colour given as a double";
    std::vector<std::string> before = c.Rows();

    struct Case {
        const char* what;
        Variant color, box;
        Settings s;
    } cases[] = {
        {"a colour as text", Variant::String("red"), kMissing, {}},
        {"an unknown colour kind", Variant::I4(0x40000000), kMissing, {}},
        {"a system colour beyond the scheme",
         Variant::I4(static_cast<LONG>(0x80000040u)),
         kMissing,
         {}},
        {"a box flag as text", Variant::I4(0), Variant::String("yes"), {}},
        {"draw style 6", Variant::I4(0), kMissing, {6, 1, 13, 1, 0}},
        {"width 0", Variant::I4(0), kMissing, {1, 0, 13, 1, 0}},
        {"draw mode 0", Variant::I4(0), kMissing, {1, 1, 0, 1, 0}},
        {"draw mode 17", Variant::I4(0), kMissing, {1, 1, 17, 1, 0}},
        {"fill style 8 with a box", Variant::I4(0), Variant::Bool(true), {1, 1, 13, 8, 0}},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(Line(c, 0, 3, 4, 3, k.color.get(), k.box.get(), kMissing.get(), k.s),
                  QUIX_E_ARGUMENT)
            << k.what;
    }
    EXPECT_EQ(c.Rows(), before) << "nothing drawn";

    EXPECT_EQ(IQuixDrawLine(0, 0, 1, 1, kMissing.get(), kMissing.get(), kMissing.get(), nullptr, 1,
                            1, 13, 1, 0),
              QUIX_E_NOIMAGE);
    EXPECT_EQ(IQuixDrawLine(0, 0, 1, 1, kMissing.get(), kMissing.get(), kMissing.get(),
                            reinterpret_cast<HBITMAP>(0x12345), 1, 1, 13, 1, 0),
              QUIX_E_HANDLE);
    MemCanvas selected(4, 4);
    EXPECT_EQ(IQuixDrawLine(0, 0, 1, 1, kMissing.get(), kMissing.get(), kMissing.get(),
                            selected.bitmap(), 1, 1, 13, 1, 0),
              QUIX_E_HANDLE)
        << "a bitmap held by a context";
}

TEST(Drawing, TheDrawModeAndTheFillStyleApply) {
    Composed c(8, 3);
    Settings invert;
    invert.mode = R2_NOT;
    Line(c, 0, 1, 8, 1, Variant::I4(kRed).get(), kMissing.get(), kMissing.get(), invert);
    EXPECT_EQ(c.Rows()[1], "kkkkkkkk") << "white inverted, whatever the colour";
    Settings none;
    none.style = 0;
    Line(c, 0, 0, 8, 0, Variant::I4(kRed).get(), kMissing.get(), kMissing.get(), none);
    EXPECT_EQ(c.Rows()[0], "........") << "draw style 0 has no pen";

    // A hatch leaves its gaps as they were.
    Composed hatched(10, 10);
    Settings hatch;
    hatch.style = 0;
    hatch.fill = 2 + HS_HORIZONTAL;
    EXPECT_EQ(IQuixDrawRoundRect(0, 0, 10, 10, 0, 0, kMissing.get(), hatched.bitmap, hatch.style,
                                 hatch.width, hatch.mode, hatch.fill, hatch.fillColor),
              QUIX_OK);
    // Without a pen the inside is one pixel narrower and lower: 9 x 9, a line every 8 rows.
    std::vector<std::string> rows = hatched.Rows();
    EXPECT_EQ(rows[0], "bbbbbbbbb.");
    EXPECT_EQ(rows[8], "bbbbbbbbb.");
    for (int y = 1; y < 8; ++y) EXPECT_EQ(rows[y], "..........") << y;
}

TEST(Drawing, CirclesCurvesPolygonsArcsAndPies) {
    Variant red = Variant::I4(kRed);
    Settings solid;
    solid.fill = 0;

    Composed circle(11, 11);
    EXPECT_EQ(IQuixDrawCircle(5, 5, 4, red.get(), kMissing.get(), circle.bitmap, solid.style,
                              solid.width, solid.mode, solid.fill, solid.fillColor),
              QUIX_OK);
    EXPECT_EQ(circle.At(5, 1), 'r');
    EXPECT_EQ(circle.At(9, 5), 'r');
    EXPECT_EQ(circle.At(5, 5), 'b');
    EXPECT_EQ(circle.At(5, 0), '.');
    Composed flat(11, 11);
    EXPECT_EQ(
        IQuixDrawCircle(5, 5, 4, red.get(), Variant::R8(0.5).get(), flat.bitmap, 1, 1, 13, 1, 0),
        QUIX_OK);
    EXPECT_EQ(flat.At(1, 5), 'r') << "the radius on the width";
    EXPECT_EQ(flat.At(5, 3), 'r');
    EXPECT_EQ(flat.At(5, 1), '.');
    Composed tall(11, 11);
    IQuixDrawCircle(5, 5, 4, red.get(), Variant::I2(2).get(), tall.bitmap, 1, 1, 13, 1, 0);
    EXPECT_EQ(tall.At(5, 1), 'r') << "the radius on the height";
    EXPECT_EQ(tall.At(7, 5), 'r');
    EXPECT_EQ(tall.At(9, 5), '.');
    EXPECT_EQ(
        IQuixDrawCircle(5, 5, 4, red.get(), Variant::R8(-1).get(), tall.bitmap, 1, 1, 13, 1, 0),
        QUIX_E_ARGUMENT);

    // A curve whose controls lie on its line is the line.
    Composed curve(8, 3);
    EXPECT_EQ(IQuixDrawCurve(0, 1, 2, 1, 5, 1, 7, 1, red.get(), curve.bitmap, 1, 1, 13), QUIX_OK);
    EXPECT_EQ(curve.Rows()[1], "rrrrrrr.");
    Composed bent(9, 9);
    IQuixDrawCurve(0, 8, 0, 0, 8, 0, 8, 8, red.get(), bent.bitmap, 1, 1, 13);
    EXPECT_EQ(bent.At(0, 7), 'r');
    EXPECT_EQ(bent.At(4, 2), 'r') << "the top of the arch";
    EXPECT_EQ(bent.At(4, 6), '.');

    // Polygon corners after the second come in given pairs.
    Composed triangle(9, 9);
    EXPECT_EQ(
        IQuixDrawPolygon(0, 0, 8, 0, Variant::I2(0).get(), Variant::I4(8).get(), kMissing.get(),
                         kMissing.get(), kMissing.get(), kMissing.get(), kMissing.get(),
                         kMissing.get(), red.get(), triangle.bitmap, 1, 1, 13, 0, kBlue),
        QUIX_OK);
    EXPECT_EQ(triangle.At(0, 0), 'r');
    EXPECT_EQ(triangle.At(2, 3), 'b');
    EXPECT_EQ(triangle.At(7, 7), '.');
    for (auto [x4, y4, x5, y5] :
         {std::tuple{Variant::I2(3), kMissing, kMissing, kMissing},
          std::tuple{kMissing, kMissing, Variant::I2(3), Variant::I2(3)},
          std::tuple{Variant::String("3"), Variant::I2(3), kMissing, kMissing},
          std::tuple{Variant::R8(2.5), Variant::I2(3), kMissing, kMissing}}) {
        EXPECT_EQ(IQuixDrawPolygon(0, 0, 8, 0, Variant::I2(0).get(), Variant::I2(8).get(), x4.get(),
                                   y4.get(), x5.get(), y5.get(), kMissing.get(), kMissing.get(),
                                   red.get(), triangle.bitmap, 1, 1, 13, 0, 0),
                  QUIX_E_ARGUMENT);
    }

    // A pie from 0 to 90 degrees is the top right quarter; the arc has no inside.
    Composed pie(11, 11);
    EXPECT_EQ(IQuixDrawPie(0, 0, 11, 11, 0, 90, red.get(), pie.bitmap, 1, 1, 13, 0, kBlue),
              QUIX_OK);
    EXPECT_EQ(pie.At(7, 3), 'b');
    EXPECT_EQ(pie.At(3, 7), '.');
    EXPECT_EQ(pie.At(3, 3), '.');
    Composed arc(11, 11);
    EXPECT_EQ(IQuixDrawArc(0, 0, 11, 11, 0, 90, red.get(), arc.bitmap, 1, 1, 13), QUIX_OK);
    EXPECT_EQ(arc.At(7, 0), 'r');
    EXPECT_EQ(arc.At(10, 4), 'r');
    EXPECT_EQ(arc.At(0, 5), '.');
    EXPECT_EQ(arc.At(7, 3), '.');

    Composed round(10, 10);
    EXPECT_EQ(IQuixDrawRoundRect(0, 0, 10, 10, 6, 6, red.get(), round.bitmap, 1, 1, 13, 1, 0),
              QUIX_OK);
    EXPECT_EQ(round.At(0, 0), '.') << "the corner is rounded off";
    EXPECT_EQ(round.At(5, 0), 'r');
    EXPECT_EQ(IQuixDrawRoundRect(0, 0, 10, 10, -1, 6, red.get(), round.bitmap, 1, 1, 13, 1, 0),
              QUIX_E_ARGUMENT);
}
