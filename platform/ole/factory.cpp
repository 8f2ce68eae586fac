#include "platform/ole/factory.h"

#include <algorithm>
#include <cstdio>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/registry/registry.h"

using platform::com::GuidToString;
using platform::registry::WriteString;

COleObjectFactory::COleObjectFactory(REFCLSID clsid, const CRuntimeClass* pRuntimeClass,
                                     BOOL bMultiInstance, LPCSTR lpszProgID)
    : m_clsid(clsid),
      m_pRuntimeClass(pRuntimeClass),
      m_bMultiInstance(bMultiInstance),
      m_lpszProgID(lpszProgID) {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    std::lock_guard lock(state->m_factoryMutex);
    state->m_factories.push_back(this);
}

COleObjectFactory::~COleObjectFactory() {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    std::lock_guard lock(state->m_factoryMutex);
    auto& list = state->m_factories;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

BOOL COleObjectFactory::UpdateRegistry(BOOL bRegister) {
    if (!bRegister) return AfxOleUnregisterClass(m_clsid, m_lpszProgID);
    std::string key = "CLSID\\" + GuidToString(m_clsid);
    bool ok = WriteString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "",
                          AfxGetModuleFileName()) == ERROR_SUCCESS;
    if (ok && m_lpszProgID) {
        ok = WriteString(HKEY_CLASSES_ROOT, key + "\\ProgID", "", m_lpszProgID) == ERROR_SUCCESS &&
             WriteString(HKEY_CLASSES_ROOT, std::string(m_lpszProgID) + "\\CLSID", "",
                         GuidToString(m_clsid)) == ERROR_SUCCESS;
    }
    return ok ? TRUE : FALSE;
}

BOOL COleObjectFactory::UpdateRegistryAll(BOOL bRegister) {
    std::vector<COleObjectFactory*> factories;
    {
        AFX_MODULE_STATE* state = AfxGetModuleState();
        std::lock_guard lock(state->m_factoryMutex);
        factories = state->m_factories;
    }
    for (COleObjectFactory* f : factories) {
        if (!f->UpdateRegistry(bRegister)) return FALSE;
    }
    return TRUE;
}

void* COleObjectFactory::GetInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) return static_cast<IClassFactory*>(this);
    return nullptr;
}

HRESULT COleObjectFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    if (!m_pRuntimeClass) return E_UNEXPECTED;
    CCmdTarget* object = nullptr;
    try {
        object = m_pRuntimeClass->CreateObject();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->ExternalQueryInterface(riid, ppvObject);
    // The new object's first reference is the factory's; the caller's interface keeps it alive
    // (a failed query ends it here).
    object->InternalRelease();
    return hr;
}

HRESULT COleObjectFactory::LockServer(BOOL fLock) {
    if (fLock) {
        AfxOleLockApp();
    } else {
        AfxOleUnlockApp();
    }
    return S_OK;
}

HRESULT AfxDllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    AFX_MODULE_STATE* state = AfxGetModuleState();
    std::lock_guard lock(state->m_factoryMutex);
    for (COleObjectFactory* f : state->m_factories) {
        if (f->GetClassID() == rclsid) return f->QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT AfxDllCanUnloadNow() {
    return AfxOleCanExitApp() ? S_OK : S_FALSE;
}

namespace {

bool CreateKey(const std::string& path) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool RegisterClassKey(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName, int nRegFlags,
                      std::string* keyOut) {
    std::string key = "CLSID\\" + GuidToString(clsid);
    std::string path = platform::com::ModulePath(hInstance);
    if (path.empty()) return false;
    bool ok = WriteString(HKEY_CLASSES_ROOT, key, "", AfxLoadString(idTypeName)) == ERROR_SUCCESS &&
              WriteString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "", path) == ERROR_SUCCESS;
    if (ok && (nRegFlags & afxRegApartmentThreading)) {
        ok = WriteString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "ThreadingModel",
                         "Apartment") == ERROR_SUCCESS;
    }
    *keyOut = key;
    return ok;
}

}  // namespace

