// The control's window messages on a form: the events they fire, the cursor rule of MousePointer,
// focus, erase, palette messages, dropped files, the see-through invalidation and the metafile.
#include <QCoreApplication>
#include <QCursor>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <fstream>
#include <memory>

#include "hosts/testcontainer/form.h"
#include "platform/gdi/qt.h"
#include "platform/ole/oleauto.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"
#include "platform/win/winmsg.h"
#include "tests/shapectl/control_fixture.h"
#include "tests/support/gdi_canvas.h"

using namespace shapectl_test;
using platform::com::ComPtr;

namespace {

constexpr RECT kPlace{10, 10, 110, 70};  // 100 x 60

// A bitmap picture of 8 x 8 in one colour, with a palette of two entries.
ComPtr<IDispatch> PalettePicture() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(0, 200, 0));
    struct {
        WORD version = 0x300, count = 2;
        PALETTEENTRY entries[2] = {{0, 200, 0, 0}, {0, 0, 255, 0}};
    } log;
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = platform::gdi::BitmapFromImage(image);
    desc.bmp.hpal = CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
    ComPtr<IDispatch> p;
    OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, p.outVoid());
    return p;
}

// A value as the events show it, without its type.
std::string Bare(const Variant& v) {
    std::string text = Text(v);
    std::size_t space = text.find(' ');
    return space == std::string::npos ? text : text.substr(space + 1);
}

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<UINT>(x), static_cast<UINT>(y));
}

}  // namespace

class Messages : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        form = std::make_unique<testcontainer::Form>(140, 100, RGB(0, 128, 128));
        Settle();
    }
    void TearDown() override {
        ControlTest::TearDown();
        form.reset();
    }
    // In place on the form at run time.
    void Place() {
        RunTime(true);
        ASSERT_EQ(host.Activate(form->Handle(), kPlace), S_OK);
        form->AdoptWindow(host.Window());
        Settle();
        host.Events().events.clear();
        Clear();
    }
    HWND Window() { return host.Window(); }
    QWidget* Widget() { return platform::win::WidgetOf(Window()); }
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(Window(), msg, w, l); }
    // The events fired, each as its name and arguments.
    std::vector<std::string> Fired() {
        std::vector<std::string> out;
        for (const auto& e : host.Events().events) {
            std::string line = e.name;
            for (const auto& a : e.args) line += " " + Bare(a);
            out.push_back(line);
        }
        host.Events().events.clear();
        return out;
    }

    std::unique_ptr<testcontainer::Form> form;
};

// One row of the message map: the messages sent, in order, and the events they fire.
struct EventRow {
    const char* name;
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> sent;
    std::vector<std::string> fired;
};

std::ostream& operator<<(std::ostream& os, const EventRow& r) {
    return os << r.name;
}

class MessageEvents : public Messages, public ::testing::WithParamInterface<EventRow> {};

TEST_P(MessageEvents, FireTheirEvents) {
    Place();
    for (auto [msg, w, l] : GetParam().sent) Send(msg, w, l);
    EXPECT_EQ(Fired(), GetParam().fired);
}

