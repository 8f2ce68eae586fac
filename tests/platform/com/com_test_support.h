// Shared by the activation, type library and category tests.
#pragma once

#include <dlfcn.h>

#include <string>

#include "platform/com/guid.h"
#include "platform/registry/registry.h"
#include "tests/support/test_support.h"

namespace com_test {

inline constexpr CLSID kCounterClsid{
    0x6C1A0003, 0x0000, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xDE}};
inline constexpr GUID kTestLibId{
    0x6C1A0001, 0x0000, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xDE}};
inline constexpr IID kCounterIid{
    0x6C1A0002, 0x0000, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xDE}};

// A registry of its own for each test.
class RegistryTest : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    testing_support::ScopedEnv store{"KESTO_REGISTRY", dir / "registry.reg"};

    static void RegisterServer(const CLSID& clsid, const std::string& path,
                               const std::string& progId) {
        std::string key = "CLSID\\" + platform::com::GuidToString(clsid);
        platform::registry::WriteString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "", path);
        if (!progId.empty()) {
            platform::registry::WriteString(HKEY_CLASSES_ROOT, progId + "\\CLSID", "",
                                            platform::com::GuidToString(clsid));
        }
    }
    static bool KeyExists(const std::string& path) {
        HKEY key;
        if (RegOpenKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    static bool Loaded(const char* path) {
        void* h = ::dlopen(path, RTLD_LAZY | RTLD_NOLOAD);
        if (!h) return false;
        ::dlclose(h);
        return true;
    }
};

}  // namespace com_test
