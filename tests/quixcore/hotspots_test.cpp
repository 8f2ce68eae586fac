// Hotspot sets: the bytes of files and arrays, the records in memory, switching and the hit test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "quixcore/quixcore.h"
#include "tests/support/test_support.h"

namespace {

// The bytes of one hotspot (docs/hotspots.md).
struct Spot {
    short id = 1;
    short priority = 0;
    BYTE flags = 1;
    std::string name = "spot";
    std::vector<std::pair<int, int>> points{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
};

void Put16(std::string& b, int v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, int v) {
    for (int i = 0; i < 4; ++i)
        b += static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF);
}

std::string Bytes(const std::vector<Spot>& spots, int count = -1) {
    std::string b = "QHSP";
    Put16(b, 1);
    Put16(b, count < 0 ? static_cast<int>(spots.size()) : count);
    for (const Spot& s : spots) {
        Put16(b, s.id);
        Put16(b, s.priority);
        b += static_cast<char>(s.flags);
        b += static_cast<char>(s.name.size());
        b += s.name;
        Put16(b, static_cast<int>(s.points.size()));
        for (auto [x, y] : s.points) {
            Put32(b, x);
            Put32(b, y);
        }
    }
    return b;
}

// A set and its block, freed at the end.
struct Set {
    short count = 0;
    HGLOBAL block = nullptr;
    ~Set() {
        if (block) GlobalFree(block);
    }
    short Load(const std::string& bytes, float xScale = 1, float yScale = 1) {
        return LoadHotspotResource(reinterpret_cast<const BYTE*>(bytes.data()),
                                   static_cast<ULONG>(bytes.size()), &count, &block, xScale,
                                   yScale);
    }
    std::string Written() const {
        std::string out(WriteHotspotBytes(count, block, nullptr, 0), '\0');
        WriteHotspotBytes(count, block, reinterpret_cast<BYTE*>(out.data()),
                          static_cast<ULONG>(out.size()));
        return out;
    }
    // The record's field at the offset, as the control reads it.
    int Field16(int record, int offset) const {
        auto* r = static_cast<const BYTE*>(GlobalLock(block)) + record * HotspotRecordSize;
        int v = static_cast<short>(r[offset] | (r[offset + 1] << 8));
        GlobalUnlock(block);
        return v;
    }
    int Point(int record, int k, int axis) const {
        auto* r = static_cast<const BYTE*>(GlobalLock(block)) + record * HotspotRecordSize;
        int v;
        std::memcpy(&v, r + 48 + 8 * k + 4 * axis, 4);
        GlobalUnlock(block);
        return v;
    }
    // The hit test: "id name priority", or "none".
    std::string At(int x, int y, int nameSize = 32) const {
        char name[64] = "untouched";
        short id = -5, priority = -5;
        if (HotspotAt(count, block, x, y, name, nameSize, &id, &priority) != QUIX_OK) {
            EXPECT_STREQ(name, "untouched");
            EXPECT_EQ(id, -5);
            return "none";
        }
        return std::to_string(id) + " " + name + " " + std::to_string(priority);
    }
};

}  // namespace

TEST(Hotspots, BytesLoadIntoRecordsAndWriteBackTheSame) {
    Spot head{7, 2, 1, "Head", {{-5, 3}, {40, 3}, {40, 30}}};
    Spot off{-2, 0, 0, "", {{1, 1}}};
    std::string bytes = Bytes({head, off});
    Set set;
    ASSERT_EQ(set.Load(bytes), QUIX_OK);
    ASSERT_EQ(set.count, 2);
    EXPECT_EQ(GlobalSize(set.block), 2 * HotspotRecordSize);
    // What the control reads: the point count at 0, the id at 40, the points from 48.
    EXPECT_EQ(set.Field16(0, 0), 3);
    EXPECT_EQ(set.Field16(0, 40), 7);
    EXPECT_EQ(set.Point(0, 0, 0), -5);
    EXPECT_EQ(set.Point(0, 2, 1), 30);
    EXPECT_EQ(set.Field16(1, 0), 1);
    EXPECT_EQ(set.Field16(1, 40), -2);
    EXPECT_EQ(set.Written(), bytes);

    // Through a file, and scaled.
    testing_support::TempDir dir;
    std::string path = dir.path() + "/spots.hsp";
    ASSERT_EQ(SaveHotspotFile(path.c_str(), set.count, set.block), QUIX_OK);
    EXPECT_EQ(testing_support::ReadFile(path), bytes);
    Set fromFile;
    ASSERT_EQ(LoadHotspotFile(path.c_str(), &fromFile.count, &fromFile.block, 2.0f, 0.5f), QUIX_OK);
    EXPECT_EQ(fromFile.Point(0, 0, 0), -10);
    EXPECT_EQ(fromFile.Point(0, 2, 1), 15);

    // An empty set has no block.
    Set empty;
    ASSERT_EQ(empty.Load(Bytes({})), QUIX_OK);
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(empty.block, nullptr);
    EXPECT_EQ(empty.Written(), Bytes({}));
}

