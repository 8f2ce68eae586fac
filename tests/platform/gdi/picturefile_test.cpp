#include "platform/gdi/picturefile.h"

#include <gtest/gtest.h>

#include "tests/support/media_files.h"

using platform::gdi::DecodePicture;
using testing_support::BitmapFile;

TEST(DecodePicture, ReadsPicturesWhoseHeaderFitsTheFile) {
    struct Case {
        const char* name;
        std::string bytes;
        int width, height;
    } cases[] = {
        {"24-bit bitmap", BitmapFile(2, 2, 24, 16), 2, 2},
        {"top-down bitmap", BitmapFile(3, -2, 24, 24), 3, 2},
        {"1-bit bitmap", BitmapFile(9, 3, 1, 12 + 8), 9, 3},
        {"png", testing_support::PngClaiming(1, 1), 1, 1},
    };
    for (const auto& c : cases) {
        std::string why;
        QImage image = DecodePicture(c.bytes, nullptr, &why);
        ASSERT_FALSE(image.isNull()) << c.name << ": " << why;
        EXPECT_EQ(image.width(), c.width) << c.name;
        EXPECT_EQ(image.height(), c.height) << c.name;
    }
}

TEST(DecodePicture, RefusesAClaimedSizeBeforeAllocatingIt) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"63 bytes claiming 3,277,321 x 10", testing_support::OversizedBitmapFile(),
         "more than its file holds"},
        {"rows beyond the file", BitmapFile(100, 100, 24, 99 * 300), "more than its file holds"},
        {"wider than any picture", BitmapFile(20000, 1, 8, 20000), "more than a picture may have"},
        {"run-length coded, claiming 10,000 x 10,000", BitmapFile(10000, 10000, 8, 4, 1),
         "more than a picture may have"},
        {"png claiming 20,000 x 20,000", testing_support::PngClaiming(20000, 20000),
         "more than a picture may have"},
        {"png claiming 7,000 x 7,000", testing_support::PngClaiming(7000, 7000),
         "more than a picture may have"},
        {"no size", BitmapFile(0, 5, 24, 0), "has no size"},
        {"cut short", std::string("BM\x10\0\0\0", 6), "cut short"},
        {"not a picture", "plain text, not a picture", "no picture"},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_TRUE(DecodePicture(c.bytes, nullptr, &why).isNull()) << c.name;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.name << ": " << why;
    }
}
