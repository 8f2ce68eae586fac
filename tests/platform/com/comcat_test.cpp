#include "platform/com/comcat.h"

#include <gtest/gtest.h>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "tests/platform/com/com_test_support.h"

using com_test::kCounterClsid;
using platform::com::ComPtr;
using platform::com::Utf16;

class Categories : public com_test::RegistryTest {
protected:
    static CATEGORYINFO Info(const CATID& id, const std::string& text) {
        CATEGORYINFO info{};
        info.catid = id;
        info.lcid = 0x409;
        std::u16string w = Utf16(text);
        std::copy(w.begin(), w.end(), info.szDescription);
        return info;
    }
};

TEST_F(Categories, TheManagerExistsOnlyOnceTheSystemClassesAreRegistered) {
    ComPtr<ICatRegister> reg;
    EXPECT_EQ(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                               IID_ICatRegister, reg.outVoid()),
              REGDB_E_CLASSNOTREG);
    ASSERT_EQ(platform::com::RegisterSystemClasses(), S_OK);
    EXPECT_EQ(
        platform::registry::ReadString(
            HKEY_CLASSES_ROOT, "CLSID\\{0002E005-0000-0000-C000-000000000046}\\InprocServer32", ""),
        platform::com::SystemServerPath());
    EXPECT_EQ(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                               IID_ICatRegister, reg.outVoid()),
              S_OK);
}

TEST_F(Categories, RegistersDefinitionsAndAClasssMarks) {
    ASSERT_EQ(platform::com::RegisterSystemClasses(), S_OK);
    ComPtr<ICatRegister> reg;
    ASSERT_EQ(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                               IID_ICatRegister, reg.outVoid()),
              S_OK);
    CATEGORYINFO infos[] = {Info(CATID_SafeForScripting, "safe for scripting"),
                            Info(CATID_SafeForInitializing, "safe for initializing")};
    ASSERT_EQ(reg->RegisterCategories(2, infos), S_OK);
    EXPECT_EQ(platform::registry::ReadString(
                  HKEY_CLASSES_ROOT, "Component Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}",
                  "409"),
              "safe for scripting");

    CATID both[] = {CATID_SafeForScripting, CATID_SafeForInitializing};
    ASSERT_EQ(reg->RegisterClassImplCategories(kCounterClsid, 2, both), S_OK);
    const std::string marks =
        "CLSID\\{6C1A0003-0000-4000-8000-00000000C0DE}\\Implemented Categories";
    EXPECT_TRUE(KeyExists(marks + "\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}"));
    EXPECT_TRUE(KeyExists(marks + "\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}"));

    ComPtr<ICatInformation> info;
    ASSERT_EQ(reg.As(IID_ICatInformation, &info), S_OK);
    EXPECT_EQ(info->IsClassOfCategories(kCounterClsid, 2, both, 0, nullptr), S_OK);
    LPOLESTR desc = nullptr;
    ASSERT_EQ(info->GetCategoryDesc(CATID_SafeForInitializing, 0x407, &desc), S_OK);
    EXPECT_EQ(platform::com::Utf8FromWide(desc), "safe for initializing");
    CoTaskMemFree(desc);

    ASSERT_EQ(reg->UnRegisterClassImplCategories(kCounterClsid, 1, &both[0]), S_OK);
    EXPECT_EQ(info->IsClassOfCategories(kCounterClsid, 2, both, 0, nullptr), S_FALSE);
    EXPECT_TRUE(KeyExists(marks));
    ASSERT_EQ(reg->UnRegisterClassImplCategories(kCounterClsid, 1, &both[1]), S_OK);
    EXPECT_FALSE(KeyExists(marks)) << "an emptied list goes";
    EXPECT_TRUE(KeyExists("Component Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}"));

    ASSERT_EQ(reg->UnRegisterCategories(1, &both[0]), S_OK);
    EXPECT_EQ(info->GetCategoryDesc(CATID_SafeForScripting, 0x409, &desc), CAT_E_CATIDNOEXIST);
}
