#include "platform/files/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>

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

TEST(ReadWholeFile, ReadsARegularFileThroughAnyCaseAndRefusesWhatIsNoFile) {
    TempDir dir;
    WriteFile(dir / "Skin.ini", std::string("a\0b", 3));
    EXPECT_EQ(platform::files::ReadFile(dir / "SKIN.INI"), std::string("a\0b", 3));
    EXPECT_EQ(platform::files::ReadFile(dir / "skin.ini", nullptr, 3), std::string("a\0b", 3));
    // A pipe no one writes to would hold an open that waits for a writer for ever.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    // Why nothing was read: errno, read right after the call.
    auto refused = [](const std::string& path, std::uint64_t limit = UINT64_MAX) {
        errno = 0;
        const bool none = !platform::files::ReadFile(path, nullptr, limit);
        return none ? errno : -1;
    };
    EXPECT_EQ(refused(dir / "missing"), ENOENT);
    EXPECT_EQ(refused(dir.path()), EISDIR) << "a folder";
    EXPECT_EQ(refused(dir / "pipe"), EINVAL);
    EXPECT_EQ(refused("/dev/zero"), EINVAL) << "a device";
    EXPECT_EQ(refused(dir / "skin.ini", 2), EFBIG) << "larger than the limit";
}

TEST(ReplaceFile, ASavedFileIsNotHandedToProgramsThisOneStarts) {
    TempDir dir;
    std::string path = dir / "store";
    // A save whose temporary file is still open when a child starts: the child holds no copy.
    std::optional<Replacement> r = WriteReplacement(path, "data");
    ASSERT_TRUE(r);
    const std::filesystem::path folder = std::filesystem::canonical(dir.path());
    int found = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const std::filesystem::path target = std::filesystem::read_symlink(e.path(), ec);
        if (ec || target.parent_path() != folder ||
            target.filename().string().rfind(".store", 0) != 0) {
            continue;
        }
        ++found;
        const int fd = std::stoi(e.path().filename().string());
        EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0) << target;
    }
    EXPECT_EQ(found, 1) << "the temporary file is open once";
    r->Abandon();
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

TEST(ProgramFolder, APlayerStartedByTheLauncherTakesTheLaunchersNameAndFolder) {
    ScopedEnv env(kProgramDirVariable, std::nullopt);
    std::string folder = FolderOf(RunningExecutablePath());
    {
        // A path elsewhere is not taken: the variable only names the program beside this one.
        ScopedEnv launcher(kLauncherVariable, std::string("/elsewhere/Kesto"));
        TakeLauncherPath();
        EXPECT_EQ(ExecutableName(), "files_test");
        EXPECT_EQ(std::getenv(kLauncherVariable), nullptr);
    }
    ScopedEnv launcher(kLauncherVariable, folder + "/Kesto");
    TakeLauncherPath();
    EXPECT_EQ(std::getenv(kLauncherVariable), nullptr);  // programs started later do not see it
    EXPECT_EQ(ExecutablePath(), folder + "/Kesto");
    EXPECT_EQ(ExecutableName(), "Kesto");
    EXPECT_EQ(ProgramFolder(), folder);
    EXPECT_EQ(NameOf(RunningExecutablePath()), "files_test");
}

namespace {

// The run-time folder as a user without XDG_RUNTIME_DIR gets it, in a temporary folder of the test.
class RuntimeFolderTest : public ::testing::Test {
protected:
    TempDir tmp;
    ScopedEnv tmpdir{"TMPDIR", tmp.path()};
    ScopedEnv xdg{"XDG_RUNTIME_DIR", std::nullopt};
    std::string fallback = tmp / ("kesto-" + std::to_string(::getuid()));
};

}  // namespace

TEST_F(RuntimeFolderTest, IsMadePrivateWhenMissing) {
    EXPECT_EQ(RuntimeFolder(), fallback);
    struct stat st;
    ASSERT_EQ(::lstat(fallback.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::getuid());
    EXPECT_EQ(RuntimeFolder(), fallback);  // and used again as it is
}

TEST_F(RuntimeFolderTest, AFolderThatIsNotOursAndPrivateIsRefusedWithAReason) {
    TempDir elsewhere;
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* reason;
    } cases[] = {
        {"another user's",
         [](const std::string& f) {
             ::mkdir(f.c_str(), 0700);
             ASSERT_EQ(::chown(f.c_str(), 4242, 4242), 0);
         },
         "belongs to user 4242"},
        {"open to others",
         [](const std::string& f) {
             ::mkdir(f.c_str(), 0700);
             ::chmod(f.c_str(), 0777);
         },
         "mode 0777"},
        {"open to the group",
         [](const std::string& f) {
             ::mkdir(f.c_str(), 0700);
             ::chmod(f.c_str(), 0750);
         },
         "mode 0750"},
        {"a link to a private folder",
         [&](const std::string& f) {
             ASSERT_EQ(::symlink(elsewhere.path().c_str(), f.c_str()), 0);
         },
         "is a link"},
        {"a plain file", [](const std::string& f) { WriteFile(f, "x"); }, "cannot be opened"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(fallback);
        c.make(fallback);
        testing::internal::CaptureStderr();
        EXPECT_EQ(RuntimeFolder(), "") << c.name;
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(fallback), std::string::npos) << c.name << ": " << said;
        EXPECT_NE(said.find(c.reason), std::string::npos) << c.name << ": " << said;
        EXPECT_NE(said.find("no single-instance mailbox"), std::string::npos) << said;
        // Said once, however often it is asked for.
        testing::internal::CaptureStderr();
        EXPECT_EQ(RuntimeFolder(), "");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.name;
    }
}

