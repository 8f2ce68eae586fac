#include "player/frmLogin.h"

#include "platform/vb/Conversions.h"
#include "platform/vb/Dialogs.h"
#include "platform/vb/Screen.h"
#include "player/Module1.h"
#include "player/Skins.h"

namespace forms {

frmLogin::frmLogin() : vb::Form("frmLogin", "Login") {
    StyleDialog(*this, 280, 110);
    QuixLabel4.Move(300, 240, 3600, 300);
    QuixLabel4.SetForeColor(RGB(230, 236, 246));
    txtPassword.Move(300, 600, 3600, 330);
    txtPassword.SetPasswordChar("#");
    cmdOK.Move(1350, 1110, 1200, 375);
    cmdOK.SetDefault(true);
    cmdCancel.Move(2700, 1110, 1200, 375);
    cmdCancel.SetCancel(true);
    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmLogin::Form_Load() {
    SetTopMost(*this);
    SetTop((vb::Screen::Height() - Height()) / 2);
    SetLeft((vb::Screen::Width() - Width()) / 2);
}

void frmLogin::cmdOK_Click() {
    if (txtPassword.Text() != kPasscode) {
        vb::MsgBox("Wrong Passcode", vb::vbOKOnly, "Error..!");
        txtPassword.SetFocus();
        txtPassword.SetSelStart(0);
        txtPassword.SetSelLength(vb::Len(txtPassword.Text()));
        return;
    }
    vb::Unload(*this);
    ::Skins->Show();
}

void frmLogin::cmdCancel_Click() {
    vb::Unload(*this);
}

}  // namespace forms
