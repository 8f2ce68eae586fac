// frmSkin: the skin chooser of the folder Sk. Apply applies the chosen skin and remembers it as
// the start-up skin.
#pragma once

#include "platform/controls/QuixLabel.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"

namespace forms {

class frmSkin : public vb::Form {
public:
    frmSkin();

    controls::QuixLabel QuixLabel6{this, "QuixLabel6", "Choose Skins..."};  // title strip
    controls::QuixLabel QuixLabel1{this, "QuixLabel1"};
    vb::ListBox ListSkin{this, "ListSkin"};
    vb::FileListBox LstSkin{this, "LstSkin"};
    controls::QuixLabel QuixLabel5{this, "QuixLabel5", "    &Apply"};
    controls::QuixLabel QuixLabel2{this, "QuixLabel2", "    &Cancel"};
    controls::QuixLabel QuixLabel3{this, "QuixLabel3", "    Close"};

    void Form_Load() override;
    void QuixLabel5_Click();
    void QuixLabel2_Click();
    void QuixLabel3_Click();
};

// Lists the skins of a folder: the names of its "*.ini" files up to their first ".".
void ListSkins(vb::FileListBox& files, vb::ListBox& names, const std::string& folder);

}  // namespace forms

inline vb::DefaultForm<forms::frmSkin> frmSkin;