TEST_F(RuntimeFolderTest, TheXdgFolderIsCheckedTheSameWay) {
    TempDir runtime;
    ScopedEnv env("XDG_RUNTIME_DIR", runtime.path() + "/");
    EXPECT_EQ(RuntimeFolder(), runtime.path());
    ::chmod(runtime.path().c_str(), 0755);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RuntimeFolder(), "");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("mode 0755"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(fallback));  // no other folder is taken in its place
}

TEST(AbsolutePath, JoinsARelativePathToTheWorkingFolder) {
    TempDir dir;
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    struct Case {
        std::string in, out;
    } cases[] = {
        {"tune.wav", dir / "tune.wav"},
        {"./media/tune.wav", dir / "media/tune.wav"},
        {"../up.mp3", dir / "../up.mp3"},
        {"a b.mp3", dir / "a b.mp3"},
        {"/music/a.mp3", "/music/a.mp3"},
        {"C:\\Music\\a.mp3", "C:\\Music\\a.mp3"},
        {"\\Music\\a.mp3", "\\Music\\a.mp3"},
        {"http://host/a.mp3", "http://host/a.mp3"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(AbsolutePath(c.in), c.out) << c.in;
    std::filesystem::current_path(old);
}

TEST(ReplaceFile, RemovesTheTemporariesOfSavesWhoseWriterIsGone) {
    TempDir dir;
    std::string path = dir / "Settings.ini";
    WriteFile(path, "old");
    // The highest process id the kernel never hands out: a writer that has ended.
    const std::string gone = "4194304";
    struct Case {
        std::string name;
        bool removed;
        int ageSeconds = 0;
        bool locked = false;
    } cases[] = {
        {".Settings.ini.tmp-" + gone + "-a1B2c3", true},
        {".Settings.ini.tmp-1-a1B2c3", false},                      // its writer still runs
        {".Settings.ini.tmp-" + gone + "-d4E5f6", false, 0, true},  // locked by a live writer
        {".Other.ini.tmp-" + gone + "-a1B2c3", false},              // another file's
        {".Settings.ini.tmp-g7H8i9", true, 7200},     // older form, untouched for long
        {".Settings.ini.tmp-j0K1l2", false, 60},      // older form, recent
        {".Settings.ini.tmp-" + gone + "-x", false},  // not a name this system makes
    };
    std::vector<int> locks;
    for (const auto& c : cases) {
        std::string p = dir / c.name;
        WriteFile(p, std::string(1000, 'x'));
        if (c.ageSeconds) {
            std::filesystem::last_write_time(p, std::filesystem::file_time_type::clock::now() -
                                                    std::chrono::seconds(c.ageSeconds));
        }
        if (c.locked) {
            int fd = ::open(p.c_str(), O_RDONLY);
            ASSERT_EQ(::flock(fd, LOCK_EX), 0);
            locks.push_back(fd);
        }
    }
    ASSERT_TRUE(ReplaceFile(path, "new"));
    EXPECT_EQ(ReadFile(path), "new");
    for (const auto& c : cases) {
        EXPECT_EQ(std::filesystem::exists(dir / c.name), !c.removed) << c.name;
    }
    for (int fd : locks) ::close(fd);
}

TEST(ReplaceFile, ASaveKilledHalfwayLeavesNothingAfterTheNextSave) {
    TempDir dir;
    std::string path = dir / "registry.reg";
    WriteFile(path, "old");
    auto temporaries = [&] {
        int n = 0;
        for (auto& e : std::filesystem::directory_iterator(dir.path())) {
            n += e.path().filename().string().rfind(".registry.reg.tmp-", 0) == 0;
        }
        return n;
    };
    // The kill may fall between two saves: then it is tried again.
    for (int attempt = 0; attempt < 10 && temporaries() == 0; ++attempt) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves for ever, so that the kill finds it writing.
            std::string big(8 << 20, 'x');
            for (;;) ReplaceFile(path, big);
        }
        for (int i = 0; i < 2000 && temporaries() == 0; ++i) ::usleep(1000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    ASSERT_EQ(temporaries(), 1);
    ASSERT_TRUE(ReplaceFile(path, "after"));
    EXPECT_EQ(temporaries(), 0);
    EXPECT_EQ(ReadFile(path), "after");
}

TEST(IsFileName, RefusesEveryNameThatReachesOutsideItsFolder) {
    struct Case {
        std::string name;
        bool ok;
    } cases[] = {
        {"Tavro", true},
        {"Blue Night", true},
        {"", true},
        {"a.b", true},
        {"../x", false},
        {"..", false},
        {"a..b", false},
        {"sub/name", false},
        {"..\\..\\x", false},
        {"C:\\x", false},
        {std::string("a\0b", 3), false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsFileName(c.name), c.ok) << c.name;
}
