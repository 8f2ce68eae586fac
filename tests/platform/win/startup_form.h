// A start-up form with its text box, published as the player's mailbox is: what later starts
// search for and fill.
#pragma once

#include <QLineEdit>
#include <QWidget>

#include "platform/win/messages.h"

namespace testing_support {

struct StartUpForm {
    StartUpForm() {
        form.setWindowTitle("Startup");
        platform::win::SetWindowClass(&form, "ThunderRT6FormDC");
        box = new QLineEdit(&form);
        platform::win::SetWindowClass(box, "ThunderRT6TextBox");
    }
    QWidget form;
    QLineEdit* box = nullptr;
};

}  // namespace testing_support
