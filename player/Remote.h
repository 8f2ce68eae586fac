// Remote: the small always-on-top remote-control window.
#pragma once

#include "platform/controls/ProgressBar.h"
#include "platform/controls/QuixLabel.h"
#include "platform/vb/Form.h"
#include "platform/vb/Timer.h"

namespace forms {

class Remote : public vb::Form {
public:
    Remote();

    controls::QuixLabel QuixLabel1{this, "QuixLabel1"};             // title strip
    controls::QuixLabel QuixLabel2{this, "QuixLabel2", "00 : 00"};  // duration
    controls::QuixLabel QuixLabel3{this, "QuixLabel3", "00 : 00"};  // elapsed time
    controls::ProgressG1 Pg{this, "Pg"};
    vb::Timer Timer1{this, "Timer1", 60, true};

    void Timer1_Timer();
};

}  // namespace forms

inline vb::DefaultForm<forms::Remote> Remote;
