// The control on a backdrop host: the search for the host, the registration, the reports of its
// place, visibility and z-level, its paints into the host's drawing context, the client's
// commands and the redraw path.
#include <QImage>
#include <chrono>
#include <memory>
#include <thread>

#include "hosts/backdrop/BackdropHost.h"
#include "hosts/testcontainer/form.h"
#include "platform/base/thread.h"
#include "platform/win/paint.h"
#include "platform/win/windowpos.h"
#include "platform/win/winmsg.h"
#include "tests/shapectl/control_fixture.h"

using namespace shapectl_test;
using backdrop::BackdropHost;
using platform::com::ComPtr;

namespace {

constexpr COLORREF kFormColour = RGB(0, 128, 128);
constexpr COLORREF kBackdropColour = RGB(0, 0, 160);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr RECT kHostPlace{0, 0, 200, 150};
constexpr RECT kPlace{20, 20, 80, 60};  // 60 x 40
constexpr RECT kMoved{100, 70, 160, 110};

QRgb Rgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)) & 0xFFFFFF;
}

QPoint Centre(const RECT& r) {
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

IUnknown* ObjectOf(BackdropHost* host) {
    return static_cast<IOleObject*>(host);
}

}  // namespace

class OnBackdrop : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        SetQuixEffectClock([](int) {});
        form = std::make_unique<testcontainer::Form>(200, 150, kFormColour);
        objects = platform::ole::ObjectContainer::Create();
        backdrop = NewHost(kHostPlace);
        Settle();
    }
    void TearDown() override {
        ControlTest::TearDown();
        for (auto& h : hosts) {
            objects->Remove(ObjectOf(h.get()));
            h->Close(0);
        }
        hosts.clear();
        backdrop.reset();
        form.reset();
        SetQuixEffectClock(nullptr);
    }
    // A host on the form, one colour all over, listed by the container unless listed is false.
    ComPtr<BackdropHost> NewHost(const RECT& place, bool listed = true) {
        auto h = BackdropHost::Create();
        h->SetGradient(kBackdropColour, kBackdropColour);
        EXPECT_EQ(h->Place(form->Handle(), place), S_OK);
        if (listed) objects->Add(ObjectOf(h.get()));
        hosts.push_back(h);
        return h;
    }
    // A yellow box without a caption, in the container, placed at run time in the window.
    void PlaceWith(std::vector<std::pair<const char*, Variant>> props, HWND window = nullptr,
                   bool joined = true) {
        if (joined) host.JoinContainer(objects.get());
        RunTime(true);
        props.insert(props.begin(), {{"BackStyle", Variant::I2(1)},
                                     {"BackColor", Variant::I4(static_cast<LONG>(kYellow))},
                                     {"Caption", Variant::String("")}});
        for (auto& [name, value] : props) ASSERT_TRUE(Set(Id(name), value).ok()) << name;
        ASSERT_EQ(host.Activate(window ? window : form->Handle(), kPlace), S_OK);
        backdrop->AdoptWindow(host.Window());
        Settle();
    }
    // Another control in the container, placed at run time at kMoved; null when that fails.
    std::unique_ptr<platform::ole::HostedControl> SecondControl(
        const std::vector<std::pair<const char*, Variant>>& props) {
        auto other = std::make_unique<platform::ole::HostedControl>();
        CShapectlCtrl* second = new CShapectlCtrl();
        HRESULT hr = other->Attach(second->GetControllingUnknown(), "Shape2", true);
        second->InternalRelease();
        if (FAILED(hr) || FAILED(other->InitNew())) return nullptr;
        other->JoinContainer(objects.get());
        for (const auto& [name, value] : props) {
            if (!platform::com::PutProperty(other->Dispatch(), Id(name), value).ok())
                return nullptr;
        }
        if (FAILED(other->Activate(form->Handle(), kMoved))) return nullptr;
        backdrop->AdoptWindow(other->Window());
        Settle();
        return other;
    }
    void MoveTo(const RECT& place) {
        ASSERT_EQ(host.Activate(form->Handle(), place), S_OK);
        Settle();
    }
    QRgb Shown(QPoint at) { return form->Picture().pixel(at) & 0xFFFFFF; }
    // The commands the host received since the last call.
    std::vector<BackdropHost::Received> Received(BackdropHost* h = nullptr) {
        h = h ? h : backdrop.get();
        auto r = h->received;
        h->received.clear();
        return r;
    }
    static int Count(const std::vector<BackdropHost::Received>& r, LONG code) {
        return static_cast<int>(
            std::count_if(r.begin(), r.end(), [code](const auto& x) { return x.code == code; }));
    }
    static const BackdropHost::Received* Last(const std::vector<BackdropHost::Received>& r,
                                              LONG code) {
        for (auto it = r.rbegin(); it != r.rend(); ++it) {
            if (it->code == code) return &*it;
        }
        return nullptr;
    }

    std::unique_ptr<testcontainer::Form> form;
    ComPtr<platform::ole::ObjectContainer> objects;
    ComPtr<BackdropHost> backdrop;
    std::vector<ComPtr<BackdropHost>> hosts;
};

