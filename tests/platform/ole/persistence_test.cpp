#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "platform/com/bstr.h"
#include "platform/com/dispatch.h"
#include "platform/gdi/qt.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/propbag.h"
#include "platform/ole/site.h"
#include "tests/platform/ole/test_control.h"

using ole_test::TestControl;
using platform::com::ComPtr;
using platform::com::Variant;
using platform::ole::TextPropertyBag;

namespace {

ComPtr<TextPropertyBag> Parse(const std::string& text) {
    std::string error;
    auto bag = platform::ole::ParseTextPropertyBag(text, &error);
    EXPECT_TRUE(bag) << error;
    return bag;
}

struct Control {
    TestControl* control = new TestControl();
    platform::ole::HostedControl host;
    Control() {
        host.Attach(control->GetControllingUnknown(), "Test1", false);
        control->InternalRelease();
    }
};

IPicture* Bitmap(int w, int h, QRgb color) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = platform::gdi::BitmapFromImage(image);
    IPicture* p = nullptr;
    OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, reinterpret_cast<void**>(&p));
    return p;
}

}  // namespace

TEST(TextPropertyBag, ReadsValuesAsTheTypeAskedFor) {
    auto bag = Parse(
        "# comment\n"
        "Level = 9\r\n"
        "  Tint = &H80000018&\n"
        "Label = \"two\\nlines \\\"quoted\\\" \\x01\"\n"
        "Flag = True\n"
        "Size = 8.25\n");
    auto read = [&](const char* name, VARTYPE vt) {
        Variant v;
        v.ptr()->vt = vt;
        std::u16string n = platform::com::Utf16(name);
        HRESULT hr = bag->Read(n.c_str(), v.ptr(), nullptr);
        return FAILED(hr) ? std::string("failed") : platform::com::Describe(v.get());
    };
    EXPECT_EQ(read("level", VT_I2), "I2 9");
    EXPECT_EQ(read("Tint", VT_UI4), "UI4 2147483672");
    EXPECT_EQ(read("Label", VT_BSTR), "BSTR \"two\nlines \"quoted\" \x01\"");
    EXPECT_EQ(read("Flag", VT_I2), "I2 -1");
    EXPECT_EQ(read("Size", VT_CY), "CY 8.25");
    EXPECT_EQ(read("Size", VT_EMPTY), "R8 8.25");
    EXPECT_EQ(read("Missing", VT_I2), "failed");
    EXPECT_EQ(read("Label", VT_I2), "failed");
    EXPECT_EQ(bag->Names(), (std::vector<std::string>{"Level", "Tint", "Label", "Flag", "Size"}));
}

TEST(TextPropertyBag, WritesATextThatReadsBackTheSame) {
    auto bag = platform::ole::CreateTextPropertyBag();
    auto write = [&](const char* name, Variant v) {
        std::u16string n = platform::com::Utf16(name);
        return bag->Write(n.c_str(), v.ptr());
    };
    EXPECT_EQ(write("Number", Variant::I2(-12)), S_OK);
    EXPECT_EQ(write("Colour", Variant::UI4(0xC0C0C0)), S_OK);
    EXPECT_EQ(write("Text", Variant::String("tab\there")), S_OK);
    EXPECT_EQ(write("Yes", Variant::Bool(true)), S_OK);
    EXPECT_EQ(write("Number", Variant::I4(7)), S_OK) << "replaces in place";
    EXPECT_EQ(write("bad name", Variant::I2(1)), E_INVALIDARG);
    EXPECT_EQ(write("Nothing", Variant::Error(DISP_E_PARAMNOTFOUND)), E_INVALIDARG);
    IPicture* picture = Bitmap(2, 1, qRgb(10, 20, 30));
    EXPECT_EQ(write("Picture", Variant::Unknown(picture)), S_OK);
    picture->Release();
    IFont* font = nullptr;
    OleCreateFontIndirect(nullptr, IID_IFont, reinterpret_cast<void**>(&font));
    font->put_Bold(TRUE);
    EXPECT_EQ(write("Font", Variant::Unknown(font)), S_OK);
    font->Release();

    std::string text = bag->ToText();
    EXPECT_EQ(text.substr(0, text.find("Picture")),
              "Number = 7\nColour = &H00C0C0C0&\nText = \"tab\\there\"\nYes = True\n");
    EXPECT_NE(text.find("Picture = BeginPicture bitmap 2x1\n    iVBOR"), std::string::npos) << text;
    EXPECT_NE(text.find("BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851}\n"
                        "    Name = \"MS Sans Serif\"\n    Size = 8.25\n    Charset = 0\n"
                        "    Weight = 700\n"),
              std::string::npos)
        << text;

    auto again = Parse(text);
    EXPECT_EQ(again->ToText(), text);
    Variant loaded;
    loaded.ptr()->vt = VT_UNKNOWN;
    ASSERT_EQ(again->Read(u"Picture", loaded.ptr(), nullptr), S_OK);
    ComPtr<IPicture> back;
    ASSERT_EQ(loaded.get().punkVal->QueryInterface(IID_IPicture, back.outVoid()), S_OK);
    OLE_HANDLE h;
    back->get_Handle(&h);
    QImage image =
        platform::gdi::ImageOf(reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(h)));
    EXPECT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(1, 0), qRgb(10, 20, 30));
}

