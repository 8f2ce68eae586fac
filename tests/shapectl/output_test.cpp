// The control's hotspot set, drawing and pixels on the composed bitmap, printing and the colour
// set, through its dispatch interface.
#include <cstring>

#include "platform/com/activation.h"
#include "platform/com/safearray.h"
#include "platform/ole/dialog.h"
#include "quixcore/quixcore.h"
#include "tests/shapectl/control_fixture.h"
#include "tests/support/pdf_facts.h"

using namespace shapectl_test;

namespace {

Variant ByteArray(const std::string& bytes) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_UI1;
    v.parray = array;
    return Variant::Attach(&v);
}

class Output : public ControlTest {
protected:
    void TearDown() override {
        platform::ole::SetMessageBoxPresenter({});
        ControlTest::TearDown();
    }
    void CatchBoxes() {
        platform::ole::SetMessageBoxPresenter(
            [&](HWND, const std::string& text, const std::string& caption, UINT type) {
                boxes.push_back(caption + ": " + text + " " + std::to_string(type));
                return IDOK;
            });
    }
    // A white composed bitmap of the control's size, as composing leaves one.
    void Compose(int w, int h, DWORD fill = WHITENESS) {
        HBITMAP white = CreateBitmap(w, h, 1, 32, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, white);
        PatBlt(dc, 0, 0, w, h, fill);
        SelectObject(dc, old);
        DeleteDC(dc);
        if (control->m_hComposed) DeleteObject(control->m_hComposed);
        control->m_hComposed = white;
    }
    LONG Pixel(int x, int y) {
        auto r = Call(Id("GetPixelColor"),
                      {Variant::I2(static_cast<SHORT>(x)), Variant::I2(static_cast<SHORT>(y))});
        return r.value.get().lVal;
    }
    std::vector<std::string> boxes;
};

}  // namespace

TEST_F(Output, AHotspotFileLoadsTheSetAndAFailedLoadKeepsTheName) {
    CatchBoxes();
    std::string good = dir / "two.hsp";
    testing_support::WriteFile(good, HotspotSetBytes({{0, 0, 10, 10, 1}, {5, 5, 20, 20, 2}}));
    ASSERT_TRUE(Set(95, Variant::String(good)).ok());
    EXPECT_EQ(control->m_QuixError, 0);
    EXPECT_EQ(Value(95), "BSTR \"" + good + "\"");
    EXPECT_EQ(host.Site().changes, std::vector<DISPID>{95});
    RunTime(true);
    EXPECT_EQ(Value(99), "I2 2") << "HTotal";

    // A broken file: its code, no message at run time, the old name and set stay.
    std::string broken = dir / "broken.hsp";
    testing_support::WriteFile(broken, "QHSP\x01");
    ASSERT_TRUE(Set(95, Variant::String(broken)).ok());
    EXPECT_EQ(control->m_QuixError, QUIX_E_FORMAT);
    EXPECT_EQ(Value(95), "BSTR \"" + good + "\"");
    EXPECT_EQ(Value(99), "I2 2");
    EXPECT_TRUE(boxes.empty());
    RunTime(false);
    ASSERT_TRUE(Set(95, Variant::String(dir / "missing.hsp")).ok());
    EXPECT_EQ(control->m_QuixError, QUIX_E_FILE);
    EXPECT_EQ(boxes,
              std::vector<std::string>{
                  "QuixShape Hotspot File Load Error: Could not process the hotspot file 48"});

    // DeleteHotspots empties the set but keeps the name; an empty name empties it too.
    RunTime(true);
    ASSERT_TRUE(Call(Id("DeleteHotspots")).ok());
    EXPECT_EQ(Value(99), "I2 0");
    EXPECT_EQ(Value(96), "I2 -1") << "HID without a set";
    EXPECT_EQ(Value(97), "BSTR \"\"");
    EXPECT_EQ(Value(98), "I2 -1");
    EXPECT_EQ(Value(95), "BSTR \"" + good + "\"");
    ASSERT_TRUE(Set(95, Variant::String(good)).ok());
    EXPECT_EQ(Value(99), "I2 2");
    control->m_QuixError = 9;
    ASSERT_TRUE(Set(95, Variant::String("")).ok());
    EXPECT_EQ(Value(99), "I2 0");
    EXPECT_EQ(control->m_QuixError, 9) << "untouched by an empty name";
    EXPECT_EQ(control->m_hHotspots, nullptr);
}

