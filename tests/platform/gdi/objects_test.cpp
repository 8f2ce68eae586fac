#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"

TEST(GdiObjects, HandlesAreNeverReusedAndStockObjectsStay) {
    HBRUSH a = CreateSolidBrush(0);
    EXPECT_EQ(GetObjectType(a), OBJ_BRUSH);
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_EQ(GetObjectType(a), 0u);
    HBRUSH b = CreateSolidBrush(0);
    EXPECT_NE(a, b);
    DeleteObject(b);

    HGDIOBJ null = GetStockObject(NULL_BRUSH);
    EXPECT_EQ(GetObjectType(null), OBJ_BRUSH);
    EXPECT_TRUE(DeleteObject(null));
    EXPECT_EQ(GetObjectType(null), OBJ_BRUSH);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), null);
    EXPECT_EQ(GetStockObject(9), nullptr);
}

TEST(GdiObjects, PalettesKeepTheirEntries) {
    alignas(LOGPALETTE) unsigned char buffer[sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY)];
    auto* log = reinterpret_cast<LOGPALETTE*>(buffer);
    log->palVersion = 0x300;
    log->palNumEntries = 3;
    for (int i = 0; i < 3; ++i) log->palPalEntry[i] = {BYTE(i), BYTE(10 * i), BYTE(20 * i), 0};
    HPALETTE pal = CreatePalette(log);
    ASSERT_NE(pal, nullptr);
    WORD count = 0;
    EXPECT_EQ(GetObject(pal, sizeof count, &count), 2);
    EXPECT_EQ(count, 3);
    PALETTEENTRY entries[4];
    EXPECT_EQ(GetPaletteEntries(pal, 1, 4, entries), 2u);
    EXPECT_EQ(entries[1].peGreen, 20);
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 3u);
    EXPECT_EQ(GetObjectType(pal), OBJ_PAL);
    DeleteObject(pal);
    log->palVersion = 0x200;
    EXPECT_EQ(CreatePalette(log), nullptr);
}

TEST(GdiObjects, IconsCopyTheirBitmapsAndMetafilesKeepTheirRecords) {
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    const unsigned char maskBits[] = {0x40, 0x00};  // the second pixel is transparent
    ICONINFO info{TRUE, 0, 0, CreateBitmap(2, 1, 1, 1, maskBits),
                  platform::gdi::BitmapFromImage(picture)};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    ASSERT_NE(icon, nullptr);
    QImage shown = platform::gdi::IconImage(icon);
    EXPECT_EQ(shown.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(shown.pixel(1, 0)), 0);
    ICONINFO back{};
    ASSERT_TRUE(GetIconInfo(icon, &back));
    EXPECT_EQ(platform::gdi::ImageOf(back.hbmColor).pixel(1, 0), qRgb(0, 255, 0));
    DeleteObject(back.hbmMask);
    DeleteObject(back.hbmColor);
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(icon))) << "icons go with DestroyIcon";
    EXPECT_TRUE(DestroyIcon(icon));

    const BYTE records[] = {1, 2, 3, 4, 5};
    HMETAFILE mf = SetMetaFileBitsEx(sizeof records, records);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(mf)), OBJ_METAFILE);
    BYTE out[5];
    EXPECT_EQ(GetMetaFileBitsEx(mf, 0, nullptr), 5u);
    EXPECT_EQ(GetMetaFileBitsEx(mf, 4, out), 0u);
    EXPECT_EQ(GetMetaFileBitsEx(mf, 5, out), 5u);
    EXPECT_EQ(std::memcmp(out, records, 5), 0);
    EXPECT_TRUE(DeleteMetaFile(mf));
    HENHMETAFILE emf = SetEnhMetaFileBits(sizeof records, records);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(emf)), OBJ_ENHMETAFILE);
    EXPECT_FALSE(DeleteMetaFile(reinterpret_cast<HMETAFILE>(emf)));
    EXPECT_TRUE(DeleteEnhMetaFile(emf));
}

TEST(GlobalMemory, BlocksLiveUntilFreedAndKeepTheirContent) {
    HGLOBAL block = GlobalAlloc(GHND, 16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 16u);
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[15], 0);
    p[0] = 42;
    EXPECT_EQ(GlobalReAlloc(block, 32, GMEM_ZEROINIT), nullptr) << "locked blocks do not move";
    EXPECT_FALSE(GlobalUnlock(block));
    ASSERT_EQ(GlobalReAlloc(block, 32, GMEM_ZEROINIT), block);
    p = static_cast<unsigned char*>(GlobalLock(block));
    EXPECT_EQ(p[0], 42);
    EXPECT_EQ(p[31], 0);
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_EQ(GlobalLock(block), nullptr);
}

TEST(GdiObjects, AreMadeAndDeletedFromSeveralThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 500; ++i) {
                HDC dc = CreateCompatibleDC(nullptr);
                HBITMAP b = CreateBitmap(4, 4, 1, 32, nullptr);
                HGDIOBJ old = SelectObject(dc, b);
                if (SetPixel(dc, 1, 1, RGB(t, i % 256, 0)) != RGB(t, i % 256, 0)) ++failures[t];
                SelectObject(dc, old);
                if (!DeleteObject(b) || !DeleteDC(dc)) ++failures[t];
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}
