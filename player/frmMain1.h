// frmMain1: the main, skinned window: transport buttons, position and volume bars, time and title
// labels, the label buttons the skin places, and the pop-up menu.
#pragma once

#include <string>

#include "platform/controls/CommonDialog.h"
#include "platform/controls/Fader.h"
#include "platform/controls/ProgressBar.h"
#include "platform/controls/QuixLabel.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"
#include "platform/vb/Menu.h"
#include "platform/vb/Timer.h"
#include "platform/vb/Variant.h"

namespace forms {

class frmMain1 : public vb::Form {
public:
    frmMain1();

    // The skin face; covers the whole window.
    vb::PictureBox PicMainSkin{this, "PicMainSkin"};
    vb::Image p2{this, "p2"};

    // Label buttons and labels; the skin places them.
    controls::QuixLabel QuixLabel1{this, "QuixLabel1"};  // minimise
    controls::QuixLabel QuixLabel2{this, "QuixLabel2"};  // close
    controls::QuixLabel QuixLabel3{this, "QuixLabel3"};  // about
    controls::QuixLabel QuixLabel4{this, "QuixLabel4"};  // video
    controls::QuixLabel QuixLabel5{this, "QuixLabel5"};  // associate
    controls::QuixLabel QuixLabel6{this, "QuixLabel6"};  // browse
    controls::QuixLabel QuixLabel7{this, "QuixLabel7"};  // playlist
    controls::QuixLabel QuixLabel8{this, "QuixLabel8"};  // menu
    controls::QuixLabel Label1{this, "Label1"};          // duration
    controls::QuixLabel Label2{this, "Label2"};
    controls::QuixLabel Label3{this, "Label3"};
    controls::QuixLabel Label11{this, "Label11"};                   // elapsed time
    controls::QuixLabel Label24{this, "Label24", "Kesto Player "};  // title

    controls::ProgressG1 vol{this, "vol"};  // volume
    controls::ProgressG1 Pg{this, "Pg"};    // position

    // Transport buttons: picture boxes with a glyph each.
    vb::PictureBox Command1{this, "Command1"};  // Play
    vb::PictureBox Command2{this, "Command2"};  // Previous
    vb::PictureBox Command4{this, "Command4"};  // Pause
    vb::PictureBox Command5{this, "Command5"};  // Stop
    vb::PictureBox Command6{this, "Command6"};  // Next

    vb::Timer Timer1{this, "Timer1", 60, false};
    controls::Fader Fader1{this, "Fader1"};
    controls::CommonDialog CommonDialog1{this, "CommonDialog1"};
    vb::FileListBox skinF{this, "skinF"};
    vb::FileListBox FileSkin{this, "FileSkin"};
    vb::TextBox RunCounted{this, "RunCounted"};
    // The path of the entry last selected in the playlist.
    vb::TextBox Text1{this, "Text1"};
    vb::TextBox txtLoad{this, "txtLoad"};
    vb::ListBox lstTypes{this, "lstTypes"};
    vb::CommandButton StartupSkin{this, "StartupSkin"};
    vb::CommandButton SkinCmd{this, "SkinCmd"};
    vb::CommandButton CmdSkin{this, "CmdSkin"};

    // The pop-up menu and its items.
    vb::Menu kesto{this, "kesto", "Kesto"};
    vb::Menu add{this, "add", "Add File", &kesto};
    vb::Menu Direct{this, "Direct", "Add Directory", &kesto};
    vb::Menu n{this, "n", "Next Track", &kesto};
    vb::Menu Prevus{this, "Prevus", "Previous Track", &kesto};
    vb::Menu mute{this, "mute", "Mute", &kesto};
    vb::Menu skin{this, "skin", "Skins", &kesto};
    vb::Menu choose{this, "choose", "Choose Skins", &skin};
    vb::Menu more{this, "more", "More Skins...", &skin};
    vb::Menu ty{this, "ty", "-", &kesto};
    vb::Menu Rem{this, "Rem", "Remote", &kesto};
    vb::Menu lop{this, "lop", "-", &kesto};
    vb::Menu shut{this, "shut", "Shut Down", &kesto};
    vb::Menu setting{this, "setting", "Setting", &kesto};
    vb::Menu about{this, "about", "About", &kesto};
    vb::Menu exit{this, "exit", "Exit", &kesto};
    vb::Menu velo{this, "velo", "Velora"};
    vb::Menu Ab{this, "Ab", "About", &velo};
    vb::Menu ex{this, "ex", "Exit", &velo};

