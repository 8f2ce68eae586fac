// Property pages of the class library and the container's property frame, on the framework's
// test control: the exchange with the objects, what Apply writes and reports, and the stock
// colour, font and picture pages.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QImage>
#include <QWidget>

#include "platform/com/activation.h"
#include "platform/com/dispatch.h"
#include "platform/com/object.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/propframe.h"
#include "platform/ole/proppage.h"
#include "platform/ole/site.h"
#include "platform/win/window.h"
#include "tests/platform/ole/test_control.h"
#include "tests/support/test_support.h"

using ole_test::TestControl;
using platform::com::ComPtr;
using platform::com::Variant;
using platform::ole::DialogItemText;
using platform::ole::UserClick;
using platform::ole::UserSelect;
using platform::ole::UserType;

namespace {

// A page of the test control's caption (text), level (number) and flag (check box).
const DialogTemplate kTestPage{
    "",
    200,
    60,
    {{DialogItem::Edit, 101, "", 5, 5, 80, 12, WS_BORDER},
     {DialogItem::Edit, 102, "", 5, 20, 30, 12, WS_BORDER},
     {DialogItem::CheckBox, 103, "Flag", 5, 35, 50, 10, BS_AUTOCHECKBOX}},
    WS_CHILD};

class TestPage : public COlePropertyPage {
    DECLARE_DYNCREATE(TestPage)

public:
    TestPage() : COlePropertyPage(kTestPage, "Test") { SetHelpInfo("Test Help", "test.hlp", 7); }
    std::string caption;
    int level = 0, flag = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDP_Text(pDX, 101, caption, "Caption");
        DDX_Text(pDX, 101, caption);
        DDP_Text(pDX, 102, level, "Level");
        DDX_Text(pDX, 102, level);
        DDP_Check(pDX, 103, flag, "Flag");
        DDX_Check(pDX, 103, flag);
        DDP_PostProcessing(pDX);
    }
};
IMPLEMENT_DYNCREATE(TestPage)

constexpr CLSID kTestPageClsid{0x5E0D0010, 0, 0x4000, {0x80, 0, 0, 0, 0, 0x0A, 0x11, 0xCE}};

// Makes the test page creatable by its class id, for the frame.
class TestPageFactory final : public platform::com::UncountedObject<IClassFactory> {
public:
    void* GetInterface(REFIID riid) override {
        return riid == IID_IUnknown || riid == IID_IClassFactory ? static_cast<IClassFactory*>(this)
                                                                 : nullptr;
    }
    HRESULT CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
        CCmdTarget* page = RUNTIME_CLASS(TestPage)->CreateObject();
        HRESULT hr = page->ExternalQueryInterface(riid, ppv);
        page->InternalRelease();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};

// What the frame hears from a page.
class Site final : public platform::com::Object<IPropertyPageSite> {
public:
    void* GetInterface(REFIID riid) override {
        return riid == IID_IUnknown || riid == IID_IPropertyPageSite
                   ? static_cast<IPropertyPageSite*>(this)
                   : nullptr;
    }
    HRESULT OnStatusChange(DWORD flags) override {
        statuses.push_back(flags);
        return S_OK;
    }
    HRESULT GetLocaleID(LCID* p) override { return platform::com::GiveOut(p, 0x409); }
    HRESULT GetPageContainer(IUnknown**) override { return E_NOTIMPL; }
    std::vector<DWORD> statuses;
};

struct Hosted {
    TestControl* control = new TestControl();
    platform::ole::HostedControl host;
    Hosted() {
        host.Attach(control->GetControllingUnknown(), "Test1", false);
        control->InternalRelease();
        host.InitNew();
    }
};

