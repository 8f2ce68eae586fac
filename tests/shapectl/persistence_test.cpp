// Defaults, reset and the persisted property set.
#include <QImage>
#include <cstring>

#include "platform/gdi/qt.h"
#include "platform/ole/dialog.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/propbag.h"
#include "shapectl/InstanceNumbers.h"
#include "tests/shapectl/control_fixture.h"

using namespace shapectl_test;
using platform::com::ComPtr;
using platform::ole::TextPropertyBag;

namespace {

enum Kind { Color, Short, Long, Bool, String, Picture };

struct Persisted {
    const char* name;
    Kind kind;
    long def;
};

// The persisted property set in its order: entries 1 to 72, then 73 to 118.
const Persisted kEntries[] = {
    {"SurroundColor", Color, 0},
    {"BackColor", Color, 0xC0C0C0},
    {"FillColor", Color, 0},
    {"BackStyle", Short, 0},
    {"ShadowStyle", Short, 0},
    {"BOuterWidth", Short, 1},
    {"BOuterColor2", Color, 0xFFFFFF},
    {"BOuterStyle", Short, 0},
    {"BOuterColor1", Color, 0x808080},
    {"MEffect", Short, 0},
    {"MDelay", Short, 0},
    {"MGrain", Short, 5},
    {"Multitask", Bool, 0},
    {"DMode", Short, 0},
    {"DEffect1", Short, 0},
    {"DEffect2", Short, 0},
    {"DEffect3", Short, 0},
    {"ShadowColor", Color, 0},
    {"ShadowDropX", Short, 1},
    {"ShadowDropY", Short, 1},
    {"BorderWidth", Short, 1},
    {"BorderColor", Color, 0},
    {"BInnerStyle", Short, 0},
    {"BInnerWidth", Short, 1},
    {"BInnerColor1", Color, 0x808080},
    {"BInnerColor2", Color, 0xFFFFFF},
    {"FillStyle", Short, 1},
    {"Shape", Short, 0},
    {"BorderStyle", Short, 1},
    {"Notify", Bool, 0},
    {"Wand", Bool, 0},
    {"WandColor", Color, 0xFFFFFF},
    {"WandWidth", Short, 1},
    {"NotifyDelay", Long, 0},
    {"CancelMode", Short, 0},
    {"QuixEnabled", Bool, 1},
    {"Overlay", Bool, 0},
    {"GStyle", Short, 0},
    {"GColor2", Color, 0xFF0000},
    {"GColor1", Color, 0},
    {"GSteps", Short, 16},
    {"Capture", Short, 0},
    {"Picture", Picture, 0},
    {"PictureAlign", Short, 0},
    {"Transparent", Bool, 0},
    {"TransparentColor", Color, 0},
    {"TEnabled", Bool, 0},
    {"TEffect", Short, 0},
    {"TDelay", Short, 0},
    {"TGrain", Short, 5},
    {"TForeColor", Color, 0},
    {"TBackColor", Color, 0},
    {"TStyle", Short, 0},
    {"TOnly", Bool, 0},
    {"Alignment", Short, 0},
    {"Font3D", Short, 0},
    {"FontBlockSize", Short, 1},
    {"FontDropX", Short, 1},
    {"FontDropY", Short, 1},
    {"FontOutlineColor", Color, 0},
    {"FontShadowColor", Color, 0xFFFFFF},
    {"WordWrap", Bool, 1},
    {"TextX", Short, 0},
    {"TextY", Short, 0},
    {"ForeColor", Color, 0},
    {"BackFill", Short, 0},
    {"PictureVisible", Bool, 1},
    {"ForeStyle", Short, 0},
    {"PictureX", Short, 0},
    {"PictureY", Short, 0},
    {"HFileName", String, 0},
    {"HShape", Short, 0},
    // 73 to 118
    {"FontHeight", Short, 10},
    {"FontWidth", Short, 10},
    {"FontScale", Bool, 0},
    {"ZLevel", Long, 0},
    {"OLEDropAllowed", Bool, 0},
    {"EffectPriority", Short, 0},
    {"Frame1", Picture, 0},
    {"Frame2", Picture, 0},
    {"Frame3", Picture, 0},
    {"Frame4", Picture, 0},
    {"Frame5", Picture, 0},
    {"Frame6", Picture, 0},
    {"Frame", Short, 0},
    {"MaxFrames", Short, 6},
    {"UpdateArea", Short, 0},
    {"UpdateX", Short, 0},
    {"UpdateY", Short, 0},
    {"UpdateW", Short, 0},
    {"UpdateH", Short, 0},
    {"EffectIncrement", Bool, 0},
    {"EffectCue", Bool, 0},
    {"EffectMask", Bool, 0},
    {"EffectX", Short, 0},
    {"EffectY", Short, 0},
    {"MultiEffect", Bool, 0},
    {"AutoRedraw", Bool, 0},
    {"PaintNotify", Bool, 0},
    {"DrawStyle", Short, 1},
    {"DrawWidth", Short, 1},
    {"DrawFillColor", Color, 0},
    {"DrawFillStyle", Short, 1},
    {"DrawMode", Short, 13},
    {"FGStyle", Short, 0},
    {"FGColor2", Color, 0xFF0000},
    {"FGColor1", Color, 0},
    {"FGSteps", Short, 16},
    {"Mask", Picture, 0},
    {"ManagePalette", Bool, 1},
    {"MouseIcon", Picture, 0},
    {"MousePointer", Short, 0},
    {"Update", Bool, 1},
    {"DesignStyle", Short, 1},
    {"Preview", Bool, 0},
    {"PrinterBanding", Bool, 0},
    {"Font3DColor1", Color, 0xFFFFFF},
    {"Font3DColor2", Color, 0x808080},
};
constexpr std::size_t kCommonCount = 72;
static_assert(sizeof kEntries / sizeof kEntries[0] == 118);

ComPtr<TextPropertyBag> NewBag() {
    return platform::ole::CreateTextPropertyBag();
}

ComPtr<TextPropertyBag> Parse(const std::string& text) {
    std::string error;
    auto bag = platform::ole::ParseTextPropertyBag(text, &error);
    EXPECT_TRUE(bag) << error;
    return bag;
}

std::string Read(TextPropertyBag* bag, const char* name, VARTYPE vt) {
    Variant v;
    v.ptr()->vt = vt;
    std::u16string n = platform::com::Utf16(name);
    if (FAILED(bag->Read(n.c_str(), v.ptr(), nullptr))) return "absent";
    return Text(v);
}

// What the persisted value of an entry reads as through the dispatch interface.
std::string Expected(const Persisted& e, long value) {
    switch (e.kind) {
        case Short:
            return Text(Variant::I2(static_cast<SHORT>(value)));
        case Bool:
            return Text(Variant::Bool(value != 0));
        case String:
            return "BSTR \"\"";
        case Picture:
            return "";
        default:
            return Text(Variant::I4(static_cast<LONG>(value)));
    }
}

IDispatch* BitmapPicture(int w, int h, QRgb color) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = platform::gdi::BitmapFromImage(image);
    IDispatch* p = nullptr;
    OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(&p));
    return p;
}

}  // namespace

