#include "player/frmAbout.h"

#include "platform/vb/App.h"
#include "platform/vb/Error.h"
#include "player/Module1.h"

namespace forms {

frmAbout::frmAbout() : vb::Form("frmAbout", "About Kesto") {
    SetBorderStyle(0);
    SetBackColor(RGB(30, 34, 44));
    Move(4500, 3000, 5400, 3600);
    PicMainSkin.SetBorderStyle(0);
    PicMainSkin.Move(0, 0, 5400, 3600);
    p2.SetVisible(false);
    Picture1.SetBorderStyle(0);
    Picture1.Move(4800, 180, 360, 360);
    Picture1.SetBackColor(RGB(30, 34, 44));

    PicMainSkin.Click = [this] { Close(); };
    PicMainSkin.DblClick = [this] { Close(); };
    PicMainSkin.MouseDown = [this](int, int, float, float) { DragForm(*this); };
    Picture1.Click = [this] { Close(); };
}

void frmAbout::Form_Load() {
    SetTopMost(*this);
    vb::ResumeNext([&] {
        p2.SetPicture(vb::LoadPicture(vb::App::Path() + "/" + "About.bmp"));
        PicMainSkin.SetPicture(p2.Picture());
        // The close mark of the face shows through the area that takes its click.
        Picture1.SetPicture(vb::Picture::FromImage(p2.Picture().Image().copy(
            vb::TwipsToPixels(Picture1.Left()), vb::TwipsToPixels(Picture1.Top()),
            vb::TwipsToPixels(Picture1.Width()), vb::TwipsToPixels(Picture1.Height()))));
    });
    chngp();
}

void frmAbout::Form_Activate() {
    Fader1.FadeIn();
}

void frmAbout::Form_DblClick() {
    Close();
}

void frmAbout::Close() {
    Fader1.FadeOut();
    vb::Unload(*this);
}

void frmAbout::chngp() {
    ShapeFromPicture(*this, PicMainSkin);
}

}  // namespace forms