TEST(TextPropertyBag, ExplainsWhereTheTextIsWrong) {
    const std::pair<const char*, const char*> bad[] = {
        {"Level 3\n", "line 1: expected <name> = <value>"},
        {"A = 1\nA = 2\n", "line 2: duplicate name A"},
        {"A = \"open\n", "line 1: bad value '\"open'"},
        {"P = BeginPicture bitmap 1x1\nAAAA\n", "line 1: BeginPicture without EndPicture"},
        {"P = BeginPicture bitmap 1x1\n@@@@\nEndPicture\n", "line 1: bad picture data"},
        {"BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851}\nName = \"x\"\n",
         "line 3: BeginProperty without EndProperty"},
        {"EndProperty\n", "line 1: EndProperty without BeginProperty"},
    };
    for (const auto& [text, why] : bad) {
        std::string error;
        EXPECT_EQ(platform::ole::ParseTextPropertyBag(text, &error), nullptr) << text;
        EXPECT_EQ(error, why);
    }
}

TEST(TextPropertyBag, EveryValueThatReadsWritesATextThatReadsTheSameValue) {
    const char* texts[] = {
        "BeginProperty = 5\n",  // a value of that name is no block
        "When = #9999-12-31 23:59:59#\n",
        "When = #0100-01-01#\n",
        "When = #1.5000001#\n",  // not a whole second
        "Ratio = 0.30000000000000004\n",
        "Big = 1E+300\n",
        "Whole = 3.0\n",
        "Huge = -9223372036854775808\n",
        "Text = \"\\x00\\x7F\\t\\\\\"\n",
    };
    for (const char* text : texts) {
        auto bag = Parse(text);
        ASSERT_TRUE(bag) << text;
        std::string written = bag->ToText();
        auto again = Parse(written);
        ASSERT_TRUE(again) << text << " was written as " << written;
        EXPECT_EQ(again->ToText(), written) << text;
        std::string name = bag->Names().front();
        std::u16string wide = platform::com::Utf16(name);
        Variant first, second;
        ASSERT_EQ(bag->Read(wide.c_str(), first.ptr(), nullptr), S_OK);
        ASSERT_EQ(again->Read(wide.c_str(), second.ptr(), nullptr), S_OK);
        EXPECT_EQ(platform::com::Describe(first.get()), platform::com::Describe(second.get()))
            << text;
        EXPECT_EQ(first.vt() == VT_R8 ? first.get().dblVal : 0.0,
                  second.vt() == VT_R8 ? second.get().dblVal : 0.0)
            << text;
    }
    // Written values, too: a date and reals that the text form must not round.
    auto bag = platform::ole::CreateTextPropertyBag();
    Variant date = Variant::Date(1.5000001), third = Variant::R8(1.0 / 3),
            tenth = Variant::R4(0.1f);
    ASSERT_EQ(bag->Write(u"When", date.ptr()), S_OK);
    ASSERT_EQ(bag->Write(u"Third", third.ptr()), S_OK);
    ASSERT_EQ(bag->Write(u"Tenth", tenth.ptr()), S_OK);
    auto back = Parse(bag->ToText());
    Variant when, r8, r4;
    when.ptr()->vt = VT_DATE;
    r8.ptr()->vt = VT_R8;
    r4.ptr()->vt = VT_R4;
    ASSERT_EQ(back->Read(u"When", when.ptr(), nullptr), S_OK);
    ASSERT_EQ(back->Read(u"Third", r8.ptr(), nullptr), S_OK);
    ASSERT_EQ(back->Read(u"Tenth", r4.ptr(), nullptr), S_OK);
    EXPECT_EQ(when.get().date, 1.5000001);
    EXPECT_EQ(r8.get().dblVal, 1.0 / 3);
    EXPECT_EQ(r4.get().fltVal, 0.1f);
}

