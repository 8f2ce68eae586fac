// The effect worker of a control in place on a form: cueing, pausing, resuming and aborting it,
// destroying the window under it, a new paint while it runs, its priority, the Notify event after
// it (at once, after NotifyDelay on the manual timers, none for a hidden window), the text
// transition alone, the image it ends on, and the host's drawing context of paint mode 2.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "hosts/testcontainer/form.h"
#include "platform/gdi/qt.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"
#include "platform/win/winmsg.h"
#include "tests/shapectl/control_fixture.h"

using namespace shapectl_test;

namespace {

constexpr COLORREF kFormColour = RGB(0, 128, 128);
constexpr RECT kPlace{10, 10, 90, 50};  // 80 x 40

// The effect clock of these tests: a pause between two steps takes no time, but the worker can be
// held at a chosen pause until the test lets it go on or the control's cancel flag is set.
class HoldingClock {
public:
    explicit HoldingClock(BOOL* cancel) : cancel_(cancel) {
        SetQuixEffectClock([this](int) {
            std::unique_lock lock(mutex_);
            ++pauses_;
            changed_.notify_all();
            while (pauses_ == holdAt_ && !CShapectlCtrl::LoadWord(*cancel_)) {
                changed_.wait_for(lock, std::chrono::milliseconds(1));
            }
        });
    }
    ~HoldingClock() { SetQuixEffectClock(nullptr); }
    // The worker stops at pause n (counted from the start) until Release.
    void HoldAt(int n) {
        std::lock_guard lock(mutex_);
        holdAt_ = n;
    }
    void Release() {
        std::lock_guard lock(mutex_);
        holdAt_ = -1;
        changed_.notify_all();
    }
    int Pauses() {
        std::lock_guard lock(mutex_);
        return pauses_;
    }
    // Returns once the worker has reached pause n.
    void WaitFor(int n) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return pauses_ >= n; });
    }

private:
    BOOL* cancel_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int pauses_ = 0;
    int holdAt_ = -1;
};

}  // namespace

class EffectWorker : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        form = std::make_unique<testcontainer::Form>(100, 60, kFormColour);
        Settle();
        clock = std::make_unique<HoldingClock>(&control->m_bEffectCancel);
    }
    void TearDown() override {
        clock->Release();
        ControlTest::TearDown();
        clock.reset();
        form.reset();
        platform::win::UseManualTimers(false);
    }
    // An opaque red control at run time with a wipe of 40 steps on the worker, in place.
    void Place(const std::vector<std::pair<const char*, Variant>>& props = {}) {
        RunTime(true);
        std::vector<std::pair<const char*, Variant>> all = {
            {"BackStyle", Variant::I2(1)},        {"BackColor", Variant::I4(RGB(200, 0, 0))},
            {"MultiEffect", Variant::Bool(true)}, {"MEffect", Variant::I2(1)},
            {"MGrain", Variant::I2(2)},
        };
        all.insert(all.end(), props.begin(), props.end());
        for (auto& [name, value] : all) ASSERT_TRUE(Set(Id(name), value).ok()) << name;
        ASSERT_EQ(host.Activate(form->Handle(), kPlace), S_OK);
        form->AdoptWindow(host.Window());
        Settle();
    }
    SHORT Status() { return static_cast<SHORT>(Get(Id("EffectStatus")).value.get().iVal); }
    platform::base::WorkerThread* Worker() { return control->m_pEffectThread; }
    // Which paint's worker the control holds: a new worker object may take a freed one's address.
    UINT WorkerNumber() { return control->m_EffectParams.nGeneration; }
    void WaitForEnd() {
        ASSERT_NE(control->m_effectWorker, nullptr);
        control->m_effectWorker->Wait(INFINITE);
    }
    // Paints the control again through its window.
    void Repaint() {
        InvalidateRect(host.Window(), nullptr, FALSE);
        Settle();
    }
    QImage Shown() { return form->Picture(kPlace); }
    int NotifyEvents() {
        int n = 0;
        for (const auto& e : host.Events().events) n += e.id == 2 ? 1 : 0;
        return n;
    }
    // What the form shows at pause `pause` of the effect and at its end.
    std::pair<QImage, QImage> MiddleAndEnd(
        int pause, const std::vector<std::pair<const char*, Variant>>& props) {
        clock->HoldAt(pause);
        Place(props);
        clock->WaitFor(pause);
        Settle();
        QImage middle = Shown();
        clock->Release();
        WaitForEnd();
        Settle();
        return {middle, Shown()};
    }
    QImage Final(SHORT effect = 0) {
        // What the same control shows without an effect.
        EXPECT_TRUE(Set(Id("MultiEffect"), Variant::Bool(false)).ok());
        EXPECT_TRUE(Set(Id("MEffect"), Variant::I2(effect)).ok());
        Repaint();
        return Shown();
    }

    std::unique_ptr<testcontainer::Form> form;
    std::unique_ptr<HoldingClock> clock;
};

