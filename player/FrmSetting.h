// FrmSetting: the main window's opacity in whole percent, chosen with a slider. Moving it previews
// the opacity on the main window; OK stores it in the per-user settings, Cancel puts back the
// opacity read when the program started.
#pragma once

#include <optional>
#include <string>

#include "platform/controls/Fader.h"
#include "platform/controls/ProgressBar.h"
#include "platform/controls/QuixLabel.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"

namespace forms {

class FrmSetting : public vb::Form {
public:
    FrmSetting();

    controls::QuixLabel QuixLabel1{this, "QuixLabel1"};  // background
    controls::QuixLabel QuixLabel2{this, "QuixLabel2", "Set Opacity"};
    controls::QuixLabel Per{this, "Per"};                   // the chosen value, "60 %"
    controls::ProgressG1 ProgressG11{this, "ProgressG11"};  // the slider, 25 to 100
    vb::CommandButton cmdOK{this, "cmdOK", "OK"};
    vb::CommandButton cmdCancel{this, "cmdCancel", "Cancel"};
    controls::Fader Fader1{this, "Fader1"};  // fades this window in

    void Form_Load() override;
    void Form_Activate() override;
    // The slider's change and scroll: Per and the main window's opacity follow it.
    void ProgressG11_Change();
    void ProgressG11_Scroll();
    void cmdOK_Click();
    void cmdCancel_Click();
};

// The opacity a stored text names: a whole percent from 25 to 100. Anything else, the empty text
// included, names none.
std::optional<long> OpacityPercent(const std::string& stored);

}  // namespace forms

inline vb::DefaultForm<forms::FrmSetting> FrmSetting;
