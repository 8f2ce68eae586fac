#include "platform/com/activation.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/com/bstr.h"
#include "platform/com/comcat.h"
#include "platform/com/guid.h"
#include "platform/com/internal.h"
#include "platform/com/object.h"
#include "platform/registry/registry.h"

namespace {

using platform::com::GuidToString;

// ---- modules ----

struct Module {
    std::string path;
    void* dl = nullptr;  // set while loaded by LoadLibraryA
    int loads = 0;
};

std::mutex g_moduleMutex;
// Records live for the whole process so that handles stay comparable.
std::vector<std::unique_ptr<Module>>& Modules() {
    static auto* modules = new std::vector<std::unique_ptr<Module>>();
    return *modules;
}

std::string Canonical(const std::string& path) {
    char buf[PATH_MAX];
    if (::realpath(path.c_str(), buf)) return buf;
    return path;
}

// Under g_moduleMutex.
Module* RecordFor(const std::string& canonicalPath) {
    for (auto& m : Modules()) {
        if (m->path == canonicalPath) return m.get();
    }
    Modules().push_back(std::make_unique<Module>());
    Modules().back()->path = canonicalPath;
    return Modules().back().get();
}

Module* FromHandle(HMODULE h) {
    for (auto& m : Modules()) {
        if (reinterpret_cast<HMODULE>(m.get()) == h) return m.get();
    }
    return nullptr;
}

std::string ExecutablePath() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    buf[n] = 0;
    return buf;
}

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// "quixcore.DLL" -> "libquixcore.so"; other names unchanged.
std::string SharedLibraryName(const std::string& name) {
    if (name.size() > 4) {
        std::string ext = name.substr(name.size() - 4);
        for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".dll") return "lib" + name.substr(0, name.size() - 4) + ".so";
    }
    return name;
}

// ---- class objects and server libraries ----

struct Registration {
    DWORD cookie;
    CLSID clsid;
    platform::com::ComPtr<IUnknown> object;
};

std::mutex g_classMutex;
// Never destroyed: a registration left at the end of the process is not released, since the
// library its object came from may be gone by then.
std::vector<Registration>& g_registered = *new std::vector<Registration>();
DWORD g_nextCookie = 1;
std::map<std::string, HMODULE> g_servers;  // loaded server libraries by path

thread_local int t_initCount = 0;

std::string ClsidKey(REFCLSID clsid) {
    return "CLSID\\" + GuidToString(clsid);
}

// ---- task memory ----

// A static of this library.
class TaskAllocator final : public platform::com::UncountedObject<IMalloc> {
public:
    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_IMalloc) return static_cast<IMalloc*>(this);
        return nullptr;
    }
    void* Alloc(std::size_t cb) override { return CoTaskMemAlloc(cb); }
    void* Realloc(void* pv, std::size_t cb) override { return CoTaskMemRealloc(pv, cb); }
    void Free(void* pv) override { CoTaskMemFree(pv); }
    std::size_t GetSize(void* pv) override { return pv ? ::malloc_usable_size(pv) : 0; }
    int DidAlloc(void*) override { return -1; }
    void HeapMinimize() override {}
};

}  // namespace

// ---- modules ----

HMODULE LoadLibraryA(LPCSTR lpLibFileName) {
    if (!lpLibFileName || !*lpLibFileName) return nullptr;
    std::string name = lpLibFileName;
    std::vector<std::string> candidates;
    if (name.find('/') != std::string::npos) {
        candidates.push_back(name);
    } else {
        std::string so = SharedLibraryName(name);
        candidates.push_back(FolderOf(ExecutablePath()) + "/" + so);
        candidates.push_back(so);
    }
    for (const auto& candidate : candidates) {
        void* dl = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!dl) continue;
        std::string path = candidate;
        if (candidate.find('/') == std::string::npos) {
            // Found through the search path: ask the loader where it came from.
            link_map* map = nullptr;
            if (::dlinfo(dl, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name) {
                path = map->l_name;
            }
        }
        std::lock_guard lock(g_moduleMutex);
        Module* m = RecordFor(Canonical(path));
        if (m->dl) {
            ::dlclose(dl);  // already held once; keep one loader reference per record
        } else {
            m->dl = dl;
        }
        ++m->loads;
        return reinterpret_cast<HMODULE>(m);
    }
    return nullptr;
}

