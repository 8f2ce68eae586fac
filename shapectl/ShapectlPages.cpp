// The shape control's property pages.
//
// Decisions:
//  - A page is a table (PageSpec) of its bound controls in exchange order. The dialog template is
//    made from the rows (MakePageTemplate), so the controls, their labels and the bindings are one
//    list; the templates are the module's dialog resources by their numbers (200, 202, 211, 212,
//    214, 216, 217, 218).
//  - The list texts of the drawing library come from its string table: OnInitDialog loads the
//    library by its module name "quixcore.DLL" (LoadLibraryA finds libquixcore.so, which the
//    control library is linked against and which is therefore loaded already), reads each text
//    with LoadStringA into a 30-character buffer and inserts it at its index; a missing library
//    or string gives an empty entry at that index.
//  - The Effects page's TStyle list offers the eight styles the property accepts (0 to 7); the
//    dialog data's ninth entry, "8 - Gradient", which the property always refuses, is left out.
#include "shapectl/ShapectlPages.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/com/activation.h"
#include "platform/com/resources.h"
#include "platform/win/commdlg.h"
#include "quixcore/quixcore.h"

namespace {

using B = PageBinding;

const char* g_drawingLibrary = "quixcore.DLL";

const std::vector<const char*> kTransparentOpaque = {"0 - Transparent", "1 - Opaque"};
const std::vector<const char*> kBevelStyles = {"0 - None",
                                               "1 - Inset",
                                               "2 - Raised",
                                               "3 - Inset Gradient",
                                               "4 - Raised Gradient",
                                               "5 - Color 1-2-1 Gradient",
                                               "6 - Color 2-1-2 Gradient"};
const std::vector<const char*> kLineStyles = {
    "0 - Transparent", "1 - Solid", "2 - Dash", "3 - Dot", "4 - Dash Dot", "5 - Dash Dot Dot"};
const std::vector<const char*> kFillStyles = {
    "0 - Solid",         "1 - Transparent",       "2 - Horizontal Line",
    "3 - Vertical Line", "4 - Downward Diagonal", "5 - Upward Diagonal",
    "6 - Cross",         "7 - Diagonal Cross"};

// ---- the eight tables ----

const PageSpec kGeneral{
    CLSID_ShapectlPropPage,
    200,
    IDS_GENERAL_CAPTION,
    true,
    WS_CHILD,
    {{B::Text, 204, 95, 10, 145, 12, "Caption"},
     {B::List, 208, 95, 26, 145, 82, "CancelMode", true, {}, IDS_QUIX_CANCELMODE, 10},
     {B::List,
      205,
      95,
      43,
      145,
      67,
      "BackStyle",
      true,
      {"0 - Transparent", "1 - Opaque", "2 - Translucent", "3 - Gradient",
       "4 - Translucent Gradient", "5 - Tile Image"}},
     {B::List,
      206,
      95,
      60,
      145,
      45,
      "BackFill",
      true,
      {"0 - Screen", "1 - Captured Image", "2 - Surround Color"}},
     {B::List, 207, 95, 77, 145, 33, "DesignStyle", true, kTransparentOpaque},
     {B::Check, 210, 5, 58, 38, 9, "Overlay"},
     {B::Check, 211, 5, 47, 39, 8, "Preview"},
     {B::Check, 213, 9, 97, 55, 9, "AutoRedraw"},
     {B::Check, 215, 67, 97, 50, 9, "MultiEffect"},
     {B::Check, 212, 123, 97, 46, 8, "EffectCue"},
     {B::Check, 214, 175, 97, 64, 8, "EffectIncrement"}},
    {{DialogItem::Icon, 201, "#1", 11, 12, 20, 20, SS_SUNKEN}}};

const PageSpec kBorder{CLSID_BorderPage,
                       212,
                       IDS_BORDER_CAPTION,
                       true,
                       WS_CHILD,
                       {{B::Number, 201, 70, 8, 20, 12, "BorderWidth"},
                        {B::Number, 203, 70, 28, 20, 12, "BInnerWidth"},
                        {B::Number, 202, 70, 48, 20, 12, "BOuterWidth"},
                        {B::List, 204, 151, 28, 90, 51, "BInnerStyle", false, kBevelStyles},
                        {B::List, 205, 151, 48, 90, 53, "BOuterStyle", false, kBevelStyles}}};

const PageSpec kDrawStyle{
    CLSID_DrawStylePage,
    218,
    IDS_DRAWSTYLE_CAPTION,
    true,
    WS_CHILD,
    {{B::List,
      203,
      77,
      38,
      127,
      53,
      "DrawMode",
      false,
      {"0 - None", "1 - Blackness", "2 - Not Merge Pen", "3 - Mask Not Pen", "4 - Not Copy Pen",
       "5 - Mask Pen Not", "6 - Invert", "7 - Xor Pen", "8 - Not Mask Pen", "9 - Mask Pen",
       "10 - Not Xor Pen", "11 - Nop", "12 - Merge Not Pen", "13 - Copy Pen", "14 - Merge Pen Not",
       "15 - Merge Pen", "16 - Whiteness"}},
     {B::List, 201, 77, 18, 127, 53, "DrawStyle", false, kLineStyles},
     {B::Number, 204, 77, 76, 20, 12, "DrawWidth"},
     {B::List, 206, 77, 57, 127, 52, "DrawFillStyle", false, kFillStyles}}};

const PageSpec kEffects{
    CLSID_EffectsPage,
    211,
    IDS_EFFECTS_CAPTION,
    true,
    WS_CHILD,
    {{B::List, 224, 30, 3, 124, 91, "MEffect", false, {}, IDS_QUIX_MEFFECT, 114},
     {B::List, 205, 30, 18, 124, 91, "DEffect1", false, {}, IDS_QUIX_DEFFECT, 114},
     {B::List, 206, 30, 33, 124, 91, "DEffect2", false, {}, IDS_QUIX_DEFFECT, 114},
     {B::List, 207, 30, 48, 124, 91, "DEffect3", false, {}, IDS_QUIX_DEFFECT, 114},
     {B::List, 209, 30, 63, 124, 91, "TEffect", false, {}, IDS_QUIX_MEFFECT, 114},
     {B::List,
      210,
      30,
      78,
      90,
      91,
      "TStyle",
      false,
      {"0 - Solid", "1 - Horizontal Line", "2 - Vertical Line", "3 - Downward Diagonal",
       "4 - Upward Diagonal", "5 - Cross", "6 - Diagonal Cross", "7 - Captured Image"}},
     {B::Number, 230, 183, 4, 20, 12, "MDelay"},
     {B::Number, 231, 230, 4, 20, 12, "MGrain"},
     {B::List,
      208,
      181,
      34,
      67,
      49,
      "DMode",
      false,
      {"0 - None", "1 - Single Pass", "2 - Double Pass", "3 - Triple Pass"}},
     {B::Number, 232, 183, 63, 20, 12, "TDelay"},
     {B::Number, 235, 230, 63, 20, 12, "TGrain"},
     {B::Number, 234, 45, 98, 20, 12, "WandWidth"},
     {B::Check, 233, 68, 99, 34, 10, "Wand"},
     {B::Check, 236, 107, 99, 44, 10, "TEnabled"},
     {B::Check, 237, 157, 99, 32, 10, "TOnly"},
     {B::Check, 212, 159, 20, 48, 8, "QuixEnabled"}}};

const PageSpec kFontStyle{
    CLSID_FontStylePage,
    217,
    IDS_FONTSTYLE_CAPTION,
    true,
    WS_CHILD,
    {{B::List,
      208,
      40,
      5,
      118,
      90,
      "Alignment",
      false,
      {"0 - Left Justify - TOP", "1 - Left Justify - MIDDLE", "2 - Left Justify - BOTTOM",
       "3 - Right Justify - TOP", "4 - Right Justify - MIDDLE", "5 - Right Justify - BOTTOM",
       "6 - Center Justify - TOP", "7 - Center Justify - MIDDLE", "8 - Center Justify - BOTTOM"}},
     {B::List,
      209,
      40,
      21,
      118,
      83,
      "Font3D",
      false,
      {"0 - None", "1 - Raised w/Light Shading", "2 - Raised w/Heavy Shading",
       "3 - Inset w/Light Shading", "4 - Inset w/Heavy Shading", "5 - Drop Shadow",
       "6 - Block Shadow", "7 - Outline Block", "8 - Outline Drop"}},
     {B::List,
      201,
      40,
      37,
      118,
      71,
      "ForeStyle",
      true,
      {"0 -Solid", "1 - Translucent", "2 - Gradient", "3 - Transparent", "4 - Tile Image"}},
     {B::List, 203, 40, 53, 118, 58, "GStyle", true, {}, IDS_QUIX_GRADIENT, 20},
     {B::Number, 214, 44, 91, 20, 12, "FontDropX"},
     {B::Number, 202, 107, 91, 20, 12, "FontDropY"},
     {B::Number, 204, 165, 91, 20, 12, "TextX"},
     {B::Number, 205, 215, 91, 20, 12, "TextY"},
     {B::Number, 211, 215, 54, 20, 12, "GSteps"},
     {B::Number, 210, 215, 20, 20, 12, "FontBlockSize"},
     {B::Check, 212, 166, 38, 50, 10, "WordWrap"},
     {B::List, 206, 40, 69, 118, 58, "FGStyle", true, {}, IDS_QUIX_GRADIENT, 20},
     {B::Number, 213, 215, 70, 20, 12, "FGSteps"}}};

const PageSpec kHotspot{
    CLSID_HotspotPage,
    216,
    IDS_HOTSPOT_CAPTION,
    false,
    WS_CHILD | WS_VISIBLE,
    {{B::Text, 216, 44, 20, 127, 12, "HFileName"}, {B::Button, 217, 177, 20, 13, 12, "..."}}};

const PageSpec kMisc{
    CLSID_MiscPage,
    214,
    IDS_MISC_CAPTION,
    true,
    WS_CHILD | WS_VISIBLE,
    {{B::List,
      231,
      59,
      7,
      112,
      72,
      "PictureAlign",
      false,
      {"0 - Left - TOP", "1 - Left - MIDDLE", "2 - Left - BOTTOM", "3 - Right - TOP",
       "4 - Right - MIDDLE", "5 - Right - BOTTOM", "6 - Center - TOP", "7 - Center - MIDDLE",
       "8 - Center - BOTTOM"}},
     {B::List, 230, 59, 25, 112, 84, "MousePointer", false, {}, IDS_QUIX_POINTER, 45},
     {B::Number, 237, 40, 49, 30, 12, "PictureX"},
     {B::Number, 238, 122, 49, 30, 12, "PictureY"},
     {B::Check, 235, 14, 73, 35, 9, "Notify"},
     {B::Number, 236, 99, 72, 30, 12, "NotifyDelay"},
     {B::Check, 233, 14, 92, 57, 8, "PictureVisible"},
     {B::Check, 213, 93, 92, 55, 8, "Transparent"},
     {B::Check, 234, 165, 92, 41, 8, "Multitask"},
     {B::Check, 239, 165, 73, 53, 9, "Persistence"},
     {B::Check, 201, 165, 51, 67, 10, "ManagePalette"}}};

const PageSpec kShape{
    CLSID_ShapePage,
    202,
    IDS_SHAPE_CAPTION,
    true,
    WS_CHILD,
    {{B::List, 202, 70, 15, 147, 66, "Shape", true, {}, IDS_QUIX_SHAPE, 18},
     {B::List, 208, 70, 38, 147, 53, "BorderStyle", true, kLineStyles},
     {B::List, 207, 70, 61, 147, 55, "FillStyle", true, kFillStyles},
     {B::List, 206, 70, 84, 147, 37, "ShadowStyle", true, {"0 - None", "1 - Drop Shadow"}}}};

// ---- templates ----

// The height a row takes on its line (a list's closed height).
int LineHeight(const PageBinding& row) {
    return row.kind == PageBinding::List ? 12 : row.cy;
}

const DialogTemplate& TemplateOf(const PageSpec& spec) {
    static std::map<const PageSpec*, DialogTemplate> made;
    auto it = made.find(&spec);
    if (it == made.end()) it = made.emplace(&spec, MakePageTemplate(spec)).first;
    return it->second;
}

template <const PageSpec& S>
const DialogTemplate& Template() {
    return TemplateOf(S);
}

const AFX_DIALOG_RESOURCE kDialogs[] = {
    {200, &Template<kGeneral>},   {202, &Template<kShape>},     {211, &Template<kEffects>},
    {212, &Template<kBorder>},    {214, &Template<kMisc>},      {216, &Template<kHotspot>},
    {217, &Template<kFontStyle>}, {218, &Template<kDrawStyle>},
};

const AFX_STRING_RESOURCE kStrings[] = {
    {IDS_SHAPECTL, "Quixkit Brenic Shape Control"},
    {IDS_SHAPECTL_PPG, "QuixShape Property Page"},
    {IDS_EFFECTS_PPG, "Effects Property Page"},
    {IDS_BORDER_PPG, "Border Property Page"},
    {IDS_HOTSPOT_PPG, "Hotspot Property Page"},
    {IDS_FONTSTYLE_PPG, "Font Style Property Page"},
    {IDS_MISC_PPG, "Misc. Property Page"},
    {IDS_SHAPE_PPG, "Shape Property Page"},
    {IDS_DRAWSTYLE_PPG, "Draw Style Property Page"},
    {IDS_GENERAL_CAPTION, "General"},
    {IDS_EFFECTS_CAPTION, "Effects"},
    {IDS_BORDER_CAPTION, "Border"},
    {IDS_HOTSPOT_CAPTION, "Hotspot"},
    {IDS_FONTSTYLE_CAPTION, "Font Style"},
    {IDS_MISC_CAPTION, "Misc."},
    {IDS_SHAPE_CAPTION, "Shape"},
    {IDS_DRAWSTYLE_CAPTION, "Draw Style"},
};

}  // namespace

