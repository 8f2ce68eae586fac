// The access rules: read-only, write-only and run-time-only properties, at design and run time.
#include "tests/shapectl/control_fixture.h"

using namespace shapectl_test;

namespace {

// Read only at run time (at design time the get-not-supported error).
const char* const kRunTimeReads[] = {
    "QuixCanceled", "QuixError",      "OnShape",       "PrinterHeight", "PrinterLeft",
    "PrinterTop",   "PrinterWidth",   "FontName",      "FontSize",      "FontBold",
    "FontItalic",   "FontStrikethru", "FontUnderline", "HID",           "HName",
    "HPriority",    "HTotal",         "hBmp",          "hPal",          "EffectInProgress",
    "EffectStatus", "QuixPicture",    "MaskH",         "MaskW",         "TextH",
    "TextW",        "EffectAborted",  "hWnd"};

// Read-only: a set at run time raises, at design time it is dropped.
const char* const kReadOnly[] = {
    "QuixCanceled", "QuixError", "OnShape", "HID",   "HName",
    "HPriority",    "HTotal",    "hBmp",    "hPal",  "EffectInProgress",
    "EffectStatus", "MaskH",     "MaskW",   "TextH", "TextW"};

// Write-only: every read raises.
const char* const kWriteOnly[] = {"PrinterhDC", "hDIB", "HDisable", "HEnable"};

}  // namespace

class Access : public ControlTest {};

TEST_F(Access, RunTimeOnlyPropertiesCannotBeReadAtDesignTime) {
    for (const char* name : kRunTimeReads) {
        DISPID id = Id(name);
        ASSERT_NE(id, DISPID_UNKNOWN) << name;
        auto r = Get(id);
        EXPECT_EQ(r.hr, DISP_E_EXCEPTION) << name;
        EXPECT_EQ(r.ErrorNumber(), 394u) << name;
        EXPECT_EQ(r.description, "Property cannot be read.") << name;
    }
    RunTime(true);
    for (const char* name : kRunTimeReads) {
        if (std::string(name) == "TextH" || std::string(name) == "TextW") continue;
        EXPECT_TRUE(Get(Id(name)).ok()) << name;
    }
}

TEST_F(Access, ReadOnlyPropertiesRefuseASetAtRunTimeAndDropItAtDesignTime) {
    for (const char* name : kReadOnly) {
        DISPID id = Id(name);
        Variant value = std::string(name) == "HName" ? Variant::String("x") : Variant::I2(1);
        RunTime(false);
        EXPECT_TRUE(Set(id, value).ok()) << name;
        RunTime(true);
        std::string before = Value(id);
        auto r = Set(id, value);
        EXPECT_EQ(r.ErrorNumber(), 382u) << name;
        EXPECT_EQ(r.description, "Property cannot be set at run-time") << name;
        if (std::string(name) != "TextH" && std::string(name) != "TextW") {
            EXPECT_EQ(Value(id), before) << name;
        }
    }
    EXPECT_TRUE(host.Site().changes.empty());
    EXPECT_EQ(Redraws(), 0);
}

TEST_F(Access, WriteOnlyPropertiesCannotBeReadAtAll) {
    for (const char* name : kWriteOnly) {
        DISPID id = Id(name);
        ASSERT_NE(id, DISPID_UNKNOWN) << name;
        RunTime(false);
        EXPECT_EQ(Get(id).ErrorNumber(), 394u) << name;
        RunTime(true);
        auto r = Get(id);
        EXPECT_EQ(r.ErrorNumber(), 382u) << name;
        EXPECT_EQ(r.description, "Property cannot be read at run-time") << name;
    }
}