// ---- cue, pause, resume and abort ----

struct StatusCase {
    const char* name;
    bool cue;
    // Each step: P pause, R resume, A abort; the status after it.
    std::vector<std::pair<char, SHORT>> steps;
    DWORD suspendCount;  // of the worker after the steps, while it lives
    bool aborted;
};

std::ostream& operator<<(std::ostream& os, const StatusCase& c) {
    return os << c.name;
}

class EffectStatusSequence : public EffectWorker,
                             public ::testing::WithParamInterface<StatusCase> {};

TEST_P(EffectStatusSequence, GivesTheStatusOfEachStep) {
    const StatusCase& c = GetParam();
    clock->HoldAt(3);
    Place({{"EffectCue", Variant::Bool(c.cue)}});
    ASSERT_NE(Worker(), nullptr);
    EXPECT_EQ(Status(), c.cue ? 1 : 2) << "after the paint";
    for (auto [step, status] : c.steps) {
        if (step == 'P') Call(Id("PauseEffect"));
        if (step == 'R') Call(Id("ResumeEffect"));
        if (step == 'A') Call(Id("AbortEffect"));
        EXPECT_EQ(Status(), status) << "after " << step;
    }
    if (Status() != 0) {
        EXPECT_EQ(Worker()->SuspendCount(), c.suspendCount);
    }
    EXPECT_EQ(Get(Id("EffectAborted")).value.get().boolVal != 0, c.aborted);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, EffectStatusSequence,
    ::testing::Values(StatusCase{"CuedUntilResumed", true, {{'R', 2}}, 0, false},
                      StatusCase{"PauseTwiceSuspendsOnce", false, {{'P', 1}, {'P', 1}}, 1, false},
                      StatusCase{"PauseThenResume", false, {{'P', 1}, {'R', 2}}, 0, false},
                      StatusCase{"ResumeWithoutPauseDoesNothing", false, {{'R', 2}}, 0, false},
                      StatusCase{"AbortACuedWorker", true, {{'A', 0}}, 0, true},
                      StatusCase{"AbortAPausedWorker", false, {{'P', 1}, {'A', 0}}, 0, true},
                      StatusCase{
                          "PauseAfterAbortDoesNothing", false, {{'A', 0}, {'P', 0}}, 0, true}),
    [](const auto& info) { return info.param.name; });

TEST_F(EffectWorker, ACuedWorkerShowsNothingUntilResumed) {
    Place({{"EffectCue", Variant::Bool(true)}});
    const QImage before = form->Picture(kPlace);
    Settle();
    EXPECT_EQ(Status(), 1);
    EXPECT_EQ(Shown(), before) << "nothing shown while cued";
    Call(Id("ResumeEffect"));
    WaitForEnd();
    Settle();
    EXPECT_EQ(Status(), 0);
    EXPECT_NE(Shown(), before);
}

