#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "platform/win/windowpos.h"
#include "player/Skins.h"
#include "player/frmLogin.h"
#include "player/frmSkin.h"
#include "tests/player/SkinFixture.h"

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

std::vector<std::string> Items(const vb::ListBox& list) {
    std::vector<std::string> items;
    for (long i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i));
    return items;
}

}  // namespace

using SkinChooser = SkinTest;

TEST_F(SkinChooser, ListsEverySkinOfSkAndStartsWithNothingChosen) {
    for (const char* n : {"Alpha.ini", "Beta.ini", "Gamma.ini", "notes.txt"})
        WriteFile(program / ("Sk/" + std::string(n)), "");
    frmSkin->Show();
    EXPECT_EQ(Items(frmSkin->ListSkin), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(frmSkin->ListSkin.ListIndex(), -1);
    EXPECT_TRUE(IsTopMost(frmSkin->hWnd()));
}

TEST_F(SkinChooser, CloseKeepsTheListAndCancelListsTheFolderAgain) {
    WriteSkin(program.path(), {.file = "Alpha", .skinName = "Alpha", .seed = 1});
    Settings("Alpha");
    Start();
    const std::string settings = ReadFile(program / "Settings.ini");
    frmSkin->Show();
    ASSERT_EQ(Items(frmSkin->ListSkin), std::vector<std::string>{"Alpha"});
    frmSkin->QuixLabel3_Click();  // Close
    EXPECT_TRUE(frmSkin.IsLoaded());
    EXPECT_FALSE(frmSkin->Visible());
    WriteFile(program / "Sk/Beta.ini", "");
    frmSkin->Show();
    EXPECT_EQ(Items(frmSkin->ListSkin), std::vector<std::string>{"Alpha"});
    frmSkin->QuixLabel2_Click();  // Cancel
    EXPECT_FALSE(frmSkin.IsLoaded());
    frmSkin->Show();
    EXPECT_EQ(Items(frmSkin->ListSkin), (std::vector<std::string>{"Alpha", "Beta"}));
    // Neither of them touches the start-up skin.
    EXPECT_EQ(ReadFile(program / "Settings.ini"), settings);
}

TEST_F(SkinChooser, ApplyOnAnEmptyListDoesNothing) {
    Start();
    const std::string settings = ReadFile(program / "Settings.ini");
    frmSkin->Show();
    ASSERT_EQ(frmSkin->ListSkin.ListCount(), 0);  // no folder Sk
    frmSkin->QuixLabel5_Click();
    EXPECT_EQ(ReadFile(program / "Settings.ini"), settings);
    EXPECT_TRUE(frmMain1->Visible());
    EXPECT_TRUE(frmSkin->Visible());  // the window stays open
}

TEST_F(SkinChooser, TheSkinsChooserWithoutItsPictureIsAPlainWorkingRectangle) {
    WriteSkin(program.path(), {.file = "Tavro", .skinName = "Tavro", .seed = 1});
    WriteSkin(program.path(), {.file = "Ruby",
                               .skinName = "Ruby",
                               .folder = "Skins",
                               .pictures = Skin::Pictures::Hidden,
                               .seed = 8});
    Settings("Tavro");
    Start();
    Skins->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Skins->window()));
    EXPECT_TRUE(Skins->PicMainSkin.Picture().IsNone());
    EXPECT_TRUE(Skins->window()->mask().isEmpty());
    EXPECT_TRUE(IsTopMost(Skins->hWnd()));
    ASSERT_EQ(Items(Skins->List1), std::vector<std::string>{"Ruby"});
    Skins->List1.SetListIndex(0);
    QTest::mouseClick(Skins->QuixLabel1.widget(), Qt::LeftButton, {}, QPoint(5, 5));  // Apply
    ExpectPlaced(8);
    EXPECT_TRUE(Skins.IsLoaded());
    EXPECT_EQ(ReadFile(program / "Settings.ini"), "[Configuration]\r\nSkin=Tavro\r\n");
    // Cancel and Close both unload it.
    for (controls::QuixLabel* (*button)() :
         {+[] { return &Skins->QuixLabel2; }, +[] { return &Skins->QuixLabel3; }}) {
        Skins->Show();
        QTest::mouseClick(button()->widget(), Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_FALSE(Skins.IsLoaded());
    }
}

class Passcode : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        Start();
    }
    static QLineEdit* Edit() { return static_cast<QLineEdit*>(frmLogin->txtPassword.widget()); }
};