// ---- finding the host ----

TEST_F(OnBackdrop, AControlOverAHostMovesIntoItRegistersAndIsPaintedIntoTheBackdrop) {
    PlaceWith({});
    EXPECT_EQ(GetParent(host.Window()), backdrop->Window());
    ASSERT_EQ(backdrop->Clients().size(), 1u);
    auto r = Received();
    ASSERT_GE(r.size(), 2u);
    EXPECT_EQ(r[0].code, BDH_GETDRAWTARGET);  // the search asks each host for its window
    EXPECT_EQ(r[1].code, BDH_REGISTERCLIENT);
    EXPECT_EQ(r[1].hostDraws, 0);
    EXPECT_EQ(r[1].last, 0);
    EXPECT_EQ(r[1].rect.x, kPlace.left);
    EXPECT_EQ(r[1].rect.width, kPlace.right - kPlace.left);
    EXPECT_TRUE(control->m_bHostAttached);
    EXPECT_EQ(control->m_props.DesignStyle, 0);
    // Shown, it reports itself; the host paints it into the backdrop and shows that.
    const auto* shown = Last(r, BDH_UPDATECLIENT);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->visible, 1);
    EXPECT_EQ(shown->hostDraws, 1);
    EXPECT_EQ(GetPixel(backdrop->BackdropDC(), Centre(kPlace).x(), Centre(kPlace).y()), kYellow);
    EXPECT_EQ(Shown(Centre(kPlace)), Rgb(kYellow));
    EXPECT_EQ(Shown(QPoint(5, 5)), Rgb(kBackdropColour));
}

TEST_F(OnBackdrop, AHostThatIsAlreadyTheParentIsPreferredToAnOverlappingOneFoundEarlier) {
    auto parent = NewHost(RECT{0, 0, 200, 150});
    PlaceWith({}, parent->Window());
    EXPECT_EQ(GetParent(host.Window()), parent->Window());
    EXPECT_EQ(parent->Clients().size(), 1u);
    EXPECT_TRUE(backdrop->Clients().empty());
    // The first host was asked first, and let go.
    auto first = Received(backdrop.get());
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first[0].code, BDH_GETDRAWTARGET);
    EXPECT_EQ(Count(first, BDH_REGISTERCLIENT), 0);
}

TEST_F(OnBackdrop, WithoutAHostInTheContainerASiblingThatAnswersBecomesTheParent) {
    auto away = NewHost(RECT{150, 120, 200, 150}, false);  // not under the control: not asked
    objects->Remove(ObjectOf(backdrop.get()));
    PlaceWith({});
    EXPECT_EQ(GetParent(host.Window()), backdrop->Window());
    EXPECT_EQ(backdrop->Clients().size(), 1u);
    EXPECT_TRUE(away->Clients().empty());
    EXPECT_TRUE(away->received.empty());
}

TEST_F(OnBackdrop, WithoutAnyHostTheControlStaysAnOrdinaryWindowOnTheForm) {
    objects->Remove(ObjectOf(backdrop.get()));
    backdrop->Close(0);
    PlaceWith({});
    EXPECT_EQ(GetParent(host.Window()), form->Handle());
    EXPECT_FALSE(control->m_bHostAttached);
    EXPECT_EQ(Shown(Centre(kPlace)), Rgb(kYellow));
}

// ---- reports and paints ----

// A move of the control on the host, without and with an effect.
struct MoveCase {
    const char* name;
    bool effect;
    BOOL hostDraws;  // in the report of the new place
    int targets;     // draw targets asked for
};

