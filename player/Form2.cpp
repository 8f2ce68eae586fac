#include "player/Form2.h"

#include <sys/stat.h>

#include <climits>
#include <optional>

#include "platform/files/files.h"
#include "platform/vb/App.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dialogs.h"
#include "platform/vb/Error.h"
#include "player/FrmVideo.h"
#include "player/Module1.h"
#include "player/Module3.h"
#include "player/Remote.h"
#include "player/frmMain1.h"

namespace forms {

namespace {

void StyleButton(controls::QuixLabel& b, float left, float top, const std::string& tip = {}) {
    StyleLabelButton(b, left, top, 600, 300);
    if (!tip.empty()) b.SetToolTipText(tip);
}

// A saved list of the longest playlist, with long paths, stays well below this.
constexpr off_t kLargestList = 64 << 20;

// The bytes of a saved list: a plain file of the folder, not a link to somewhere else, and not
// larger than a list can be.
std::optional<std::string> ReadList(const std::string& path) {
    const std::string file = platform::files::Resolve(path);
    struct stat st;
    if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kLargestList) {
        return std::nullopt;
    }
    return platform::files::ReadFile(file);
}

}  // namespace

std::string PlaylistBytes(const std::vector<std::string>& paths) {
    std::string out;
    for (const std::string& p : paths) out += p + "\r\n";
    return out;
}

std::vector<std::string> PlaylistPaths(std::string_view bytes, size_t most) {
    std::vector<std::string> paths;
    size_t pos = 0;
    while (pos < bytes.size() && paths.size() < most) {
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = bytes.size();
        paths.emplace_back(bytes.substr(pos, end - pos));
        pos = end;
        if (pos == bytes.size()) break;
        pos += bytes.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
    }
    return paths;
}

bool IsListName(const std::string& name) {
    return platform::files::IsFileName(name) && name.size() + 6 <= NAME_MAX;
}

Form2::Form2() : vb::Form("Form2", "Playlist") {
    SetBorderStyle(0);
    Move(1500, 9300, 5100, 5400);  // 340 x 360 pixels
    Image1.SetStretch(true);
    Image1.Move(0, 0, 5100, 5400);
    Image1.SetPicture(TitledPanelPicture(340, 360, 27, "Kesto Playlist"));
    Image1.SetMousePointer(vb::vbCustom);
    // The drag strip has no caption and lies over nearly all of the background, beneath every
    // other control: the window drags from wherever no other control covers it.
    QuixLabel2.Move(0, 0, 5100, 5250);

    vb::Font titles;
    titles.name = "Bookman Old Style";
    titles.size = 9;
    List1.SetFont(titles);
    List1.Move(150, 450, 4800, 4200);
    List1.SetMousePointer(vb::vbCustom);
    List2.SetVisible(false);

    vb::Font symbol;
    symbol.name = "Symbol";
    symbol.size = 11;
    Command1.SetFont(symbol);
    Command1.SetCaption("\xAD");  // arrow up
    Command2.SetFont(symbol);
    Command2.SetCaption("\xAF");  // arrow down
    vb::Font wingdings;
    wingdings.name = "Wingdings";
    wingdings.size = 11;
    QuixLabel1.SetFont(wingdings);
    QuixLabel1.SetCaption("1");  // an open folder
    StyleButton(QuixLabel1, 150, 4800, "Open");
    StyleButton(Command1, 825, 4800, "Move up");
    StyleButton(Command2, 1500, 4800, "Move down");
    StyleButton(Command4, 2175, 4800);
    StyleButton(Command5, 2850, 4800);
    StyleButton(Command6, 3525, 4800);
    StyleButton(Command3, 4650, 60, "Hide");
    Command3.SetWidth(360);
    list3.Move(135, 495, 4830, 4200);  // over the titles, below the drag strip
    Dir1.SetVisible(false);
    Playlist.SetVisible(false);

    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    Command4.Click = [this] { Command4_Click(); };
    Command5.Click = [this] { Command5_Click(); };
    QuixLabel1.Click = [this] { QuixLabel1_Click(); };
    list3.DblClick = [this] { list3_DblClick(); };
    Command6.Click = [this] { Command6_Click(); };
    remove.Click = [this] { remove_Click(); };
    List1.Click = [this] { List1_Click(); };
    List2.Click = [this] { List2_Click(); };
    List1.DblClick = [this] { List1_DblClick(); };
    List1.MouseDown = [this](int b, int s, float x, float y) { List1_MouseDown(b, s, x, y); };
    List1.MouseMove = [this](int b, int s, float x, float y) { List1_MouseMove(b, s, x, y); };
    QuixLabel2.MouseDown = [this](int b, int s, float x, float y) {
        QuixLabel2_MouseDown(b, s, x, y);
    };
    QuixLabel2.MouseMove = [this](int b, int s, float x, float y) {
        QuixLabel2_MouseMove(b, s, x, y);
    };
    Image1.Click = [this] { Image1_Click(); };
    Image1.MouseMove = [this](int b, int s, float x, float y) { Image1_MouseMove(b, s, x, y); };
}

