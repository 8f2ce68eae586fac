// The drawing library's string table, read as the control's pages read it: by the library's
// module name and string number.
#include <gtest/gtest.h>

#include <string>

#include "platform/com/activation.h"
#include "platform/com/resources.h"
#include "quixcore/quixcore.h"

namespace {

void Anchor() {}

class StringTable : public ::testing::Test {
protected:
    void SetUp() override {
        // The program is linked against the library and calls it, as the control library is
        // and does, so the library is loaded and its module name finds it.
        ASSERT_EQ(GetQuixCursor(0), nullptr);
        library = LoadLibraryA("quixcore.DLL");
        ASSERT_NE(library, nullptr);
    }
    void TearDown() override { FreeLibrary(library); }
    std::string Text(UINT id, int size = kQuixStringBuffer) {
        std::string buffer(static_cast<std::size_t>(size), '?');
        int n = LoadStringA(library, id, buffer.data(), size);
        std::string text = buffer.c_str();
        EXPECT_EQ(n, static_cast<int>(text.size()));
        return text;
    }
    HMODULE library = nullptr;
};

}  // namespace

TEST_F(StringTable, NamesEveryValueOfEachListWithTheValueFirst) {
    struct List {
        UINT base;
        int count;
        const char* first;
        const char* last;
    };
    const List lists[] = {
        {IDS_QUIX_MEFFECT, 114, "0 - No Effect", "113 - Vert Interlace Slide"},
        {IDS_QUIX_DEFFECT, 114, "0 - No Effect", "113 - Vert Interlace Slide"},
        {IDS_QUIX_GRADIENT, 20, "0 - Left To Right", "19 - Vertical From Center"},
        {IDS_QUIX_POINTER, 45, "0 - Default", "99 - Custom"},
        {IDS_QUIX_CANCELMODE, 10, "0 - None", "9 - Key Or Mouse Move"},
        {IDS_QUIX_SHAPE, 18, "0 - Rectangle", "17 - Line"},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.base);
        EXPECT_EQ(Text(list.base), list.first);
        EXPECT_EQ(Text(list.base + list.count - 1), list.last);
        for (int i = 0; i < list.count; ++i) {
            std::string text = Text(list.base + i);
            // The pointer list's last entry stands for the custom pointer 99.
            int value = list.base == IDS_QUIX_POINTER && i == 44 ? 99 : i;
            EXPECT_EQ(text.rfind(std::to_string(value) + " - ", 0), 0u) << text;
            EXPECT_GT(text.size(), std::to_string(value).size() + 3) << text;
        }
        EXPECT_EQ(Text(list.base + list.count), "") << "no string after the list";
        EXPECT_EQ(Text(list.base - 1), "") << "no string before the list";
    }
}

TEST_F(StringTable, CutsATextToTheBufferAndAnswersNothingWithoutATable) {
    EXPECT_EQ(Text(IDS_QUIX_SHAPE + 4, 8), "4 - Rou");
    char buffer[4] = "xyz";
    EXPECT_EQ(LoadStringA(library, IDS_QUIX_SHAPE, buffer, 0), 0);
    EXPECT_STREQ(buffer, "xyz") << "no room, nothing written";
    EXPECT_EQ(LoadStringA(library, IDS_QUIX_SHAPE, nullptr, 30), 0);
    // A module without a string table of its own (the test program, which links the library),
    // and no module at all.
    HMODULE program = platform::com::ModuleOfAddress(reinterpret_cast<const void*>(&Anchor));
    EXPECT_EQ(LoadStringA(program, IDS_QUIX_SHAPE, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(LoadStringA(nullptr, IDS_QUIX_SHAPE, buffer, sizeof buffer), 0);
}