TEST(Hotspots, ALoadReplacesTheSetAndAFailedOneLeavesIt) {
    Set set;
    ASSERT_EQ(IQuixAddHotspot(0, 0, 5, 5, 1, "first", &set.count, &set.block), QUIX_OK);
    HGLOBAL first = set.block;
    ASSERT_EQ(set.Load(Bytes({Spot{}, Spot{}})), QUIX_OK);
    EXPECT_EQ(set.count, 2);
    EXPECT_EQ(GlobalSize(first), 0u) << "the old block is freed";

    HGLOBAL loaded = set.block;
    EXPECT_EQ(set.Load("QHSP"), QUIX_E_FORMAT);
    EXPECT_EQ(set.count, 2);
    EXPECT_EQ(set.block, loaded);
    EXPECT_EQ(LoadHotspotFile("/no/such/file.hsp", &set.count, &set.block, 1, 1), QUIX_E_FILE);
    EXPECT_EQ(LoadHotspotFile("", &set.count, &set.block, 1, 1), QUIX_E_FILE);
    EXPECT_EQ(set.block, loaded);
}

TEST(Hotspots, MalformedBytesAreRefusedWhole) {
    auto with = [](auto change) {
        Spot s;
        change(s);
        return Bytes({Spot{}, s});
    };
    std::string good = Bytes({Spot{}, Spot{}});
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"nothing", ""},
        {"another tag", "QHSX" + good.substr(4)},
        {"another version", good.substr(0, 4) + std::string("\x02\x00", 2) + good.substr(6)},
        {"more hotspots counted than given", Bytes({Spot{}, Spot{}}, 3)},
        {"fewer counted than given", Bytes({Spot{}, Spot{}}, 1)},
        {"the last byte missing", good.substr(0, good.size() - 1)},
        {"a byte left over", good + '\0'},
        {"no points", with([](Spot& s) { s.points.clear(); })},
        {"101 points", with([](Spot& s) {
             s.points.assign(101, {1, 1});
         })},
        {"a point out of range", with([](Spot& s) {
             s.points[1] = {32768, 0};
         })},
        {"a name of 32 bytes", with([](Spot& s) { s.name.assign(32, 'n'); })},
        {"a zero in the name", with([](Spot& s) { s.name = std::string("a\0b", 3); })},
        {"an unknown flag", with([](Spot& s) { s.flags = 3; })},
    };
    for (const Case& c : cases) {
        Set set;
        EXPECT_EQ(set.Load(c.bytes), QUIX_E_FORMAT) << c.what;
        EXPECT_EQ(set.count, 0) << c.what;
        EXPECT_EQ(set.block, nullptr) << c.what;
    }
    // A scale that takes a point out of range.
    Set set;
    EXPECT_EQ(set.Load(with([](Spot& s) { s.points[1] = {20000, 0}; }), 2.0f, 1.0f), QUIX_E_FORMAT);
    EXPECT_EQ(set.Load(good, 1.0f, 2.0f), QUIX_OK);
}

