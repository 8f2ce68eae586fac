#include "player/Skins.h"

#include "platform/vb/App.h"
#include "platform/vb/Error.h"
#include "player/Module1.h"
#include "player/frmMain1.h"
#include "player/frmSkin.h"

namespace forms {

Skins::Skins() : vb::Form("Skins", "More Skins") {
    SetBorderStyle(0);
    SetBackColor(RGB(30, 34, 44));
    Move(3600, 3600, 4800, 4200);  // the size of its face
    PicMainSkin.SetBorderStyle(0);
    PicMainSkin.Move(0, 0, 4800, 4200);
    p2.SetVisible(false);
    List1.Move(300, 750, 4200, 2400);
    LstSkin.SetVisible(false);
    float left = 300;
    for (auto* b : {&QuixLabel1, &QuixLabel2, &QuixLabel3}) {
        b->Move(left, 3375, 1200, 360);
        b->SetForeColor(RGB(240, 244, 250));
        left += 1500;
    }
    PicMainSkin.MouseDown = [this](int, int, float, float) { DragForm(*this); };
    PicMainSkin.MouseMove = [this](int b, int, float, float) {
        if (b == 1) DragForm(*this);
    };
    QuixLabel1.Click = [this] { QuixLabel1_Click(); };
    QuixLabel2.Click = [this] { vb::Unload(*this); };
    QuixLabel3.Click = [this] { vb::Unload(*this); };
}

void Skins::Form_Load() {
    vb::ResumeNext([&] { ListSkins(LstSkin, List1, vb::App::Path() + "/skins"); });
    SetTopMost(*this);
    // Without its picture the window keeps a plain rectangle, and works all the same.
    vb::ResumeNext([&] {
        vb::Picture face = vb::LoadPicture(vb::App::Path() + "/" + "skin.bmp");
        SetPicture(face);
        p2.SetPicture(face);
        PicMainSkin.SetPicture(p2.Picture());
        chngp();
    });
}

void Skins::QuixLabel1_Click() {
    ::frmMain1->CmdSkin_Click();
}

void Skins::chngp() {
    ShapeFromPicture(*this, PicMainSkin);
}

}  // namespace forms
