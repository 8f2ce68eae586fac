#include "platform/registry/registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/test_support.h"

using testing_support::ReadFile;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

class Registry : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv store{"KESTO_REGISTRY", dir / "reg/registry.reg"};

    std::string Store() { return ReadFile(dir / "reg/registry.reg"); }

    static LONG SetSz(HKEY key, const char* name, const std::string& value, DWORD length) {
        return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              length);
    }
    static std::string Query(HKEY key, const char* name, DWORD* type = nullptr) {
        DWORD size = 0, t = 0;
        if (RegQueryValueExA(key, name, nullptr, &t, nullptr, &size) != ERROR_SUCCESS) {
            return "<missing>";
        }
        std::string data(size, '\0');
        EXPECT_EQ(
            RegQueryValueExA(key, name, nullptr, &t, reinterpret_cast<LPBYTE>(data.data()), &size),
            ERROR_SUCCESS);
        if (type) *type = t;
        return data;
    }
};

}  // namespace

TEST_F(Registry, CreatesEveryKeyOfAPathAndOpensItAgainWithoutRegardToCase) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, ".mp3\\ShellNew", &key), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    HKEY again;
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, ".MP3\\shellnew", &again), ERROR_SUCCESS);
    RegCloseKey(again);
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, ".mp3", &again), ERROR_SUCCESS);
    char name[32];
    EXPECT_EQ(RegEnumKeyA(again, 0, name, sizeof name), ERROR_SUCCESS);
    EXPECT_STREQ(name, "ShellNew");  // the spelling it was created with
    EXPECT_EQ(RegEnumKeyA(again, 1, name, sizeof name), ERROR_NO_MORE_ITEMS);
    RegCloseKey(again);
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, ".wav", &again), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, ".mp3", &again), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, StoresValuesOfEachTypeAsGiven) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Test", &key), ERROR_SUCCESS);
    // REG_SZ keeps exactly the length the caller gives, NUL or not.
    EXPECT_EQ(SetSz(key, "", "MP3 Audio File", 15), ERROR_SUCCESS);
    EXPECT_EQ(SetSz(key, "cut", "abcdef", 3), ERROR_SUCCESS);
    std::string odd("quote\" back\\ line\nend\x01", 23);
    EXPECT_EQ(SetSz(key, "odd \"name\"", odd, 23), ERROR_SUCCESS);
    DWORD dw = 0x22191;
    EXPECT_EQ(RegSetValueExA(key, "MiscStatus", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dw), 4),
              ERROR_SUCCESS);
    const BYTE bin[] = {0, 1, 0xfe, 0xff};
    EXPECT_EQ(RegSetValueExA(key, "bin", 0, REG_BINARY, bin, 4), ERROR_SUCCESS);
    RegCloseKey(key);

    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\test", &key), ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(Query(key, nullptr, &type), std::string("MP3 Audio File\0", 15));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(Query(key, "CUT"), "abc");
    EXPECT_EQ(Query(key, "odd \"NAME\""), odd);
    EXPECT_EQ(Query(key, "miscstatus", &type), std::string("\x91\x21\x02\x00", 4));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(Query(key, "bin", &type), std::string("\x00\x01\xfe\xff", 4));
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(Query(key, "none"), "<missing>");

    // A buffer too small is told the size.
    char small[4];
    DWORD size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<LPBYTE>(small), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 15u);
    RegCloseKey(key);

    // The store is text a person can read.
    std::string text = Store();
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Test]"), std::string::npos) << text;
    EXPECT_NE(text.find("@=sz:\"MP3 Audio File\\x00\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"MiscStatus\"=dword:00022191"), std::string::npos) << text;
}