TEST_F(Output, HotspotsComeFromByteArraysAndAddHotspotAndAreSwitched) {
    RunTime(true);
    ASSERT_TRUE(Call(Id("HResource"), {ByteArray(HotspotSetBytes({{0, 0, 4, 4, 7}}))}).ok());
    EXPECT_EQ(control->m_QuixError, 0);
    EXPECT_EQ(Value(99), "I2 1");
    ASSERT_TRUE(Call(Id("HResource"), {ByteArray("QHSP")}).ok());
    EXPECT_EQ(control->m_QuixError, QUIX_E_FORMAT);
    EXPECT_EQ(Value(99), "I2 1") << "a broken array leaves the set";
    EXPECT_EQ(control->m_strHFileName, "") << "HResource names no file";

    ASSERT_TRUE(Call(Id("AddHotspot"), {Variant::I2(10), Variant::I2(10), Variant::I2(20),
                                        Variant::I2(30), Variant::I2(8), Variant::String("Door")})
                    .ok());
    EXPECT_EQ(control->m_QuixError, 0);
    EXPECT_EQ(Value(99), "I2 2");
    char name[32] = "";
    short id = 0, priority = 0;
    EXPECT_EQ(HotspotAt(control->m_nHotspots, control->m_hHotspots, 15, 15, name, sizeof name, &id,
                        &priority),
              QUIX_OK);
    EXPECT_EQ(id, 8);
    EXPECT_STREQ(name, "Door");

    // Switching: no value kept, no redraw; reading raises.
    Clear();
    ASSERT_TRUE(Set(93, Variant::I2(2)).ok());  // HDisable
    EXPECT_EQ(HotspotAt(control->m_nHotspots, control->m_hHotspots, 15, 15, name, sizeof name, &id,
                        &priority),
              QUIX_E_NOHOTSPOT);
    ASSERT_TRUE(Set(94, Variant::I2(2)).ok());  // HEnable
    EXPECT_EQ(HotspotAt(control->m_nHotspots, control->m_hHotspots, 15, 15, name, sizeof name, &id,
                        &priority),
              QUIX_OK);
    ASSERT_TRUE(Set(94, Variant::I2(40)).ok()) << "an index out of range is the library's";
    EXPECT_EQ(Redraws(), 0);
    EXPECT_EQ(Get(94).ErrorNumber(), 382u);
}