class Defaults : public ControlTest {};

TEST_F(Defaults, AreThePersistedDefaultsAfterConstructionAndAfterReset) {
    // Member values differ from the defaults, then a reset (InitNew) sets them back.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "new" : "reset");
        for (const auto& e : kEntries) {
            if (e.kind == Picture) continue;
            DISPID id = Id(e.name);
            ASSERT_NE(id, DISPID_UNKNOWN) << e.name;
            EXPECT_EQ(Value(id), Expected(e, e.def)) << e.name;
        }
        for (const char* picture : {"Picture", "Frame1", "Frame6", "Mask", "MouseIcon"}) {
            auto p = Get(Id(picture));
            ASSERT_EQ(p.value.vt(), VT_DISPATCH) << picture;
            EXPECT_EQ(
                Text(platform::com::GetProperty(p.value.get().pdispVal, DISPID_PICT_TYPE).value),
                "I2 0")
                << picture;
        }
        EXPECT_EQ(Value(7), "BOOL True") << "Persistence";
        EXPECT_EQ(Value(DISPID_CAPTION), "BSTR \"Shape1\"") << "the ambient display name";
        EXPECT_EQ(Value(DISPID_ENABLED), "BOOL True");
        control->m_props.BackColor = 1;
        control->m_props.Persistence = FALSE;
        control->m_QuixError = 7;
        control->SetText("changed");
        ASSERT_EQ(host.InitNew(), S_OK);
    }
    RunTime(true);
    EXPECT_EQ(Value(52), "I2 0") << "QuixError";
    EXPECT_EQ(Value(46), "BOOL False") << "QuixCanceled";
    EXPECT_EQ(Value(99), "I2 0") << "HTotal";
    for (DISPID printer : {59, 60, 61, 62}) EXPECT_EQ(Value(printer), "I4 0");
}