BOOL FreeLibrary(HMODULE h) {
    void* toClose = nullptr;
    {
        std::lock_guard lock(g_moduleMutex);
        Module* m = FromHandle(h);
        if (!m || m->loads == 0) return FALSE;
        if (--m->loads == 0) {
            toClose = m->dl;
            m->dl = nullptr;
        }
    }
    if (toClose) ::dlclose(toClose);
    return TRUE;
}

void* GetProcAddress(HMODULE h, LPCSTR lpProcName) {
    if (!lpProcName) return nullptr;
    std::string path;
    void* dl = nullptr;
    {
        std::lock_guard lock(g_moduleMutex);
        Module* m = FromHandle(h);
        if (!m) return nullptr;
        dl = m->dl;
        path = m->path;
    }
    if (dl) return ::dlsym(dl, lpProcName);
    void* ref = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!ref) return nullptr;
    void* sym = ::dlsym(ref, lpProcName);
    ::dlclose(ref);
    return sym;
}

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    std::string path = hModule ? platform::com::ModulePath(hModule) : ExecutablePath();
    if (!lpFilename || nSize == 0 || path.empty()) return 0;
    DWORD n = static_cast<DWORD>(std::min<std::size_t>(path.size(), nSize - 1));
    std::memcpy(lpFilename, path.data(), n);
    lpFilename[n] = 0;
    return n;
}

namespace platform::com {

HMODULE ModuleOfAddress(const void* address) {
    Dl_info info{};
    if (!::dladdr(address, &info) || !info.dli_fname) return nullptr;
    std::string path = info.dli_fname;
    if (path.empty() || path.find('/') == std::string::npos) path = ExecutablePath();
    std::lock_guard lock(g_moduleMutex);
    return reinterpret_cast<HMODULE>(RecordFor(Canonical(path)));
}

std::string ModulePath(HMODULE module) {
    std::lock_guard lock(g_moduleMutex);
    Module* m = FromHandle(module);
    return m ? m->path : std::string();
}

std::string SystemServerPath() {
    return ModulePath(ModuleOfAddress(reinterpret_cast<const void*>(&SystemServerPath)));
}

HRESULT RegisterSystemClasses() {
    std::string key = ClsidKey(CLSID_StdComponentCategoriesMgr);
    std::string server = SystemServerPath();
    auto current = platform::registry::ReadString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "");
    if (current && *current == server) return S_OK;
    if (platform::registry::WriteString(HKEY_CLASSES_ROOT, key, "",
                                        "Component Categories Manager") != ERROR_SUCCESS ||
        platform::registry::WriteString(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "", server) !=
            ERROR_SUCCESS ||
        platform::registry::WriteString(HKEY_CLASSES_ROOT, key + "\\InprocServer32",
                                        "ThreadingModel", "Both") != ERROR_SUCCESS) {
        return REGDB_E_WRITEREGDB;
    }
    return S_OK;
}

}  // namespace platform::com

// ---- apartments ----

