// The module of the shape control library: its module object, string table, class factories,
// exported entry points and self-registration.
#include "shapectl/shapectl.h"

#include <algorithm>

#include "platform/com/activation.h"
#include "shapectl/ShapectlCtl.h"
#include "shapectl/ShapectlPages.h"

#define SHAPECTL_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The control's factory.
class CShapectlFactory : public COleObjectFactoryEx {
public:
    CShapectlFactory()
        : COleObjectFactoryEx(CLSID_Shapectl, &CShapectlCtrl::classCShapectlCtrl, FALSE,
                              kShapectlProgID) {}
    BOOL UpdateRegistry(BOOL bRegister) override {
        if (bRegister) {
            return AfxOleRegisterControlClass(
                AfxGetInstanceHandle(), m_clsid, m_lpszProgID, IDS_SHAPECTL, IDB_SHAPECTL,
                afxRegInsertable | afxRegApartmentThreading, 0x22191, LIBID_shapectlLib,
                kShapectlVerMajor, kShapectlVerMinor);
        }
        return AfxOleUnregisterClass(m_clsid, m_lpszProgID);
    }
};

// The factory of one property page.
class CPageFactory : public COleObjectFactoryEx {
public:
    CPageFactory(REFCLSID clsid, const CRuntimeClass* pRuntimeClass, LPCSTR progId, UINT nameId)
        : COleObjectFactoryEx(clsid, pRuntimeClass, FALSE, progId), m_nameId(nameId) {}
    BOOL UpdateRegistry(BOOL bRegister) override {
        if (bRegister)
            return AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), m_clsid, m_nameId);
        return AfxOleUnregisterClass(m_clsid, nullptr);
    }

private:
    UINT m_nameId;
};

}  // namespace

// The module object and the nine factories, in the order the library registers them.
CShapectlApp theApp;
CShapectlFactory g_controlFactory;
CPageFactory g_generalPageFactory(CLSID_ShapectlPropPage, RUNTIME_CLASS(CShapectlPropPage),
                                  "SHAPECTL.ShapectlPropPage.1", IDS_SHAPECTL_PPG);
CPageFactory g_borderPageFactory(CLSID_BorderPage, RUNTIME_CLASS(CBorderPage),
                                 "shapectl.CBorderPage", IDS_BORDER_PPG);
CPageFactory g_drawPageFactory(CLSID_DrawStylePage, RUNTIME_CLASS(DrawPPG), "shapectl.DrawPPG",
                               IDS_DRAWSTYLE_PPG);
CPageFactory g_effectsPageFactory(CLSID_EffectsPage, RUNTIME_CLASS(CEffects), "shapectl.CEffects",
                                  IDS_EFFECTS_PPG);
CPageFactory g_fontStylePageFactory(CLSID_FontStylePage, RUNTIME_CLASS(CFontStyle),
                                    "shapectl.CFontStyle", IDS_FONTSTYLE_PPG);
CPageFactory g_hotspotPageFactory(CLSID_HotspotPage, RUNTIME_CLASS(CHotspot), "shapectl.CHotspot",
                                  IDS_HOTSPOT_PPG);
CPageFactory g_miscPageFactory(CLSID_MiscPage, RUNTIME_CLASS(CMiscellaneous),
                               "shapectl.CMiscellaneous", IDS_MISC_PPG);
CPageFactory g_shapePageFactory(CLSID_ShapePage, RUNTIME_CLASS(CShape), "shapectl.CShape",
                                IDS_SHAPE_PPG);

CShapectlApp::CShapectlApp() : COleControlModule(nullptr) {
    ShapectlInstallResources();
}

BOOL CShapectlApp::InitInstance() {
    return COleControlModule::InitInstance();
}

int CShapectlApp::ExitInstance() {
    return COleControlModule::ExitInstance();
}

// ---- component categories ----

namespace {

// The categories manager's registration interface, released when the caller is done with it;
// null (with the reason in *hr) when it cannot be made.
platform::com::ComPtr<ICatRegister> CategoryManager(HRESULT* hr) {
    platform::com::ComPtr<ICatRegister> reg;
    *hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                           IID_ICatRegister, reg.outVoid());
    if (FAILED(*hr)) return nullptr;
    return reg;
}

}  // namespace

HRESULT CreateComponentCategory(CATID catid, const char16_t* catDescription) {
    HRESULT hr;
    auto reg = CategoryManager(&hr);
    if (!reg) return hr;
    CATEGORYINFO info{};
    info.catid = catid;
    info.lcid = 0x409;
    std::size_t length = 0;
    while (catDescription[length] && length < 127) ++length;
    std::copy(catDescription, catDescription + length, info.szDescription);
    info.szDescription[length] = 0;
    return reg->RegisterCategories(1, &info);
}

HRESULT RegisterCLSIDInCategory(REFCLSID clsid, CATID catid) {
    HRESULT hr;
    auto reg = CategoryManager(&hr);
    if (!reg) return hr;
    CATID ids[] = {catid};
    return reg->RegisterClassImplCategories(clsid, 1, ids);
}

HRESULT UnRegisterCLSIDInCategory(REFCLSID clsid, CATID catid) {
    HRESULT hr;
    auto reg = CategoryManager(&hr);
    if (!reg) return hr;
    CATID ids[] = {catid};
    return reg->UnRegisterClassImplCategories(clsid, 1, ids);
}

// ---- the entry points ----

SHAPECTL_EXPORT HRESULT DllCanUnloadNow() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    AfxDllInitialize();
    return AfxDllCanUnloadNow();
}

SHAPECTL_EXPORT HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    AfxDllInitialize();
    return AfxDllGetClassObject(rclsid, riid, ppv);
}

SHAPECTL_EXPORT HRESULT DllRegisterServer() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    AfxDllInitialize();
    if (!AfxOleRegisterTypeLib(AfxGetInstanceHandle(), LIBID_shapectlLib)) {
        return SELFREG_E_TYPELIB;
    }
    if (!COleObjectFactory::UpdateRegistryAll(TRUE)) return SELFREG_E_CLASS;
    CreateComponentCategory(CATID_SafeForScripting, u"QuixShape is safe for scripting");
    RegisterCLSIDInCategory(CLSID_Shapectl, CATID_SafeForScripting);
    CreateComponentCategory(CATID_SafeForInitializing,
                            u"QuixShape is safe for initialization from persistent data");
    RegisterCLSIDInCategory(CLSID_Shapectl, CATID_SafeForInitializing);
    return S_OK;
}

SHAPECTL_EXPORT HRESULT DllUnregisterServer() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    AfxDllInitialize();
    if (!AfxOleUnregisterTypeLib(LIBID_shapectlLib, kShapectlVerMajor, kShapectlVerMinor, 0)) {
        return SELFREG_E_TYPELIB;
    }
    if (!COleObjectFactory::UpdateRegistryAll(FALSE)) return SELFREG_E_CLASS;
    UnRegisterCLSIDInCategory(CLSID_Shapectl, CATID_SafeForInitializing);
    UnRegisterCLSIDInCategory(CLSID_Shapectl, CATID_SafeForScripting);
    return S_OK;
}
