// The main window's pop-up menu and label buttons: what each command does.
#include <sys/stat.h>

#include <QTest>
#include <QTimer>
#include <filesystem>

#include "platform/registry/registry.h"
#include "platform/win/sound.h"
#include "player/Form3.h"
#include "player/FrmSetting.h"
#include "player/frmAbout.h"
#include "player/frmLogin.h"
#include "player/frmSkin.h"
#include "tests/player/PlayerFixture.h"
#include "tests/support/media_files.h"

namespace fs = std::filesystem;

namespace {

class Commands : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        Start();
    }

    // Picks `item` from the menu that the menu label pops up.
    void Pick(const std::string& item) {
        script.AnswerPopupMenu(item);
        frmMain1->QuixLabel8_Click();
    }

    // Runs `command`, which shows a form modally, and hides that form once it is up; true when
    // it was shown modally.
    template <class F>
    static bool RunModal(vb::DefaultForm<F>& form, const std::function<void()>& command) {
        auto modal = std::make_shared<bool>(false);
        QTimer::singleShot(0, [&form, modal] {
            *modal = form.IsLoaded() && form->Visible() &&
                     form->window()->windowModality() == Qt::ApplicationModal;
            if (form.IsLoaded()) form->Hide();
        });
        command();
        QCoreApplication::processEvents();
        return *modal;
    }
};

std::vector<std::string> Captions(const vb::Menu& menu) {
    std::vector<std::string> captions;
    for (const vb::Menu* m : menu.Items()) {
        captions.push_back(m->Caption());
        for (const vb::Menu* sub : m->Items()) captions.push_back("  " + sub->Caption());
    }
    return captions;
}

}  // namespace

TEST_F(Commands, TheMenusHoldEveryItemAndNeitherIsEverAMenuBar) {
    EXPECT_EQ(Captions(frmMain1->kesto),
              (std::vector<std::string>{"Add File", "Add Directory", "Next Track", "Previous Track",
                                        "Mute", "Skins", "  Choose Skins", "  More Skins...", "-",
                                        "Remote", "-", "Shut Down", "Setting", "About", "Exit"}));
    EXPECT_EQ(Captions(frmMain1->velo), (std::vector<std::string>{"About", "Exit"}));
    EXPECT_FALSE(frmMain1->kesto.Visible());
    EXPECT_FALSE(frmMain1->velo.Visible());
    EXPECT_FALSE(frmMain1->mute.Checked());
    frmMain1->QuixLabel8_Click();
    ASSERT_EQ(script.Log().size(), 1u);
    EXPECT_EQ(script.Log()[0].kind, "PopupMenu");
    EXPECT_EQ(script.Log()[0].prompt, "kesto");
}

TEST_F(Commands, EachWindowCommandShowsItsWindowModelessOrModal) {
    struct Case {
        const char* what;
        std::function<void()> command;
        std::function<bool()> shown;
    } cases[] = {
        {"Direct", [&] { Pick("Direct"); }, [] { return Form3->Visible(); }},
        {"choose", [&] { Pick("choose"); }, [] { return frmSkin->Visible(); }},
        {"Rem", [&] { Pick("Rem"); }, [] { return Remote->Visible(); }},
        {"setting", [&] { Pick("setting"); }, [] { return FrmSetting->Visible(); }},
        {"about", [&] { Pick("about"); }, [] { return frmAbout->Visible(); }},
        {"QuixLabel3", [] { frmMain1->QuixLabel3_Click(); }, [] { return frmAbout->Visible(); }},
        {"QuixLabel7", [] { frmMain1->QuixLabel7_Click(); }, [] { return Form2->Visible(); }},
    };
    for (const auto& c : cases) {
        c.command();
        EXPECT_TRUE(c.shown()) << c.what;
        UnloadAll();
        Start();
    }
    EXPECT_TRUE(RunModal(frmLogin, [&] { Pick("more"); }));
    EXPECT_TRUE(RunModal(frmAbout, [] { frmMain1->Ab_Click(); }));
    Pick("about");
    EXPECT_TRUE(frmAbout->Visible());
    EXPECT_EQ(frmAbout->window()->windowModality(), Qt::NonModal);
}

TEST_F(Commands, NextAndPreviousTrackStepThePlaylist) {
    for (const char* n : {"a", "b", "c"}) Append(n, Media(std::string(n) + ".mp3"));
    Form2->List1.SetListIndex(0);
    Pick("n");
    EXPECT_EQ(Form2->List1.ListIndex(), 1);
    EXPECT_EQ(Player().FileName(), program / "b.mp3");
    Pick("Prevus");
    EXPECT_EQ(Form2->List1.ListIndex(), 0);
    EXPECT_EQ(Player().FileName(), program / "a.mp3");
}

