#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include "platform/vb/App.h"
#include "platform/vb/Dialogs.h"
#include "platform/vb/Error.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"
#include "platform/vb/Menu.h"
#include "platform/vb/Timer.h"

namespace {

std::vector<std::string> g_events;

class TestForm : public vb::Form {
public:
    vb::Label Label1{this, "Label1", "designed"};
    vb::TextBox Text1{this, "Text1"};
    vb::Timer Timer1{this, "Timer1", 100, false};
    vb::Menu top{this, "top", "Top"};
    vb::Menu first{this, "first", "First", &top};
    vb::Menu sep{this, "sep", "-", &top};
    vb::Menu second{this, "second", "Second", &top};
    int loads = 0, ticks = 0;

    TestForm() : vb::Form("TestForm", "Test") {
        g_events.push_back("construct");
        Timer1.OnTimer = [this] { ++ticks; };
        first.Click = [] { g_events.push_back("first_Click"); };
        second.Click = [] { g_events.push_back("second_Click"); };
    }
    ~TestForm() override { g_events.push_back("destroy"); }
    void Form_Load() override;
    void Form_Unload(int& Cancel) override {
        g_events.push_back("unload");
        Cancel = cancelUnload;
    }
    void Form_Terminate() override { g_events.push_back("terminate"); }
    void Form_Activate() override { ++activations; }
    bool cancelUnload = false;
    int activations = 0;
};

vb::DefaultForm<TestForm> TestForm1;

void TestForm::Form_Load() {
    ++loads;
    g_events.push_back("load");
    // A load may touch its own default instance: it is the form being loaded.
    TestForm1->Label1.SetCaption("loaded");
}

void Flush() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The manual clock for one test; the default form is made anew on it.
struct ManualClock {
    ManualClock() {
        vb::TimerClock::UseManual(true);
        vb::Unload(*TestForm1);
        Flush();
    }
    ~ManualClock() { vb::TimerClock::UseManual(false); }
};

class Forms : public ::testing::Test {
protected:
    void SetUp() override { g_events.clear(); }
    void TearDown() override {
        if (TestForm1.IsLoaded()) vb::Unload(*TestForm1);
        Flush();
    }
};

}  // namespace

TEST_F(Forms, TheFirstTouchCreatesAndLoadsTheDefaultInstanceOnce) {
    EXPECT_FALSE(TestForm1.IsLoaded());
    EXPECT_EQ(TestForm1->Label1.Caption(), "loaded");
    TestForm1->Text1.SetText("x");
    EXPECT_EQ(TestForm1->loads, 1);
    EXPECT_EQ(g_events, (std::vector<std::string>{"construct", "load"}));
    EXPECT_FALSE(TestForm1->Visible());  // loaded, not shown
}

TEST_F(Forms, AnUnloadedFormComesBackFreshOnItsNextTouch) {
    TestForm1->Text1.SetText("typed");
    TestForm* first = &*TestForm1;
    vb::Unload(*TestForm1);
    EXPECT_FALSE(TestForm1.IsLoaded());
    Flush();
    EXPECT_EQ(TestForm1->Text1.Text(), "");
    EXPECT_EQ(TestForm1->loads, 1);
    EXPECT_EQ(g_events, (std::vector<std::string>{"construct", "load", "unload", "terminate",
                                                  "destroy", "construct", "load"}));
    (void)first;
}

TEST_F(Forms, AnUnloadCanBeCancelled) {
    TestForm1->cancelUnload = true;
    vb::Unload(*TestForm1);
    EXPECT_TRUE(TestForm1.IsLoaded());
    TestForm1->cancelUnload = false;
}

TEST_F(Forms, ShowHideAndGeometryInTwips) {
    TestForm& f = *TestForm1;
    f.Move(1500, 3000, 4500, 3000);
    f.Show();
    EXPECT_TRUE(f.Visible());
    EXPECT_FLOAT_EQ(f.Width(), 4500);
    EXPECT_FLOAT_EQ(f.Height(), 3000);
    EXPECT_EQ(f.window()->width(), 300);
    f.Hide();
    EXPECT_FALSE(f.Visible());
    f.SetWindowState(vb::vbMinimized);
    EXPECT_EQ(f.WindowState(), vb::vbMinimized);
    f.SetWindowState(vb::vbNormal);
    EXPECT_EQ(f.WindowState(), vb::vbNormal);
    f.Label1.Move(150, 300, 1500, 450);
    EXPECT_EQ(f.Label1.widget()->geometry(), QRect(10, 20, 100, 30));
}

TEST_F(Forms, ActivateFiresWhenTheActiveWindowMovesBetweenFormsOnly) {
    TestForm& f = *TestForm1;
    auto activate = [](QWidget* w) {
        QEvent e(QEvent::WindowActivate);
        QCoreApplication::sendEvent(w, &e);
    };
    QWidget other;  // a window that is no form, such as a dialog or another program's
    activate(f.window());
    EXPECT_EQ(f.activations, 1);
    activate(&other);
    activate(f.window());  // back from elsewhere: no new activation
    EXPECT_EQ(f.activations, 1);
    f.Hide();
    activate(f.window());  // shown again after hiding
    EXPECT_EQ(f.activations, 2);
}

