#include "player/Form3.h"

#include <QPainter>

#include "platform/vb/Dialogs.h"
#include "platform/vb/Error.h"
#include "player/Form2.h"
#include "player/Module1.h"

namespace forms {

namespace {

// The panel with a close mark at its top right, under the close label.
vb::Picture Face(int width, int height) {
    QImage img = PanelPicture(width, height).Image();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(220, 226, 236), 2));
    p.drawLine(width - 22, 9, width - 14, 17);
    p.drawLine(width - 14, 9, width - 22, 17);
    return vb::Picture::FromImage(img);
}

}  // namespace

std::string FileInFolder(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

Form3::Form3() : vb::Form("Form3", "Choose Directory") {
    SetBorderStyle(0);
    Move(4500, 2400, 4800, 5550);  // 320 x 370 pixels
    Image1.SetStretch(true);
    Image1.Move(0, 0, 4800, 5550);
    Image1.SetPicture(Face(320, 370));
    Label1.Move(120, 45, 4230, 360);
    Label1.SetBackStyle(0);
    Label1.SetForeColor(RGB(200, 210, 228));
    vb::Font title;
    title.name = "DejaVu Sans";
    title.size = 9;
    title.bold = true;
    Label1.SetFont(title);
    Label3.Move(4380, 30, 390, 345);
    Label3.SetBackStyle(0);
    Label3.SetToolTipText("Close");
    Drive1.Move(150, 480, 4500, 900);
    Dir1.Move(150, 1455, 4500, 1950);
    File1.Move(150, 3480, 4500, 1425);
    File1.SetPattern("*.MP3;*.Dat;*.Wma;*.Mid;*.Mpeg;*.Avi;*.Wav");
    Label2.Move(3600, 5040, 1050, 360);
    Label2.SetForeColor(RGB(230, 236, 246));
    Label2.SetBackColor(RGB(52, 62, 82));
    Label2.SetAlignment(2);

    Drive1.Change = [this] { Drive1_Change(); };
    Dir1.Change = [this] { Dir1_Change(); };
    Label2.Click = [this] { Label2_Click(); };
    Label3.Click = [this] { Label3_Click(); };
    Image1.MouseDown = [this](int b, int s, float x, float y) { Image1_MouseDown(b, s, x, y); };
    Label1.MouseDown = [this](int b, int s, float x, float y) { Label1_MouseDown(b, s, x, y); };
}

void Form3::Form_Load() {
    SetTopMost(*this);
    // The current folder of the current drive.
    vb::ResumeNext([&] { Dir1.SetPath(vb::CurrentFolderOfDrive(Drive1.Drive())); });
    vb::ResumeNext([&] { File1.SetPath(Dir1.Path()); });
}

void Form3::Drive1_Change() {
    // A drive that cannot be read leaves the folder list as it was.
    vb::ResumeNext([&] { Dir1.SetPath(vb::CurrentFolderOfDrive(Drive1.Drive())); });
}

void Form3::Dir1_Change() {
    vb::ResumeNext([&] { File1.SetPath(Dir1.Path()); });
}

void Form3::Label2_Click() {
    // A folder that can no longer be read has no file to give.
    bool listed = vb::ResumeNext([&] { File1.SetPath(Dir1.Path()); });
    if (!listed || File1.ListCount() == 0) {
        SetNotTopMost(*this);
        vb::MsgBox("No file found in the specified folder", vb::vbOKOnly, "Information");
        vb::Unload(*this);
        return;
    }
    const std::string folder = Dir1.Path();
    auto& playlist = *::Form2;
    const long count = File1.ListCount();
    // A full playlist takes no more: the files up to that point stay.
    vb::ResumeNext([&] {
        for (long i = 0; i < count; ++i) {
            File1.SetListIndex(i);
            playlist.List1.AddItem(File1.FileName());
            playlist.List2.AddItem(FileInFolder(folder, File1.FileName()));
        }
    });
    vb::Unload(*this);
}

void Form3::Label3_Click() {
    vb::Unload(*this);
}

void Form3::Image1_MouseDown(int, int, float, float) {
    DragForm(*this);
}

void Form3::Label1_MouseDown(int, int, float, float) {
    DragForm(*this);
}

}  // namespace forms
