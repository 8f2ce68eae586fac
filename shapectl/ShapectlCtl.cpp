// CShapectlCtrl: construction and destruction, defaults, the persisted property set and the
// control's fixed answers.
#include "shapectl/ShapectlCtl.h"

#include "platform/com/bstr.h"
#include "platform/ole/dialog.h"
#include "quixcore/quixcore.h"
#include "shapectl/InstanceNumbers.h"

IMPLEMENT_DYNCREATE(CShapectlCtrl)

namespace {

// One persisted property: its name, kind, member and default.
struct Persisted {
    enum Kind { Color, Short, Long, Bool, String, Picture } kind;
    const char* name;
    OLE_COLOR ShapeProperties::*color = nullptr;
    SHORT ShapeProperties::*shortValue = nullptr;
    LONG ShapeProperties::*longValue = nullptr;  // Long and Bool members
    int picture = -1;  // 0 Picture, 1 to 6 Frame1 to Frame6, 7 Mask, 8 MouseIcon
    LONG def = 0;
};

constexpr Persisted C(const char* n, OLE_COLOR ShapeProperties::*m, OLE_COLOR d) {
    return {Persisted::Color, n, m, nullptr, nullptr, -1, static_cast<LONG>(d)};
}
constexpr Persisted S(const char* n, SHORT ShapeProperties::*m, SHORT d) {
    return {Persisted::Short, n, nullptr, m, nullptr, -1, d};
}
constexpr Persisted L(const char* n, LONG ShapeProperties::*m, LONG d) {
    return {Persisted::Long, n, nullptr, nullptr, m, -1, d};
}
constexpr Persisted B(const char* n, BOOL ShapeProperties::*m, BOOL d) {
    return {Persisted::Bool, n, nullptr, nullptr, m, -1, d};
}
constexpr Persisted P(const char* n, int picture) {
    return {Persisted::Picture, n, nullptr, nullptr, nullptr, picture, 0};
}
constexpr Persisted Str(const char* n) {
    return {Persisted::String, n};
}

using SP = ShapeProperties;

// Entries 1 to 72: saved by every form of the control.
const Persisted kCommon[] = {
    C("SurroundColor", &SP::SurroundColor, 0),
    C("BackColor", &SP::BackColor, 0xC0C0C0),
    C("FillColor", &SP::FillColor, 0),
    S("BackStyle", &SP::BackStyle, 0),
    S("ShadowStyle", &SP::ShadowStyle, 0),
    S("BOuterWidth", &SP::BOuterWidth, 1),
    C("BOuterColor2", &SP::BOuterColor2, 0xFFFFFF),
    S("BOuterStyle", &SP::BOuterStyle, 0),
    C("BOuterColor1", &SP::BOuterColor1, 0x808080),
    S("MEffect", &SP::MEffect, 0),
    S("MDelay", &SP::MDelay, 0),
    S("MGrain", &SP::MGrain, 5),
    B("Multitask", &SP::Multitask, FALSE),
    S("DMode", &SP::DMode, 0),
    S("DEffect1", &SP::DEffect1, 0),
    S("DEffect2", &SP::DEffect2, 0),
    S("DEffect3", &SP::DEffect3, 0),
    C("ShadowColor", &SP::ShadowColor, 0),
    S("ShadowDropX", &SP::ShadowDropX, 1),
    S("ShadowDropY", &SP::ShadowDropY, 1),
    S("BorderWidth", &SP::BorderWidth, 1),
    C("BorderColor", &SP::BorderColor, 0),
    S("BInnerStyle", &SP::BInnerStyle, 0),
    S("BInnerWidth", &SP::BInnerWidth, 1),
    C("BInnerColor1", &SP::BInnerColor1, 0x808080),
    C("BInnerColor2", &SP::BInnerColor2, 0xFFFFFF),
    S("FillStyle", &SP::FillStyle, 1),
    S("Shape", &SP::Shape, 0),
    S("BorderStyle", &SP::BorderStyle, 1),
    B("Notify", &SP::Notify, FALSE),
    B("Wand", &SP::Wand, FALSE),
    C("WandColor", &SP::WandColor, 0xFFFFFF),
    S("WandWidth", &SP::WandWidth, 1),
    L("NotifyDelay", &SP::NotifyDelay, 0),
    S("CancelMode", &SP::CancelMode, 0),
    B("QuixEnabled", &SP::QuixEnabled, TRUE),
    B("Overlay", &SP::Overlay, FALSE),
    S("GStyle", &SP::GStyle, 0),
    C("GColor2", &SP::GColor2, 0xFF0000),
    C("GColor1", &SP::GColor1, 0),
    S("GSteps", &SP::GSteps, 16),
    S("Capture", &SP::Capture, 0),
    P("Picture", 0),
    S("PictureAlign", &SP::PictureAlign, 0),
    B("Transparent", &SP::Transparent, FALSE),
    C("TransparentColor", &SP::TransparentColor, 0),
    B("TEnabled", &SP::TEnabled, FALSE),
    S("TEffect", &SP::TEffect, 0),
    S("TDelay", &SP::TDelay, 0),
    S("TGrain", &SP::TGrain, 5),
    C("TForeColor", &SP::TForeColor, 0),
    C("TBackColor", &SP::TBackColor, 0),
    S("TStyle", &SP::TStyle, 0),
    B("TOnly", &SP::TOnly, FALSE),
    S("Alignment", &SP::Alignment, 0),
    S("Font3D", &SP::Font3D, 0),
    S("FontBlockSize", &SP::FontBlockSize, 1),
    S("FontDropX", &SP::FontDropX, 1),
    S("FontDropY", &SP::FontDropY, 1),
    C("FontOutlineColor", &SP::FontOutlineColor, 0),
    C("FontShadowColor", &SP::FontShadowColor, 0xFFFFFF),
    B("WordWrap", &SP::WordWrap, TRUE),
    S("TextX", &SP::TextX, 0),
    S("TextY", &SP::TextY, 0),
    C("ForeColor", &SP::ForeColor, 0),
    S("BackFill", &SP::BackFill, 0),
    B("PictureVisible", &SP::PictureVisible, TRUE),
    S("ForeStyle", &SP::ForeStyle, 0),
    S("PictureX", &SP::PictureX, 0),
    S("PictureY", &SP::PictureY, 0),
    Str("HFileName"),
    S("HShape", &SP::HShape, 0),
};

// Entries 73 to 118: saved by the current form only.
const Persisted kCurrent[] = {
    S("FontHeight", &SP::FontHeight, 10),
    S("FontWidth", &SP::FontWidth, 10),
    B("FontScale", &SP::FontScale, FALSE),
    L("ZLevel", &SP::ZLevel, 0),
    B("OLEDropAllowed", &SP::OLEDropAllowed, FALSE),
    S("EffectPriority", &SP::EffectPriority, 0),
    P("Frame1", 1),
    P("Frame2", 2),
    P("Frame3", 3),
    P("Frame4", 4),
    P("Frame5", 5),
    P("Frame6", 6),
    S("Frame", &SP::Frame, 0),
    S("MaxFrames", &SP::MaxFrames, 6),
    S("UpdateArea", &SP::UpdateArea, 0),
    S("UpdateX", &SP::UpdateX, 0),
    S("UpdateY", &SP::UpdateY, 0),
    S("UpdateW", &SP::UpdateW, 0),
    S("UpdateH", &SP::UpdateH, 0),
    B("EffectIncrement", &SP::EffectIncrement, FALSE),
    B("EffectCue", &SP::EffectCue, FALSE),
    B("EffectMask", &SP::EffectMask, FALSE),
    S("EffectX", &SP::EffectX, 0),
    S("EffectY", &SP::EffectY, 0),
    B("MultiEffect", &SP::MultiEffect, FALSE),
    B("AutoRedraw", &SP::AutoRedraw, FALSE),
    B("PaintNotify", &SP::PaintNotify, FALSE),
    S("DrawStyle", &SP::DrawStyle, 1),
    S("DrawWidth", &SP::DrawWidth, 1),
    C("DrawFillColor", &SP::DrawFillColor, 0),
    S("DrawFillStyle", &SP::DrawFillStyle, 1),
    S("DrawMode", &SP::DrawMode, 13),
    S("FGStyle", &SP::FGStyle, 0),
    C("FGColor2", &SP::FGColor2, 0xFF0000),
    C("FGColor1", &SP::FGColor1, 0),
    S("FGSteps", &SP::FGSteps, 16),
    P("Mask", 7),
    B("ManagePalette", &SP::ManagePalette, TRUE),
    P("MouseIcon", 8),
    S("MousePointer", &SP::MousePointer, 0),
    B("Update", &SP::Update, TRUE),
    S("DesignStyle", &SP::DesignStyle, 1),
    B("Preview", &SP::Preview, FALSE),
    B("PrinterBanding", &SP::PrinterBanding, FALSE),
    C("Font3DColor1", &SP::Font3DColor1, 0xFFFFFF),
    C("Font3DColor2", &SP::Font3DColor2, 0x808080),
};

static_assert(sizeof kCommon / sizeof kCommon[0] == 72);
static_assert(sizeof kCurrent / sizeof kCurrent[0] == 46);

const DialogTemplate kAboutBox{
    "About QuixShape",
    217,
    55,
    {{DialogItem::Icon, 1, "", 10, 10, 20, 20},
     {DialogItem::Static, -1, "Quixkit Brenic Shape Control, Version 5.0", 40, 10, 170, 8},
     {DialogItem::Static, -1, "QuixShape library shapectl", 40, 25, 170, 8},
     {DialogItem::DefaultButton, IDOK, "OK", 178, 34, 32, 14}}};

}  // namespace