class Pages : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ole::SetMessageBoxPresenter(
            [this](HWND, const std::string& text, const std::string&, UINT) {
                messages.push_back(text);
                return IDOK;
            });
        a.control->SetText("First");
        a.control->level = 3;
        a.control->flag = TRUE;
    }
    void TearDown() override {
        if (page) {
            page->Deactivate();
            page->SetObjects(0, nullptr);
            page->SetPageSite(nullptr);
        }
        platform::ole::SetMessageBoxPresenter({});
    }
    // The test page for the objects, active in the parent window.
    void Open(std::vector<IUnknown*> objects) {
        page = ComPtr<IPropertyPage>::Attach(
            static_cast<IPropertyPage*>((new TestPage())->GetInterface(IID_IPropertyPage)));
        ASSERT_EQ(page->SetPageSite(site.get()), S_OK);
        ASSERT_EQ(page->SetObjects(static_cast<ULONG>(objects.size()), objects.data()), S_OK);
        RECT rect{0, 0, 300, 100};
        ASSERT_EQ(page->Activate(platform::win::HandleOf(&parent), &rect, FALSE), S_OK);
        dlg = platform::win::HandleOf(
            parent.findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    }

    Hosted a, b;
    QWidget parent;
    ComPtr<Site> site = platform::com::MakeObject<Site>();
    ComPtr<IPropertyPage> page;
    HWND dlg = nullptr;
    std::vector<std::string> messages;
};

}  // namespace

TEST_F(Pages, LoadFromTheFirstObjectAndWriteOnlyWhatTheUserChanged) {
    Open({a.host.Object()});
    EXPECT_EQ(DialogItemText(dlg, 101), "First");
    EXPECT_EQ(DialogItemText(dlg, 102), "3");
    EXPECT_EQ(SendDlgItemMessageA(dlg, 103, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE) << "loading changes nothing";
    EXPECT_TRUE(site->statuses.empty());

    a.control->flag = FALSE;  // changed behind the page's back
    ASSERT_TRUE(UserType(dlg, 102, "5"));
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    EXPECT_EQ(site->statuses, std::vector<DWORD>{PROPPAGESTATUS_DIRTY});
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(a.control->level, 5);
    EXPECT_FALSE(a.control->flag) << "the untouched check box writes nothing";
    EXPECT_EQ(a.control->InternalGetText(), "First");
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);

    a.control->level = 1;
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(a.control->level, 1) << "an applied change is not written again";
}

TEST_F(Pages, WriteToEveryObjectAndReportARefusedValue) {
    Open({a.host.Object(), b.host.Object()});
    ASSERT_TRUE(UserType(dlg, 101, "Both"));
    ASSERT_TRUE(UserType(dlg, 102, "11"));  // Level takes 0 to 10
    ASSERT_TRUE(UserClick(dlg, 103));
    EXPECT_EQ(page->Apply(), E_FAIL);
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Invalid property value.", "Invalid property value."}));
    EXPECT_EQ(a.control->InternalGetText(), "Both");
    EXPECT_EQ(b.control->InternalGetText(), "Both");
    EXPECT_FALSE(a.control->flag);
    EXPECT_FALSE(b.control->flag);
    EXPECT_EQ(a.control->level, 3);
    EXPECT_EQ(page->IsPageDirty(), S_OK) << "the refused field stays changed";

    messages.clear();
    ASSERT_TRUE(UserType(dlg, 102, "10"));
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(a.control->level, 10);
    EXPECT_EQ(b.control->level, 10);
}

TEST_F(Pages, ATypedNumberThatIsNoWholeNumberStopsTheApply) {
    Open({a.host.Object()});
    ASSERT_TRUE(UserType(dlg, 101, "Changed"));
    ASSERT_TRUE(UserType(dlg, 102, "4.5"));
    EXPECT_EQ(page->Apply(), E_FAIL);
    EXPECT_EQ(messages, std::vector<std::string>{kParseIntMessage});
    EXPECT_EQ(a.control->InternalGetText(), "First") << "nothing is written";
    EXPECT_EQ(a.control->level, 3);
}