TEST_F(Defaults, AreSetByTheConstructorBeforeAnyReset) {
    auto* fresh = new CShapectlCtrl();
    for (const auto& e : kEntries) {
        if (e.kind == Picture || e.kind == String) continue;
        const platform::ole::DispEntry* entry = nullptr;
        for (const auto& candidate : fresh->GetDispatchMap()) {
            if (std::string(candidate.name) == e.name) entry = &candidate;
        }
        ASSERT_TRUE(entry && entry->get) << e.name;
        Variant value;
        entry->get(fresh, *entry, value.ptr());
        EXPECT_EQ(Text(value), Expected(e, e.def)) << e.name;
    }
    EXPECT_EQ(fresh->m_props.Persistence, TRUE);
    EXPECT_EQ(fresh->m_Picture.GetType(), PICTYPE_NONE);
    EXPECT_EQ(fresh->m_MouseIcon.GetType(), PICTYPE_NONE);
    EXPECT_EQ(fresh->m_strHFileName, "");
    EXPECT_EQ(fresh->InternalGetText(), "") << "the caption comes with the reset";
    EXPECT_EQ(fresh->InternalGetFont().m_pFont, nullptr) << "and so does the font";
    EXPECT_EQ(fresh->m_hComposed, nullptr);
    EXPECT_TRUE(fresh->m_bEventsAdvised);
    EXPECT_TRUE(fresh->m_bDrawAllowed);
    EXPECT_TRUE(fresh->m_bHostUpdatePending);
    fresh->InternalRelease();
}

TEST_F(Defaults, InstanceNumbersAreTheLowestFreeAndComeBack) {
    // The fixture's control is the first of the process.
    EXPECT_EQ(control->m_nInstanceId, 1);
    auto* second = new CShapectlCtrl();
    EXPECT_EQ(second->m_nInstanceId, 2);
    host.Close();
    auto* third = new CShapectlCtrl();
    EXPECT_EQ(third->m_nInstanceId, 1) << "the freed number is taken again";
    second->InternalRelease();
    third->InternalRelease();

    InstanceNumberMap map;
    for (int n = 1; n <= 2047; ++n) ASSERT_EQ(map.Take(), n);
    EXPECT_EQ(map.Take(), 0) << "all in use";
    map.Give(0);
    map.Give(2048);
    map.Give(700);
    EXPECT_FALSE(map.InUse(700));
    EXPECT_EQ(map.Take(), 700);
    EXPECT_TRUE(map.InUse(2047));
}

class Persistence : public ControlTest {
protected:
    ComPtr<TextPropertyBag> Save(bool all = true) {
        auto bag = NewBag();
        EXPECT_EQ(host.Save(bag.get(), all), S_OK);
        return bag;
    }
    void Load(TextPropertyBag* bag, bool run = false) {
        Make(run);
        ASSERT_EQ(host.Load(bag), S_OK);
    }
};

