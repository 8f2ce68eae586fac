// FrmVideo: the video window. It owns the player's one media player control, shows video, and
// advances the playlist when a file ends.
#pragma once

#include "platform/controls/MediaPlayer.h"
#include "platform/controls/ProgressBar.h"
#include "platform/controls/QuixLabel.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"
#include "platform/vb/Timer.h"

namespace forms {

class FrmVideo : public vb::Form {
public:
    FrmVideo();

    vb::Image Image1{this, "Image1"};  // background picture, drag area
    controls::MediaPlayer MediaPlayer1{this, "MediaPlayer1"};
    controls::ProgressG1 Pg{this, "Pg"};
    vb::Timer Timer1{this, "Timer1", 60, true};
    vb::CheckBox Check1{this, "Check1", "Mute"};
    controls::QuixLabel QuixLabel1{this, "QuixLabel1", "Full Screen"};
    vb::Image Image2{this, "Image2"};  // ends the program
    vb::Label Label2{this, "Label2"};  // hides the window
    vb::PictureBox Picture1{this, "Picture1"};
    vb::Label Label1{this, "Label1"};
    vb::Label Label3{this, "Label3"};

    void Form_Load() override;
    void Form_MouseDown(int Button, int Shift, float X, float Y) override;
    void Form_Unload(int& Cancel) override;
    void Timer1_Timer();
    void Pg_MouseDown(int Button, int Shift, float X, float Y);
    void Check1_Click();
    void QuixLabel1_Click();
    void Image2_Click();
    void Label2_Click();
    void MediaPlayer1_EndOfStream(long Result);
    void MediaPlayer1_Error();
    void MediaPlayer1_KeyUp(int KeyCode, int ShiftState);
    void MediaPlayer1_KeyPress(int CharacterCode);
    void MediaPlayer1_MouseMove(int Button, int ShiftState, float x, float y);
};

}  // namespace forms

inline vb::DefaultForm<forms::FrmVideo> FrmVideo;
