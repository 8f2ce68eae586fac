#include "player/frmSkin.h"

#include "platform/vb/App.h"
#include "platform/vb/Error.h"
#include "player/ModINI.h"
#include "player/Module1.h"
#include "player/frmMain1.h"

namespace forms {

void ListSkins(vb::FileListBox& files, vb::ListBox& names, const std::string& folder) {
    files.SetPath(folder);
    files.SetPattern("*.ini");
    for (long i = 0; i < files.ListCount(); ++i) {
        std::string name = files.List(i);
        names.AddItem(name.substr(0, name.find('.')));
    }
}

frmSkin::frmSkin() : vb::Form("frmSkin", "Choose Skins...") {
    SetBorderStyle(0);
    SetBackColor(RGB(30, 34, 44));
    Move(3000, 3000, 4200, 4500);
    QuixLabel6.Move(0, 0, 4200, 450);
    QuixLabel6.SetBackStyle(1);
    QuixLabel6.SetBackColor(RGB(52, 62, 82));
    QuixLabel6.SetForeColor(RGB(230, 236, 246));
    QuixLabel1.Move(0, 450, 4200, 150);
    ListSkin.Move(300, 600, 3600, 3000);
    LstSkin.SetVisible(false);
    StyleLabelButton(QuixLabel5, 300, 3900, 1050, 330);
    StyleLabelButton(QuixLabel2, 1575, 3900, 1050, 330);
    StyleLabelButton(QuixLabel3, 2850, 3900, 1050, 330);

    QuixLabel6.MouseDown = [this](int, int, float, float) { DragForm(*this); };
    QuixLabel6.MouseMove = [this](int b, int, float, float) {
        if (b == 1) DragForm(*this);
    };
    QuixLabel1.MouseMove = [this](int b, int, float, float) {
        if (b == 1) DragForm(*this);
    };
    QuixLabel5.Click = [this] { QuixLabel5_Click(); };
    QuixLabel2.Click = [this] { QuixLabel2_Click(); };
    QuixLabel3.Click = [this] { QuixLabel3_Click(); };
}

void frmSkin::Form_Load() {
    // A missing folder gives an empty list.
    vb::ResumeNext([&] { ListSkins(LstSkin, ListSkin, vb::App::Path() + "/sk"); });
    SetTopMost(*this);
}

void frmSkin::QuixLabel5_Click() {
    if (ListSkin.Text().empty()) {
        if (ListSkin.ListCount() == 0) return;
        ListSkin.SetListIndex(0);
    }
    ::frmMain1->SkinCmd_Click();
    WriteINI("Configuration", "skin", ListSkin.Text(), vb::App::Path() + "/Settings.ini");
}

void frmSkin::QuixLabel2_Click() {
    vb::Unload(*this);
}

void frmSkin::QuixLabel3_Click() {
    Hide();
}

}  // namespace forms
