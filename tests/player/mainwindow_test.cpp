#include "platform/win/sound.h"
#include "tests/player/PlayerFixture.h"
#include "tests/support/media_files.h"

using MainWindow = PlayerTest;

TEST_F(MainWindow, TheTickShowsPositionAndElapsedTime) {
    std::string song = Media("song.mp3", 300);
    Start(song);
    Fake().Advance(125.3);
    vb::TimerClock::Advance(60);
    EXPECT_EQ(frmMain1->Pg.Max(), 300);
    EXPECT_EQ(frmMain1->Pg.Value(), 125);
    EXPECT_EQ(frmMain1->Label11.Caption(), "02:05");
    EXPECT_EQ(Remote->QuixLabel3.Caption(), "02:05");
}

TEST_F(MainWindow, ALengthBeyondSixteenBitsLeavesTheBarsMaximum) {
    std::string longOne = Media("long.mp3", 40000);
    Start(Media("short.mp3", 100));
    vb::TimerClock::Advance(60);
    EXPECT_EQ(frmMain1->Pg.Max(), 100);
    Player().SetFileName(longOne);
    Fake().Advance(35000);
    vb::TimerClock::Advance(60);
    EXPECT_EQ(frmMain1->Pg.Max(), 100);
    EXPECT_EQ(frmMain1->Pg.Value(), 35000);
    EXPECT_EQ(frmMain1->Label11.Caption(), "583:20");
}

TEST_F(MainWindow, WithoutAFileTheTickShowsNothingPlaying) {
    Start();
    frmMain1->Timer1.SetEnabled(true);
    vb::TimerClock::Advance(60);
    EXPECT_EQ(frmMain1->Pg.Max(), 0);
    EXPECT_EQ(frmMain1->Label11.Caption(), "00:00");
}

TEST_F(MainWindow, ALeftPressOnTheBarSeeksInProportion) {
    Start(Media("song.mp3", 300));
    frmMain1->Pg_MouseDown(vb::vbLeftButton, 0, 840, 0);
    EXPECT_DOUBLE_EQ(Player().CurrentPosition(), 150);
    frmMain1->Pg_MouseDown(vb::vbRightButton, 0, 1680, 0);
    EXPECT_DOUBLE_EQ(Player().CurrentPosition(), 150);
    frmMain1->Pg_MouseDown(vb::vbLeftButton, 0, 0, 0);
    EXPECT_DOUBLE_EQ(Player().CurrentPosition(), 0);
}

TEST_F(MainWindow, ThePressWithoutAFileDoesNothing) {
    Start();
    EXPECT_NO_THROW(frmMain1->Pg_MouseDown(vb::vbLeftButton, 0, 840, 0));
}

TEST_F(MainWindow, TheVolumeBarSetsVolumeAndMutesAtItsMark) {
    Start();
    struct Case {
        long bar;
        long volume;
        bool muted;
    } cases[] = {{2500, 0, false},
                 {0, -2500, false},
                 {2400, -100, false},
                 {250, -2250, true},
                 {251, -2249, false}};
    for (const auto& c : cases) {
        frmMain1->mute.SetChecked(true);
        frmMain1->vol.SetValue(c.bar);
        EXPECT_EQ(Player().Volume(), c.volume) << c.bar;
        EXPECT_EQ(Player().Mute(), c.muted) << c.bar;
        EXPECT_FALSE(frmMain1->mute.Checked()) << c.bar;  // the bar never checks the menu item
    }
}

TEST_F(MainWindow, PlayStartsTheSetFileAndShowsVideoForDatFiles) {
    std::string dat = Media("movie.dat", 90), song = Media("song.mp3", 200);
    Start(song);
    Player().Stop();
    frmMain1->Command1_Click();
    EXPECT_EQ(Fake().state(), controls::MediaEngine::State::Playing);
    EXPECT_EQ(frmMain1->Pg.Max(), 200);
    EXPECT_FALSE(FrmVideo->Visible());
    Player().SetFileName(dat);
    frmMain1->Command1_Click();
    EXPECT_TRUE(FrmVideo->Visible());
    EXPECT_TRUE(Remote->Visible());
    Player().SetFileName(song);
    frmMain1->Command1_Click();
    EXPECT_FALSE(FrmVideo->Visible());  // also when it was shown for an earlier file
}

TEST_F(MainWindow, PauseStopAndPlayWithoutAFileAreHarmless) {
    Start();
    EXPECT_NO_THROW(frmMain1->Command1_Click());
    EXPECT_NO_THROW(frmMain1->Command4_Click());
    EXPECT_NO_THROW(frmMain1->Command5_Click());
    Player().SetFileName(Media("a.mp3"));
    frmMain1->Command4_Click();
    EXPECT_EQ(Fake().state(), controls::MediaEngine::State::Paused);
    frmMain1->Command5_Click();
    EXPECT_EQ(Fake().state(), controls::MediaEngine::State::Stopped);
    frmMain1->Command1_Click();
    EXPECT_EQ(Fake().state(), controls::MediaEngine::State::Playing);
}

