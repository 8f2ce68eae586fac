// Form2: the playlist window. List1 holds the display titles, List2 (never visible) the full
// paths; entry i of one belongs to entry i of the other.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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
    // Load: shows the saved-lists panel, or says that no list is saved.
    void Command4_Click();
    // Save: writes the paths of the playlist to <name>.kesto in the program folder.
    void Command5_Click();
    void Command6_Click();
    // The open-file road of the main window.
    void QuixLabel1_Click();
    // Appends the paths of the double-clicked saved list to the playlist.
    void list3_DblClick();
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

// A saved list's bytes: each path followed by CR LF, in playlist order.
std::string PlaylistBytes(const std::vector<std::string>& paths);

// The paths of a saved list's bytes, one per line, at most `most` of them. A line ends at CR LF,
// and also at a CR or an LF alone; a last line without an ending is a path all the same. The
// default reads one line more than the playlist holds, so an over-long list still fills it.
std::vector<std::string> PlaylistPaths(std::string_view bytes, size_t most = 32768);

// True when `name` can name a saved list: "<name>.kesto" is one file name of the program folder,
// so it holds no "/", "\", ".." or NUL and is not longer than a file name can be. The empty name
// (the prompt's Cancel) names the list ".kesto".
bool IsListName(const std::string& name);

}  // namespace forms

inline vb::DefaultForm<forms::Form2> Form2;
