#include <gtest/gtest.h>

#include "platform/com/dispatch.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/site.h"
#include "tests/platform/ole/test_control.h"

using ole_test::TestControl;
using platform::com::CallMethod;
using platform::com::DispIdOf;
using platform::com::GetProperty;
using platform::com::PutProperty;
using platform::com::Variant;

namespace {

// A test control in a site of its own.
class Hosted : public ::testing::Test {
protected:
    void SetUp() override {
        control = new TestControl();
        ASSERT_EQ(host.Attach(control->GetControllingUnknown(), "Test1", true), S_OK);
        control->InternalRelease();  // the host holds it now
        ASSERT_EQ(host.InitNew(), S_OK);
        disp = host.Dispatch();
    }
    TestControl* control = nullptr;
    platform::ole::HostedControl host;
    IDispatch* disp = nullptr;
};

}  // namespace

TEST_F(Hosted, NamesComeFromTheTypeLibraryWithoutRegardToCase) {
    EXPECT_EQ(DispIdOf(disp, "level"), 2);
    EXPECT_EQ(DispIdOf(disp, "CAPTION"), DISPID_CAPTION);
    EXPECT_EQ(DispIdOf(disp, "Nothing"), DISPID_UNKNOWN);
    std::u16string add = u"Add", times = u"times";
    LPOLESTR names[] = {add.data(), times.data()};
    DISPID ids[2];
    ASSERT_EQ(disp->GetIDsOfNames(GUID_NULL, names, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 10);
    EXPECT_EQ(ids[1], 1);
    UINT count = 0;
    ASSERT_EQ(disp->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
}

TEST_F(Hosted, PropertiesConvertTheirValuesAndMethodsTakeOptionalArguments) {
    EXPECT_TRUE(PutProperty(disp, 2, Variant::String("7")).ok());
    EXPECT_EQ(control->level, 7);
    EXPECT_EQ(platform::com::Describe(GetProperty(disp, 2).value.get()), "I2 7");
    // DISPID_VALUE stands for Level.
    EXPECT_EQ(platform::com::Describe(GetProperty(disp, DISPID_VALUE).value.get()), "I2 7");
    EXPECT_EQ(PutProperty(disp, 2, Variant::String("x")).hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(PutProperty(disp, 2, Variant::I4(70000)).hr, DISP_E_OVERFLOW);

    // A member property stores the value as given and runs its notice.
    EXPECT_TRUE(PutProperty(disp, 1, Variant::I2(5)).ok());
    EXPECT_EQ(control->flag, -1);
    EXPECT_EQ(control->flagChanges, 1);
    EXPECT_EQ(platform::com::Describe(GetProperty(disp, 1).value.get()), "BOOL True");

    auto sum = CallMethod(disp, 10, {Variant::I2(2)});
    ASSERT_TRUE(sum.ok());
    EXPECT_EQ(platform::com::Describe(sum.value.get()), "I4 9");
    sum = CallMethod(disp, 10, {Variant::I2(1), Variant::I4(3)});
    EXPECT_EQ(platform::com::Describe(sum.value.get()), "I4 12");
    EXPECT_EQ(CallMethod(disp, 10, {}).hr, DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(CallMethod(disp, 10, {Variant::I2(1), Variant::I2(1), Variant::I2(1)}).hr,
              DISP_E_BADPARAMCOUNT);
    auto bad = CallMethod(disp, 10, {Variant::String("two")});
    EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(bad.argError, 0u);
    EXPECT_EQ(GetProperty(disp, 99).hr, DISP_E_MEMBERNOTFOUND);

    // A put needs the named argument.
    VARIANT v = Variant::I2(1).detach();
    DISPPARAMS unnamed{&v, nullptr, 1, 0};
    EXPECT_EQ(
        disp->Invoke(2, GUID_NULL, 0, DISPATCH_PROPERTYPUT, &unnamed, nullptr, nullptr, nullptr),
        DISP_E_PARAMNOTOPTIONAL);
}

TEST_F(Hosted, AutomationErrorsCarryTheirCodeMessageAndSource) {
    auto r = PutProperty(disp, 2, Variant::I2(11));
    EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(r.scode, static_cast<SCODE>(0x800A017C));
    EXPECT_EQ(r.ErrorNumber(), 380u);
    EXPECT_EQ(r.description, "Invalid property value.");
    EXPECT_EQ(r.source, "ole_test");
    EXPECT_EQ(control->level, 3) << "the default after InitNew stays";
    r = CallMethod(disp, 11, {Variant::I2(20130)});
    EXPECT_EQ(r.ErrorNumber(), 20130u);
}

TEST_F(Hosted, StockPropertiesAndTheirNotices) {
    EXPECT_TRUE(PutProperty(disp, DISPID_CAPTION, Variant::String("Hello")).ok());
    EXPECT_EQ(control->InternalGetText(), "Hello");
    EXPECT_EQ(control->textChanges, 1);
    EXPECT_TRUE(control->IsModified());
    EXPECT_TRUE(PutProperty(disp, DISPID_ENABLED, Variant::Bool(false)).ok());
    EXPECT_EQ(platform::com::Describe(GetProperty(disp, DISPID_ENABLED).value.get()), "BOOL False");

    // The stock font reports its own changes to the control.
    auto font = GetProperty(disp, DISPID_FONT);
    ASSERT_EQ(font.value.vt(), VT_DISPATCH);
    IDispatch* fontDisp = font.value.get().pdispVal;
    EXPECT_EQ(platform::com::Describe(GetProperty(fontDisp, DISPID_FONT_NAME).value.get()),
              "BSTR \"MS Sans Serif\"");
    EXPECT_TRUE(PutProperty(fontDisp, DISPID_FONT_BOLD, Variant::Bool(true)).ok());
    EXPECT_EQ(control->fontChanges, 1);
    EXPECT_TRUE(PutProperty(fontDisp, DISPID_FONT_SIZE, Variant::R8(10.5)).ok());
    EXPECT_EQ(control->fontChanges, 2);
    EXPECT_EQ(platform::com::Describe(GetProperty(fontDisp, DISPID_FONT_SIZE).value.get()),
              "CY 10.5");

    // Setting another font takes a copy of it.
    IFont* other = nullptr;
    ASSERT_EQ(OleCreateFontIndirect(nullptr, IID_IFont, reinterpret_cast<void**>(&other)), S_OK);
    Variant otherDisp = Variant::Unknown(other);
    EXPECT_TRUE(PutProperty(disp, DISPID_FONT, otherDisp.As(VT_DISPATCH), true).ok());
    EXPECT_EQ(control->fontChanges, 3);
    other->put_Italic(TRUE);
    EXPECT_EQ(control->fontChanges, 3) << "a copy is held, not the font given";
    other->Release();
}

TEST_F(Hosted, TellsTheContainerAndReadsItsAmbientProperties) {
    EXPECT_TRUE(control->AmbientUserMode());
    EXPECT_EQ(control->AmbientDisplayName(), "Test1");
    host.Site().SetUserMode(false);
    EXPECT_FALSE(control->AmbientUserMode());
    host.Site().SetAmbient(DISPID_AMBIENT_BACKCOLOR, Variant::I4(0xFF));
    EXPECT_EQ(control->AmbientBackColor(), 0xFFu);

    host.Site().changes.clear();
    EXPECT_TRUE(PutProperty(disp, 2, Variant::I2(4)).ok());
    EXPECT_EQ(host.Site().changes, std::vector<DISPID>{2});
    EXPECT_TRUE(control->LockInPlaceActive(TRUE));
    EXPECT_EQ(host.Site().locks, 1);
    control->LockInPlaceActive(FALSE);
    EXPECT_EQ(host.Site().locks, 0);
    control->ControlInfoChanged();
    EXPECT_EQ(host.Site().controlInfoChanges, 1);

    // A control outside a container runs.
    auto* alone = new TestControl();
    EXPECT_TRUE(alone->AmbientUserMode());
    EXPECT_EQ(alone->AmbientDisplayName(), "");
    EXPECT_FALSE(alone->LockInPlaceActive(TRUE));
    alone->InternalRelease();
}

TEST_F(Hosted, FiresEventsIntoTheContainersSinkUnlessFrozen) {
    EXPECT_EQ(control->advises, std::vector<bool>{true});
    EXPECT_TRUE(CallMethod(disp, 12).ok());
    ASSERT_EQ(host.Events().events.size(), 1u);
    const auto& e = host.Events().events[0];
    EXPECT_EQ(e.name, "Changed");
    ASSERT_EQ(e.args.size(), 2u);
    EXPECT_EQ(platform::com::Describe(e.args[0].get()), "I2 3");
    EXPECT_EQ(platform::com::Describe(e.args[1].get()), "BSTR \"shout\"");
    control->FireClick();
    EXPECT_EQ(host.Events().events.back().name, "Click");

    IOleControl* ole = nullptr;
    ASSERT_EQ(disp->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(&ole)), S_OK);
    ole->FreezeEvents(TRUE);
    control->FireClick();
    EXPECT_EQ(host.Events().events.size(), 2u);
    ole->FreezeEvents(FALSE);
    ole->Release();
    control->ExternalAddRef();
    host.Close();
    EXPECT_EQ(control->advises, (std::vector<bool>{true, false}))
        << "unadvised when the container lets go";
    control->ExternalRelease();
}

TEST(OleTranslateColor, TakesColoursSystemColoursAndPaletteIndexes) {
    COLORREF c = 1;
    EXPECT_EQ(OleTranslateColor(0x00123456, nullptr, &c), S_OK);
    EXPECT_EQ(c, 0x123456u);
    EXPECT_EQ(OleTranslateColor(0x8000000F, nullptr, &c), S_OK);
    EXPECT_EQ(c, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(OleTranslateColor(0x80000018, nullptr, &c), S_OK);
    EXPECT_EQ(OleTranslateColor(0x80000019, nullptr, &c), E_INVALIDARG);
    EXPECT_EQ(OleTranslateColor(0x01000002, nullptr, &c), E_INVALIDARG);
    alignas(LOGPALETTE) unsigned char buf[sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY)];
    auto* log = reinterpret_cast<LOGPALETTE*>(buf);
    log->palVersion = 0x300;
    log->palNumEntries = 3;
    log->palPalEntry[2] = {1, 2, 3, 0};
    HPALETTE pal = CreatePalette(log);
    EXPECT_EQ(OleTranslateColor(0x01000002, pal, &c), S_OK);
    EXPECT_EQ(c, RGB(1, 2, 3));
    DeleteObject(pal);
    EXPECT_EQ(OleTranslateColor(0x7F000000, nullptr, &c), E_INVALIDARG);
}