TEST_F(Forms, ControlsCanBeWalkedAndToldApart) {
    std::vector<std::string> labels;
    for (vb::Control* c : TestForm1->Controls()) {
        if (dynamic_cast<vb::Label*>(c)) labels.push_back(c->Name());
    }
    EXPECT_EQ(labels, std::vector<std::string>{"Label1"});
    EXPECT_EQ(TestForm1->ControlByName("Text1")->TypeName(), std::string("TextBox"));
    EXPECT_STREQ(TestForm1->Text1.ClassName(), "ThunderRT6TextBox");
    EXPECT_STREQ(TestForm1->ClassName(), "ThunderRT6FormDC");
}

TEST_F(Forms, TimersTickOnTheManualClock) {
    ManualClock clock;
    TestForm& f = *TestForm1;
    vb::TimerClock::Advance(1000);
    EXPECT_EQ(f.ticks, 0);  // designed disabled
    f.Timer1.SetEnabled(true);
    vb::TimerClock::Advance(99);
    EXPECT_EQ(f.ticks, 0);
    vb::TimerClock::Advance(1);
    EXPECT_EQ(f.ticks, 1);
    vb::TimerClock::Advance(250);
    EXPECT_EQ(f.ticks, 3);
    f.Timer1.SetInterval(0);
    vb::TimerClock::Advance(1000);
    EXPECT_EQ(f.ticks, 3);
    f.Timer1.SetInterval(50);
    f.Timer1.SetEnabled(false);
    vb::TimerClock::Advance(1000);
    EXPECT_EQ(f.ticks, 3);
}

TEST_F(Forms, AFailingTimerEventIsReportedAndTheTimerGoesOn) {
    ManualClock clock;
    TestForm& f = *TestForm1;
    f.Timer1.OnTimer = [&f] {
        ++f.ticks;
        vb::Raise(vb::vbErrInvalidProcedureCall);
    };
    f.Timer1.SetEnabled(true);
    EXPECT_NO_THROW(vb::TimerClock::Advance(300));
    EXPECT_EQ(f.ticks, 3);
}

TEST_F(Forms, AnUnloadedFormsTimersNeverFireAgain) {
    ManualClock clock;
    int ticks = 0;
    TestForm1->Timer1.OnTimer = [&] { ++ticks; };
    TestForm1->Timer1.SetEnabled(true);
    vb::TimerClock::Advance(100);
    vb::Unload(*TestForm1);  // the object lives on until the event loop deletes it
    vb::TimerClock::Advance(1000);
    EXPECT_EQ(ticks, 1);
    Flush();
}

namespace {
class SelfUnloading : public vb::Form {
public:
    SelfUnloading() : vb::Form("SelfUnloading", "") {}
    void Form_Load() override;
};
vb::DefaultForm<SelfUnloading> SelfUnloading1;
void SelfUnloading::Form_Load() {
    vb::Unload(*this);
}
}  // namespace

TEST_F(Forms, AFormThatUnloadsItselfInItsLoadIsReportedUnloaded) {
    int number = 0;
    try {
        SelfUnloading1->Show();
    } catch (const vb::RuntimeError& e) {
        number = e.Number();
    }
    EXPECT_EQ(number, vb::vbErrObjectUnloaded);
    EXPECT_FALSE(SelfUnloading1.IsLoaded());
    Flush();
}

TEST_F(Forms, RealTimersTickOnTheEventLoop) {
    TestForm& f = *TestForm1;
    f.Timer1.SetInterval(10);
    f.Timer1.SetEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.ticks >= 2; }, 5000));
}

TEST_F(Forms, PopupMenusAndMessageBoxesFollowTheScript) {
    vb::DialogScript script;
    script.AnswerPopupMenu("second");
    script.AnswerPopupMenu("sep");  // a separator is no choice
    script.AnswerMsgBox(vb::vbYes);
    TestForm1->PopupMenu(TestForm1->top);
    TestForm1->PopupMenu(TestForm1->top);
    EXPECT_EQ(vb::MsgBox("Sure?", vb::vbYesNo, "Question"), vb::vbYes);
    EXPECT_EQ(vb::MsgBox("File Not Found", vb::vbOKOnly, "Error"), vb::vbOK);
    script.AnswerInputBox("mylist");
    EXPECT_EQ(vb::InputBox("Name of the list?", "ListName for Kesto Player"), "mylist");
    EXPECT_EQ(vb::InputBox("Name of the list?", "ListName for Kesto Player"), "");  // Cancel
    EXPECT_EQ(std::count(g_events.begin(), g_events.end(), "second_Click"), 1);
    EXPECT_EQ(std::count(g_events.begin(), g_events.end(), "first_Click"), 0);
    ASSERT_EQ(script.Log().size(), 6u);
    EXPECT_EQ(script.Log()[3].prompt, "File Not Found");
    EXPECT_EQ(script.Log()[3].title, "Error");
    EXPECT_EQ(script.Log()[4].kind, "InputBox");
}

TEST(End, ATestSeesTheEndInsteadOfLeaving) {
    int ended = 0;
    vb::SetEndHandler([&] { ++ended; });
    bool after = false;
    vb::ResumeNext([&] {
        try {
            vb::End();
        } catch (const std::exception&) {
            after = true;  // not a run-time error: no step swallows it
        } catch (const vb::ProgramEnded&) {
        }
    });
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(after);
    vb::SetEndHandler(nullptr);
}
