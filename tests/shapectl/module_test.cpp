// The control library as a host or an installer sees it: its exports, its registration and its
// class factories.
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/resources.h"
#include "platform/ole/oleidl.h"
#include "platform/registry/registry.h"
#include "tests/support/test_support.h"

using platform::registry::ReadString;

namespace {

// The defined global symbols of a shared library's dynamic symbol table.
std::vector<std::string> ExportedSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> names;
    if (file.size() < sizeof(Elf64_Ehdr)) return names;
    const auto* eh = reinterpret_cast<const Elf64_Ehdr*>(file.data());
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(file.data() + eh->e_shoff);
    for (int i = 0; i < eh->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM) continue;
        const auto* symbols =
            reinterpret_cast<const Elf64_Sym*>(file.data() + sections[i].sh_offset);
        const char* strings = file.data() + sections[sections[i].sh_link].sh_offset;
        for (std::size_t k = 0; k < sections[i].sh_size / sizeof(Elf64_Sym); ++k) {
            const Elf64_Sym& s = symbols[k];
            if (s.st_shndx == SHN_UNDEF || ELF64_ST_BIND(s.st_info) == STB_LOCAL) continue;
            if (s.st_name == 0) continue;
            names.push_back(strings + s.st_name);
        }
    }
    return names;
}

const char* const kControlKey = "CLSID\\{43D45806-ED84-11D0-901E-0020AF7543C2}";
const char* const kPageKeys[] = {"CLSID\\{43D45807-ED84-11D0-901E-0020AF7543C2}",
                                 "CLSID\\{7C226182-EE1B-11D0-901E-0020AF7543C2}",
                                 "CLSID\\{A4431362-EEF2-11D0-901E-0020AF7543C2}",
                                 "CLSID\\{7C226185-EE1B-11D0-901E-0020AF7543C2}",
                                 "CLSID\\{7AEE9F42-EEBE-11D0-901E-0020AF7543C2}",
                                 "CLSID\\{7AEE9F45-EEBE-11D0-901E-0020AF7543C2}",
                                 "CLSID\\{7AEE9F48-EEBE-11D0-901E-0020AF7543C2}",
                                 "CLSID\\{7AEE9F4B-EEBE-11D0-901E-0020AF7543C2}"};
const char* const kPageNames[] = {"QuixShape Property Page",  "Border Property Page",
                                  "Draw Style Property Page", "Effects Property Page",
                                  "Font Style Property Page", "Hotspot Property Page",
                                  "Misc. Property Page",      "Shape Property Page"};
const char* const kScripting = "Component Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const char* const kInitializing = "Component Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
const char* const kMarks = "CLSID\\{43D45806-ED84-11D0-901E-0020AF7543C2}\\Implemented Categories";
const char* const kTypeLib = "TypeLib\\{43D45803-ED84-11D0-901E-0020AF7543C2}";

class Module : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA(SHAPECTL_PATH);
        ASSERT_NE(module, nullptr);
        path = platform::com::ModulePath(module);
    }
    void TearDown() override { FreeLibrary(module); }
    HRESULT Call(const char* name) {
        auto fn = reinterpret_cast<LPFNREGISTERSERVER>(GetProcAddress(module, name));
        return fn ? fn() : E_FAIL;
    }
    static bool KeyExists(const std::string& key) {
        HKEY h;
        if (RegOpenKeyA(HKEY_CLASSES_ROOT, key.c_str(), &h) != ERROR_SUCCESS) return false;
        RegCloseKey(h);
        return true;
    }

    testing_support::TempDir dir;
    testing_support::ScopedEnv store{"KESTO_REGISTRY", dir / "registry.reg"};
    HMODULE module = nullptr;
    std::string path;
};

}  // namespace

