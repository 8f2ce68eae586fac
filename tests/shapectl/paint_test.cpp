// The control in place on a form: what its paints show (reference pictures), the see-through
// repaint, the composed bitmap of Capture, the caption's measure and the shape region.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <memory>

#include "hosts/testcontainer/form.h"
#include "platform/gdi/qt.h"
#include "platform/ole/oleauto.h"
#include "platform/win/paint.h"
#include "tests/shapectl/control_fixture.h"
#include "tests/support/reference_image.h"

using namespace shapectl_test;
using platform::com::ComPtr;

namespace {

constexpr COLORREF kFormColour = RGB(0, 128, 128);
constexpr RECT kPlace{10, 10, 130, 90};  // 120 x 80

// A bitmap picture of 24 x 16: a red and blue checkerboard of 4-pixel squares with a white
// 8 x 4 bar at the top left.
ComPtr<IDispatch> Checkerboard() {
    QImage image(24, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            bool red = ((x / 4) + (y / 4)) % 2 == 0;
            image.setPixel(x, y, red ? qRgb(200, 0, 0) : qRgb(0, 0, 200));
            if (x < 8 && y < 4) image.setPixel(x, y, qRgb(255, 255, 255));
        }
    }
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = platform::gdi::BitmapFromImage(image);
    ComPtr<IDispatch> p;
    OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, p.outVoid());
    return p;
}

// A property set by name: a whole number, a colour (0x00BBGGRR), a flag, a text or a picture.
struct Prop {
    const char* name;
    Variant value;
};
Prop N(const char* name, int v) {
    return {name, Variant::I2(static_cast<SHORT>(v))};
}
Prop Colour(const char* name, COLORREF c) {
    return {name, Variant::I4(static_cast<LONG>(c))};
}
Prop Flag(const char* name, bool v) {
    return {name, Variant::Bool(v)};
}
Prop Caption(const char* text) {
    return {"Caption", Variant::String(text)};
}
Prop WithPicture() {
    return {"Picture", Variant::Dispatch(Checkerboard().get())};
}

}  // namespace

class Painted : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        form = std::make_unique<testcontainer::Form>(140, 100, kFormColour);
        Settle();
    }
    void TearDown() override {
        ControlTest::TearDown();
        form.reset();
    }
    // In place on the form at run time, with the properties set before it shows.
    void PlaceWith(const std::vector<Prop>& props, bool run = true) {
        RunTime(run);
        for (const Prop& p : props) {
            ASSERT_TRUE(Set(Id(p.name), p.value).ok()) << p.name;
        }
        ASSERT_EQ(host.Activate(form->Handle(), kPlace), S_OK);
        form->AdoptWindow(host.Window());
        Settle();
    }
    QImage Shown() {
        Settle();
        return form->Picture(kPlace);
    }

    std::unique_ptr<testcontainer::Form> form;
};

// The look of one set of properties, compared with its reference picture.
struct Look {
    std::string name;
    std::vector<Prop> props;
    bool text = false;  // drawn with a font: compared within a tolerance
};

std::ostream& operator<<(std::ostream& os, const Look& l) {
    return os << l.name;
}

