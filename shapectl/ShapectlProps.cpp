// CShapectlCtrl: the dispatch interface, the common set path and the properties with rules of
// their own.
#include <cstring>

#include "platform/com/bstr.h"
#include "platform/ole/dialog.h"
#include "quixcore/quixcore.h"
#include "shapectl/ShapectlCtl.h"

using platform::com::Variant;
using Rule = CShapectlCtrl::ValueRule;
using Kind = CShapectlCtrl::Kind;
using Check = CShapectlCtrl::Check;
using Redraw = CShapectlCtrl::Redraw;

namespace {

// The messages of the range errors.
constexpr const char* k1To30 = "Only values between 1 and 30 are allowed.";
constexpr const char* k0To255 = "Only values between 0 and 255 are allowed.";
constexpr const char* k1To256 = "Only values between 1 and 256 are allowed.";
constexpr const char* kMinus10To10 = "Only values between -10 and 10 are allowed.";
constexpr const char* k0To65535 = "Only values between 0 and 65535 are allowed.";
constexpr const char* k2To256 = "Only values between 2 and 256 are allowed.";
constexpr const char* kMinus10000To10000 = "Only values between -10000 and 10000 are allowed.";
constexpr const char* k0To1 = "Only values between 0 and 1 are allowed.";
constexpr const char* k0To32767 = "Only values between 0 and 32767 are allowed.";
constexpr const char* k0To6 = "Only values between 0 and 6 are allowed.";

// Checks of the table: an enumeration's range (error A), the colour check, or none.
constexpr Rule Enum(DISPID id, const char* name, LONG low, LONG high, Redraw r) {
    return {id,   name, Kind::Short, Check::ShortRange, low, high, 380, kInvalidPropertyValue,
            true, r};
}
constexpr Rule Range(DISPID id, const char* name, LONG low, LONG high, USHORT code,
                     const char* message, Redraw r) {
    return {id, name, Kind::Short, Check::ShortRange, low, high, code, message, true, r};
}
constexpr Rule Colour(DISPID id, const char* name, Redraw r) {
    return {id, name, Kind::Color, Check::Color, 0, 0, 0, nullptr, true, r};
}
constexpr Rule AnyColour(DISPID id, const char* name, Redraw r) {
    return {id, name, Kind::Color, Check::None, 0, 0, 0, nullptr, true, r};
}
constexpr Rule Flag(DISPID id, const char* name, Redraw r) {
    return {id, name, Kind::Bool, Check::None, 0, 0, 0, nullptr, true, r};
}
constexpr Rule AnyShort(DISPID id, const char* name, Redraw r) {
    return {id, name, Kind::Short, Check::None, 0, 0, 0, nullptr, true, r};
}

constexpr Redraw R = Redraw::Always;
constexpr Redraw PR = Redraw::Preview;
constexpr Redraw DR = Redraw::Design;
constexpr Redraw NR = Redraw::None;

// The value properties: validate, store, notify at design time, redraw.
const Rule kValueRules[] = {
    Colour(10, "BackColor", R),
    AnyColour(11, "FillColor", R),
    Enum(12, "BackStyle", 0, 5, R),
    Enum(13, "ShadowStyle", 0, 1, R),
    Range(14, "BOuterWidth", 1, 30, 20030, k1To30, R),
    Colour(15, "BOuterColor2", R),
    Enum(16, "BOuterStyle", 0, 6, R),
    Colour(17, "BOuterColor1", R),
    Enum(18, "MEffect", 0, 113, PR),
    Range(19, "MDelay", 0, 255, 20020, k0To255, PR),
    Range(20, "MGrain", 1, 256, 20020, k1To256, PR),
    Flag(21, "Multitask", NR),
    Enum(22, "DMode", 0, 3, PR),
    Enum(23, "DEffect1", 0, 113, PR),
    Enum(24, "DEffect2", 0, 113, PR),
    Enum(25, "DEffect3", 0, 113, PR),
    AnyColour(26, "ShadowColor", R),
    Range(27, "ShadowDropX", -10, 10, 20130, kMinus10To10, R),
    Range(28, "ShadowDropY", -10, 10, 20130, kMinus10To10, R),
    Range(29, "BorderWidth", 0, 255, 20050, k0To255, R),
    Colour(30, "BorderColor", R),
    Enum(31, "BInnerStyle", 0, 6, R),
    Range(32, "BInnerWidth", 1, 30, 20030, k1To30, R),
    Colour(33, "BInnerColor1", R),
    Colour(34, "BInnerColor2", R),
    Enum(35, "FillStyle", 0, 7, R),
    Enum(36, "Shape", 0, 17, R),
    Enum(37, "BorderStyle", 0, 5, R),
    Flag(38, "Notify", NR),
    Flag(39, "Wand", PR),
    Colour(40, "WandColor", PR),
    Range(41, "WandWidth", 1, 256, 20010, k1To256, PR),
    {42, "NotifyDelay", Kind::Long, Check::LongRange, 0, 65535, 20060, k0To65535, true, R},
    Enum(43, "CancelMode", 0, 9, R),
    Flag(44, "QuixEnabled", NR),
    Flag(45, "Overlay", NR),
    Enum(47, "GStyle", 0, 19, R),
    Colour(48, "GColor2", R),
    Colour(49, "GColor1", R),
    Range(50, "GSteps", 2, 256, 20090, k2To256, R),
    Enum(54, "PictureAlign", 0, 8, R),
    Flag(55, "Transparent", NR),
    Colour(56, "TransparentColor", NR),
    Flag(69, "TEnabled", PR),
    Enum(70, "TEffect", 0, 113, PR),
    Range(71, "TDelay", 0, 255, 20020, k0To255, PR),
    Range(72, "TGrain", 1, 256, 20020, k1To256, PR),
    Colour(73, "TForeColor", PR),
    Colour(74, "TBackColor", PR),
    Enum(75, "TStyle", 0, 7, PR),
    Flag(76, "TOnly", PR),
    Enum(77, "Alignment", 0, 8, R),
    Enum(78, "Font3D", 0, 8, R),
    Range(79, "FontBlockSize", -10, 10, 20130, kMinus10To10, R),
    Range(80, "FontDropX", -10, 10, 20130, kMinus10To10, R),
    Range(81, "FontDropY", -10, 10, 20130, kMinus10To10, R),
    Colour(82, "FontOutlineColor", R),
    Colour(83, "FontShadowColor", R),
    Flag(84, "WordWrap", R),
    Range(85, "TextX", -10000, 10000, 380, kMinus10000To10000, R),
    Range(86, "TextY", -10000, 10000, 380, kMinus10000To10000, R),
    Colour(87, "ForeColor", R),
    Enum(88, "BackFill", 0, 2, DR),
    Flag(89, "PictureVisible", R),
    Enum(90, "ForeStyle", 0, 4, R),
    Range(91, "PictureX", -10000, 10000, 380, kMinus10000To10000, R),
    Range(92, "PictureY", -10000, 10000, 380, kMinus10000To10000, R),
    Enum(100, "HShape", 0, 100, R),
    Flag(102, "PrinterBanding", NR),
    Enum(103, "DesignStyle", 0, 1, R),
    Colour(104, "Font3DColor1", R),
    Colour(105, "Font3DColor2", R),
    AnyColour(109, "SurroundColor", R),
    Flag(110, "AutoRedraw", NR),
    Colour(111, "DrawFillColor", NR),
    Enum(112, "DrawFillStyle", 0, 7, NR),
    Enum(113, "DrawMode", 1, 16, NR),
    Enum(114, "DrawStyle", 0, 5, NR),
    Enum(115, "DrawWidth", 1, 32767, NR),
    Flag(117, "EffectMask", NR),
    AnyShort(119, "EffectX", NR),
    AnyShort(120, "EffectY", NR),
    Colour(121, "FGColor1", R),
    Colour(122, "FGColor2", R),
    Range(123, "FGSteps", 2, 256, 20090, k2To256, R),
    Enum(124, "FGStyle", 0, 19, R),
    Flag(130, "MultiEffect", NR),
    Range(133, "UpdateArea", 0, 1, 380, k0To1, NR),
    Range(134, "UpdateX", 0, 32767, 380, k0To32767, NR),
    Range(135, "UpdateY", 0, 32767, 380, k0To32767, NR),
    Range(136, "UpdateW", 0, 32767, 380, k0To32767, NR),
    Range(137, "UpdateH", 0, 32767, 380, k0To32767, NR),
    Enum(146, "EffectPriority", 0, 2, NR),
    Flag(147, "FontScale", R),
    AnyShort(148, "FontHeight", R),
    AnyShort(149, "FontWidth", R),
};

// The member properties (DISPID 1 to 9): stored by the class library as given, then their
// change notice.
struct MemberRule {
    DISPID id;
    const char* name;
    Kind kind;
    void (CShapectlCtrl::*notice)();
};
const MemberRule kMemberRules[] = {
    {1, "Update", Kind::Bool, nullptr},
    {2, "MousePointer", Kind::Short, &CShapectlCtrl::OnMousePointerChanged},
    {3, "ManagePalette", Kind::Bool, &CShapectlCtrl::OnManagePaletteChanged},
    {4, "EffectCue", Kind::Bool, &CShapectlCtrl::OnEffectCueChanged},
    {5, "EffectIncrement", Kind::Bool, &CShapectlCtrl::OnEffectIncrementChanged},
    {6, "PaintNotify", Kind::Bool, &CShapectlCtrl::OnPaintNotifyChanged},
    {7, "Persistence", Kind::Bool, &CShapectlCtrl::OnPersistenceChanged},
    {8, "OLEDropAllowed", Kind::Bool, &CShapectlCtrl::OnOLEDropAllowedChanged},
    {9, "ZLevel", Kind::Long, &CShapectlCtrl::OnZLevelChanged},
};

const MemberRule* FindMemberRule(DISPID id) {
    for (const auto& m : kMemberRules) {
        if (m.id == id) return &m;
    }
    return nullptr;
}

// The member of a value or member property.
void* MemberOf(ShapeProperties& p, DISPID id) {
    switch (id) {
        case 1:
            return &p.Update;
        case 2:
            return &p.MousePointer;
        case 3:
            return &p.ManagePalette;
        case 4:
            return &p.EffectCue;
        case 5:
            return &p.EffectIncrement;
        case 6:
            return &p.PaintNotify;
        case 7:
            return &p.Persistence;
        case 8:
            return &p.OLEDropAllowed;
        case 9:
            return &p.ZLevel;
        case 10:
            return &p.BackColor;
        case 11:
            return &p.FillColor;
        case 12:
            return &p.BackStyle;
        case 13:
            return &p.ShadowStyle;
        case 14:
            return &p.BOuterWidth;
        case 15:
            return &p.BOuterColor2;
        case 16:
            return &p.BOuterStyle;
        case 17:
            return &p.BOuterColor1;
        case 18:
            return &p.MEffect;
        case 19:
            return &p.MDelay;
        case 20:
            return &p.MGrain;
        case 21:
            return &p.Multitask;
        case 22:
            return &p.DMode;
        case 23:
            return &p.DEffect1;
        case 24:
            return &p.DEffect2;
        case 25:
            return &p.DEffect3;
        case 26:
            return &p.ShadowColor;
        case 27:
            return &p.ShadowDropX;
        case 28:
            return &p.ShadowDropY;
        case 29:
            return &p.BorderWidth;
        case 30:
            return &p.BorderColor;
        case 31:
            return &p.BInnerStyle;
        case 32:
            return &p.BInnerWidth;
        case 33:
            return &p.BInnerColor1;
        case 34:
            return &p.BInnerColor2;
        case 35:
            return &p.FillStyle;
        case 36:
            return &p.Shape;
        case 37:
            return &p.BorderStyle;
        case 38:
            return &p.Notify;
        case 39:
            return &p.Wand;
        case 40:
            return &p.WandColor;
        case 41:
            return &p.WandWidth;
        case 42:
            return &p.NotifyDelay;
        case 43:
            return &p.CancelMode;
        case 44:
            return &p.QuixEnabled;
        case 45:
            return &p.Overlay;
        case 47:
            return &p.GStyle;
        case 48:
            return &p.GColor2;
        case 49:
            return &p.GColor1;
        case 50:
            return &p.GSteps;
        case 54:
            return &p.PictureAlign;
        case 55:
            return &p.Transparent;
        case 56:
            return &p.TransparentColor;
        case 69:
            return &p.TEnabled;
        case 70:
            return &p.TEffect;
        case 71:
            return &p.TDelay;
        case 72:
            return &p.TGrain;
        case 73:
            return &p.TForeColor;
        case 74:
            return &p.TBackColor;
        case 75:
            return &p.TStyle;
        case 76:
            return &p.TOnly;
        case 77:
            return &p.Alignment;
        case 78:
            return &p.Font3D;
        case 79:
            return &p.FontBlockSize;
        case 80:
            return &p.FontDropX;
        case 81:
            return &p.FontDropY;
        case 82:
            return &p.FontOutlineColor;
        case 83:
            return &p.FontShadowColor;
        case 84:
            return &p.WordWrap;
        case 85:
            return &p.TextX;
        case 86:
            return &p.TextY;
        case 87:
            return &p.ForeColor;
        case 88:
            return &p.BackFill;
        case 89:
            return &p.PictureVisible;
        case 90:
            return &p.ForeStyle;
        case 91:
            return &p.PictureX;
        case 92:
            return &p.PictureY;
        case 100:
            return &p.HShape;
        case 101:
            return &p.Preview;
        case 102:
            return &p.PrinterBanding;
        case 103:
            return &p.DesignStyle;
        case 104:
            return &p.Font3DColor1;
        case 105:
            return &p.Font3DColor2;
        case 109:
            return &p.SurroundColor;
        case 110:
            return &p.AutoRedraw;
        case 111:
            return &p.DrawFillColor;
        case 112:
            return &p.DrawFillStyle;
        case 113:
            return &p.DrawMode;
        case 114:
            return &p.DrawStyle;
        case 115:
            return &p.DrawWidth;
        case 117:
            return &p.EffectMask;
        case 119:
            return &p.EffectX;
        case 120:
            return &p.EffectY;
        case 121:
            return &p.FGColor1;
        case 122:
            return &p.FGColor2;
        case 123:
            return &p.FGSteps;
        case 124:
            return &p.FGStyle;
        case 130:
            return &p.MultiEffect;
        case 133:
            return &p.UpdateArea;
        case 134:
            return &p.UpdateX;
        case 135:
            return &p.UpdateY;
        case 136:
            return &p.UpdateW;
        case 137:
            return &p.UpdateH;
        case 146:
            return &p.EffectPriority;
        case 147:
            return &p.FontScale;
        case 148:
            return &p.FontHeight;
        case 149:
            return &p.FontWidth;
        default:
            return nullptr;
    }
}

VARTYPE VtOf(Kind k) {
    switch (k) {
        case Kind::Short:
            return VT_I2;
        case Kind::Bool:
            return VT_BOOL;
        default:
            return VT_I4;
    }
}

VARIANT Read(void* member, Kind kind) {
    VARIANT v;
    VariantInit(&v);
    switch (kind) {
        case Kind::Short:
            v.vt = VT_I2;
            v.iVal = *static_cast<SHORT*>(member);
            break;
        case Kind::Long:
            v.vt = VT_I4;
            v.lVal = *static_cast<LONG*>(member);
            break;
        case Kind::Color:
            v.vt = VT_I4;
            v.lVal = static_cast<LONG>(*static_cast<OLE_COLOR*>(member));
            break;
        case Kind::Bool:
            v.vt = VT_BOOL;
            v.boolVal = *static_cast<BOOL*>(member) ? VARIANT_TRUE : VARIANT_FALSE;
            break;
    }
    return v;
}

// Stores a value converted to the property's dispatch type (VT_BOOL values as given: any
// non-zero value counts as TRUE).
void Write(void* member, Kind kind, const VARIANT& v) {
    switch (kind) {
        case Kind::Short:
            *static_cast<SHORT*>(member) = v.iVal;
            break;
        case Kind::Long:
            *static_cast<LONG*>(member) = v.lVal;
            break;
        case Kind::Color:
            *static_cast<OLE_COLOR*>(member) = static_cast<OLE_COLOR>(v.lVal);
            break;
        case Kind::Bool:
            *static_cast<BOOL*>(member) = v.boolVal;
            break;
    }
}

}  // namespace

