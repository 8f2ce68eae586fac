// The folder browser: every media file of the chosen folder is appended to the playlist.
#include <unistd.h>

#include <QTest>
#include <climits>

#include "platform/win/windowpos.h"
#include "player/Form3.h"
#include "tests/player/PlayerFixture.h"

namespace {

class FolderBrowser : public PlayerTest {
protected:
    testing_support::TempDir music;

    void SetUp() override {
        PlayerTest::SetUp();
        Start();
        for (const char* name : {"b.mp3", "A.Wav", "c.DAT", "d.wmv", "e.mov", "f.txt", "mp3"}) {
            testing_support::WriteFile(music / name, "media");
        }
    }

    static std::vector<std::string> Column(const vb::ListBox& list) {
        std::vector<std::string> items;
        for (long i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i));
        return items;
    }
};

// Changes the working folder for the lifetime of the object.
class InFolder {
public:
    explicit InFolder(const std::string& folder) {
        if (!::getcwd(old_, sizeof old_)) old_[0] = 0;
        EXPECT_EQ(::chdir(folder.c_str()), 0);
    }
    ~InFolder() {
        if (old_[0]) {
            EXPECT_EQ(::chdir(old_), 0);
        }
    }

private:
    char old_[PATH_MAX];
};

}  // namespace

TEST_F(FolderBrowser, OkAppendsTheFoldersMediaFilesInListOrderAndCloses) {
    Append("kept", "/m/kept.mp3");
    Form3->Show();
    EXPECT_TRUE(IsTopMost(Form3->hWnd()));
    Form3->Dir1.SetPath(music.path());
    Form3->Label2_Click();
    EXPECT_EQ(Column(Form2->List1), (std::vector<std::string>{"kept", "A.Wav", "b.mp3", "c.DAT"}));
    EXPECT_EQ(Column(Form2->List2), (std::vector<std::string>{"/m/kept.mp3", music / "A.Wav",
                                                              music / "b.mp3", music / "c.DAT"}));
    EXPECT_FALSE(Form3.IsLoaded());
    // Nothing is played or shown.
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(frmMain1->Timer1.Enabled());
    EXPECT_EQ(Player().FileName(), "");
    EXPECT_TRUE(script.Log().empty());
}

TEST_F(FolderBrowser, WithoutTouchingTheFoldersOkAddsTheCurrentFolder) {
    InFolder here(music.path());
    Form3->Show();
    EXPECT_EQ(Form3->Dir1.Path(), music.path());
    Form3->Label2_Click();
    EXPECT_EQ(Form2->List2.ListCount(), 3);
}

TEST_F(FolderBrowser, AFolderWithoutMediaFilesSaysSoAndCloses) {
    testing_support::TempDir empty;
    testing_support::WriteFile(empty / "notes.txt", "x");
    bool topmostDuringMessage = true;
    script.OnDialog(
        [&](const vb::DialogRecord&) { topmostDuringMessage = IsTopMost(Form3->hWnd()); });
    Append("kept", "/m/kept.mp3");
    Form3->Show();
    Form3->Dir1.SetPath(empty.path());
    Form3->Label2_Click();
    ASSERT_EQ(script.Log().size(), 1u);
    EXPECT_EQ(script.Log()[0].kind, "MsgBox");
    EXPECT_EQ(script.Log()[0].prompt, "No file found in the specified folder");
    EXPECT_EQ(script.Log()[0].title, "Information");
    EXPECT_EQ(script.Log()[0].buttons, vb::vbOKOnly);
    EXPECT_FALSE(topmostDuringMessage);
    EXPECT_FALSE(Form3.IsLoaded());
    EXPECT_EQ(Column(Form2->List2), std::vector<std::string>{"/m/kept.mp3"});
}

TEST_F(FolderBrowser, CloseAddsNothing) {
    Form3->Show();
    Form3->Dir1.SetPath(music.path());
    Form3->Label3_Click();
    EXPECT_FALSE(Form3.IsLoaded());
    EXPECT_FALSE(Form2.IsLoaded());
}

TEST_F(FolderBrowser, OnlyTheRootGetsNoSeparatorOfItsOwn) {
    EXPECT_EQ(forms::FileInFolder("/", "a.mp3"), "/a.mp3");
    EXPECT_EQ(forms::FileInFolder("/mp", "a.mp3"), "/mp/a.mp3");  // short, but not the root
    EXPECT_EQ(forms::FileInFolder("/home/music", "a.mp3"), "/home/music/a.mp3");
}

TEST_F(FolderBrowser, TheTitleStripAndTheBackgroundDragTheWindowWithAnyButton) {
    Form3->Move(1500, 1500);
    Form3->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form3->window()));
    for (vb::Control* handle :
         std::initializer_list<vb::Control*>{&Form3->Label1, &Form3->Image1}) {
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            QWidget* w = handle->widget();
            const QPoint before = Form3->window()->pos();
            // Below the drive list on the background, at the left of the title strip.
            const QPoint at(10, handle == &Form3->Image1 ? w->height() - 10 : 10);
            const QPoint start = w->mapToGlobal(at);
            QTest::mouseMove(w, at);
            QTest::mousePress(w, button, {}, at);
            for (QPoint step : {QPoint(30, 20), QPoint(60, 40)}) {
                QTest::mouseMove(w, w->mapFromGlobal(start + step));
            }
            QTest::mouseRelease(w, button, {}, w->mapFromGlobal(start + QPoint(60, 40)));
            EXPECT_EQ(Form3->window()->pos() - before, QPoint(60, 40)) << handle->Name();
        }
    }
    EXPECT_TRUE(Form3.IsLoaded());
}