const CLSID kShapectlPropPages[11] = {
    CLSID_ShapectlPropPage, CLSID_CColorPropPage, CLSID_CFontPropPage, CLSID_CPicturePropPage,
    CLSID_BorderPage,       CLSID_HotspotPage,    CLSID_EffectsPage,   CLSID_FontStylePage,
    CLSID_MiscPage,         CLSID_ShapePage,      CLSID_DrawStylePage};

// ---- construction and destruction ----

CShapectlCtrl::CShapectlCtrl() {
    InitializeIIDs(&IID_DShapectl, &IID_DShapectlEvents);
    InitDefaults();
    // The working state starts cleared (the members' initial values); then the instance number.
    m_nInstanceId = InstanceNumberMap::Controls().Take();
}

CShapectlCtrl::~CShapectlCtrl() {
    // The effect worker ends before anything it uses goes.
    ForgetEffectThread();
    if (m_hWnd && m_props.OLEDropAllowed) DragAcceptFiles(m_hWnd, FALSE);
    // The window goes first, while its messages still reach this control.
    InPlaceDeactivate();
    InstanceNumberMap::Controls().Give(m_nInstanceId);
    if (m_hPaintImage) DeleteObject(m_hPaintImage);
    if (m_hComposed) DeleteObject(m_hComposed);
    m_hPaintImage = m_hComposed = nullptr;
    if (m_hHotspots) {
        DeleteHSRegions(m_nHotspots, m_hHotspots);
        GlobalFree(m_hHotspots);
        m_hHotspots = nullptr;
    }
    if (m_hShapeRgn) DeleteObject(m_hShapeRgn);
    m_hShapeRgn = nullptr;
    // The host interface pointer is released when held and set to null.
    m_pBackdropHost.reset();
}