BOOL AfxOleRegisterControlClass(HINSTANCE hInstance, REFCLSID clsid, LPCSTR pszProgID,
                                UINT idTypeName, UINT idBitmap, int nRegFlags, DWORD dwMiscStatus,
                                REFGUID tlid, WORD wVerMajor, WORD wVerMinor) {
    std::string key;
    if (!RegisterClassKey(hInstance, clsid, idTypeName, nRegFlags, &key)) return FALSE;
    std::string typeName = AfxLoadString(idTypeName);
    std::string path = platform::com::ModulePath(hInstance);
    char version[32];
    std::snprintf(version, sizeof version, "%u.%u", wVerMajor, wVerMinor);
    bool ok = CreateKey(key + "\\Control") &&
              WriteString(HKEY_CLASSES_ROOT, key + "\\ToolboxBitmap32", "",
                          path + ", " + std::to_string(idBitmap)) == ERROR_SUCCESS &&
              WriteString(HKEY_CLASSES_ROOT, key + "\\MiscStatus", "", "0") == ERROR_SUCCESS &&
              WriteString(HKEY_CLASSES_ROOT, key + "\\MiscStatus\\1", "",
                          std::to_string(dwMiscStatus)) == ERROR_SUCCESS &&
              WriteString(HKEY_CLASSES_ROOT, key + "\\TypeLib", "", GuidToString(tlid)) ==
                  ERROR_SUCCESS &&
              WriteString(HKEY_CLASSES_ROOT, key + "\\Version", "", version) == ERROR_SUCCESS;
    if (ok && (nRegFlags & afxRegInsertable)) ok = CreateKey(key + "\\Insertable");
    if (ok && pszProgID) {
        ok = WriteString(HKEY_CLASSES_ROOT, key + "\\ProgID", "", pszProgID) == ERROR_SUCCESS &&
             WriteString(HKEY_CLASSES_ROOT, pszProgID, "", typeName) == ERROR_SUCCESS &&
             WriteString(HKEY_CLASSES_ROOT, std::string(pszProgID) + "\\CLSID", "",
                         GuidToString(clsid)) == ERROR_SUCCESS;
        if (ok && (nRegFlags & afxRegInsertable)) {
            ok = CreateKey(std::string(pszProgID) + "\\Insertable");
        }
    }
    return ok ? TRUE : FALSE;
}

BOOL AfxOleRegisterPropertyPageClass(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName,
                                     int nRegFlags) {
    std::string key;
    return RegisterClassKey(hInstance, clsid, idTypeName, nRegFlags, &key) ? TRUE : FALSE;
}

BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCSTR pszProgID) {
    auto gone = [](LONG r) { return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND; };
    std::string key = "CLSID\\" + GuidToString(clsid);
    bool ok = gone(RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str()));
    if (pszProgID && *pszProgID) ok = gone(RegDeleteTreeA(HKEY_CLASSES_ROOT, pszProgID)) && ok;
    return ok ? TRUE : FALSE;
}

BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCSTR pszFileName,
                           LPCSTR pszHelpDir) {
    std::string path =
        pszFileName ? std::string(pszFileName) : platform::com::ModulePath(hInstance);
    if (path.empty()) return FALSE;
    std::u16string wide = platform::com::Utf16(path);
    platform::com::ComPtr<ITypeLib> lib;
    if (FAILED(LoadTypeLib(wide.c_str(), lib.out()))) return FALSE;
    TLIBATTR* attr = nullptr;
    bool same = SUCCEEDED(lib->GetLibAttr(&attr)) && attr->guid == tlid;
    if (attr) lib->ReleaseTLibAttr(attr);
    HRESULT hr = E_FAIL;
    if (same) {
        std::u16string help = pszHelpDir ? platform::com::Utf16(pszHelpDir) : std::u16string();
        hr = RegisterTypeLib(lib.get(), wide.c_str(), pszHelpDir ? help.c_str() : nullptr);
    }
    return SUCCEEDED(hr) ? TRUE : FALSE;
}

BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor, WORD wVerMinor, LCID lcid) {
    return SUCCEEDED(UnRegisterTypeLib(tlid, wVerMajor, wVerMinor, lcid, SYS_WIN32)) ? TRUE : FALSE;
}
