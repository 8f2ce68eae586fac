// FrmSetting: the main window's opacity, chosen with a slider.
#pragma once

#include "platform/vb/Form.h"

namespace forms {

class FrmSetting : public vb::Form {
public:
    FrmSetting();
};

}  // namespace forms

inline vb::DefaultForm<forms::FrmSetting> FrmSetting;