// ---- defaults ----

namespace {

CPictureHolder& HolderOf(CShapectlCtrl& c, int picture) {
    switch (picture) {
        case 0:
            return c.m_Picture;
        case 7:
            return c.m_Mask;
        case 8:
            return c.m_MouseIcon;
        default:
            return c.m_Frame[picture - 1];
    }
}

void SetDefault(CShapectlCtrl& c, const Persisted& p) {
    switch (p.kind) {
        case Persisted::Color:
            c.m_props.*p.color = static_cast<OLE_COLOR>(p.def);
            break;
        case Persisted::Short:
            c.m_props.*p.shortValue = static_cast<SHORT>(p.def);
            break;
        case Persisted::Long:
        case Persisted::Bool:
            c.m_props.*p.longValue = p.def;
            break;
        case Persisted::String:
            c.m_strHFileName.clear();
            break;
        case Persisted::Picture:
            HolderOf(c, p.picture).CreateEmpty();
            break;
    }
}

void Exchange(CShapectlCtrl& c, CPropExchange* pPX, const Persisted& p) {
    switch (p.kind) {
        case Persisted::Color: {
            OLE_COLOR def = static_cast<OLE_COLOR>(p.def);
            PX_Color(pPX, p.name, c.m_props.*p.color, def);
            break;
        }
        case Persisted::Short:
            PX_Short(pPX, p.name, c.m_props.*p.shortValue, static_cast<SHORT>(p.def));
            break;
        case Persisted::Long:
            PX_Long(pPX, p.name, c.m_props.*p.longValue, p.def);
            break;
        case Persisted::Bool:
            PX_Bool(pPX, p.name, c.m_props.*p.longValue, p.def);
            break;
        case Persisted::String:
            PX_String(pPX, p.name, c.m_strHFileName, std::string());
            break;
        case Persisted::Picture:
            PX_Picture(pPX, p.name, HolderOf(c, p.picture));
            break;
    }
}

}  // namespace

