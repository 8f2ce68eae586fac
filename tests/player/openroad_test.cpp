// The open-file road: the chosen files are appended to the playlist, which is shown; the video
// window leaves the topmost band while the dialog is up.
#include "platform/win/windowpos.h"
#include "tests/player/PlayerFixture.h"

namespace {

class OpenRoad : public PlayerTest {
protected:
    bool videoTopmostDuringDialog = true;

    void SetUp() override {
        PlayerTest::SetUp();
        Start();
        script.OnDialog([this](const vb::DialogRecord& r) {
            if (r.kind == "ShowOpen") videoTopmostDuringDialog = IsTopMost(FrmVideo->hWnd());
        });
    }

    static std::vector<std::pair<std::string, std::string>> Playlist() {
        std::vector<std::pair<std::string, std::string>> entries;
        EXPECT_EQ(Form2->List1.ListCount(), Form2->List2.ListCount());
        for (long i = 0; i < Form2->List1.ListCount(); ++i)
            entries.emplace_back(Form2->List1.List(i), Form2->List2.List(i));
        return entries;
    }
};

using Entries = std::vector<std::pair<std::string, std::string>>;

}  // namespace

TEST_F(OpenRoad, TheDialogAsksForSeveralMediaFilesWithItsOwnTitleAndFilters) {
    frmMain1->QuixLabel6_Click();
    ASSERT_EQ(script.Log().size(), 1u);
    const vb::DialogRecord& shown = script.Log()[0];
    EXPECT_EQ(shown.kind, "ShowOpen");
    EXPECT_EQ(shown.title, "Kesto Player - Select File(s)...");
    EXPECT_EQ(shown.buttons, 524804);
    EXPECT_EQ(shown.prompt,
              "File Types(*.mp3;*.wav;*.dat;*.avi;*.wma;*.wmv;)|*.mp3;*.wav;*.dat;*.avi;*.wma;"
              "*.wmv;|MP3 sounds (*.mp3)|*.mp3|WAV Sounds (*.wav)|*.wav|Movie files (*.dat); "
              "(*.avi); (*.mov)|*.dat; *.avi; *.mov|Windows Media sounds (*.wma;*.wmv;)|*.wma;"
              "*.wmv;");
    EXPECT_TRUE(frmMain1->CommonDialog1.CancelError());
}

TEST_F(OpenRoad, ChosenFilesAreAppendedInTheDialogsOrderAndThePlaylistIsShown) {
    struct Case {
        std::vector<std::string> chosen;
        Entries appended;
    } cases[] = {
        {{"/music/one song.mp3"}, {{"one song.mp3", "/music/one song.mp3"}}},
        {{"/music/c.dat", "/music/a.mp3", "/music/b.wav"},
         {{"c.dat", "/music/c.dat"}, {"a.mp3", "/music/a.mp3"}, {"b.wav", "/music/b.wav"}}},
        // The root folder already ends in "/": its paths hold two in a row, stored so.
        {{"/root.mp3", "/x.wav"}, {{"root.mp3", "//root.mp3"}, {"x.wav", "//x.wav"}}},
        // A name typed in the dialog that names no file is taken as it is.
        {{"/music/not there.mp3"}, {{"not there.mp3", "/music/not there.mp3"}}},
    };
    for (const auto& c : cases) {
        Form2->Command6_Click();
        Form2->Hide();
        frmMain1->Timer1.SetEnabled(false);
        videoTopmostDuringDialog = true;
        script.AnswerShowOpen(c.chosen);
        frmMain1->QuixLabel6_Click();
        EXPECT_EQ(Playlist(), c.appended);
        EXPECT_TRUE(Form2->Visible());
        EXPECT_TRUE(frmMain1->Timer1.Enabled());
        EXPECT_FALSE(videoTopmostDuringDialog);
        EXPECT_TRUE(IsTopMost(FrmVideo->hWnd()));
    }
    // Nothing is played and the player's file stays.
    EXPECT_EQ(Player().FileName(), "");
    EXPECT_EQ(Count("Play"), 0);
}

TEST_F(OpenRoad, CancelAppendsNothingAndShowsNothingButTheVideoWindowIsTopmostAgain) {
    frmMain1->QuixLabel6_Click();  // no answer: the dialog is cancelled
    EXPECT_FALSE(Form2.IsLoaded());
    EXPECT_FALSE(frmMain1->Timer1.Enabled());
    EXPECT_FALSE(videoTopmostDuringDialog);
    EXPECT_TRUE(IsTopMost(FrmVideo->hWnd()));
    EXPECT_EQ(frmMain1->CommonDialog1.FileName(), "");

    Append("kept", "/m/kept.mp3");
    frmMain1->QuixLabel6_Click();
    EXPECT_EQ(Playlist(), (Entries{{"kept", "/m/kept.mp3"}}));
    EXPECT_FALSE(Form2->Visible());
}

TEST_F(OpenRoad, EveryRoadAppendsTheSameFileAgainEachTime) {
    script.AnswerShowOpen({"/music/a.mp3"});
    script.AnswerShowOpen({"/music/a.mp3"});
    script.AnswerShowOpen({"/music/a.mp3"});
    frmMain1->QuixLabel6_Click();
    Form2->QuixLabel1_Click();  // the playlist window's open button
    frmMain1->add_Click();      // the menu's "Add File"
    EXPECT_EQ(Playlist(), (Entries(3, {"a.mp3", "/music/a.mp3"})));
}