HRESULT CoInitialize(void*) {
    return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

HRESULT CoInitializeEx(void*, DWORD) {
    return t_initCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (t_initCount == 0) return;
    if (--t_initCount == 0) CoFreeUnusedLibraries();
}

// ---- activation ----

HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD, DWORD, DWORD* lpdwRegister) {
    if (!pUnk || !lpdwRegister) return E_INVALIDARG;
    platform::com::ComPtr<IUnknown> object(pUnk);
    std::lock_guard lock(g_classMutex);
    DWORD cookie = g_nextCookie++;
    g_registered.push_back({cookie, rclsid, std::move(object)});
    *lpdwRegister = cookie;
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD dwRegister) {
    platform::com::ComPtr<IUnknown> object;  // released outside the lock
    {
        std::lock_guard lock(g_classMutex);
        for (auto it = g_registered.begin(); it != g_registered.end(); ++it) {
            if (it->cookie == dwRegister) {
                object = std::move(it->object);
                g_registered.erase(it);
                break;
            }
        }
    }
    return object ? S_OK : E_INVALIDARG;
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void*, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    {
        std::unique_lock lock(g_classMutex);
        for (const auto& r : g_registered) {
            if (r.clsid == rclsid) {
                platform::com::ComPtr<IUnknown> object = r.object;
                lock.unlock();
                return object->QueryInterface(riid, ppv);
            }
        }
    }
    if (!(dwClsContext & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    auto server = platform::registry::ReadString(HKEY_CLASSES_ROOT,
                                                 ClsidKey(rclsid) + "\\InprocServer32", "");
    if (!server || server->empty()) return REGDB_E_CLASSNOTREG;
    if (*server == platform::com::SystemServerPath()) {
        if (rclsid == CLSID_StdComponentCategoriesMgr) {
            return platform::com::internal::CategoriesManagerFactory()->QueryInterface(riid, ppv);
        }
        return REGDB_E_CLASSNOTREG;
    }
    HMODULE module = nullptr;
    {
        std::lock_guard lock(g_classMutex);
        auto it = g_servers.find(*server);
        if (it != g_servers.end()) module = it->second;
    }
    if (!module) {
        module = LoadLibraryA(server->c_str());
        if (!module) return CO_E_DLLNOTFOUND;
        std::lock_guard lock(g_classMutex);
        auto [it, inserted] = g_servers.emplace(*server, module);
        if (!inserted) {
            FreeLibrary(module);
            module = it->second;
        }
    }
    auto get = reinterpret_cast<LPFNGETCLASSOBJECT>(GetProcAddress(module, "DllGetClassObject"));
    if (!get) return CO_E_ERRORINDLL;
    return get(rclsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    platform::com::ComPtr<IClassFactory> factory;
    HRESULT hr =
        CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory, factory.outVoid());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(pUnkOuter, riid, ppv);
}

void CoFreeUnusedLibraries() {
    std::vector<std::pair<std::string, HMODULE>> servers;
    {
        std::lock_guard lock(g_classMutex);
        servers.assign(g_servers.begin(), g_servers.end());
    }
    for (const auto& [path, module] : servers) {
        auto canUnload =
            reinterpret_cast<LPFNCANUNLOADNOW>(GetProcAddress(module, "DllCanUnloadNow"));
        if (!canUnload || canUnload() != S_OK) continue;
        {
            std::lock_guard lock(g_classMutex);
            g_servers.erase(path);
        }
        FreeLibrary(module);
    }
}

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
    if (!lpszProgID || !lpclsid) return E_INVALIDARG;
    std::string progId = platform::com::Utf8FromWide(lpszProgID);
    if (progId.empty()) return CO_E_CLASSSTRING;
    auto text = platform::registry::ReadString(HKEY_CLASSES_ROOT, progId + "\\CLSID", "");
    if (!text) return CO_E_CLASSSTRING;
    auto clsid = platform::com::ParseGuid(*text);
    if (!clsid) return CO_E_CLASSSTRING;
    *lpclsid = *clsid;
    return S_OK;
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID) {
    if (!lplpszProgID) return E_INVALIDARG;
    *lplpszProgID = nullptr;
    auto text = platform::registry::ReadString(HKEY_CLASSES_ROOT, ClsidKey(clsid) + "\\ProgID", "");
    if (!text) return REGDB_E_CLASSNOTREG;
    std::u16string w = platform::com::Utf16(*text);
    auto* p = static_cast<LPOLESTR>(CoTaskMemAlloc((w.size() + 1) * sizeof(OLECHAR)));
    if (!p) return E_OUTOFMEMORY;
    std::memcpy(p, w.c_str(), (w.size() + 1) * sizeof(OLECHAR));
    *lplpszProgID = p;
    return S_OK;
}

// ---- task memory ----

void* CoTaskMemAlloc(std::size_t cb) {
    return std::malloc(cb ? cb : 1);
}
void* CoTaskMemRealloc(void* pv, std::size_t cb) {
    return std::realloc(pv, cb ? cb : 1);
}
void CoTaskMemFree(void* pv) {
    std::free(pv);
}

HRESULT CoGetMalloc(DWORD dwMemContext, IMalloc** ppMalloc) {
    if (!ppMalloc) return E_INVALIDARG;
    if (dwMemContext != MEMCTX_TASK) {
        *ppMalloc = nullptr;
        return E_INVALIDARG;
    }
    static TaskAllocator allocator;
    *ppMalloc = &allocator;
    return S_OK;
}