class AMoveOnTheHost : public OnBackdrop, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(AMoveOnTheHost, ReportsTheNewPlaceAndShowsTheControlThere) {
    PlaceWith({{"MEffect", Variant::I2(GetParam().effect ? 1 : 0)}});
    Received();
    MoveTo(kMoved);
    auto r = Received();
    const auto* update = Last(r, BDH_UPDATECLIENT);
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->hostDraws, GetParam().hostDraws);
    EXPECT_EQ(update->last, 1);
    EXPECT_EQ(update->rect.x, kMoved.left);
    EXPECT_EQ(update->rect.y, kMoved.top);
    EXPECT_EQ(Count(r, BDH_GETDRAWTARGET), GetParam().targets);
    if (GetParam().targets) {
        EXPECT_FALSE(Last(r, BDH_GETDRAWTARGET)->leadingRect);
    }
    // With host-draws 0 the host leaves the new place to the control, which draws itself there
    // from the backdrop.
    EXPECT_EQ(Shown(Centre(kMoved)), Rgb(kYellow));
    EXPECT_EQ(Shown(QPoint(kMoved.left + 5, kMoved.bottom - 5)), Rgb(kYellow));
    EXPECT_EQ(Shown(Centre(kPlace)), Rgb(kBackdropColour));
}

INSTANTIATE_TEST_SUITE_P(Backdrop, AMoveOnTheHost,
                         ::testing::Values(MoveCase{"WithoutAnEffectOnlyReports", false, 1, 0},
                                           MoveCase{"WithAnEffectPaintsIntoTheHostsTarget", true, 0,
                                                    1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OnBackdrop, AnotherClientsMoveWithAnEffectLeavesTheFirstShown) {
    PlaceWith({});
    auto other = SecondControl({{"MEffect", Variant::I2(1)},
                                {"BackStyle", Variant::I2(1)},
                                {"BackColor", Variant::I4(static_cast<LONG>(RGB(255, 0, 0)))},
                                {"Caption", Variant::String("")}});
    ASSERT_TRUE(other);
    // The first control's paint into the backdrop puts what lies beneath it on the screen first.
    ASSERT_EQ(other->Activate(form->Handle(), RECT{120, 10, 180, 50}), S_OK);
    Settle();
    EXPECT_EQ(Shown(Centre(kPlace)), Rgb(kYellow));
    EXPECT_EQ(Shown(QPoint(150, 30)), Rgb(RGB(255, 0, 0)));
    EXPECT_EQ(Shown(Centre(kMoved)), Rgb(kBackdropColour));
    other->Close();
}

TEST_F(OnBackdrop, DrawingNotAllowedByTheHostSuppressesTheControlsOwnPaint) {
    PlaceWith({{"MEffect", Variant::I2(1)}});
    backdrop->EnableDraw(FALSE);
    EXPECT_FALSE(control->m_bDrawAllowed);
    Received();
    MoveTo(kMoved);
    auto r = Received();
    EXPECT_EQ(Count(r, BDH_GETDRAWTARGET), 1);
    EXPECT_EQ(Shown(Centre(kMoved)), Rgb(kBackdropColour));
}

TEST_F(OnBackdrop, DrawingNotAllowedSuppressesTheRunTimePaintOfAControlOnTheForm) {
    objects->Remove(ObjectOf(backdrop.get()));
    backdrop->Close(0);
    auto client = platform::com::Query<IBackdropClient>(control->GetControllingUnknown(),
                                                        IID_IBackdropClient);
    ASSERT_TRUE(client);
    EXPECT_EQ(client->Command(BDC_ENABLEDRAW, nullptr), S_OK);
    PlaceWith({});
    form->AdoptWindow(host.Window());
    ASSERT_TRUE(Call(Id("Refresh")).ok());
    Settle();
    EXPECT_EQ(Shown(Centre(kPlace)), Rgb(kFormColour));
    EXPECT_EQ(client->Command(BDC_ENABLEDRAW, reinterpret_cast<void*>(1)), S_OK);
    ASSERT_TRUE(Call(Id("Refresh")).ok());
    Settle();
    EXPECT_EQ(Shown(Centre(kPlace)), Rgb(kYellow));
}

TEST_F(OnBackdrop, TheZLevelReachesTheHostAndOrdersTheComposition) {
    PlaceWith({});
    Received();
    ASSERT_TRUE(Set(Id("ZLevel"), Variant::I4(5)).ok());
    auto r = Received();
    const auto* update = Last(r, BDH_UPDATECLIENT);
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->zLevel, 5);
    EXPECT_EQ(update->hostDraws, 1);
    EXPECT_EQ(backdrop->Clients().at(0).zLevel, 5);
}

TEST_F(OnBackdrop, SendToBottomPutsTheWindowBelowItsSiblings) {
    PlaceWith({});
    HWND other =
        platform::win::CreateChildWindow(backdrop->Window(), RECT{0, 0, 10, 10}, DefWindowProcA);
    ShowWindow(other, SW_SHOW);
    // A new child window starts at the bottom: raise it above the control first.
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(backdrop->Window(), GW_CHILD), other);
    backdrop->SendToClients(BDC_SENDTOBOTTOM, nullptr);
    EXPECT_EQ(GetWindow(other, GW_HWNDNEXT), host.Window());
    DestroyWindow(other);
}