TEST_F(Pages, DescribeThemselvesAndFindAPropertysControl) {
    Open({a.host.Object()});
    PROPPAGEINFO info{};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(platform::com::Utf8FromWide(info.pszTitle), "Test");
    EXPECT_EQ(platform::com::Utf8FromWide(info.pszDocString), "Test Help");
    EXPECT_EQ(platform::com::Utf8FromWide(info.pszHelpFile), "test.hlp");
    EXPECT_EQ(info.dwHelpContext, 7u);
    EXPECT_EQ(info.size.cx, DialogUnitsToPixelsX(200));
    EXPECT_EQ(info.size.cy, DialogUnitsToPixelsY(60));
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);
    auto page2 = page.Query<IPropertyPage2>(IID_IPropertyPage2);
    ASSERT_TRUE(page2);
    EXPECT_EQ(page2->EditProperty(2), S_OK);  // Level
    EXPECT_EQ(page2->EditProperty(5), E_NOTIMPL) << "no control of the page edits Picture";
    // New objects are loaded at once.
    b.control->level = 7;
    IUnknown* other = b.host.Object();
    ASSERT_EQ(page->SetObjects(1, &other), S_OK);
    EXPECT_EQ(DialogItemText(dlg, 102), "7");
}

// ---- the frame and the stock pages ----

namespace {

class Frame : public Pages {
protected:
    void SetUp() override {
        Pages::SetUp();
        static TestPageFactory factory;
        static DWORD cookie = 0;
        if (!cookie) {
            ASSERT_EQ(CoRegisterClassObject(kTestPageClsid, &factory, CLSCTX_INPROC_SERVER,
                                            REGCLS_MULTIPLEUSE, &cookie),
                      S_OK);
        }
    }
    void TearDown() override {
        frame.Close();
        Pages::TearDown();
    }
    void OpenFrame(const std::vector<CLSID>& pages) {
        ASSERT_EQ(frame.Open(nullptr, "Test1 Properties", {a.host.Object()}, pages), S_OK);
    }
    HWND Shown() { return frame.PageWindow(frame.CurrentPage()); }

    platform::ole::PropertyFrame frame;
};

constexpr CLSID kNoSuchPage{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};

}  // namespace

TEST_F(Frame, MakesThePagesItCanAndActivatesEachWhenItIsShown) {
    OpenFrame({kTestPageClsid, CLSID_CColorPropPage, kNoSuchPage, CLSID_CFontPropPage,
               CLSID_CPicturePropPage});
    ASSERT_EQ(frame.PageCount(), 4);
    EXPECT_EQ(frame.PageTitle(0), "Test");
    EXPECT_EQ(frame.PageTitle(1), "Color");
    EXPECT_EQ(frame.PageTitle(2), "Font");
    EXPECT_EQ(frame.PageTitle(3), "Picture");
    ASSERT_EQ(frame.Problems().size(), 1u);
    EXPECT_NE(frame.Problems()[0].find("{00000001-0002-0003-0405-060708090A0B}"),
              std::string::npos);
    EXPECT_EQ(frame.CurrentPage(), 0);
    EXPECT_NE(frame.PageWindow(0), nullptr);
    EXPECT_EQ(frame.PageWindow(1), nullptr) << "not shown yet";
    ASSERT_EQ(frame.SelectPage(2), S_OK);
    EXPECT_NE(frame.PageWindow(2), nullptr);
    // The test control maps its font to the stock font page.
    ASSERT_EQ(frame.SelectPage(0), S_OK);
    ASSERT_EQ(frame.EditProperty(DISPID_FONT), S_OK);
    EXPECT_EQ(frame.CurrentPage(), 2);
    EXPECT_EQ(frame.EditProperty(2), PERPROP_E_NOPAGEAVAILABLE);
}

TEST_F(Frame, OkAppliesAndClosesUnlessAPageCouldNotApply) {
    OpenFrame({kTestPageClsid});
    auto* ok = frame.Widget()->findChild<QAbstractButton*>("OK");
    auto* apply = frame.Widget()->findChild<QAbstractButton*>("Apply");
    ASSERT_TRUE(ok && apply);
    frame.Show();
    EXPECT_FALSE(apply->isEnabled());
    ASSERT_TRUE(UserType(Shown(), 102, "12"));
    EXPECT_TRUE(apply->isEnabled());
    EXPECT_TRUE(frame.IsDirty());
    ok->click();
    EXPECT_TRUE(frame.Widget()->isVisible()) << "the refused level keeps the frame open";
    EXPECT_EQ(messages, std::vector<std::string>{"Invalid property value."});
    ASSERT_TRUE(UserType(Shown(), 102, "2"));
    ok->click();
    EXPECT_FALSE(frame.Widget()->isVisible());
    EXPECT_EQ(a.control->level, 2);
}