TEST_F(Commands, MuteFlipsThePlayerAndItsMark) {
    Pick("mute");
    EXPECT_TRUE(Player().Mute());
    EXPECT_TRUE(frmMain1->mute.Checked());
    Pick("mute");
    EXPECT_FALSE(Player().Mute());
    EXPECT_FALSE(frmMain1->mute.Checked());
    // The volume bar unchecks the item; the next click mutes again.
    Pick("mute");
    frmMain1->vol.SetValue(2000);
    EXPECT_FALSE(frmMain1->mute.Checked());
    Pick("mute");
    EXPECT_TRUE(Player().Mute());
    EXPECT_TRUE(frmMain1->mute.Checked());
}

TEST_F(Commands, ShutDownStartsSysoffBesideThePlayerAndThePlayerGoesOn) {
    Pick("shut");  // no sysoff: nothing happens
    EXPECT_EQ(ends, 0);
    const std::string marker = program / "sysoff ran";
    testing_support::WriteFile(program / "sysoff",
                               "#!/bin/sh\nprintf '%s' \"$#\" > \"" + marker + "\"\n");
    fs::permissions(program / "sysoff", fs::perms::owner_all);
    Pick("shut");
    EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(marker); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return testing_support::ReadFile(marker) == "0"; }, 5000))
        << "started without arguments";
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(frmMain1->Visible());
    for (const auto& r : script.Log()) EXPECT_NE(r.kind, "MsgBox");
}

TEST_F(Commands, TheEndsHideTheSkinPicturesOrNotAndRunNoUnloadCode) {
    struct Case {
        const char* what;
        std::function<void()> command;
        const char* left;  // the picture's name afterwards
    } cases[] = {
        {"exit", [&] { Pick("exit"); }, "Blue.JKwo"},
        {"QuixLabel2",
         [] { vb::Dispatch("QuixLabel2_Click", [] { frmMain1->QuixLabel2_Click(); }); },
         "Blue.JKwo"},
        {"ex", [] { vb::Dispatch("ex_Click", [] { frmMain1->ex_Click(); }); }, "Blue.Jpg"},
        {"Form_Terminate", [] { frmMain1->Form_Terminate(); }, "Blue.JKwo"},
    };
    for (const auto& c : cases) {
        fs::remove_all(program / "Skins");
        testing_support::WriteFile(program / "Skins/Blue.Jpg", "picture");
        const size_t loaded = vb::Forms().size();
        ends = 0;
        c.command();
        EXPECT_TRUE(fs::exists(fs::path(program / "Skins") / c.left)) << c.what;
        EXPECT_EQ(ends, std::string(c.what) == "Form_Terminate" ? 0 : 1) << c.what;
        EXPECT_EQ(vb::Forms().size(), loaded) << c.what;  // no form was unloaded
        EXPECT_TRUE(frmMain1.IsLoaded());
    }
}

TEST_F(Commands, TheMinimiseAndVideoLabels) {
    frmMain1->QuixLabel1_Click();
    EXPECT_EQ(frmMain1->WindowState(), vb::vbMinimized);
    // The video label restores a minimised video window and shows it with the remote, also when
    // no file is loaded.
    FrmVideo->SetWindowState(vb::vbMinimized);
    frmMain1->QuixLabel4_Click();
    EXPECT_EQ(FrmVideo->WindowState(), vb::vbNormal);
    EXPECT_TRUE(FrmVideo->Visible());
    EXPECT_TRUE(Remote->Visible());
    EXPECT_EQ(Player().FileName(), "");
    frmMain1->QuixLabel4_Click();  // it never hides anything
    EXPECT_TRUE(FrmVideo->Visible());
}

TEST_F(Commands, TheSoundLabelsPlayTheClickSoundOnAnyButton) {
    std::vector<std::string> heard;
    platform::win::SetSoundHandler([&](const std::string& p, UINT f) {
        heard.push_back(p + ":" + std::to_string(f));
        return true;
    });
    frmMain1->Label2.MouseDown(vb::vbLeftButton, 0, 0, 0);
    frmMain1->Label3.MouseDown(vb::vbRightButton, 0, 0, 0);
    frmMain1->Label3.MouseDown(vb::vbMiddleButton, 0, 0, 0);
    platform::win::SetSoundHandler(nullptr);
    EXPECT_EQ(heard, std::vector<std::string>(3, program / "aah.wav" + ":1"));
}

TEST_F(Commands, TheMinimiseLabelTakesTheAlbumsCursorWhenThereIsOne) {
    auto& label = frmMain1->QuixLabel1;
    label.MouseMove(0, 0, 0, 0);
    EXPECT_TRUE(label.MouseIcon().IsNone());
    EXPECT_EQ(label.MousePointer(), vb::vbCustom);
    testing_support::WriteFile(program / "curAlbums.cur", testing_support::CursorFile());
    label.MouseMove(0, 0, 0, 0);
    EXPECT_FALSE(label.MouseIcon().IsNone());
}

TEST_F(Commands, TheAssociateLabelRegistersTheTypes) {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".mp3");
    frmMain1->QuixLabel5_Click();
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, ".mp3", ""),
              vb::App::EXEName() + ".mp3");
}
