#include "tests/player/PlayerFixture.h"

class Playlist : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        Start();
        for (const char* n : {"a", "b", "c", "d"})
            Append(std::string(n) + " title", "/m/" + std::string(n) + ".mp3");
    }
    static std::string Titles() {
        std::string s;
        for (long i = 0; i < Form2->List1.ListCount(); ++i) s += Form2->List1.List(i).substr(0, 1);
        return s;
    }
    static std::string Paths() {
        std::string s;
        for (long i = 0; i < Form2->List2.ListCount(); ++i) s += Form2->List2.List(i).substr(3, 1);
        return s;
    }
};

TEST_F(Playlist, SelectingATitleSelectsItsPathAndFillsTheCurrentPathBox) {
    Form2->List1.SetListIndex(2);
    EXPECT_EQ(Form2->List2.ListIndex(), 2);
    EXPECT_EQ(frmMain1->Text1.Text(), "/m/c.mp3");
    Form2->List1.SetListIndex(-1);
    EXPECT_EQ(Form2->List2.ListIndex(), 2);  // no title selected: the paths keep theirs
}

TEST_F(Playlist, MovesKeepEveryTitleWithItsPath) {
    struct Case {
        long selected;
        int step;
        const char* order;
        long after;
    } cases[] = {
        {1, -1, "bacd", 0}, {0, -1, "abcd", 0},   {-1, -1, "abcd", -1}, {2, +1, "abdc", 3},
        {3, +1, "abcd", 3}, {-1, +1, "abcd", -1}, {0, +1, "bacd", 1},
    };
    for (const auto& c : cases) {
        Form2->Command6_Click();
        for (const char* n : {"a", "b", "c", "d"})
            Append(std::string(n) + " title", "/m/" + std::string(n) + ".mp3");
        Form2->List1.SetListIndex(c.selected);
        if (c.step < 0) {
            Form2->Command1_Click();
        } else {
            Form2->Command2_Click();
        }
        EXPECT_EQ(Titles(), c.order) << c.selected << c.step;
        EXPECT_EQ(Paths(), c.order) << c.selected << c.step;
        EXPECT_EQ(Form2->List1.ListIndex(), c.after);
        if (c.after >= 0) {
            EXPECT_EQ(Form2->List2.ListIndex(), c.after);
            EXPECT_EQ(frmMain1->Text1.Text(), Form2->List2.List(c.after));
        }
    }
}

TEST_F(Playlist, MovesAndRemovalFollowTheTitleEvenWhenThePathListLooksElsewhere) {
    Form2->List2.SetListIndex(3);  // the paths' own selection differs
    Form2->List1.SetListIndex(1);
    Form2->List2.SetListIndex(3);
    Form2->Command1_Click();
    EXPECT_EQ(Titles(), "bacd");
    EXPECT_EQ(Paths(), "bacd");
    Form2->List1.SetListIndex(2);
    Form2->List2.SetListIndex(0);
    Form2->remove_Click();
    EXPECT_EQ(Titles(), "bad");
    EXPECT_EQ(Paths(), "bad");
}

TEST_F(Playlist, RemoveTakesTheSelectedEntryAndLeavesNoSelection) {
    Form2->remove_Click();  // nothing selected: nothing happens
    EXPECT_EQ(Titles(), "abcd");
    Form2->List1.SetListIndex(1);
    Form2->remove_Click();
    EXPECT_EQ(Titles(), "acd");
    EXPECT_EQ(Paths(), "acd");
    EXPECT_EQ(Form2->List1.ListIndex(), -1);
    EXPECT_EQ(Form2->List2.ListIndex(), -1);
}

TEST_F(Playlist, ClearEmptiesBothAndLetsPlaybackGoOn) {
    std::string song = Media("song.mp3");
    Player().SetFileName(song);
    Form2->Command6_Click();
    EXPECT_EQ(Form2->List1.ListCount(), 0);
    EXPECT_EQ(Form2->List2.ListCount(), 0);
    EXPECT_EQ(Fake().state(), controls::MediaEngine::State::Playing);
    EXPECT_EQ(Player().FileName(), song);
}