TEST(TextPropertyBag, RefusesValuesItCouldNotWriteAgain) {
    // Dates beyond the years 100 to 9999, and reals without a number, have no literal.
    for (const char* text : {"When = #3000000#\n", "When = #-700000#\n", "Ratio = nan\n",
                             "Ratio = inf\n", "Ratio = 1e999\n"}) {
        std::string error;
        EXPECT_EQ(platform::ole::ParseTextPropertyBag(text, &error), nullptr) << text;
        EXPECT_NE(error.find("line 1: bad value"), std::string::npos) << text << ": " << error;
    }
    auto bag = platform::ole::CreateTextPropertyBag();
    Variant far = Variant::Date(3000000), nan = Variant::R8(std::nan(""));
    EXPECT_EQ(bag->Write(u"When", far.ptr()), E_INVALIDARG);
    EXPECT_EQ(bag->Write(u"Ratio", nan.ptr()), E_INVALIDARG);
    EXPECT_EQ(bag->ToText(), "");
}

TEST(TextPropertyBag, ObjectPropertiesNestAtMostSixtyFourLevels) {
    auto nest = [](int levels) {
        std::string text;
        for (int i = 0; i < levels; ++i) {
            text += "BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851}\n";
        }
        for (int i = 0; i < levels; ++i) text += "EndProperty\n";
        return text;
    };
    std::string error;
    EXPECT_TRUE(platform::ole::ParseTextPropertyBag(nest(64), &error)) << error;
    for (int levels : {65, 10000}) {
        EXPECT_EQ(platform::ole::ParseTextPropertyBag(nest(levels), &error), nullptr);
        EXPECT_EQ(error, "line 65: properties nested deeper than 64 levels") << levels;
    }
}

TEST(PropertyExchange, SavesLoadsAndResetsThroughTheControl) {
    Control a;
    ASSERT_EQ(a.host.InitNew(), S_OK);
    EXPECT_EQ(a.control->level, 3);
    EXPECT_EQ(a.control->label, "none");
    EXPECT_EQ(a.control->tint, static_cast<LONG>(0x80000005));
    a.control->level = 99;  // stored values are not checked on the way out or in
    a.control->flag = TRUE;
    a.control->SetText("Shape one");
    a.control->picture.m_pPict = ComPtr<IPicture>::Attach(Bitmap(3, 2, qRgb(255, 0, 0)));
    auto bag = platform::ole::CreateTextPropertyBag();
    ASSERT_EQ(a.host.Save(bag.get(), false), S_OK);
    EXPECT_FALSE(a.control->IsModified());
    std::string text = bag->ToText();
    EXPECT_EQ(text.substr(0, text.find("BeginProperty")),
              "_Version = 65536\n_ExtentX = 2646\n_ExtentY = 1323\nCaption = \"Shape one\"\n");
    // Values equal to their defaults are left out unless every property is asked for.
    EXPECT_FALSE(bag->Has("Tint"));
    EXPECT_TRUE(bag->Has("Flag")) << "no default: always written";
    auto all = platform::ole::CreateTextPropertyBag();
    ASSERT_EQ(a.host.Save(all.get(), true), S_OK);
    EXPECT_TRUE(all->Has("Tint"));
    EXPECT_TRUE(all->Has("Enabled"));

    Control b;
    b.control->flag = 7;  // kept when the bag has no Flag
    ASSERT_EQ(b.host.Load(Parse(text).get()), S_OK);
    EXPECT_EQ(b.control->level, 99);
    EXPECT_EQ(b.control->flag, TRUE);
    EXPECT_EQ(b.control->InternalGetText(), "Shape one");
    EXPECT_EQ(b.control->picture.GetType(), PICTYPE_BITMAP);
    EXPECT_EQ(b.control->textChanges, 0) << "loading sets the caption without its notice";

    Control c;
    c.control->flag = 7;
    c.control->level = 5;
    ASSERT_EQ(c.host.Load(Parse("Label = \"x\"\n").get()), S_OK);
    EXPECT_EQ(c.control->flag, 7);
    EXPECT_EQ(c.control->level, 3);
    EXPECT_EQ(c.control->label, "x");
    EXPECT_EQ(c.control->picture.GetType(), PICTYPE_NONE);
    EXPECT_TRUE(c.control->InternalGetFont().m_pFont) << "the default font";
}

