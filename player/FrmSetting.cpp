#include "player/FrmSetting.h"

namespace forms {

FrmSetting::FrmSetting() : vb::Form("FrmSetting", "Setting") {}

}  // namespace forms
