#include "player/ModINI.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(ReadINI, ReturnsTrimmedValuesAndTheDefaultForAnythingMissing) {
    TempDir dir;
    std::string file = dir / "Tavro.ini";
    WriteFile(file,
              "[SkinName]\nSkinName=   Tavro   \n"
              "[Settings]\nPlayT=1200\nempty=\nsentinel=NO_TA\nlower=no_ta\n"
              "long=" +
                  std::string(300, 'x') + "\n");
    struct Case {
        const char* section;
        const char* key;
        vb::Variant def;
        vb::Variant expected;
    } cases[] = {
        {"SkinName", "SkinName", "", "Tavro"},
        {"Settings", "PlayT", "", "1200"},
        {"Settings", "empty", "dflt", ""},  // present but empty: not the default
        {"Settings", "missing", "", ""},
        {"Settings", "missing", "  dflt  ", "dflt"},  // the default comes back trimmed
        {"Missing", "PlayT", "", ""},
        {"Settings", "sentinel", "dflt", "dflt"},  // the stored sentinel reads as missing
        {"Settings", "lower", "dflt", "no_ta"},    // the sentinel test is case-sensitive
        {"Settings", "long", "", std::string(254, 'x')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadINI(c.section, c.key, c.def, file), c.expected) << c.key;
    }
    EXPECT_EQ(ReadINI("SkinName", "SkinName", "", dir / "none.ini"), vb::Variant(""));
}

TEST(ReadINI, ABlankFileArgumentGivesEmptyWithoutReading) {
    EXPECT_TRUE(ReadINI("a", "b", "x", "").IsEmpty());
    EXPECT_TRUE(ReadINI("a", "b", "x", "    ").IsEmpty());
}

TEST(WriteINI, ChangesAnExistingEntryWhateverItsCase) {
    TempDir dir;
    std::string file = dir / "Settings.ini";
    WriteFile(file, "[Configuration]\r\nSkin=Old\r\n");
    WriteINI("Configuration", "skin", "Tavro", file);
    EXPECT_EQ(ReadFile(file), "[Configuration]\r\nSkin=Tavro\r\n");
    EXPECT_EQ(ReadINI("Configuration", "Skin", "", file), vb::Variant("Tavro"));
}

TEST(WriteINI, CreatesAMissingFileAndIgnoresAFailure) {
    TempDir dir;
    WriteINI("Configuration", "skin", "Tavro", dir / "Settings.ini");
    EXPECT_EQ(ReadINI("Configuration", "Skin", "", dir / "Settings.ini"), vb::Variant("Tavro"));
    WriteINI("Configuration", "skin", 12, dir / "Settings.ini");
    EXPECT_EQ(ReadINI("Configuration", "Skin", "", dir / "Settings.ini"), vb::Variant("12"));
    EXPECT_NO_THROW(WriteINI("Configuration", "skin", "x", dir / "missing/Settings.ini"));
}
