#include <gtest/gtest.h>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/typeinfo.h"
#include "tests/platform/com/com_test_support.h"

using com_test::kCounterIid;
using com_test::kTestLibId;
using platform::com::Bstr;
using platform::com::ComPtr;
using platform::com::Utf16;
using platform::com::Utf8;

namespace {

ComPtr<ITypeLib> Load(const std::string& path) {
    ComPtr<ITypeLib> lib;
    EXPECT_EQ(LoadTypeLib(Utf16(path).c_str(), lib.out()), S_OK) << path;
    return lib;
}

std::vector<DISPID> Ids(ITypeInfo* info, std::vector<std::string> names, HRESULT* hr) {
    std::vector<std::u16string> wide;
    for (auto& n : names) wide.push_back(Utf16(n));
    std::vector<LPOLESTR> ptrs;
    for (auto& w : wide) ptrs.push_back(w.data());
    std::vector<DISPID> ids(names.size());
    *hr = info->GetIDsOfNames(ptrs.data(), static_cast<UINT>(ptrs.size()), ids.data());
    return ids;
}

}  // namespace

class TypeLibrary : public com_test::RegistryTest {};

TEST_F(TypeLibrary, DescribesInterfacesEnumsAndClassesFromTheModulesResource) {
    ComPtr<ITypeLib> lib = Load(TEST_SERVER_PATH);
    ASSERT_TRUE(lib);
    EXPECT_EQ(lib->GetTypeInfoCount(), 3u);
    TLIBATTR* attr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, kTestLibId);
    EXPECT_EQ(attr->wMajorVerNum, 2);
    EXPECT_EQ(attr->wMinorVerNum, 1);
    lib->ReleaseTLibAttr(attr);

    ComPtr<ITypeInfo> counter;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(kCounterIid, counter.out()), S_OK);
    HRESULT hr;
    EXPECT_EQ(Ids(counter.get(), {"value"}, &hr), std::vector<DISPID>{1});
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(Ids(counter.get(), {"ADD", "times", "Amount"}, &hr), (std::vector<DISPID>{10, 1, 0}));
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(Ids(counter.get(), {"Add", "Count"}, &hr), (std::vector<DISPID>{10, DISPID_UNKNOWN}));
    EXPECT_EQ(hr, DISP_E_UNKNOWNNAME);
    Ids(counter.get(), {"Subtract"}, &hr);
    EXPECT_EQ(hr, DISP_E_UNKNOWNNAME);

    TYPEATTR* ta;
    ASSERT_EQ(counter->GetTypeAttr(&ta), S_OK);
    EXPECT_EQ(ta->typekind, TKIND_DISPATCH);
    EXPECT_EQ(ta->cFuncs, 2);
    EXPECT_EQ(ta->cVars, 3);
    counter->ReleaseTypeAttr(ta);

    FUNCDESC* add;
    ASSERT_EQ(counter->GetFuncDesc(0, &add), S_OK);
    EXPECT_EQ(add->memid, 10);
    EXPECT_EQ(add->elemdescFunc.tdesc.vt, VT_I4);
    ASSERT_EQ(add->cParams, 2);
    EXPECT_EQ(add->cParamsOpt, 1);
    EXPECT_EQ(add->lprgelemdescParam[1].tdesc.vt, VT_VARIANT);
    EXPECT_TRUE(add->lprgelemdescParam[1].paramdesc.wParamFlags & PARAMFLAG_FOPT);
    counter->ReleaseFuncDesc(add);

    // The Colour property is of the enum type, whose constants carry their values.
    VARDESC* colour;
    ASSERT_EQ(counter->GetVarDesc(1, &colour), S_OK);
    EXPECT_EQ(colour->memid, 2);
    ASSERT_EQ(colour->elemdescVar.tdesc.vt, VT_USERDEFINED);
    ComPtr<ITypeInfo> colours;
    ASSERT_EQ(counter->GetRefTypeInfo(colour->elemdescVar.tdesc.hreftype, colours.out()), S_OK);
    counter->ReleaseVarDesc(colour);
    VARDESC* blue;
    ASSERT_EQ(colours->GetVarDesc(2, &blue), S_OK);
    EXPECT_EQ(blue->lpvarValue->lVal, 2);
    BSTR name = nullptr;
    UINT count = 0;
    ASSERT_EQ(colours->GetNames(blue->memid, &name, 1, &count), S_OK);
    EXPECT_EQ(Utf8(name), "COL_Blue");
    SysFreeString(name);
    colours->ReleaseVarDesc(blue);

    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(platform::com::FindTypeInfo(lib.get(), "counter", coclass.out()), S_OK);
    HREFTYPE ref;
    int flags;
    ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &ref), S_OK);
    ASSERT_EQ(coclass->GetImplTypeFlags(0, &flags), S_OK);
    EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
    ComPtr<ITypeInfo> again;
    ASSERT_EQ(coclass->GetRefTypeInfo(ref, again.out()), S_OK);
    Bstr interfaceName;
    ASSERT_EQ(again->GetDocumentation(-1, interfaceName.out(), nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(interfaceName.str(), "_DCounter");
}

TEST_F(TypeLibrary, ExplainsWhereTheTextIsWrong) {
    ComPtr<ITypeLib> lib;
    std::string error;
    const std::pair<const char*, const char*> bad[] = {
        {"enum A\nend\n", "line 1: the library line must come first"},
        {"library L {6C1A0001-0000-4000-8000-00000000C0DE} 1.0\ndispinterface I {bad}\nend\n",
         "line 2: bad GUID"},
        {"library L {6C1A0001-0000-4000-8000-00000000C0DE} 1.0\n"
         "dispinterface I {6C1A0002-0000-4000-8000-00000000C0DE}\n"
         "    property 1 A short\n    property 1 B short\nend\n",
         "line 4: duplicate dispatch id 1"},
        {"library L {6C1A0001-0000-4000-8000-00000000C0DE} 1.0\n"
         "dispinterface I {6C1A0002-0000-4000-8000-00000000C0DE}\n"
         "    method 2 M (Colour c)\nend\n",
         "line 3: bad parameter"},
        {"library L {6C1A0001-0000-4000-8000-00000000C0DE} 1.0\n"
         "dispinterface I {6C1A0002-0000-4000-8000-00000000C0DE}\n",
         "line 2: missing 'end'"},
    };
    for (const auto& [text, why] : bad) {
        EXPECT_EQ(platform::com::ParseTypeLib(text, lib.out(), &error), TYPE_E_INVALIDSTATE);
        EXPECT_EQ(error, why);
    }
}

TEST_F(TypeLibrary, IsRegisteredFoundByVersionAndUnregistered) {
    ComPtr<ITypeLib> lib = Load(TEST_TYPELIB_TEXT);
    ASSERT_TRUE(lib);
    std::u16string path = Utf16(TEST_SERVER_PATH);
    ASSERT_EQ(RegisterTypeLib(lib.get(), path.c_str(), nullptr), S_OK);
    const std::string libKey = "TypeLib\\{6C1A0001-0000-4000-8000-00000000C0DE}";
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, libKey + "\\2.1", ""),
              "Test server library");
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, libKey + "\\2.1\\0\\linux", ""),
              TEST_SERVER_PATH);
    const std::string interfaceKey = "Interface\\{6C1A0002-0000-4000-8000-00000000C0DE}";
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, interfaceKey, ""), "_DCounter");
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, interfaceKey + "\\TypeLib", ""),
              "{6C1A0001-0000-4000-8000-00000000C0DE}");
    EXPECT_EQ(
        platform::registry::ReadString(HKEY_CLASSES_ROOT, interfaceKey + "\\ProxyStubClsid32", ""),
        "{00020420-0000-0000-C000-000000000046}");

    // Version 2.0 is served by 2.1; 2.2 and 1.0 are not registered.
    ComPtr<ITypeLib> found;
    EXPECT_EQ(LoadRegTypeLib(kTestLibId, 2, 0, 0x409, found.out()), S_OK);
    EXPECT_EQ(LoadRegTypeLib(kTestLibId, 2, 2, 0, found.out()), TYPE_E_LIBNOTREGISTERED);
    EXPECT_EQ(LoadRegTypeLib(kTestLibId, 1, 0, 0, found.out()), TYPE_E_LIBNOTREGISTERED);

    ASSERT_EQ(UnRegisterTypeLib(kTestLibId, 2, 1, 0, SYS_WIN32), S_OK);
    EXPECT_FALSE(KeyExists(libKey));
    EXPECT_FALSE(KeyExists(interfaceKey));
    EXPECT_TRUE(KeyExists("Interface"));
    EXPECT_EQ(UnRegisterTypeLib(kTestLibId, 2, 1, 0, SYS_WIN32), TYPE_E_REGISTRYACCESS);
    EXPECT_EQ(LoadRegTypeLib(kTestLibId, 2, 0, 0, found.out()), TYPE_E_LIBNOTREGISTERED);
}
