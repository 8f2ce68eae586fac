// CShapectlCtrl: the dispatch interface, the common set path and the properties with rules of
// their own.
#include <cstring>
#include <string>
#include <variant>

#include "platform/com/bstr.h"
#include "platform/ole/dialog.h"
#include "quixcore/quixcore.h"
#include "shapectl/ShapectlCtl.h"

using platform::com::ComPtr;
using platform::com::Query;
using platform::com::Variant;
using platform::ole::DispEntry;

namespace {

using C = CShapectlCtrl;
using P = ShapeProperties;

// The message of a range error, from the range's bounds.
std::string RangeMessage(LONG low, LONG high) {
    return "Only values between " + std::to_string(low) + " and " + std::to_string(high) +
           " are allowed.";
}

// How a set function redraws after the store: always, at design time with Preview TRUE, at
// design time, or not at all.
enum class Redraw { None, Always, Preview, Design };
// The check of a set function before the store: an enumeration's range (error 380 with
// kInvalidPropertyValue), a range with its own code and the message of its bounds (16-bit or
// 32-bit), the colour check, the run-time set error (a property set at design time only), or none.
enum class Check { None, Enum, Range, LongRange, Color, DesignOnly };

// The property's member in ShapeProperties. The member's type and the row's dispatch type (VT_I2,
// VT_I4 or VT_BOOL) give the conversion; LONG and BOOL members share one type.
using Member = std::variant<SHORT P::*, LONG P::*, OLE_COLOR P::*>;

// One property of _DShapectl: its DISPID, name and dispatch type, and either its member with the
// rules of its set (check, notice to the container at design time, change notice, redraw), or
// the get and set bindings of its functions.
struct Row {
    DISPID id;
    const char* name;
    VARTYPE vt;
    Member member{};
    Check check = Check::None;
    LONG low = 0, high = 0;
    USHORT code = 0;
    bool notify = false;
    void (C::*notice)() = nullptr;
    Redraw redraw = Redraw::None;
    decltype(DispEntry::get) get = nullptr;
    decltype(DispEntry::put) put = nullptr;
};

// The member properties (DISPID 1 to 9): stored by the class library as given, then their
// change notice.
Row MemberProperty(DISPID id, const char* name, VARTYPE vt, Member m, void (C::*notice)()) {
    Row r{id, name, vt, m};
    r.notice = notice;
    return r;
}

// The value properties of the common set path: check, store, notify at design time, redraw.
Row Value(DISPID id, const char* name, VARTYPE vt, Member m, Check check, LONG low, LONG high,
          USHORT code, Redraw redraw) {
    Row r{id, name, vt, m, check, low, high, code, true};
    r.redraw = redraw;
    return r;
}
Row Enum(DISPID id, const char* name, SHORT P::*m, LONG low, LONG high, Redraw r) {
    return Value(id, name, VT_I2, m, Check::Enum, low, high, 380, r);
}
Row Range(DISPID id, const char* name, SHORT P::*m, LONG low, LONG high, USHORT code, Redraw r) {
    return Value(id, name, VT_I2, m, Check::Range, low, high, code, r);
}
Row LongRange(DISPID id, const char* name, LONG P::*m, LONG low, LONG high, USHORT code, Redraw r) {
    return Value(id, name, VT_I4, m, Check::LongRange, low, high, code, r);
}
Row Colour(DISPID id, const char* name, OLE_COLOR P::*m, Redraw r) {
    return Value(id, name, VT_I4, m, Check::Color, 0, 0, 0, r);
}
Row AnyColour(DISPID id, const char* name, OLE_COLOR P::*m, Redraw r) {
    return Value(id, name, VT_I4, m, Check::None, 0, 0, 0, r);
}
Row Flag(DISPID id, const char* name, BOOL P::*m, Redraw r) {
    return Value(id, name, VT_BOOL, m, Check::None, 0, 0, 0, r);
}
Row AnyShort(DISPID id, const char* name, SHORT P::*m, Redraw r) {
    return Value(id, name, VT_I2, m, Check::None, 0, 0, 0, r);
}

// A value property whose set also tells the control, after the change notice.
Row Noticed(Row r, void (C::*notice)()) {
    r.notice = notice;
    return r;
}

// A property with a get function and a set function of its own.
template <auto Get, auto Set>
Row Own(DISPID id, const char* name, VARTYPE vt) {
    DispEntry e = platform::ole::DispProperty<Get, Set>(name, id, vt);
    Row r{id, name, vt};
    r.get = e.get;
    r.put = e.put;
    return r;
}
// The read-only properties: a set at run time raises, at design time the value is dropped.
template <auto Get, class T>
Row ReadOnly(DISPID id, const char* name, VARTYPE vt) {
    return Own<Get, &C::SetNotSupportedAtRunTime<T>>(id, name, vt);
}

constexpr Redraw R = Redraw::Always;
constexpr Redraw PR = Redraw::Preview;
constexpr Redraw DR = Redraw::Design;
constexpr Redraw NR = Redraw::None;

// The properties of _DShapectl, DISPID 1 to 151.
const Row kProperties[] = {
    MemberProperty(1, "Update", VT_BOOL, &P::Update, nullptr),
    MemberProperty(2, "MousePointer", VT_I2, &P::MousePointer, &C::OnMousePointerChanged),
    MemberProperty(3, "ManagePalette", VT_BOOL, &P::ManagePalette, &C::OnManagePaletteChanged),
    MemberProperty(4, "EffectCue", VT_BOOL, &P::EffectCue, &C::OnEffectCueChanged),
    MemberProperty(5, "EffectIncrement", VT_BOOL, &P::EffectIncrement,
                   &C::OnEffectIncrementChanged),
    MemberProperty(6, "PaintNotify", VT_BOOL, &P::PaintNotify, &C::OnPaintNotifyChanged),
    MemberProperty(7, "Persistence", VT_BOOL, &P::Persistence, &C::OnPersistenceChanged),
    MemberProperty(8, "OLEDropAllowed", VT_BOOL, &P::OLEDropAllowed, &C::OnOLEDropAllowedChanged),
    MemberProperty(9, "ZLevel", VT_I4, &P::ZLevel, &C::OnZLevelChanged),
    Colour(10, "BackColor", &P::BackColor, R),
    AnyColour(11, "FillColor", &P::FillColor, R),
    Enum(12, "BackStyle", &P::BackStyle, 0, 5, R),
    Enum(13, "ShadowStyle", &P::ShadowStyle, 0, 1, R),
    Range(14, "BOuterWidth", &P::BOuterWidth, 1, 30, 20030, R),
    Colour(15, "BOuterColor2", &P::BOuterColor2, R),
    Enum(16, "BOuterStyle", &P::BOuterStyle, 0, 6, R),
    Colour(17, "BOuterColor1", &P::BOuterColor1, R),
    Enum(18, "MEffect", &P::MEffect, 0, 113, PR),
    Range(19, "MDelay", &P::MDelay, 0, 255, 20020, PR),
    Range(20, "MGrain", &P::MGrain, 1, 256, 20020, PR),
    Flag(21, "Multitask", &P::Multitask, NR),
    Enum(22, "DMode", &P::DMode, 0, 3, PR),
    Enum(23, "DEffect1", &P::DEffect1, 0, 113, PR),
    Enum(24, "DEffect2", &P::DEffect2, 0, 113, PR),
    Enum(25, "DEffect3", &P::DEffect3, 0, 113, PR),
    AnyColour(26, "ShadowColor", &P::ShadowColor, R),
    Range(27, "ShadowDropX", &P::ShadowDropX, -10, 10, 20130, R),
    Range(28, "ShadowDropY", &P::ShadowDropY, -10, 10, 20130, R),
    Range(29, "BorderWidth", &P::BorderWidth, 0, 255, 20050, R),
    Colour(30, "BorderColor", &P::BorderColor, R),
    Enum(31, "BInnerStyle", &P::BInnerStyle, 0, 6, R),
    Range(32, "BInnerWidth", &P::BInnerWidth, 1, 30, 20030, R),
    Colour(33, "BInnerColor1", &P::BInnerColor1, R),
    Colour(34, "BInnerColor2", &P::BInnerColor2, R),
    Enum(35, "FillStyle", &P::FillStyle, 0, 7, R),
    Enum(36, "Shape", &P::Shape, 0, 17, R),
    Enum(37, "BorderStyle", &P::BorderStyle, 0, 5, R),
    Flag(38, "Notify", &P::Notify, NR),
    Flag(39, "Wand", &P::Wand, PR),
    Colour(40, "WandColor", &P::WandColor, PR),
    Range(41, "WandWidth", &P::WandWidth, 1, 256, 20010, PR),
    LongRange(42, "NotifyDelay", &P::NotifyDelay, 0, 65535, 20060, R),
    Enum(43, "CancelMode", &P::CancelMode, 0, 9, R),
    Flag(44, "QuixEnabled", &P::QuixEnabled, NR),
    Flag(45, "Overlay", &P::Overlay, NR),
    ReadOnly<&C::GetQuixCanceled, BOOL>(46, "QuixCanceled", VT_BOOL),
    Enum(47, "GStyle", &P::GStyle, 0, 19, R),
    Colour(48, "GColor2", &P::GColor2, R),
    Colour(49, "GColor1", &P::GColor1, R),
    Range(50, "GSteps", &P::GSteps, 2, 256, 20090, R),
    Own<&C::GetCapture, &C::SetCapture>(51, "Capture", VT_I2),
    ReadOnly<&C::GetQuixError, SHORT>(52, "QuixError", VT_I2),
    Own<&C::GetPicture, &C::SetPicture>(53, "Picture", VT_DISPATCH),
    Enum(54, "PictureAlign", &P::PictureAlign, 0, 8, R),
    Flag(55, "Transparent", &P::Transparent, NR),
    Colour(56, "TransparentColor", &P::TransparentColor, NR),
    ReadOnly<&C::GetOnShape, BOOL>(57, "OnShape", VT_BOOL),
    Own<&C::GetWriteOnly, &C::SetPrinterhDC>(58, "PrinterhDC", VT_I4),
    Own<&C::GetPrinterHeight, &C::SetPrinterHeight>(59, "PrinterHeight", VT_I4),
    Own<&C::GetPrinterLeft, &C::SetPrinterLeft>(60, "PrinterLeft", VT_I4),
    Own<&C::GetPrinterTop, &C::SetPrinterTop>(61, "PrinterTop", VT_I4),
    Own<&C::GetPrinterWidth, &C::SetPrinterWidth>(62, "PrinterWidth", VT_I4),
    Own<&C::GetFontName, &C::SetFontName>(63, "FontName", VT_BSTR),
    Own<&C::GetFontSize, &C::SetFontSize>(64, "FontSize", VT_R4),
    Own<&C::GetFontBold, &C::SetFontBold>(65, "FontBold", VT_BOOL),
    Own<&C::GetFontItalic, &C::SetFontItalic>(66, "FontItalic", VT_BOOL),
    Own<&C::GetFontStrikethru, &C::SetFontStrikethru>(67, "FontStrikethru", VT_BOOL),
    Own<&C::GetFontUnderline, &C::SetFontUnderline>(68, "FontUnderline", VT_BOOL),
    Flag(69, "TEnabled", &P::TEnabled, PR),
    Enum(70, "TEffect", &P::TEffect, 0, 113, PR),
    Range(71, "TDelay", &P::TDelay, 0, 255, 20020, PR),
    Range(72, "TGrain", &P::TGrain, 1, 256, 20020, PR),
    Colour(73, "TForeColor", &P::TForeColor, PR),
    Colour(74, "TBackColor", &P::TBackColor, PR),
    Enum(75, "TStyle", &P::TStyle, 0, 7, PR),
    Flag(76, "TOnly", &P::TOnly, PR),
    Enum(77, "Alignment", &P::Alignment, 0, 8, R),
    Enum(78, "Font3D", &P::Font3D, 0, 8, R),
    Range(79, "FontBlockSize", &P::FontBlockSize, -10, 10, 20130, R),
    Range(80, "FontDropX", &P::FontDropX, -10, 10, 20130, R),
    Range(81, "FontDropY", &P::FontDropY, -10, 10, 20130, R),
    Colour(82, "FontOutlineColor", &P::FontOutlineColor, R),
    Colour(83, "FontShadowColor", &P::FontShadowColor, R),
    Flag(84, "WordWrap", &P::WordWrap, R),
    Range(85, "TextX", &P::TextX, -10000, 10000, 380, R),
    Range(86, "TextY", &P::TextY, -10000, 10000, 380, R),
    Colour(87, "ForeColor", &P::ForeColor, R),
    Enum(88, "BackFill", &P::BackFill, 0, 2, DR),
    Flag(89, "PictureVisible", &P::PictureVisible, R),
    Enum(90, "ForeStyle", &P::ForeStyle, 0, 4, R),
    Range(91, "PictureX", &P::PictureX, -10000, 10000, 380, R),
    Range(92, "PictureY", &P::PictureY, -10000, 10000, 380, R),
    Own<&C::GetWriteOnly, &C::SetHDisable>(93, "HDisable", VT_I2),
    Own<&C::GetWriteOnly, &C::SetHEnable>(94, "HEnable", VT_I2),
    Own<&C::GetHFileName, &C::SetHFileName>(95, "HFileName", VT_BSTR),
    ReadOnly<&C::GetHID, SHORT>(96, "HID", VT_I2),
    ReadOnly<&C::GetHName, LPCOLESTR>(97, "HName", VT_BSTR),
    ReadOnly<&C::GetHPriority, SHORT>(98, "HPriority", VT_I2),
    ReadOnly<&C::GetHTotal, SHORT>(99, "HTotal", VT_I2),
    Enum(100, "HShape", &P::HShape, 0, 100, R),
    Value(101, "Preview", VT_BOOL, &P::Preview, Check::DesignOnly, 0, 0, 0, NR),
    Flag(102, "PrinterBanding", &P::PrinterBanding, NR),
    Enum(103, "DesignStyle", &P::DesignStyle, 0, 1, R),
    Colour(104, "Font3DColor1", &P::Font3DColor1, R),
    Colour(105, "Font3DColor2", &P::Font3DColor2, R),
    Own<&C::GetMouseIcon, &C::SetMouseIcon>(106, "MouseIcon", VT_DISPATCH),
    ReadOnly<&C::GethBmp, LONG>(107, "hBmp", VT_I4),
    ReadOnly<&C::GethPal, LONG>(108, "hPal", VT_I4),
    AnyColour(109, "SurroundColor", &P::SurroundColor, R),
    Flag(110, "AutoRedraw", &P::AutoRedraw, NR),
    Colour(111, "DrawFillColor", &P::DrawFillColor, NR),
    Enum(112, "DrawFillStyle", &P::DrawFillStyle, 0, 7, NR),
    Enum(113, "DrawMode", &P::DrawMode, 1, 16, NR),
    Enum(114, "DrawStyle", &P::DrawStyle, 0, 5, NR),
    Enum(115, "DrawWidth", &P::DrawWidth, 1, 32767, NR),
    ReadOnly<&C::GetEffectInProgress, BOOL>(116, "EffectInProgress", VT_BOOL),
    Flag(117, "EffectMask", &P::EffectMask, NR),
    ReadOnly<&C::GetEffectStatus, SHORT>(118, "EffectStatus", VT_I2),
    AnyShort(119, "EffectX", &P::EffectX, NR),
    AnyShort(120, "EffectY", &P::EffectY, NR),
    Colour(121, "FGColor1", &P::FGColor1, R),
    Colour(122, "FGColor2", &P::FGColor2, R),
    Range(123, "FGSteps", &P::FGSteps, 2, 256, 20090, R),
    Enum(124, "FGStyle", &P::FGStyle, 0, 19, R),
    Own<&C::GetQuixPicture, &C::SetQuixPicture>(125, "QuixPicture", VT_UNKNOWN),
    Own<&C::GetWriteOnly, &C::SethDIB>(126, "hDIB", VT_I4),
    Own<&C::GetMask, &C::SetMask>(127, "Mask", VT_DISPATCH),
    ReadOnly<&C::GetMaskH, SHORT>(128, "MaskH", VT_I2),
    ReadOnly<&C::GetMaskW, SHORT>(129, "MaskW", VT_I2),
    Flag(130, "MultiEffect", &P::MultiEffect, NR),
    ReadOnly<&C::GetTextH, SHORT>(131, "TextH", VT_I2),
    ReadOnly<&C::GetTextW, SHORT>(132, "TextW", VT_I2),
    Range(133, "UpdateArea", &P::UpdateArea, 0, 1, 380, NR),
    Range(134, "UpdateX", &P::UpdateX, 0, 32767, 380, NR),
    Range(135, "UpdateY", &P::UpdateY, 0, 32767, 380, NR),
    Range(136, "UpdateW", &P::UpdateW, 0, 32767, 380, NR),
    Range(137, "UpdateH", &P::UpdateH, 0, 32767, 380, NR),
    Own<&C::GetFrame, &C::SetFrame>(138, "Frame", VT_I2),
    Own<&C::GetFrameN<1>, &C::SetFrameN<1>>(139, "Frame1", VT_DISPATCH),
    Own<&C::GetFrameN<2>, &C::SetFrameN<2>>(140, "Frame2", VT_DISPATCH),
    Own<&C::GetFrameN<3>, &C::SetFrameN<3>>(141, "Frame3", VT_DISPATCH),
    Own<&C::GetFrameN<4>, &C::SetFrameN<4>>(142, "Frame4", VT_DISPATCH),
    Own<&C::GetFrameN<5>, &C::SetFrameN<5>>(143, "Frame5", VT_DISPATCH),
    Own<&C::GetFrameN<6>, &C::SetFrameN<6>>(144, "Frame6", VT_DISPATCH),
    Own<&C::GetMaxFrames, &C::SetMaxFrames>(145, "MaxFrames", VT_I2),
    Noticed(Enum(146, "EffectPriority", &P::EffectPriority, 0, 2, NR), &C::OnEffectPriorityChanged),
    Flag(147, "FontScale", &P::FontScale, R),
    AnyShort(148, "FontHeight", &P::FontHeight, R),
    AnyShort(149, "FontWidth", &P::FontWidth, R),
    Own<&C::GetEffectAborted, &C::SetEffectAborted>(151, "EffectAborted", VT_BOOL),
};

// The value or member property of the DISPID, or null.
const Row* FindValueRow(DISPID id) {
    for (const auto& r : kProperties) {
        if (r.id == id) return r.get ? nullptr : &r;
    }
    return nullptr;
}

// The member as a variant of the row's dispatch type.
VARIANT Read(const ShapeProperties& p, const Row& row) {
    LONG value = std::visit([&](auto m) { return static_cast<LONG>(p.*m); }, row.member);
    VARIANT v;
    VariantInit(&v);
    v.vt = row.vt;
    if (row.vt == VT_I2) {
        v.iVal = static_cast<SHORT>(value);
    } else if (row.vt == VT_BOOL) {
        v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        v.lVal = value;
    }
    return v;
}

// Stores a value converted to the row's dispatch type (VT_BOOL values as given: any non-zero
// value counts as TRUE).
void Write(ShapeProperties& p, const Row& row, const VARIANT& v) {
    LONG value = row.vt == VT_I2 ? v.iVal : row.vt == VT_BOOL ? v.boolVal : v.lVal;
    // Atomic: the effect worker reads MultiEffect and EffectIncrement while it runs.
    std::visit(
        [&](auto m) {
            using T = std::remove_reference_t<decltype(p.*m)>;
            C::StoreWord(p.*m, static_cast<T>(value));
        },
        row.member);
}

// The methods of _DShapectl, DISPID 152 to 199.
std::vector<DispEntry> Methods() {
    using platform::ole::DispMethod;
    const VARTYPE V = VT_VARIANT;
    return {
        DispMethod<&C::Paint>("Paint", 152, VT_EMPTY, {}),
        DispMethod<&C::UpdatePalette>("UpdatePalette", 153, VT_EMPTY, {VT_BOOL}),
        DispMethod<&C::PauseEffect>("PauseEffect", 154, VT_EMPTY, {}),
        DispMethod<&C::ResumeEffect>("ResumeEffect", 155, VT_EMPTY, {}),
        DispMethod<&C::AbortEffect>("AbortEffect", 156, VT_EMPTY, {}),
        DispMethod<&C::HResource>("HResource", 157, VT_EMPTY, {VT_VARIANT}),
        DispMethod<&C::Compose>("Compose", 158, VT_EMPTY, {}),
        DispMethod<&C::DeleteCompose>("DeleteCompose", 159, VT_EMPTY, {}),
        DispMethod<&C::ExportCompose>("ExportCompose", 160, VT_EMPTY, {}),
        DispMethod<&C::Lock>("Lock", 161, VT_EMPTY, {}),
        DispMethod<&C::UnLock>("UnLock", 162, VT_EMPTY, {}),
        DispMethod<&C::SetFontType>("SetFontType", 163, VT_EMPTY, {VT_BSTR, V, V, V, V, V}),
        DispMethod<&C::SetOuterBevel>("SetOuterBevel", 164, VT_EMPTY, {VT_I2, V, V, V}),
        DispMethod<&C::SetInnerBevel>("SetInnerBevel", 165, VT_EMPTY, {VT_I2, V, V, V}),
        DispMethod<&C::SetBorder>("SetBorder", 166, VT_EMPTY, {VT_I2, V}),
        DispMethod<&C::Set3DFont>("Set3DFont", 167, VT_EMPTY, {VT_I2, V, V, V, V, V, V, V}),
        DispMethod<&C::SetEffect>("SetEffect", 168, VT_EMPTY, {VT_I2, V, V}),
        DispMethod<&C::SetDissolve>("SetDissolve", 169, VT_EMPTY, {VT_I2, V, V, V, V, V}),
        DispMethod<&C::SetTranEffect>("SetTranEffect", 170, VT_EMPTY, {VT_I2, V, V}),
        DispMethod<&C::SetTransition>("SetTransition", 171, VT_EMPTY, {VT_BOOL, V, V, V, V}),
        DispMethod<&C::SetGradient>("SetGradient", 172, VT_EMPTY, {VT_I2, V, V, V}),
        DispMethod<&C::DrawLine>("DrawLine", 173, VT_EMPTY, {VT_I2, VT_I2, VT_I2, VT_I2, V, V, V}),
        DispMethod<&C::DrawCircle>("DrawCircle", 174, VT_EMPTY, {VT_I2, VT_I2, VT_I2, V, V}),
        DispMethod<&C::DrawCurve>("DrawCurve", 175, VT_EMPTY,
                                  {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, V}),
        DispMethod<&C::DrawPolygon>("DrawPolygon", 176, VT_EMPTY,
                                    {VT_I2, VT_I2, VT_I2, VT_I2, V, V, V, V, V, V, V, V, V}),
        DispMethod<&C::GetPixelColor>("GetPixelColor", 177, VT_I4, {VT_I2, VT_I2}),
        DispMethod<&C::SetPixelColor>("SetPixelColor", 178, VT_EMPTY, {VT_I2, VT_I2, V}),
        DispMethod<&C::DrawRoundRect>("DrawRoundRect", 179, VT_EMPTY,
                                      {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, V}),
        DispMethod<&C::DrawArc>("DrawArc", 180, VT_EMPTY,
                                {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, V}),
        DispMethod<&C::DrawPie>("DrawPie", 181, VT_EMPTY,
                                {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, V}),
        DispMethod<&C::DeletePicture>("DeletePicture", 182, VT_EMPTY, {}),
        DispMethod<&C::ReCompose>("ReCompose", 183, VT_EMPTY, {}),
        DispMethod<&C::ComposeTransparent>("ComposeTransparent", 184, VT_EMPTY, {}),
        DispMethod<&C::ReComposeTransparent>("ReComposeTransparent", 185, VT_EMPTY, {}),
        DispMethod<&C::DeleteHotspots>("DeleteHotspots", 186, VT_EMPTY, {}),
        DispMethod<&C::AddHotspot>("AddHotspot", 187, VT_EMPTY,
                                   {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_BSTR}),
        DispMethod<&C::SetTextPos>("SetTextPos", 188, VT_EMPTY, {VT_I2, VT_I2}),
        DispMethod<&C::SetPicturePos>("SetPicturePos", 189, VT_EMPTY, {VT_I2, VT_I2}),
        DispMethod<&C::SetPictureTransparent>("SetPictureTransparent", 190, VT_EMPTY, {VT_BOOL, V}),
        DispMethod<&C::SetEffectPos>("SetEffectPos", 191, VT_EMPTY, {VT_I2, VT_I2}),
        DispMethod<&C::SaveControl>("SaveControl", 192, VT_EMPTY, {VT_BSTR}),
        DispMethod<&C::FrameForward>("FrameForward", 193, VT_EMPTY, {}),
        DispMethod<&C::FrameReverse>("FrameReverse", 194, VT_EMPTY, {}),
        DispMethod<&C::CaptureNow>("CaptureNow", 195, VT_EMPTY, {}),
        DispMethod<&C::SetSize>("SetSize", 196, VT_EMPTY, {VT_I2, VT_I2}),
        DispMethod<&C::SetXY>("SetXY", 197, VT_EMPTY, {VT_I2, VT_I2}),
        DispMethod<&C::SetVisible>("SetVisible", 198, VT_EMPTY, {VT_BOOL}),
        DispMethod<&C::TextFile>("TextFile", 199, VT_EMPTY, {VT_BSTR}),
    };
}

}  // namespace