void Form2::Form_Load() {
    vb::ResumeNext([&] { Dir1.SetPath(vb::App::Path()); });
    vb::ResumeNext([&] {
        list3.SetPattern("*.kesto");
        list3.SetPath(Dir1.Path());
    });
    list3.SetVisible(false);
    List1.SetVisible(true);
}

void Form2::List1_Click() {
    // The path list follows the title list; without a title selected it keeps its own.
    vb::ResumeNext([&] {
        if (List1.ListIndex() >= 0) List2.SetListIndex(List1.ListIndex());
    });
}

void Form2::List2_Click() {
    ::frmMain1->Text1.SetText(List2.Text());
}

// Both lists move together, at the index of the selected title, so that every title stays with
// its path even when the path list's own selection differs.
void Form2::MoveEntry(int step) {
    long j = List1.ListIndex();
    if (j < 0) return;
    if (step < 0 && j == 0) return;
    if (step > 0 && j == List1.ListCount() - 1) return;
    for (vb::ListBox* list : {&List2, &List1}) {
        vb::ResumeNext([&] {
            std::string entry = list->List(j);
            if (step < 0) {
                list->AddItem(entry, j - 1);
                list->RemoveItem(j + 1);
            } else {
                list->AddItem(entry, j + 2 == list->ListCount() ? -1 : j + 2);
                list->RemoveItem(j);
            }
        });
    }
    vb::ResumeNext([&] { List1.SetListIndex(j + step); });
    vb::ResumeNext([&] { List2.SetListIndex(j + step); });
}

void Form2::Command1_Click() {
    MoveEntry(-1);
}
void Form2::Command2_Click() {
    MoveEntry(+1);
}
void Form2::Command3_Click() {
    Hide();
}

void Form2::Command4_Click() {
    if (list3.ListCount() >= 1) {
        list3.Move(135, 495);
        list3.SetVisible(true);
    } else {
        vb::MsgBox("Sorry, There is no playlist saved by you. Save it first", vb::vbOKOnly,
                   "Help...!");
    }
}

void Form2::Command5_Click() {
    // Cancel gives "", which saves the list ".kesto".
    std::string name = vb::InputBox("Name of the list?", "ListName for Kesto Player", "");
    if (!IsListName(name)) {
        vb::MsgBox("\"" + name +
                       "\" cannot name a list. A list name is one file name: it holds no \"/\", "
                       "\"\\\" or \"..\". Nothing was saved.",
                   vb::vbOKOnly | vb::vbExclamation, "ListName for Kesto Player");
        return;
    }
    std::vector<std::string> paths;
    for (long i = 0; i < List2.ListCount(); ++i) paths.push_back(List2.List(i));
    // The whole file is replaced at once, so an old list is never left half written.
    const std::string file = vb::App::Path() + "/" + name + ".kesto";
    std::string error;
    if (!platform::files::ReplaceFile(file, PlaylistBytes(paths), &error)) {
        vb::MsgBox("The list \"" + name + "\" could not be saved (" + error + ").",
                   vb::vbOKOnly | vb::vbExclamation, "Error");
        return;
    }
    vb::ResumeNext([&] { list3.Refresh(); });
}

