#include <filesystem>

#include "platform/registry/registry.h"
#include "platform/vb/Conversions.h"
#include "platform/win/messages.h"
#include "tests/player/PlayerFixture.h"

using StartUp = PlayerTest;

TEST_F(StartUp, AFileOnTheCommandLineIsPlayedAndListed) {
    std::string song = Media("song.mp3", 187);
    Start("\"" + song + "\"");
    EXPECT_EQ(Player().FileName(), song);
    EXPECT_EQ(Fake().state(), controls::MediaEngine::State::Playing);
    EXPECT_EQ(Count("Play"), 0);  // setting the file name starts it
    ASSERT_EQ(Form2->List1.ListCount(), 1);
    EXPECT_EQ(Form2->List1.List(0), "song.mp3");
    EXPECT_EQ(Form2->List2.List(0), song);
    EXPECT_EQ(frmMain1->Label1.Caption(), "3:07");
    EXPECT_EQ(Remote->QuixLabel2.Caption(), "3:07");
    EXPECT_EQ(frmMain1->Label24.Caption(), "song.mp3");
    EXPECT_TRUE(frmMain1->Visible());
    EXPECT_FALSE(FrmVideo->Visible());
    EXPECT_FALSE(Remote->Visible());
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(Form5->Visible());
    EXPECT_TRUE(frmMain1->Timer1.Enabled());
    EXPECT_TRUE(FrmVideo->Timer1.Enabled());
    EXPECT_TRUE(Remote->Timer1.Enabled());
}

TEST_F(StartUp, ARelativePathIsTakenFromTheWorkingFolder) {
    std::string song = Media("media/tune.wav", 30);
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(program / "media");
    Start("tune.wav");
    std::filesystem::current_path(old);
    EXPECT_EQ(Form2->List2.List(0), song);
    EXPECT_EQ(Player().FileName(), song);
    EXPECT_EQ(Form2->List1.List(0), "tune.wav");
    EXPECT_EQ(frmMain1->Label1.Caption(), "0:30");
}

TEST_F(StartUp, ADatFileShowsTheVideoAndRemoteWindows) {
    Start(Media("CD.DaT", 30));
    EXPECT_TRUE(FrmVideo->Visible());
    EXPECT_TRUE(Remote->Visible());
}

TEST_F(StartUp, WithoutAFileOnlyTheMainWindowComesUp) {
    Start();
    EXPECT_TRUE(frmMain1->Visible());
    EXPECT_FALSE(frmMain1->Timer1.Enabled());
    EXPECT_FALSE(FrmVideo->Timer1.Enabled());
    EXPECT_FALSE(FrmVideo->Visible());
    EXPECT_FALSE(Remote.IsLoaded());
    EXPECT_FALSE(Form2.IsLoaded());
    EXPECT_EQ(Player().FileName(), "");
}

TEST_F(StartUp, AFileThePlayerRefusesStillComesUpListed) {
    std::string missing = program / "gone.mp3";
    Start(missing);
    EXPECT_TRUE(frmMain1->Visible());
    EXPECT_EQ(Form2->List2.List(0), missing);
    EXPECT_EQ(frmMain1->Label1.Caption(), "0:00");
}

TEST_F(StartUp, TitlesFollowTheStartUpRule) {
    Start();
    struct Case {
        const char* path;
        const char* title;
    } cases[] = {
        {"/Music/song.mp3", "song.mp3"},
        {"/My.Music/song.mp3", "song"},  // the first dot's position is the length
        {"/Music/noextension", ""},
        {"song.mp3", "song."},
        {"/a/b/c/track.wav", "track.wav"},
    };
    for (const auto& c : cases) {
        std::string path = c.path, title = "old";
        Form5->AddToPlaylist(path, title);
        EXPECT_EQ(title, c.title) << c.path;
        EXPECT_EQ(Form2->List1.List(Form2->List1.ListCount() - 1), c.title);
        EXPECT_EQ(frmMain1->Label24.Caption(), c.title);
    }
}

TEST_F(StartUp, TheMailboxAppendsAndPlaysWhatArrives) {
    std::string first = Media("first.mp3", 100);
    std::string second = Media("second.dat", 65);
    Start(first);
    frmMain1->Timer1.SetEnabled(false);
    Form2->List1.SetListIndex(0);

    Form5->TxtEdit1.SetText(second);  // as a second start's WM_SETTEXT does
    vb::TimerClock::Advance(100);
    EXPECT_EQ(Form5->TxtEdit1.Text(), "");
    ASSERT_EQ(Form2->List2.ListCount(), 2);
    EXPECT_EQ(Form2->List2.List(1), second);
    EXPECT_EQ(Form2->List1.List(1), "second.dat");
    EXPECT_EQ(Form2->List1.ListIndex(), 0);  // the selection does not move
    EXPECT_EQ(Player().FileName(), second);
    EXPECT_EQ(Fake().state(), controls::MediaEngine::State::Playing);
    EXPECT_EQ(frmMain1->Label24.Caption(), "second.dat");
    EXPECT_EQ(frmMain1->Label1.Caption(), "1:05");
    EXPECT_TRUE(FrmVideo->Visible());
    EXPECT_TRUE(Remote->Visible());
    EXPECT_FALSE(frmMain1->Timer1.Enabled());  // timers keep their state
    EXPECT_FALSE(Form5->Command1.Enabled());

    // An empty text does nothing.
    Form5->TxtEdit1.SetText("");
    vb::TimerClock::Advance(300);
    EXPECT_EQ(Form2->List2.ListCount(), 2);
}