class Stepping : public PlayerTest {
protected:
    std::string a, b, c;
    void SetUp() override {
        PlayerTest::SetUp();
        a = Media("a.mp3", 187), b = Media("b.mp3", 65), c = Media("c.mp3", 3725);
        Start();
        Append("Title A", a);
        Append("A title of forty characters, shown whole", b);
        Append("Title C", c);
    }
};

TEST_F(Stepping, NextAndPreviousMoveOneEntryWithoutWrapping) {
    struct Case {
        long from;
        int step;
        long to;
        const char* title;
        std::string* path;
        const char* duration;
    } cases[] = {
        {0, +1, 1, "A title of forty characters, shown whole", &b, "1:05"},
        {-1, +1, 0, "Title A", &a, "3:07"},
        {2, +1, 2, "Title C", &c, "62:05"},  // refused past the last: the last plays again
        {2, -1, 1, "A title of forty characters, shown whole", &b, "1:05"},
    };
    for (const auto& k : cases) {
        Form2->List1.SetListIndex(k.from);
        Fake().ClearCalls();
        if (k.step > 0) {
            frmMain1->Command6_Click();
        } else {
            frmMain1->Command2_Click();
        }
        EXPECT_EQ(Form2->List1.ListIndex(), k.to) << k.from << k.step;
        EXPECT_EQ(frmMain1->Label24.Caption(), k.title);
        EXPECT_EQ(Player().FileName(), *k.path);
        EXPECT_EQ(Count("Play"), 1);
        EXPECT_EQ(frmMain1->Label1.Caption(), k.duration);
        EXPECT_EQ(Remote->QuixLabel2.Caption(), k.duration);
    }
}

TEST_F(Stepping, PreviousOnTheFirstEntryDeselectsAndReplaysThePathLeft) {
    Form2->List1.SetListIndex(0);
    frmMain1->Command2_Click();
    EXPECT_EQ(Form2->List1.ListIndex(), -1);
    EXPECT_EQ(frmMain1->Label24.Caption(), "");
    EXPECT_EQ(Player().FileName(), a);  // the path list keeps its own selection
}

TEST_F(Stepping, FewerThanTwoEntriesDoNothing) {
    Form2->Command6_Click();  // clear
    Append("Only", a);
    Form2->List1.SetListIndex(0);
    frmMain1->Label24.SetCaption("unchanged");
    frmMain1->Command6_Click();
    frmMain1->Command2_Click();
    EXPECT_EQ(frmMain1->Label24.Caption(), "unchanged");
    EXPECT_EQ(Player().FileName(), "");
}

TEST_F(MainWindow, TransportButtonsLookPressedAndTakeTheHoverCursor) {
    Start();
    auto& play = frmMain1->Command1;
    play.MouseDown(vb::vbRightButton, 0, 0, 0);
    EXPECT_EQ(play.BorderStyle(), 1);
    play.MouseUp(vb::vbRightButton, 0, 0, 0);
    EXPECT_EQ(play.BorderStyle(), 0);
    play.MouseMove(0, 0, 0, 0);  // no cursor file: the pointer stays
    EXPECT_TRUE(play.MouseIcon().IsNone());
    testing_support::WriteFile(program / "curAlbums.cur", testing_support::CursorFile());
    play.MouseMove(0, 0, 0, 0);
    EXPECT_FALSE(play.MouseIcon().IsNone());
    EXPECT_FALSE(frmMain1->Command5.MouseMove);  // Stop has no hover cursor
}

TEST_F(MainWindow, APressOnTheWindowClearsItsCaption) {
    Start();
    frmMain1->SetCaption("x");
    frmMain1->Form_MouseDown(vb::vbLeftButton, 0, 0, 0);
    EXPECT_EQ(frmMain1->Caption(), "");
}

TEST_F(MainWindow, ARestoredWindowClearsItsCaptionAndAMinimisedOneKeepsIt) {
    Start();
    frmMain1->SetCaption("x");
    frmMain1->SetWindowState(vb::vbMinimized);
    frmMain1->Form_Resize();
    EXPECT_EQ(frmMain1->Caption(), "x");
    frmMain1->SetWindowState(vb::vbNormal);
    frmMain1->Form_Resize();
    EXPECT_EQ(frmMain1->Caption(), "");
}

TEST_F(MainWindow, SoundPlaysTheProgramsWaveWithoutWaiting) {
    Start();
    std::vector<std::string> heard;
    platform::win::SetSoundHandler([&](const std::string& p, UINT f) {
        heard.push_back(p + ":" + std::to_string(f));
        return true;
    });
    frmMain1->sound();
    platform::win::SetSoundHandler(nullptr);
    EXPECT_EQ(heard, std::vector<std::string>{program / "Kesto.wav" + ":1"});
}