TEST_F(Registry, ReplacesAndDeletesValues) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "k", &key), ERROR_SUCCESS);
    SetSz(key, "Value", "one", 4);
    SetSz(key, "VALUE", "two", 4);
    EXPECT_EQ(Query(key, "value"), std::string("two\0", 4));
    EXPECT_EQ(RegDeleteValueA(key, "vAlUe"), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "value"), "<missing>");
    EXPECT_EQ(RegDeleteValueA(key, "value"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(Registry, DeletesKeysWithoutSubkeysOrWholeTrees) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "CLSID\\{X}\\InprocServer32", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "CLSID\\{X}"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "clsid\\{x}\\inprocserver32"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "CLSID\\{X}"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, "CLSID\\{X}", &key), ERROR_FILE_NOT_FOUND);

    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "A\\B\\C", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "a"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, "A\\B", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "A"), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, AHandleOfADeletedKeyFailsAndABadHandleIsRefused) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "gone", &key), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "gone"), ERROR_SUCCESS);
    EXPECT_EQ(SetSz(key, "v", "x", 2), ERROR_KEY_DELETED);
    RegCloseKey(key);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetSz(key, "v", "x", 2), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, EnumeratesSubkeysInOrderOfTheirNames) {
    for (const char* name : {"zeta", "Alpha", "beta"}) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (std::string("list\\") + name).c_str(), &key),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    HKEY list;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "list", &list), ERROR_SUCCESS);
    std::string seen;
    char name[16];
    for (DWORD i = 0; RegEnumKeyA(list, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
        seen += name;
        seen += ' ';
    }
    EXPECT_EQ(seen, "Alpha beta zeta ");
    EXPECT_EQ(RegEnumKeyA(list, 0, name, 3), ERROR_MORE_DATA);
    RegCloseKey(list);
}

TEST_F(Registry, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kPerProcess = 60;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            int failures = 0;
            for (int i = 0; i < kPerProcess; ++i) {
                HKEY key;
                std::string path = "race\\p" + std::to_string(c);
                if (RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS) {
                    ++failures;
                    continue;
                }
                std::string name = "v" + std::to_string(i);
                failures += SetSz(key, name.c_str(), name, static_cast<DWORD>(name.size() + 1)) !=
                            ERROR_SUCCESS;
                RegCloseKey(key);
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int c = 0; c < 2; ++c) {
        HKEY key;
        ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, ("race\\p" + std::to_string(c)).c_str(), &key),
                  ERROR_SUCCESS);
        for (int i = 0; i < kPerProcess; ++i) {
            std::string name = "v" + std::to_string(i);
            EXPECT_EQ(Query(key, name.c_str()), name + std::string(1, '\0'));
        }
        RegCloseKey(key);
    }
}

TEST_F(Registry, AnUnreadableStoreIsReportedAndNeverOverwritten) {
    const std::string broken = "[HKEY_CURRENT_USER\\x]\nthis is not a value\n";
    WriteFile(dir / "reg/registry.reg", broken);
    HKEY key;
    testing::internal::CaptureStderr();
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "y", &key), ERROR_BADDB);
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "x", &key), ERROR_BADDB);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("cannot be read"), std::string::npos) << err;
    EXPECT_NE(err.find("line 2"), std::string::npos) << err;
    EXPECT_THROW(SaveSetting("Kesto", "Opacity", "p", "50"), platform::registry::RegistryError);
    EXPECT_EQ(GetSetting("Kesto", "Opacity", "p", "100"), "100");
    EXPECT_EQ(Store(), broken);
}

TEST_F(Registry, AValueTypeBeyondADwordMakesTheStoreUnreadable) {
    for (const char* type : {"4294967296", "99999999999999999999999"}) {
        const std::string broken =
            std::string("[HKEY_CURRENT_USER\\x]\n\"v\"=hex(") + type + "):01\n";
        WriteFile(dir / "reg/registry.reg", broken);
        HKEY key;
        testing::internal::CaptureStderr();
        EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "x", &key), ERROR_BADDB) << type;
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(Store(), broken);
    }
}

TEST_F(Registry, ProgramSettingsLiveUnderTheRunTimesKey) {
    EXPECT_EQ(GetSetting("Kesto", "Opacity", "p", "100"), "100");
    SaveSetting("Kesto", "Opacity", "p", "75");
    EXPECT_EQ(GetSetting("kesto", "opacity", "P", "100"), "75");
    SaveSetting("A", "0", "RunCount", "1");
    EXPECT_EQ(GetSetting("A", "0", "Runcount"), "1");
    HKEY key;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER,
                          "Software\\VB and VBA Program Settings\\Kesto\\Opacity", &key),
              ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(Query(key, "p", &type), std::string("75\0", 3));
    EXPECT_EQ(type, REG_SZ);
    RegCloseKey(key);
}

