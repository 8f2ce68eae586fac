#include <QApplication>
#include <QLabel>
#include <QTest>

#include "platform/win/windowpos.h"
#include "tests/player/PlayerFixture.h"

namespace {

class RemoteWindow : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        Start();
        Remote->Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Remote->window()));
    }
    // A click on a button, as the user makes it.
    static void ClickOn(vb::Control& button) {
        QTest::mouseClick(button.widget(), Qt::LeftButton, {}, QPoint(5, 5));
    }
    // Plays a file of `seconds` from `at` seconds, with the call log emptied.
    void PlayAt(double seconds, double at) {
        Player().SetFileName(Media("song.mp3", seconds));
        Player().SetCurrentPosition(at);
        fake->ClearCalls();
    }
};

}  // namespace

TEST_F(RemoteWindow, SeekStepsGoToThePlayerUnclamped) {
    // Without a file the steps do nothing, and report nothing.
    testing::internal::CaptureStderr();
    ClickOn(Remote->Label4);
    ClickOn(Remote->Label10);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    struct Case {
        vb::Label& button;
        double at;
        const char* asked;
    } cases[] = {
        {Remote->Label4, 10, "Seek(-10)"},    // Rewind below 0
        {Remote->Label7, 30, "Seek(50)"},     // Forward
        {Remote->Label8, 100, "Seek(40)"},    // Fast Rewind
        {Remote->Label10, 210, "Seek(330)"},  // Fast Forward 30 s before the end of 240 s
        {Remote->Label10, 239, "Seek(359)"},  // past the end
    };
    for (const Case& c : cases) {
        PlayAt(240, c.at);
        ClickOn(c.button);
        EXPECT_EQ(fake->calls(), std::vector<std::string>{c.asked}) << c.button.Name();
    }
}

TEST_F(RemoteWindow, PlayPlaysTheFileSetAndWritesItsDurationTwice) {
    // No file set: nothing happens.
    fake->ClearCalls();
    ClickOn(Remote->Label2);
    EXPECT_TRUE(fake->calls().empty());
    EXPECT_EQ(Remote->QuixLabel2.Caption(), "00 : 00");

    struct Case {
        const char* file;
        double seconds;
        const char* text;
    } cases[] = {{"long.mp3", 239.6, "4:00"}, {"short.mp3", 7.2, "0:07"}, {"disc.DAT", 62, "1:02"}};
    for (const Case& c : cases) {
        Player().SetFileName(Media(c.file, c.seconds));
        Player().Pause();
        fake->ClearCalls();
        ClickOn(Remote->Label2);
        EXPECT_EQ(fake->calls(), std::vector<std::string>{"Play"}) << c.file;
        EXPECT_EQ(frmMain1->Label1.Caption(), c.text) << c.file;
        EXPECT_EQ(Remote->QuixLabel2.Caption(), c.text) << c.file;
        // The video window is left as it is, also for a video CD file.
        EXPECT_FALSE(FrmVideo->Visible()) << c.file;
    }
}

TEST_F(RemoteWindow, PauseAndThePlaylistButton) {
    PlayAt(60, 5);
    ClickOn(Remote->Label6);
    EXPECT_EQ(fake->calls(), std::vector<std::string>{"Pause"});
    EXPECT_FALSE(Form2->Visible());
    ClickOn(Remote->Label9);
    EXPECT_TRUE(Form2->Visible());
}

