#include "tests/platform/ole/test_control.h"

#include "platform/com/bstr.h"

namespace ole_test {

using namespace platform::ole;

IMPLEMENT_DYNCREATE(TestControl)

TestControl::TestControl() {
    InitializeIIDs(&kPrimaryIid, &kEventsIid);
    picture.CreateEmpty();
}

const DispatchMap& TestControl::GetDispatchMap() const {
    static const DispatchMap map = {
        DispMember<&TestControl::flag, &TestControl::OnFlagChanged>("Flag", 1, VT_BOOL),
        DispProperty<&TestControl::GetLevel, &TestControl::SetLevel>("Level", 2, VT_I2),
        DispMember<&TestControl::tint, nullptr>("Tint", 3, VT_I4),
        DispProperty<&TestControl::GetPicture, &TestControl::SetPicture>("Picture", 5, VT_DISPATCH),
        DispMethod<&TestControl::Add>("Add", 10, VT_I4, {VT_I4, VT_VARIANT}),
        DispMethod<&TestControl::Fail>("Fail", 11, VT_EMPTY, {VT_I2}),
        DispMethod<&TestControl::Shout>("Shout", 12, VT_EMPTY, {}),
        DispStock(DISPID_CAPTION),
        DispStock(DISPID_FONT),
        DispStock(DISPID_ENABLED),
        DispStock(DISPID_REFRESH),
        DispDefValue(2),
    };
    return map;
}

const EventMap& TestControl::GetEventMap() const {
    static const EventMap map = {{"Changed", 1, {VT_I2, VT_BSTR}}, {"Click", DISPID_CLICK, {}}};
    return map;
}

HRESULT TestControl::GetTypeLib(LCID, ITypeLib** pp) {
    std::u16string path = platform::com::Utf16(AfxGetModuleFileName());
    return LoadTypeLib(path.c_str(), pp);
}

void TestControl::SetLevel(SHORT value) {
    if (value < 0 || value > 10) ThrowError(0x800A0000 | 380, "Invalid property value.");
    level = value;
    BoundPropertyChanged(2);
}

LONG TestControl::Add(LONG amount, const VARIANT& times) {
    LONG n = 1;
    if (times.vt == VT_I2) n = times.iVal;
    if (times.vt == VT_I4) n = times.lVal;
    level = static_cast<SHORT>(level + amount * n);
    return level;
}

void TestControl::Fail(SHORT code) {
    ThrowError(0x800A0000 | static_cast<USHORT>(code), "failed");
}

void TestControl::DoPropExchange(CPropExchange* pPX) {
    DWORD version;
    pPX->ExchangeVersion(version, 0x10000, TRUE);
    COleControl::DoPropExchange(pPX);
    PX_Bool(pPX, "Flag", flag);
    PX_Short(pPX, "Level", level, 3);
    OLE_COLOR color = static_cast<OLE_COLOR>(tint);
    PX_Color(pPX, "Tint", color, 0x80000005);
    tint = static_cast<LONG>(color);
    PX_String(pPX, "Label", label, "none");
    PX_Picture(pPX, "Picture", picture);
    if (IsConvertingVBX()) {
        PX_VBXFontConvert(pPX, InternalGetFont());
        convertedFrom.push_back("font");
    }
}

}  // namespace ole_test