DialogTemplate MakePageTemplate(const PageSpec& spec) {
    DialogTemplate t{"", 250, 110, {}, spec.style};
    // What stands on a row to the left of a field: the other rows and the extra controls.
    struct Box {
        int left, top, right, bottom;
    };
    std::vector<Box> boxes;
    for (const auto& row : spec.rows) {
        boxes.push_back({row.x, row.y, row.x + row.cx, row.y + LineHeight(row)});
    }
    for (const auto& item : spec.extras) {
        boxes.push_back({item.x, item.y, item.x + item.cx, item.y + item.cy});
    }
    for (const auto& item : spec.extras) t.items.push_back(item);
    for (const auto& row : spec.rows) {
        if (row.kind == PageBinding::Check) {
            t.items.push_back({DialogItem::CheckBox, row.id, row.property, row.x, row.y, row.cx,
                               row.cy, BS_AUTOCHECKBOX | WS_TABSTOP});
            continue;
        }
        if (row.kind == PageBinding::Button) {
            t.items.push_back({DialogItem::Button, row.id, row.property, row.x, row.y, row.cx,
                               row.cy, WS_TABSTOP});
            continue;
        }
        int top = row.y + 2, bottom = top + 8, left = 2;
        for (const Box& b : boxes) {
            if (b.right <= row.x && b.top < bottom && b.bottom > top)
                left = std::max(left, b.right + 3);
        }
        t.items.push_back({DialogItem::Static, -1, std::string(row.property) + ":", left, top,
                           std::max(0, row.x - 3 - left), 8, SS_RIGHT});
        if (row.kind == PageBinding::List) {
            std::vector<std::string> data(row.data.begin(), row.data.end());
            t.items.push_back(
                {DialogItem::ComboBox, row.id, "", row.x, row.y, row.cx, row.cy,
                 CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | (row.sorted ? CBS_SORT : 0), data});
        } else {
            t.items.push_back({DialogItem::Edit, row.id, "", row.x, row.y, row.cx, row.cy,
                               WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP});
        }
    }
    return t;
}

