#include <QApplication>
#include <QTest>

#include "tests/player/PlayerFixture.h"

class Advance : public PlayerTest {
protected:
    void Fill(std::initializer_list<std::pair<const char*, double>> entries) {
        for (const auto& [name, seconds] : entries) Append(name, Media(name, seconds));
    }
};

TEST_F(Advance, TheEndOfAFileStartsTheNextEntry) {
    Start();
    Fill({{"a.mp3", 59.5}, {"b.mp3", 60.5}, {"c.mp3", 61.5}});
    Form2->List1.SetListIndex(0);
    Player().SetFileName(program / "a.mp3");
    Fake().Advance(60);  // to the end
    EXPECT_EQ(Form2->List1.ListIndex(), 1);
    EXPECT_EQ(Form2->List2.ListIndex(), 1);
    EXPECT_EQ(Player().FileName(), program / "b.mp3");
    EXPECT_EQ(Fake().state(), controls::MediaEngine::State::Playing);
    EXPECT_EQ(frmMain1->Label1.Caption(), "1:00");
    EXPECT_EQ(Remote->QuixLabel2.Caption(), "1:00");
    EXPECT_EQ(frmMain1->Label24.Caption(), "b.mp3");
    Fake().Advance(61);
    EXPECT_EQ(frmMain1->Label1.Caption(), "1:02");
    // The last entry wraps to the first, and both lists stay on it together.
    Fake().Advance(62);
    EXPECT_EQ(Form2->List1.ListIndex(), 0);
    EXPECT_EQ(Form2->List2.ListIndex(), 0);
    EXPECT_EQ(Player().FileName(), program / "a.mp3");
}

TEST_F(Advance, OneEntryPlaysAgainAndNoneSelectedStartsTheFirst) {
    Start();
    Fill({{"only.mp3", 10}});
    Player().SetFileName(program / "only.mp3");
    Fake().Advance(10);  // nothing selected: the first entry
    EXPECT_EQ(Form2->List1.ListIndex(), 0);
    EXPECT_EQ(Player().FileName(), program / "only.mp3");
    Fake().ClearCalls();
    Fake().Advance(10);
    EXPECT_EQ(Form2->List1.ListIndex(), 0);
    EXPECT_EQ(Count("Open(" + program / "only.mp3" + ")"), 1);
    EXPECT_EQ(Count("Play"), 1);
}

TEST_F(Advance, AnEmptyPlaylistChangesNothing) {
    Start(Media("alone.mp3", 5));
    Form2->Command6_Click();
    frmMain1->Label24.SetCaption("kept");
    Fake().Advance(5);
    EXPECT_EQ(frmMain1->Label24.Caption(), "kept");
    EXPECT_EQ(Fake().state(), controls::MediaEngine::State::Stopped);
}

TEST_F(Advance, VideoFilesShowTheVideoAndRemoteWindows) {
    Start();
    struct Case {
        const char* name;
        bool video;
    } cases[] = {{"m.avi", true},  {"m.MPEG", true}, {"m.mpg", true}, {"m.Dat", true},
                 {"m.wmv", false}, {"m.mov", false}, {"m.mp3", false}};
    for (const auto& c : cases) {
        Form2->Command6_Click();
        Fill({{"start.mp3", 1}, {c.name, 100}});
        Form2->List1.SetListIndex(0);
        FrmVideo->SetVisible(!c.video);
        Player().SetFileName(program / "start.mp3");
        Fake().Advance(1);
        EXPECT_EQ(FrmVideo->Visible(), c.video) << c.name;
        if (c.video) {
            EXPECT_TRUE(Remote->Visible()) << c.name;
        }
    }
}

TEST_F(Advance, LongTitlesShowTheirFirstTwentyFourCharacters) {
    Start();
    Append("012345678901234567890123456789", Media("long.mp3", 1));
    Player().SetFileName(program / "long.mp3");
    Fake().Advance(1);
    EXPECT_EQ(frmMain1->Label24.Caption(), "012345678901234567890123");
}

