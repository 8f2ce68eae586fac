// frmLogin: the passcode window in front of the Skins chooser.
#pragma once

#include "platform/vb/Form.h"

namespace forms {

class frmLogin : public vb::Form {
public:
    frmLogin();
};

}  // namespace forms

inline vb::DefaultForm<forms::frmLogin> frmLogin;