TEST_F(Persistence, SavesEveryPropertyInOrderAndLoadsItBack) {
    // Saved data with a value other than the default for every scalar entry.
    std::string text = "Persistence = True\n";
    for (const auto& e : kEntries) {
        std::string value;
        switch (e.kind) {
            case Short:
                value = std::to_string(e.def + 2);
                break;
            case Color:
                value = "&H00123456&";
                break;
            case Long:
                value = std::to_string(e.def + 77);
                break;
            case Bool:
                value = e.def ? "False" : "True";
                break;
            default:
                continue;
        }
        text += std::string(e.name) + " = " + value + "\n";
    }
    Load(Parse(text).get());
    EXPECT_EQ(control->m_props.GSteps, 18);
    EXPECT_EQ(control->m_props.WordWrap, FALSE);
    IDispatch* picture = BitmapPicture(4, 3, qRgb(1, 2, 3));
    ASSERT_TRUE(Set(Id("Frame3"), Variant::Dispatch(picture)).ok());
    picture->Release();
    control->SetText("Saved shape");
    auto bag = Save();

    // The order: version, extent, stock properties, Persistence, then the 118 entries (pictures
    // only when they hold one).
    std::vector<std::string> expected = {"_Version", "_ExtentX", "_ExtentY",   "Caption",
                                         "Font",     "Enabled",  "Persistence"};
    for (const auto& e : kEntries) {
        if (e.kind != Picture || std::string(e.name) == "Frame3") expected.push_back(e.name);
    }
    EXPECT_EQ(bag->Names(), expected);
    EXPECT_EQ(Read(bag.get(), "_Version", VT_I4), "I4 327680");
    EXPECT_EQ(Read(bag.get(), "BackColor", VT_EMPTY), "UI4 1193046");
    EXPECT_EQ(Read(bag.get(), "MGrain", VT_EMPTY), "I2 7");

    std::string savedText = bag->ToText();
    Load(Parse(savedText).get());
    EXPECT_EQ(control->m_props.Font3DColor2, 0x123456u);
    EXPECT_EQ(control->m_props.NotifyDelay, 77);
    EXPECT_EQ(control->InternalGetText(), "Saved shape");
    EXPECT_EQ(control->m_Frame[2].GetType(), PICTYPE_BITMAP);
    EXPECT_EQ(control->m_Picture.GetType(), PICTYPE_NONE);
    EXPECT_EQ(Save()->ToText(), savedText) << "saving again writes the same text";
}

TEST_F(Persistence, WithPersistenceFalseOnlyTheStockPropertiesAreKept) {
    control->m_props.Shape = 5;
    control->m_props.BackColor = 0xFF;
    control->SetText("Kept");
    control->SetEnabled(FALSE);
    ASSERT_TRUE(Set(7, Variant::Bool(false)).ok());
    auto bag = Save();
    EXPECT_EQ(bag->Names(), (std::vector<std::string>{"_Version", "_ExtentX", "_ExtentY", "Caption",
                                                      "Font", "Enabled", "Persistence"}));
    Load(bag.get());
    EXPECT_EQ(control->m_props.Shape, 0);
    EXPECT_EQ(control->m_props.BackColor, 0xC0C0C0u);
    EXPECT_EQ(control->m_props.Persistence, FALSE);
    EXPECT_EQ(control->InternalGetText(), "Kept");
    EXPECT_FALSE(control->GetEnabled());
}

