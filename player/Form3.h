// Form3: the folder browser. The user picks a drive and a folder; OK appends every media file of
// the folder to the playlist and closes the window.
#pragma once

#include <string>

#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"

namespace forms {

class Form3 : public vb::Form {
public:
    Form3();

    vb::Image Image1{this, "Image1"};                      // background picture
    vb::Label Label1{this, "Label1", "Choose Directory"};  // title strip
    vb::DriveListBox Drive1{this, "Drive1"};
    vb::DirListBox Dir1{this, "Dir1"};
    vb::FileListBox File1{this, "File1"};
    vb::Label Label2{this, "Label2", "OK"};
    vb::Label Label3{this, "Label3"};  // closes the window

    void Form_Load() override;
    void Drive1_Change();
    void Dir1_Change();
    void Label2_Click();
    void Label3_Click();
    void Image1_MouseDown(int Button, int Shift, float X, float Y);
    void Label1_MouseDown(int Button, int Shift, float X, float Y);
};

// The path of a file of a folder: the folder, "/" and the name; the root, which ends in "/"
// already, gets no second one.
std::string FileInFolder(const std::string& folder, const std::string& name);

}  // namespace forms

inline vb::DefaultForm<forms::Form3> Form3;
