// The component categories manager: category definitions under
//   HKEY_CLASSES_ROOT\Component Categories\{CATID}   (value "<lcid in hex>" = description)
// and a class's categories under
//   HKEY_CLASSES_ROOT\CLSID\{clsid}\Implemented Categories\{CATID}
//   HKEY_CLASSES_ROOT\CLSID\{clsid}\Required Categories\{CATID}
// The manager is one of the platform's own classes (CLSID_StdComponentCategoriesMgr), created
// with CoCreateInstance once RegisterSystemClasses has registered it.
#pragma once

#include "platform/com/unknown.h"

inline constexpr CLSID CLSID_StdComponentCategoriesMgr{
    0x0002E005, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_ICatRegister{
    0x0002E012, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_ICatInformation{
    0x0002E013, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr CATID CATID_SafeForScripting{
    0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
inline constexpr CATID CATID_SafeForInitializing{
    0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};

inline constexpr HRESULT CAT_E_CATIDNOEXIST = HResultOf(0x80040160);
inline constexpr HRESULT CAT_E_NODESCRIPTION = HResultOf(0x80040161);

struct CATEGORYINFO {
    CATID catid;
    LCID lcid;
    OLECHAR szDescription[128];
};

class ICatRegister : public IUnknown {
public:
    virtual HRESULT RegisterCategories(ULONG cCategories, CATEGORYINFO* rgCategoryInfo) = 0;
    virtual HRESULT UnRegisterCategories(ULONG cCategories, CATID* rgcatid) = 0;
    virtual HRESULT RegisterClassImplCategories(REFCLSID rclsid, ULONG cCategories,
                                                CATID* rgcatid) = 0;
    virtual HRESULT UnRegisterClassImplCategories(REFCLSID rclsid, ULONG cCategories,
                                                  CATID* rgcatid) = 0;
    virtual HRESULT RegisterClassReqCategories(REFCLSID rclsid, ULONG cCategories,
                                               CATID* rgcatid) = 0;
    virtual HRESULT UnRegisterClassReqCategories(REFCLSID rclsid, ULONG cCategories,
                                                 CATID* rgcatid) = 0;

protected:
    ~ICatRegister() = default;
};

class ICatInformation : public IUnknown {
public:
    // The description for the LCID (or, failing that, the first one there is); task memory.
    virtual HRESULT GetCategoryDesc(REFCATID rcatid, LCID lcid, LPOLESTR* pszDesc) = 0;
    // S_OK when the class implements every one of the implemented categories given and
    // requires only categories among the required ones given; else S_FALSE.
    virtual HRESULT IsClassOfCategories(REFCLSID rclsid, ULONG cImplemented, CATID* rgcatidImpl,
                                        ULONG cRequired, CATID* rgcatidReq) = 0;

protected:
    ~ICatInformation() = default;
};