void Form2::list3_DblClick() {
    const std::string file = list3.Path() + "/" + list3.FileName();
    std::optional<std::string> bytes = ReadList(file);
    // A full playlist stops the load like a read error; the entries appended so far stay.
    bool loaded = bytes && vb::ResumeNext([&] {
                      for (std::string& path : PlaylistPaths(*bytes)) {
                          List2.AddItem(path);
                          std::string title = path;
                          AddTitleToList(path, title);
                      }
                  });
    if (!loaded) {
        vb::MsgBox("File Not Found", vb::vbOKOnly, "Error");
        return;
    }
    list3.SetVisible(false);
}

void Form2::QuixLabel1_Click() {
    ::frmMain1->QuixLabel6_Click();
}

void Form2::Command6_Click() {
    List1.Clear();
    List2.Clear();
}

void Form2::remove_Click() {
    // The title and its own path go together.
    vb::ResumeNext([&] {
        long i = List1.ListIndex();
        if (i < 0) return;
        List1.RemoveItem(i);
        List2.RemoveItem(i);
    });
}

void Form2::List1_DblClick() {
    List2_DblClick();
    ::frmMain1->Label24.SetCaption(List1.Text());
    if (vb::Len(::frmMain1->Label24.Caption()) > 29) {
        ::frmMain1->Label24.SetCaption(vb::Left(::frmMain1->Label24.Caption(), 29));
    }
}

void Form2::List2_DblClick() {
    ::frmMain1->Timer1.SetEnabled(true);
    ::Remote->Timer1.SetEnabled(true);
    ::frmMain1->Label24.SetCaption(List1.Text());
    if (vb::Len(::frmMain1->Label24.Caption()) > 29) {
        ::frmMain1->Label24.SetCaption(vb::Left(::frmMain1->Label24.Caption(), 29));
    }
    ::frmMain1->Text1.SetText(List2.Text());
    // From here on every error is ignored.
    auto& player = ::FrmVideo->MediaPlayer1;
    vb::ResumeNext([&] { player.SetFileName(::frmMain1->Text1.Text()); });
    vb::ResumeNext([&] { ::FrmVideo->Timer1.SetEnabled(true); });
    if (::frmMain1->Text1.Text().empty()) return;
    vb::ResumeNext([&] { player.Play(); });
    vb::ResumeNext([&] {
        if (IsDatFile(player.FileName())) {
            ::FrmVideo->Show();
            ::Remote->Show();
        } else {
            ::FrmVideo->SetVisible(false);
        }
    });
    vb::ResumeNext([&] {
        std::string text = DurationText(player.Duration());
        ::frmMain1->Label1.SetCaption(text);
        ::Remote->QuixLabel2.SetCaption(text);
    });
}

void Form2::List1_MouseDown(int Button, int, float, float) {
    if (Button == 2) PopupMenu(Playlist);
}

void Form2::Form_MouseDown(int Button, int, float, float) {
    if (Button == 2) PopupMenu(Playlist);
}

void Form2::QuixLabel2_MouseDown(int, int, float, float) {
    DragForm(*this);
}

void Form2::QuixLabel2_MouseMove(int Button, int, float, float) {
    if (Button == 1) DragForm(*this);
}

void Form2::Image1_Click() {
    list3.SetVisible(false);
}

void Form2::Image1_MouseMove(int, int, float, float) {
    vb::ResumeNext(
        [&] { Image1.SetMouseIcon(vb::LoadPicture(vb::App::Path() + "/curminimode.cur")); });
}

void Form2::List1_MouseMove(int, int, float, float) {
    vb::ResumeNext(
        [&] { List1.SetMouseIcon(vb::LoadPicture(vb::App::Path() + "/curlistrep.cur")); });
}

void Form2::AddTitleToList(std::string& path, std::string& title) {
    long d = vb::InStr(path, ".");
    long b = vb::InStrRev(path, "/");
    vb::ResumeNext([&] {
        if (d - b - 1 < 0) vb::Raise(vb::vbErrInvalidProcedureCall);
        title = vb::Mid(path, b + 1, d - b - 1);
    });
    List1.AddItem(title);
}

}  // namespace forms
