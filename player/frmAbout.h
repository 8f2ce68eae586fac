// frmAbout: the about box, whose whole face is the picture About.bmp.
#pragma once

#include "platform/controls/Fader.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"

namespace forms {

class frmAbout : public vb::Form {
public:
    frmAbout();

    vb::PictureBox PicMainSkin{this, "PicMainSkin"};
    vb::Image p2{this, "p2"};
    vb::PictureBox Picture1{this, "Picture1"};  // a click closes the box
    controls::Fader Fader1{this, "Fader1"};

    void Form_Load() override;
    void Form_Activate() override;
    void Form_DblClick() override;
    void chngp();

private:
    void Close();
};

}  // namespace forms

inline vb::DefaultForm<forms::frmAbout> frmAbout;