TEST_F(Output, DrawingAndPixelsActOnTheComposedBitmap) {
    RunTime(true);
    Compose(20, 10);
    control->SetControlSize(20, 10);
    Clear();
    ASSERT_TRUE(Call(Id("DrawLine"), {Variant::I2(0), Variant::I2(2), Variant::I2(10),
                                      Variant::I2(2), Variant::I4(0x0000FF)})
                    .ok());
    EXPECT_EQ(control->m_QuixError, 0);
    EXPECT_EQ(Redraws(), 1);
    EXPECT_EQ(Pixel(3, 2), 0x0000FF);
    EXPECT_EQ(Pixel(3, 3), 0xFFFFFF);

    // The control's settings go to the library: a filled box in the fill colour.
    ASSERT_TRUE(Set(Id("DrawFillStyle"), Variant::I2(0)).ok());
    ASSERT_TRUE(Set(Id("DrawFillColor"), Variant::I4(0x00FF00)).ok());
    ASSERT_TRUE(Call(Id("DrawLine"), {Variant::I2(12), Variant::I2(0), Variant::I2(16),
                                      Variant::I2(4), Variant::I4(0), Variant::Bool(true)})
                    .ok());
    EXPECT_EQ(Pixel(14, 2), 0x00FF00);
    EXPECT_EQ(Pixel(12, 0), 0);
    ASSERT_TRUE(Call(Id("DrawCircle"),
                     {Variant::I2(5), Variant::I2(6), Variant::I2(2), Variant::String("red")})
                    .ok());
    EXPECT_EQ(control->m_QuixError, QUIX_E_ARGUMENT) << "the library's answer, not an error";

    // SetPixelColor: a pixel at width 1, a dot of the pen's width above.
    ASSERT_TRUE(
        Call(Id("SetPixelColor"), {Variant::I2(18), Variant::I2(8), Variant::I4(0xFF0000)}).ok());
    EXPECT_EQ(Pixel(18, 8), 0xFF0000);
    EXPECT_EQ(Pixel(17, 8), 0xFFFFFF);
    ASSERT_TRUE(Set(Id("DrawWidth"), Variant::I2(3)).ok());
    control->m_QuixError = 5;
    ASSERT_TRUE(
        Call(Id("SetPixelColor"), {Variant::I2(5), Variant::I2(7), Variant::I4(0xFF0000)}).ok());
    EXPECT_EQ(control->m_QuixError, 0) << "DrawLine's result";
    EXPECT_EQ(Pixel(4, 7), 0xFF0000);
    EXPECT_EQ(Pixel(5, 8), 0xFF0000);
    ASSERT_TRUE(Call(Id("SetPixelColor"), {Variant::I2(1), Variant::I2(1)}).ok());
    EXPECT_EQ(Pixel(1, 1), 0xFFFFFF) << "no colour, no change";

    EXPECT_EQ(Pixel(-1, 0), -1);
    EXPECT_EQ(Pixel(19, 9), 0xFFFFFF);
    EXPECT_EQ(Pixel(21, 0), -1);

    // Without a composed bitmap.
    ASSERT_TRUE(Call(Id("DeleteCompose")).ok());
    EXPECT_EQ(Pixel(0, 0), -1);
    ASSERT_TRUE(Call(Id("DrawPie"), {Variant::I2(0), Variant::I2(0), Variant::I2(5), Variant::I2(5),
                                     Variant::I2(0), Variant::I2(90)})
                    .ok());
    EXPECT_EQ(control->m_QuixError, QUIX_E_NOIMAGE);
}

TEST_F(Output, PrintingNeedsRunTimeAndAComposedBitmap) {
    testing_support::TempDir out;
    std::string file = out / "control.pdf";
    HDC printer = CreateDCA(nullptr, kPdfPrinter, file.c_str(), nullptr);
    ASSERT_NE(printer, nullptr);
    auto handle = Variant::I4(static_cast<LONG>(reinterpret_cast<std::uintptr_t>(printer)));
    Compose(64, 32, BLACKNESS);
    ASSERT_TRUE(Set(58, handle).ok());
    EXPECT_EQ(control->m_QuixError, -300) << "design time";
    EXPECT_TRUE(Set(Id("PrinterWidth"), Variant::I4(300)).ok());
    EXPECT_EQ(Get(Id("PrinterWidth")).ErrorNumber(), 394u) << "read at design time";
    RunTime(true);
    EXPECT_EQ(Value(Id("PrinterWidth")), "I4 300");
    ASSERT_TRUE(Set(Id("PrinterLeft"), Variant::I4(75)).ok());
    ASSERT_TRUE(Set(Id("PrinterTop"), Variant::I4(150)).ok());
    ASSERT_TRUE(Set(Id("PrinterBanding"), Variant::Bool(true)).ok());
    ASSERT_TRUE(Set(58, handle).ok());
    EXPECT_EQ(control->m_QuixError, 0);
    EXPECT_EQ(Get(58).ErrorNumber(), 382u);
    EXPECT_GT(EndDoc(printer), 0);
    DeleteDC(printer);
    auto facts = testing_support::PdfFactsOf(testing_support::ReadFile(file));
    EXPECT_EQ(facts.pages.size(), 1u);
    EXPECT_EQ(facts.images, (std::vector<std::pair<int, int>>{{300, 150}}));

    ASSERT_TRUE(Call(Id("DeleteCompose")).ok());
    ASSERT_TRUE(Set(58, handle).ok());
    EXPECT_EQ(control->m_QuixError, -300) << "nothing composed";
}