TEST_F(EffectWorker, ARunningEffectEndsOnExactlyTheFinalImage) {
    auto [middle, end] = MiddleAndEnd(10, {});
    const QImage final = Final();
    EXPECT_EQ(end, final);
    EXPECT_NE(middle, final) << "the wipe was on its way";
    EXPECT_EQ(middle.pixel(0, 20), final.pixel(0, 20)) << "its left part is in";
    EXPECT_NE(middle.pixel(79, 20), final.pixel(79, 20)) << "its right part is not yet";
    EXPECT_EQ(Get(Id("EffectAborted")).value.get().boolVal, 0);
}

TEST_F(EffectWorker, ADissolveOfTwoPassesEndsOnTheFinalImage) {
    auto [middle, end] = MiddleAndEnd(
        5, {{"DMode", Variant::I2(2)}, {"DEffect1", Variant::I2(1)}, {"DEffect2", Variant::I2(2)}});
    ASSERT_TRUE(Set(Id("DMode"), Variant::I2(0)).ok());
    const QImage final = Final();
    EXPECT_EQ(end, final);
    EXPECT_NE(middle, final);
}

TEST_F(EffectWorker, MultiEffectSetOffWhileTheWorkerRunsEndsTheEffectWithTheFinalImage) {
    clock->HoldAt(3);
    Place();
    clock->WaitFor(3);
    ASSERT_TRUE(Set(Id("MultiEffect"), Variant::Bool(false)).ok());
    clock->Release();
    WaitForEnd();
    EXPECT_EQ(clock->Pauses(), 3) << "no step after the one it was in";
    Settle();
    const QImage end = Shown();
    EXPECT_EQ(end, Final());
}

TEST_F(EffectWorker, WithEffectIncrementEachResumePlaysOneStep) {
    // 80 pixels of wipe in steps of 20: four steps, held after each of the first three.
    Place({{"EffectIncrement", Variant::Bool(true)}, {"MGrain", Variant::I2(20)}});
    int resumes = 0;
    while (control->m_effectWorker->Wait(0) == WAIT_TIMEOUT) {
        if (Status() == 1) {
            Call(Id("ResumeEffect"));
            ++resumes;
        }
        std::this_thread::yield();
    }
    EXPECT_EQ(resumes, 3);
    EXPECT_EQ(Status(), 0);
    Settle();
    EXPECT_EQ(Shown(), Final());
}

TEST_F(EffectWorker, TheFormCanBeResizedWhileTheWorkerDrawsIntoIt) {
    clock->HoldAt(2);
    Place({{"MGrain", Variant::I2(1)}});
    clock->WaitFor(2);
    QWidget* widget = platform::win::WidgetOf(form->Handle());
    ASSERT_NE(widget, nullptr);
    widget->resize(70, 40);
    int resizes = 1;
    clock->Release();
    while (control->m_effectWorker->Wait(0) == WAIT_TIMEOUT) {
        widget->resize(resizes % 2 ? 100 : 70, resizes % 2 ? 60 : 40);
        ++resizes;
    }
    widget->resize(100, 60);
    EXPECT_EQ(Status(), 0);
    ASSERT_TRUE(Set(Id("MEffect"), Variant::I2(0)).ok());
    Repaint();
    WaitForEnd();
    Settle();
    EXPECT_EQ(Shown().pixel(40, 20), qRgb(200, 0, 0));
}

TEST_F(EffectWorker, DestroyingTheWindowWaitsForTheWorker) {
    clock->HoldAt(2);
    Place();
    clock->WaitFor(2);
    platform::base::WorkerThread* worker = Worker();
    ASSERT_EQ(worker->ExitCode(), STILL_ACTIVE);
    control->InPlaceDeactivate();
    EXPECT_EQ(worker->ExitCode(), 0u) << "ended before the window went";
    EXPECT_EQ(Status(), 0);
}

