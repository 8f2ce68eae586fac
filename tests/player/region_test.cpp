#include <gtest/gtest.h>

#include <random>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "platform/vb/Form.h"
#include "player/Module1.h"
#include "tests/player/RegionReference.h"

namespace {

class PictureForm : public vb::Form {
public:
    vb::PictureBox Pic{this, "Pic"};
    PictureForm() : vb::Form("PictureForm", "") {
        Pic.SetBorderStyle(0);
        Pic.SetScaleMode(vb::vbPixels);
        Pic.SetAutoSize(true);
    }
    void Load(const QImage& image) { Pic.SetPicture(vb::Picture::FromImage(image)); }
};

constexpr QRgb K = 0xFFFF00FF;  // key
constexpr QRgb F = 0xFF204060;  // face
constexpr QRgb G = 0xFF80C0FF;  // another face colour

QImage FromRows(std::initializer_list<const char*> rows) {
    int h = static_cast<int>(rows.size());
    int w = static_cast<int>(std::strlen(*rows.begin()));
    QImage img(w, h, QImage::Format_RGB32);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < w; ++x) img.setPixel(x, y, row[x] == '.' ? K : row[x] == 'g' ? G : F);
        ++y;
    }
    return img;
}

QRegion RegionOf(long handle) {
    if (!handle) return QRegion();
    return platform::gdi::RegionOf(reinterpret_cast<HRGN>(static_cast<std::uintptr_t>(handle)))
        .value();
}

// Regions are equal when they cover the same pixels.
::testing::AssertionResult SameArea(const QRegion& a, const QRegion& b) {
    if (a.xored(b).isEmpty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the regions differ in " << a.xored(b).rectCount() << " rectangles";
}

QRegion Rects(std::initializer_list<QRect> rects) {
    QRegion r;
    for (const QRect& q : rects) r += q;
    return r;
}

}  // namespace

TEST(MakeRegionFromBitmap, IsTheUnionOfTheRunsOfFacePixels) {
    struct Case {
        const char* what;
        QImage image;
        QRegion expected;
    } cases[] = {
        {"runs touching the right edge", FromRows({"..##", ".###", "...#"}),
         Rects({{2, 0, 2, 1}, {1, 1, 3, 1}, {3, 2, 1, 1}})},
        {"the last row touching the right edge", FromRows({"....", "..##"}), Rects({{2, 1, 2, 1}})},
        {"key colour inside the face is a hole", FromRows({".###.", ".#.#.", ".###."}),
         Rects({{1, 0, 3, 1}, {1, 1, 1, 1}, {3, 1, 1, 1}, {1, 2, 3, 1}})},
        {"face colours differ but all count", FromRows({".#g#.", "....."}), Rects({{1, 0, 3, 1}})},
        {"a face-coloured top-left pixel cuts that colour away everywhere",
         FromRows({"#..#", "#g.#", "##g#"}), Rects({{1, 0, 2, 1}, {1, 1, 2, 1}, {2, 2, 1, 1}})},
    };
    PictureForm f;
    for (const auto& c : cases) {
        f.Load(c.image);
        QRegion got = RegionOf(MakeRegionFromBitmap(f.Pic));
        EXPECT_TRUE(SameArea(got, c.expected)) << c.what;
    }
}

TEST(MakeRegionFromBitmap, GivesZeroWhenEveryPixelHasTheKeyColour) {
    PictureForm f;
    f.Load(FromRows({"....", "...."}));
    EXPECT_EQ(MakeRegionFromBitmap(f.Pic), 0);
}

TEST(MakeRegionFromBitmap, EqualsTheStepByStepRegionOnRandomPictures) {
    std::mt19937 random(20261210);
    PictureForm f;
    for (int round = 0; round < 40; ++round) {
        int w = 1 + static_cast<int>(random() % 60), h = 1 + static_cast<int>(random() % 40);
        QImage img(w, h, QImage::Format_RGB32);
        int colours = 2 + static_cast<int>(random() % 3);
        // Every other picture repeats rows, so that bands span several rows.
        const bool repeats = round % 2 == 1;
        for (int y = 0; y < h; ++y) {
            if (repeats && y > 0 && random() % 3 != 0) {
                for (int x = 0; x < w; ++x) img.setPixel(x, y, img.pixel(x, y - 1));
                if (random() % 2) img.setPixel(static_cast<int>(random() % w), y, K);
                continue;
            }
            for (int x = 0; x < w; ++x)
                img.setPixel(x, y, 0xFF000000 | (random() % colours) * 0x405060);
        }
        f.Load(img);
        HRGN reference = RegionStepByStep(f.Pic);
        long fast = MakeRegionFromBitmap(f.Pic);
        ASSERT_EQ(fast == 0, reference == nullptr) << round;
        if (reference) {
            EXPECT_TRUE(
                EqualRgn(reference, reinterpret_cast<HRGN>(static_cast<std::uintptr_t>(fast))))
                << "round " << round << " " << w << "x" << h;
            DeleteObject(reference);
            DeleteObject(reinterpret_cast<HRGN>(static_cast<std::uintptr_t>(fast)));
        }
    }
}

TEST(ShapeFromPicture, SizesTheFormToTheFaceAndCutsItsShape) {
    PictureForm f;
    f.SetBorderStyle(2);
    f.Pic.SetBorderStyle(1);
    f.Pic.SetScaleMode(vb::vbTwips);
    f.Load(FromRows({"..##", "####"}));
    ShapeFromPicture(f, f.Pic);
    EXPECT_EQ(f.BorderStyle(), 0);
    EXPECT_EQ(f.Pic.BorderStyle(), 0);
    EXPECT_EQ(f.Pic.ScaleMode(), vb::vbPixels);
    EXPECT_TRUE(f.Pic.AutoRedraw());
    EXPECT_FLOAT_EQ(f.Width(), 60);
    EXPECT_FLOAT_EQ(f.Height(), 30);
    EXPECT_TRUE(SameArea(f.window()->mask(), Rects({{2, 0, 2, 1}, {0, 1, 4, 1}})));
    // A face without a key colour gives the whole rectangle back.
    f.Load(FromRows({"##", "##"}));
    ShapeFromPicture(f, f.Pic);
    EXPECT_TRUE(f.window()->mask().isEmpty());
}