TEST_F(Persistence, MissingEntriesTakeTheirDefaultsAndStoredValuesAreNotChecked) {
    Load(Parse("Persistence = True\nBackStyle = 9\nShape = -3\nBorderWidth = 1000\n"
               "BackColor = &H80000019&\nFillStyle = 70000\n")
             .get());
    EXPECT_EQ(control->m_props.BackStyle, 9);
    EXPECT_EQ(control->m_props.Shape, -3);
    EXPECT_EQ(control->m_props.BorderWidth, 1000);
    EXPECT_EQ(control->m_props.BackColor, 0x80000019u);
    EXPECT_EQ(control->m_props.FillStyle, 1) << "a value the type cannot hold takes the default";
    EXPECT_EQ(control->m_props.DrawMode, 13);
    EXPECT_EQ(control->m_props.MaxFrames, 6);
    // Setting the stored value through the property is refused.
    auto r = Set(12, Variant::I2(9));
    EXPECT_EQ(r.ErrorNumber(), 380u);

    // A bag without Persistence leaves the control's own value.
    control->m_props.Persistence = FALSE;
    control->m_props.Shape = 4;
    ASSERT_EQ(host.Load(Parse("Shape = 2\n").get()), S_OK);
    EXPECT_EQ(control->m_props.Shape, 4);
}

TEST_F(Persistence, TheOlderFormKeepsTheNewerEntriesAndReadsItsOwnNames) {
    control->m_props.FontHeight = 33;
    control->m_props.DrawMode = 7;
    control->m_props.DesignStyle = 1;
    control->m_props.Preview = TRUE;
    control->m_props.Font3DColor1 = 5;
    ASSERT_EQ(host.Load(Parse("_ConvertVBX = True\nPersistence = True\nShape = 3\nPointer = 11\n"
                              "UpdateShape = False\nFontHeight = 12\nDrawMode = 2\n"
                              "FontName = \"Arial\"\nFontBold = True\n")
                            .get()),
              S_OK);
    EXPECT_EQ(control->m_props.Shape, 3);
    EXPECT_EQ(control->m_props.MousePointer, 11);
    EXPECT_EQ(control->m_props.Update, FALSE);
    EXPECT_EQ(control->m_props.FontHeight, 33) << "entries 73 to 118 are not read";
    EXPECT_EQ(control->m_props.DrawMode, 7);
    EXPECT_EQ(control->m_props.DesignStyle, 0);
    EXPECT_EQ(control->m_props.Preview, FALSE);
    EXPECT_EQ(control->m_props.PrinterBanding, FALSE);
    EXPECT_EQ(control->m_props.Font3DColor1, 0xFFFFFFu);
    EXPECT_EQ(control->m_props.Font3DColor2, 0x808080u);
    RunTime(true);
    EXPECT_EQ(Value(63), "BSTR \"Arial\"") << "the old font settings reach the stock font";
    EXPECT_EQ(Value(65), "BOOL True");

    // Without the marker the old names mean nothing.
    Make(false);
    ASSERT_EQ(host.Load(Parse("Persistence = True\nPointer = 11\nFontHeight = 12\n").get()), S_OK);
    EXPECT_EQ(control->m_props.MousePointer, 0);
    EXPECT_EQ(control->m_props.FontHeight, 12);
}

TEST_F(Persistence, LoadingANamedHotspotFileLoadsIt) {
    std::vector<std::string> boxes;
    platform::ole::SetMessageBoxPresenter(
        [&](HWND, const std::string& text, const std::string& caption, UINT type) {
            boxes.push_back(caption + ": " + text + " " + std::to_string(type));
            return IDOK;
        });
    std::string file = dir / "missing.hsp";
    Load(Parse("Persistence = True\nHFileName = \"" + file + "\"\n").get(), true);
    EXPECT_LT(control->m_QuixError, 0) << "the load ran and failed";
    EXPECT_TRUE(boxes.empty()) << "no message at run time";
    EXPECT_EQ(control->m_strHFileName, file);
    Load(Parse("Persistence = True\nHFileName = \"" + file + "\"\n").get(), false);
    EXPECT_EQ(boxes,
              std::vector<std::string>{
                  "QuixShape Hotspot File Load Error: Could not process the hotspot file 48"});
    boxes.clear();
    Load(Parse("Persistence = True\nHFileName = \"\"\n").get(), false);
    EXPECT_TRUE(boxes.empty()) << "an empty name loads nothing";
    EXPECT_EQ(control->m_QuixError, 0);
    platform::ole::SetMessageBoxPresenter({});
}
