#include <gtest/gtest.h>

#include "platform/com/guid.h"
#include "platform/ole/factory.h"
#include "platform/registry/registry.h"
#include "tests/platform/ole/test_control.h"
#include "tests/support/test_support.h"

using ole_test::kClsid;
using ole_test::kLibId;
using platform::registry::ReadString;

namespace {

const AFX_STRING_RESOURCE kStrings[] = {{1, "Test Control"}, {2, "Test Page"}};

class CountingFactory : public COleObjectFactory {
public:
    CountingFactory(REFCLSID clsid, BOOL result)
        : COleObjectFactory(clsid, nullptr, FALSE, nullptr), result(result) {}
    BOOL UpdateRegistry(BOOL) override {
        ++calls;
        return result;
    }
    BOOL result;
    int calls = 0;
};

class Registration : public ::testing::Test {
protected:
    void SetUp() override { AfxSetStringTable(kStrings, 2); }
    testing_support::TempDir dir;
    testing_support::ScopedEnv store{"KESTO_REGISTRY", dir / "registry.reg"};
    static bool KeyExists(const std::string& path) {
        HKEY key;
        if (RegOpenKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
};

}  // namespace

TEST_F(Registration, TheModulesFactoriesCreateObjectsAndCountThem) {
    COleObjectFactory factory(kClsid, &ole_test::TestControl::classTestControl, FALSE,
                              "Test.Control");
    EXPECT_EQ(AfxDllCanUnloadNow(), S_OK);
    IClassFactory* cf = nullptr;
    ASSERT_EQ(AfxDllGetClassObject(kClsid, IID_IClassFactory, reinterpret_cast<void**>(&cf)), S_OK);
    IDispatch* object = nullptr;
    ASSERT_EQ(cf->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object)), S_OK);
    EXPECT_EQ(AfxDllCanUnloadNow(), S_FALSE);
    object->Release();
    EXPECT_EQ(AfxDllCanUnloadNow(), S_OK);
    cf->LockServer(TRUE);
    EXPECT_EQ(AfxDllCanUnloadNow(), S_FALSE);
    cf->LockServer(FALSE);
    EXPECT_EQ(cf->CreateInstance(cf, IID_IUnknown, reinterpret_cast<void**>(&object)),
              CLASS_E_NOAGGREGATION);
    constexpr CLSID kOther{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(AfxDllGetClassObject(kOther, IID_IClassFactory, reinterpret_cast<void**>(&cf)),
              CLASS_E_CLASSNOTAVAILABLE);
}

TEST_F(Registration, UpdateRegistryAllStopsAtTheFirstFailure) {
    CountingFactory first(kClsid, TRUE), failing(kClsid, FALSE), last(kClsid, TRUE);
    EXPECT_FALSE(COleObjectFactory::UpdateRegistryAll(TRUE));
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(failing.calls, 1);
    EXPECT_EQ(last.calls, 0);
}

TEST_F(Registration, WritesAndRemovesAControlClass) {
    ASSERT_TRUE(AfxOleRegisterControlClass(AfxGetInstanceHandle(), kClsid, "Test.Control", 1, 1,
                                           afxRegInsertable | afxRegApartmentThreading, 0x22191,
                                           kLibId, 5, 0));
    const std::string key = "CLSID\\{5E0D0004-0000-4000-8000-0000000A11CE}";
    const std::string module = AfxGetModuleFileName();
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, key, ""), "Test Control");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", ""), module);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "ThreadingModel"),
              "Apartment");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, key + "\\ProgID", ""), "Test.Control");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, key + "\\ToolboxBitmap32", ""), module + ", 1");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, key + "\\MiscStatus\\1", ""), "139665");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, key + "\\TypeLib", ""),
              "{5E0D0001-0000-4000-8000-0000000A11CE}");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, key + "\\Version", ""), "5.0");
    EXPECT_TRUE(KeyExists(key + "\\Control"));
    EXPECT_TRUE(KeyExists(key + "\\Insertable"));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Test.Control\\CLSID", ""),
              "{5E0D0004-0000-4000-8000-0000000A11CE}");

    ASSERT_TRUE(AfxOleUnregisterClass(kClsid, "Test.Control"));
    EXPECT_FALSE(KeyExists(key));
    EXPECT_FALSE(KeyExists("Test.Control"));
    EXPECT_TRUE(AfxOleUnregisterClass(kClsid, "Test.Control")) << "nothing left to remove";

    ASSERT_TRUE(AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), kClsid, 2));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, key, ""), "Test Page");
    EXPECT_FALSE(ReadString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "ThreadingModel"));
    EXPECT_FALSE(KeyExists(key + "\\ProgID"));
}

TEST_F(Registration, RegistersTheTypeLibraryInTheModulesResources) {
    constexpr GUID kWrong{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_FALSE(AfxOleRegisterTypeLib(AfxGetInstanceHandle(), kWrong));
    ASSERT_TRUE(AfxOleRegisterTypeLib(AfxGetInstanceHandle(), kLibId));
    const std::string key = "TypeLib\\{5E0D0001-0000-4000-8000-0000000A11CE}\\1.0";
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, key + "\\0\\linux", ""), AfxGetModuleFileName());
    EXPECT_TRUE(KeyExists("Interface\\{5E0D0003-0000-4000-8000-0000000A11CE}"));
    EXPECT_FALSE(AfxOleUnregisterTypeLib(kLibId, 2, 0, 0));
    ASSERT_TRUE(AfxOleUnregisterTypeLib(kLibId, 1, 0, 0));
    EXPECT_FALSE(KeyExists("TypeLib\\{5E0D0001-0000-4000-8000-0000000A11CE}"));
}
