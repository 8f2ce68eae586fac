#include "player/Remote.h"

#include "platform/vb/App.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Error.h"
#include "player/Form2.h"
#include "player/FrmVideo.h"
#include "player/Module1.h"
#include "player/Module3.h"
#include "player/frmMain1.h"

namespace forms {

namespace {

// The window's design, in pixels: a title strip with the two close buttons at its right end, a
// row of ten buttons, and the elapsed time, the position bar and the duration below them.
constexpr int kWidth = 312, kHeight = 86, kStrip = 28;
constexpr int kFaceWidth = 28, kFaceHeight = 24, kStep = 30;  // a button's picture box
constexpr int kRowLeft = 7, kRowTop = 32;

float Twips(int pixels) {
    return vb::PixelsToTwips(pixels);
}

}  // namespace

Remote::Remote() : vb::Form("Remote", "Kesto Remote") {
    SetBorderStyle(0);
    SetBackColor(RGB(30, 34, 44));
    Move(9600, 6600, Twips(kWidth), Twips(kHeight));
    SetPicture(TitledPanelPicture(kWidth, kHeight, kStrip, "Kesto Remote"));
    QuixLabel1.Move(0, 0, Twips(kWidth), Twips(kStrip));

    // The twelve buttons: glyph (face, character code, size in points, bold), tooltip, picture
    // box, click, and the place of the picture box (pixels).
    struct Button {
        vb::Label& label;
        const char* face;
        unsigned char code;
        float size;
        bool bold;
        const char* tip;
        vb::PictureBox& picture;
        void (Remote::*click)();
        int left, top;
    } buttons[] = {
        {Label11, "Webdings", 0x39, 9.75f, false, "Previous Track", Picture10,
         &Remote::Label11_Click, kRowLeft + 0 * kStep, kRowTop},
        {Label8, "Webdings", 0x39, 9.75f, false, "Fast Rewind", Picture7, &Remote::Label8_Click,
         kRowLeft + 1 * kStep, kRowTop},
        {Label4, "Webdings", 0x33, 9.75f, true, "Rewind", Picture4, &Remote::Label4_Click,
         kRowLeft + 2 * kStep, kRowTop},
        {Label2, "Wingdings", 0x5D, 8.25f, true, "Play", Picture2, &Remote::Label2_Click,
         kRowLeft + 3 * kStep, kRowTop},
        {Label6, "Webdings", 0x3B, 9.75f, false, "Pause", Picture5, &Remote::Label6_Click,
         kRowLeft + 4 * kStep, kRowTop},
        {Label7, "Webdings", 0x34, 9.75f, true, "Forward", Picture6, &Remote::Label7_Click,
         kRowLeft + 5 * kStep, kRowTop},
        {Label10, "Webdings", 0x38, 9.75f, false, "Fast Forward", Picture9, &Remote::Label10_Click,
         kRowLeft + 6 * kStep, kRowTop},
        {Label13, "Webdings", 0x3A, 9.75f, false, "Next Track", Picture12, &Remote::Label13_Click,
         kRowLeft + 7 * kStep, kRowTop},
        {Label9, "Webdings", 0x9D, 9.0f, true, "Playlist", Picture8, &Remote::Label9_Click,
         kRowLeft + 8 * kStep, kRowTop},
        {Label3, "Webdings", 0x35, 9.75f, true, "Browse", Picture3, &Remote::Label3_Click,
         kRowLeft + 9 * kStep, kRowTop},
        {Label12, "Webdings", 0x3D, 9.75f, true, "Close Remote", Picture11, &Remote::Label12_Click,
         kWidth - 2 * kStep - 3, 2},
        {Label1, "Webdings", 0x3D, 9.75f, true, "Close", Picture1, &Remote::Label1_Click,
         kWidth - kStep - 3, 2},
    };
    for (const Button& b : buttons) {
        const COLORREF back = &b.label == &Label1 ? RGB(192, 0, 0) : RGB(224, 224, 224);
        vb::PictureBox* picture = &b.picture;
        picture->SetBorderStyle(0);
        picture->SetBackColor(back);
        picture->Move(Twips(b.left), Twips(b.top), Twips(kFaceWidth), Twips(kFaceHeight));
        vb::Font font;
        font.name = b.face;
        font.size = b.size;
        font.bold = b.bold;
        b.label.SetFont(font);
        b.label.SetCaption(std::string(1, static_cast<char>(b.code)));
        b.label.SetToolTipText(b.tip);
        b.label.SetBackColor(back);
        b.label.SetAlignment(2);
        // Inside the picture box's border, so that its sunken border shows around the glyph.
        b.label.Move(Twips(b.left + 2), Twips(b.top + 2), Twips(kFaceWidth - 4),
                     Twips(kFaceHeight - 4));
        b.label.MouseDown = [picture](int, int, float, float) { picture->SetBorderStyle(1); };
        b.label.MouseUp = [picture](int, int, float, float) { picture->SetBorderStyle(0); };
        b.label.Click = [this, click = b.click] { (this->*click)(); };
    }

    QuixLabel3.Move(Twips(kRowLeft), Twips(62), Twips(66), Twips(18));
    QuixLabel3.SetAlignment(1);
    Pg.Move(Twips(kRowLeft + 72), Twips(67), 1095, Twips(8));
    Pg.SetBackColor(RGB(28, 32, 40));
    Pg.SetBarColor(RGB(120, 190, 255));
    QuixLabel2.Move(Twips(kRowLeft + 72 + 73 + 6), Twips(62), Twips(66), Twips(18));
    for (auto* l : {&QuixLabel2, &QuixLabel3}) l->SetForeColor(RGB(230, 236, 246));
    for (auto* l : {&QuixLabel1, &QuixLabel2, &QuixLabel3}) {
        l->MouseDown = [this](int, int, float, float) { DragForm(*this); };
    }
    Pg.MouseDown = [this](int b, int s, float x, float y) { Pg_MouseDown(b, s, x, y); };
    Timer1.OnTimer = [this] { Timer1_Timer(); };
}

void Remote::Form_Activate() {
    SetTopMost(*this);
}

void Remote::Timer1_Timer() {
    auto& player = ::FrmVideo->MediaPlayer1;
    vb::ResumeNext([&] { Pg.SetMax(vb::CInt(player.Duration())); });
    vb::ResumeNext([&] { Pg.SetValue(vb::CInt(player.CurrentPosition())); });
}

void Remote::Pg_MouseDown(int Button, int, float X, float) {
    if (!(Button & vb::vbLeftButton)) return;
    auto& player = ::FrmVideo->MediaPlayer1;
    player.SetCurrentPosition(static_cast<double>(X) * (player.Duration() / 1095.0));
}

// The seek steps are not clamped: a position below 0 or past the end goes to the player as it is.
void Remote::Seek(double seconds) {
    auto& player = ::FrmVideo->MediaPlayer1;
    vb::ResumeNext([&] { player.SetCurrentPosition(player.CurrentPosition() + seconds); });
}

void Remote::Label4_Click() {
    Seek(-20);
}
void Remote::Label7_Click() {
    Seek(+20);
}
void Remote::Label8_Click() {
    Seek(-60);
}
void Remote::Label10_Click() {
    Seek(+120);
}

void Remote::Label2_Click() {
    auto& player = ::FrmVideo->MediaPlayer1;
    if (player.FileName().empty()) return;
    vb::ResumeNext([&] { player.Play(); });
    std::string text;
    if (!vb::ResumeNext([&] { text = DurationText(player.Duration()); })) return;
    vb::ResumeNext([&] { ::frmMain1->Label1.SetCaption(text); });
    vb::ResumeNext([&] { QuixLabel2.SetCaption(text); });
}

void Remote::Label6_Click() {
    vb::ResumeNext([&] { ::FrmVideo->MediaPlayer1.Pause(); });
}

void Remote::Label11_Click() {
    StepTrack(-1);
}
void Remote::Label13_Click() {
    StepTrack(+1);
}

void Remote::Label9_Click() {
    ::Form2->Show();
}

void Remote::Label3_Click() {
    ::frmMain1->QuixLabel6_Click();
}

void Remote::Label12_Click() {
    vb::Unload(*this);
}

void Remote::Label1_Click() {
    vb::ResumeNext([&] { ::FrmVideo->MediaPlayer1.Stop(); });
    vb::End();
}

}  // namespace forms