TEST_F(Advance, AnEntryThatCannotBePlayedGivesWayToTheNextAndSaysWhy) {
    Start(Media("first.mp3", 10));
    Fill({{"bad.mp3", 10}, {"good.mp3", 20}});
    fake->SetUnplayable(program / "bad.mp3");
    Form2->List1.SetListIndex(0);
    testing::internal::CaptureStderr();
    fake->Advance(10);  // first.mp3 ends: bad.mp3 fails, good.mp3 plays
    QCoreApplication::processEvents();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(program / "bad.mp3"), std::string::npos) << said;
    EXPECT_EQ(Player().FileName(), program / "good.mp3");
    EXPECT_EQ(fake->state(), controls::MediaEngine::State::Playing);
    EXPECT_EQ(Form2->List1.ListIndex(), 2);
    EXPECT_EQ(frmMain1->Label24.Caption(), "good.mp3");  // the entry that plays, not the failure
    EXPECT_EQ(frmMain1->Label1.Caption(), "0:20");
}

TEST_F(Advance, WhenNoEntryCanBePlayedItStopsAfterOneRoundAndSaysWhy) {
    Start();
    Player().SetFileName(Media("playing.mp3", 10));  // not in the playlist
    Fill({{"bad1.mp3", 10}, {"bad2.mp3", 10}});
    fake->SetUnplayable(program / "bad1.mp3");
    fake->SetUnplayable(program / "bad2.mp3");
    fake->ClearCalls();
    testing::internal::CaptureStderr();
    fake->Advance(10);
    QCoreApplication::processEvents();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Count("Open(" + program / "bad1.mp3" + ")"), 1);
    EXPECT_EQ(Count("Open(" + program / "bad2.mp3" + ")"), 1);
    EXPECT_EQ(frmMain1->Label24.Caption(), "Cannot play \"bad2.mp3\": the file cannot be decoded");
}

using Unplayable = PlayerTest;

TEST_F(Unplayable, AFileThatCannotBePlayedShowsWhyInPlaceOfItsTitle) {
    Start(Media("warm-up.mp3"));
    struct Case {
        std::string path;
        const char* shown;
    } cases[] = {
        {program / "gone.mp3", "Cannot open \"gone.mp3\": there is no such file"},
        {Media("notes.mp3"), "Cannot play \"notes.mp3\": the file cannot be decoded"},
    };
    fake->SetUnplayable(program / "notes.mp3");
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        Form5->TxtEdit1.SetText(c.path);  // handed over by a second start
        vb::TimerClock::Advance(100);
        QCoreApplication::processEvents();
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(frmMain1->Label24.Caption(), c.shown);
        EXPECT_NE(said.find(c.path), std::string::npos) << said;
        EXPECT_EQ(Player().FileName(), c.path);
    }
    // A file that plays afterwards shows its title again.
    Form5->TxtEdit1.SetText(Media("fine.mp3"));
    vb::TimerClock::Advance(100);
    QCoreApplication::processEvents();
    EXPECT_EQ(frmMain1->Label24.Caption(), "fine.mp3");
}

using VideoWindow = PlayerTest;

TEST_F(VideoWindow, FullScreenOnlyForVideoFiles) {
    Start();
    FrmVideo->Show();
    FrmVideo->QuixLabel1_Click();  // no file: nothing
    EXPECT_EQ(Player().DisplaySize(), 0);
    EXPECT_TRUE(FrmVideo->Visible());
    Player().SetFileName(Media("song.wmv"));
    FrmVideo->QuixLabel1_Click();
    EXPECT_EQ(Player().DisplaySize(), 0);
    Player().SetFileName(Media("clip.MPEG"));
    Form2->Show();
    FrmVideo->QuixLabel1_Click();
    EXPECT_EQ(Player().DisplaySize(), 3);
    EXPECT_EQ(frmMain1->WindowState(), vb::vbMinimized);
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(FrmVideo->Visible());
    EXPECT_TRUE(Remote->Visible());
    Player().SetDisplaySize(0);
}

namespace {

// The window the video takes in full screen, when it is up.
QWidget* FullScreenWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->isFullScreen()) return w;
    }
    return nullptr;
}

}  // namespace

class FullScreen : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        Start(Media("clip.avi", 30));
        FrmVideo->Show();
        FrmVideo->QuixLabel1_Click();
        ASSERT_NE(FullScreenWindow(), nullptr);
    }
    static bool Left() {
        QCoreApplication::processEvents();
        return FullScreenWindow() == nullptr && Player().DisplaySize() == 0;
    }
};

