#include "player/FrmSetting.h"

#include <cmath>

#include "platform/registry/registry.h"
#include "platform/vb/App.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Error.h"
#include "player/Module1.h"
#include "player/frmMain1.h"

namespace forms {

std::optional<long> OpacityPercent(const std::string& stored) {
    if (stored.empty()) return std::nullopt;
    double v = 0;
    if (!vb::ResumeNext([&] { v = vb::CDbl(stored); })) return std::nullopt;
    if (!(v >= 25 && v <= 100) || v != std::floor(v)) return std::nullopt;
    return static_cast<long>(v);
}

FrmSetting::FrmSetting() : vb::Form("FrmSetting", "Setting") {
    StyleDialog(*this, 280, 130);
    Move(4500, 4500);
    QuixLabel1.Move(0, 0, 4200, 1950);
    QuixLabel2.Move(300, 180, 2400, 300);
    Per.Move(3000, 180, 900, 300);
    Per.SetAlignment(1);
    for (auto* l : {&QuixLabel2, &Per}) l->SetForeColor(RGB(230, 236, 246));
    ProgressG11.Move(300, 630, 3600, 240);
    ProgressG11.SetMin(25);
    ProgressG11.SetMax(100);
    ProgressG11.SetBackColor(RGB(28, 32, 40));
    ProgressG11.SetBarColor(RGB(120, 190, 255));
    cmdOK.Move(1350, 1290, 1200, 375);
    cmdCancel.Move(2700, 1290, 1200, 375);
    Fader1.SetFadeInSpeed(8);
    Fader1.SetFadeOutSpeed(8);

    ProgressG11.Change = [this] { ProgressG11_Change(); };
    ProgressG11.Scroll = [this] { ProgressG11_Scroll(); };
    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void FrmSetting::Form_Load() {
    // A stored value that is no whole percent from 25 to 100 counts as none.
    std::optional<long> v = OpacityPercent(GetSetting(vb::App::EXEName(), "Opacity", "p", ""));
    if (v) {
        ProgressG11.SetValue(*v);
        Per.SetCaption(vb::CStrInt(*v) + " %");
    } else {
        ProgressG11.SetValue(100);
        Per.SetCaption(vb::CStrInt(ProgressG11.Value()) + " %");
    }
}

void FrmSetting::Form_Activate() {
    Fader1.FadeIn();
}

void FrmSetting::ProgressG11_Change() {
    Per.SetCaption(vb::CStrInt(ProgressG11.Value()) + " %");
    ::frmMain1->Fader1.SetLevel(ProgressG11.Value());
}

void FrmSetting::ProgressG11_Scroll() {
    ProgressG11_Change();
}

void FrmSetting::cmdOK_Click() {
    SaveSetting(vb::App::EXEName(), "Opacity", "p", vb::CStrInt(ProgressG11.Value()));
    vb::Unload(*this);
}

void FrmSetting::cmdCancel_Click() {
    const std::string saved = vb::CStr(::frmMain1->SavedOpacity);
    if (!saved.empty()) {
        vb::ResumeNext([&] { ProgressG11.SetValue(vb::CLng(::frmMain1->SavedOpacity)); });
        vb::ResumeNext([&] { Per.SetCaption(saved + " %"); });
        vb::ResumeNext([&] { ::frmMain1->Fader1.SetLevel(vb::CLng(::frmMain1->SavedOpacity)); });
    } else {
        vb::ResumeNext([&] { ProgressG11.SetValue(100); });
        vb::ResumeNext([&] { Per.SetCaption("100 %"); });
        vb::ResumeNext([&] { ::frmMain1->Fader1.SetLevel(100); });
    }
    vb::Unload(*this);
}

}  // namespace forms
