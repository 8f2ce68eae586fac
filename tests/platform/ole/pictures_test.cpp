// Pictures of the control library read from persisted bytes and from files refuse a header that
// claims a size the picture cannot have.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/ole/oleauto.h"
#include "tests/support/media_files.h"
#include "tests/support/test_support.h"

using platform::ole::LoadPictureData;
using platform::ole::LoadPictureFile;
using platform::ole::PictureData;

TEST(PictureLoaders, RefuseAClaimedSizeThatCannotBe) {
    for (const char* type : {"bitmap", "icon"}) {
        PictureData fine{type, 1, 1, testing_support::PngClaiming(1, 1)};
        EXPECT_TRUE(LoadPictureData(fine)) << type;
        PictureData huge{type, 1, 1, testing_support::PngClaiming(30000, 30000)};
        EXPECT_FALSE(LoadPictureData(huge)) << type;
    }
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "huge.bmp", testing_support::OversizedBitmapFile());
    testing_support::WriteFile(dir / "fine.bmp", testing_support::BitmapFile(2, 2, 24, 16));
    EXPECT_FALSE(LoadPictureFile(dir / "huge.bmp"));
    EXPECT_TRUE(LoadPictureFile(dir / "fine.bmp"));
    EXPECT_TRUE(LoadPictureFile(dir / "FINE.BMP")) << "the name matched without regard to case";
    ASSERT_EQ(::mkfifo((dir / "pipe.bmp").c_str(), 0600), 0);
    EXPECT_FALSE(LoadPictureFile(dir / "pipe.bmp")) << "a pipe is no picture and is not waited on";
}