TEST_F(StartUp, TwoHandOversWithinOnePollBothArriveAndTheLaterPlays) {
    Start();
    std::string a = Media("a.mp3"), b = Media("b.wav");
    Form5->TxtEdit1.SetText(a);
    Form5->TxtEdit1.SetText(b);
    vb::TimerClock::Advance(100);
    ASSERT_EQ(Form2->List2.ListCount(), 2);
    EXPECT_EQ(Form2->List2.List(0), a);
    EXPECT_EQ(Form2->List2.List(1), b);
    EXPECT_EQ(Form2->List1.List(0), "a.mp3");
    EXPECT_EQ(Form2->List1.List(1), "b.wav");
    EXPECT_EQ(Player().FileName(), b);
    EXPECT_FALSE(FrmVideo->Visible());
}

TEST_F(StartUp, TheSameFileHandedOverTwiceWithinOnePollArrivesTwice) {
    Start();
    std::string a = Media("a.mp3");
    HWND box = Form5->TxtEdit1.hWnd();
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(SendMessageA(box, WM_SETTEXT, 256, reinterpret_cast<LPARAM>(a.c_str())));
    }
    vb::TimerClock::Advance(100);
    ASSERT_EQ(Form2->List2.ListCount(), 2);
    EXPECT_EQ(Form2->List2.List(1), a);
    EXPECT_EQ(Form2->List1.List(1), "a.mp3");
    EXPECT_EQ(Form5->TxtEdit1.Text(), "");
}

class MainLoad : public PlayerTest {};

TEST_F(MainLoad, CountsRunsAndKeepsTheCount) {
    Start();
    EXPECT_EQ(GetSetting("A", "0", "RunCount"), "1");
    EXPECT_EQ(frmMain1->RunCounted.Text(), "1");
    UnloadAll();
    Start();
    EXPECT_EQ(frmMain1->RunCounted.Text(), "2");
    SaveSetting("A", "0", "RunCount", "x7");  // not a number: counts as 0
    UnloadAll();
    Start();
    EXPECT_EQ(frmMain1->RunCounted.Text(), "1");
}

TEST_F(MainLoad, AppliesTheStoredOpacityWhenItIsAWholePercent) {
    struct Case {
        const char* stored;
        long level;
        const char* saved;
    } cases[] = {{nullptr, 100, ""}, {"60", 60, "60"}, {"100", 100, "100"}, {"60.5", 100, ""},
                 {"abc", 100, ""},   {"10", 100, ""},  {"", 100, ""}};
    for (const auto& c : cases) {
        HKEY key;
        std::string path =
            "Software\\VB and VBA Program Settings\\" + vb::App::EXEName() + "\\Opacity";
        if (RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "p");
            RegCloseKey(key);
        }
        if (c.stored) SaveSetting(vb::App::EXEName(), "Opacity", "p", c.stored);
        Start();
        EXPECT_EQ(frmMain1->Fader1.Level(), c.level) << (c.stored ? c.stored : "none");
        EXPECT_EQ(vb::CStr(frmMain1->SavedOpacity), c.saved);
        UnloadAll();
    }
}

TEST_F(MainLoad, SetsTheVolumeBarAndThePlayersVolume) {
    Start();
    EXPECT_EQ(frmMain1->vol.Value(), 2400);
    EXPECT_EQ(Player().Volume(), -100);
    EXPECT_FALSE(Player().Mute());
    EXPECT_FALSE(frmMain1->Timer1.Enabled());
    EXPECT_EQ(frmMain1->Label24.Caption(), "Kesto Player ");  // no file: the designed title
}

TEST_F(MainLoad, WithAFileSetTheTitleIsTheSelectedEntryCutTo24Characters) {
    Start(Media("song.mp3"));
    Append("012345678901234567890123456789", program / "long.mp3");
    Form2->List1.SetListIndex(1);
    vb::Unload(*frmMain1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmMain1->Label24.Caption(), "012345678901234567890123");  // a fresh load
    vb::Unload(*frmMain1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Form2->List1.SetListIndex(-1);
    EXPECT_EQ(frmMain1->Label24.Caption(), "");  // nothing selected
}

TEST_F(MainLoad, ClosingTheMainWindowEndsTheProgram) {
    Start();
    frmMain1->window()->close();
    EXPECT_EQ(ends, 1);
}
