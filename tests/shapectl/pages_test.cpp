// The control's eight property pages on a control at design time: each binding's exchange in
// both directions, the lists from the drawing library, the pages' special cases, and what Apply
// reports.
#include <gtest/gtest.h>

#include <QWidget>

#include "platform/com/activation.h"
#include "platform/ole/factory.h"
#include "platform/ole/propframe.h"
#include "platform/win/window.h"
#include "shapectl/ShapectlPages.h"
#include "tests/shapectl/control_fixture.h"

namespace shapectl_test {

namespace {

using platform::ole::DialogItemText;

class Pages : public ControlTest {
protected:
    void SetUp() override {
        ShapectlInstallResources();
        ControlTest::SetUp();
        platform::ole::SetMessageBoxPresenter(
            [this](HWND, const std::string& text, const std::string&, UINT) {
                messages.push_back(text);
                return IDOK;
            });
    }
    void TearDown() override {
        Close();
        platform::ole::SetMessageBoxPresenter({});
        SetDrawingLibraryName("quixcore.DLL");
        ControlTest::TearDown();
    }
    // The page of the class, editing the control, active in a window of the test.
    HWND Open(const CRuntimeClass* pageClass) {
        Close();
        CCmdTarget* made = pageClass->CreateObject();
        page = platform::com::ComPtr<IPropertyPage>::Attach(
            static_cast<IPropertyPage*>(made->GetInterface(IID_IPropertyPage)));
        IUnknown* object = host.Object();
        EXPECT_EQ(page->SetObjects(1, &object), S_OK);
        RECT rect{0, 0, 375, 178};
        EXPECT_EQ(page->Activate(platform::win::HandleOf(&parent), &rect, FALSE), S_OK);
        return platform::win::HandleOf(
            parent.findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    }
    void Close() {
        if (!page) return;
        page->Deactivate();
        page->SetObjects(0, nullptr);
        page.reset();
    }
    void SetProp(const char* name, const Variant& v) {
        auto r = Set(Id(name), v);
        ASSERT_TRUE(r.ok()) << name << ": " << r.description;
    }
    std::string Prop(const char* name) {
        auto r = Get(Id(name));
        return r.ok() ? r.value.ToString() : "error " + std::to_string(r.ErrorNumber());
    }
    // What a field shows: a list's entry, an edit box's text, a check box's state.
    static std::string Shown(HWND dlg, int id) {
        if (platform::ole::DialogItemKind(dlg, id) == "check") {
            return std::to_string(SendDlgItemMessageA(dlg, id, BM_GETCHECK, 0, 0));
        }
        return DialogItemText(dlg, id);
    }
    // The user's input: a list's entry index, an edit box's text, "click".
    static bool Work(HWND dlg, int id, const std::string& input) {
        std::string kind = platform::ole::DialogItemKind(dlg, id);
        if (kind == "list") return platform::ole::UserSelect(dlg, id, std::stoi(input));
        if (kind == "check" || kind == "button") return platform::ole::UserClick(dlg, id);
        return platform::ole::UserType(dlg, id, input);
    }

    QWidget parent;
    platform::com::ComPtr<IPropertyPage> page;
    std::vector<std::string> messages;
};

struct Binding {
    const CRuntimeClass* page;
    int id;
    const char* property;
    Variant start;
    const char* shown;
    const char* input;
    const char* written;
};

Variant S(SHORT v) {
    return Variant::I2(v);
}
Variant B(bool v) {
    return Variant::Bool(v);
}

const CRuntimeClass* const kGeneral = RUNTIME_CLASS(CShapectlPropPage);
const CRuntimeClass* const kBorder = RUNTIME_CLASS(CBorderPage);
const CRuntimeClass* const kDraw = RUNTIME_CLASS(DrawPPG);
const CRuntimeClass* const kEffects = RUNTIME_CLASS(CEffects);
const CRuntimeClass* const kFontStyle = RUNTIME_CLASS(CFontStyle);
const CRuntimeClass* const kMisc = RUNTIME_CLASS(CMiscellaneous);
const CRuntimeClass* const kShape = RUNTIME_CLASS(CShape);

// Every bound field but the hotspot file's: the value it shows for a property, and the value the
// user's input writes.
const Binding kBindings[] = {
    {kGeneral, 204, "Caption", Variant::String("Hello"), "Hello", "World", "World"},
    {kGeneral, 208, "CancelMode", S(3), "3 - Space Key", "9", "9"},
    {kGeneral, 205, "BackStyle", S(2), "2 - Translucent", "5", "5"},
    {kGeneral, 206, "BackFill", S(1), "1 - Captured Image", "2", "2"},
    {kGeneral, 207, "DesignStyle", S(0), "0 - Transparent", "1", "1"},
    {kGeneral, 210, "Overlay", B(true), "1", "click", "False"},
    {kGeneral, 211, "Preview", B(true), "1", "click", "False"},
    {kGeneral, 213, "AutoRedraw", B(false), "0", "click", "True"},
    {kGeneral, 215, "MultiEffect", B(false), "0", "click", "True"},
    {kGeneral, 212, "EffectCue", B(false), "0", "click", "True"},
    {kGeneral, 214, "EffectIncrement", B(false), "0", "click", "True"},
    {kBorder, 201, "BorderWidth", S(7), "7", "200", "200"},
    {kBorder, 203, "BInnerWidth", S(3), "3", "30", "30"},
    {kBorder, 202, "BOuterWidth", S(2), "2", " 1 ", "1"},
    {kBorder, 204, "BInnerStyle", S(4), "4 - Raised Gradient", "6", "6"},
    {kBorder, 205, "BOuterStyle", S(1), "1 - Inset", "0", "0"},
    {kDraw, 203, "DrawMode", S(7), "7 - Xor Pen", "16", "16"},
    {kDraw, 201, "DrawStyle", S(3), "3 - Dot", "5", "5"},
    {kDraw, 204, "DrawWidth", S(4), "4", "32767", "32767"},
    {kDraw, 206, "DrawFillStyle", S(6), "6 - Cross", "0", "0"},
    {kEffects, 224, "MEffect", S(22), "22 - Explode", "113", "113"},
    {kEffects, 205, "DEffect1", S(11), "11 - No Effect 1", "50", "50"},
    {kEffects, 206, "DEffect2", S(0), "0 - No Effect", "1", "1"},
    {kEffects, 207, "DEffect3", S(112), "112 - Horiz Interlace Slide", "2", "2"},
    {kEffects, 209, "TEffect", S(40), "40 - Checkerboard", "41", "41"},
    {kEffects, 210, "TStyle", S(7), "7 - Captured Image", "3", "3"},
    {kEffects, 230, "MDelay", S(10), "10", "255", "255"},
    {kEffects, 231, "MGrain", S(6), "6", "256", "256"},
    {kEffects, 208, "DMode", S(2), "2 - Double Pass", "3", "3"},
    {kEffects, 232, "TDelay", S(1), "1", "0", "0"},
    {kEffects, 235, "TGrain", S(2), "2", "1", "1"},
    {kEffects, 234, "WandWidth", S(3), "3", "256", "256"},
    {kEffects, 233, "Wand", B(false), "0", "click", "True"},
    {kEffects, 236, "TEnabled", B(false), "0", "click", "True"},
    {kEffects, 237, "TOnly", B(false), "0", "click", "True"},
    {kEffects, 212, "QuixEnabled", B(true), "1", "click", "False"},
    {kFontStyle, 208, "Alignment", S(4), "4 - Right Justify - MIDDLE", "8", "8"},
    {kFontStyle, 209, "Font3D", S(6), "6 - Block Shadow", "0", "0"},
    {kFontStyle, 201, "ForeStyle", S(0), "0 -Solid", "4", "4"},
    {kFontStyle, 203, "GStyle", S(10), "10 - Diagonal TL-BR To Center", "19", "19"},
    {kFontStyle, 214, "FontDropX", S(-3), "-3", "10", "10"},
    {kFontStyle, 202, "FontDropY", S(4), "4", "-10", "-10"},
    {kFontStyle, 204, "TextX", S(-10000), "-10000", "10000", "10000"},
    {kFontStyle, 205, "TextY", S(12), "12", "-1", "-1"},
    {kFontStyle, 211, "GSteps", S(2), "2", "256", "256"},
    {kFontStyle, 210, "FontBlockSize", S(-10), "-10", "0", "0"},
    {kFontStyle, 212, "WordWrap", B(true), "1", "click", "False"},
    {kFontStyle, 206, "FGStyle", S(5), "5 - Center To Outside", "6", "6"},
    {kFontStyle, 213, "FGSteps", S(100), "100", "3", "3"},
    {kMisc, 231, "PictureAlign", S(7), "7 - Center - MIDDLE", "1", "1"},
    {kMisc, 230, "MousePointer", S(11), "11 - Hourglass", "43", "43"},
    {kMisc, 237, "PictureX", S(-5), "-5", "9999", "9999"},
    {kMisc, 238, "PictureY", S(6), "6", "-10000", "-10000"},
    {kMisc, 235, "Notify", B(false), "0", "click", "True"},
    {kMisc, 236, "NotifyDelay", Variant::I4(65535), "65535", "0", "0"},
    {kMisc, 233, "PictureVisible", B(true), "1", "click", "False"},
    {kMisc, 213, "Transparent", B(false), "0", "click", "True"},
    {kMisc, 234, "Multitask", B(false), "0", "click", "True"},
    {kMisc, 239, "Persistence", B(true), "1", "click", "False"},
    {kMisc, 201, "ManagePalette", B(true), "1", "click", "False"},
    {kShape, 202, "Shape", S(17), "17 - Line", "8", "8"},
    {kShape, 208, "BorderStyle", S(0), "0 - Transparent", "2", "2"},
    {kShape, 207, "FillStyle", S(7), "7 - Diagonal Cross", "3", "3"},
    {kShape, 206, "ShadowStyle", S(1), "1 - Drop Shadow", "0", "0"},
};

}  // namespace

TEST_F(Pages, EachFieldShowsItsPropertyAndWritesWhatTheUserEnters) {
    for (const auto& b : kBindings) {
        SCOPED_TRACE(std::string(b.page->m_lpszClassName) + " " + b.property);
        SetProp(b.property, b.start);
        HWND dlg = Open(b.page);
        EXPECT_EQ(Shown(dlg, b.id), b.shown);
        EXPECT_EQ(page->IsPageDirty(), S_FALSE);
        ASSERT_TRUE(Work(dlg, b.id, b.input));
        EXPECT_EQ(page->IsPageDirty(), S_OK);
        Clear();
        EXPECT_EQ(page->Apply(), S_OK);
        EXPECT_EQ(Prop(b.property), b.written);
        for (DISPID changed : host.Site().changes) {
            EXPECT_EQ(changed, Id(b.property)) << "only the changed property is written";
        }
        EXPECT_TRUE(messages.empty());
    }
}

TEST_F(Pages, ListsOfTheDrawingLibraryHoldItsTextsAtTheirValues) {
    struct Filled {
        const CRuntimeClass* page;
        int id;
        LRESULT count;
        int index;
        const char* text;
    };
    const Filled lists[] = {{kGeneral, 208, 10, 8, "8 - Key Or Button"},
                            {kShape, 202, 18, 13, "13 - Diamond"},
                            {kEffects, 224, 114, 68, "68 - Clock"},
                            {kEffects, 209, 114, 69, "69 - Counterclockwise"},
                            {kEffects, 205, 114, 54, "54 - No Effect 10"},
                            {kEffects, 207, 114, 113, "113 - Vert Interlace Slide"},
                            {kFontStyle, 203, 20, 14, "14 - Ellipse To Center"},
                            {kFontStyle, 206, 20, 0, "0 - Left To Right"},
                            {kMisc, 230, 45, 44, "99 - Custom"}};
    for (const auto& l : lists) {
        SCOPED_TRACE(l.text);
        HWND dlg = Open(l.page);
        EXPECT_EQ(SendDlgItemMessageA(dlg, l.id, CB_GETCOUNT, 0, 0), l.count);
        char text[64] = "";
        SendDlgItemMessageA(dlg, l.id, CB_GETLBTEXT, static_cast<WPARAM>(l.index),
                            reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, l.text);
    }
}

TEST_F(Pages, WithoutTheDrawingLibraryTheListsWorkByIndex) {
    SetDrawingLibraryName("quixcore-missing.DLL");
    HWND dlg = Open(kEffects);
    for (int id : {224, 205, 206, 207, 209}) {
        EXPECT_EQ(SendDlgItemMessageA(dlg, id, CB_GETCOUNT, 0, 0), 114);
        EXPECT_EQ(SendDlgItemMessageA(dlg, id, CB_GETLBTEXTLEN, 5, 0), 0) << id;
    }
    EXPECT_EQ(SendDlgItemMessageA(dlg, 210, CB_GETCOUNT, 0, 0), 8) << "the dialog's own entries";
    ASSERT_TRUE(platform::ole::UserSelect(dlg, 224, 5));
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(Prop("MEffect"), "5");
}

TEST_F(Pages, TheCustomPointerIsTheLastEntryAndIsWrittenAs99) {
    SetProp("MousePointer", S(99));
    HWND dlg = Open(kMisc);
    EXPECT_EQ(SendDlgItemMessageA(dlg, 230, CB_GETCURSEL, 0, 0), 44);
    EXPECT_EQ(DialogItemText(dlg, 230), "99 - Custom");
    // Applying other changes writes nothing for the untouched list.
    SetProp("MousePointer", S(5));
    ASSERT_TRUE(platform::ole::UserType(dlg, 237, "3"));
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(Prop("MousePointer"), "5");
    EXPECT_EQ(Prop("PictureX"), "3");
    // Choosing the entry writes 99, not 44.
    ASSERT_TRUE(platform::ole::UserSelect(dlg, 230, 44));
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(Prop("MousePointer"), "99");
    EXPECT_EQ(SendDlgItemMessageA(dlg, 230, CB_GETCURSEL, 0, 0), 44);
}

TEST_F(Pages, DrawModeNoneWritesBlacknessAndStillShowsNone) {
    HWND dlg = Open(kDraw);
    EXPECT_EQ(DialogItemText(dlg, 203), "13 - Copy Pen");
    ASSERT_TRUE(platform::ole::UserSelect(dlg, 203, 0));
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(Prop("DrawMode"), "1");
    EXPECT_EQ(DialogItemText(dlg, 203), "0 - None") << "until the page is loaded again";
    HWND again = Open(kDraw);
    EXPECT_EQ(DialogItemText(again, 203), "1 - Blackness");
}

TEST_F(Pages, TheHotspotFileIsChosenInTheOpenDialog) {
    testing_support::WriteFile(dir / "spots.HSP", "no hotspots here");
    HWND dlg = Open(RUNTIME_CLASS(CHotspot));
    EXPECT_EQ(DialogItemText(dlg, 216), "");
    std::vector<std::string> dialogs;
    platform::ole::DialogAnswers answers;
    answers.files = {"", dir / "spots.HSP"};
    answers.onFileDialog = [&](const std::string& title, const std::string& answer) {
        dialogs.push_back(title + ": " + answer);
    };
    answers.Run([&] { ASSERT_TRUE(platform::ole::UserClick(dlg, 217)); });
    EXPECT_EQ(DialogItemText(dlg, 216), "") << "cancelled: unchanged";
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    answers.Run([&] { ASSERT_TRUE(platform::ole::UserClick(dlg, 217)); });
    EXPECT_EQ(dialogs, (std::vector<std::string>{"Select Hotspot File: cancelled",
                                                 "Select Hotspot File: " + (dir / "spots.HSP")}));
    EXPECT_EQ(DialogItemText(dlg, 216), dir / "spots.HSP");
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    // Apply hands the file to the control, which loads it (and says that it cannot).
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(messages, std::vector<std::string>{"Could not process the hotspot file"});
}

TEST_F(Pages, ApplyReportsARefusedValueAndWritesTheOthers) {
    HWND dlg = Open(kBorder);
    ASSERT_TRUE(platform::ole::UserType(dlg, 201, "300"));
    ASSERT_TRUE(platform::ole::UserSelect(dlg, 204, 2));
    ASSERT_TRUE(platform::ole::UserType(dlg, 202, "20"));
    EXPECT_EQ(page->Apply(), E_FAIL);
    EXPECT_EQ(messages, (std::vector<std::string>{"Only values between 0 and 255 are allowed."}));
    EXPECT_EQ(Prop("BorderWidth"), "1");
    EXPECT_EQ(Prop("BInnerStyle"), "2");
    EXPECT_EQ(Prop("BOuterWidth"), "20");
    EXPECT_EQ(page->IsPageDirty(), S_OK);

    // A number that is no whole number stops the Apply before anything is written.
    messages.clear();
    HWND effects = Open(kEffects);
    ASSERT_TRUE(platform::ole::UserSelect(effects, 224, 9));
    ASSERT_TRUE(platform::ole::UserType(effects, 230, "1.5"));
    EXPECT_EQ(page->Apply(), E_FAIL);
    EXPECT_EQ(messages, std::vector<std::string>{kParseIntMessage});
    EXPECT_EQ(Prop("MEffect"), "0");
}

TEST_F(Pages, TheControlListsItsPagesAndMapsItsHotspotFileToThatPage) {
    const CRuntimeClass* own[] = {
        kGeneral, kBorder, RUNTIME_CLASS(CHotspot), kEffects, kFontStyle, kMisc, kShape, kDraw};
    const int listed[] = {0, 4, 5, 6, 7, 8, 9, 10};  // their places in the control's list
    for (int i = 0; i < 8; ++i) {
        CCmdTarget* made = own[i]->CreateObject();
        CLSID clsid = GUID_NULL;
        static_cast<CShapePropertyPage*>(static_cast<COlePropertyPage*>(made))->GetClassID(&clsid);
        EXPECT_EQ(clsid, kShapectlPropPages[listed[i]]) << own[i]->m_lpszClassName;
        made->InternalRelease();
    }
    // Two of the pages, served in this process, in a frame that is asked to edit HFileName.
    COleObjectFactory general(CLSID_ShapectlPropPage, kGeneral, FALSE, nullptr);
    COleObjectFactory hotspot(CLSID_HotspotPage, RUNTIME_CLASS(CHotspot), FALSE, nullptr);
    DWORD cookies[2] = {};
    ASSERT_EQ(CoRegisterClassObject(CLSID_ShapectlPropPage, &general, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookies[0]),
              S_OK);
    ASSERT_EQ(CoRegisterClassObject(CLSID_HotspotPage, &hotspot, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookies[1]),
              S_OK);
    auto pages = platform::ole::PropertyFrame::PagesOf(host.Object());
    ASSERT_EQ(pages.size(), 11u);
    {
        platform::ole::PropertyFrame frame;
        ASSERT_EQ(frame.Open(nullptr, "Shape1", {host.Object()}, pages), S_OK);
        EXPECT_EQ(frame.PageCount(), 5) << "the two pages and the three stock pages";
        EXPECT_EQ(frame.PageTitle(0), "General");
        EXPECT_EQ(frame.PageTitle(4), "Hotspot");
        ASSERT_EQ(frame.EditProperty(Id("HFileName")), S_OK);
        EXPECT_EQ(frame.CurrentPage(), 4);
    }
    CoRevokeClassObject(cookies[0]);
    CoRevokeClassObject(cookies[1]);
}

}  // namespace shapectl_test
