#include "platform/com/activation.h"

#include <gtest/gtest.h>

#include "platform/com/bstr.h"
#include "tests/platform/com/com_test_support.h"

using com_test::kCounterClsid;
using platform::com::ComPtr;
using platform::com::Utf16;

class Activation : public com_test::RegistryTest {
protected:
    // No test leaves a server library loaded for the next one.
    void TearDown() override {
        CoFreeUnusedLibraries();
        com_test::RegistryTest::TearDown();
    }
};

TEST_F(Activation, CreatesAnObjectByProgIdThroughTheServersExportAndUnloadsItWhenUnused) {
    RegisterServer(kCounterClsid, TEST_SERVER_PATH, "Test.Counter");
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(Utf16("test.counter").c_str(), &clsid), S_OK);
    EXPECT_EQ(clsid, kCounterClsid);
    LPOLESTR progId = nullptr;
    EXPECT_EQ(ProgIDFromCLSID(kCounterClsid, &progId), REGDB_E_CLASSNOTREG);

    ComPtr<IUnknown> a, b;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, a.outVoid()),
              S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, b.outVoid()),
              S_OK);
    HMODULE module = LoadLibraryA(TEST_SERVER_PATH);
    auto objects = reinterpret_cast<int (*)()>(GetProcAddress(module, "TestServerObjects"));
    ASSERT_NE(objects, nullptr);
    EXPECT_EQ(objects(), 2);
    FreeLibrary(module);

    ComPtr<IUnknown> other;
    EXPECT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, other.outVoid()),
        E_NOINTERFACE);
    EXPECT_EQ(CoCreateInstance(clsid, a.get(), CLSCTX_INPROC_SERVER, IID_IUnknown, other.outVoid()),
              CLASS_E_NOAGGREGATION);

    CoFreeUnusedLibraries();
    EXPECT_TRUE(Loaded(TEST_SERVER_PATH)) << "objects are alive";
    a.reset();
    b.reset();
    CoFreeUnusedLibraries();
    EXPECT_FALSE(Loaded(TEST_SERVER_PATH));
}

TEST_F(Activation, ReportsWhyAClassCannotBeCreated) {
    ComPtr<IUnknown> p;
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(Utf16("No.Such.Class").c_str(), &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(
        CoCreateInstance(kCounterClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, p.outVoid()),
        REGDB_E_CLASSNOTREG);

    RegisterServer(kCounterClsid, dir / "missing.so", "");
    EXPECT_EQ(
        CoCreateInstance(kCounterClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, p.outVoid()),
        CO_E_DLLNOTFOUND);

    RegisterServer(kCounterClsid, TEST_PLAIN_PATH, "");
    EXPECT_EQ(
        CoCreateInstance(kCounterClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, p.outVoid()),
        CO_E_ERRORINDLL);
    EXPECT_EQ(p.get(), nullptr);

    // The server knows only its own class.
    constexpr CLSID kOther{0x6C1A00FF, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0xC0, 0xDE}};
    RegisterServer(kOther, TEST_SERVER_PATH, "");
    EXPECT_EQ(CoCreateInstance(kOther, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, p.outVoid()),
              CLASS_E_CLASSNOTAVAILABLE);
}

namespace {

class FixedFactory final : public IClassFactory {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT CreateInstance(IUnknown*, REFIID, void**) override { return E_ABORT; }
    HRESULT LockServer(BOOL) override { return S_OK; }
    ULONG refs = 1;
};

}  // namespace

TEST_F(Activation, PrefersClassObjectsRegisteredInTheProcess) {
    RegisterServer(kCounterClsid, TEST_SERVER_PATH, "");
    FixedFactory factory;
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(kCounterClsid, &factory, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    ComPtr<IUnknown> p;
    EXPECT_EQ(
        CoCreateInstance(kCounterClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, p.outVoid()),
        E_ABORT);
    ASSERT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_EQ(factory.refs, 1u);
    EXPECT_EQ(CoRevokeClassObject(cookie), E_INVALIDARG);
    EXPECT_EQ(
        CoCreateInstance(kCounterClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, p.outVoid()),
        S_OK);
}

TEST(Modules, NameTheirFilesAndFindOnlyExportedSymbols) {
    HMODULE module = LoadLibraryA(TEST_SERVER_PATH);
    ASSERT_NE(module, nullptr);
    char path[4096];
    ASSERT_GT(GetModuleFileNameA(module, path, sizeof path), 0u);
    EXPECT_EQ(std::string(path), platform::com::ModulePath(module));
    EXPECT_NE(GetProcAddress(module, "DllGetClassObject"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "PlainLibraryAnswer"), nullptr);
    EXPECT_EQ(LoadLibraryA(TEST_SERVER_PATH), module);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(FreeLibrary(module));
    EXPECT_EQ(LoadLibraryA("/no/such/library.so"), nullptr);
    // The module of an address in this program is the program itself.
    char self[4096];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    HMODULE program = platform::com::ModuleOfAddress(reinterpret_cast<const void*>(&LoadLibraryA));
    EXPECT_NE(platform::com::ModulePath(program), std::string(self)) << "that is the COM library";
    EXPECT_EQ(platform::com::ModulePath(program), platform::com::SystemServerPath());
}