    // The opacity text read from the per-user settings at load ("" when there was none).
    vb::Variant SavedOpacity;

    void Form_Load() override;
    void Form_MouseDown(int Button, int Shift, float X, float Y) override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;
    // Hides the skin pictures again.
    void Form_Terminate() override;

    void Timer1_Timer();
    void Pg_MouseDown(int Button, int Shift, float X, float Y);
    // The skin picture: the left button drags the window, the right one pops up the menu.
    void PicMainSkin_MouseDown(int Button, int Shift, float X, float Y);
    void PicMainSkin_MouseMove(int Button, int Shift, float X, float Y);
    void vol_Change();
    void vol_Scroll();

    // Transport.
    void Command1_Click();
    void Command2_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();

    // Plays Kesto.wav of the program folder, asynchronously.
    void sound();

    // Skins: the start-up skin from Sk, a skin chosen in frmSkin (Sk), one chosen in Skins.
    void StartupSkin_Click();
    void SkinCmd_Click();
    void CmdSkin_Click();
    // Puts the labels into the default layout.
    void RefreshLabel();
    // Hides every picture of the Skins folder; RefreshExt then gives PicName's back.
    void RefreshAll();
    void RefreshExt(std::string& PicName);
    // Sizes the window to its skin face and cuts its shape from it.
    void chngp();

    // The pop-up menu's items.
    void add_Click();
    void Direct_Click();
    void n_Click();
    void Prevus_Click();
    // Mutes the player when the item is unchecked, unmutes it when checked, and flips the mark.
    void mute_Click();
    void choose_Click();
    void more_Click();
    void Rem_Click();
    // Starts the companion program sysoff beside the player; the player goes on running.
    void shut_Click();
    void setting_Click();
    void about_Click();
    // Hides the skin pictures, then ends the program at once.
    void exit_Click();
    void Ab_Click();
    // Ends the program at once.
    void ex_Click();

    // The label buttons.
    void QuixLabel1_Click();  // minimises the window
    void QuixLabel1_MouseMove(int Button, int Shift, float X, float Y);
    void QuixLabel2_Click();  // hides the skin pictures and ends the program
    void QuixLabel3_Click();  // the about box, modeless
    void QuixLabel4_Click();  // the video and remote windows, whatever file is loaded
    // Associates the player with its file types.
    void QuixLabel5_Click();
    // The open-file road: the chosen files are appended to the playlist, which is shown.
    void QuixLabel6_Click();
    void QuixLabel7_Click();  // the playlist window
    void QuixLabel8_Click();  // pops up the menu
    // The click sound.
    void Label2_MouseDown(int Button, int Shift, float X, float Y);
    void Label3_MouseDown(int Button, int Shift, float X, float Y);

    // Selects (or, with false, deselects) every entry of the type list.
    void SelectAllTypes(bool flag);

    // A skin's description file as read (frmMain1.cpp).
    struct SkinFile;

private:
    enum class Road { StartUp, Chooser, Hidden };
    struct Look;
    // Applies the road's skin: ChosenSkin, then ReadSkin and DressIn; a chooser's skin that
    // fails half-way gets the window's look before it back (RestoreLook).
    void ApplySkin(Road road);
    std::string ChosenSkin(Road road);
    Look CurrentLook();
    SkinFile ReadSkin(Road road, const std::string& name);
    void DressIn(Road road, SkinFile& skin);
    void RestoreLook(const Look& before);
    void KeepWithinReach(const SkinFile& skin);
    void HidePictures();
    void Volume();
    void Step(int step);
    void HoverCursor(vb::PictureBox& button);
    void ClickSound();
};

}  // namespace forms

inline vb::DefaultForm<forms::frmMain1> frmMain1;
