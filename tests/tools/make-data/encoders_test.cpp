#include <gtest/gtest.h>

#include <QImage>
#include <cstring>

#include "platform/vb/Picture.h"
#include "tools/make-data/art.h"
#include "tools/make-data/encoders.h"

using namespace makedata;

namespace {

QImage Decode(const Bytes& b, const char* format) {
    return QImage::fromData(reinterpret_cast<const uchar*>(b.data()), static_cast<int>(b.size()),
                            format)
        .convertToFormat(QImage::Format_RGB32);
}

std::uint32_t U32(const Bytes& b, size_t at) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

}  // namespace

TEST(MakeDataEncoders, GifOfNoiseDecodesToTheSameColours) {
    // Noise fills the LZW table many times over, so the clear codes and every code width are used.
    Indexed pic;
    pic.width = 301;
    pic.height = 203;
    for (int i = 0; i < 256; ++i) pic.palette.push_back(qRgb(i, 255 - i, (i * 7) & 255));
    Rng rng(3);
    for (int i = 0; i < pic.width * pic.height; ++i) {
        // Runs as well as noise: long strings exercise the dictionary, noise the resets.
        pic.pixels.push_back(i % 5000 < 2500 ? static_cast<std::uint8_t>(rng.Next() & 0xFF)
                                             : static_cast<std::uint8_t>((i / 97) & 3));
    }
    const Bytes gif = EncodeGif(pic);
    ASSERT_EQ(gif.substr(0, 6), "GIF89a");
    const QImage img = Decode(gif, "GIF");
    ASSERT_EQ(img.size(), QSize(pic.width, pic.height));
    int wrong = 0;
    for (int y = 0; y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
            wrong += img.pixel(x, y) !=
                     (pic.palette[pic.pixels[size_t(y) * pic.width + x]] | 0xFF000000u);
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(MakeDataEncoders, QuantizeKeepsTheKeyExactAndOnlyThere) {
    // A gradient with key pixels cut into it, and face colours very close to the key.
    QImage img(200, 120, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const bool key = x < 10 || (x - 100) * (x - 100) + (y - 60) * (y - 60) < 400;
            img.setPixel(x, y, key ? kKey : qRgb(250 + x % 6, y % 4, 250 + y % 6));
        }
    }
    img.setPixel(150, 20, qRgb(40, 200, 90));
    const Indexed q = Quantize(img, kKey);
    ASSERT_EQ(q.palette[0], kKey);
    for (size_t i = 1; i < q.palette.size(); ++i) EXPECT_NE(q.palette[i], kKey) << i;
    const QImage back = Decode(EncodeGif(q), "GIF");
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            ASSERT_EQ(back.pixel(x, y) == kKey, img.pixel(x, y) == kKey) << x << "," << y;
        }
    }
    // A lone colour keeps its own entry.
    EXPECT_EQ(back.pixel(150, 20), qRgb(40, 200, 90));
}

TEST(MakeDataEncoders, BmpIs24BitAndReadsBackExactly) {
    QImage img(13, 7, QImage::Format_RGB32);  // odd width: rows are padded
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 13; ++x) img.setPixel(x, y, qRgb(x * 19, y * 36, (x * y) & 255));
    }
    const Bytes bmp = EncodeBmp(img);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(bmp.size(), 54u + 40 * 7);
    EXPECT_EQ(Decode(bmp, "BMP"), img);
}

TEST(MakeDataEncoders, CursorCarriesHotSpotAndAlpha) {
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int i = 0; i < 32; ++i) img.setPixel(i, i, qRgba(10, 20, 30, 255));
    img.setPixel(5, 0, qRgba(200, 100, 50, 128));
    const Bytes cur = EncodeCursor(img, QPoint(7, 3));
    EXPECT_EQ(U32(cur, 0), 0x00020000u);  // reserved 0, type 2
    EXPECT_EQ(U32(cur, 22 + 8), 64u);     // DIB height: colour and mask
    QPoint hot;
    bool isCursor = false;
    const QImage back = vb::ReadIconFile(cur, &hot, &isCursor);
    EXPECT_TRUE(isCursor);
    EXPECT_EQ(hot, QPoint(7, 3));
    ASSERT_EQ(back.size(), QSize(32, 32));
    EXPECT_EQ(back.pixel(9, 9), qRgba(10, 20, 30, 255));
    EXPECT_EQ(qAlpha(back.pixel(1, 0)), 0);
    EXPECT_EQ(back.pixel(5, 0), qRgba(200, 100, 50, 128));
}

TEST(MakeDataEncoders, WavIsMono16BitPcmAndClips) {
    const Bytes wav = EncodeWav({0.0f, 0.5f, -2.0f, 2.0f}, 22050);
    ASSERT_EQ(wav.size(), 44u + 8);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(U32(wav, 4), wav.size() - 8);
    EXPECT_EQ(U32(wav, 24), 22050u);
    EXPECT_EQ(U32(wav, 40), 8u);
    std::int16_t s[4];
    std::memcpy(s, wav.data() + 44, 8);
    EXPECT_EQ(s[0], 0);
    EXPECT_EQ(s[1], 16384);
    EXPECT_EQ(s[2], -32767);
    EXPECT_EQ(s[3], 32767);
}