TEST_F(Playlist, ADoubleClickPlaysTheSelectedEntry) {
    Form2->Command6_Click();
    std::string dat = Media("Movie.DaT", 125);
    Append("012345678901234567890123456789", dat);  // 30 characters
    Form2->List1.SetListIndex(0);
    Fake().ClearCalls();
    Form2->List1_DblClick();
    EXPECT_TRUE(frmMain1->Timer1.Enabled());
    EXPECT_TRUE(Remote->Timer1.Enabled());
    EXPECT_TRUE(FrmVideo->Timer1.Enabled());
    EXPECT_EQ(frmMain1->Label24.Caption(), "01234567890123456789012345678");
    EXPECT_EQ(frmMain1->Text1.Text(), dat);
    EXPECT_EQ(Player().FileName(), dat);
    EXPECT_EQ(Count("Play"), 1);
    EXPECT_TRUE(FrmVideo->Visible());
    EXPECT_TRUE(Remote->Visible());
    EXPECT_EQ(frmMain1->Label1.Caption(), "2:05");

    Form2->List1.SetListIndex(-1);
    Form2->remove_Click();
    Form2->List1.SetListIndex(0);
    Form2->remove_Click();
    Fake().ClearCalls();
    Form2->List1_DblClick();  // nothing selected anywhere
    EXPECT_EQ(frmMain1->Label24.Caption(), "");
    EXPECT_EQ(frmMain1->Text1.Text(), "");
    EXPECT_EQ(Player().FileName(), "");
    EXPECT_EQ(Count("Play"), 0);
}

TEST_F(Playlist, ATitleOfTwentyNineIsShownWhole) {
    Form2->Command6_Click();
    Append("01234567890123456789012345678", Media("x.mp3"));
    Form2->List1.SetListIndex(0);
    Form2->List1_DblClick();
    EXPECT_EQ(frmMain1->Label24.Caption(), "01234567890123456789012345678");
    EXPECT_FALSE(FrmVideo->Visible());
}

TEST_F(Playlist, OnlyTheRightButtonAloneOpensTheRemoveMenu) {
    script.AnswerPopupMenu("remove");
    Form2->List1.SetListIndex(0);
    Form2->List1_MouseDown(vb::vbMiddleButton, 0, 0, 0);
    Form2->List1_MouseDown(vb::vbLeftButton | vb::vbRightButton, 0, 0, 0);
    Form2->Form_MouseDown(vb::vbLeftButton, 0, 0, 0);
    EXPECT_EQ(Titles(), "abcd");
    Form2->List1_MouseDown(vb::vbRightButton, 0, 0, 0);
    EXPECT_EQ(Titles(), "bcd");
    Form2->Form_MouseDown(vb::vbRightButton, 0, 0,
                          0);  // the window itself: the menu, nothing picked
    int popups = 0;
    for (const auto& r : script.Log()) popups += r.kind == "PopupMenu";
    EXPECT_EQ(popups, 2);
}

TEST_F(Playlist, HideKeepsTheEntries) {
    Form2->Show();
    Form2->Command3_Click();
    EXPECT_FALSE(Form2->Visible());
    EXPECT_EQ(Titles(), "abcd");
}

TEST_F(Playlist, SavedEntriesGetTheNameBetweenTheLastSlashAndTheFirstDot) {
    struct Case {
        const char* path;
        const char* title;
    } cases[] = {
        {"/Music/song.mp3", "song"},
        {"/Music/my.song.mp3", "my"},
        {"/My.Music/song.mp3", "/My.Music/song.mp3"},  // the first dot before the last slash
        {"/Music/noext", "/Music/noext"},
        {"/Music/.hidden.mp3", ""},
    };
    for (const auto& c : cases) {
        std::string path = c.path, title = c.path;
        Form2->AddTitleToList(path, title);
        EXPECT_EQ(title, c.title) << c.path;
        EXPECT_EQ(Form2->List1.List(Form2->List1.ListCount() - 1), c.title);
    }
}
