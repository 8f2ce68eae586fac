#include "player/frmMain1.h"

#include <cmath>
#include <string_view>

#include "platform/base/report.h"
#include "platform/files/files.h"
#include "platform/registry/registry.h"
#include "platform/vb/App.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Error.h"
#include "platform/vb/FileSystem.h"
#include "platform/vb/Shell.h"
#include "platform/win/sound.h"
#include "player/Form2.h"
#include "player/Form3.h"
#include "player/FrmSetting.h"
#include "player/FrmVideo.h"
#include "player/Glyphs.h"
#include "player/ModINI.h"
#include "player/Module1.h"
#include "player/Module2.h"
#include "player/Module3.h"
#include "player/Remote.h"
#include "player/Skins.h"
#include "player/frmAbout.h"
#include "player/frmLogin.h"
#include "player/frmSkin.h"

namespace forms {

frmMain1::frmMain1() : vb::Form("frmMain1", "") {
    SetBorderStyle(0);
    Move(1500, 1500, 7800, 7500);
    PicMainSkin.SetBorderStyle(0);
    PicMainSkin.Move(0, 0, 7800, 7500);
    PicMainSkin.SetMousePointer(vb::vbCustom);
    PicMainSkin.MouseDown = [this](int b, int s, float x, float y) {
        PicMainSkin_MouseDown(b, s, x, y);
    };
    PicMainSkin.MouseMove = [this](int b, int s, float x, float y) {
        PicMainSkin_MouseMove(b, s, x, y);
    };
    p2.SetVisible(false);

    // Controls of the form that are never shown.
    for (vb::Control* c :
         std::initializer_list<vb::Control*>{&skinF, &FileSkin, &RunCounted, &Text1, &txtLoad,
                                             &lstTypes, &StartupSkin, &SkinCmd, &CmdSkin}) {
        c->SetVisible(false);
    }
    kesto.SetVisible(false);
    velo.SetVisible(false);

    vol.Move(2400, 5400, 1140, 105);  // 76 x 7 pixels
    vol.SetMax(2500);
    vol.SetValue(10);
    for (auto* bar : {&vol, &Pg}) {
        bar->SetBackColor(RGB(28, 32, 40));
        bar->SetBarColor(RGB(120, 190, 255));
    }
    Pg.Move(600, 5100, 1680, 150);  // 112 x 10 pixels
    Pg.SetValue(1);

    struct Button {
        vb::PictureBox& box;
        char glyph;
        float left;
    } buttons[] = {{Command2, '<', 600},
                   {Command1, 'P', 1200},
                   {Command4, 'p', 1800},
                   {Command5, 's', 2400},
                   {Command6, '>', 3000}};
    for (auto& b : buttons) {
        b.box.SetBorderStyle(0);
        b.box.SetAutoSize(true);
        b.box.SetPicture(vb::Picture::FromImage(TransportGlyph(b.glyph)));
        b.box.Move(b.left, 5700);
        b.box.SetMousePointer(vb::vbCustom);
        vb::PictureBox* box = &b.box;
        b.box.MouseDown = [box](int, int, float, float) { box->SetBorderStyle(1); };
        b.box.MouseUp = [box](int, int, float, float) { box->SetBorderStyle(0); };
        if (box != &Command5) {
            b.box.MouseMove = [this, box](int, int, float, float) { HoverCursor(*box); };
        }
    }
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command4.Click = [this] { Command4_Click(); };
    Command5.Click = [this] { Command5_Click(); };
    Command6.Click = [this] { Command6_Click(); };

    // The label buttons and labels: caption, tooltip, and size (twips); the skin places them.
    struct LabelDesign {
        controls::QuixLabel& label;
        const char* caption;
        const char* tip;
        float left, width;
        int alignment;
    } labels[] = {
        {QuixLabel1, "_", "Minimize", 5130, 300, 2},
        {QuixLabel2, "X", "Exit", 5520, 300, 2},
        {QuixLabel3, "About", "About", 4830, 600, 2},
        {QuixLabel4, "Video", "", 600, 600, 2},
        {QuixLabel5, "Assoc", "Associate Kesto Player", 6120, 600, 2},
        {QuixLabel6, "Open", "Open", 2190, 600, 2},
        {QuixLabel7, "List", "Playlist", 3900, 600, 2},
        {QuixLabel8, "Menu", "Remote", 4440, 600, 2},
        {Label1, "", "", 1140, 600, 0},
        {Label2, "", "", 7200, 300, 0},
        {Label3, "", "", 7500, 300, 0},
        {Label11, "", "", 120, 600, 0},
        {Label24, "Kesto Player ", "", 6870, 2700, 0},
    };
    vb::Font face;
    face.name = "DejaVu Sans";
    face.size = 8;
    face.bold = true;
    for (auto& l : labels) {
        l.label.SetFont(face);
        l.label.SetCaption(l.caption);
        if (*l.tip) l.label.SetToolTipText(l.tip);
        l.label.Move(l.left, 6900, l.width, 255);
        l.label.SetAlignment(l.alignment);
    }

    Timer1.OnTimer = [this] { Timer1_Timer(); };
    Pg.MouseDown = [this](int b, int s, float x, float y) { Pg_MouseDown(b, s, x, y); };
    vol.Change = [this] { vol_Change(); };
    vol.Scroll = [this] { vol_Scroll(); };
    lstTypes.SetMultiSelect(true);
    for (const char* t : {"mp3", "wav", "wma", "mid", "midi", "dat", "avi"}) lstTypes.AddItem(t);

    struct Item {
        vb::Menu& menu;
        void (frmMain1::*handler)();
    } items[] = {
        {add, &frmMain1::add_Click},     {Direct, &frmMain1::Direct_Click},
        {n, &frmMain1::n_Click},         {Prevus, &frmMain1::Prevus_Click},
        {mute, &frmMain1::mute_Click},   {choose, &frmMain1::choose_Click},
        {more, &frmMain1::more_Click},   {Rem, &frmMain1::Rem_Click},
        {shut, &frmMain1::shut_Click},   {setting, &frmMain1::setting_Click},
        {about, &frmMain1::about_Click}, {exit, &frmMain1::exit_Click},
        {Ab, &frmMain1::Ab_Click},       {ex, &frmMain1::ex_Click},
    };
    for (const Item& i : items) i.menu.Click = [this, h = i.handler] { (this->*h)(); };

    struct LabelButton {
        controls::QuixLabel& label;
        void (frmMain1::*handler)();
    } labelButtons[] = {
        {QuixLabel1, &frmMain1::QuixLabel1_Click}, {QuixLabel2, &frmMain1::QuixLabel2_Click},
        {QuixLabel3, &frmMain1::QuixLabel3_Click}, {QuixLabel4, &frmMain1::QuixLabel4_Click},
        {QuixLabel5, &frmMain1::QuixLabel5_Click}, {QuixLabel6, &frmMain1::QuixLabel6_Click},
        {QuixLabel7, &frmMain1::QuixLabel7_Click}, {QuixLabel8, &frmMain1::QuixLabel8_Click},
    };
    for (const LabelButton& b : labelButtons)
        b.label.Click = [this, h = b.handler] { (this->*h)(); };
    QuixLabel1.SetMousePointer(vb::vbCustom);
    QuixLabel1.MouseMove = [this](int b, int s, float x, float y) {
        QuixLabel1_MouseMove(b, s, x, y);
    };
    Label2.MouseDown = [this](int b, int s, float x, float y) { Label2_MouseDown(b, s, x, y); };
    Label3.MouseDown = [this](int b, int s, float x, float y) { Label3_MouseDown(b, s, x, y); };
}

void frmMain1::Form_Load() {
    Hide();
    vb::ResumeNext([&] {
        skinF.SetPath(vb::App::Path() + "/Sk");
        skinF.SetPattern("*.ini");
    });
    SavedOpacity = GetSetting(vb::App::EXEName(), "Opacity", "p", "");
    // A stored opacity counts only as a whole percent the window can show (25 to 100).
    std::optional<long> level = OpacityPercent(vb::CStr(SavedOpacity));
    if (!level) SavedOpacity = "";
    Fader1.SetLevel(level.value_or(100));
    RefreshAll();

    // From here on, errors are ignored and the next step runs.
    long n = 0;
    vb::ResumeNext([&] {
        n = static_cast<long>(vb::Val(GetSetting("A", "0", "Runcount"))) + 1;
        SaveSetting("A", "0", "RunCount", vb::CStrInt(n));
        RunCounted.SetText(vb::CStrInt(n));
    });
    if (n < 2) vb::ResumeNext([&] { QuixLabel5_Click(); });
    vb::ResumeNext([&] { StartupSkin_Click(); });
    vb::ResumeNext([&] { Timer1.SetEnabled(false); });
    vb::ResumeNext([&] { vol.SetValue(2400); });
    auto& player = ::FrmVideo->MediaPlayer1;
    vb::ResumeNext([&] { Pg.SetMax(vb::CInt(player.Duration())); });
    vb::ResumeNext([&] {
        if (player.FileName().empty()) return;
        Label24.SetCaption(::Form2->List1.Text());
        if (vb::Len(Label24.Caption()) > 24) Label24.SetCaption(vb::Left(Label24.Caption(), 24));
    });
}

void frmMain1::Form_Unload(int& Cancel) {
    // Closing the main window ends the player, as its Exit command does; without it the hidden
    // start-up form would keep the process alive, taking every later start's file.
    RefreshAll();
    vb::End();
}

void frmMain1::Form_Terminate() {
    RefreshAll();
}

void frmMain1::Timer1_Timer() {
    auto& player = ::FrmVideo->MediaPlayer1;
    vb::ResumeNext([&] { Pg.SetMax(vb::CInt(player.Duration())); });
    vb::ResumeNext([&] { Pg.SetValue(vb::CLng(player.CurrentPosition())); });
    std::string text;
    vb::ResumeNext([&] { text = ElapsedText(player.CurrentPosition()); });
    vb::ResumeNext([&] { Label11.SetCaption(text); });
    vb::ResumeNext([&] { ::Remote->QuixLabel3.SetCaption(text); });
}

void frmMain1::Pg_MouseDown(int Button, int Shift, float X, float Y) {
    if (!(Button & 1)) return;
    auto& player = ::FrmVideo->MediaPlayer1;
    // Without a file there is nowhere to go; the press does nothing then.
    vb::ResumeNext(
        [&] { player.SetCurrentPosition((player.Duration() / 1680.0) * static_cast<double>(X)); });
}

void frmMain1::PicMainSkin_MouseDown(int Button, int, float, float) {
    if (Button == vb::vbLeftButton) {
        DragForm(*this);
    } else if (Button == vb::vbRightButton) {
        PopupMenu(kesto);
    }
}

void frmMain1::PicMainSkin_MouseMove(int, int, float, float) {
    // A missing cursor file keeps the pointer the picture has.
    vb::ResumeNext(
        [&] { PicMainSkin.SetMouseIcon(vb::LoadPicture(vb::App::Path() + "/curmain.cur")); });
}

void frmMain1::vol_Change() {
    Volume();
}

void frmMain1::vol_Scroll() {
    Volume();
    if (vol.Value() == 250) mute.SetChecked(false);
}

void frmMain1::Volume() {
    auto& player = ::FrmVideo->MediaPlayer1;
    player.SetMute(false);
    mute.SetChecked(false);
    vb::ResumeNext([&] { player.SetVolume(vb::CLng(static_cast<double>(vol.Value() - 2500))); });
    vb::ResumeNext([&] { player.SetMute(vol.Value() == 250); });
}

void frmMain1::Form_MouseDown(int, int, float, float) {
    SetCaption("");
}

void frmMain1::Form_Resize() {
    if (WindowState() == vb::vbNormal) SetCaption("");
}

void frmMain1::sound() {
    sndPlaySoundA((vb::App::Path() + "/" + "Kesto.wav").c_str(), 1);
}

void frmMain1::HoverCursor(vb::PictureBox& button) {
    // A missing cursor file keeps the pointer the button has.
    vb::ResumeNext(
        [&] { button.SetMouseIcon(vb::LoadPicture(vb::App::Path() + "/curAlbums.cur")); });
}

void frmMain1::Command1_Click() {
    auto& player = ::FrmVideo->MediaPlayer1;
    vb::ResumeNext([&] { player.Play(); });
    vb::ResumeNext([&] { Pg.SetMax(vb::CInt(player.Duration())); });
    vb::ResumeNext([&] {
        if (IsDatFile(player.FileName())) {
            ::FrmVideo->Show();
            ::Remote->Show();
        } else {
            ::FrmVideo->SetVisible(false);
        }
    });
}

void frmMain1::Command4_Click() {
    vb::ResumeNext([&] { ::FrmVideo->MediaPlayer1.Pause(); });
}

void frmMain1::Command5_Click() {
    vb::ResumeNext([&] { ::FrmVideo->MediaPlayer1.Stop(); });
}

void frmMain1::Command2_Click() {
    Step(-1);
}
void frmMain1::Command6_Click() {
    Step(+1);
}

void frmMain1::Step(int step) {
    if (!StepTrack(step)) return;
    auto& player = ::FrmVideo->MediaPlayer1;
    vb::ResumeNext([&] {
        std::string text = DurationText(player.Duration());
        Label1.SetCaption(text);
        ::Remote->QuixLabel2.SetCaption(text);
    });
}

void frmMain1::chngp() {
    ShapeFromPicture(*this, PicMainSkin);
}

void frmMain1::RefreshLabel() {
    for (vb::Control* c : Controls()) {
        if (auto* label = dynamic_cast<controls::QuixLabel*>(c)) label->SetTop(6900);
    }
    Label1.SetLeft(1140);
    Label11.SetLeft(120);
    QuixLabel6.SetLeft(2190);
    QuixLabel7.SetLeft(3900);
    QuixLabel8.SetLeft(4440);
    QuixLabel3.SetLeft(4830);
    QuixLabel1.SetLeft(5130);
    QuixLabel2.SetLeft(5520);
    QuixLabel5.SetLeft(6120);
    Label24.SetLeft(6870);
}

void frmMain1::StartupSkin_Click() {
    ApplySkin(Road::StartUp);
}

void frmMain1::SkinCmd_Click() {
    ApplySkin(Road::Chooser);
}

void frmMain1::CmdSkin_Click() {
    ApplySkin(Road::Hidden);
}

// What a skin changes of the window, kept to put it back.
struct frmMain1::Look {
    vb::Picture face, skin, held;
    float top;
    std::vector<std::pair<float, float>> places;
    std::vector<COLORREF> colours;
};

// A skin's description file as read, before any of it is applied.
struct frmMain1::SkinFile {
    std::string file;  // the description file
    bool missing = false;
    std::string folder;
    std::string SkinName;
    vb::Variant colour;
    vb::Variant top;
    std::vector<std::pair<vb::Variant, vb::Variant>> places;  // top and left, as SkinPlaces
};

namespace {

std::string SettingsFile() {
    return vb::App::Path() + "/Settings.ini";
}

// Values of a skin that the window cannot use are reported on stderr with their file, section
// and key; the skin's application then stops at that value as the run-time's error stops it.
void ReportSkin(const std::string& file, std::string_view section, std::string_view key,
                const std::string& what) {
    platform::base::Report(vb::App::Title(), file + ": [" + std::string(section) + "] " +
                                                 std::string(key) + " " + what);
}

// A name read from a stored file that becomes part of a path: a single file name, else it is
// reported and taken as missing (the empty name).
std::string SingleName(const std::string& name, const std::string& file, const char* section,
                       const char* key) {
    if (platform::files::IsFileName(name)) return name;
    ReportSkin(file, section, key,
               "\"" + name + "\" is not a single file name; it is taken as missing");
    return {};
}

// The farthest a skin may place the window or an element: 32,767 pixels either way, the reach of
// a window position on the X display.
constexpr float kMaxSkinTwips = 32767.0f * vb::kTwipsPerPixel;

float SkinNumber(const frmMain1::SkinFile& skin, const char* section, const char* key,
                 const vb::Variant& value) {
    const std::string text = vb::CStr(value);
    float number = 0;
    try {
        number = vb::CSng(value);
    } catch (const vb::RuntimeError&) {
        if (!skin.missing) {
            ReportSkin(skin.file, section, key,
                       text.empty() ? "is missing" : "\"" + text + "\" is not a number");
        }
        throw;
    }
    if (!(std::fabs(number) <= kMaxSkinTwips)) {
        ReportSkin(skin.file, section, key,
                   "\"" + text + "\" lies beyond 491505 twips, out of every screen's reach");
        vb::Raise(vb::vbErrOverflow);
    }
    return number;
}

vb::Picture SkinPicture(const frmMain1::SkinFile& skin, const std::string& path) {
    try {
        return vb::LoadPicture(path);
    } catch (const vb::RuntimeError& e) {
        ReportSkin(skin.file, "SkinName", "SkinName",
                   "\"" + skin.SkinName + "\": the picture " + path + " cannot be used (" +
                       e.what() + ")");
        throw;
    }
}

// The elements a skin places, with the keys of their top and left in its [Settings] section.
struct Place {
    vb::Control& element;
    const char* top;
    const char* left;
};

std::vector<Place> SkinPlaces(frmMain1& w) {
    return {
        {w.QuixLabel1, "MinT", "MinL"},
        {w.QuixLabel2, "CloseT", "CloseL"},
        {w.QuixLabel3, "AbouT", "AboutL"},
        {w.QuixLabel4, "VideoT", "VideoL"},
        {w.QuixLabel5, "AssociateT", "AssociateL"},
        {w.QuixLabel6, "BrowseT", "BrowseL"},
        {w.QuixLabel7, "LisT", "ListL"},
        {w.QuixLabel8, "RemoteT", "RemoteL"},
        {w.Label11, "TimeT", "TimeL"},
        {w.Label1, "DurationT", "DurationL"},
        {w.Label24, "TitleT", "TitleL"},
        {w.vol, "VolT", "VoltL"},
        {w.Pg, "PgT", "PgL"},
        {w.Command1, "PlayT", "PlayL"},
        {w.Command2, "PreviousT", "PreviousL"},
        {w.Command4, "PauseT", "PauseL"},
        {w.Command5, "StopT", "StopL"},
        {w.Command6, "NexT", "NextL"},
    };
}

}  // namespace

void frmMain1::ApplySkin(Road road) {
    const std::string name = ChosenSkin(road);
    const Look before = CurrentLook();
    SkinFile skin;
    try {
        skin = ReadSkin(road, name);
        DressIn(road, skin);
    } catch (...) {
        // A skin from a chooser that cannot be applied completely would leave the window half
        // dressed, its buttons perhaps outside its face: the window comes back with the look it
        // had. The start-up road keeps what was applied and leaves the showing to the start-up.
        if (road != Road::StartUp) {
            vb::ResumeNext([&] { RestoreLook(before); });
            KeepWithinReach(skin);
            SetVisible(true);
            Fader1.FadeIn();
        } else {
            KeepWithinReach(skin);
        }
        throw;
    }
    KeepWithinReach(skin);
    SetVisible(true);
    Fader1.FadeIn();
}

// Whatever a skin's Top (or an earlier drag) did, at least a corner of the window stays on a
// screen, where the user can take it.
void frmMain1::KeepWithinReach(const SkinFile& skin) {
    const std::string top = vb::CStr(skin.top);
    if (!KeepOnScreen(*this)) return;
    ReportSkin(skin.file.empty() ? SettingsFile() : skin.file, "Position", "Top",
               (top.empty() ? std::string() : "\"" + top + "\" ") +
                   "puts the window off every screen; it is moved to " + vb::CStr(Top()) +
                   " twips");
}

// The name of the skin the road applies: the start-up skin of Settings.ini, or the one chosen
// in a chooser (the window fades out and hides first).
std::string frmMain1::ChosenSkin(Road road) {
    if (road == Road::StartUp) {
        txtLoad.SetText(vb::CStr(ReadINI("Configuration", "Skin", "", SettingsFile())));
        return SingleName(txtLoad.Text(), SettingsFile(), "Configuration", "Skin");
    }
    Fader1.FadeOut();
    Hide();
    return road == Road::Chooser ? ::frmSkin->ListSkin.Text() : ::Skins->List1.Text();
}

frmMain1::Look frmMain1::CurrentLook() {
    Look look{Picture(), PicMainSkin.Picture(), p2.Picture(), Top(), {}, {}};
    for (vb::Control* c : Controls()) {
        look.places.emplace_back(c->Left(), c->Top());
        if (auto* label = dynamic_cast<controls::QuixLabel*>(c))
            look.colours.push_back(label->ForeColor());
    }
    return look;
}

frmMain1::SkinFile frmMain1::ReadSkin(Road road, const std::string& name) {
    SkinFile skin;
    skin.folder = vb::App::Path() + (road == Road::Hidden ? "/Skins/" : "/Sk/");
    const std::string file = skin.folder + name + ".ini";
    skin.file = file;
    skin.missing = !platform::files::Exists(file);
    if (skin.missing) {
        platform::base::Report(vb::App::Title(),
                               name.empty() ? "no skin is named; the window keeps its look"
                                            : "the skin description " + file +
                                                  " cannot be found; the window keeps its look");
    }
    skin.SkinName = SingleName(vb::CStr(ReadINI("SkinName", "SkinName", "", file)), file,
                               "SkinName", "SkinName");
    skin.colour = ReadINI("TextColor", "ForeColor", "", file);
    skin.top = ReadINI("Position", "Top", "", file);
    for (const Place& p : SkinPlaces(*this)) {
        skin.places.emplace_back(ReadINI("Settings", p.top, "", file),
                                 ReadINI("Settings", p.left, "", file));
    }
    return skin;
}

void frmMain1::DressIn(Road road, SkinFile& skin) {
    if (road == Road::StartUp && skin.SkinName.empty()) {
        if (!skin.missing) {
            ReportSkin(skin.file, "SkinName", "SkinName",
                       "is missing; the start-up skin is Tavro from the next start");
        }
        WriteINI("Configuration", "skin", "Tavro", SettingsFile());
    }
    RefreshLabel();
    if (road != Road::Chooser) RefreshExt(skin.SkinName);
    SetTop(SkinNumber(skin, "Position", "Top", skin.top));
    const std::string colour = vb::CStr(skin.colour);
    try {
        for (vb::Control* c : Controls()) {
            if (auto* label = dynamic_cast<controls::QuixLabel*>(c)) label->SetForeColor(colour);
        }
    } catch (const vb::RuntimeError&) {
        ReportSkin(skin.file, "TextColor", "ForeColor", "\"" + colour + "\" is not a colour");
        throw;
    }
    const std::string pictures = skin.folder + skin.SkinName;
    if (skin.SkinName == "Author" || (road == Road::Hidden && skin.SkinName == "Green1")) {
        SetPicture(SkinPicture(skin, pictures + ".gif"));
        p2.SetPicture(SkinPicture(skin, pictures + ".gif"));
    } else {
        SetPicture(SkinPicture(skin, pictures + ".jpg"));
        p2.SetPicture(SkinPicture(skin, pictures + ".bmp"));
    }
    PicMainSkin.SetPicture(p2.Picture());
    chngp();
    const std::vector<Place> places = SkinPlaces(*this);
    for (size_t i = 0; i < places.size(); ++i) {
        places[i].element.SetTop(SkinNumber(skin, "Settings", places[i].top, skin.places[i].first));
        places[i].element.SetLeft(
            SkinNumber(skin, "Settings", places[i].left, skin.places[i].second));
    }
}

void frmMain1::RestoreLook(const Look& before) {
    size_t i = 0, k = 0;
    for (vb::Control* c : Controls()) {
        c->Move(before.places[i].first, before.places[i].second);
        ++i;
        if (auto* label = dynamic_cast<controls::QuixLabel*>(c))
            label->SetForeColor(before.colours[k++]);
    }
    SetTop(before.top);
    SetPicture(before.face);
    p2.SetPicture(before.held);
    PicMainSkin.SetPicture(before.skin);
    if (!before.skin.IsNone()) chngp();
}

void frmMain1::RefreshAll() {
    vb::ResumeNext([&] { HidePictures(); });
}

void frmMain1::RefreshExt(std::string& PicName) {
    HidePictures();
    // A name that is no single file name would rename pictures outside the folder.
    if (!platform::files::IsFileName(PicName)) return;
    const std::string folder = vb::App::Path() + "/skins/";
    vb::ResumeNext([&] { vb::Name(folder + PicName + ".JKwo", folder + PicName + ".Jpg"); });
    vb::ResumeNext([&] { vb::Name(folder + PicName + ".BKwo", folder + PicName + ".Bmp"); });
}

void frmMain1::HidePictures() {
    const std::string folder = vb::App::Path() + "/skins/";
    FileSkin.SetPath(folder);
    FileSkin.SetPattern("*.jkwo;*.bkwo;*.jpg;*.jpeg;*.bmp");
    FileSkin.Refresh();
    const long count = FileSkin.ListCount();
    for (long i = 0; i < count; ++i) {
        FileSkin.SetListIndex(i);
        std::string name = FileSkin.FileName();
        size_t dot = name.find('.');
        std::string base = name.substr(0, dot);
        std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
        // Only the exact spellings are hidden; a failed rename leaves that picture as it is.
        if (ext == "Bmp") {
            vb::ResumeNext([&] { vb::Name(folder + base + ".Bmp", folder + base + ".BKwo"); });
        } else if (ext == "Jpg") {
            vb::ResumeNext([&] { vb::Name(folder + base + ".Jpg", folder + base + ".JKwo"); });
        }
    }
}

// ---- the pop-up menu ----

void frmMain1::add_Click() {
    QuixLabel6_Click();
}

void frmMain1::Direct_Click() {
    ::Form3->Show();
}

void frmMain1::n_Click() {
    Command6_Click();
}

void frmMain1::Prevus_Click() {
    Command2_Click();
}

void frmMain1::mute_Click() {
    auto& player = ::FrmVideo->MediaPlayer1;
    if (!mute.Checked()) {
        player.SetMute(true);
        mute.SetChecked(true);
    } else {
        player.SetMute(false);
        mute.SetChecked(false);
    }
}

void frmMain1::choose_Click() {
    ::frmSkin->Show();
}

void frmMain1::more_Click() {
    ::frmLogin->Show(vb::vbModal);
}

void frmMain1::Rem_Click() {
    ::Remote->Show();
}

void frmMain1::shut_Click() {
    // sysoff.exe of the original is the program "sysoff" here. Missing or not startable, it is
    // passed over: nothing is shown and the player goes on.
    vb::ResumeNext([&] { vb::Shell(vb::App::Path() + "/" + "sysoff", vb::vbNormalFocus); });
}

void frmMain1::setting_Click() {
    ::FrmSetting->Show();
}

void frmMain1::about_Click() {
    ::frmAbout->Show();
}

void frmMain1::exit_Click() {
    RefreshAll();
    vb::End();
}

void frmMain1::Ab_Click() {
    ::frmAbout->Show(vb::vbModal);
}

void frmMain1::ex_Click() {
    vb::End();
}

// ---- the label buttons ----

void frmMain1::QuixLabel1_Click() {
    SetWindowState(vb::vbMinimized);
}

void frmMain1::QuixLabel1_MouseMove(int, int, float, float) {
    // A missing cursor file keeps the pointer the label has.
    vb::ResumeNext(
        [&] { QuixLabel1.SetMouseIcon(vb::LoadPicture(vb::App::Path() + "/curAlbums.cur")); });
}

void frmMain1::QuixLabel2_Click() {
    RefreshAll();
    vb::End();
}

void frmMain1::QuixLabel3_Click() {
    ::frmAbout.Get();
    ::frmAbout->Show();
    ::frmAbout->SetVisible(true);
}

void frmMain1::QuixLabel4_Click() {
    if (::FrmVideo->WindowState() == vb::vbMinimized) ::FrmVideo->SetWindowState(vb::vbNormal);
    ::FrmVideo->Show();
    ::Remote->Show();
}

void frmMain1::QuixLabel7_Click() {
    ::Form2->Show();
}

void frmMain1::QuixLabel8_Click() {
    PopupMenu(kesto);
}

void frmMain1::Label2_MouseDown(int, int, float, float) {
    ClickSound();
}

void frmMain1::Label3_MouseDown(int, int, float, float) {
    ClickSound();
}

void frmMain1::ClickSound() {
    // Without aah.wav the system's default sound plays instead.
    sndPlaySoundA((vb::App::Path() + "/" + "aah.wav").c_str(), SND_ASYNC);
}

// ---- the file-type association ----

void frmMain1::SelectAllTypes(bool flag) {
    for (long i = 0; i < lstTypes.ListCount(); ++i) lstTypes.SetSelected(i, flag);
    if (!flag) lstTypes.SetListIndex(-1);
}

// Every entry of the type list is selected and registers the row of the association table that
// its text names: "mp3" to "dat" are rows 1 to 6 and the seventh entry, "avi", is row 8. The
// player opens AVI files; it reads no file of the table's playlist type (row 7, ".kwo"), so that
// row is registered by no entry.
void frmMain1::QuixLabel5_Click() {
    SelectAllTypes(true);
    // From here on any error ends the command at once, silently.
    vb::ResumeNext([&] {
        const long count = lstTypes.ListCount();
        for (long i = 0; i < count; ++i) {
            if (lstTypes.Selected(i)) {
                RegisterFileType(AssociationRowOf(lstTypes.List(i)), vb::App::Path(),
                                 vb::App::EXEName());
            }
        }
    });
}

// ---- the open-file road ----

void frmMain1::QuixLabel6_Click() {
    SetNotTopMost(*::FrmVideo);
    CommonDialog1.SetFileName("");
    CommonDialog1.SetCancelError(true);
    CommonDialog1.SetDialogTitle("Kesto Player - Select File(s)...");
    CommonDialog1.SetFlags(controls::cdlOFNExplorer | controls::cdlOFNAllowMultiselect |
                           controls::cdlOFNHideReadOnly);
    CommonDialog1.SetFilter(
        "File Types(*.mp3;*.wav;*.dat;*.avi;*.wma;*.wmv;)|*.mp3;*.wav;*.dat;*.avi;*.wma;*.wmv;|"
        "MP3 sounds (*.mp3)|*.mp3|WAV Sounds (*.wav)|*.wav|"
        "Movie files (*.dat); (*.avi); (*.mov)|*.dat; *.avi; *.mov|"
        "Windows Media sounds (*.wma;*.wmv;)|*.wma;*.wmv;");
    // From here on every error is ignored; a Cancel is one.
    vb::ResumeNext([&] { CommonDialog1.ShowOpen(); });
    std::vector<std::string> parts;
    vb::ResumeNext([&] {
        const std::string chosen = CommonDialog1.FileName();
        if (chosen.empty()) return;
        size_t start = 0;
        for (;;) {
            size_t nul = chosen.find('\0', start);
            parts.push_back(chosen.substr(start, nul - start));
            if (nul == std::string::npos) break;
            start = nul + 1;
        }
    });
    if (parts.size() == 1) {
        vb::ResumeNext([&] {
            auto& playlist = *::Form2;
            playlist.List1.AddItem(CommonDialog1.FileTitle());
            playlist.List2.AddItem(CommonDialog1.FileName());
        });
    } else if (parts.size() > 1) {
        // The folder comes first; a root folder already ends in "/", so its paths hold two in a
        // row, stored as they come.
        const std::string& folder = parts[0];
        vb::ResumeNext([&] {
            auto& playlist = *::Form2;
            for (size_t i = 1; i < parts.size(); ++i) {
                playlist.List1.AddItem(parts[i]);
                playlist.List2.AddItem(folder + "/" + parts[i]);
            }
        });
    }
    if (!parts.empty()) {
        vb::ResumeNext([&] { Timer1.SetEnabled(true); });
        vb::ResumeNext([&] { ::Form2->Show(); });
    }
    SetTopMost(*::FrmVideo);
}

}  // namespace forms
