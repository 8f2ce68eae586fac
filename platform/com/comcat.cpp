#include "platform/com/comcat.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/internal.h"
#include "platform/com/object.h"
#include "platform/registry/registry.h"

namespace {

using platform::com::GuidToString;
using platform::com::internal::KeyExists;
using platform::com::internal::LcidName;
using platform::com::internal::SubKeys;

const char* const kCategories = "Component Categories\\";

std::string ClassKey(REFCLSID clsid, const char* list) {
    return "CLSID\\" + GuidToString(clsid) + "\\" + list;
}

HRESULT AddMarks(REFCLSID clsid, const char* list, ULONG count, CATID* ids) {
    if (count && !ids) return E_POINTER;
    for (ULONG i = 0; i < count; ++i) {
        HKEY key;
        std::string path = ClassKey(clsid, list) + "\\" + GuidToString(ids[i]);
        if (RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS) {
            return E_FAIL;
        }
        RegCloseKey(key);
    }
    return S_OK;
}

HRESULT RemoveMarks(REFCLSID clsid, const char* list, ULONG count, CATID* ids) {
    if (count && !ids) return E_POINTER;
    std::string parent = ClassKey(clsid, list);
    for (ULONG i = 0; i < count; ++i) {
        std::string path = parent + "\\" + GuidToString(ids[i]);
        LONG r = RegDeleteTreeA(HKEY_CLASSES_ROOT, path.c_str());
        if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND) return E_FAIL;
    }
    if (KeyExists(parent) && SubKeys(parent).empty()) {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, parent.c_str());
    }
    return S_OK;
}

class CategoriesManager final : public platform::com::Object<ICatRegister, ICatInformation> {
public:
    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_ICatRegister)
            return static_cast<ICatRegister*>(this);
        if (riid == IID_ICatInformation) return static_cast<ICatInformation*>(this);
        return nullptr;
    }

    HRESULT RegisterCategories(ULONG count, CATEGORYINFO* infos) override {
        if (count && !infos) return E_POINTER;
        for (ULONG i = 0; i < count; ++i) {
            const CATEGORYINFO& info = infos[i];
            std::size_t n = 0;
            while (n < 128 && info.szDescription[n]) ++n;
            std::string text = platform::com::Utf8(std::u16string_view(info.szDescription, n));
            if (platform::registry::WriteString(HKEY_CLASSES_ROOT,
                                                kCategories + GuidToString(info.catid),
                                                LcidName(info.lcid), text) != ERROR_SUCCESS) {
                return E_FAIL;
            }
        }
        return S_OK;
    }
    HRESULT UnRegisterCategories(ULONG count, CATID* ids) override {
        if (count && !ids) return E_POINTER;
        for (ULONG i = 0; i < count; ++i) {
            std::string path = kCategories + GuidToString(ids[i]);
            LONG r = RegDeleteTreeA(HKEY_CLASSES_ROOT, path.c_str());
            if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND) return E_FAIL;
        }
        return S_OK;
    }
    HRESULT RegisterClassImplCategories(REFCLSID clsid, ULONG count, CATID* ids) override {
        return AddMarks(clsid, "Implemented Categories", count, ids);
    }
    HRESULT UnRegisterClassImplCategories(REFCLSID clsid, ULONG count, CATID* ids) override {
        return RemoveMarks(clsid, "Implemented Categories", count, ids);
    }
    HRESULT RegisterClassReqCategories(REFCLSID clsid, ULONG count, CATID* ids) override {
        return AddMarks(clsid, "Required Categories", count, ids);
    }
    HRESULT UnRegisterClassReqCategories(REFCLSID clsid, ULONG count, CATID* ids) override {
        return RemoveMarks(clsid, "Required Categories", count, ids);
    }

    HRESULT GetCategoryDesc(REFCATID rcatid, LCID lcid, LPOLESTR* pszDesc) override {
        if (!pszDesc) return E_POINTER;
        *pszDesc = nullptr;
        std::string key = kCategories + GuidToString(rcatid);
        if (!KeyExists(key)) return CAT_E_CATIDNOEXIST;
        for (LCID tryLcid : {lcid, LCID{0x409}, LCID{0}}) {
            auto text = platform::registry::ReadString(HKEY_CLASSES_ROOT, key, LcidName(tryLcid));
            if (!text) continue;
            std::u16string w = platform::com::Utf16(*text);
            auto* p = static_cast<LPOLESTR>(CoTaskMemAlloc((w.size() + 1) * sizeof(OLECHAR)));
            if (!p) return E_OUTOFMEMORY;
            std::memcpy(p, w.c_str(), (w.size() + 1) * sizeof(OLECHAR));
            *pszDesc = p;
            return S_OK;
        }
        return CAT_E_NODESCRIPTION;
    }
    HRESULT IsClassOfCategories(REFCLSID clsid, ULONG cImpl, CATID* impl, ULONG cReq,
                                CATID* req) override {
        if ((cImpl && !impl) || (cReq && !req)) return E_POINTER;
        for (ULONG i = 0; i < cImpl; ++i) {
            if (!KeyExists(ClassKey(clsid, "Implemented Categories") + "\\" +
                           GuidToString(impl[i]))) {
                return S_FALSE;
            }
        }
        for (const auto& name : SubKeys(ClassKey(clsid, "Required Categories"))) {
            bool allowed = false;
            for (ULONG i = 0; i < cReq; ++i) {
                if (platform::com::SameName(name, GuidToString(req[i]))) allowed = true;
            }
            if (!allowed) return S_FALSE;
        }
        return S_OK;
    }
};

}  // namespace

namespace platform::com::internal {

IClassFactory* CategoriesManagerFactory() {
    static ClassFactory<CategoriesManager> factory;
    return &factory;
}

std::string LcidName(LCID lcid) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(lcid));
    return buf;
}

bool KeyExists(const std::string& path) {
    HKEY key;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> SubKeys(const std::string& path) {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS) return names;
    char name[260];
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
        names.emplace_back(name);
    }
    RegCloseKey(key);
    return names;
}

}  // namespace platform::com::internal

namespace platform::com {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace platform::com
