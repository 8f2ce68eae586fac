#include "player/frmLogin.h"

namespace forms {

frmLogin::frmLogin() : vb::Form("frmLogin", "Login") {}

}  // namespace forms
