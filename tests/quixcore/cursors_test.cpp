// The library's cursors: one for each pointer value 1 to 43, each its own picture, shared, with
// its hotspot; none for other values.
#include <gtest/gtest.h>

#include <QImage>
#include <set>
#include <string>

#include "platform/gdi/qt.h"
#include "quixcore/quixcore.h"

TEST(Cursors, EveryPointerValueHasItsOwnCursorAndOthersNone) {
    std::set<std::string> pictures;
    for (short pointer = 1; pointer <= 43; ++pointer) {
        HCURSOR cursor = GetQuixCursor(pointer);
        ASSERT_NE(cursor, nullptr) << pointer;
        EXPECT_EQ(GetQuixCursor(pointer), cursor) << "made once and shared";
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(cursor), &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_LT(info.xHotspot, 32u);
        const QImage image = platform::gdi::IconImage(reinterpret_cast<HICON>(cursor));
        EXPECT_EQ(image.size(), QSize(32, 32));
        pictures.emplace(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    EXPECT_EQ(pictures.size(), 43u) << "no two pointers look the same";
    for (short pointer : {0, -1, 44, 50, 98, 99, 1000}) EXPECT_EQ(GetQuixCursor(pointer), nullptr);
    ICONINFO arrow{};
    GetIconInfo(reinterpret_cast<HICON>(GetQuixCursor(1)), &arrow);
    EXPECT_EQ(arrow.xHotspot, 0u);
    EXPECT_EQ(arrow.yHotspot, 0u);
    DeleteObject(arrow.hbmColor);
    DeleteObject(arrow.hbmMask);
}