// ---- the dispatch map ----

const platform::ole::DispatchMap& CShapectlCtrl::GetDispatchMap() const {
    using namespace platform::ole;
    static const DispatchMap map = [] {
        DispatchMap m;
        for (const Row& r : kProperties) {
            if (r.get) {
                DispEntry e{r.name, r.id, DispKind::Property, r.vt, {}};
                e.get = r.get;
                e.put = r.put;
                m.push_back(e);
            } else {
                m.push_back(DispPropertyById<&C::GetValueProperty, &C::SetValueProperty>(
                    r.name, r.id, r.vt));
            }
        }
        for (auto& e : Methods()) m.push_back(std::move(e));
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
    if (const Row* row = FindValueRow(id)) return Read(m_props, *row);
    VARIANT none;
    VariantInit(&none);
    return none;
}

// The common set path (and the member properties' store and notice).
void CShapectlCtrl::SetValueProperty(DISPID id, const VARIANT& value) {
    const Row* row = FindValueRow(id);
    if (!row) return;
    switch (row->check) {
        case Check::Enum:
            ValidateShortRange(value.iVal, static_cast<SHORT>(row->low),
                               static_cast<SHORT>(row->high), kInvalidPropertyValue, row->code);
            break;
        case Check::Range:
            ValidateShortRange(value.iVal, static_cast<SHORT>(row->low),
                               static_cast<SHORT>(row->high),
                               RangeMessage(row->low, row->high).c_str(), row->code);
            break;
        case Check::LongRange:
            ValidateLongRange(value.lVal, row->low, row->high,
                              RangeMessage(row->low, row->high).c_str(), row->code);
            break;
        case Check::Color:
            ValidateColor(static_cast<OLE_COLOR>(value.lVal));
            break;
        case Check::DesignOnly:
            ThrowIfRunTimeSet();
            break;
        case Check::None:
            break;
    }
    Write(m_props, *row, value);
    if (row->notify) NotifyPropChange(row->id);
    if (row->notice) (this->*row->notice)();
    switch (row->redraw) {
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
}

// ---- member property notices ----

void CShapectlCtrl::OnMousePointerChanged() {
    SHORT v = m_props.MousePointer;
    if (!((v >= 0 && v <= 43) || v == 99))
        ThrowError(CTL_E_INVALIDPROPERTYVALUE, kInvalidPropertyValue);
    NotifyPropChange(2);
    if (m_hWnd) {
        // The cursor over the window follows at once.
        POINT at;
        GetCursorPos(&at);
        LRESULT hit = SendMessageA(m_hWnd, WM_NCHITTEST, 0,
                                   MAKELPARAM(static_cast<UINT>(at.x), static_cast<UINT>(at.y)));
        SendMessageA(m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd),
                     MAKELPARAM(static_cast<UINT>(hit), WM_MOUSEMOVE));
    }
    SetModifiedFlag();
}

void CShapectlCtrl::OnOLEDropAllowedChanged() {
    if (m_hWnd) DragAcceptFiles(m_hWnd, m_props.OLEDropAllowed);
    NotifyPropChange(8);
}

BOOL CShapectlCtrl::HasEffect() {
    const ShapeProperties& p = m_props;
    return p.QuixEnabled && (p.DMode > 0 || p.MEffect > 0 || (p.TEnabled == 1 && p.TEffect > 0));
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
    ComPtr<IOleInPlaceObject> inPlace;
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
    return LoadWord(m_QuixCanceled);
}

SHORT CShapectlCtrl::GetQuixError() {
    GetNotSupportedAtDesignTime();
    return LoadWord(m_QuixError);
}

BOOL CShapectlCtrl::GetOnShape() {
    GetNotSupportedAtDesignTime();
    return IsCursorInShape();
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
        StoreWord<SHORT>(m_QuixError, QUIX_E_NOIMAGE);
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
    StoreWord<SHORT>(
        m_QuixError,
        PrintControl(
            reinterpret_cast<HDC>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(hdc))),
            &area, m_props.PrinterBanding, m_PrinterLeft, m_PrinterTop, m_PrinterWidth,
            m_PrinterHeight, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, m_hComposed, palette, 0, 0));
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
        StoreWord<SHORT>(m_QuixError,
                         LoadHotspotFile(text.c_str(), &m_nHotspots, &m_hHotspots, 1.0f, 1.0f));
        if (LoadWord(m_QuixError) != 0) {
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
        case 5: {
            // Rendered once, now: 3 composes into the composed bitmap, 5 captures the screen
            // behind the control and shows the control. The context's background has just been
            // painted, so a see-through control does not wait for its parent.
            RECT r{0, 0, 0, 0};
            HDC dc = nullptr;
            if (m_hWnd) {
                GetClientRect(m_hWnd, &r);
                dc = GetDC(nullptr, OLEDC_PAINTBKGND);
            } else {
                int width = 0, height = 0;
                GetControlExtent(&width, &height);
                r = RECT{0, 0, width, height};
                dc = ::GetDC(GetDesktopWindow());
            }
            m_bDeferredPaint = TRUE;
            if (m_bHostAttached && SUCCEEDED(AttachToBackdropHost())) {
                DrawControl(dc, nullptr, &r, 0, nullptr);
            } else {
                OnDraw(dc, r, r);
            }
            if (m_hWnd) {
                ReleaseDC(dc);
            } else {
                ::ReleaseDC(GetDesktopWindow(), dc);
            }
            m_props.Capture = 0;
            break;
        }
        case 4: {
            if (!m_hComposed) {
                StoreWord<SHORT>(m_QuixError, QUIX_E_NOIMAGE);
                break;
            }
            HDC screen = ::GetDC(nullptr);
            HBITMAP copy = CopyBitmap(screen, m_hComposed, 0, 0, 0, 0);
            ::ReleaseDC(nullptr, screen);
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
    auto disp = Query<IDispatch>(picture, IID_IPictureDisp);
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
    return static_cast<SHORT>(MeasureCaption().cy);
}

SHORT CShapectlCtrl::GetTextW() {
    GetNotSupportedAtDesignTime();
    return static_cast<SHORT>(MeasureCaption().cx);
}

void CShapectlCtrl::SetFrame(SHORT value) {
    ValidateShortRange(value, 0, 6, RangeMessage(0, 6).c_str(), CTL_E_INVALIDPROPERTYVALUE);
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