TEST_F(EffectWorker, ANewPaintIsDroppedWhileTheWorkerRunsUnlessAutoRedrawStopsIt) {
    clock->HoldAt(2);
    Place();
    clock->WaitFor(2);
    platform::base::WorkerThread* first = Worker();
    const UINT firstNumber = WorkerNumber();
    Repaint();
    EXPECT_EQ(Worker(), first) << "dropped: the same worker runs on";
    EXPECT_EQ(WorkerNumber(), firstNumber);
    EXPECT_EQ(first->ExitCode(), STILL_ACTIVE);

    ASSERT_TRUE(Set(Id("AutoRedraw"), Variant::Bool(true)).ok());
    ASSERT_TRUE(Set(Id("EffectCue"), Variant::Bool(true)).ok());
    Repaint();
    EXPECT_NE(Worker(), nullptr);
    EXPECT_NE(WorkerNumber(), firstNumber) << "the first one was stopped and a new one started";
    EXPECT_EQ(Status(), 1);
}

TEST_F(EffectWorker, TheCompletionOfAStoppedWorkerFiresNotifyButLeavesTheNextOneRunning) {
    clock->HoldAt(2);
    Place({{"Notify", Variant::Bool(true)}, {"AutoRedraw", Variant::Bool(true)}});
    clock->WaitFor(2);
    ASSERT_TRUE(Set(Id("EffectCue"), Variant::Bool(true)).ok());
    Repaint();  // stops the first worker, which posts its completion, and cues a second
    Settle();
    EXPECT_EQ(NotifyEvents(), 1);
    EXPECT_EQ(Status(), 1) << "the second worker is still cued";
    EXPECT_EQ(Get(Id("EffectAborted")).value.get().boolVal, 0);
}

TEST_F(EffectWorker, ThePriorityFollowsEffectPriority) {
    clock->HoldAt(2);
    Place({{"EffectPriority", Variant::I2(1)}});
    EXPECT_EQ(Worker()->Priority(), THREAD_PRIORITY_ABOVE_NORMAL);
    ASSERT_TRUE(Set(Id("EffectPriority"), Variant::I2(2)).ok());
    EXPECT_EQ(Worker()->Priority(), THREAD_PRIORITY_BELOW_NORMAL);
}

// ---- the completion ----

TEST_F(EffectWorker, NotifyComesAtOnceAfterTheEffect) {
    Place({{"Notify", Variant::Bool(true)}});
    WaitForEnd();
    Settle();
    EXPECT_EQ(NotifyEvents(), 1);
    EXPECT_EQ(Get(Id("EffectAborted")).value.get().boolVal, 0);
}

TEST_F(EffectWorker, NotifyDelayFiresNotifyFromTheTimer) {
    platform::win::UseManualTimers(true);
    Place({{"Notify", Variant::Bool(true)}, {"NotifyDelay", Variant::I4(500)}});
    WaitForEnd();
    Settle();
    EXPECT_EQ(NotifyEvents(), 0);
    platform::win::AdvanceTimers(499);
    EXPECT_EQ(NotifyEvents(), 0);
    platform::win::AdvanceTimers(1);
    EXPECT_EQ(NotifyEvents(), 1);
    platform::win::AdvanceTimers(2000);
    EXPECT_EQ(NotifyEvents(), 1) << "the timer fires once";
}

TEST_F(EffectWorker, TheNextPaintKillsAPendingNotifyTimer) {
    platform::win::UseManualTimers(true);
    Place({{"Notify", Variant::Bool(true)}, {"NotifyDelay", Variant::I4(500)}});
    WaitForEnd();
    Settle();
    ASSERT_TRUE(Set(Id("Notify"), Variant::Bool(false)).ok());
    ASSERT_TRUE(Set(Id("MultiEffect"), Variant::Bool(false)).ok());
    ASSERT_TRUE(Set(Id("Notify"), Variant::Bool(true)).ok());
    ASSERT_TRUE(Set(Id("NotifyDelay"), Variant::I4(0)).ok());
    Repaint();  // kills the timer, then fires Notify at once
    EXPECT_EQ(NotifyEvents(), 1);
    platform::win::AdvanceTimers(1000);
    EXPECT_EQ(NotifyEvents(), 1);
}