TEST_F(Module, ExportsExactlyTheFourEntryPoints) {
    std::vector<std::string> names = ExportedSymbols(SHAPECTL_PATH);
    std::set<std::string> exported(names.begin(), names.end());
    EXPECT_EQ(exported, (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject",
                                               "DllRegisterServer", "DllUnregisterServer"}));
    EXPECT_EQ(names.size(), 4u);
    // The type library, the toolbox bitmap and the version travel in the library's resources.
    auto typelib = platform::com::ReadModuleResource(module, "TYPELIB", 1);
    ASSERT_TRUE(typelib);
    EXPECT_EQ(typelib->rfind("# The type library", 0), 0u);
    auto bitmap = platform::com::ReadModuleResource(module, "BITMAP", 1);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->substr(0, 2), "BM");
    auto field = [&](std::size_t at, std::size_t size) {
        std::uint32_t v = 0;
        std::memcpy(&v, bitmap->data() + at, size);
        return v;
    };
    EXPECT_EQ(field(18, 4), 16u);  // width
    EXPECT_EQ(field(22, 4), 15u);  // height
    EXPECT_EQ(field(28, 2), 4u);   // bits a pixel
    // The General page's icon: one 32 x 32 image.
    auto icon = platform::com::ReadModuleResource(module, "ICON", 1);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->substr(0, 6), std::string("\0\0\1\0\1\0", 6));
    EXPECT_EQ(static_cast<unsigned char>((*icon)[6]), 32);
    EXPECT_EQ(static_cast<unsigned char>((*icon)[7]), 32);
    auto version = platform::com::ReadModuleResource(module, "VERSION", 1);
    ASSERT_TRUE(version);
    EXPECT_NE(version->find("FileVersion=5.0.0.4"), std::string::npos);
    EXPECT_NE(version->find("OLESelfRegister"), std::string::npos);
}

TEST_F(Module, RegistersTheTypeLibraryTheNineClassesAndTheTwoCategories) {
    ASSERT_EQ(platform::com::RegisterSystemClasses(), S_OK);
    ASSERT_EQ(Call("DllRegisterServer"), S_OK);

    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Lumorax.QuixShape.Brenic", ""),
              "Quixkit Brenic Shape Control");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Lumorax.QuixShape.Brenic\\CLSID", ""),
              "{43D45806-ED84-11D0-901E-0020AF7543C2}");
    EXPECT_TRUE(KeyExists("Lumorax.QuixShape.Brenic\\Insertable"));
    const std::string control = kControlKey;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, control, ""), "Quixkit Brenic Shape Control");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, control + "\\InprocServer32", ""), path);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, control + "\\InprocServer32", "ThreadingModel"),
              "Apartment");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, control + "\\ProgID", ""), "Lumorax.QuixShape.Brenic");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, control + "\\MiscStatus\\1", ""), "139665");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, control + "\\TypeLib", ""),
              "{43D45803-ED84-11D0-901E-0020AF7543C2}");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, control + "\\Version", ""), "5.0");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, control + "\\ToolboxBitmap32", ""), path + ", 1");
    EXPECT_TRUE(KeyExists(control + "\\Control"));
    EXPECT_TRUE(KeyExists(control + "\\Insertable"));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kPageKeys[i], ""), kPageNames[i]);
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, std::string(kPageKeys[i]) + "\\InprocServer32", ""),
                  path);
        EXPECT_FALSE(KeyExists(std::string(kPageKeys[i]) + "\\ProgID")) << "no ProgID for pages";
        EXPECT_FALSE(KeyExists(std::string(kPageKeys[i]) + "\\Implemented Categories"));
    }
    EXPECT_FALSE(KeyExists("shapectl.CBorderPage"));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, std::string(kTypeLib) + "\\5.0\\409\\linux", ""), path);
    EXPECT_EQ(
        ReadString(HKEY_CLASSES_ROOT, "Interface\\{43D45804-ED84-11D0-901E-0020AF7543C2}", ""),
        "_DShapectl");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kScripting, "409"), "QuixShape is safe for scripting");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kInitializing, "409"),
              "QuixShape is safe for initialization from persistent data");
    EXPECT_TRUE(KeyExists(std::string(kMarks) + "\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}"));
    EXPECT_TRUE(KeyExists(std::string(kMarks) + "\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}"));

    ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
    EXPECT_FALSE(KeyExists("Lumorax.QuixShape.Brenic"));
    EXPECT_FALSE(KeyExists(kControlKey));
    for (const char* key : kPageKeys) EXPECT_FALSE(KeyExists(key)) << key;
    EXPECT_FALSE(KeyExists(kTypeLib));
    EXPECT_FALSE(KeyExists("Interface\\{43D45804-ED84-11D0-901E-0020AF7543C2}"));
    EXPECT_TRUE(KeyExists(kScripting)) << "the category definitions remain";
    EXPECT_TRUE(KeyExists(kInitializing));
    EXPECT_EQ(Call("DllUnregisterServer"), SELFREG_E_TYPELIB) << "nothing left to remove";
}

