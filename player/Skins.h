// Skins: the chooser of the folder Skins, behind the passcode. Apply applies the chosen skin; the
// choice is not remembered. Its face, skin.bmp, gives the window its size and shape.
#pragma once

#include "platform/controls/QuixLabel.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"

namespace forms {

class Skins : public vb::Form {
public:
    Skins();

    vb::PictureBox PicMainSkin{this, "PicMainSkin"};
    vb::Image p2{this, "p2"};
    vb::ListBox List1{this, "List1"};
    vb::FileListBox LstSkin{this, "LstSkin"};
    controls::QuixLabel QuixLabel1{this, "QuixLabel1", "    &Apply"};
    controls::QuixLabel QuixLabel2{this, "QuixLabel2", "    &Cancel"};
    controls::QuixLabel QuixLabel3{this, "QuixLabel3", "    Close"};

    void Form_Load() override;
    void QuixLabel1_Click();
    void chngp();
};

}  // namespace forms

inline vb::DefaultForm<forms::Skins> Skins;
