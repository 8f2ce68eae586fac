#include "player/FrmVideo.h"

#include <QPainter>

#include "platform/vb/App.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Error.h"
#include "player/Form2.h"
#include "player/Module1.h"
#include "player/Module3.h"
#include "player/Remote.h"
#include "player/frmMain1.h"

namespace forms {

namespace {

vb::Picture CloseIcon() {
    QImage img(14, 14, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(192, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(0, 0, 14, 14);
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(4, 4, 10, 10);
    p.drawLine(10, 4, 4, 10);
    return vb::Picture::FromImage(img, vb::Picture::Kind::Icon);
}

}  // namespace

FrmVideo::FrmVideo() : vb::Form("FrmVideo", "Kesto Video") {
    SetBorderStyle(0);
    Move(9600, 1500, 5400, 4800);  // 360 x 320 pixels
    Image1.SetStretch(true);
    Image1.Move(0, 0, 5400, 4800);
    Image1.SetPicture(PanelPicture(360, 320));
    MediaPlayer1.Move(150, 300, 5100, 3600);
    Pg.Move(150, 4020, 1995, 120);
    Check1.Move(2400, 3960, 1000, 255);
    Check1.SetBackColor(RGB(20, 23, 31));
    Check1.SetForeColor(RGB(220, 226, 236));
    QuixLabel1.Move(3600, 3960, 1500, 255);
    QuixLabel1.SetForeColor(RGB(220, 226, 236));
    QuixLabel1.SetAlignment(2);
    QuixLabel1.SetToolTipText("Full Screen");
    Image2.Move(5040, 60, 210, 210);
    Image2.SetPicture(CloseIcon());
    Image2.SetToolTipText("Close");
    Label2.Move(4680, 60, 300, 210);  // the hide spot
    Label2.SetBackStyle(0);
    Label2.SetToolTipText("Hide");
    Picture1.SetVisible(false);
    Label1.SetVisible(false);
    Label3.SetVisible(false);

    Image1.MouseDown = [this](int b, int s, float x, float y) { Form_MouseDown(b, s, x, y); };
    Timer1.OnTimer = [this] { Timer1_Timer(); };
    Pg.MouseDown = [this](int b, int s, float x, float y) { Pg_MouseDown(b, s, x, y); };
    Check1.Click = [this] { Check1_Click(); };
    QuixLabel1.Click = [this] { QuixLabel1_Click(); };
    Image2.Click = [this] { Image2_Click(); };
    Label2.Click = [this] { Label2_Click(); };
    MediaPlayer1.EndOfStream = [this](long r) { MediaPlayer1_EndOfStream(r); };
    MediaPlayer1.Error = [this] { MediaPlayer1_Error(); };
    MediaPlayer1.KeyUp = [this](int k, int s) { MediaPlayer1_KeyUp(k, s); };
    MediaPlayer1.KeyPress = [this](int c) { MediaPlayer1_KeyPress(c); };
    MediaPlayer1.MouseMove = [this](int b, int s, float x, float y) {
        MediaPlayer1_MouseMove(b, s, x, y);
    };
}

void FrmVideo::Form_Load() {
    SetTopMost(*this);
}

void FrmVideo::Form_MouseDown(int, int, float, float) {
    DragForm(*this);
}

void FrmVideo::Form_Unload(int&) {
    MediaPlayer1.SetVideoUnloadFlag(false);
}

void FrmVideo::Timer1_Timer() {
    vb::ResumeNext([&] { Pg.SetMax(vb::CInt(MediaPlayer1.Duration())); });
    vb::ResumeNext([&] { Pg.SetValue(vb::CInt(MediaPlayer1.CurrentPosition())); });
}

void FrmVideo::Pg_MouseDown(int Button, int, float X, float) {
    if (!(Button & 1)) return;
    MediaPlayer1.SetCurrentPosition(static_cast<double>(X) * (MediaPlayer1.Duration() / 1995.0));
}

void FrmVideo::Check1_Click() {
    MediaPlayer1.SetMute(Check1.Value() == 1);
    ::frmMain1->mute.SetChecked(Check1.Value() == 1);
}

void FrmVideo::QuixLabel1_Click() {
    if (MediaPlayer1.FileName().empty()) return;
    if (!IsVideoFile(MediaPlayer1.FileName())) return;
    MediaPlayer1.SetDisplaySize(3);
    ::frmMain1->SetWindowState(vb::vbMinimized);
    ::Form2->Hide();
    SetWindowState(vb::vbMinimized);
    SetVisible(false);
    ::Remote->Show();
}

void FrmVideo::Image2_Click() {
    vb::End();
}

void FrmVideo::Label2_Click() {
    Hide();
    if (::Remote.IsLoaded()) vb::Unload(*::Remote);
}

void FrmVideo::MediaPlayer1_EndOfStream(long) {
    auto& list1 = ::Form2->List1;
    if (list1.ListCount() == 0) return;
    // An entry that cannot be played (its reason is shown by MediaPlayer1_Error) gives way to the
    // next one; once every entry has been tried, the one that just ended among them, the advance
    // stops.
    const long n = list1.ListCount();
    bool playing = false;
    for (long tried = 0; tried < n && !playing; ++tried) {
        long i = list1.ListIndex();
        list1.SetListIndex(i + 1 == n ? 0 : i + 1);  // the path list follows
        try {
            MediaPlayer1.SetFileName(::Form2->List2.Text());
            MediaPlayer1.Play();
            playing = true;
        } catch (const controls::MediaError&) {
        }
    }
    if (!playing) return;
    std::string text = DurationText(MediaPlayer1.Duration());
    ::frmMain1->Label1.SetCaption(text);
    ::Remote->QuixLabel2.SetCaption(text);
    std::string title = list1.Text();
    ::frmMain1->Label24.SetCaption(vb::Len(title) > 24 ? vb::Left(title, 24) : title);
    if (IsVideoFile(MediaPlayer1.FileName())) {
        Show();
        ::Remote->Show();
    } else {
        SetVisible(false);
    }
}

// A file that cannot be played: the reason takes the place of the title in the main window.
void FrmVideo::MediaPlayer1_Error() {
    ::frmMain1->Label24.SetCaption(MediaPlayer1.ErrorDescription());
}

void FrmVideo::MediaPlayer1_KeyUp(int, int) {
    Show();
}
void FrmVideo::MediaPlayer1_KeyPress(int) {
    SetVisible(true);
}
void FrmVideo::MediaPlayer1_MouseMove(int, int, float, float) {
    ::Remote->Show();
}

}  // namespace forms
