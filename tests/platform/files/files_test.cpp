#include "platform/files/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/test_support.h"

using namespace platform::files;
using testing_support::ReadFile;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(NativePath, TurnsTheOriginalsPathsIntoThisSystems) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\Music\\a.mp3", "/Music/a.mp3"},
        {"C:\\", "/"},
        {"d:", "/"},
        {"Sk\\Tavro.ini", "Sk/Tavro.ini"},
        {"/already/native", "/already/native"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(NativePath(c.in), c.out) << c.in;
}

TEST(PathParts, SplitAtTheLastSlash) {
    EXPECT_EQ(FolderOf("/a/b/c.ini"), "/a/b");
    EXPECT_EQ(NameOf("/a/b/c.ini"), "c.ini");
    EXPECT_EQ(FolderOf("/c.ini"), "/");
    EXPECT_EQ(FolderOf("c.ini"), "");
    EXPECT_EQ(NameOf("c.ini"), "c.ini");
}

TEST(Resolve, MatchesEachComponentWithoutRegardToCase) {
    TempDir dir;
    WriteFile(dir / "skins/Blue.Jpg", "x");
    EXPECT_EQ(Resolve(dir / "Skins/Blue.jpg"), dir / "skins/Blue.Jpg");
    EXPECT_EQ(Resolve(dir / "SKINS/BLUE.JPG"), dir / "skins/Blue.Jpg");
    EXPECT_TRUE(Exists(dir / "Skins/blue.jpg"));
    EXPECT_EQ(ReadFile(Resolve(dir / "skins/blue.jpg")), "x");
}

TEST(Resolve, ExactSpellingWinsAndSeveralMatchesAreDeterministic) {
    TempDir dir;
    WriteFile(dir / "a.txt", "lower");
    WriteFile(dir / "A.txt", "upper");
    EXPECT_EQ(Resolve(dir / "a.txt"), dir / "a.txt");
    EXPECT_EQ(Resolve(dir / "A.txt"), dir / "A.txt");
    // Neither spelling exists exactly: the bytewise first match is taken, every time.
    EXPECT_EQ(Resolve(dir / "a.TXT"), dir / "A.txt");
    EXPECT_EQ(Resolve(dir / "a.TXT"), dir / "A.txt");
}

TEST(Resolve, KeepsTheRestOfAPathThatDoesNotExistYet) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Sk");
    EXPECT_EQ(Resolve(dir / "SK/New.ini"), dir / "Sk/New.ini");
    EXPECT_EQ(Resolve(dir / "none/Deeper/x"), dir / "none/Deeper/x");
    EXPECT_FALSE(Exists(dir / "sk/New.ini"));
}

TEST(ReplaceFile, ReplacesTheWholeFileAndKeepsItsMode) {
    TempDir dir;
    std::string path = dir / "Settings.ini";
    WriteFile(path, "old content that is longer");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(ReplaceFile(path, "new"));
    EXPECT_EQ(ReadFile(path), "new");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Nothing is left beside it.
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(ReplaceFile, WritesThroughACaseInsensitiveName) {
    TempDir dir;
    WriteFile(dir / "Settings.ini", "old");
    ASSERT_TRUE(ReplaceFile(dir / "SETTINGS.INI", "new"));
    EXPECT_EQ(ReadFile(dir / "Settings.ini"), "new");
    EXPECT_FALSE(std::filesystem::exists(dir / "SETTINGS.INI"));
}

TEST(ReplaceFile, ReplacesAFileWhoseNameIsAsLongAsANameCanBe) {
    TempDir dir;
    std::string path = dir / std::string(255, 'n');
    ASSERT_TRUE(ReplaceFile(path, "first"));
    ASSERT_TRUE(ReplaceFile(path, "second"));
    EXPECT_EQ(ReadFile(path), "second");
}

TEST(ReplaceFile, ReportsAMissingFolder) {
    TempDir dir;
    std::string why;
    EXPECT_FALSE(ReplaceFile(dir / "missing/file.txt", "x", &why));
    EXPECT_NE(why.find("missing"), std::string::npos) << why;
}

TEST(ProgramFolder, IsTheExecutablesFolderUnlessTheVariableNamesOne) {
    {
        ScopedEnv env(kProgramDirVariable, std::nullopt);
        EXPECT_EQ(ProgramFolder(), FolderOf(ExecutablePath()));
    }
    ScopedEnv env(kProgramDirVariable, std::string("/some/where/"));
    EXPECT_EQ(ProgramFolder(), "/some/where");
    EXPECT_EQ(ExecutableName(), "files_test");
}