const CShapectlCtrl::ValueRule* CShapectlCtrl::FindValueRule(DISPID id) {
    for (const auto& r : kValueRules) {
        if (r.id == id) return &r;
    }
    return nullptr;
}

// ---- the dispatch map ----

const platform::ole::DispatchMap& CShapectlCtrl::GetDispatchMap() const {
    using namespace platform::ole;
    using C = CShapectlCtrl;
    static const DispatchMap map = [] {
        DispatchMap m;
        for (const auto& r : kMemberRules) {
            m.push_back(DispPropertyById<&C::GetValueProperty, &C::SetValueProperty>(r.name, r.id,
                                                                                     VtOf(r.kind)));
        }
        for (const auto& r : kValueRules) {
            m.push_back(DispPropertyById<&C::GetValueProperty, &C::SetValueProperty>(r.name, r.id,
                                                                                     VtOf(r.kind)));
        }
        // The read-only properties: a set at run time raises, at design time the value is
        // dropped.
        m.push_back(DispProperty<&C::GetQuixCanceled, &C::SetNotSupportedAtRunTime<BOOL>>(
            "QuixCanceled", 46, VT_BOOL));
        m.push_back(DispProperty<&C::GetQuixError, &C::SetNotSupportedAtRunTime<SHORT>>("QuixError",
                                                                                        52, VT_I2));
        m.push_back(DispProperty<&C::GetOnShape, &C::SetNotSupportedAtRunTime<BOOL>>("OnShape", 57,
                                                                                     VT_BOOL));
        m.push_back(
            DispProperty<&C::GetHID, &C::SetNotSupportedAtRunTime<SHORT>>("HID", 96, VT_I2));
        m.push_back(DispProperty<&C::GetHName, &C::SetNotSupportedAtRunTime<LPCOLESTR>>("HName", 97,
                                                                                        VT_BSTR));
        m.push_back(DispProperty<&C::GetHPriority, &C::SetNotSupportedAtRunTime<SHORT>>("HPriority",
                                                                                        98, VT_I2));
        m.push_back(
            DispProperty<&C::GetHTotal, &C::SetNotSupportedAtRunTime<SHORT>>("HTotal", 99, VT_I2));
        m.push_back(
            DispProperty<&C::GethBmp, &C::SetNotSupportedAtRunTime<LONG>>("hBmp", 107, VT_I4));
        m.push_back(
            DispProperty<&C::GethPal, &C::SetNotSupportedAtRunTime<LONG>>("hPal", 108, VT_I4));
        m.push_back(DispProperty<&C::GetEffectInProgress, &C::SetNotSupportedAtRunTime<BOOL>>(
            "EffectInProgress", 116, VT_BOOL));
        m.push_back(DispProperty<&C::GetEffectStatus, &C::SetNotSupportedAtRunTime<SHORT>>(
            "EffectStatus", 118, VT_I2));
        m.push_back(
            DispProperty<&C::GetMaskH, &C::SetNotSupportedAtRunTime<SHORT>>("MaskH", 128, VT_I2));
        m.push_back(
            DispProperty<&C::GetMaskW, &C::SetNotSupportedAtRunTime<SHORT>>("MaskW", 129, VT_I2));
        m.push_back(
            DispProperty<&C::GetTextH, &C::SetNotSupportedAtRunTime<SHORT>>("TextH", 131, VT_I2));
        m.push_back(
            DispProperty<&C::GetTextW, &C::SetNotSupportedAtRunTime<SHORT>>("TextW", 132, VT_I2));

        m.push_back(DispProperty<&C::GetCapture, &C::SetCapture>("Capture", 51, VT_I2));
        m.push_back(DispProperty<&C::GetPicture, &C::SetPicture>("Picture", 53, VT_DISPATCH));
        m.push_back(DispProperty<&C::GetWriteOnly, &C::SetPrinterhDC>("PrinterhDC", 58, VT_I4));
        m.push_back(
            DispProperty<&C::GetPrinterHeight, &C::SetPrinterHeight>("PrinterHeight", 59, VT_I4));
        m.push_back(DispProperty<&C::GetPrinterLeft, &C::SetPrinterLeft>("PrinterLeft", 60, VT_I4));
        m.push_back(DispProperty<&C::GetPrinterTop, &C::SetPrinterTop>("PrinterTop", 61, VT_I4));
        m.push_back(
            DispProperty<&C::GetPrinterWidth, &C::SetPrinterWidth>("PrinterWidth", 62, VT_I4));
        m.push_back(DispProperty<&C::GetFontName, &C::SetFontName>("FontName", 63, VT_BSTR));
        m.push_back(DispProperty<&C::GetFontSize, &C::SetFontSize>("FontSize", 64, VT_R4));
        m.push_back(DispProperty<&C::GetFontBold, &C::SetFontBold>("FontBold", 65, VT_BOOL));
        m.push_back(DispProperty<&C::GetFontItalic, &C::SetFontItalic>("FontItalic", 66, VT_BOOL));
        m.push_back(DispProperty<&C::GetFontStrikethru, &C::SetFontStrikethru>("FontStrikethru", 67,
                                                                               VT_BOOL));
        m.push_back(
            DispProperty<&C::GetFontUnderline, &C::SetFontUnderline>("FontUnderline", 68, VT_BOOL));
        m.push_back(DispProperty<&C::GetWriteOnly, &C::SetHDisable>("HDisable", 93, VT_I2));
        m.push_back(DispProperty<&C::GetWriteOnly, &C::SetHEnable>("HEnable", 94, VT_I2));
        m.push_back(DispProperty<&C::GetHFileName, &C::SetHFileName>("HFileName", 95, VT_BSTR));
        m.push_back(
            DispPropertyById<&C::GetValueProperty, &C::SetValueProperty>("Preview", 101, VT_BOOL));
        m.push_back(
            DispProperty<&C::GetMouseIcon, &C::SetMouseIcon>("MouseIcon", 106, VT_DISPATCH));
        m.push_back(
            DispProperty<&C::GetQuixPicture, &C::SetQuixPicture>("QuixPicture", 125, VT_UNKNOWN));
        m.push_back(DispProperty<&C::GetWriteOnly, &C::SethDIB>("hDIB", 126, VT_I4));
        m.push_back(DispProperty<&C::GetMask, &C::SetMask>("Mask", 127, VT_DISPATCH));
        m.push_back(DispProperty<&C::GetFrame, &C::SetFrame>("Frame", 138, VT_I2));
        m.push_back(DispProperty<&C::GetFrameN<1>, &C::SetFrameN<1>>("Frame1", 139, VT_DISPATCH));
        m.push_back(DispProperty<&C::GetFrameN<2>, &C::SetFrameN<2>>("Frame2", 140, VT_DISPATCH));
        m.push_back(DispProperty<&C::GetFrameN<3>, &C::SetFrameN<3>>("Frame3", 141, VT_DISPATCH));
        m.push_back(DispProperty<&C::GetFrameN<4>, &C::SetFrameN<4>>("Frame4", 142, VT_DISPATCH));
        m.push_back(DispProperty<&C::GetFrameN<5>, &C::SetFrameN<5>>("Frame5", 143, VT_DISPATCH));
        m.push_back(DispProperty<&C::GetFrameN<6>, &C::SetFrameN<6>>("Frame6", 144, VT_DISPATCH));
        m.push_back(DispProperty<&C::GetMaxFrames, &C::SetMaxFrames>("MaxFrames", 145, VT_I2));
        m.push_back(DispProperty<&C::GetEffectAborted, &C::SetEffectAborted>("EffectAborted", 151,
                                                                             VT_BOOL));

        m.push_back(DispMethod<&C::Paint>("Paint", 152, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::UpdatePalette>("UpdatePalette", 153, VT_EMPTY, {VT_BOOL}));
        m.push_back(DispMethod<&C::PauseEffect>("PauseEffect", 154, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::ResumeEffect>("ResumeEffect", 155, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::AbortEffect>("AbortEffect", 156, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::HResource>("HResource", 157, VT_EMPTY, {VT_VARIANT}));
        m.push_back(DispMethod<&C::Compose>("Compose", 158, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::DeleteCompose>("DeleteCompose", 159, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::ExportCompose>("ExportCompose", 160, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::Lock>("Lock", 161, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::UnLock>("UnLock", 162, VT_EMPTY, {}));
        const VARTYPE V = VT_VARIANT;
        m.push_back(
            DispMethod<&C::SetFontType>("SetFontType", 163, VT_EMPTY, {VT_BSTR, V, V, V, V, V}));
        m.push_back(
            DispMethod<&C::SetOuterBevel>("SetOuterBevel", 164, VT_EMPTY, {VT_I2, V, V, V}));
        m.push_back(
            DispMethod<&C::SetInnerBevel>("SetInnerBevel", 165, VT_EMPTY, {VT_I2, V, V, V}));
        m.push_back(DispMethod<&C::SetBorder>("SetBorder", 166, VT_EMPTY, {VT_I2, V}));
        m.push_back(
            DispMethod<&C::Set3DFont>("Set3DFont", 167, VT_EMPTY, {VT_I2, V, V, V, V, V, V, V}));
        m.push_back(DispMethod<&C::SetEffect>("SetEffect", 168, VT_EMPTY, {VT_I2, V, V}));
        m.push_back(
            DispMethod<&C::SetDissolve>("SetDissolve", 169, VT_EMPTY, {VT_I2, V, V, V, V, V}));
        m.push_back(DispMethod<&C::SetTranEffect>("SetTranEffect", 170, VT_EMPTY, {VT_I2, V, V}));
        m.push_back(
            DispMethod<&C::SetTransition>("SetTransition", 171, VT_EMPTY, {VT_BOOL, V, V, V, V}));
        m.push_back(DispMethod<&C::SetGradient>("SetGradient", 172, VT_EMPTY, {VT_I2, V, V, V}));
        m.push_back(DispMethod<&C::DrawLine>("DrawLine", 173, VT_EMPTY,
                                             {VT_I2, VT_I2, VT_I2, VT_I2, V, V, V}));
        m.push_back(
            DispMethod<&C::DrawCircle>("DrawCircle", 174, VT_EMPTY, {VT_I2, VT_I2, VT_I2, V, V}));
        m.push_back(
            DispMethod<&C::DrawCurve>("DrawCurve", 175, VT_EMPTY,
                                      {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, V}));
        m.push_back(DispMethod<&C::DrawPolygon>(
            "DrawPolygon", 176, VT_EMPTY, {VT_I2, VT_I2, VT_I2, VT_I2, V, V, V, V, V, V, V, V, V}));
        m.push_back(DispMethod<&C::GetPixelColor>("GetPixelColor", 177, VT_I4, {VT_I2, VT_I2}));
        m.push_back(
            DispMethod<&C::SetPixelColor>("SetPixelColor", 178, VT_EMPTY, {VT_I2, VT_I2, V}));
        m.push_back(DispMethod<&C::DrawRoundRect>("DrawRoundRect", 179, VT_EMPTY,
                                                  {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, V}));
        m.push_back(DispMethod<&C::DrawArc>("DrawArc", 180, VT_EMPTY,
                                            {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, V}));
        m.push_back(DispMethod<&C::DrawPie>("DrawPie", 181, VT_EMPTY,
                                            {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, V}));
        m.push_back(DispMethod<&C::DeletePicture>("DeletePicture", 182, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::ReCompose>("ReCompose", 183, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::ComposeTransparent>("ComposeTransparent", 184, VT_EMPTY, {}));
        m.push_back(
            DispMethod<&C::ReComposeTransparent>("ReComposeTransparent", 185, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::DeleteHotspots>("DeleteHotspots", 186, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::AddHotspot>("AddHotspot", 187, VT_EMPTY,
                                               {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_BSTR}));
        m.push_back(DispMethod<&C::SetTextPos>("SetTextPos", 188, VT_EMPTY, {VT_I2, VT_I2}));
        m.push_back(DispMethod<&C::SetPicturePos>("SetPicturePos", 189, VT_EMPTY, {VT_I2, VT_I2}));
        m.push_back(DispMethod<&C::SetPictureTransparent>("SetPictureTransparent", 190, VT_EMPTY,
                                                          {VT_BOOL, V}));
        m.push_back(DispMethod<&C::SetEffectPos>("SetEffectPos", 191, VT_EMPTY, {VT_I2, VT_I2}));
        m.push_back(DispMethod<&C::SaveControl>("SaveControl", 192, VT_EMPTY, {VT_BSTR}));
        m.push_back(DispMethod<&C::FrameForward>("FrameForward", 193, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::FrameReverse>("FrameReverse", 194, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::CaptureNow>("CaptureNow", 195, VT_EMPTY, {}));
        m.push_back(DispMethod<&C::SetSize>("SetSize", 196, VT_EMPTY, {VT_I2, VT_I2}));
        m.push_back(DispMethod<&C::SetXY>("SetXY", 197, VT_EMPTY, {VT_I2, VT_I2}));
        m.push_back(DispMethod<&C::SetVisible>("SetVisible", 198, VT_EMPTY, {VT_BOOL}));
        m.push_back(DispMethod<&C::TextFile>("TextFile", 199, VT_EMPTY, {VT_BSTR}));

        m.push_back(DispStock(DISPID_CAPTION));
        m.push_back(DispStock(DISPID_FONT));
        m.push_back(DispStock(DISPID_ENABLED));
        m.push_back(DispMethod<&C::GethWnd>("hWnd", DISPID_HWND, VT_I4, {}));
        m.push_back(DispStock(DISPID_REFRESH));
        m.push_back(DispStock(DISPID_ABOUTBOX));
        m.push_back(DispDefValue(36));
        return m;
    }();
    return map;
}

const platform::ole::EventMap& CShapectlCtrl::GetEventMap() const {
    static const platform::ole::EventMap map = {
        {"Change", 1, {}},
        {"Notify", 2, {}},
        {"GotFocus", 3, {}},
        {"LostFocus", 4, {}},
        {"PaintNotify", 5, {}},
        {"Click", DISPID_CLICK, {}},
        {"DblClick", DISPID_DBLCLICK, {}},
        {"MouseDown", DISPID_MOUSEDOWN, {VT_I2, VT_I2, VT_I4, VT_I4}},
        {"MouseMove", DISPID_MOUSEMOVE, {VT_I2, VT_I2, VT_I4, VT_I4}},
        {"MouseUp", DISPID_MOUSEUP, {VT_I2, VT_I2, VT_I4, VT_I4}},
    };
    return map;
}

// ---- shared by the get and set functions ----

void CShapectlCtrl::NotifyPropChange(DISPID dispid) {
    if (!AmbientUserMode()) BoundPropertyChanged(dispid);
}

void CShapectlCtrl::GetNotSupportedAtDesignTime() {
    if (!AmbientUserMode()) GetNotSupported();
}

void CShapectlCtrl::ThrowIfRunTimeRead() {
    if (AmbientUserMode()) ThrowError(CTL_E_SETNOTSUPPORTEDATRUNTIME, kCannotReadAtRunTime);
}

void CShapectlCtrl::ThrowIfRunTimeSet() {
    if (AmbientUserMode()) ThrowError(CTL_E_SETNOTSUPPORTEDATRUNTIME, kCannotSetAtRunTime);
}

VARIANT CShapectlCtrl::GetWriteOnly() {
    GetNotSupportedAtDesignTime();
    ThrowIfRunTimeRead();
    VARIANT v;
    VariantInit(&v);
    return v;
}

void CShapectlCtrl::ValidateShortRange(SHORT value, SHORT low, SHORT high, const char* message,
                                       SCODE code) {
    if (value < low || value > high) ThrowError(kStatusBase | code, message);
}

void CShapectlCtrl::ValidateLongRange(LONG value, LONG low, LONG high, const char* message,
                                      SCODE code) {
    if (value < low || value > high) ThrowError(kStatusBase | code, message);
}

void CShapectlCtrl::ValidateColor(OLE_COLOR value) {
    if (value > 0x80000018u) ThrowError(CTL_E_INVALIDPROPERTYVALUE, kInvalidPropertyValue);
}

void CShapectlCtrl::GetControlExtent(int* width, int* height) {
    RECT r;
    if (GetRectInContainer(&r)) {
        *width = r.right - r.left;
        *height = r.bottom - r.top;
    } else {
        GetControlSize(width, height);
    }
}

// ---- the value properties ----

VARIANT CShapectlCtrl::GetValueProperty(DISPID id) {
    Kind kind = Kind::Bool;
    if (const MemberRule* m = FindMemberRule(id)) {
        kind = m->kind;
    } else if (const ValueRule* r = FindValueRule(id)) {
        kind = r->kind;
    }
    void* member = MemberOf(m_props, id);
    if (!member) {
        VARIANT none;
        VariantInit(&none);
        return none;
    }
    return Read(member, kind);
}

void CShapectlCtrl::SetValueProperty(DISPID id, const VARIANT& value) {
    if (const MemberRule* m = FindMemberRule(id)) {
        Write(MemberOf(m_props, id), m->kind, value);  // every member rule has its member
        if (m->notice) (this->*m->notice)();
        return;
    }
    if (id == 101) {  // Preview
        ThrowIfRunTimeSet();
        m_props.Preview = value.boolVal;
        NotifyPropChange(101);
        return;
    }
    if (const ValueRule* r = FindValueRule(id)) StoreValue(*r, value);
}

void CShapectlCtrl::StoreValue(const ValueRule& rule, const VARIANT& value) {
    switch (rule.check) {
        case Check::ShortRange:
            ValidateShortRange(value.iVal, static_cast<SHORT>(rule.low),
                               static_cast<SHORT>(rule.high), rule.message, rule.code);
            break;
        case Check::LongRange:
            ValidateLongRange(value.lVal, rule.low, rule.high, rule.message, rule.code);
            break;
        case Check::Color:
            ValidateColor(static_cast<OLE_COLOR>(value.lVal));
            break;
        case Check::None:
            break;
    }
    Write(MemberOf(m_props, rule.id), rule.kind, value);
    if (rule.notify) NotifyPropChange(rule.id);
    switch (rule.redraw) {
        case Redraw::Always:
            RedrawControl();
            break;
        case Redraw::Preview:
            if (!AmbientUserMode() && m_props.Preview) RedrawControl();
            break;
        case Redraw::Design:
            if (!AmbientUserMode()) RedrawControl();
            break;
        case Redraw::None:
            break;
    }
    // EffectPriority also moves a running worker to the new priority; the worker thread arrives
    // with the effects, and until then none runs.
}

// ---- member property notices ----

void CShapectlCtrl::OnMousePointerChanged() {
    SHORT v = m_props.MousePointer;
    if (!((v >= 0 && v <= 43) || v == 99))
        ThrowError(CTL_E_INVALIDPROPERTYVALUE, kInvalidPropertyValue);
    NotifyPropChange(2);
    // With a window the cursor is refreshed at once; the control has none yet.
    SetModifiedFlag();
}

void CShapectlCtrl::OnOLEDropAllowedChanged() {
    // With a window it would accept dropped files now; the control has none yet.
    NotifyPropChange(8);
}

void CShapectlCtrl::OnZLevelChanged() {
    // The backdrop host is told of the new z-level while the control is attached to one.
    NotifyPropChange(9);
}

// ---- the redraw path ----

void CShapectlCtrl::RedrawControl() {
    ++m_redrawTrace.redraws;
    // Not attached to a backdrop host: repaint through the invalidation, except at run time
    // while Update is FALSE.
    if (!AmbientUserMode() || m_props.Update) InvalidateWithBackground(FALSE);
}

void CShapectlCtrl::InvalidateWithBackground(BOOL) {
    ++m_redrawTrace.invalidations;
    m_bDeferredPaint = TRUE;
    if (m_bHostAttached && m_pBackdropHost) return;
    if (AmbientUserMode() && !m_props.Update) return;
    InvalidateControl(nullptr, TRUE);
}

HRESULT CShapectlCtrl::AttachToBackdropHost() {
    if (m_pBackdropHost) return S_OK;
    // The search for a host needs the control's window and client site; without a window there
    // is no host to find.
    return E_FAIL;
}

BOOL CShapectlCtrl::IsEffectRunning() {
    // The worker thread arrives with the effects; until then there is never one.
    return m_hEffectThread != nullptr && m_bEffectRunning;
}

void CShapectlCtrl::FireCustomEvent(DISPID dispid) {
    LockInPlaceActive(TRUE);
    FireEvent(dispid);
    LockInPlaceActive(FALSE);
}

CPictureHolder* CShapectlCtrl::CurrentFramePicture() {
    SHORT f = m_props.Frame;
    if (f == 0) return &m_Picture;
    if (f >= 1 && f <= 6) return &m_Frame[f - 1];
    return nullptr;
}

// ---- framework notices ----

void CShapectlCtrl::OnTextChanged() {
    if (AmbientUserMode()) FireCustomEvent(1);
    NotifyPropChange(DISPID_CAPTION);
    ControlInfoChanged();
    RedrawControl();
}

void CShapectlCtrl::OnFontChanged() {
    RedrawControl();
}

void CShapectlCtrl::OnEnabledChanged() {
    if (GetEnabled()) return;
    platform::com::ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(ExternalQueryInterface(IID_IOleInPlaceObject, inPlace.outVoid()))) {
        inPlace->UIDeactivate();
    }
}

BOOL CShapectlCtrl::OnSetObjectRects(LPCRECT lpRectPos, LPCRECT lpRectClip) {
    InvalidateWithBackground(FALSE);
    return COleControl::OnSetObjectRects(lpRectPos, lpRectClip);
}

void CShapectlCtrl::Refresh() {
    if (m_bHostAttached && SUCCEEDED(AttachToBackdropHost())) {
        RedrawControl();
    } else {
        InvalidateWithBackground(FALSE);
    }
}

// ---- properties with rules of their own ----

BOOL CShapectlCtrl::GetQuixCanceled() {
    GetNotSupportedAtDesignTime();
    return m_QuixCanceled;
}

SHORT CShapectlCtrl::GetQuixError() {
    GetNotSupportedAtDesignTime();
    return m_QuixError;
}

BOOL CShapectlCtrl::GetOnShape() {
    GetNotSupportedAtDesignTime();
    // The cursor is tested against the last composed shape in the control's window; without a
    // window (and before the first composing paint) it is over no shape.
    return FALSE;
}

LONG CShapectlCtrl::GetPrinterHeight() {
    GetNotSupportedAtDesignTime();
    return m_PrinterHeight;
}
LONG CShapectlCtrl::GetPrinterLeft() {
    GetNotSupportedAtDesignTime();
    return m_PrinterLeft;
}
LONG CShapectlCtrl::GetPrinterTop() {
    GetNotSupportedAtDesignTime();
    return m_PrinterTop;
}
LONG CShapectlCtrl::GetPrinterWidth() {
    GetNotSupportedAtDesignTime();
    return m_PrinterWidth;
}

void CShapectlCtrl::SetPrinterhDC(LONG hdc) {
    if (!AmbientUserMode() || !m_hComposed) {
        m_QuixError = QUIX_E_NOIMAGE;
        return;
    }
    HPALETTE palette = GetSystemPalette();
    int width = 0, height = 0;
    RECT r;
    if (GetRectInContainer(&r)) {
        width = r.right - r.left;
        height = r.bottom - r.top;
    } else {
        GetControlSize(&width, &height);
    }
    RECT area{0, 0, width, height};
    m_QuixError = PrintControl(
        reinterpret_cast<HDC>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(hdc))), &area,
        m_props.PrinterBanding, m_PrinterLeft, m_PrinterTop, m_PrinterWidth, m_PrinterHeight, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, m_hComposed, palette, 0, 0);
    if (palette) DeleteObject(palette);
}

// The stock font's properties: read at run time only; without a font a get gives 0 and a set
// does nothing.
BSTR CShapectlCtrl::GetFontName() {
    if (!AmbientUserMode()) GetNotSupported();
    BSTR name = nullptr;
    if (IFont* f = InternalGetFont().m_pFont.get()) f->get_Name(&name);
    return name ? name : SysAllocStringLen(nullptr, 0);
}

void CShapectlCtrl::SetFontName(LPCOLESTR name) {
    IFont* f = InternalGetFont().m_pFont.get();
    if (!f) return;
    BSTR copy = SysAllocString(name ? name : u"");
    f->put_Name(copy);
    SysFreeString(copy);
}

FLOAT CShapectlCtrl::GetFontSize() {
    if (!AmbientUserMode()) GetNotSupported();
    IFont* f = InternalGetFont().m_pFont.get();
    if (!f) return 0;
    CY size{};
    f->get_Size(&size);
    Variant cy = Variant::Cy(size.int64);
    Variant r4;
    if (FAILED(VariantChangeType(r4.ptr(), &cy.get(), 0, VT_R4))) return 0;
    return r4.get().fltVal;
}

void CShapectlCtrl::SetFontSize(FLOAT size) {
    IFont* f = InternalGetFont().m_pFont.get();
    if (!f) return;
    Variant r4 = Variant::R4(size);
    Variant cy;
    if (FAILED(VariantChangeType(cy.ptr(), &r4.get(), 0, VT_CY))) return;
    f->put_Size(cy.get().cyVal);
}

namespace {

BOOL GetFlag(IFont* f, HRESULT (IFont::*get)(BOOL*)) {
    BOOL v = FALSE;
    if (f) (f->*get)(&v);
    return v;
}

}  // namespace

BOOL CShapectlCtrl::GetFontBold() {
    if (!AmbientUserMode()) GetNotSupported();
    return GetFlag(InternalGetFont().m_pFont.get(), &IFont::get_Bold);
}
void CShapectlCtrl::SetFontBold(BOOL v) {
    if (IFont* f = InternalGetFont().m_pFont.get()) f->put_Bold(v);
}
BOOL CShapectlCtrl::GetFontItalic() {
    if (!AmbientUserMode()) GetNotSupported();
    return GetFlag(InternalGetFont().m_pFont.get(), &IFont::get_Italic);
}
void CShapectlCtrl::SetFontItalic(BOOL v) {
    if (IFont* f = InternalGetFont().m_pFont.get()) f->put_Italic(v);
}
BOOL CShapectlCtrl::GetFontStrikethru() {
    if (!AmbientUserMode()) GetNotSupported();
    return GetFlag(InternalGetFont().m_pFont.get(), &IFont::get_Strikethrough);
}
void CShapectlCtrl::SetFontStrikethru(BOOL v) {
    if (IFont* f = InternalGetFont().m_pFont.get()) f->put_Strikethrough(v);
}
BOOL CShapectlCtrl::GetFontUnderline() {
    if (!AmbientUserMode()) GetNotSupported();
    return GetFlag(InternalGetFont().m_pFont.get(), &IFont::get_Underline);
}
void CShapectlCtrl::SetFontUnderline(BOOL v) {
    if (IFont* f = InternalGetFont().m_pFont.get()) f->put_Underline(v);
}

void CShapectlCtrl::SetHDisable(SHORT index) {
    EnableHotspot(m_nHotspots, m_hHotspots, index, 0);
}
void CShapectlCtrl::SetHEnable(SHORT index) {
    EnableHotspot(m_nHotspots, m_hHotspots, index, 1);
}

BSTR CShapectlCtrl::GetHFileName() {
    return platform::com::AllocBstr(m_strHFileName);
}

void CShapectlCtrl::SetHFileName(LPCOLESTR name) {
    std::string text = platform::com::Utf8FromWide(name);
    if (!text.empty()) {
        m_QuixError = LoadHotspotFile(text.c_str(), &m_nHotspots, &m_hHotspots, 1.0f, 1.0f);
        if (m_QuixError != 0) {
            if (!AmbientUserMode()) {
                AfxMessageBox(GetHwnd(), "Could not process the hotspot file",
                              "QuixShape Hotspot File Load Error", MB_OK | MB_ICONEXCLAMATION);
            }
            return;
        }
    } else {
        ClearHotspots();
    }
    m_strHFileName = text;
    NotifyPropChange(95);
}

namespace {

struct HotspotAnswer {
    short id = 0, priority = 0;
    char name[256] = {};
};

}  // namespace

SHORT CShapectlCtrl::GetHID() {
    GetNotSupportedAtDesignTime();
    if (!m_hHotspots) return -1;
    HotspotAnswer a;
    GetHotspotData(GetHwnd(), m_hHotspots, m_nHotspots, a.name, sizeof a.name, &a.id, &a.priority,
                   0, 0, 0, 0, 0, 0, 0, m_nHotspotX, m_nHotspotY, 0);
    return a.id;
}

BSTR CShapectlCtrl::GetHName() {
    GetNotSupportedAtDesignTime();
    if (!m_hHotspots) return SysAllocStringLen(nullptr, 0);
    HotspotAnswer a;
    GetHotspotData(GetHwnd(), m_hHotspots, m_nHotspots, a.name, sizeof a.name, &a.id, &a.priority,
                   0, 0, 0, 0, 0, 0, 0, m_nHotspotX, m_nHotspotY, 0);
    a.name[sizeof a.name - 1] = 0;
    return platform::com::AllocBstr(a.name);
}

SHORT CShapectlCtrl::GetHPriority() {
    GetNotSupportedAtDesignTime();
    if (!m_hHotspots) return -1;
    HotspotAnswer a;
    GetHotspotData(GetHwnd(), m_hHotspots, m_nHotspots, a.name, sizeof a.name, &a.id, &a.priority,
                   0, 0, 0, 0, 0, 0, 0, m_nHotspotX, m_nHotspotY, 0);
    return a.priority;
}

SHORT CShapectlCtrl::GetHTotal() {
    GetNotSupportedAtDesignTime();
    return m_nHotspots;
}

namespace {

OLE_HANDLE PictureHandle(CPictureHolder* holder, bool palette) {
    if (!holder || holder->GetType() != PICTYPE_BITMAP) return 0;
    OLE_HANDLE h = 0;
    if (palette) {
        holder->m_pPict->get_hPal(&h);
    } else {
        holder->m_pPict->get_Handle(&h);
    }
    return h;
}

}  // namespace

OLE_HANDLE CShapectlCtrl::GethBmp() {
    GetNotSupportedAtDesignTime();
    return PictureHandle(CurrentFramePicture(), false);
}

OLE_HANDLE CShapectlCtrl::GethPal() {
    GetNotSupportedAtDesignTime();
    return PictureHandle(CurrentFramePicture(), true);
}

BOOL CShapectlCtrl::GetEffectInProgress() {
    GetNotSupportedAtDesignTime();
    return IsEffectRunning();
}

SHORT CShapectlCtrl::GetEffectStatus() {
    GetNotSupportedAtDesignTime();
    if (!m_bEffectRunning) return 0;
    return m_bEffectCued ? 1 : 2;
}

void CShapectlCtrl::SetCapture(SHORT value) {
    ValidateShortRange(value, 0, 5, kInvalidPropertyValue, CTL_E_INVALIDPROPERTYVALUE);
    m_props.Capture = value;
    NotifyPropChange(51);
    if (!AmbientUserMode()) return;
    if (value >= 2 && IsEffectRunning()) return;
    switch (value) {
        case 2:
            if (m_hComposed) DeleteObject(m_hComposed);
            m_hComposed = nullptr;
            break;
        case 3:
        case 5:
            // Rendering once composes (3) or captures the screen (5) through the paint; the
            // control renders nothing yet. Either way Capture falls back to 0 afterwards.
            m_props.Capture = 0;
            break;
        case 4: {
            if (!m_hComposed) {
                m_QuixError = QUIX_E_NOIMAGE;
                break;
            }
            HBITMAP copy = CopyBitmap(nullptr, m_hComposed, 0, 0, 0, 0);
            if (copy) m_Picture.CreateFromBitmap(copy, GetSystemPalette(), TRUE);
            break;
        }
        default:
            break;
    }
}

namespace {

// The picture check: metafiles and icons are refused.
void ValidatePicture(LPPICTUREDISP picture) {
    SHORT type;
    {
        CPictureHolder temporary;
        temporary.SetPictureDispatch(picture);
        type = temporary.GetType();
    }
    if (type == PICTYPE_METAFILE || type == PICTYPE_ICON) {
        COleControl::ThrowError(kStatusBase | kImageFormatCode, kImageFormatNotSupported);
    }
}

}  // namespace

void CShapectlCtrl::SetPicture(LPPICTUREDISP picture) {
    ValidatePicture(picture);
    m_Picture.SetPictureDispatch(picture);
    m_bNewPalette = TRUE;
    NotifyPropChange(53);
    InvalidateWithBackground(FALSE);
}

LPUNKNOWN CShapectlCtrl::GetQuixPicture() {
    GetNotSupportedAtDesignTime();
    return m_Picture.GetPictureDispatch();
}

void CShapectlCtrl::SetQuixPicture(LPUNKNOWN picture) {
    auto disp = platform::com::Query<IDispatch>(picture, IID_IPictureDisp);
    ValidatePicture(disp.get());
    m_Picture.SetPictureDispatch(disp.get());
    RedrawControl();
}

void CShapectlCtrl::SetFramePicture(int n, LPPICTUREDISP picture) {
    ValidatePicture(picture);
    m_Frame[n - 1].SetPictureDispatch(picture);
    m_bNewPalette = TRUE;
    NotifyPropChange(138 + n);
    RedrawControl();
}

void CShapectlCtrl::SetMask(LPPICTUREDISP picture) {
    SHORT type;
    OLE_HANDLE handle = 0;
    {
        CPictureHolder temporary;
        temporary.SetPictureDispatch(picture);
        type = temporary.GetType();
        if (type == PICTYPE_BITMAP) temporary.m_pPict->get_Handle(&handle);
    }
    if (type == PICTYPE_METAFILE || type == PICTYPE_ICON) {
        ThrowError(kStatusBase | kImageFormatCode, kImageFormatNotSupported);
    }
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    if (type == PICTYPE_BITMAP) {
        auto bitmap = reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(handle));
        BITMAP bm{};
        if (GetObject(bitmap, sizeof bm, &bm)) {
            HBITMAP mono = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
            HGDIOBJ oldFrom = SelectObject(from, bitmap);
            HGDIOBJ oldTo = SelectObject(to, mono);
            SetBkColor(from, RGB(255, 255, 255));
            BitBlt(to, 0, 0, bm.bmWidth, bm.bmHeight, from, 0, 0, SRCCOPY);
            SelectObject(from, oldFrom);
            SelectObject(to, oldTo);
            m_Mask.CreateFromBitmap(mono, nullptr, TRUE);
        }
    }
    NotifyPropChange(127);
    DeleteDC(from);
    DeleteDC(to);
}

namespace {

SHORT MaskSide(CPictureHolder& mask, bool height) {
    if (mask.GetType() != PICTYPE_BITMAP) return 0;
    OLE_HANDLE h = 0;
    mask.m_pPict->get_Handle(&h);
    BITMAP bm{};
    if (!GetObject(reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(h)), sizeof bm, &bm)) {
        return 0;
    }
    return static_cast<SHORT>(height ? bm.bmHeight : bm.bmWidth);
}

}  // namespace

SHORT CShapectlCtrl::GetMaskH() {
    GetNotSupportedAtDesignTime();
    return MaskSide(m_Mask, true);
}

SHORT CShapectlCtrl::GetMaskW() {
    GetNotSupportedAtDesignTime();
    return MaskSide(m_Mask, false);
}

void CShapectlCtrl::SetMouseIcon(LPPICTUREDISP picture) {
    m_MouseIcon.SetPictureDispatch(picture);
    NotifyPropChange(106);
}

void CShapectlCtrl::SethDIB(LONG dib) {
    auto memory =
        reinterpret_cast<HGLOBAL>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(dib)));
    if (!memory) return;
    HPALETTE palette = CreateDibPalette(memory);
    HBITMAP bitmap = BitmapFromDib(memory, palette);
    if (!bitmap) {
        if (palette) DeleteObject(palette);
        return;
    }
    m_Picture.CreateFromBitmap(bitmap, palette, TRUE);
    m_bNewPalette = TRUE;
    GlobalFree(memory);
    RedrawControl();
}

SHORT CShapectlCtrl::GetTextH() {
    GetNotSupportedAtDesignTime();
    // The caption is measured with the graphics layer's fonts, which come with the caption
    // drawing.
    ThrowError(E_NOTIMPL, "The caption cannot be measured yet.");
}

SHORT CShapectlCtrl::GetTextW() {
    GetNotSupportedAtDesignTime();
    ThrowError(E_NOTIMPL, "The caption cannot be measured yet.");
}

void CShapectlCtrl::SetFrame(SHORT value) {
    ValidateShortRange(value, 0, 6, k0To6, CTL_E_INVALIDPROPERTYVALUE);
    m_props.Frame = value;
    RedrawControl();
}

void CShapectlCtrl::SetMaxFrames(SHORT value) {
    ValidateShortRange(value, 1, 6, kInvalidPropertyValue, CTL_E_INVALIDPROPERTYVALUE);
    m_props.MaxFrames = value;
}

BOOL CShapectlCtrl::GetEffectAborted() {
    GetNotSupportedAtDesignTime();
    return m_EffectAborted;
}

OLE_HANDLE CShapectlCtrl::GethWnd() {
    GetNotSupportedAtDesignTime();
    return static_cast<OLE_HANDLE>(reinterpret_cast<std::uintptr_t>(GetHwnd()));
}