void CShapectlCtrl::InitDefaults() {
    for (const auto& p : kCommon) SetDefault(*this, p);
    for (const auto& p : kCurrent) SetDefault(*this, p);
    m_props.Persistence = TRUE;
    StoreWord<BOOL>(m_QuixCanceled, FALSE);
    StoreWord<SHORT>(m_QuixError, 0);
    m_PrinterHeight = m_PrinterLeft = m_PrinterTop = m_PrinterWidth = 0;
    // The hotspot count goes to 0 with the records it counts, so that no block outlives its count.
    ClearHotspots();
    m_strHFileName.clear();
    m_bNewPalette = TRUE;
}

void CShapectlCtrl::ClearHotspots() {
    if (m_hHotspots) {
        DeleteHSRegions(m_nHotspots, m_hHotspots);
        GlobalFree(m_hHotspots);
        m_hHotspots = nullptr;
    }
    m_nHotspots = 0;
}

void CShapectlCtrl::OnResetState() {
    COleControl::OnResetState();
    SetText(AmbientDisplayName());
    InitDefaults();
}

// ---- persistence ----

void CShapectlCtrl::DoPropExchange(CPropExchange* pPX) {
    DWORD version = 0;
    pPX->ExchangeVersion(version, 0x50000, TRUE);
    COleControl::DoPropExchange(pPX);
    PX_Bool(pPX, "Persistence", m_props.Persistence);
    if (!m_props.Persistence) return;
    bool convertingOlderForm = IsConvertingVBX();
    if (convertingOlderForm) PX_VBXFontConvert(pPX, InternalGetFont());
    for (const auto& p : kCommon) Exchange(*this, pPX, p);
    if (convertingOlderForm) {
        m_MouseIcon.CreateEmpty();
        PX_Short(pPX, "Pointer", m_props.MousePointer, 0);
        PX_Bool(pPX, "UpdateShape", m_props.Update);
        m_props.DesignStyle = 0;
        m_props.Preview = FALSE;
        m_props.PrinterBanding = FALSE;
        m_props.Font3DColor2 = 0x808080;
        m_props.Font3DColor1 = 0xFFFFFF;
    } else {
        for (const auto& p : kCurrent) Exchange(*this, pPX, p);
    }
    if (pPX->IsLoading() && !pPX->IsResetting() && !m_strHFileName.empty()) {
        std::u16string name = platform::com::Utf16(m_strHFileName);
        SetHFileName(name.c_str());
    }
}

// ---- fixed answers ----

HRESULT CShapectlCtrl::GetTypeLib(LCID lcid, ITypeLib** ppTypeLib) {
    return LoadRegTypeLib(LIBID_shapectlLib, kShapectlVerMajor, kShapectlVerMinor, lcid, ppTypeLib);
}

CTypeLibCache* CShapectlCtrl::GetTypeLibCache() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxGetTypeLibCache(&LIBID_shapectlLib);
}

HRESULT CShapectlCtrl::GetClassID(LPCLSID pclsid) {
    if (!pclsid) return E_POINTER;
    *pclsid = CLSID_Shapectl;
    return S_OK;
}

BOOL CShapectlCtrl::OnMapPropertyToPage(DISPID dispid, LPCLSID lpclsid, BOOL* pbPageOptional) {
    if (dispid == 95) {
        *lpclsid = CLSID_HotspotPage;
        if (pbPageOptional) *pbPageOptional = FALSE;
        return TRUE;
    }
    return COleControl::OnMapPropertyToPage(dispid, lpclsid, pbPageOptional);
}

LPCLSID CShapectlCtrl::GetPropPageIDs(ULONG& cPropPages) {
    cPropPages = 11;
    return const_cast<LPCLSID>(kShapectlPropPages);
}

void CShapectlCtrl::AboutBox() {
    CDialog about(kAboutBox);
    about.DoModal();
}