TEST_F(FullScreen, EscapeInAnyWindowOfTheProgramLeavesIt) {
    // The remote, shown after the video went full screen, may hold the focus.
    QTest::keyClick(Remote->window(), Qt::Key_Escape);
    EXPECT_TRUE(Left());
    EXPECT_EQ(fake->state(), controls::MediaEngine::State::Playing);  // the video plays on
    EXPECT_FALSE(FrmVideo->Visible());  // no key event of the video's came with it
}

TEST_F(FullScreen, ADoubleClickLeavesIt) {
    QTest::mouseDClick(FullScreenWindow(), Qt::LeftButton);
    EXPECT_TRUE(Left());
}

TEST_F(FullScreen, StoppingOrTheEndOfTheMediaClosesIt) {
    Player().Stop();
    EXPECT_TRUE(Left());
    Player().Play();
    FrmVideo->QuixLabel1_Click();
    ASSERT_NE(FullScreenWindow(), nullptr);
    fake->Advance(30);  // to the end: the advance starts the next entry in the video window
    EXPECT_TRUE(Left());
    EXPECT_EQ(fake->state(), controls::MediaEngine::State::Playing);
}

TEST_F(VideoWindow, TheBarSeeksAndTheTickFollows) {
    Start(Media("clip.avi", 100));
    FrmVideo->Pg_MouseDown(vb::vbLeftButton, 0, 997.5, 0);
    EXPECT_DOUBLE_EQ(Player().CurrentPosition(), 50);
    FrmVideo->Pg_MouseDown(vb::vbRightButton, 0, 0, 0);
    EXPECT_DOUBLE_EQ(Player().CurrentPosition(), 50);
    vb::TimerClock::Advance(60);
    EXPECT_EQ(FrmVideo->Pg.Max(), 100);
    EXPECT_EQ(FrmVideo->Pg.Value(), 50);
}

TEST_F(VideoWindow, TheMuteBoxMutesAndChecksTheMenuItem) {
    Start();
    FrmVideo->Check1.SetValue(1);
    EXPECT_TRUE(Player().Mute());
    EXPECT_TRUE(frmMain1->mute.Checked());
    FrmVideo->Check1.SetValue(0);
    EXPECT_FALSE(Player().Mute());
    EXPECT_FALSE(frmMain1->mute.Checked());
}

TEST_F(VideoWindow, TheHideSpotHidesItAndUnloadsTheRemote) {
    Start(Media("a.dat"));
    EXPECT_TRUE(Remote.IsLoaded());
    FrmVideo->Label2_Click();
    EXPECT_FALSE(FrmVideo->Visible());
    EXPECT_FALSE(Remote.IsLoaded());
}

TEST_F(VideoWindow, TheCloseIconEndsTheProgram) {
    Start();
    EXPECT_THROW(FrmVideo->Image2_Click(), vb::ProgramEnded);
    EXPECT_EQ(ends, 1);
}

TEST_F(VideoWindow, PlayerEventsShowTheWindows) {
    Start();
    FrmVideo->MediaPlayer1_KeyUp(65, 0);
    EXPECT_TRUE(FrmVideo->Visible());
    FrmVideo->SetVisible(false);
    FrmVideo->MediaPlayer1_KeyPress(97);
    EXPECT_TRUE(FrmVideo->Visible());
    FrmVideo->MediaPlayer1_MouseMove(0, 0, 0, 0);
    EXPECT_TRUE(Remote->Visible());
}

TEST_F(VideoWindow, ItIsTopmostAndUnloadingItTakesThePlayerAlong) {
    Start(Media("a.mp3"));
    EXPECT_TRUE(FrmVideo->window()->windowFlags() & Qt::WindowStaysOnTopHint);
    vb::Unload(*FrmVideo);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Player().FileName(), "");  // a new window with a new player
}

TEST_F(VideoWindow, ThePlayerFindsAFileWithoutRegardToLetterCaseAndKeepsTheNameGiven) {
    std::string real = Media("Song.MP3", 90);
    Start();
    std::string asked = program / "song.mp3";
    Player().SetFileName(asked);
    EXPECT_EQ(Player().FileName(), asked);
    EXPECT_EQ(Fake().calls().back(), "Open(" + real + ")");
    EXPECT_EQ(Player().Duration(), 90);
}
