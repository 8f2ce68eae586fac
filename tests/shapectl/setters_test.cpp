// The common set path of the value properties, one row per property: what each accepts, the
// error outside it, the design-time notice and the redraw at design time and at run time.
#include "tests/shapectl/control_fixture.h"

using namespace shapectl_test;

namespace {

enum Type { Short, Long, Colour, AnyColour, Flag };
enum Redraw { Always, PreviewOnly, DesignOnly, Never };

struct Row {
    DISPID id;
    const char* name;
    Type type;
    long low, high;  // accepted bounds (Short, Long)
    unsigned code;   // the error outside them
    const char* message;
    Redraw redraw;
};

constexpr const char* kInvalid = "Invalid property value.";
constexpr const char* k1To30 = "Only values between 1 and 30 are allowed.";
constexpr const char* k0To255 = "Only values between 0 and 255 are allowed.";
constexpr const char* k1To256 = "Only values between 1 and 256 are allowed.";
constexpr const char* kTen = "Only values between -10 and 10 are allowed.";
constexpr const char* kTenThousand = "Only values between -10000 and 10000 are allowed.";
constexpr const char* k0To32767 = "Only values between 0 and 32767 are allowed.";

const Row kRows[] = {
    {10, "BackColor", Colour, 0, 0, 0, nullptr, Always},
    {11, "FillColor", AnyColour, 0, 0, 0, nullptr, Always},
    {12, "BackStyle", Short, 0, 5, 380, kInvalid, Always},
    {13, "ShadowStyle", Short, 0, 1, 380, kInvalid, Always},
    {14, "BOuterWidth", Short, 1, 30, 20030, k1To30, Always},
    {15, "BOuterColor2", Colour, 0, 0, 0, nullptr, Always},
    {16, "BOuterStyle", Short, 0, 6, 380, kInvalid, Always},
    {17, "BOuterColor1", Colour, 0, 0, 0, nullptr, Always},
    {18, "MEffect", Short, 0, 113, 380, kInvalid, PreviewOnly},
    {19, "MDelay", Short, 0, 255, 20020, k0To255, PreviewOnly},
    {20, "MGrain", Short, 1, 256, 20020, k1To256, PreviewOnly},
    {21, "Multitask", Flag, 0, 0, 0, nullptr, Never},
    {22, "DMode", Short, 0, 3, 380, kInvalid, PreviewOnly},
    {23, "DEffect1", Short, 0, 113, 380, kInvalid, PreviewOnly},
    {24, "DEffect2", Short, 0, 113, 380, kInvalid, PreviewOnly},
    {25, "DEffect3", Short, 0, 113, 380, kInvalid, PreviewOnly},
    {26, "ShadowColor", AnyColour, 0, 0, 0, nullptr, Always},
    {27, "ShadowDropX", Short, -10, 10, 20130, kTen, Always},
    {28, "ShadowDropY", Short, -10, 10, 20130, kTen, Always},
    {29, "BorderWidth", Short, 0, 255, 20050, k0To255, Always},
    {30, "BorderColor", Colour, 0, 0, 0, nullptr, Always},
    {31, "BInnerStyle", Short, 0, 6, 380, kInvalid, Always},
    {32, "BInnerWidth", Short, 1, 30, 20030, k1To30, Always},
    {33, "BInnerColor1", Colour, 0, 0, 0, nullptr, Always},
    {34, "BInnerColor2", Colour, 0, 0, 0, nullptr, Always},
    {35, "FillStyle", Short, 0, 7, 380, kInvalid, Always},
    {36, "Shape", Short, 0, 17, 380, kInvalid, Always},
    {37, "BorderStyle", Short, 0, 5, 380, kInvalid, Always},
    {38, "Notify", Flag, 0, 0, 0, nullptr, Never},
    {39, "Wand", Flag, 0, 0, 0, nullptr, PreviewOnly},
    {40, "WandColor", Colour, 0, 0, 0, nullptr, PreviewOnly},
    {41, "WandWidth", Short, 1, 256, 20010, k1To256, PreviewOnly},
    {42, "NotifyDelay", Long, 0, 65535, 20060, "Only values between 0 and 65535 are allowed.",
     Always},
    {43, "CancelMode", Short, 0, 9, 380, kInvalid, Always},
    {44, "QuixEnabled", Flag, 0, 0, 0, nullptr, Never},
    {45, "Overlay", Flag, 0, 0, 0, nullptr, Never},
    {47, "GStyle", Short, 0, 19, 380, kInvalid, Always},
    {48, "GColor2", Colour, 0, 0, 0, nullptr, Always},
    {49, "GColor1", Colour, 0, 0, 0, nullptr, Always},
    {50, "GSteps", Short, 2, 256, 20090, "Only values between 2 and 256 are allowed.", Always},
    {54, "PictureAlign", Short, 0, 8, 380, kInvalid, Always},
    {55, "Transparent", Flag, 0, 0, 0, nullptr, Never},
    {56, "TransparentColor", Colour, 0, 0, 0, nullptr, Never},
    {69, "TEnabled", Flag, 0, 0, 0, nullptr, PreviewOnly},
    {70, "TEffect", Short, 0, 113, 380, kInvalid, PreviewOnly},
    {71, "TDelay", Short, 0, 255, 20020, k0To255, PreviewOnly},
    {72, "TGrain", Short, 1, 256, 20020, k1To256, PreviewOnly},
    {73, "TForeColor", Colour, 0, 0, 0, nullptr, PreviewOnly},
    {74, "TBackColor", Colour, 0, 0, 0, nullptr, PreviewOnly},
    {75, "TStyle", Short, 0, 7, 380, kInvalid, PreviewOnly},
    {76, "TOnly", Flag, 0, 0, 0, nullptr, PreviewOnly},
    {77, "Alignment", Short, 0, 8, 380, kInvalid, Always},
    {78, "Font3D", Short, 0, 8, 380, kInvalid, Always},
    {79, "FontBlockSize", Short, -10, 10, 20130, kTen, Always},
    {80, "FontDropX", Short, -10, 10, 20130, kTen, Always},
    {81, "FontDropY", Short, -10, 10, 20130, kTen, Always},
    {82, "FontOutlineColor", Colour, 0, 0, 0, nullptr, Always},
    {83, "FontShadowColor", Colour, 0, 0, 0, nullptr, Always},
    {84, "WordWrap", Flag, 0, 0, 0, nullptr, Always},
    {85, "TextX", Short, -10000, 10000, 380, kTenThousand, Always},
    {86, "TextY", Short, -10000, 10000, 380, kTenThousand, Always},
    {87, "ForeColor", Colour, 0, 0, 0, nullptr, Always},
    {88, "BackFill", Short, 0, 2, 380, kInvalid, DesignOnly},
    {89, "PictureVisible", Flag, 0, 0, 0, nullptr, Always},
    {90, "ForeStyle", Short, 0, 4, 380, kInvalid, Always},
    {91, "PictureX", Short, -10000, 10000, 380, kTenThousand, Always},
    {92, "PictureY", Short, -10000, 10000, 380, kTenThousand, Always},
    {100, "HShape", Short, 0, 100, 380, kInvalid, Always},
    {102, "PrinterBanding", Flag, 0, 0, 0, nullptr, Never},
    {103, "DesignStyle", Short, 0, 1, 380, kInvalid, Always},
    {104, "Font3DColor1", Colour, 0, 0, 0, nullptr, Always},
    {105, "Font3DColor2", Colour, 0, 0, 0, nullptr, Always},
    {109, "SurroundColor", AnyColour, 0, 0, 0, nullptr, Always},
    {110, "AutoRedraw", Flag, 0, 0, 0, nullptr, Never},
    {111, "DrawFillColor", Colour, 0, 0, 0, nullptr, Never},
    {112, "DrawFillStyle", Short, 0, 7, 380, kInvalid, Never},
    {113, "DrawMode", Short, 1, 16, 380, kInvalid, Never},
    {114, "DrawStyle", Short, 0, 5, 380, kInvalid, Never},
    {115, "DrawWidth", Short, 1, 32767, 380, kInvalid, Never},
    {117, "EffectMask", Flag, 0, 0, 0, nullptr, Never},
    {119, "EffectX", Short, -32768, 32767, 0, nullptr, Never},
    {120, "EffectY", Short, -32768, 32767, 0, nullptr, Never},
    {121, "FGColor1", Colour, 0, 0, 0, nullptr, Always},
    {122, "FGColor2", Colour, 0, 0, 0, nullptr, Always},
    {123, "FGSteps", Short, 2, 256, 20090, "Only values between 2 and 256 are allowed.", Always},
    {124, "FGStyle", Short, 0, 19, 380, kInvalid, Always},
    {130, "MultiEffect", Flag, 0, 0, 0, nullptr, Never},
    {133, "UpdateArea", Short, 0, 1, 380, "Only values between 0 and 1 are allowed.", Never},
    {134, "UpdateX", Short, 0, 32767, 380, k0To32767, Never},
    {135, "UpdateY", Short, 0, 32767, 380, k0To32767, Never},
    {136, "UpdateW", Short, 0, 32767, 380, k0To32767, Never},
    {137, "UpdateH", Short, 0, 32767, 380, k0To32767, Never},
    {146, "EffectPriority", Short, 0, 2, 380, kInvalid, Never},
    {147, "FontScale", Flag, 0, 0, 0, nullptr, Always},
    {148, "FontHeight", Short, -32768, 32767, 0, nullptr, Always},
    {149, "FontWidth", Short, -32768, 32767, 0, nullptr, Always},
};

Variant Typed(Type t, long v) {
    if (t == Flag) return Variant::Bool(v != 0);
    if (t == Short) return Variant::I2(static_cast<SHORT>(v));
    return Variant::I4(static_cast<LONG>(v));
}

// The values a row accepts and the values it refuses.
std::vector<long> Accepted(const Row& r) {
    switch (r.type) {
        case Colour:
            return {0, 0x00FFFFFF, static_cast<long>(static_cast<LONG>(0x80000000u)),
                    static_cast<long>(static_cast<LONG>(0x80000018u))};
        case AnyColour:
            return {0, static_cast<long>(static_cast<LONG>(0xFFFFFFFFu)),
                    static_cast<long>(static_cast<LONG>(0x80000019u))};
        case Flag:
            return {0, -1};
        default:
            return {r.low, r.high};
    }
}

std::vector<long> Refused(const Row& r) {
    switch (r.type) {
        case Colour:
            return {static_cast<long>(static_cast<LONG>(0x80000019u)),
                    static_cast<long>(static_cast<LONG>(0xFFFFFFFFu))};
        case AnyColour:
        case Flag:
            return {};
        default: {
            std::vector<long> out;
            long lowest = r.type == Short ? -32768 : INT32_MIN;
            long highest = r.type == Short ? 32767 : INT32_MAX;
            if (r.low > lowest) out.push_back(r.low - 1);
            if (r.high < highest) out.push_back(r.high + 1);
            return out;
        }
    }
}

}  // namespace

