#include "platform/profile/profile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/test_support.h"

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

std::string Get(const std::string& file, const char* section, const char* key,
                const char* def = "DEF", DWORD size = 256) {
    std::string buf(size + 8, '#');
    DWORD n = GetPrivateProfileStringA(section, key, def, buf.data(), size, file.c_str());
    EXPECT_EQ(buf[n], '\0');
    return buf.substr(0, n);
}

const char* kFixture =
    "; a comment\r\n"
    "[Configuration]\r\n"
    "Skin=Tavro\r\n"
    "  Spaced Key  =   spaced value   \r\n"
    "quoted=\"  in quotes  \"\r\n"
    "single='x'\r\n"
    "mismatched=\"x'\r\n"
    "empty=\r\n"
    "dup=first\r\n"
    "DUP=second\r\n"
    "\r\n"
    "[ Other ]\r\n"
    "skin=other\r\n"
    "[configuration]\r\n"
    "skin=second section\r\n"
    "late=only in the second section\r\n";

}  // namespace

TEST(GetPrivateProfileString, ReadsValuesByTheRules) {
    TempDir dir;
    std::string file = dir / "Settings.ini";
    WriteFile(file, kFixture);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Configuration", "Skin", "Tavro"},
        {"CONFIGURATION", "skin", "Tavro"},  // names match without regard to case
        {"Configuration", "Spaced Key", "spaced value"},
        {"Configuration", "quoted", "  in quotes  "},
        {"Configuration", "single", "x"},
        {"Configuration", "mismatched", "\"x'"},
        {"Configuration", "empty", ""},     // present but empty: not the default
        {"Configuration", "dup", "first"},  // the first matching key wins
        {"Other", "skin", "other"},         // spaces around a section name are dropped
        {"Configuration", "late", "DEF"},   // the first matching section wins
        {"Configuration", "missing", "DEF"},
        {"Missing", "Skin", "DEF"},
        {"Configuration", "; a comment", "DEF"},
        {" Configuration ", "  Skin ", "Tavro"},  // and so are spaces around the names asked for
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Get(file, c.section, c.key), c.expected) << c.section << "/" << c.key;
    }
}

TEST(GetPrivateProfileString, GivesTheDefaultForAMissingFile) {
    TempDir dir;
    EXPECT_EQ(Get(dir / "none.ini", "a", "b", "fallback"), "fallback");
    EXPECT_EQ(Get(dir / "none.ini", "a", "b", "trailing   "), "trailing");
    EXPECT_EQ(Get(dir / "none.ini", "a", "b", nullptr), "");
}

TEST(GetPrivateProfileString, ReadsEveryKindOfLineEnding) {
    TempDir dir;
    std::string longValue(5000, 'v');
    struct Case {
        const char* name;
        std::string text;
    } cases[] = {
        {"lf", "[s]\nk=lf\nother=1\n"},
        {"crlf", "[s]\r\nk=crlf\r\nother=1\r\n"},
        {"cr", "[s]\rk=cr\rother=1\r"},
        {"no final newline", "[s]\nother=1\nk=last"},
        {"long line", "[s]\nlong=" + longValue + "\nk=after long\n"},
    };
    const char* expected[] = {"lf", "crlf", "cr", "last", "after long"};
    int i = 0;
    for (const auto& c : cases) {
        std::string file = dir / (std::string(c.name) + ".ini");
        WriteFile(file, c.text);
        EXPECT_EQ(Get(file, "s", "k"), expected[i++]) << c.name;
    }
    EXPECT_EQ(Get(dir / "long line.ini", "s", "long", "", 6000), longValue);
}

TEST(GetPrivateProfileString, CutsTheResultToTheBuffer) {
    TempDir dir;
    std::string file = dir / "a.ini";
    WriteFile(file, "[s]\nk=0123456789\n");
    EXPECT_EQ(Get(file, "s", "k", "", 5), "0123");
    EXPECT_EQ(Get(file, "s", "k", "", 11), "0123456789");
    EXPECT_EQ(Get(file, "s", "k", "", 1), "");
    EXPECT_EQ(Get(file, "s", "missing", "defaultvalue", 4), "def");
}

TEST(GetPrivateProfileString, ListsSectionsAndKeys) {
    TempDir dir;
    std::string file = dir / "a.ini";
    WriteFile(file, "[one]\na=1\nb=2\n[two]\n");
    char buf[64];
    DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof buf, file.c_str());
    EXPECT_EQ(std::string(buf, n + 1), std::string("one\0two\0\0", 9));
    n = GetPrivateProfileStringA("ONE", nullptr, "", buf, sizeof buf, file.c_str());
    EXPECT_EQ(std::string(buf, n + 1), std::string("a\0b\0\0", 5));
}