TEST_F(RemoteWindow, PreviousAndNextMoveThroughThePlaylistWithoutWrapping) {
    struct Case {
        int entries;
        long selected;
        vb::Label& button;
        long index;          // the title list's index afterwards
        const char* title;   // the main window's title afterwards
        const char* opened;  // the file played, or "" for none
    } cases[] = {
        {3, 0, Remote->Label11, -1, "", "a.mp3"},  // first: no title, the first file again
        {3, 1, Remote->Label11, 0, "a title", "a.mp3"},
        {3, 1, Remote->Label13, 2, "c title", "c.mp3"},
        {3, 2, Remote->Label13, 2, "c title", "c.mp3"},  // last: the list refuses the step
        {1, 0, Remote->Label11, 0, "unchanged", ""},     // one entry: nothing happens
        {1, 0, Remote->Label13, 0, "unchanged", ""},
    };
    for (const Case& c : cases) {
        Form2->Command6_Click();
        for (int i = 0; i < c.entries; ++i) {
            std::string n(1, static_cast<char>('a' + i));
            Append(n + " title", Media(n + ".mp3"));
        }
        Form2->List1.SetListIndex(c.selected);
        frmMain1->Label24.SetCaption("unchanged");
        frmMain1->Label1.SetCaption("9:99");
        fake->ClearCalls();
        ClickOn(c.button);
        const std::string what = c.button.Name() + " from " + std::to_string(c.selected);
        EXPECT_EQ(Form2->List1.ListIndex(), c.index) << what;
        EXPECT_EQ(frmMain1->Label24.Caption(), c.title) << what;
        std::vector<std::string> expected;
        if (*c.opened) expected = {"Open(" + (program / c.opened) + ")", "Play"};
        EXPECT_EQ(fake->calls(), expected) << what;
        // The duration texts stay as they were.
        EXPECT_EQ(frmMain1->Label1.Caption(), "9:99") << what;
        EXPECT_EQ(Remote->QuixLabel2.Caption(), "00 : 00") << what;
    }
}

TEST_F(RemoteWindow, TheBarSeeksWithTheLeftButtonAlongItsWidth) {
    EXPECT_FLOAT_EQ(Remote->Pg.Width(), 1095);
    struct Case {
        int button;
        bool seeks;
    } cases[] = {{vb::vbLeftButton, true},
                 {vb::vbRightButton, false},
                 {vb::vbMiddleButton, false},
                 {vb::vbLeftButton | vb::vbRightButton, true}};
    for (const Case& c : cases) {
        PlayAt(100, 10);
        Remote->Pg_MouseDown(c.button, 0, 547.5f, 30);
        EXPECT_NEAR(Player().CurrentPosition(), c.seeks ? 50 : 10, 1e-9) << c.button;
    }
    // A press of the left button on the bar itself: X is the press's place in twips.
    PlayAt(100, 10);
    QTest::mousePress(Remote->Pg.widget(), Qt::LeftButton, {}, QPoint(36, 3));
    EXPECT_NEAR(Player().CurrentPosition(), 540 * (100 / 1095.0), 1e-9);
    QTest::mouseRelease(Remote->Pg.widget(), Qt::LeftButton, {}, QPoint(36, 3));
}

TEST_F(RemoteWindow, TheTimerShowsThePositionOnTheBar) {
    PlayAt(100.4, 10.6);
    vb::TimerClock::Advance(60);
    EXPECT_EQ(Remote->Pg.Max(), 100);
    EXPECT_EQ(Remote->Pg.Value(), 11);
}

TEST_F(RemoteWindow, CloseStopsAndEndsTheProgramWhileOtherWindowsAreOpen) {
    PlayAt(60, 5);
    Form2->Show();
    FrmVideo->Show();
    ClickOn(Remote->Label1);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(fake->calls(), std::vector<std::string>{"Stop"});
    // No clean-up: every window is as it was.
    EXPECT_TRUE(Remote.IsLoaded());
    EXPECT_TRUE(Form2->Visible());
}

TEST_F(RemoteWindow, CloseRemoteUnloadsItAndTheNextRemoteStartsAfresh) {
    Remote->QuixLabel2.SetCaption("3:07");
    Remote->QuixLabel3.SetCaption("01:02");
    QPointer<QWidget> window = Remote->window();
    ClickOn(Remote->Label12);
    EXPECT_FALSE(Remote.IsLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!window || !window->isVisible());
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(Remote->QuixLabel2.Caption(), "00 : 00");
    EXPECT_EQ(Remote->QuixLabel3.Caption(), "00 : 00");
    EXPECT_TRUE(Remote->Timer1.Enabled());
}