TEST(RegistryStore, LivesInTheUsersConfigurationFolderUnlessTheVariableNamesAFile) {
    TempDir home;
    ScopedEnv noFile("KESTO_REGISTRY", std::nullopt);
    ScopedEnv homeVar("HOME", home.path());
    HKEY key = nullptr;
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", home / "xdg");
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\InXdg", &key), ERROR_SUCCESS);
        RegCloseKey(key);
        EXPECT_NE(ReadFile(home / "xdg/kesto/registry.reg").find("InXdg"), std::string::npos);
    }
    ScopedEnv noXdg("XDG_CONFIG_HOME", std::nullopt);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\InHome", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_NE(ReadFile(home / ".config/kesto/registry.reg").find("InHome"), std::string::npos);
}

TEST_F(Registry, EveryMalformedLineMakesTheStoreUnreadableWithItsLineNumber) {
    const std::string key = "[HKEY_CURRENT_USER\\Software]\n";
    struct Case {
        std::string text;
        const char* why;
    } cases[] = {
        {key + "\"v\"=hex(99999999999999999999):00\n", "line 2: not a value of a key"},
        {key + "\"v\"=hex(4294967296):00\n", "line 2: not a value of a key"},
        {key + "\"v\"=dword:1234\n", "line 2: not a value of a key"},
        {key + "\"v\"=hex:1\n", "line 2: not a value of a key"},
        {key + "\"v\"=sz:\"open\n", "line 2: not a value of a key"},
        {key + "\"v\"=sz:\"a\"junk\n", "line 2: not a value of a key"},
        {key + "\"v\"=sz:\"\\q\"\n", "line 2: not a value of a key"},
        {key + "\"v\"=wat:1\n", "line 2: not a value of a key"},
        {"\"v\"=sz:\"before any key\"\n", "line 1: not a value of a key"},
        {key + "\n[HKEY_CURRENT_USER\\x\n", "line 3: a key line must end in ']'"},
        {"[HKEY_NOWHERE\\x]\n", "line 1: unknown root key"},
        {"[]\n", "line 1: unknown root key"},
    };
    int n = 0;
    for (const Case& c : cases) {
        // Each in a store of its own: a reason is said once for each store.
        std::string store = dir / ("broken" + std::to_string(n++) + ".reg");
        ScopedEnv env("KESTO_REGISTRY", store);
        WriteFile(store, c.text);
        HKEY h;
        testing::internal::CaptureStderr();
        EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software", &h), ERROR_BADDB) << c.text;
        EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Other", &h), ERROR_BADDB) << c.text;
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("cannot be read (" + std::string(c.why) + ")"), std::string::npos)
            << c.text << said;
        EXPECT_EQ(ReadFile(store), c.text);
    }
}

TEST_F(Registry, KeysLieAtMostFiveHundredTwelveLevelsDeep) {
    std::string path = "Deep";
    for (int i = 1; i < 512; ++i) path += "\\k";
    HKEY h;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &h), ERROR_SUCCESS);
    ASSERT_EQ(SetSz(h, "v", "bottom", 7), ERROR_SUCCESS);
    RegCloseKey(h);
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (path + "\\one too many").c_str(), &h),
              ERROR_INVALID_PARAMETER);
    // The store written with it reads back.
    WriteFile(dir / "copy.reg", Store());
    ScopedEnv copy("KESTO_REGISTRY", dir / "copy.reg");
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &h), ERROR_SUCCESS);
    EXPECT_EQ(Query(h, "v"), std::string("bottom\0", 7));
    RegCloseKey(h);

    // A store with a key 50,000 levels deep is refused, quickly and without a crash.
    std::string deep = "[HKEY_CURRENT_USER";
    for (int i = 0; i < 50000; ++i) deep += "\\k";
    deep += "]\n\"v\"=dword:00000001\n";
    WriteFile(dir / "deep.reg", deep);
    ScopedEnv hostile("KESTO_REGISTRY", dir / "deep.reg");
    testing::internal::CaptureStderr();
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software", &h), ERROR_BADDB);
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("line 1: a key more than 512 levels deep"),
        std::string::npos);
    EXPECT_EQ(ReadFile(dir / "deep.reg"), deep);
}