TEST(WritePrivateProfileString, CreatesTheFileTheSectionAndTheKey) {
    TempDir dir;
    std::string file = dir / "Settings.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Configuration", "skin", "Tavro", file.c_str()));
    EXPECT_EQ(ReadFile(file), "[Configuration]\r\nskin=Tavro\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("Other", "k", "v", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Configuration", "second", "2", file.c_str()));
    EXPECT_EQ(ReadFile(file), "[Configuration]\r\nskin=Tavro\r\nsecond=2\r\n[Other]\r\nk=v\r\n");
}

TEST(WritePrivateProfileString, ReplacesInPlaceAndKeepsEveryOtherLine) {
    TempDir dir;
    std::string file = dir / "Settings.ini";
    WriteFile(file,
              "; keep me\n"
              "[Configuration]\n"
              "Skin = Old  \n"
              "other=1\n"
              "\n"
              "[Info]\n"
              "AuthorName=Someone\n");
    ASSERT_TRUE(WritePrivateProfileStringA("configuration", "skin", "New", file.c_str()));
    EXPECT_EQ(ReadFile(file),
              "; keep me\r\n"
              "[Configuration]\r\n"
              "Skin=New\r\n"
              "other=1\r\n"
              "\r\n"
              "[Info]\r\n"
              "AuthorName=Someone\r\n");
    // A new key lands at the end of its section, before the blank line.
    ASSERT_TRUE(WritePrivateProfileStringA("Configuration", "added", "x", file.c_str()));
    EXPECT_EQ(Get(file, "Configuration", "added"), "x");
    EXPECT_NE(ReadFile(file).find("other=1\r\nadded=x\r\n\r\n[Info]"), std::string::npos);
}