INSTANTIATE_TEST_SUITE_P(
    , MessageEvents,
    ::testing::Values(
        EventRow{"MoveWithTheLeftButtonHeld",
                 {{WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, At(5, 6)}},
                 {"MouseMove 1 0 5 6"}},
        EventRow{"LeftPressAndRelease",
                 {{WM_LBUTTONDOWN, MK_LBUTTON, At(3, 4)}, {WM_LBUTTONUP, 0, At(7, 8)}},
                 {"MouseDown 1 0 3 4", "MouseUp 1 0 7 8", "Click"}},
        EventRow{"RightPressAndReleaseAreNoClick",
                 {{WM_RBUTTONDOWN, MK_RBUTTON, At(3, 4)}, {WM_RBUTTONUP, 0, At(3, 4)}},
                 {"MouseDown 2 0 3 4", "MouseUp 2 0 3 4"}},
        EventRow{"MiddlePressAndRelease",
                 {{WM_MBUTTONDOWN, MK_MBUTTON, At(1, 1)}, {WM_MBUTTONUP, 0, At(1, 1)}},
                 {"MouseDown 4 0 1 1", "MouseUp 4 0 1 1"}},
        EventRow{"ReleaseOutsideTheWindowIsNoClick",
                 {{WM_LBUTTONDOWN, MK_LBUTTON, At(3, 4)}, {WM_LBUTTONUP, 0, At(150, 4)}},
                 {"MouseDown 1 0 3 4", "MouseUp 1 0 150 4"}},
        EventRow{"ReleaseWithoutAPressInTheWindowFiresNothing", {{WM_LBUTTONUP, 0, At(3, 4)}}, {}},
        EventRow{"DoubleClick",
                 {{WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2)},
                  {WM_LBUTTONUP, 0, At(2, 2)},
                  {WM_LBUTTONDBLCLK, MK_LBUTTON, At(2, 2)},
                  {WM_LBUTTONUP, 0, At(2, 2)}},
                 {"MouseDown 1 0 2 2", "MouseUp 1 0 2 2", "Click", "DblClick", "MouseUp 1 0 2 2"}},
        EventRow{"SetFocus", {{WM_SETFOCUS, 0, 0}}, {"GotFocus"}},
        EventRow{"KillFocus", {{WM_KILLFOCUS, 0, 0}}, {"LostFocus"}},
        EventRow{"EraseBackground", {{WM_ERASEBKGND, 0, 0}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Messages, TwoMovesToOnePointFireOneMouseMove) {
    Place();
    Send(WM_MOUSEMOVE, 0, At(4, 9));
    Send(WM_MOUSEMOVE, 0, At(4, 9));
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(4, 9));
    EXPECT_EQ(Fired(), std::vector<std::string>{"MouseMove 0 0 4 9"});
    Send(WM_MOUSEMOVE, 0, At(5, 9));
    EXPECT_EQ(Fired(), std::vector<std::string>{"MouseMove 0 0 5 9"});
}

TEST_F(Messages, EachFocusEventIsFiredWhileTheControlIsKeptInPlaceActive) {
    Place();
    Send(WM_SETFOCUS);
    Send(WM_KILLFOCUS);
    EXPECT_EQ(host.Site().lockCalls, 2);
    EXPECT_EQ(host.Site().locks, 0);
    EXPECT_EQ(host.Site().focusNotices, (std::vector<BOOL>{TRUE, FALSE}));
}

TEST_F(Messages, EraseLeavesTheBackgroundToThePaint) {
    Place();
    EXPECT_EQ(Send(WM_ERASEBKGND), TRUE);
    EXPECT_EQ(control->m_redrawTrace.invalidations, 0);
}

TEST_F(Messages, TheDeferredPaintInvalidatesWithTheBackground) {
    Place();
    EXPECT_EQ(Send(WM_DEFERREDPAINT), 0);
    EXPECT_EQ(control->m_redrawTrace.invalidations, 1);
    EXPECT_TRUE(control->m_bDeferredPaint);
}

TEST_F(Messages, ThePaletteMessagesRealizeTheFramePicturesPaletteAndRedraw) {
    Place();
    EXPECT_EQ(Send(WM_QUERYNEWPALETTE), FALSE) << "no picture";
    Send(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(form->Handle()));
    EXPECT_EQ(Redraws(), 0);

    ASSERT_TRUE(Set(Id("Picture"), Variant::Dispatch(PalettePicture().get())).ok());
    Settle();
    Clear();
    EXPECT_EQ(Send(WM_QUERYNEWPALETTE), TRUE);
    EXPECT_EQ(Redraws(), 1);
    Send(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(form->Handle()));
    EXPECT_EQ(Redraws(), 2) << "another window realized its palette";
    Send(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(Window()));
    Send(WM_PALETTECHANGED, 0);
    EXPECT_EQ(Redraws(), 2) << "its own window, or none";

    // Frame 1 selects Frame1, which is empty.
    ASSERT_TRUE(Set(Id("Frame"), Variant::I2(1)).ok());
    Clear();
    EXPECT_EQ(Send(WM_QUERYNEWPALETTE), FALSE);
    Send(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(form->Handle()));
    EXPECT_EQ(Redraws(), 0);
}

TEST_F(Messages, MousePointerNinetyNineWithoutAnIconLeavesTheCursor) {
    Place();
    HCURSOR before = GetQuixCursor(5);
    SetCursor(before);
    ASSERT_TRUE(Set(Id("MousePointer"), Variant::I2(99)).ok());
    EXPECT_EQ(
        Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(Window()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
        FALSE);
    EXPECT_EQ(SetCursor(nullptr), before);
}

TEST_F(Messages, APointerOfTheLibrarySetsItsCursorOverTheClientAreaOnly) {
    Place();
    ASSERT_TRUE(Set(Id("MousePointer"), Variant::I2(2)).ok());
    SetCursor(nullptr);
    const WPARAM own = reinterpret_cast<WPARAM>(Window());
    EXPECT_EQ(Send(WM_SETCURSOR, own, MAKELPARAM(HTNOWHERE, WM_MOUSEMOVE)), FALSE);
    EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              FALSE);
    EXPECT_EQ(SetCursor(nullptr), nullptr);
    EXPECT_EQ(Send(WM_SETCURSOR, own, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(SetCursor(nullptr), GetQuixCursor(2));
}

TEST_F(Messages, MousePointerFiftyRaisesButIsKeptAndTheLibraryHasNoCursorForIt) {
    Place();
    SetCursor(nullptr);
    auto r = Set(Id("MousePointer"), Variant::I2(50));
    EXPECT_EQ(r.ErrorNumber(), 380);
    EXPECT_EQ(Value(Id("MousePointer")), "I2 50");
    EXPECT_EQ(
        Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(Window()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
        FALSE);
    EXPECT_EQ(SetCursor(nullptr), nullptr);
}

TEST_F(Messages, ANewMousePointerTakesEffectAtOnceUnderTheMouse) {
    Place();
    RECT r;
    GetWindowRect(Window(), &r);
    QCursor::setPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    POINT at;
    GetCursorPos(&at);
    if (at.x != (r.left + r.right) / 2) GTEST_SKIP() << "the platform cannot place the mouse";
    SetCursor(nullptr);
    ASSERT_TRUE(Set(Id("MousePointer"), Variant::I2(3)).ok());
    EXPECT_EQ(SetCursor(nullptr), GetQuixCursor(3));
}

TEST_F(Messages, ASeeThroughControlHidesForOneParentRepaintUnlessItIsAnOverlay) {
    Place();
    HWND parent = form->Handle();
    int before = platform::win::PaintCount(parent);
    control->InvalidateWithBackground(FALSE);
    EXPECT_EQ(platform::win::PaintCount(parent) - before, 1) << "repainted at once";
    EXPECT_TRUE(IsWindowVisible(Window()));
    Settle();

    ASSERT_TRUE(Set(Id("Overlay"), Variant::Bool(true)).ok());
    Settle();
    before = platform::win::PaintCount(parent);
    int own = platform::win::PaintCount(Window());
    control->InvalidateWithBackground(FALSE);
    EXPECT_EQ(platform::win::PaintCount(parent), before);
    Settle();
    EXPECT_EQ(platform::win::PaintCount(parent), before);
    EXPECT_EQ(platform::win::PaintCount(Window()) - own, 1) << "only invalidated";
}

TEST_F(Messages, DisablingTheControlDeactivatesItsUserInterfaceAndItsWindow) {
    Place();
    Send(WM_SETFOCUS);
    EXPECT_TRUE(control->IsUIActive());
    ASSERT_TRUE(Set(DISPID_ENABLED, Variant::Bool(false)).ok());
    EXPECT_FALSE(control->IsUIActive());
    EXPECT_FALSE(IsWindowEnabled(Window()));
    ASSERT_TRUE(Set(DISPID_ENABLED, Variant::Bool(true)).ok());
    EXPECT_TRUE(IsWindowEnabled(Window()));
}

TEST_F(Messages, DroppingSeveralFilesLoadsTheFirstAsTheCaption) {
    Place();
    std::ofstream(dir / "first.txt") << "first text";
    std::ofstream(dir / "second.txt") << "second text";
    // Files dragged from a file manager onto the control's window.
    auto drop = [&] {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir / "first.txt")),
                      QUrl::fromLocalFile(QString::fromStdString(dir / "second.txt"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Widget(), &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Widget(), &event);
    };
    drop();
    EXPECT_EQ(Value(DISPID_CAPTION), "BSTR \"Shape1\"") << "OLEDropAllowed is off";
    ASSERT_TRUE(Set(Id("OLEDropAllowed"), Variant::Bool(true)).ok());
    EXPECT_TRUE(Widget()->acceptDrops());
    drop();
    EXPECT_EQ(Value(DISPID_CAPTION), "BSTR \"first text\"");
    EXPECT_EQ(Fired(), std::vector<std::string>{"Change"});
}

TEST_F(Messages, AClickThroughTheWindowSystemFiresTheMouseEventsAndTakesTheFocus) {
    Place();
    QWidget* w = Widget();
    w->window()->activateWindow();
    QTest::qWait(20);
    QTest::mouseClick(w, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 12));
    Settle();
    std::vector<std::string> fired = Fired();
    std::vector<std::string> mouse;
    bool gotFocus = false;
    for (const std::string& e : fired) {
        if (e == "GotFocus") {
            gotFocus = true;
        } else if (e.rfind("MouseMove", 0) != 0) {
            mouse.push_back(e);
        }
    }
    EXPECT_EQ(mouse,
              (std::vector<std::string>{"MouseDown 1 1 10 12", "MouseUp 1 1 10 12", "Click"}));
    EXPECT_TRUE(gotFocus);
    EXPECT_EQ(GetFocus(), Window());
    EXPECT_TRUE(control->IsUIActive());

    // A double click: Qt's test clicks never make one, so its second press is the double click.
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    Settle();
    mouse.clear();
    for (const std::string& e : Fired()) {
        if (e.rfind("MouseMove", 0) != 0) mouse.push_back(e);
    }
    EXPECT_EQ(mouse, (std::vector<std::string>{"MouseDown 1 0 4 4", "MouseUp 1 0 4 4", "Click",
                                               "DblClick", "MouseUp 1 0 4 4"}));

    // A disabled control's window takes no clicks.
    ASSERT_TRUE(Set(DISPID_ENABLED, Variant::Bool(false)).ok());
    Settle();
    Fired();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(10, 12));
    Settle();
    EXPECT_EQ(Fired(), std::vector<std::string>{});
}

TEST_F(Messages, TheFocusMovingAwayFiresLostFocus) {
    Place();
    QWidget* w = Widget();
    w->window()->activateWindow();
    SetFocus(Window());
    Settle();
    EXPECT_EQ(Fired(), std::vector<std::string>{"GotFocus"});
    SetFocus(form->Handle());
    Settle();
    EXPECT_EQ(Fired(), std::vector<std::string>{"LostFocus"});
}

TEST_F(Messages, TheMetafileShowsTheComposedControlStretchedOverItsBounds) {
    RunTime(true);
    ASSERT_TRUE(Set(Id("BackStyle"), Variant::I2(1)).ok());
    ASSERT_TRUE(Set(Id("BackColor"), Variant::I4(RGB(255, 0, 0))).ok());
    ASSERT_TRUE(Set(Id("BorderWidth"), Variant::I2(0)).ok());
    int width = 0, height = 0;
    control->GetControlExtent(&width, &height);
    MemCanvas canvas(2 * width + 10, 2 * height + 10);

    ASSERT_EQ(control->m_hComposed, nullptr);
    control->OnDrawMetafile(canvas.dc(), RECT{10, 10, 10 + 2 * width, 10 + 2 * height});
    EXPECT_EQ(control->m_hComposed, nullptr) << "the bitmap composed for it is gone again";
    EXPECT_EQ(canvas.At(5, 5), RGB(255, 255, 255)) << "outside the bounds";
    EXPECT_EQ(canvas.At(10 + width, 10 + height), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(9 + 2 * width, 9 + 2 * height), RGB(255, 0, 0));

    // A composed bitmap of the control's own stays.
    ASSERT_TRUE(Call(Id("Compose")).ok());
    HBITMAP composed = control->m_hComposed;
    ASSERT_NE(composed, nullptr);
    control->OnDrawMetafile(canvas.dc(), RECT{0, 0, width, height});
    EXPECT_EQ(control->m_hComposed, composed);
}

TEST_F(Messages, TheMetafileOfAControlInPlaceComposesItInItsWindow) {
    Place();
    ASSERT_TRUE(Set(Id("BackStyle"), Variant::I2(1)).ok());
    ASSERT_TRUE(Set(Id("BackColor"), Variant::I4(RGB(0, 0, 255))).ok());
    Settle();
    MemCanvas canvas(50, 30);
    control->OnDrawMetafile(canvas.dc(), RECT{0, 0, 50, 30});
    EXPECT_EQ(canvas.At(25, 15), RGB(0, 0, 255));
    EXPECT_EQ(control->m_hComposed, nullptr);
}

TEST_F(Messages, TheMetafileIsEmptyWhenThePaintOnlyNotifies) {
    RunTime(true);
    ASSERT_TRUE(Set(Id("PaintNotify"), Variant::Bool(true)).ok());
    MemCanvas canvas(20, 20);
    control->OnDrawMetafile(canvas.dc(), RECT{0, 0, 20, 20});
    EXPECT_EQ(canvas.At(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(Fired(), std::vector<std::string>{"PaintNotify"});
}
