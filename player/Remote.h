// Remote: the small always-on-top remote-control window. Twelve glyph buttons repeat the player's
// transport on the one media player and the playlist; it shows its own position bar and copies of
// the duration and elapsed texts.
#pragma once

#include "platform/controls/ProgressBar.h"
#include "platform/controls/QuixLabel.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"
#include "platform/vb/Timer.h"

namespace forms {

class Remote : public vb::Form {
public:
    Remote();

    controls::QuixLabel QuixLabel1{this, "QuixLabel1"};  // title strip
    // The picture boxes behind the buttons: their border is the pressed look.
    vb::PictureBox Picture1{this, "Picture1"};
    vb::PictureBox Picture2{this, "Picture2"};
    vb::PictureBox Picture3{this, "Picture3"};
    vb::PictureBox Picture4{this, "Picture4"};
    vb::PictureBox Picture5{this, "Picture5"};
    vb::PictureBox Picture6{this, "Picture6"};
    vb::PictureBox Picture7{this, "Picture7"};
    vb::PictureBox Picture8{this, "Picture8"};
    vb::PictureBox Picture9{this, "Picture9"};
    vb::PictureBox Picture10{this, "Picture10"};
    vb::PictureBox Picture11{this, "Picture11"};
    vb::PictureBox Picture12{this, "Picture12"};
    // The buttons: labels whose caption is one glyph of a symbol font.
    vb::Label Label1{this, "Label1"};                               // close
    vb::Label Label2{this, "Label2"};                               // play
    vb::Label Label3{this, "Label3"};                               // browse
    vb::Label Label4{this, "Label4"};                               // rewind
    vb::Label Label6{this, "Label6"};                               // pause
    vb::Label Label7{this, "Label7"};                               // forward
    vb::Label Label8{this, "Label8"};                               // fast rewind
    vb::Label Label9{this, "Label9"};                               // playlist
    vb::Label Label10{this, "Label10"};                             // fast forward
    vb::Label Label11{this, "Label11"};                             // previous track
    vb::Label Label12{this, "Label12"};                             // close remote
    vb::Label Label13{this, "Label13"};                             // next track
    controls::QuixLabel QuixLabel2{this, "QuixLabel2", "00 : 00"};  // duration
    controls::QuixLabel QuixLabel3{this, "QuixLabel3", "00 : 00"};  // elapsed time
    controls::ProgressG1 Pg{this, "Pg"};                            // 1095 twips wide
    vb::Timer Timer1{this, "Timer1", 60, true};
    vb::Timer Timer2{this, "Timer2", 0, true};  // no interval: never fires

    void Form_Activate() override;
    void Timer1_Timer();
    // Seeks to X × (Duration / 1095), X in twips from the bar's left edge, for the left button.
    void Pg_MouseDown(int Button, int Shift, float X, float Y);

    void Label1_Click();   // Stop, then the program ends at once
    void Label2_Click();   // play the file set, and show its duration
    void Label3_Click();   // the main window's browse
    void Label4_Click();   // -20 seconds
    void Label6_Click();   // pause
    void Label7_Click();   // +20 seconds
    void Label8_Click();   // -60 seconds
    void Label9_Click();   // shows the playlist window
    void Label10_Click();  // +120 seconds
    void Label11_Click();  // previous track
    void Label12_Click();  // unloads the remote
    void Label13_Click();  // next track

private:
    void Seek(double seconds);
};

}  // namespace forms

inline vb::DefaultForm<forms::Remote> Remote;