TEST_F(Output, TheColourSetIsTheFramePicturesPalette) {
    LOGPALETTE* set = nullptr;
    EXPECT_FALSE(control->OnGetColorSet(nullptr, nullptr, &set)) << "no picture";
    // A bitmap with a palette of three colours in Frame2.
    struct {
        WORD version = 0x300, count = 3;
        PALETTEENTRY entries[3] = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
    } log;
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
    control->m_Frame[1].CreateFromBitmap(CreateBitmap(2, 2, 1, 32, nullptr), palette, TRUE);
    control->m_props.Frame = 2;
    ASSERT_TRUE(control->OnGetColorSet(nullptr, nullptr, &set));
    EXPECT_EQ(set->palVersion, 0x300);
    ASSERT_EQ(set->palNumEntries, 3);
    EXPECT_EQ(set->palPalEntry[2].peGreen, 80);
    CoTaskMemFree(set);
    control->m_props.Frame = 3;
    EXPECT_FALSE(control->OnGetColorSet(nullptr, nullptr, &set)) << "Frame3 is empty";
}

TEST_F(Output, TheCaptionIsMeasuredInOneLineWithTheMarginOfItsStyle) {
    RunTime(true);
    ASSERT_TRUE(Set(DISPID_CAPTION, Variant::String("")).ok());
    ASSERT_TRUE(Set(Id("FontDropX"), Variant::I2(-3)).ok());
    ASSERT_TRUE(Set(Id("FontDropY"), Variant::I2(4)).ok());
    ASSERT_TRUE(Set(Id("FontBlockSize"), Variant::I2(-5)).ok());
    auto measure = [&](const char* name) { return Get(Id(name)).value.get().iVal; };
    int plainHeight = measure("TextH");
    EXPECT_GT(plainHeight, 0) << "an empty caption still has the font's height";
    const int horizontal[9] = {0, 1, 2, 1, 2, 3, 5, 7, 4};
    const int vertical[9] = {0, 1, 2, 1, 2, 4, 5, 7, 5};
    for (short style = 0; style <= 8; ++style) {
        ASSERT_TRUE(Set(Id("Font3D"), Variant::I2(style)).ok());
        EXPECT_EQ(measure("TextW"), horizontal[style]) << style;
        EXPECT_EQ(measure("TextH"), plainHeight + vertical[style]) << style;
    }

    // A caption is measured in one line: CR LF does not break it.
    ASSERT_TRUE(Set(Id("Font3D"), Variant::I2(0)).ok());
    ASSERT_TRUE(Set(DISPID_CAPTION, Variant::String("Hello")).ok());
    int hello = measure("TextW");
    EXPECT_GT(hello, 10);
    ASSERT_TRUE(Set(DISPID_CAPTION, Variant::String("Hello\r\nHello")).ok());
    EXPECT_GE(measure("TextW"), 2 * hello);
    EXPECT_EQ(measure("TextH"), plainHeight);

    // FontScale takes FontHeight and FontWidth for a TrueType font only.
    ASSERT_TRUE(Call(Id("SetFontType"), {Variant::String("Arial")}).ok());
    ASSERT_TRUE(Set(Id("FontHeight"), Variant::I2(40)).ok());
    ASSERT_TRUE(Set(Id("FontScale"), Variant::Bool(true)).ok());
    EXPECT_EQ(measure("TextH"), 40);
    ASSERT_TRUE(Call(Id("SetFontType"), {Variant::String("MS Sans Serif")}).ok());
    EXPECT_LT(measure("TextH"), 40) << "a raster face keeps its size";
}