void SetDrawingLibraryName(const char* name) {
    g_drawingLibrary = name;
}

void ShapectlInstallResources() {
    AfxSetStringTable(kStrings, std::size(kStrings));
    AfxSetDialogTable(kDialogs, std::size(kDialogs));
}

// ---- the base of the pages ----

CShapePropertyPage::CShapePropertyPage(const PageSpec& spec)
    : COlePropertyPage(spec.dialogId, spec.captionId), m_spec(spec) {
    if (spec.help) SetHelpInfo("Quixkit Help", "quixhelp.HLP", 1);
    for (const auto& row : spec.rows) {
        if (row.kind == PageBinding::List) m_values[row.id] = -1;
        if (row.kind == PageBinding::Number || row.kind == PageBinding::Check) {
            m_values[row.id] = 0;
        }
        if (row.kind == PageBinding::Text) m_texts[row.id].clear();
    }
}

HRESULT CShapePropertyPage::GetClassID(LPCLSID pclsid) const {
    if (!pclsid) return E_POINTER;
    *pclsid = m_spec.clsid;
    return S_OK;
}

BOOL CShapePropertyPage::OnInitDialog() {
    BOOL result = COlePropertyPage::OnInitDialog();
    // Only the pages with lists of the drawing library have an initialisation of their own.
    bool fromLibrary = std::any_of(m_spec.rows.begin(), m_spec.rows.end(),
                                   [](const PageBinding& r) { return r.stringCount > 0; });
    if (!fromLibrary) return result;
    HMODULE library = LoadLibraryA(g_drawingLibrary);
    for (const auto& row : m_spec.rows) {
        for (int i = 0; i < row.stringCount; ++i) {
            char buffer[kQuixStringBuffer];
            LoadStringA(library, row.stringBase + static_cast<UINT>(i), buffer, sizeof buffer);
            SendDlgItemMessageA(GetSafeHwnd(), row.id, CB_INSERTSTRING, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(buffer));
        }
    }
    if (library) FreeLibrary(library);
    return FALSE;
}