// ---- hiding ----

// A hide of the window while an effect runs: by SetWindowPos with SWP_HIDEWINDOW (which sends no
// WM_SHOWWINDOW) or by ShowWindow (WM_SHOWWINDOW first).
struct HideCase {
    const char* name;
    bool autoRedraw;
    bool byShowWindow;
    int aborts;
};

class HideWhileAnEffectRuns : public OnBackdrop, public ::testing::WithParamInterface<HideCase> {};

TEST_P(HideWhileAnEffectRuns, AbortsItOnlyWithoutAutoRedraw) {
    PlaceWith({{"MEffect", Variant::I2(1)},
               {"MultiEffect", Variant::Bool(true)},
               {"EffectCue", Variant::Bool(true)},
               {"AutoRedraw", Variant::Bool(GetParam().autoRedraw)}});
    control->RedrawControl();
    // Where the paint shows its effect on the user-interface thread, no worker is left waiting
    // for its cue: the control is given the state a running worker leaves, a live thread in the
    // handle slot with the running flag, which ends when the cancel flag is set.
    std::unique_ptr<platform::base::WorkerThread> stand_in;
    const bool realWorker = control->IsEffectRunning();
    if (!realWorker) {
        CShapectlCtrl* c = control;
        stand_in = std::make_unique<platform::base::WorkerThread>(
            [c]() -> DWORD {
                while (!c->m_bEffectCancel)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                c->m_bEffectRunning = FALSE;
                return 0;
            },
            THREAD_PRIORITY_NORMAL, 0);
        control->m_bEffectCancel = FALSE;
        control->m_bEffectRunning = TRUE;
        control->m_hEffectThread = reinterpret_cast<HANDLE>(stand_in.get());
        ASSERT_TRUE(control->IsEffectRunning());
    }
    Received();
    if (GetParam().byShowWindow) {
        ShowWindow(host.Window(), SW_HIDE);
    } else {
        SetWindowPos(host.Window(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    EXPECT_FALSE(IsWindowVisible(host.Window()));
    EXPECT_EQ(control->m_nHostEffectAborts, GetParam().aborts);
    if (realWorker && GetParam().aborts) {
        EXPECT_TRUE(control->m_EffectAborted);
    }
    auto r = Received();
    const auto* update = Last(r, BDH_UPDATECLIENT);
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->visible, 0);
    EXPECT_EQ(update->hostDraws, 1);
    if (stand_in) {
        control->m_bEffectCancel = TRUE;
        stand_in->Wait(INFINITE);
        control->m_hEffectThread = nullptr;
        control->m_bEffectRunning = FALSE;
    } else if (control->IsEffectRunning()) {
        control->AbortEffect();
    }
}

INSTANTIATE_TEST_SUITE_P(Backdrop, HideWhileAnEffectRuns,
                         ::testing::Values(HideCase{"WithoutAutoRedraw", false, false, 1},
                                           HideCase{"ByShowWindowWithoutAutoRedraw", false, true,
                                                    1},
                                           HideCase{"WithAutoRedraw", true, false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OnBackdrop, AnAttachedWindowIsMovedAndHiddenWithoutRedrawTheHostRepaints) {
    PlaceWith({});
    RECT r{0, 0, 0, 0};
    ASSERT_EQ(control->m_bHostAttached, TRUE);
    ShowWindow(host.Window(), SW_HIDE);
    Settle();
    EXPECT_FALSE(GetUpdateRect(backdrop->Window(), &r, FALSE));
    EXPECT_EQ(backdrop->Clients().at(0).visible, 0);
    EXPECT_EQ(Shown(Centre(kPlace)), Rgb(kBackdropColour));
    ShowWindow(host.Window(), SW_SHOW);
    Settle();
    EXPECT_EQ(backdrop->Clients().at(0).visible, 1);
    EXPECT_EQ(Shown(Centre(kPlace)), Rgb(kYellow));
}

// ---- the redraw path ----

struct RedrawCase {
    const char* name;
    bool attached, visible, update, run, effect, preview, pending;
    // What follows: an invalidation, the host's redraw of the area, the host-side paint (the
    // update with host-draws 0 and the draw target for the area), or nothing.
    enum { Invalidate, RedrawRect, HostPaint, Nothing } expect;
};

class RedrawControlSteps : public OnBackdrop, public ::testing::WithParamInterface<RedrawCase> {};

TEST_P(RedrawControlSteps, FollowTheControlsState) {
    const RedrawCase& c = GetParam();
    PlaceWith({});
    RunTime(c.run);
    control->m_bHostAttached = c.attached;
    control->m_bHostVisible = c.visible;
    control->m_props.Update = c.update;
    control->m_props.MEffect = c.effect ? 1 : 0;
    control->m_props.Preview = c.preview;
    control->m_bHostUpdatePending = c.pending;
    Received();
    control->m_redrawTrace = {};
    control->RedrawControl();
    auto r = Received();
    EXPECT_EQ(control->m_redrawTrace.invalidations, c.expect == RedrawCase::Invalidate ? 1 : 0);
    EXPECT_EQ(Count(r, BDH_REDRAWRECT), c.expect == RedrawCase::RedrawRect ? 1 : 0);
    if (c.expect == RedrawCase::RedrawRect) {
        EXPECT_EQ(Last(r, BDH_REDRAWRECT)->rect.x, kPlace.left);
        EXPECT_EQ(Last(r, BDH_REDRAWRECT)->rect.height, kPlace.bottom - kPlace.top);
    }
    if (c.expect == RedrawCase::HostPaint) {
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[0].code, BDH_UPDATECLIENT);
        EXPECT_EQ(r[0].hostDraws, 0);
        EXPECT_EQ(r[1].code, BDH_GETDRAWTARGET);
        EXPECT_TRUE(r[1].leadingRect);
        EXPECT_EQ(r[1].rect.y, kPlace.top);
    } else if (c.expect == RedrawCase::Nothing) {
        EXPECT_TRUE(r.empty());
    }
    control->m_props.Update = TRUE;
    control->m_bHostAttached = TRUE;
}

INSTANTIATE_TEST_SUITE_P(
    Backdrop, RedrawControlSteps,
    ::testing::Values(
        // name, attached, visible, update, run, effect, preview, pending, expect
        RedrawCase{"NotAttached", false, true, true, true, false, false, false,
                   RedrawCase::Invalidate},
        RedrawCase{"NotAttachedRunTimeWithoutUpdate", false, true, false, true, false, false, false,
                   RedrawCase::Nothing},
        RedrawCase{"NotAttachedDesignTimeWithoutUpdate", false, true, false, false, false, false,
                   false, RedrawCase::Invalidate},
        RedrawCase{"Hidden", true, false, true, true, true, false, false, RedrawCase::Invalidate},
        RedrawCase{"RunTimeWithoutUpdate", true, true, false, true, true, false, false,
                   RedrawCase::Nothing},
        RedrawCase{"NoEffect", true, true, true, true, false, false, false, RedrawCase::RedrawRect},
        RedrawCase{"EffectAtDesignTime", true, true, true, false, true, false, false,
                   RedrawCase::RedrawRect},
        RedrawCase{"EffectAtDesignTimeWithPreview", true, true, true, false, true, true, false,
                   RedrawCase::HostPaint},
        RedrawCase{"EffectBeforeTheFirstPaint", true, true, true, true, true, false, true,
                   RedrawCase::Nothing},
        RedrawCase{"Effect", true, true, true, true, true, false, false, RedrawCase::HostPaint}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the end of the attachment ----

TEST_F(OnBackdrop, ClosingTheControlRemovesItsClientAndClosingTheHostDetachesIt) {
    PlaceWith({});
    auto other = SecondControl({});
    ASSERT_TRUE(other);
    ASSERT_EQ(backdrop->Clients().size(), 2u);
    other->Close();
    EXPECT_EQ(backdrop->Clients().size(), 1u);
    EXPECT_EQ(Count(Received(), BDH_REMOVECLIENT), 1);
    backdrop->Close(0);
    EXPECT_FALSE(control->m_bHostAttached);
    EXPECT_EQ(control->m_hBackdropDC, nullptr);
    EXPECT_EQ(GetParent(host.Window()), form->Handle());
}
