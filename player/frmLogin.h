// frmLogin: the passcode window in front of the Skins chooser. Only the right passcode opens it;
// nothing remembers that it was once given.
#pragma once

#include "platform/controls/QuixLabel.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"

namespace forms {

class frmLogin : public vb::Form {
public:
    frmLogin();

    controls::QuixLabel QuixLabel4{this, "QuixLabel4", "Enter Passcode"};
    vb::TextBox txtPassword{this, "txtPassword"};              // shows every typed character as "#"
    vb::CommandButton cmdOK{this, "cmdOK", "OK"};              // the Enter key presses it
    vb::CommandButton cmdCancel{this, "cmdCancel", "Cancel"};  // the Escape key presses it

    // Topmost, and centred on the screen.
    void Form_Load() override;
    // The right passcode unloads the window and shows Skins; a wrong one says so and selects
    // the typed text, so that typing replaces it.
    void cmdOK_Click();
    void cmdCancel_Click();
};

// The passcode, compared exactly, letter case included.
inline constexpr const char* kPasscode = "marbled";

}  // namespace forms

inline vb::DefaultForm<forms::frmLogin> frmLogin;