TEST_F(Access, MemberPropertiesStoreWhatTheyAreGivenThenRunTheirNotice) {
    struct Case {
        DISPID id;
        const char* name;
        bool notifies;
        int redraws;
    } cases[] = {{1, "Update", false, 0},         {2, "MousePointer", true, 0},
                 {3, "ManagePalette", false, 1},  {4, "EffectCue", true, 0},
                 {5, "EffectIncrement", true, 0}, {6, "PaintNotify", true, 0},
                 {7, "Persistence", true, 0},     {8, "OLEDropAllowed", true, 0},
                 {9, "ZLevel", true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Id(c.name), c.id);
        Clear();
        ASSERT_TRUE(Set(c.id, Variant::I2(1)).ok());
        EXPECT_EQ(host.Site().changes.size(), c.notifies ? 1u : 0u);
        EXPECT_EQ(Redraws(), c.redraws);
    }
    EXPECT_EQ(Value(9), "I4 1");
    // MousePointer takes 0 to 43 and 99; another value is stored, then refused.
    Clear();
    EXPECT_TRUE(Set(2, Variant::I2(99)).ok());
    auto r = Set(2, Variant::I2(50));
    EXPECT_EQ(r.ErrorNumber(), 380u);
    EXPECT_EQ(r.description, "Invalid property value.");
    EXPECT_EQ(Value(2), "I2 50");
    EXPECT_EQ(host.Site().changes, std::vector<DISPID>{2});
    RunTime(true);
    Clear();
    ASSERT_TRUE(Set(7, Variant::Bool(false)).ok());
    EXPECT_TRUE(host.Site().changes.empty()) << "no notice at run time";
}

TEST_F(Access, FramesCaptureAndTheirOwnRanges) {
    auto r = Set(138, Variant::I2(7));
    EXPECT_EQ(r.ErrorNumber(), 380u);
    EXPECT_EQ(r.description, "Only values between 0 and 6 are allowed.");
    Clear();
    EXPECT_TRUE(Set(138, Variant::I2(6)).ok());
    EXPECT_TRUE(host.Site().changes.empty()) << "Frame sends no notice";
    EXPECT_EQ(Redraws(), 1);
    for (int bad : {0, 7}) {
        r = Set(145, Variant::I2(static_cast<SHORT>(bad)));
        EXPECT_EQ(r.ErrorNumber(), 380u);
        EXPECT_EQ(r.description, "Invalid property value.");
    }
    Clear();
    EXPECT_TRUE(Set(145, Variant::I2(3)).ok());
    EXPECT_EQ(Redraws(), 0);
    EXPECT_TRUE(host.Site().changes.empty());

    EXPECT_EQ(Set(51, Variant::I2(6)).ErrorNumber(), 380u);
    EXPECT_TRUE(Set(51, Variant::I2(3)).ok());
    EXPECT_EQ(Value(51), "I2 3") << "at design time Capture only stores";
    RunTime(true);
    EXPECT_TRUE(Set(51, Variant::I2(3)).ok());
    EXPECT_EQ(Value(51), "I2 0") << "at run time 3 renders once and falls back";
    EXPECT_NE(control->m_hComposed, nullptr) << "the rendering composed the control";
    EXPECT_TRUE(Set(51, Variant::I2(2)).ok());
    EXPECT_EQ(control->m_hComposed, nullptr) << "2 deletes the composed bitmap";
    EXPECT_TRUE(Set(51, Variant::I2(4)).ok());
    EXPECT_EQ(Value(51), "I2 4");
    EXPECT_EQ(Value(52), "I2 -300") << "nothing composed";
    EXPECT_EQ(Value(118), "I2 0") << "EffectStatus without a worker";
    EXPECT_EQ(Value(116), "BOOL False");
}

TEST_F(Access, PrintingAndHotspotQueriesWithoutTheirData) {
    RunTime(true);
    EXPECT_TRUE(Set(58, Variant::I4(1234)).ok());
    EXPECT_EQ(Value(52), "I2 -300") << "nothing composed to print";
    EXPECT_TRUE(Set(62, Variant::I4(-5)).ok());
    EXPECT_EQ(Value(62), "I4 -5");
    EXPECT_EQ(Value(96), "I2 -1");
    EXPECT_EQ(Value(97), "BSTR \"\"");
    EXPECT_EQ(Value(98), "I2 -1");
    EXPECT_EQ(Value(57), "BOOL False");
    EXPECT_EQ(Value(DISPID_HWND), "I4 0");
    RunTime(false);
    EXPECT_TRUE(Set(62, Variant::I4(9)).ok()) << "set at any time";
    EXPECT_TRUE(Set(95, Variant::String("")).ok());
    EXPECT_EQ(host.Site().changes.back(), 95);
    EXPECT_EQ(Value(95), "BSTR \"\"");
}