class Setters : public ControlTest {};

TEST_F(Setters, AcceptTheirRangeAndRefuseTheRestWithTheirCodeAndMessage) {
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(Id(r.name), r.id);
        for (long v : Accepted(r)) {
            auto result = Set(r.id, Typed(r.type, v));
            ASSERT_TRUE(result.ok()) << v << ": " << result.description;
            EXPECT_EQ(Value(r.id), Text(Typed(r.type, v)));
        }
        Variant before = Get(r.id).value;
        Clear();
        for (long v : Refused(r)) {
            auto result = Set(r.id, Typed(r.type, v));
            EXPECT_EQ(result.hr, DISP_E_EXCEPTION) << v;
            unsigned code = r.type == Colour ? 380 : r.code;
            EXPECT_EQ(result.ErrorNumber(), code) << v;
            EXPECT_EQ(result.description, r.type == Colour ? kInvalid : r.message) << v;
            EXPECT_EQ(Text(Get(r.id).value), Text(before)) << "the old value stays";
        }
        EXPECT_TRUE(host.Site().changes.empty()) << "a refused value is not notified";
        EXPECT_EQ(Redraws(), 0) << "nor redrawn";
    }
}

TEST_F(Setters, NotifyAtDesignTimeAndRedrawAsTheirKindSays) {
    struct Mode {
        bool run, preview;
    };
    for (Mode mode : {Mode{false, false}, Mode{false, true}, Mode{true, false}}) {
        RunTime(false);
        ASSERT_TRUE(Set(101, Variant::Bool(mode.preview)).ok());
        RunTime(mode.run);
        for (const Row& r : kRows) {
            SCOPED_TRACE(std::string(r.name) + (mode.run ? " at run time" : " at design time") +
                         (mode.preview ? " with Preview" : ""));
            long v = Accepted(r).front();
            Clear();
            // The same value twice: no comparison with the old one.
            ASSERT_TRUE(Set(r.id, Typed(r.type, v)).ok());
            ASSERT_TRUE(Set(r.id, Typed(r.type, v)).ok());
            std::vector<DISPID> notices =
                mode.run ? std::vector<DISPID>{} : std::vector<DISPID>{r.id, r.id};
            EXPECT_EQ(host.Site().changes, notices);
            bool redraws = r.redraw == Always ||
                           (r.redraw == PreviewOnly && !mode.run && mode.preview) ||
                           (r.redraw == DesignOnly && !mode.run);
            EXPECT_EQ(Redraws(), redraws ? 2 : 0);
        }
    }
}