TEST_F(EffectWorker, TheTextTransitionAloneStillPostsTheCompletion) {
    Place({{"Notify", Variant::Bool(true)},
           {"TEnabled", Variant::Bool(true)},
           {"TOnly", Variant::Bool(true)},
           {"TStyle", Variant::I2(0)},
           {"TEffect", Variant::I2(1)},
           {"TBackColor", Variant::I4(RGB(0, 0, 255))}});
    WaitForEnd();
    Settle();
    EXPECT_EQ(NotifyEvents(), 1);
    EXPECT_EQ(Shown().pixel(40, 20), qRgb(0, 0, 255)) << "the transition's fill, not the image";
}

TEST_F(EffectWorker, AHiddenWindowPostsNoCompletion) {
    Place();
    WaitForEnd();
    Settle();
    ASSERT_TRUE(Set(Id("Notify"), Variant::Bool(true)).ok());
    ShowWindow(host.Window(), SW_HIDE);
    Settle();
    HDC dc = CreateCompatibleDC(nullptr);
    RECT r{0, 0, 80, 40};
    const UINT first = WorkerNumber();
    control->DrawControl(dc, nullptr, &r, 0, nullptr);
    ASSERT_NE(Worker(), nullptr);
    ASSERT_NE(WorkerNumber(), first) << "a worker of its own";
    WaitForEnd();
    Settle();
    EXPECT_EQ(NotifyEvents(), 0);
    DeleteDC(dc);
}

TEST_F(EffectWorker, AControlWithoutAWindowShowsItsImageInThePaint) {
    RunTime(true);
    ASSERT_TRUE(Set(Id("BackStyle"), Variant::I2(1)).ok());
    ASSERT_TRUE(Set(Id("BackColor"), Variant::I4(RGB(200, 0, 0))).ok());
    ASSERT_TRUE(Set(Id("MultiEffect"), Variant::Bool(true)).ok());
    ASSERT_TRUE(Set(Id("MEffect"), Variant::I2(1)).ok());
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 80, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT r{0, 0, 80, 40};
    control->DrawControl(dc, nullptr, &r, 0, nullptr);
    EXPECT_EQ(Worker(), nullptr);
    EXPECT_EQ(GetPixel(dc, 40, 20), RGB(200, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

// ---- paint mode 2: the host's drawing context ----

TEST_F(EffectWorker, InModeTwoTheWorkerShowsTheBackdropAndReleasesTheHostsContext) {
    Place();
    WaitForEnd();
    // A backdrop of the form's size: green with a blue band where the control lies.
    HDC screen = GetDC(nullptr);
    HDC backdrop = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 60);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(backdrop, bitmap);
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0)), blue = CreateSolidBrush(RGB(0, 0, 160));
    RECT all{0, 0, 100, 60}, band{10, 10, 90, 30};
    FillRect(backdrop, &all, green);
    FillRect(backdrop, &band, blue);
    control->m_hBackdropDC = backdrop;
    control->m_bHostVisible = TRUE;

    HDC target = GetDC(form->Handle());
    control->DrawControl(target, backdrop, &kPlace, 2, form->Handle());
    ASSERT_NE(Worker(), nullptr);
    WaitForEnd();
    Settle();
    EXPECT_EQ(ReleaseDC(form->Handle(), target), 0) << "released by the worker";
    const QImage shown = Shown();
    EXPECT_EQ(shown.pixel(5, 5), qRgb(0, 0, 160));
    EXPECT_EQ(shown.pixel(5, 30), qRgb(0, 160, 0));
    EXPECT_EQ(shown.pixel(79, 39), qRgb(0, 160, 0));

    control->m_hBackdropDC = nullptr;
    SelectObject(backdrop, old);
    DeleteDC(backdrop);
    DeleteObject(bitmap);
    DeleteObject(green);
    DeleteObject(blue);
}
