#include "player/Remote.h"

#include "platform/vb/Conversions.h"
#include "platform/vb/Error.h"
#include "player/FrmVideo.h"
#include "player/Module1.h"

namespace forms {

Remote::Remote() : vb::Form("Remote", "Kesto Remote") {
    SetBorderStyle(0);
    SetBackColor(RGB(30, 34, 44));
    Move(9600, 6600, 3000, 1200);
    QuixLabel1.Move(0, 0, 3000, 300);
    QuixLabel1.SetCaption(" Kesto Remote");
    QuixLabel1.SetForeColor(RGB(200, 210, 228));
    QuixLabel2.Move(1800, 360, 1050, 255);
    QuixLabel3.Move(150, 360, 1050, 255);
    for (auto* l : {&QuixLabel2, &QuixLabel3}) l->SetForeColor(RGB(230, 236, 246));
    Pg.Move(150, 720, 1095, 105);
    for (auto* l : {&QuixLabel1, &QuixLabel2, &QuixLabel3}) {
        l->MouseDown = [this](int, int, float, float) { DragForm(*this); };
    }
    Timer1.OnTimer = [this] { Timer1_Timer(); };
}

void Remote::Timer1_Timer() {
    auto& player = ::FrmVideo->MediaPlayer1;
    vb::ResumeNext([&] { Pg.SetMax(vb::CInt(player.Duration())); });
    vb::ResumeNext([&] { Pg.SetValue(vb::CInt(player.CurrentPosition())); });
}

}  // namespace forms