TEST_F(Frame, TheColorPageSetsAColourPropertyFromTheStandardColoursOrAsTyped) {
    a.control->tint = 0x123456;
    OpenFrame({CLSID_CColorPropPage});
    HWND color = Shown();
    EXPECT_EQ(DialogItemText(color, 1001), "Tint") << "the one colour property";
    EXPECT_EQ(DialogItemText(color, 1002), "&H00123456&");
    ASSERT_TRUE(UserClick(color, 1019));  // red, the tenth standard colour
    EXPECT_EQ(DialogItemText(color, 1002), "&H000000FF&");
    ASSERT_EQ(frame.Apply(), S_OK);
    EXPECT_EQ(a.control->tint, 0x0000FF);
    ASSERT_TRUE(UserType(color, 1002, "&H80000005&"));
    ASSERT_EQ(frame.Apply(), S_OK);
    EXPECT_EQ(static_cast<ULONG>(a.control->tint), 0x80000005u);
}

TEST_F(Frame, TheFontPageSetsTheFontObjectsAttributes) {
    OpenFrame({CLSID_CFontPropPage});
    HWND font = Shown();
    EXPECT_EQ(DialogItemText(font, 1101), "Font");
    EXPECT_EQ(DialogItemText(font, 1103), "8.25");
    int changes = a.control->fontChanges;
    ASSERT_TRUE(UserType(font, 1103, "12"));
    ASSERT_TRUE(UserClick(font, 1104));  // bold
    ASSERT_EQ(frame.Apply(), S_OK);
    IFont* f = a.control->InternalGetFont().m_pFont.get();
    CY size{};
    BOOL bold = FALSE, italic = TRUE;
    f->get_Size(&size);
    f->get_Bold(&bold);
    f->get_Italic(&italic);
    EXPECT_EQ(size.int64, 120000);
    EXPECT_TRUE(bold);
    EXPECT_FALSE(italic);
    EXPECT_GT(a.control->fontChanges, changes) << "the control hears of its font's change";
}

TEST_F(Frame, ThePicturePageTakesAPictureFileOrClearsIt) {
    testing_support::TempDir dir;
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(QString::fromStdString(dir / "green.png")));
    OpenFrame({CLSID_CPicturePropPage});
    HWND picture = Shown();
    EXPECT_EQ(DialogItemText(picture, 1201), "Picture");
    std::vector<std::string> titles;
    platform::ole::DialogAnswers answers;
    answers.files = {"", dir / "green.png"};
    answers.onFileDialog = [&](const std::string& title, const std::string&) {
        titles.push_back(title);
    };
    answers.Run([&] {
        ASSERT_TRUE(UserClick(picture, 1203));  // cancelled
        EXPECT_FALSE(frame.IsDirty());
        ASSERT_TRUE(UserClick(picture, 1203));
    });
    EXPECT_EQ(titles, (std::vector<std::string>{"Select Picture", "Select Picture"}));
    ASSERT_EQ(frame.Apply(), S_OK);
    EXPECT_EQ(a.control->picture.GetType(), PICTYPE_BITMAP);
    auto data = platform::ole::SavePictureData(a.control->picture.m_pPict.get());
    ASSERT_TRUE(data);
    EXPECT_EQ(data->width, 4);
    EXPECT_EQ(data->height, 3);
    ASSERT_TRUE(UserClick(picture, 1204));
    ASSERT_EQ(frame.Apply(), S_OK);
    EXPECT_EQ(a.control->picture.GetType(), PICTYPE_NONE);
}