TEST(PropertyExchange, CarriesTheOlderFormsFontSettingsIntoTheFont) {
    Control c;
    ASSERT_EQ(c.host.Load(Parse("_ConvertVBX = True\nFontName = \"Arial\"\nFontSize = 12\n"
                                "FontBold = -1\nFontItalic = 0\n")
                              .get()),
              S_OK);
    EXPECT_EQ(c.control->convertedFrom, std::vector<std::string>{"font"});
    EXPECT_FALSE(c.control->IsConvertingVBX()) << "only while loading";
    IFont* font = c.control->InternalGetFont().m_pFont.get();
    ASSERT_TRUE(font);
    BSTR name = nullptr;
    font->get_Name(&name);
    EXPECT_EQ(platform::com::Utf8(name), "Arial");
    SysFreeString(name);
    CY size;
    font->get_Size(&size);
    EXPECT_EQ(size.int64, 120000);
    BOOL bold;
    font->get_Bold(&bold);
    EXPECT_TRUE(bold);
    Control plain;
    ASSERT_EQ(plain.host.Load(Parse("FontName = \"Arial\"\n").get()), S_OK);
    EXPECT_TRUE(plain.control->convertedFrom.empty());
}

TEST(PictureHolders, KnowTheirTypesAndOwnWhatTheyAreGiven) {
    CPictureHolder holder;
    EXPECT_EQ(holder.GetType(), PICTYPE_NONE);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    ASSERT_TRUE(holder.CreateFromBitmap(bitmap, nullptr, TRUE));
    EXPECT_EQ(holder.GetType(), PICTYPE_BITMAP);
    OLE_XSIZE_HIMETRIC width;
    holder.m_pPict->get_Width(&width);
    EXPECT_EQ(width, 106);  // 4 pixels at 96 an inch

    IDispatch* disp = holder.GetPictureDispatch();
    ASSERT_NE(disp, nullptr);
    EXPECT_EQ(
        platform::com::Describe(platform::com::GetProperty(disp, DISPID_PICT_TYPE).value.get()),
        "I2 1");
    CPictureHolder other;
    other.SetPictureDispatch(disp);
    disp->Release();
    holder.CreateEmpty();
    EXPECT_EQ(GetObjectType(bitmap), OBJ_BITMAP) << "the other holder still has the picture";
    other.SetPictureDispatch(nullptr);
    EXPECT_EQ(other.GetType(), PICTYPE_NONE);
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the picture owned the bitmap";

    const BYTE records[] = {9, 9, 9};
    HMETAFILE mf = SetMetaFileBitsEx(3, records);
    ASSERT_TRUE(holder.CreateFromMetafile(mf, 100, 200, TRUE));
    EXPECT_EQ(holder.GetType(), PICTYPE_METAFILE);
    auto data = platform::ole::SavePictureData(holder.m_pPict.get());
    ASSERT_TRUE(data);
    EXPECT_EQ(data->type, "metafile");
    EXPECT_EQ(data->width, 100);
    EXPECT_EQ(data->bytes, std::string("\x09\x09\x09"));
}