TEST_F(Registry, AStoreChangedSinceItWasReadIsReadAgain) {
    HKEY h;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Kept", &h), ERROR_SUCCESS);
    ASSERT_EQ(SetSz(h, "v", "one", 4), ERROR_SUCCESS);
    EXPECT_EQ(Query(h, "v"), std::string("one\0", 4));
    // Another process writes.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(SetSz(h, "v", "two", 4) == ERROR_SUCCESS ? 0 : 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Query(h, "v"), std::string("two\0", 4));
    // A person edits the file in place: same inode, same size, even the old modification time.
    std::string path = dir / "reg/registry.reg";
    struct stat before;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    std::string text = Store();
    text.replace(text.find("\"two"), 4, "\"six");
    {
        std::FILE* f = std::fopen(path.c_str(), "r+");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(Query(h, "v"), std::string("six\0", 4));
    RegCloseKey(h);
}

namespace {

// Write-behind on for a test; off (which waits for the worker) at its end.
class WriteBehind : public Registry {
protected:
    void SetUp() override { platform::registry::SetWriteBehind(true); }
    void TearDown() override { platform::registry::SetWriteBehind(false); }

    // What another process reading the store sees: it takes the store's lock as every reader
    // does (a lock of its own, so it waits for this process's), then reads the file.
    std::string StoreAsAnotherReaderSeesIt() {
        int fd = ::open((dir / "reg/registry.reg.lock").c_str(), O_RDWR | O_CLOEXEC);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::flock(fd, LOCK_SH), 0);
        std::string text = Store();
        ::close(fd);
        return text;
    }
};

}  // namespace

TEST_F(WriteBehind, AChangeIsSeenAtOnceHereAndByOtherReadersOnceItIsInPlace) {
    for (int i = 1; i <= 20; ++i) SaveSetting("A", "0", "RunCount", std::to_string(i));
    EXPECT_EQ(GetSetting("A", "0", "RunCount"), "20");
    std::string text = StoreAsAnotherReaderSeesIt();
    EXPECT_NE(text.find("\"RunCount\"=sz:\"20"), std::string::npos) << text;
    platform::registry::Flush();
    EXPECT_EQ(platform::registry::ReformatStore(Store()), Store());
    // A write after the worker is done takes the lock again.
    SaveSetting("Kesto", "Opacity", "p", "75");
    EXPECT_EQ(GetSetting("A", "0", "RunCount"), "20");
    EXPECT_EQ(GetSetting("Kesto", "Opacity", "p"), "75");
    platform::registry::Flush();
    EXPECT_NE(Store().find("\"p\"=sz:\"75"), std::string::npos);
}

TEST_F(WriteBehind, AnEndLeavesTheOldStoreOrTheNewOneAndANormalEndTheNewOne) {
    SaveSetting("A", "0", "RunCount", "1");
    platform::registry::Flush();
    const std::string old = Store();
    // A process that ends at once, as a crash would, and one that ends normally.
    for (bool normal : {false, true}) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SaveSetting("A", "0", "RunCount", normal ? "3" : "2");
            if (normal) std::exit(0);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        std::string text = Store();
        EXPECT_EQ(platform::registry::ReformatStore(text), text);
        if (normal) {
            EXPECT_NE(text.find("\"RunCount\"=sz:\"3"), std::string::npos) << text;
        } else {
            EXPECT_TRUE(text == old || text.find("\"RunCount\"=sz:\"2") != std::string::npos)
                << text;
        }
    }
    // The next write removes what a writer that ended early left beside the store.
    SaveSetting("A", "0", "RunCount", "4");
    platform::registry::Flush();
    int others = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir / "reg")) {
        std::string name = e.path().filename().string();
        others += name != "registry.reg" && name != "registry.reg.lock";
    }
    EXPECT_EQ(others, 0);
}