TEST_F(Module, RegistersWithoutACategoriesManager) {
    ASSERT_EQ(Call("DllRegisterServer"), S_OK);
    EXPECT_TRUE(KeyExists(kControlKey));
    EXPECT_TRUE(KeyExists(std::string(kTypeLib) + "\\5.0"));
    for (const char* key : kPageKeys) EXPECT_TRUE(KeyExists(key)) << key;
    EXPECT_FALSE(KeyExists(kScripting));
    EXPECT_FALSE(KeyExists(kMarks));
    ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
}

TEST_F(Module, HandsOutTheControlsFactoryAndCountsItsObjects) {
    ASSERT_EQ(Call("DllRegisterServer"), S_OK);
    auto get = reinterpret_cast<LPFNGETCLASSOBJECT>(GetProcAddress(module, "DllGetClassObject"));
    auto canUnload = reinterpret_cast<LPFNCANUNLOADNOW>(GetProcAddress(module, "DllCanUnloadNow"));
    ASSERT_TRUE(get && canUnload);
    constexpr CLSID kOther{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    void* p = nullptr;
    EXPECT_EQ(get(kOther, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);

    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(platform::com::Utf16("Lumorax.QuixShape.Brenic").c_str(), &clsid),
              S_OK);
    IDispatch* control = nullptr;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&control)),
              S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    std::u16string name = u"backcolor";
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    ASSERT_EQ(control->GetIDsOfNames(GUID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 10);
    IOleObject* ole = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)), S_OK);
    LPOLESTR type = nullptr;
    ASSERT_EQ(ole->GetUserType(1, &type), S_OK);
    EXPECT_EQ(platform::com::Utf8FromWide(type), "Quixkit Brenic Shape Control");
    CoTaskMemFree(type);
    ole->Release();
    control->Release();
    EXPECT_EQ(canUnload(), S_OK);

    // Each page's factory makes its page, which counts as an object of the library.
    const char* const titles[] = {"General",    "Border",  "Draw Style", "Effects",
                                  "Font Style", "Hotspot", "Misc.",      "Shape"};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(titles[i]);
        CLSID page;
        ASSERT_EQ(CLSIDFromString(platform::com::Utf16(kPageKeys[i] + 6).c_str(), &page), S_OK);
        IClassFactory* factory = nullptr;
        ASSERT_EQ(get(page, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        EXPECT_EQ(factory->CreateInstance(factory, IID_IUnknown, &p), CLASS_E_NOAGGREGATION);
        IPropertyPage* made = nullptr;
        ASSERT_EQ(
            factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(&made)),
            S_OK);
        factory->Release();
        EXPECT_EQ(canUnload(), S_FALSE);
        PROPPAGEINFO info{};
        ASSERT_EQ(made->GetPageInfo(&info), S_OK);
        EXPECT_EQ(platform::com::Utf8FromWide(info.pszTitle), titles[i]);
        EXPECT_EQ(info.size.cx, 375);
        EXPECT_EQ(info.size.cy, 178);
        bool help = i != 5;  // the Hotspot page names no help
        EXPECT_EQ(info.pszHelpFile ? platform::com::Utf8FromWide(info.pszHelpFile) : "",
                  help ? "quixhelp.HLP" : "");
        EXPECT_EQ(info.pszDocString ? platform::com::Utf8FromWide(info.pszDocString) : "",
                  help ? "Quixkit Help" : "");
        EXPECT_EQ(info.dwHelpContext, help ? 1u : 0u);
        CoTaskMemFree(info.pszTitle);
        CoTaskMemFree(info.pszDocString);
        CoTaskMemFree(info.pszHelpFile);
        made->Release();
        EXPECT_EQ(canUnload(), S_OK);
    }
    ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
}