TEST(WritePrivateProfileString, ChangesOnlyTheFirstOfDuplicatesAndDropsSpacesAroundNames) {
    TempDir dir;
    std::string file = dir / "Settings.ini";
    WriteFile(file,
              "[S]\r\n"
              "dup=1\r\n"
              "DUP=2\r\n"
              "[s]\r\n"
              "dup=3\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA(" s ", " Dup ", "  new  ", file.c_str()));
    EXPECT_EQ(ReadFile(file), "[S]\r\ndup=new\r\nDUP=2\r\n[s]\r\ndup=3\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA(" Fresh ", " k ", " v ", file.c_str()));
    EXPECT_NE(ReadFile(file).find("[Fresh]\r\nk=v\r\n"), std::string::npos);
}

TEST(WritePrivateProfileString, RemovesKeysAndSections) {
    TempDir dir;
    std::string file = dir / "a.ini";
    WriteFile(file, "[a]\nk=1\nj=2\n[b]\nx=1\n");
    ASSERT_TRUE(WritePrivateProfileStringA("a", "K", nullptr, file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("B", nullptr, nullptr, file.c_str()));
    EXPECT_EQ(ReadFile(file), "[a]\r\nj=2\r\n");
}

TEST(WritePrivateProfileString, ReportsFailure) {
    TempDir dir;
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", (dir / "missing/a.ini").c_str()));
    std::string file = dir / "readonly.ini";
    WriteFile(file, "[s]\nk=old\n");
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "new", file.c_str()));
    EXPECT_EQ(ReadFile(file), "[s]\nk=old\n");
}

TEST(WritePrivateProfileString, WritesBytesAsGiven) {
    TempDir dir;
    std::string file = dir / "a.ini";
    const char* text = "caf\xe9 \xc3\xa9";
    ASSERT_TRUE(WritePrivateProfileStringA("s", "k", text, file.c_str()));
    EXPECT_EQ(Get(file, "s", "k"), text);
}

namespace {

// Files kept by the profile functions: a clock far ahead of every file's change time lets each
// file be kept, as a file the user has not touched for a while is.
class KeptFiles : public testing::Test {
protected:
    void SetUp() override {
        platform::profile::SetCacheClockForTest([] { return timespec{4'000'000'000, 0}; });
    }
    void TearDown() override { platform::profile::SetCacheClockForTest(nullptr); }

    static struct stat StatOf(const std::string& file) {
        struct stat st {};
        EXPECT_EQ(::stat(file.c_str(), &st), 0);
        return st;
    }

    // Overwrites the file's bytes in place with `text` of the same length and sets its
    // modification time back to what it was: only the change time tells the change, so this
    // waits until the file system's clock has moved past the old one.
    static void RewriteInPlace(const std::string& file, const std::string& text) {
        struct stat before = StatOf(file);
        ASSERT_EQ(before.st_size, static_cast<off_t>(text.size()));
        int fd = ::open(file.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
        ::close(fd);
        timespec times[2] = {before.st_atim, before.st_mtim};
        for (int i = 0; i < 1000; ++i) {
            ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
            struct stat now = StatOf(file);
            if (now.st_ctim.tv_sec != before.st_ctim.tv_sec ||
                now.st_ctim.tv_nsec != before.st_ctim.tv_nsec) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        struct stat after = StatOf(file);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    }
};

}  // namespace

TEST_F(KeptFiles, AnUnchangedFileIsReadOnceForEveryQuestion) {
    TempDir dir;
    std::string file = dir / "Tavro.ini";
    WriteFile(file, "[Skin]\na=1\nb=2\n");
    size_t reads = platform::profile::FileReadsForTest();
    EXPECT_EQ(Get(file, "Skin", "a"), "1");
    EXPECT_EQ(Get(file, "skin", "b"), "2");
    EXPECT_EQ(Get(file, "Skin", "missing"), "DEF");
    char buf[64];
    GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof buf, file.c_str());
    EXPECT_EQ(platform::profile::FileReadsForTest(), reads + 1);
}

TEST_F(KeptFiles, AChangeByAnotherWriterIsSeenAtTheNextRead) {
    // Each change keeps the size and the modification time of the file read first.
    struct Case {
        const char* name;
        void (*change)(const std::string& file, const std::string& folder);
    } cases[] = {
        {"rewritten in place",
         [](const std::string& file, const std::string&) { RewriteInPlace(file, "[s]\nk=new\n"); }},
        {"replaced by another file",
         [](const std::string& file, const std::string& folder) {
             std::string other = folder + "/other.ini";
             WriteFile(other, "[s]\nk=new\n");
             struct stat st = StatOf(file);
             timespec times[2] = {st.st_atim, st.st_mtim};
             ASSERT_EQ(::utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
             ASSERT_EQ(std::rename(other.c_str(), file.c_str()), 0);
         }},
        {"written by this process",
         [](const std::string& file, const std::string&) {
             ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "new", file.c_str()));
         }},
    };
    for (const auto& c : cases) {
        TempDir dir;
        std::string file = dir / "a.ini";
        WriteFile(file, "[s]\nk=old\n");
        EXPECT_EQ(Get(file, "s", "k"), "old") << c.name;
        c.change(file, dir.path());
        EXPECT_EQ(Get(file, "s", "k"), "new") << c.name;
        EXPECT_EQ(Get(file, "s", "k"), "new") << c.name;
    }
}

TEST_F(KeptFiles, AFileRemovedGivesTheDefaultAndIsReadAgainWhenItReturns) {
    TempDir dir;
    std::string file = dir / "a.ini";
    WriteFile(file, "[s]\nk=old\n");
    EXPECT_EQ(Get(file, "s", "k"), "old");
    ASSERT_EQ(::unlink(file.c_str()), 0);
    EXPECT_EQ(Get(file, "s", "k"), "DEF");
    WriteFile(file, "[s]\nk=new\n");
    EXPECT_EQ(Get(file, "s", "k"), "new");
}

TEST_F(KeptFiles, ALinkIsReadThroughToTheFileItNamesNow) {
    TempDir dir;
    WriteFile(dir / "one.ini", "[s]\nk=one\n");
    WriteFile(dir / "two.ini", "[s]\nk=two\n");
    std::string link = dir / "skin.ini";
    ASSERT_EQ(::symlink((dir / "one.ini").c_str(), link.c_str()), 0);
    EXPECT_EQ(Get(link, "s", "k"), "one");
    ASSERT_EQ(::unlink(link.c_str()), 0);
    ASSERT_EQ(::symlink((dir / "two.ini").c_str(), link.c_str()), 0);
    EXPECT_EQ(Get(link, "s", "k"), "two");
    ASSERT_EQ(::unlink(link.c_str()), 0);
    ASSERT_EQ(::symlink((dir / "none.ini").c_str(), link.c_str()), 0);
    EXPECT_EQ(Get(link, "s", "k"), "DEF");
}

TEST(GetPrivateProfileString, AFileChangedInTheSecondItIsReadIsReadAgain) {
    // With the system's clock: the file was just written, so a change in the same tick of the
    // file system's clock could leave its size and times as they were.
    TempDir dir;
    std::string file = dir / "a.ini";
    WriteFile(file, "[s]\nk=old\n");
    EXPECT_EQ(Get(file, "s", "k"), "old");
    int fd = ::open(file.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, "[s]\nk=new\n", 10, 0), 10);
    ::close(fd);
    EXPECT_EQ(Get(file, "s", "k"), "new");
}