TEST_F(Setters, PreviewIsSetAtDesignTimeOnlyAndRedrawsNothing) {
    ASSERT_TRUE(Set(101, Variant::Bool(true)).ok());
    EXPECT_EQ(host.Site().changes, std::vector<DISPID>{101});
    EXPECT_EQ(Redraws(), 0);
    EXPECT_EQ(Value(101), "BOOL True");
    RunTime(true);
    Clear();
    auto r = Set(101, Variant::Bool(false));
    EXPECT_EQ(r.ErrorNumber(), 382u);
    EXPECT_EQ(r.description, "Property cannot be set at run-time");
    EXPECT_EQ(Value(101), "BOOL True");
    EXPECT_TRUE(host.Site().changes.empty());
}

TEST_F(Setters, BooleansAreStoredAsGivenAndConvertedByTheDispatchInterface) {
    ASSERT_TRUE(Set(21, Variant::I2(5)).ok());
    EXPECT_NE(control->m_props.Multitask, 0);
    EXPECT_EQ(Value(21), "BOOL True");
    // A value that does not fit the property's type is refused before the set function.
    EXPECT_EQ(Set(36, Variant::I4(70000)).hr, DISP_E_OVERFLOW);
    EXPECT_EQ(Set(36, Variant::String("x")).hr, DISP_E_TYPEMISMATCH);
    EXPECT_TRUE(Set(36, Variant::String("17")).ok());
    EXPECT_EQ(Value(DISPID_VALUE), "I2 17") << "the default value is Shape";
    EXPECT_TRUE(Set(DISPID_VALUE, Variant::I2(3)).ok());
    EXPECT_EQ(Value(36), "I2 3");
}