TEST_F(Passcode, OnlyTheExactPasscodeOpensTheSkinsChooser) {
    struct Case {
        const char* typed;
        bool opens;
    } cases[] = {{"marbled", true},   {"Marbled", false}, {"MARBLED", false},
                 {"marbled ", false}, {"marble", false},  {"", false}};
    for (const Case& c : cases) {
        frmLogin->Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frmLogin->window()));
        QTest::keyClicks(Edit(), c.typed);
        const size_t boxes = script.Log().size();
        frmLogin->cmdOK_Click();
        if (c.opens) {
            EXPECT_FALSE(frmLogin.IsLoaded()) << c.typed;
            EXPECT_TRUE(Skins.IsLoaded() && Skins->Visible()) << c.typed;
            EXPECT_EQ(script.Log().size(), boxes) << c.typed;
            vb::Unload(*Skins);
            continue;
        }
        ASSERT_EQ(script.Log().size(), boxes + 1) << c.typed;
        const vb::DialogRecord& box = script.Log().back();
        EXPECT_EQ(box.kind, "MsgBox");
        EXPECT_EQ(box.prompt, "Wrong Passcode");
        EXPECT_EQ(box.title, "Error..!");
        EXPECT_EQ(box.buttons, vb::vbOKOnly);
        // The window stays, with the typed text selected and focused, so typing replaces it.
        EXPECT_TRUE(frmLogin.IsLoaded()) << c.typed;
        EXPECT_FALSE(Skins.IsLoaded()) << c.typed;
        EXPECT_EQ(frmLogin->txtPassword.SelStart(), 0) << c.typed;
        EXPECT_EQ(frmLogin->txtPassword.SelLength(), static_cast<long>(strlen(c.typed)));
        EXPECT_TRUE(Edit()->hasFocus()) << c.typed;
        vb::Unload(*frmLogin);
    }
}

TEST_F(Passcode, TypingAfterAWrongPasscodeReplacesItAndEveryAttemptMayFollow) {
    frmLogin->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frmLogin->window()));
    for (const char* wrong : {"Marbled", "x"}) {
        QTest::keyClicks(Edit(), wrong);
        frmLogin->cmdOK_Click();
    }
    QTest::keyClicks(Edit(), "marbled");
    EXPECT_EQ(frmLogin->txtPassword.Text(), "marbled");
    frmLogin->cmdOK_Click();
    EXPECT_FALSE(frmLogin.IsLoaded());
    EXPECT_TRUE(Skins->Visible());
    EXPECT_EQ(script.Log().size(), 2u);
}

TEST_F(Passcode, EnterPressesOKAndEscapePressesCancelInTheModalWindow) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool opens;
    } cases[] = {{Qt::Key_Return, {}, true},
                 {Qt::Key_Enter, Qt::KeypadModifier, true},
                 {Qt::Key_Escape, {}, false}};
    for (const Case& c : cases) {
        // As the menu shows it: modally; the show returns when the window is gone.
        QTimer::singleShot(0, [&c] {
            EXPECT_TRUE(QTest::qWaitForWindowActive(frmLogin->window()));
            QTest::keyClicks(Edit(), "marbled");
            QTest::keyClick(frmLogin->window(), c.key, c.modifiers);
        });
        // A key that presses nothing fails the test instead of keeping the window open.
        bool timedOut = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            timedOut = true;
            frmLogin->Hide();
        });
        watchdog.start(10000);
        frmLogin->Show(vb::vbModal);
        EXPECT_FALSE(timedOut) << c.key;
        EXPECT_FALSE(frmLogin.IsLoaded()) << c.key;
        // Cancel does nothing else.
        EXPECT_EQ(Skins.IsLoaded() && Skins->Visible(), c.opens) << c.key;
        if (Skins.IsLoaded()) vb::Unload(*Skins);
        if (frmLogin.IsLoaded()) vb::Unload(*frmLogin);
    }
    EXPECT_TRUE(script.Log().empty());
}

TEST_F(Passcode, TheWindowIsCentredTopmostMaskedAndStartsEmptyEachTime) {
    frmLogin->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frmLogin->window()));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QWidget* w = frmLogin->window();
    EXPECT_LE(std::abs(w->x() + w->width() / 2 - screen.center().x()), 1);
    EXPECT_LE(std::abs(w->y() + w->height() / 2 - screen.center().y()), 1);
    EXPECT_TRUE(IsTopMost(frmLogin->hWnd()));
    EXPECT_EQ(frmLogin->Caption(), "Login");
    EXPECT_EQ(frmLogin->QuixLabel4.Caption(), "Enter Passcode");
    QTest::keyClicks(Edit(), "secret");
    EXPECT_EQ(Edit()->displayText(), "######");
    frmLogin->cmdCancel_Click();
    EXPECT_FALSE(frmLogin.IsLoaded());
    EXPECT_EQ(frmLogin->txtPassword.Text(), "");  // nothing remembers the last attempt
}