TEST(Hotspots, TheHitTestTakesPixelCentresTheHighestPriorityAndTheLastOfEqualOnes) {
    Set set;
    ASSERT_EQ(set.Load(Bytes({
                  Spot{1, 0, 1, "Square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}},
                  Spot{2, 0, 1, "Later", {{5, 5}, {10, 5}, {10, 10}, {5, 10}}},
                  Spot{3, -1, 1, "Low", {{0, 0}, {3, 0}, {3, 3}, {0, 3}}},
                  Spot{4, 9, 0, "Disabled", {{0, 0}, {30, 0}, {30, 30}, {0, 30}}},
                  Spot{5, 0, 1, "Triangle", {{20, 0}, {30, 10}, {20, 10}}},
              })),
              QUIX_OK);
    EXPECT_EQ(set.At(0, 0), "1 Square 0");
    EXPECT_EQ(set.At(9, 9), "2 Later 0") << "of equal priorities the later";
    EXPECT_EQ(set.At(4, 4), "1 Square 0");
    EXPECT_EQ(set.At(1, 1), "1 Square 0") << "a higher priority wins over a later hotspot";
    EXPECT_EQ(set.At(10, 3), "none") << "the right edge is outside";
    EXPECT_EQ(set.At(-1, 3), "none");
    EXPECT_EQ(set.At(21, 8), "5 Triangle 0");
    EXPECT_EQ(set.At(28, 3), "none") << "above the triangle's slope";
    EXPECT_EQ(set.At(2, 2, 4), "1 Squ 0") << "the name cut to the buffer";

    // Switching the disabled one on (from 1, in the set's order) puts it over everything.
    EXPECT_EQ(EnableHotspot(set.count, set.block, 4, 1), QUIX_OK);
    EXPECT_EQ(set.At(25, 25), "4 Disabled 9");
    EXPECT_EQ(EnableHotspot(set.count, set.block, 4, 0), QUIX_OK);
    EXPECT_EQ(EnableHotspot(set.count, set.block, 1, 0), QUIX_OK);
    EXPECT_EQ(set.At(0, 0), "3 Low -1");
    for (short index : {0, 6, -1}) {
        EXPECT_EQ(EnableHotspot(set.count, set.block, index, 1), QUIX_E_ARGUMENT) << index;
    }
    EXPECT_EQ(EnableHotspot(0, nullptr, 1, 1), QUIX_E_ARGUMENT);
    EXPECT_EQ(EnableHotspot(6, set.block, 6, 1), QUIX_E_HANDLE) << "a block too small";
    EXPECT_EQ(HotspotAt(0, nullptr, 0, 0, nullptr, 0, nullptr, nullptr), QUIX_E_HANDLE);
}

TEST(Hotspots, AddedRectanglesJoinTheSet) {
    Set set;
    ASSERT_EQ(IQuixAddHotspot(2, 3, 8, 6, 11, "Door", &set.count, &set.block), QUIX_OK);
    ASSERT_EQ(IQuixAddHotspot(0, 0, 4, 4, 12, std::string(40, 'w').c_str(), &set.count, &set.block),
              QUIX_OK);
    EXPECT_EQ(set.count, 2);
    EXPECT_EQ(set.Field16(0, 0), 4);
    EXPECT_EQ(set.Field16(0, 40), 11);
    EXPECT_EQ(set.Point(0, 1, 0), 8);
    EXPECT_EQ(set.Point(0, 1, 1), 3);
    EXPECT_EQ(set.At(5, 3), "11 Door 0");
    EXPECT_EQ(set.At(7, 5), "11 Door 0");
    EXPECT_EQ(set.At(8, 5), "none");
    EXPECT_EQ(set.At(0, 0, 64), "12 " + std::string(31, 'w') + " 0") << "the name cut to 31";
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(IQuixAddHotspot(0, 0, 1, 1, 100 + i, "", &set.count, &set.block), QUIX_OK);
    }
    EXPECT_EQ(set.count, 22);
    EXPECT_EQ(set.Field16(21, 40), 119);
    // The written bytes hold exactly the set.
    Set again;
    ASSERT_EQ(again.Load(set.Written()), QUIX_OK);
    EXPECT_EQ(again.count, 22);
    EXPECT_EQ(again.Written(), set.Written());

    short full = kMaxHotspots;
    HGLOBAL none = nullptr;
    EXPECT_EQ(IQuixAddHotspot(0, 0, 1, 1, 1, "", &full, &none), QUIX_E_ARGUMENT);
    EXPECT_EQ(SaveHotspotFile("/no/such/folder/x.hsp", set.count, set.block), QUIX_E_FILE);
}