void CShapePropertyPage::DoDataExchange(CDataExchange* pDX) {
    for (const auto& row : m_spec.rows) {
        switch (row.kind) {
            case PageBinding::Text:
                DDP_Text(pDX, row.id, m_texts[row.id], row.property);
                DDX_Text(pDX, row.id, m_texts[row.id]);
                break;
            case PageBinding::Number:
                DDP_Text(pDX, row.id, m_values[row.id], row.property);
                DDX_Text(pDX, row.id, m_values[row.id]);
                break;
            case PageBinding::List:
                DDP_CBIndex(pDX, row.id, m_values[row.id], row.property);
                DDX_CBIndex(pDX, row.id, m_values[row.id]);
                break;
            case PageBinding::Check:
                DDP_Check(pDX, row.id, m_values[row.id], row.property);
                DDX_Check(pDX, row.id, m_values[row.id]);
                break;
            case PageBinding::Button:
                break;
        }
    }
    Adjust(pDX);
    DDP_PostProcessing(pDX);
}

void CShapePropertyPage::Adjust(CDataExchange*) {}

// ---- the pages ----

IMPLEMENT_DYNCREATE(CShapectlPropPage)
CShapectlPropPage::CShapectlPropPage() : CShapePropertyPage(kGeneral) {}

IMPLEMENT_DYNCREATE(CBorderPage)
CBorderPage::CBorderPage() : CShapePropertyPage(kBorder) {}

