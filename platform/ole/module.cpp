#include "platform/ole/module.h"

#include "platform/com/activation.h"
#include "platform/com/guid.h"

namespace {

AFX_MODULE_STATE& ModuleState() {
    static AFX_MODULE_STATE state;
    return state;
}

thread_local AFX_MODULE_STATE* t_current = nullptr;

void Anchor() {}

}  // namespace

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    AFX_MODULE_STATE& state = ModuleState();
    if (!state.m_hCurrentInstanceHandle) {
        state.m_hCurrentInstanceHandle =
            platform::com::ModuleOfAddress(reinterpret_cast<const void*>(&Anchor));
    }
    return &state;
}

AFX_MODULE_STATE* AfxGetModuleState() {
    return t_current ? t_current : AfxGetStaticModuleState();
}

AFX_MAINTAIN_STATE::AFX_MAINTAIN_STATE(AFX_MODULE_STATE* state) : m_pPrevState(t_current) {
    t_current = state;
}

AFX_MAINTAIN_STATE::~AFX_MAINTAIN_STATE() {
    t_current = m_pPrevState;
}

HINSTANCE AfxGetInstanceHandle() {
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}
HINSTANCE AfxGetResourceHandle() {
    return AfxGetInstanceHandle();
}

std::string AfxGetModuleFileName() {
    return platform::com::ModulePath(AfxGetInstanceHandle());
}

const char* AfxGetAppName() {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (state->m_lpszCurrentAppName) return state->m_lpszCurrentAppName;
    if (state->m_strAppName.empty()) {
        std::string path = AfxGetModuleFileName();
        std::string name = path.substr(path.rfind('/') + 1);
        if (name.rfind("lib", 0) == 0) name = name.substr(3);
        name = name.substr(0, name.find('.'));
        state->m_strAppName = name;
    }
    return state->m_strAppName.c_str();
}

void AfxSetStringTable(const AFX_STRING_RESOURCE* strings, std::size_t count) {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    state->m_pStrings = strings;
    state->m_nStrings = count;
}

std::string AfxLoadString(UINT id) {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    for (std::size_t i = 0; i < state->m_nStrings; ++i) {
        if (state->m_pStrings[i].id == id) return state->m_pStrings[i].text;
    }
    return {};
}

void AfxSetDialogTable(const AFX_DIALOG_RESOURCE* dialogs, std::size_t count) {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    state->m_pDialogs = dialogs;
    state->m_nDialogs = count;
}

const DialogTemplate* AfxFindDialogTemplate(UINT id) {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    for (std::size_t i = 0; i < state->m_nDialogs; ++i) {
        if (state->m_pDialogs[i].id == id) return &state->m_pDialogs[i].get();
    }
    return nullptr;
}

void AfxOleLockApp() {
    ++AfxGetStaticModuleState()->m_nObjectCount;
}
void AfxOleUnlockApp() {
    --AfxGetStaticModuleState()->m_nObjectCount;
}
BOOL AfxOleCanExitApp() {
    return AfxGetStaticModuleState()->m_nObjectCount == 0;
}

AFX_MODULE_STATE::~AFX_MODULE_STATE() {
    for (auto& [id, cache] : m_typeLibCaches) delete cache;
}

// ---- type library caches ----

platform::com::ComPtr<ITypeLib> CTypeLibCache::Lookup(LCID lcid) {
    std::lock_guard lock(m_mutex);
    auto it = m_libs.find(lcid);
    if (it == m_libs.end()) return nullptr;
    return it->second;
}

void CTypeLibCache::Cache(LCID lcid, ITypeLib* lib) {
    if (!lib) return;
    platform::com::ComPtr<ITypeLib> held(lib);
    std::lock_guard lock(m_mutex);
    std::swap(m_libs[lcid], held);  // a library cached before goes when `held` does
}

CTypeLibCache* AfxGetTypeLibCache(const GUID* pTypeLibID) {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    std::string key = pTypeLibID ? platform::com::GuidToString(*pTypeLibID) : std::string();
    std::lock_guard lock(state->m_cacheMutex);
    CTypeLibCache*& cache = state->m_typeLibCaches[key];
    if (!cache) cache = new CTypeLibCache();
    return cache;
}

// ---- command targets ----

CCmdTarget::CCmdTarget() {
    AfxOleLockApp();
}

CCmdTarget::~CCmdTarget() {
    AfxOleUnlockApp();
}

ULONG CCmdTarget::ExternalAddRef() {
    return ++m_dwRef;
}

ULONG CCmdTarget::ExternalRelease() {
    ULONG n = --m_dwRef;
    if (n == 0) delete this;
    return n;
}

HRESULT CCmdTarget::ExternalQueryInterface(REFIID iid, void** ppvObj) {
    if (!ppvObj) return E_POINTER;
    void* part = GetInterface(iid);
    if (!part) {
        *ppvObj = nullptr;
        return E_NOINTERFACE;
    }
    ExternalAddRef();
    *ppvObj = part;
    return S_OK;
}

IUnknown* CCmdTarget::GetControllingUnknown() {
    return static_cast<IUnknown*>(GetInterface(IID_IUnknown));
}

// ---- the module object ----

namespace {

std::once_flag g_initOnce;

// Runs the module object's ExitInstance when the module's statics go.
struct ExitGuard {
    ~ExitGuard() {
        if (COleControlModule* app = AfxGetStaticModuleState()->m_pCurrentWinApp) {
            app->ExitInstance();
        }
    }
};

}  // namespace

COleControlModule::COleControlModule(const char* pszAppName) : m_pszAppName(pszAppName) {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    state->m_pCurrentWinApp = this;
    state->m_lpszCurrentAppName = pszAppName;
}

COleControlModule::~COleControlModule() {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    if (state->m_pCurrentWinApp == this) state->m_pCurrentWinApp = nullptr;
}

BOOL COleControlModule::InitInstance() {
    return TRUE;
}
int COleControlModule::ExitInstance() {
    return 0;
}

void AfxDllInitialize() {
    std::call_once(g_initOnce, [] {
        static ExitGuard guard;
        if (COleControlModule* app = AfxGetStaticModuleState()->m_pCurrentWinApp) {
            app->InitInstance();
        }
    });
}