namespace {

// The common face of the shape cases: an opaque yellow back, a blue fill where a fill style
// fills, a red two-pixel border.
std::vector<Prop> Base(std::vector<Prop> more) {
    std::vector<Prop> all = {N("BackStyle", 1),
                             Colour("BackColor", RGB(255, 255, 0)),
                             Colour("FillColor", RGB(0, 0, 255)),
                             N("FillStyle", 1),
                             Colour("BorderColor", RGB(255, 0, 0)),
                             N("BorderWidth", 2)};
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

std::vector<Look> AllLooks() {
    std::vector<Look> looks;
    for (int shape = 0; shape <= 17; ++shape) {
        looks.push_back({"shape-" + std::to_string(shape), Base({N("Shape", shape)})});
    }
    // Border styles (thin, so that the dashes show) and fill styles, on an oval and a rectangle.
    for (int style = 0; style <= 5; ++style) {
        looks.push_back({"border-style-" + std::to_string(style),
                         Base({N("Shape", 2), N("BorderWidth", 1), N("BorderStyle", style)})});
    }
    looks.push_back({"border-wide-star", Base({N("Shape", 7), N("BorderWidth", 5)})});
    for (int style = 0; style <= 7; ++style) {
        looks.push_back(
            {"fill-style-" + std::to_string(style), Base({N("Shape", 4), N("FillStyle", style)})});
    }
    const COLORREF dark = RGB(64, 64, 64), light = RGB(230, 230, 230);
    for (int style = 1; style <= 6; ++style) {
        looks.push_back({"bevel-outer-" + std::to_string(style),
                         Base({N("BOuterStyle", style), N("BOuterWidth", 6),
                               Colour("BOuterColor1", dark), Colour("BOuterColor2", light)})});
        looks.push_back({"bevel-inner-" + std::to_string(style),
                         Base({N("BInnerStyle", style), N("BInnerWidth", 5),
                               Colour("BInnerColor1", dark), Colour("BInnerColor2", light)})});
    }
    looks.push_back(
        {"bevel-outer-oval", Base({N("Shape", 2), N("BOuterStyle", 1), N("BOuterWidth", 3),
                                   Colour("BOuterColor1", dark), Colour("BOuterColor2", light)})});
    for (int style = 0; style <= 19; ++style) {
        looks.push_back(
            {"gradient-" + std::to_string(style),
             Base({N("BackStyle", 3), N("GStyle", style), N("GSteps", 8),
                   Colour("GColor1", RGB(255, 0, 0)), Colour("GColor2", RGB(0, 0, 255))})});
    }
    for (int style = 0; style <= 5; ++style) {
        looks.push_back(
            {"back-style-" + std::to_string(style),
             Base({N("Shape", 3), N("BackStyle", style), WithPicture(), N("PictureAlign", 6),
                   N("GSteps", 8), Colour("GColor1", RGB(255, 255, 255)),
                   Colour("GColor2", RGB(0, 160, 0))})});
    }
    for (int style = 0; style <= 4; ++style) {
        looks.push_back(
            {"fore-style-" + std::to_string(style),
             Base({N("ForeStyle", style), WithPicture(), N("PictureVisible", 0), Caption("WWW"),
                   N("FontSize", 28), Flag("FontBold", true), N("Alignment", 7), N("FGSteps", 6),
                   Colour("FGColor1", RGB(255, 0, 255)), Colour("FGColor2", RGB(0, 255, 0))}),
             true});
    }
    looks.push_back(
        {"shadow-rectangle", Base({N("ShadowStyle", 1), N("ShadowDropX", 6), N("ShadowDropY", 4),
                                   Colour("ShadowColor", RGB(64, 64, 64))})});
    looks.push_back({"shadow-oval-up-left",
                     Base({N("Shape", 2), N("ShadowStyle", 1), N("ShadowDropX", -5),
                           N("ShadowDropY", -3), Colour("ShadowColor", RGB(64, 64, 64))})});
    looks.push_back(
        {"shadow-star", Base({N("Shape", 7), N("ShadowStyle", 1), N("ShadowDropX", 4),
                              N("ShadowDropY", 6), Colour("ShadowColor", RGB(64, 64, 64))})});
    for (int style = 0; style <= 8; ++style) {
        looks.push_back(
            {"font3d-" + std::to_string(style),
             Base({N("Font3D", style), Caption("3-D"), N("FontSize", 20), N("Alignment", 7),
                   N("FontDropX", 3), N("FontDropY", 2), N("FontBlockSize", 3),
                   Colour("ForeColor", RGB(0, 0, 128)), Colour("Font3DColor1", RGB(255, 255, 255)),
                   Colour("Font3DColor2", RGB(128, 128, 128)),
                   Colour("FontShadowColor", RGB(0, 0, 0)),
                   Colour("FontOutlineColor", RGB(255, 0, 0))}),
             true});
    }
    for (int align = 0; align <= 8; ++align) {
        looks.push_back(
            {"picture-align-" + std::to_string(align),
             Base({WithPicture(), N("PictureAlign", align), N("PictureX", 2), N("PictureY", 1)})});
    }
    looks.push_back({"picture-transparent",
                     Base({WithPicture(), N("PictureAlign", 7), Flag("Transparent", true),
                           Colour("TransparentColor", RGB(255, 255, 255))})});
    looks.push_back({"picture-tiled", Base({WithPicture(), N("BackStyle", 5)})});
    return looks;
}

}  // namespace

class Looks : public Painted, public ::testing::WithParamInterface<Look> {};

TEST_P(Looks, AreDrawnAsTheirReferencePicture) {
    PlaceWith(GetParam().props);
    testing_support::Tolerance tolerance;
    if (GetParam().text) tolerance = {16, 0.02};  // fonts: a few pixels may differ
    EXPECT_TRUE(
        testing_support::MatchesReference(Shown(), "shapectl/" + GetParam().name, tolerance));
}

INSTANTIATE_TEST_SUITE_P(Control, Looks, ::testing::ValuesIn(AllLooks()), [](const auto& info) {
    std::string n = info.param.name;
    for (char& c : n) {
        if (c == '-') c = '_';
    }
    return n;
});

TEST_F(Painted, ASeeThroughControlShowsTheFormBehindIt) {
    // BackStyle 0: the square's back colour is the key that lets the form show; the blue
    // hatching and the border stay.
    PlaceWith({N("BackStyle", 0), N("Shape", 0), N("FillStyle", 6),
               Colour("FillColor", RGB(0, 0, 255)), N("BorderWidth", 3)});
    QImage shown = Shown();
    EXPECT_TRUE(testing_support::MatchesReference(shown, "shapectl/see-through"));
    // Between the hatch lines the form's colour shows.
    EXPECT_EQ(shown.pixel(60, 41) & 0xFFFFFF, 0x008080u);
    // A later change composes again over what the parent repainted, not over the old image.
    ASSERT_TRUE(Set(Id("FillStyle"), Variant::I2(1)).ok());
    EXPECT_EQ(Shown().pixel(60, 40) & 0xFFFFFF, 0x008080u);
}

TEST_F(Painted, TheCustomShapeFillsTheOutlineOfTheHotspotHShapeNames) {
    std::string file = dir / "spots.hsp";
    testing_support::WriteFile(file, HotspotSetBytes({{10, 10, 40, 30, 3}, {60, 40, 100, 70, 5}}));
    PlaceWith(Base(
        {{"HFileName", Variant::String(file)}, N("Shape", 16), N("HShape", 5), N("FillStyle", 0)}));
    QImage shown = Shown();
    EXPECT_EQ(shown.pixel(80, 55) & 0xFFFFFF, 0x0000FFu) << "inside the chosen hotspot";
    EXPECT_NE(shown.pixel(25, 20) & 0xFFFFFF, 0x0000FFu) << "the other hotspot is not drawn";
    EXPECT_NE(shown.pixel(5, 75) & 0xFFFFFF, 0x0000FFu);
    // Shape 17 leaves the outline open: a line along the edge, nothing filled.
    form = std::make_unique<testcontainer::Form>(140, 100, kFormColour);
    Make(false);
    PlaceWith(Base(
        {{"HFileName", Variant::String(file)}, N("Shape", 17), N("HShape", 5), N("FillStyle", 0)}));
    shown = Shown();
    EXPECT_NE(shown.pixel(80, 55) & 0xFFFFFF, 0x0000FFu);
    bool edge = false;
    for (int y = 39; y <= 43; ++y) edge = edge || (shown.pixel(80, y) & 0xFFFFFF) == 0xFF0000u;
    EXPECT_TRUE(edge) << "the border colour along the hotspot's top edge";
    // An id no hotspot has draws no outline.
    form = std::make_unique<testcontainer::Form>(140, 100, kFormColour);
    Make(false);
    PlaceWith(Base(
        {{"HFileName", Variant::String(file)}, N("Shape", 16), N("HShape", 9), N("FillStyle", 0)}));
    EXPECT_NE(Shown().pixel(80, 55) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(Painted, ASeeThroughPaintWaitsForTheParentOnceThenComposes) {
    PlaceWith({N("BackStyle", 2), Colour("BackColor", RGB(255, 255, 0))});
    HWND window = host.Window();
    int before = platform::win::PaintCount(window);
    // A repaint that InvalidateWithBackground did not prepare (the window uncovered) posts the
    // deferred paint and draws nothing; the paint that follows composes.
    InvalidateRect(window, nullptr, TRUE);
    Settle();
    EXPECT_EQ(platform::win::PaintCount(window) - before, 2);
    QRgb p = Shown().pixel(60, 40);
    EXPECT_EQ(p & 0xFFFFFF, qRgb((255 + 0) / 2, (255 + 128) / 2, (0 + 128) / 2) & 0xFFFFFF);
}

TEST_F(Painted, UpdateFalseAtRunTimeLeavesTheScreenAsItWas) {
    PlaceWith({N("BackStyle", 1), Colour("BackColor", RGB(255, 255, 0))});
    ASSERT_TRUE(Set(Id("Update"), Variant::Bool(false)).ok());
    ASSERT_TRUE(Set(Id("BackColor"), Variant::I4(RGB(0, 255, 0))).ok());
    InvalidateRect(host.Window(), nullptr, TRUE);
    EXPECT_EQ(Shown().pixel(60, 40) & 0xFFFFFF, 0xFFFF00u);
}

TEST_F(Painted, CaptureComposesCopiesAndDeletesAtRunTimeOnly) {
    PlaceWith({N("BackStyle", 1), Colour("BackColor", RGB(255, 255, 0)), N("Shape", 0)}, false);
    const DISPID capture = Id("Capture");
    // At design time Capture 3 stays 3 and composes nothing.
    ASSERT_TRUE(Set(capture, Variant::I2(3)).ok());
    EXPECT_EQ(Value(capture), "I2 3");
    EXPECT_EQ(control->m_hComposed, nullptr);
    RunTime(true);
    // Capture 4 with nothing composed: -300 and Capture stays 4.
    ASSERT_TRUE(Set(capture, Variant::I2(4)).ok());
    EXPECT_EQ(Value(capture), "I2 4");
    EXPECT_EQ(Value(Id("QuixError")), "I2 -300");
    // Capture 3 composes the control into the composed bitmap and falls back to 0.
    ASSERT_TRUE(Set(capture, Variant::I2(3)).ok());
    EXPECT_EQ(Value(capture), "I2 0");
    ASSERT_NE(control->m_hComposed, nullptr);
    QImage composed = platform::gdi::ImageOf(control->m_hComposed);
    EXPECT_EQ(composed.size(), QSize(120, 80));
    EXPECT_EQ(composed.pixel(60, 40) & 0xFFFFFF, 0xFFFF00u);
    // Capture 4 copies it into Picture, which shows at the next paint.
    ASSERT_TRUE(Set(capture, Variant::I2(4)).ok());
    EXPECT_EQ(control->m_Picture.GetType(), PICTYPE_BITMAP);
    EXPECT_NE(Value(Id("hBmp")), "I4 0");
    // Capture 2 deletes the composed bitmap and stays 2.
    ASSERT_TRUE(Set(capture, Variant::I2(2)).ok());
    EXPECT_EQ(control->m_hComposed, nullptr);
    EXPECT_EQ(Value(capture), "I2 2");
    // Capture 5 captures what the screen shows behind the control: the form's colour.
    ASSERT_TRUE(Set(capture, Variant::I2(5)).ok());
    EXPECT_EQ(Value(capture), "I2 0");
    ASSERT_NE(control->m_hComposed, nullptr);
    EXPECT_EQ(platform::gdi::ImageOf(control->m_hComposed).pixel(3, 3) & 0xFFFFFF, 0x008080u);
}

TEST_F(Painted, BackFillOneShowsTheComposedImageOrReportsThatThereIsNone) {
    PlaceWith({N("BackStyle", 0), N("BackFill", 1), N("FillStyle", 1)});
    EXPECT_EQ(Value(Id("QuixError")), "I2 -300");
    // The composed image (here: a capture of the form) becomes what lies behind the control.
    ASSERT_TRUE(Set(Id("Capture"), Variant::I2(5)).ok());
    ASSERT_NE(control->m_hComposed, nullptr);
    ASSERT_TRUE(Call(DISPID_REFRESH).ok());
    EXPECT_EQ(Shown().pixel(60, 40) & 0xFFFFFF, 0x008080u);
}

TEST_F(Painted, TheShapeRegionIsTheLastComposedShape) {
    RunTime(true);
    EXPECT_EQ(Value(Id("OnShape")), "BOOL False");  // no paint yet
    // Shape 1 in a 120 x 80 control: an 80 x 80 square from x = 20.
    PlaceWith({N("BackStyle", 1), N("Shape", 1), N("BorderWidth", 0)});
    HRGN region = control->m_hShapeRgn;
    ASSERT_NE(region, nullptr);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 20);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.bottom, 80);
    // The drop shadow adds nothing; a circle's corners are outside it.
    ASSERT_TRUE(Set(Id("Shape"), Variant::I2(3)).ok());
    ASSERT_TRUE(Set(Id("ShadowStyle"), Variant::I2(1)).ok());
    Shown();
    EXPECT_TRUE(PtInRegion(control->m_hShapeRgn, 59, 39));
    EXPECT_FALSE(PtInRegion(control->m_hShapeRgn, 21, 1));
    EXPECT_FALSE(PtInRegion(control->m_hShapeRgn, 99, 79));
}

TEST_F(Painted, TheCaptionIsMeasuredInTheControlsFontWithTheMarginOfItsStyle) {
    RunTime(true);
    // An empty caption is the margin alone.
    ASSERT_TRUE(Set(DISPID_CAPTION, Variant::String("")).ok());
    ASSERT_TRUE(Set(Id("Font3D"), Variant::I2(8)).ok());
    ASSERT_TRUE(Set(Id("FontDropX"), Variant::I2(-4)).ok());
    EXPECT_EQ(Value(Id("TextW")), "I2 5");
    // The text's size in the stock font (MS Sans Serif 8.25 points: DejaVu Sans of 11 pixels).
    ASSERT_TRUE(Set(Id("Font3D"), Variant::I2(0)).ok());
    ASSERT_TRUE(Set(DISPID_CAPTION, Variant::String("Shape")).ok());
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE expected{};
    GetTextExtentPoint32(dc, "Shape", 5, &expected);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    EXPECT_GT(expected.cx, 20);
    EXPECT_EQ(Value(Id("TextW")), "I2 " + std::to_string(expected.cx));
    EXPECT_EQ(Value(Id("TextH")), "I2 " + std::to_string(expected.cy));
    // A bigger font measures bigger; TextW is read only at run time.
    ASSERT_TRUE(Set(Id("FontSize"), Variant::R4(20)).ok());
    EXPECT_GT(Get(Id("TextW")).value.get().iVal, expected.cx * 2);
    RunTime(false);
    EXPECT_FALSE(Get(Id("TextW")).ok());
}

TEST_F(Painted, ThePaintNotifyControlOnlyFiresItsEvent) {
    PlaceWith(
        {N("BackStyle", 1), Colour("BackColor", RGB(255, 255, 0)), Flag("PaintNotify", true)});
    bool fired = false;
    for (const auto& e : host.Events().events) fired = fired || e.id == 5;
    EXPECT_TRUE(fired);
    EXPECT_EQ(Shown().pixel(60, 40) & 0xFFFFFF, 0x008080u);  // nothing painted
}
