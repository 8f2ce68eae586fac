// Form2: the playlist window. List1 holds the display titles, List2 (never visible) the full
// paths; entry i of one belongs to entry i of the other.
#pragma once

#include <string>

#include "platform/controls/QuixLabel.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"
#include "platform/vb/Menu.h"

namespace forms {

class Form2 : public vb::Form {
public:
    Form2();

    vb::Image Image1{this, "Image1"};                    // background picture
    controls::QuixLabel QuixLabel2{this, "QuixLabel2"};  // drag strip
    vb::ListBox List1{this, "List1"};
    vb::ListBox List2{this, "List2"};
    controls::QuixLabel Command1{this, "Command1"};  // move up
    controls::QuixLabel Command2{this, "Command2"};  // move down
    controls::QuixLabel Command3{this, "Command3", "X"};
    controls::QuixLabel Command4{this, "Command4", "Load"};
    controls::QuixLabel Command5{this, "Command5", "Save"};
    controls::QuixLabel Command6{this, "Command6", "Clear"};
    controls::QuixLabel QuixLabel1{this, "QuixLabel1"};  // open
    vb::FileListBox list3{this, "list3"};                // saved playlists
    vb::DirListBox Dir1{this, "Dir1"};
    vb::Menu Playlist{this, "Playlist", "Playlist"};
    vb::Menu remove{this, "remove", "Remove", &Playlist};

    void Form_Load() override;
    void Form_MouseDown(int Button, int Shift, float X, float Y) override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command6_Click();
    void remove_Click();
    void List1_Click();
    void List2_Click();
    void List1_DblClick();
    void List2_DblClick();
    void List1_MouseDown(int Button, int Shift, float X, float Y);
    void List1_MouseMove(int Button, int Shift, float X, float Y);
    void QuixLabel2_MouseDown(int Button, int Shift, float X, float Y);
    void QuixLabel2_MouseMove(int Button, int Shift, float X, float Y);
    void Image1_Click();
    void Image1_MouseMove(int Button, int Shift, float X, float Y);

    // The title of a saved entry: the name between the last "/" and the first ".", stored into
    // `title` and appended to the titles; a path where that fails keeps `title` as it was.
    void AddTitleToList(std::string& path, std::string& title);

private:
    void MoveEntry(int step);
};

}  // namespace forms

inline vb::DefaultForm<forms::Form2> Form2;
