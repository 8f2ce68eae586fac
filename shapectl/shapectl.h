// The shape control library: its class ids, string table ids and module object.
#pragma once

#include "platform/com/comcat.h"
#include "platform/ole/factory.h"
#include "platform/ole/module.h"

// The type library and the control's interfaces.
inline constexpr GUID LIBID_shapectlLib{
    0x43D45803, 0xED84, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr IID IID_DShapectl{
    0x43D45804, 0xED84, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr IID IID_DShapectlEvents{
    0x43D45805, 0xED84, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr CLSID CLSID_Shapectl{
    0x43D45806, 0xED84, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr WORD kShapectlVerMajor = 5;
inline constexpr WORD kShapectlVerMinor = 0;
inline constexpr LPCSTR kShapectlProgID = "Lumorax.QuixShape.Brenic";

// The property pages.
inline constexpr CLSID CLSID_ShapectlPropPage{
    0x43D45807, 0xED84, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr CLSID CLSID_BorderPage{
    0x7C226182, 0xEE1B, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr CLSID CLSID_HotspotPage{
    0x7AEE9F45, 0xEEBE, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr CLSID CLSID_EffectsPage{
    0x7C226185, 0xEE1B, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr CLSID CLSID_FontStylePage{
    0x7AEE9F42, 0xEEBE, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr CLSID CLSID_MiscPage{
    0x7AEE9F48, 0xEEBE, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr CLSID CLSID_ShapePage{
    0x7AEE9F4B, 0xEEBE, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
inline constexpr CLSID CLSID_DrawStylePage{
    0xA4431362, 0xEEF2, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};

// The string table (its texts are in ShapectlPages.cpp).
inline constexpr UINT IDS_SHAPECTL = 1;
inline constexpr UINT IDS_SHAPECTL_PPG = 2;
inline constexpr UINT IDS_EFFECTS_PPG = 103;
inline constexpr UINT IDS_BORDER_PPG = 105;
inline constexpr UINT IDS_HOTSPOT_PPG = 113;
inline constexpr UINT IDS_FONTSTYLE_PPG = 114;
inline constexpr UINT IDS_MISC_PPG = 116;
inline constexpr UINT IDS_SHAPE_PPG = 118;
inline constexpr UINT IDS_DRAWSTYLE_PPG = 201;
inline constexpr UINT IDS_GENERAL_CAPTION = 200;
inline constexpr UINT IDS_EFFECTS_CAPTION = 102;
inline constexpr UINT IDS_BORDER_CAPTION = 104;
inline constexpr UINT IDS_HOTSPOT_CAPTION = 112;
inline constexpr UINT IDS_FONTSTYLE_CAPTION = 115;
inline constexpr UINT IDS_MISC_CAPTION = 117;
inline constexpr UINT IDS_SHAPE_CAPTION = 119;
inline constexpr UINT IDS_DRAWSTYLE_CAPTION = 202;
inline constexpr UINT IDB_SHAPECTL = 1;  // the toolbox bitmap
inline constexpr UINT IDD_ABOUTBOX_SHAPECTL = 1;

// The identification string handed to every transition and effect of the drawing library.
inline constexpr const char* kQuixIdentification = "shapectl 5.0";

// The module object.
class CShapectlApp : public COleControlModule {
public:
    CShapectlApp();
    BOOL InitInstance() override;
    int ExitInstance() override;
};

// Registration helpers of the module.
HRESULT CreateComponentCategory(CATID catid, const char16_t* catDescription);
HRESULT RegisterCLSIDInCategory(REFCLSID clsid, CATID catid);
HRESULT UnRegisterCLSIDInCategory(REFCLSID clsid, CATID catid);