IMPLEMENT_DYNCREATE(CEffects)
CEffects::CEffects() : CShapePropertyPage(kEffects) {}

IMPLEMENT_DYNCREATE(CFontStyle)
CFontStyle::CFontStyle() : CShapePropertyPage(kFontStyle) {}

IMPLEMENT_DYNCREATE(CShape)
CShape::CShape() : CShapePropertyPage(kShape) {}

IMPLEMENT_DYNCREATE(DrawPPG)
DrawPPG::DrawPPG() : CShapePropertyPage(kDrawStyle) {}

void DrawPPG::Adjust(CDataExchange*) {
    if (Value(203) == 0) Value(203) = 1;
}

IMPLEMENT_DYNCREATE(CMiscellaneous)
CMiscellaneous::CMiscellaneous() : CShapePropertyPage(kMisc) {}

void CMiscellaneous::Adjust(CDataExchange* pDX) {
    if (pDX->m_bSaveAndValidate && Value(230) == 44) Value(230) = 99;
    if (SendDlgItemMessageA(GetSafeHwnd(), 230, CB_GETCURSEL, 0, 0) == CB_ERR) {
        SendDlgItemMessageA(GetSafeHwnd(), 230, CB_SETCURSEL, 44, 0);
    }
}

IMPLEMENT_DYNCREATE(CHotspot)
CHotspot::CHotspot() : CShapePropertyPage(kHotspot) {}

BOOL CHotspot::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == 217 && HIWORD(wParam) == BN_CLICKED) {
        OnBrowse();
        return TRUE;
    }
    return CShapePropertyPage::OnCommand(wParam, lParam);
}

void CHotspot::OnBrowse() {
    char filter[] = "QuixShape Hotspot|*.hsp|";
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    char file[256] = "";
    char title[256] = "";
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetSafeHwnd();
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.lpstrInitialDir = nullptr;
    ofn.lpstrTitle = "Select Hotspot File";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&ofn)) SetDlgItemTextA(GetSafeHwnd(), 216, file);
}
