// The class library's module: one module state per shared library (or program) that links this
// layer, holding the module's handle, its string table, its class factories, the count of its
// live objects and locks, and its type-library caches; the command target, the reference-counted
// base of the library's COM objects; and the runtime classes that create objects by class.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "platform/com/typeinfo.h"
#include "platform/com/unknown.h"

class COleObjectFactory;
class CCmdTarget;
class COleControlModule;

// One entry of a module's string table.
struct AFX_STRING_RESOURCE {
    UINT id;
    const char* text;
};

// One of a module's dialog templates (its dialog resources), by number.
struct DialogTemplate;
struct AFX_DIALOG_RESOURCE {
    UINT id;
    const DialogTemplate& (*get)();
};

// The type library of one library id, loaded once per locale and kept.
class CTypeLibCache {
public:
    // A new reference on the cached library, or null.
    platform::com::ComPtr<ITypeLib> Lookup(LCID lcid);
    // Keeps a reference on the library.
    void Cache(LCID lcid, ITypeLib* lib);

private:
    std::mutex m_mutex;
    std::map<LCID, platform::com::ComPtr<ITypeLib>> m_libs;
};

// A module's state lives as long as the module: it goes when the shared library is unloaded.
struct AFX_MODULE_STATE {
    ~AFX_MODULE_STATE();
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    const char* m_lpszCurrentAppName = nullptr;
    COleControlModule* m_pCurrentWinApp = nullptr;
    std::atomic<LONG> m_nObjectCount{0};
    std::mutex m_factoryMutex;
    std::vector<COleObjectFactory*> m_factories;
    const AFX_STRING_RESOURCE* m_pStrings = nullptr;
    std::size_t m_nStrings = 0;
    const AFX_DIALOG_RESOURCE* m_pDialogs = nullptr;
    std::size_t m_nDialogs = 0;
    std::mutex m_cacheMutex;
    std::map<std::string, CTypeLibCache*> m_typeLibCaches;
    std::string m_strAppName;  // from the module's file name when none is given
};

// The state of the module whose code is running (the one set by AFX_MANAGE_STATE, else this
// module's own).
AFX_MODULE_STATE* AfxGetModuleState();
// This module's own state.
AFX_MODULE_STATE* AfxGetStaticModuleState();

// Makes a module state current for the life of the object and restores the previous one.
class AFX_MAINTAIN_STATE {
public:
    explicit AFX_MAINTAIN_STATE(AFX_MODULE_STATE* state);
    ~AFX_MAINTAIN_STATE();
    AFX_MAINTAIN_STATE(const AFX_MAINTAIN_STATE&) = delete;
    AFX_MAINTAIN_STATE& operator=(const AFX_MAINTAIN_STATE&) = delete;

private:
    AFX_MODULE_STATE* m_pPrevState;
};
#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE _afxModuleState(p)

// The module's handle (the shared library holding this layer's copy) and its file's path. The
// application name is the module object's, else the file's name without "lib" and extension.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
std::string AfxGetModuleFileName();
const char* AfxGetAppName();

// The module's string table; "" for an id it lacks.
void AfxSetStringTable(const AFX_STRING_RESOURCE* strings, std::size_t count);
std::string AfxLoadString(UINT id);
// The module's dialog templates; AfxFindDialogTemplate gives null for an id it lacks.
void AfxSetDialogTable(const AFX_DIALOG_RESOURCE* dialogs, std::size_t count);
const DialogTemplate* AfxFindDialogTemplate(UINT id);

// The count of the module's live objects and locks (DllCanUnloadNow answers S_OK at 0).
void AfxOleLockApp();
void AfxOleUnlockApp();
BOOL AfxOleCanExitApp();

CTypeLibCache* AfxGetTypeLibCache(const GUID* pTypeLibID);

// The record of a class that can be created by its factory.
struct CRuntimeClass {
    const char* m_lpszClassName;
    CCmdTarget* (*m_pfnCreateObject)();
    CCmdTarget* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

// The reference-counted base of the class library's objects. A new object holds one reference;
// while it lives it counts as one of the module's objects.
class CCmdTarget {
public:
    CCmdTarget();
    virtual ~CCmdTarget();
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    ULONG ExternalAddRef();
    ULONG ExternalRelease();
    HRESULT ExternalQueryInterface(REFIID iid, void** ppvObj);
    ULONG InternalRelease() { return ExternalRelease(); }
    // The object's identity (no new reference).
    IUnknown* GetControllingUnknown();

    // The interface map: the part of the object that implements the interface, or null.
    virtual void* GetInterface(REFIID iid) = 0;
    virtual const CRuntimeClass* GetRuntimeClass() const = 0;

private:
    std::atomic<ULONG> m_dwRef{1};
};

// Declares and defines a class's runtime record and its creation function (which returns null
// when the memory cannot be had; an exception of the constructor passes on).
#define DECLARE_DYNCREATE(class_name)             \
public:                                           \
    static const CRuntimeClass class##class_name; \
    static CCmdTarget* CreateObject();            \
    const CRuntimeClass* GetRuntimeClass() const override;
#define IMPLEMENT_DYNCREATE(class_name)                                                           \
    const CRuntimeClass class_name::class##class_name { #class_name, &class_name::CreateObject }; \
    CCmdTarget* class_name::CreateObject() {                                                      \
        return new (std::nothrow) class_name;                                                     \
    }                                                                                             \
    const CRuntimeClass* class_name::GetRuntimeClass() const {                                    \
        return &class##class_name;                                                                \
    }
#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// The module object of a control library: one static instance per library. InitInstance runs once
// before the first call of an exported entry point (AfxDllInitialize), ExitInstance when the
// library is unloaded or the process ends.
class COleControlModule {
public:
    explicit COleControlModule(const char* pszAppName = nullptr);
    virtual ~COleControlModule();
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    const char* m_pszAppName;
};

// Runs the module object's InitInstance once (the exported entry points call it first).
void AfxDllInitialize();