TEST_F(RemoteWindow, EveryButtonLooksPressedWhileAnyMouseButtonIsDown) {
    struct Pair {
        vb::Label& button;
        vb::PictureBox& picture;
    } pairs[] = {
        {Remote->Label2, Remote->Picture2},   {Remote->Label6, Remote->Picture5},
        {Remote->Label4, Remote->Picture4},   {Remote->Label7, Remote->Picture6},
        {Remote->Label8, Remote->Picture7},   {Remote->Label10, Remote->Picture9},
        {Remote->Label11, Remote->Picture10}, {Remote->Label13, Remote->Picture12},
        {Remote->Label9, Remote->Picture8},   {Remote->Label3, Remote->Picture3},
        {Remote->Label12, Remote->Picture11}, {Remote->Label1, Remote->Picture1},
    };
    for (const Pair& p : pairs) {
        // The picture lies behind its button, around it.
        QRect face = p.picture.widget()->geometry();
        EXPECT_TRUE(face.contains(p.button.widget()->geometry())) << p.button.Name();
        EXPECT_EQ(Remote->window()->childAt(face.center()), p.button.widget()) << p.button.Name();
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            EXPECT_EQ(p.picture.BorderStyle(), 0) << p.button.Name();
            QTest::mousePress(p.button.widget(), b, {}, QPoint(5, 5));
            EXPECT_EQ(p.picture.BorderStyle(), 1) << p.button.Name() << " " << b;
            // Released away from the button: no click, but the button comes up.
            QTest::mouseRelease(p.button.widget(), b, {}, QPoint(-40, -40));
            EXPECT_EQ(p.picture.BorderStyle(), 0) << p.button.Name() << " " << b;
        }
    }
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(Remote.IsLoaded());
}

TEST_F(RemoteWindow, EveryButtonShowsItsGlyphAndTip) {
    struct Design {
        vb::Label& button;
        const char* tip;
        const char* glyph;
    } designs[] = {
        {Remote->Label2, "Play", "\u25BA"},
        {Remote->Label6, "Pause", "\u25AE\u25AE"},
        {Remote->Label4, "Rewind", "\u25C0"},
        {Remote->Label7, "Forward", "\u25B6"},
        {Remote->Label8, "Fast Rewind", "\u25C0\u25C0"},
        {Remote->Label10, "Fast Forward", "\u25B6\u25B6"},
        {Remote->Label11, "Previous Track", "\u25C0\u25C0"},
        {Remote->Label13, "Next Track", "\u25B6\u25AE"},
        {Remote->Label9, "Playlist", "\u2630"},
        {Remote->Label3, "Browse", "\u23CF"},
        {Remote->Label12, "Close Remote", "\u2715"},
        {Remote->Label1, "Close", "\u2715"},
    };
    for (const Design& d : designs) {
        EXPECT_EQ(d.button.ToolTipText(), d.tip);
        EXPECT_EQ(static_cast<QLabel*>(d.button.widget())->text(), QString::fromUtf8(d.glyph))
            << d.tip;
        EXPECT_EQ(d.button.BackColor(),
                  &d.button == &Remote->Label1 ? RGB(192, 0, 0) : RGB(224, 224, 224))
            << d.tip;
    }
}

using RemoteActivation = PlayerTest;

TEST_F(RemoteActivation, TheRemoteBecomesTopmostWhenItIsActivated) {
    Start();
    EXPECT_FALSE(IsTopMost(Remote->hWnd()));  // loaded, not yet shown
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Remote->Show();
    EXPECT_TRUE(QTest::qWaitFor([] { return IsTopMost(Remote->hWnd()); }, 2000));
    EXPECT_TRUE(Remote->Visible());
}
