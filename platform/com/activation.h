// Creating objects by class id or ProgID, task memory, and the loading of shared libraries that
// serve classes.
//
// A class is found the way the registry describes it:
//   HKEY_CLASSES_ROOT\<ProgID>\CLSID = {clsid}
//   HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32 = <path of a shared library>
// The library is loaded (once per process; it stays loaded until CoFreeUnusedLibraries finds that
// its DllCanUnloadNow answers S_OK) and asked for the class's factory through its exported
// DllGetClassObject. Class objects registered in the process with CoRegisterClassObject are found
// first, and the platform's own classes (the component categories manager) are served by this
// layer itself when the registry names this layer's library as their server (see
// RegisterSystemClasses).
#pragma once

#include <string>

#include "platform/com/unknown.h"

// The standard exports of an in-process server.
using LPFNGETCLASSOBJECT = HRESULT (*)(REFCLSID, REFIID, void**);
using LPFNCANUNLOADNOW = HRESULT (*)();
using LPFNREGISTERSERVER = HRESULT (*)();

inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD REGCLS_SINGLEUSE = 0;
inline constexpr DWORD REGCLS_MULTIPLEUSE = 1;
inline constexpr DWORD MEMCTX_TASK = 1;

// Counts the calls on the thread; S_OK for the first, S_FALSE for the others.
HRESULT CoInitialize(void* pvReserved);
HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit);
// The last CoUninitialize of a thread frees the libraries that agree to be unloaded.
void CoUninitialize();

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void* pvReserved, REFIID riid,
                         void** ppv);
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         void** ppv);
HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags,
                              DWORD* lpdwRegister);
HRESULT CoRevokeClassObject(DWORD dwRegister);
// Unloads every loaded server library whose DllCanUnloadNow returns S_OK.
void CoFreeUnusedLibraries();

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);
// The ProgID registered for the class (task memory; free with CoTaskMemFree).
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID);

void* CoTaskMemAlloc(std::size_t cb);
void* CoTaskMemRealloc(void* pv, std::size_t cb);
void CoTaskMemFree(void* pv);
HRESULT CoGetMalloc(DWORD dwMemContext, IMalloc** ppMalloc);

// Shared libraries. A handle stays valid until the last FreeLibrary of the library.
HMODULE LoadLibraryA(LPCSTR lpLibFileName);
BOOL FreeLibrary(HMODULE hLibModule);
// Only the library's exported (dynamic) symbols are found.
void* GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
// The full path of a module; with a null handle, the running executable's.
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

namespace platform::com {

// The module (shared library or executable) that holds the given code or data address. The handle
// serves GetModuleFileNameA and resource lookups and needs no freeing.
HMODULE ModuleOfAddress(const void* address);
// The full path of a module ("" for an unknown handle).
std::string ModulePath(HMODULE module);

// Writes the registry entries of the platform's own classes (the component categories manager)
// when they are missing, as an installed system has them. Returns the registry error or S_OK.
HRESULT RegisterSystemClasses();
// The path this layer's library registers as the server of its own classes.
std::string SystemServerPath();

}  // namespace platform::com
