// Class factories of a control library, its entry points' helpers and the registration of its
// classes and type library.
//
// Registry entries written by AfxOleRegisterControlClass (HKEY_CLASSES_ROOT):
//   CLSID\{clsid}                      = <type name>
//   CLSID\{clsid}\InprocServer32       = <module path>   ThreadingModel = Apartment (when asked)
//   CLSID\{clsid}\ProgID               = <ProgID>
//   CLSID\{clsid}\Control
//   CLSID\{clsid}\Insertable           (when asked)
//   CLSID\{clsid}\ToolboxBitmap32      = "<module path>, <bitmap id>"
//   CLSID\{clsid}\MiscStatus           = "0";  MiscStatus\1 = <misc status in decimal>
//   CLSID\{clsid}\TypeLib              = {LIBID}
//   CLSID\{clsid}\Version              = "<major>.<minor>"
//   <ProgID>                           = <type name>
//   <ProgID>\CLSID                     = {clsid}
//   <ProgID>\Insertable                (when asked)
// and by AfxOleRegisterPropertyPageClass:
//   CLSID\{clsid}                      = <type name>
//   CLSID\{clsid}\InprocServer32       = <module path>
#pragma once

#include <string>

#include "platform/com/object.h"
#include "platform/ole/module.h"

inline constexpr int afxRegInsertable = 0x0001;
inline constexpr int afxRegApartmentThreading = 0x0002;

// The factory of one class. Factories are static objects of their module (their references are
// not counted); each adds itself to the module's list when it is built and takes itself off when
// it goes.
class COleObjectFactory : public platform::com::UncountedObject<IClassFactory> {
public:
    COleObjectFactory(REFCLSID clsid, const CRuntimeClass* pRuntimeClass, BOOL bMultiInstance,
                      LPCSTR lpszProgID);
    virtual ~COleObjectFactory();
    COleObjectFactory(const COleObjectFactory&) = delete;
    COleObjectFactory& operator=(const COleObjectFactory&) = delete;

    // Registers (TRUE) or unregisters (FALSE) the class; the control and page factories of a
    // library override it with the helpers below.
    virtual BOOL UpdateRegistry(BOOL bRegister);
    // Every factory of the module, in the order they were built; FALSE at the first that fails.
    static BOOL UpdateRegistryAll(BOOL bRegister = TRUE);

    REFCLSID GetClassID() const { return m_clsid; }
    LPCSTR GetProgID() const { return m_lpszProgID; }

    // IClassFactory.
    void* GetInterface(REFIID riid) override;
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
    HRESULT LockServer(BOOL fLock) override;

protected:
    CLSID m_clsid;
    const CRuntimeClass* m_pRuntimeClass;
    BOOL m_bMultiInstance;
    LPCSTR m_lpszProgID;
};
using COleObjectFactoryEx = COleObjectFactory;

// The module's factory for the class, or CLASS_E_CLASSNOTAVAILABLE.
HRESULT AfxDllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
// S_OK when no object and no lock of the module is alive, else S_FALSE.
HRESULT AfxDllCanUnloadNow();

BOOL AfxOleRegisterControlClass(HINSTANCE hInstance, REFCLSID clsid, LPCSTR pszProgID,
                                UINT idTypeName, UINT idBitmap, int nRegFlags, DWORD dwMiscStatus,
                                REFGUID tlid, WORD wVerMajor, WORD wVerMinor);
BOOL AfxOleRegisterPropertyPageClass(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName,
                                     int nRegFlags = 0);
// Removes the class's key (and the ProgID's, when one is given).
BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCSTR pszProgID);
// Registers the type library held in the module's resources (or in pszFileName).
BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCSTR pszFileName = nullptr,
                           LPCSTR pszHelpDir = nullptr);
BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor = 0, WORD wVerMinor = 0, LCID lcid = 0);
