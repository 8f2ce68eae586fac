#include <QGuiApplication>
#include <QScreen>
#include <filesystem>
#include <memory>

#include "platform/vb/Control.h"
#include "platform/vb/Error.h"

#include "platform/controls/QuixLabel.h"
#include "player/Module1.h"
#include "player/Skins.h"
#include "player/frmAbout.h"
#include "player/frmSkin.h"
#include "tests/player/SkinFixture.h"

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

std::vector<controls::QuixLabel*> Labels() {
    std::vector<controls::QuixLabel*> v;
    for (vb::Control* c : frmMain1->Controls()) {
        if (auto* l = dynamic_cast<controls::QuixLabel*>(c)) v.push_back(l);
    }
    return v;
}

// The background picture's colour (a JPEG keeps it only nearly).
bool Background(vb::Form& form) {
    QRgb c = form.Picture().Image().pixel(5, 5);
    return std::abs(qRed(c) - 10) < 6 && std::abs(qGreen(c) - 20) < 6 &&
           std::abs(qBlue(c) - 30) < 6;
}

bool Shaped(vb::Form& form, int x, int y) {
    return form.window()->mask().contains(QPoint(x, y));
}

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(dir)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

// The face picture the skin of `seed` gives PicMainSkin, pixel for pixel.
bool FaceOf(const vb::PictureBox& box, int seed) {
    return box.Picture().Image().convertToFormat(QImage::Format_RGB32) == Face(seed);
}

void Choose(vb::ListBox& list, const std::string& name) {
    for (long i = 0; i < list.ListCount(); ++i) {
        if (list.List(i) == name) {
            list.SetListIndex(i);
            return;
        }
    }
    ADD_FAILURE() << name << " is not listed";
}

// The main window's opacity each time the window is hidden or shown.
class Visibility : public QObject {
public:
    explicit Visibility(vb::Form& form) { form.window()->installEventFilter(this); }
    struct Change {
        bool shown;
        double opacity;
    };
    std::vector<Change> changes;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show || e->type() == QEvent::Hide) {
            changes.push_back({e->type() == QEvent::Show, frmMain1->Fader1.Opacity()});
        }
        return false;
    }
};

// The roads by which a skin reaches the main window: the start-up skin, the chooser of Sk and
// the chooser of Skins.
enum class Road { StartUp, Chooser, Hidden };

std::string RoadName(Road road) {
    switch (road) {
        case Road::StartUp:
            return "StartUp";
        case Road::Chooser:
            return "Chooser";
        case Road::Hidden:
            return "Hidden";
    }
    return "";
}

void PrintTo(Road road, std::ostream* os) {
    *os << RoadName(road);
}

}  // namespace

TEST_F(SkinTest, TheStartUpSkinGivesTheWindowItsFaceShapeColoursAndLayout) {
    WriteSkin(
        program.path(),
        {.file = "Tavro", .skinName = "Tavro", .colour = "&H0000FFFF&", .top = "1800", .seed = 3});
    fs::create_directories(program / "Skins");
    Settings("Tavro");
    Start();
    ExpectPlaced(3);
    EXPECT_FLOAT_EQ(frmMain1->Top(), 1800);
    EXPECT_EQ(frmMain1->txtLoad.Text(), "Tavro");
    ASSERT_EQ(Labels().size(), 13u);
    for (auto* l : Labels()) EXPECT_EQ(l->ForeColor(), RGB(255, 255, 0)) << l->Name();
    // Label2 and Label3, which no key places, keep the default row and their own left.
    EXPECT_FLOAT_EQ(frmMain1->Label2.Top(), 6900);
    EXPECT_FLOAT_EQ(frmMain1->Label2.Left(), 7200);
    EXPECT_FLOAT_EQ(frmMain1->Label3.Top(), 6900);
    // The face: its size, and its shape with the hole.
    EXPECT_FLOAT_EQ(frmMain1->Width(), 4500);
    EXPECT_FLOAT_EQ(frmMain1->Height(), 3000);
    EXPECT_EQ(frmMain1->PicMainSkin.Picture().Width(), 300);
    EXPECT_TRUE(Background(*frmMain1));
    EXPECT_TRUE(Shaped(*frmMain1, 150, 50));
    EXPECT_FALSE(Shaped(*frmMain1, 2, 2));      // outside the plate
    EXPECT_FALSE(Shaped(*frmMain1, 150, 100));  // the hole
    EXPECT_TRUE(frmMain1->Visible());
    EXPECT_NEAR(frmMain1->Fader1.Opacity(), 100, 0.5);
    EXPECT_EQ(ReadFile(program / "Settings.ini"), "[Configuration]\r\nSkin=Tavro\r\n");
}

TEST_F(SkinTest, GifSkinsUseOnePictureForBoth) {
    fs::create_directories(program / "Skins");
    struct Case {
        Skin skin;
        bool gif;
    } cases[] = {
        {{.file = "a", .skinName = "Author", .pictures = Skin::Pictures::Gif}, true},
        {{.file = "g", .skinName = "Green1", .pictures = Skin::Pictures::JpgAndBmp},
         false},  // in Sk
    };
    for (auto& c : cases) {
        WriteSkin(program.path(), c.skin);
        Settings(c.skin.file);
        Start();
        ExpectPlaced(1);
        EXPECT_EQ(Background(*frmMain1), !c.gif) << c.skin.skinName;
        EXPECT_TRUE(Shaped(*frmMain1, 150, 50));
        UnloadAll();
    }
}

TEST_F(SkinTest, AStoppedStartUpSkinLeavesTheDefaultLayoutAndWhatWasSet) {
    fs::create_directories(program / "Skins");
    WriteSkin(program.path(),
              {.file = "Broken", .skinName = "Broken", .omit = {"VoltL"}, .seed = 2});
    Settings("Broken");
    Start();
    ExpectPlaced(2, 23);                        // up to VolT
    EXPECT_FLOAT_EQ(frmMain1->Pg.Top(), 5100);  // the keys after the missing one are not applied
    EXPECT_FLOAT_EQ(frmMain1->Label24.Top(), std::stof(PositionOf("TitleT", 2)));
    EXPECT_TRUE(frmMain1->Visible());             // the start-up shows the window all the same
    EXPECT_EQ(frmMain1->RunCounted.Text(), "1");  // and the load went on
    EXPECT_EQ(frmMain1->vol.Value(), 2400);
}

TEST_F(SkinTest, WithoutSettingsTheDefaultIsWrittenForTheNextStart) {
    fs::create_directories(program / "Skins");
    WriteSkin(program.path(), {.file = "Tavro", .skinName = "Tavro", .seed = 4});
    Start();
    EXPECT_FLOAT_EQ(frmMain1->Label1.Top(), 6900);
    EXPECT_FLOAT_EQ(frmMain1->Label1.Left(), 1140);
    EXPECT_FLOAT_EQ(frmMain1->Label24.Left(), 6870);
    EXPECT_TRUE(frmMain1->PicMainSkin.Picture().IsNone());
    EXPECT_EQ(ReadFile(program / "Settings.ini"), "[Configuration]\r\nskin=Tavro\r\n");
    UnloadAll();
    Start();
    ExpectPlaced(4);
}

TEST_F(SkinTest, WithoutTheSkinsFolderTheStartUpSkinStopsBeforeItsPictures) {
    WriteSkin(program.path(), {.file = "Tavro", .skinName = "Tavro", .seed = 5});
    Settings("Tavro");
    Start();
    EXPECT_TRUE(frmMain1->PicMainSkin.Picture().IsNone());
    EXPECT_FLOAT_EQ(frmMain1->Command1.Top(), 5700);
    EXPECT_TRUE(frmMain1->Visible());
}

TEST_F(SkinTest, TheChooserAppliesAndRemembersTheChosenSkin) {
    fs::create_directories(program / "Skins");
    WriteSkin(program.path(), {.file = "Alpha", .skinName = "Alpha", .seed = 6});
    WriteSkin(program.path(), {.file = "Beta", .skinName = "Beta", .colour = "255", .seed = 7});
    Settings("Alpha");
    Start();
    frmSkin->Show();
    ASSERT_EQ(frmSkin->ListSkin.ListCount(), 2);
    EXPECT_EQ(frmSkin->ListSkin.List(1), "Beta");
    frmSkin->ListSkin.SetListIndex(1);
    frmSkin->QuixLabel5_Click();
    ExpectPlaced(7);
    EXPECT_EQ(frmMain1->Label1.ForeColor(), RGB(255, 0, 0));
    EXPECT_TRUE(frmMain1->Visible());
    EXPECT_NEAR(frmMain1->Fader1.Opacity(), 100, 0.5);
    EXPECT_EQ(ReadFile(program / "Settings.ini"), "[Configuration]\r\nSkin=Beta\r\n");
    // Nothing chosen: the first skin is applied and remembered.
    vb::Unload(*frmSkin);
    frmSkin->QuixLabel5_Click();
    ExpectPlaced(6);
    EXPECT_EQ(ReadFile(program / "Settings.ini"), "[Configuration]\r\nSkin=Alpha\r\n");
}

TEST_F(SkinTest, ASkinTheChooserCannotApplyLeavesTheWindowShownAndUsable) {
    fs::create_directories(program / "Skins");
    WriteSkin(program.path(), {.file = "Good", .skinName = "Good", .seed = 1});
    WriteSkin(program.path(), {.file = "NoPicture",
                               .skinName = "NoPicture",
                               .pictures = Skin::Pictures::None,
                               .seed = 2});
    WriteSkin(program.path(),
              {.file = "BadColour", .skinName = "BadColour", .colour = "purple", .seed = 3});
    Settings("Good");
    Start();
    float goodWidth = frmMain1->Width();
    COLORREF goodColour = frmMain1->QuixLabel2.ForeColor();
    for (const char* name : {"BadColour", "NoPicture"}) {
        frmSkin->ListSkin.SetListIndex(name == std::string("BadColour") ? 0 : 1);
        vb::Dispatch("Apply", [&] { frmSkin->QuixLabel5_Click(); });  // as the click runs it
        EXPECT_TRUE(frmMain1->Visible()) << name;
        EXPECT_NEAR(frmMain1->Fader1.Opacity(), 100, 0.5) << name;
        // The window keeps the look it had: every element on the good skin's face.
        ExpectPlaced(1);
        EXPECT_EQ(frmMain1->Width(), goodWidth);
        EXPECT_EQ(frmMain1->QuixLabel2.ForeColor(), goodColour);
    }
    // A refused skin is not remembered.
    EXPECT_EQ(ReadFile(program / "Settings.ini"), "[Configuration]\r\nSkin=Good\r\n");
}

TEST_F(SkinTest, ASkinFromSkinsRevealsOnlyItsOwnPicturesAndIsNotRemembered) {
    WriteSkin(program.path(), {.file = "Tavro", .skinName = "Tavro", .seed = 1});
    WriteSkin(program.path(), {.file = "Ruby",
                               .skinName = "Ruby",
                               .folder = "Skins",
                               .pictures = Skin::Pictures::Hidden,
                               .seed = 8});
    WriteSkin(program.path(), {.file = "Jade",
                               .skinName = "Jade",
                               .folder = "Skins",
                               .pictures = Skin::Pictures::Hidden,
                               .seed = 9});
    WriteSkin(program.path(), {.file = "Green1",
                               .skinName = "Green1",
                               .folder = "Skins",
                               .pictures = Skin::Pictures::Gif,
                               .seed = 10});
    Settings("Tavro");
    Start();
    Skins->List1.SetListIndex(2);  // Ruby
    Skins->QuixLabel1_Click();
    ExpectPlaced(8);
    EXPECT_EQ(Names(program / "Skins"),
              (std::vector<std::string>{"Green1.gif", "Green1.ini", "Jade.BKwo", "Jade.JKwo",
                                        "Jade.ini", "Ruby.Bmp", "Ruby.Jpg", "Ruby.ini"}));
    Skins->List1.SetListIndex(0);  // Green1: its GIF, both times
    Skins->QuixLabel1_Click();
    ExpectPlaced(10);
    EXPECT_EQ(frmMain1->Picture().Image().pixel(5, 5), qRgb(255, 0, 255));
    EXPECT_EQ(Names(program / "Skins")[5], "Ruby.BKwo");  // hidden again
    EXPECT_EQ(ReadFile(program / "Settings.ini"), "[Configuration]\r\nSkin=Tavro\r\n");
    // Nothing chosen: the skin ".ini" is not there, and the window stays usable.
    Skins->List1.SetListIndex(-1);
    vb::Dispatch("Apply", [&] { Skins->QuixLabel1_Click(); });
    EXPECT_TRUE(frmMain1->Visible());
}

TEST_F(SkinTest, TheSkinsChooserIsShapedByItsFaceAndListsNamesUpToTheirFirstDot) {
    for (const char* n : {"b.ini", "a.b.ini", "c.INI", "notes.txt"})
        WriteFile(program / ("Skins/" + std::string(n)), "");
    WriteFile(program / "skin.bmp", Bytes(Face(1), "BMP"));
    Skins->Show();
    ASSERT_EQ(Skins->List1.ListCount(), 3);
    EXPECT_EQ(Skins->List1.List(0), "a");
    EXPECT_EQ(Skins->List1.List(1), "b");
    EXPECT_EQ(Skins->List1.List(2), "c");
    EXPECT_EQ(Skins->List1.ListIndex(), -1);
    EXPECT_FLOAT_EQ(Skins->Width(), 4500);
    EXPECT_TRUE(Shaped(*Skins, 150, 50));
    EXPECT_FALSE(Shaped(*Skins, 1, 1));
    EXPECT_TRUE(Skins->window()->windowFlags() & Qt::WindowStaysOnTopHint);
}

class SkinRoads : public SkinTest, public ::testing::WithParamInterface<Road> {};

TEST_P(SkinRoads, TheSkinDressesTheWholeWindow) {
    const Road road = GetParam();
    const bool hidden = road == Road::Hidden;
    fs::create_directories(program / "Skins");
    WriteSkin(program.path(),
              {.file = "Look",
               .skinName = "Look",
               .folder = hidden ? "Skins" : "Sk",
               .colour = "&H00FF8000&",
               .top = "2700",
               .pictures = hidden ? Skin::Pictures::Hidden : Skin::Pictures::JpgAndBmp,
               .seed = 7});
    std::unique_ptr<Visibility> seen;
    float left = 1500;  // where the window is designed to stand
    if (road == Road::StartUp) {
        Settings("Look");
        Start();
    } else {
        // No start-up skin: the designed window, without face or shape, somewhere else.
        Start();
        ASSERT_TRUE(frmMain1->PicMainSkin.Picture().IsNone());
        ASSERT_TRUE(frmMain1->window()->mask().isEmpty());
        left = 2400;
        frmMain1->Move(left, 900);
        seen = std::make_unique<Visibility>(*frmMain1);
        if (road == Road::Chooser) {
            Choose(frmSkin->ListSkin, "Look");
            frmSkin->QuixLabel5_Click();
        } else {
            Choose(Skins->List1, "Look");
            Skins->QuixLabel1_Click();
        }
    }
    ExpectPlaced(7);
    ASSERT_EQ(Labels().size(), 13u);
    for (auto* l : Labels()) EXPECT_EQ(l->ForeColor(), RGB(0, 128, 255)) << l->Name();
    // The skin moves the window vertically only.
    EXPECT_FLOAT_EQ(frmMain1->Top(), 2700);
    EXPECT_FLOAT_EQ(frmMain1->Left(), left);
    // Background, face, and the size and shape the face gives.
    EXPECT_TRUE(Background(*frmMain1));
    EXPECT_TRUE(FaceOf(frmMain1->PicMainSkin, 7));
    EXPECT_FLOAT_EQ(frmMain1->Width(), 4500);
    EXPECT_FLOAT_EQ(frmMain1->Height(), 3000);
    EXPECT_TRUE(Shaped(*frmMain1, 150, 50));
    EXPECT_TRUE(Shaped(*frmMain1, 289, 100));
    EXPECT_FALSE(Shaped(*frmMain1, 2, 2));
    EXPECT_FALSE(Shaped(*frmMain1, 150, 100));
    EXPECT_FALSE(Shaped(*frmMain1, 299, 199));
    EXPECT_TRUE(frmMain1->Visible());
    EXPECT_NEAR(frmMain1->Fader1.Opacity(), 100, 0.5);
    if (seen) {
        // Faded out before it was hidden; shown before it was faded in.
        ASSERT_GE(seen->changes.size(), 2u);
        EXPECT_FALSE(seen->changes.front().shown);
        EXPECT_NEAR(seen->changes.front().opacity, 0, 0.5);
        EXPECT_TRUE(seen->changes.back().shown);
        EXPECT_NEAR(seen->changes.back().opacity, 0, 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(Roads, SkinRoads,
                         ::testing::Values(Road::StartUp, Road::Chooser, Road::Hidden),
                         [](const auto& info) { return RoadName(info.param); });

TEST_F(SkinTest, TheStartUpSkinRevealsItsNamesakeInSkinsAndTheChooserLeavesSkinsAlone) {
    WriteSkin(program.path(), {.file = "Tavro", .skinName = "Tavro", .seed = 3});
    WriteSkin(program.path(), {.file = "Ruby", .skinName = "Ruby", .seed = 4});
    // Skins holds hidden namesakes of both, with faces of their own, and one picture not hidden.
    for (auto [name, seed] : {std::pair{"Tavro", 8}, std::pair{"Ruby", 9}}) {
        WriteSkin(program.path(), {.file = name,
                                   .skinName = name,
                                   .folder = "Skins",
                                   .pictures = Skin::Pictures::Hidden,
                                   .seed = seed});
    }
    WriteFile(program / "Skins/Jade.Jpg", "jade");
    Settings("Tavro");
    Start();
    const std::vector<std::string> afterStart = {"Jade.JKwo", "Ruby.BKwo", "Ruby.JKwo", "Ruby.ini",
                                                 "Tavro.Bmp", "Tavro.Jpg", "Tavro.ini"};
    EXPECT_EQ(Names(program / "Skins"), afterStart);
    EXPECT_TRUE(FaceOf(frmMain1->PicMainSkin, 3));  // the face itself is the one in Sk
    ExpectPlaced(3);

    Choose(frmSkin->ListSkin, "Ruby");
    frmSkin->QuixLabel5_Click();
    ExpectPlaced(4);
    EXPECT_TRUE(FaceOf(frmMain1->PicMainSkin, 4));
    EXPECT_EQ(Names(program / "Skins"), afterStart);
}

// Names that come from Settings.ini or a skin description become parts of paths: one that is
// not a single file name is taken as missing, and nothing outside the skin folders is read or
// renamed.
TEST_F(SkinTest, StoredNamesThatReachOutsideTheSkinFoldersAreTakenAsMissing) {
    fs::create_directories(program / "Skins");
    // A complete skin beside the skin folders, with its pictures.
    WriteSkin(program.path(), {.file = "Outside", .skinName = "Outside", .folder = ".", .seed = 5});
    // Descriptions in Sk and Skins whose SkinName points at those pictures.
    WriteSkin(
        program.path(),
        {.file = "Escape", .skinName = "../Outside", .pictures = Skin::Pictures::None, .seed = 5});
    WriteSkin(program.path(), {.file = "Escape",
                               .skinName = "../Outside",
                               .folder = "Skins",
                               .pictures = Skin::Pictures::None,
                               .seed = 5});
    WriteFile(program / "Outside.JKwo", "hidden");
    struct Case {
        std::string settings;
        std::string said;
    } cases[] = {
        {"../Outside",
         "Settings.ini: [Configuration] Skin \"../Outside\" is not a single file name"},
        {"..\\Outside", "[Configuration] Skin \"..\\Outside\" is not a single file name"},
        {"Escape", "Sk/Escape.ini: [SkinName] SkinName \"../Outside\" is not a single file name"},
    };
    for (const Case& c : cases) {
        Settings(c.settings);
        testing::internal::CaptureStderr();
        Start();
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_TRUE(frmMain1->PicMainSkin.Picture().IsNone()) << c.settings;
        EXPECT_FLOAT_EQ(frmMain1->Label1.Top(), 6900) << c.settings;  // the default layout
        UnloadAll();
    }
    // The chooser of Skins neither renames nor loads the pictures outside its folder.
    WriteSkin(program.path(), {.file = "Tavro", .skinName = "Tavro", .seed = 1});
    Settings("Tavro");
    Start();
    Choose(Skins->List1, "Escape");
    testing::internal::CaptureStderr();
    vb::Dispatch("Apply", [&] { Skins->QuixLabel1_Click(); });
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Skins/Escape.ini: [SkinName] SkinName \"../Outside\""), std::string::npos)
        << said;
    EXPECT_TRUE(fs::exists(program / "Outside.JKwo"));
    EXPECT_FALSE(fs::exists(program / "Outside.Jpg"));
    EXPECT_TRUE(FaceOf(frmMain1->PicMainSkin, 1));
    ExpectPlaced(1);
}

// A skin value the window cannot use stops the skin where the value stands, as before, and
// says which file and key it is.
TEST_F(SkinTest, ValuesASkinCannotUseAreReportedWithTheirFileAndKey) {
    fs::create_directories(program / "Skins");
    struct Case {
        Skin skin;
        bool notAPicture;
        std::string said;
    } cases[] = {
        {{.file = "Bad", .skinName = "Bad", .set = {{"PgT", "abc"}}},
         false,
         "Sk/Bad.ini: [Settings] PgT \"abc\" is not a number"},
        {{.file = "Bad", .skinName = "Bad", .set = {{"VolT", "1e30"}}},
         false,
         "Sk/Bad.ini: [Settings] VolT \"1e30\" lies beyond 491505 twips"},
        {{.file = "Bad", .skinName = "Bad", .set = {{"NextL", "-600000"}}},
         false,
         "Sk/Bad.ini: [Settings] NextL \"-600000\" lies beyond"},
        {{.file = "Bad", .skinName = "Bad", .omit = {"StopL"}},
         false,
         "Sk/Bad.ini: [Settings] StopL is missing"},
        {{.file = "Bad", .skinName = "Bad", .top = "high"},
         false,
         "Sk/Bad.ini: [Position] Top \"high\" is not a number"},
        {{.file = "Bad", .skinName = "Bad", .colour = "purple"},
         false,
         "Sk/Bad.ini: [TextColor] ForeColor \"purple\" is not a colour"},
        {{.file = "Bad", .skinName = "Bad"},
         true,
         "Sk/Bad.ini: [SkinName] SkinName \"Bad\": the picture "},
        {{.file = "Bad", .skinName = ""},
         false,
         "Sk/Bad.ini: [SkinName] SkinName is missing; the start-up skin is Tavro"},
        {{.file = "Other", .skinName = "Other"},
         false,
         "the skin description " + (program / "Sk/Bad.ini") + " cannot be found"},
    };
    for (const Case& c : cases) {
        fs::remove_all(program / "Sk");
        WriteSkin(program.path(), c.skin);
        if (c.notAPicture) WriteFile(program / "Sk/Bad.bmp", "this is text, not a picture");
        Settings("Bad");
        testing::internal::CaptureStderr();
        Start();
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(c.said), std::string::npos) << c.said << "\n" << said;
        EXPECT_TRUE(frmMain1->Visible()) << c.said;
        UnloadAll();
    }
}

TEST_F(SkinTest, ASkinOffEveryScreenLeavesACornerOfTheWindowOnOne) {
    fs::create_directories(program / "Skins");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* top : {"-100000", "400000"}) {
        WriteSkin(program.path(), {.file = "Far", .skinName = "Far", .top = top, .seed = 2});
        Settings("Far");
        testing::internal::CaptureStderr();
        Start();
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("Sk/Far.ini: [Position] Top \"" + std::string(top) +
                            "\" puts the window off every screen"),
                  std::string::npos)
            << said;
        QRect seen = frmMain1->window()->geometry() & screen;
        EXPECT_GE(seen.width(), kOnScreenCorner) << top;
        EXPECT_GE(seen.height(), kOnScreenCorner) << top;
        ExpectPlaced(2);  // the rest of the skin applies
        UnloadAll();
    }
    // A skin within reach keeps its place, without a word.
    WriteSkin(program.path(), {.file = "Near", .skinName = "Near", .top = "1500", .seed = 3});
    Settings("Near");
    testing::internal::CaptureStderr();
    Start();
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("Kesto:"), std::string::npos);
    EXPECT_FLOAT_EQ(frmMain1->Top(), 1500);
}

TEST(OnScreenPlace, MovesAWindowOffEveryScreenTheLeastWayOntoOne) {
    const QList<QRect> two = {QRect(0, 0, 800, 600), QRect(800, 0, 1024, 768)};
    struct Case {
        QRect window;
        QList<QRect> screens;
        QPoint place;
    } cases[] = {
        {QRect(100, 100, 300, 200), two, QPoint(100, 100)},      // on the first
        {QRect(-252, -152, 300, 200), two, QPoint(-252, -152)},  // a 48-pixel corner shows
        {QRect(100, -6667, 300, 200), two, QPoint(100, -152)},   // far above: down to a corner
        {QRect(100, 26667, 300, 200), two, QPoint(100, 552)},    // far below the first
        {QRect(5000, 700, 300, 200), two, QPoint(1776, 700)},    // right of the second
        {QRect(-5000, 300, 300, 200), two, QPoint(-252, 300)},   // left of the first
        {QRect(900, 5000, 20, 10), two, QPoint(900, 758)},       // a small window shows whole
        {QRect(100, -6667, 300, 200), {}, QPoint(100, -6667)},   // no screen: left as it is
    };
    for (const Case& c : cases)
        EXPECT_EQ(OnScreenPlace(c.window, c.screens), c.place) << c.window.y();
}

using HiddenPictures = PlayerTest;

TEST_F(HiddenPictures, OnlyTheExactSpellingsAreHiddenAndNothingIsReplaced) {
    std::string dir = program / "Skins";
    for (const char* n : {"Blue.Jpg", "Blue.Bmp", "Red.jpg", "Red.BMP", "Blue.Night.Jpg", "Old.Jpg",
                          "Old.JKwo", "Green1.gif", "Sky.jpeg"}) {
        WriteFile(dir + "/" + n, n);
    }
    frmMain1->RefreshAll();
    EXPECT_EQ(Names(dir),
              (std::vector<std::string>{"Blue.BKwo", "Blue.JKwo", "Blue.Night.Jpg", "Green1.gif",
                                        "Old.JKwo", "Old.Jpg", "Red.BMP", "Red.jpg", "Sky.jpeg"}));
    EXPECT_EQ(ReadFile(dir + "/Old.JKwo"), "Old.JKwo");   // not replaced
    EXPECT_EQ(ReadFile(dir + "/Blue.JKwo"), "Blue.Jpg");  // renamed, content kept
    std::string blue = "Blue";
    frmMain1->RefreshExt(blue);
    EXPECT_EQ(Names(dir),
              (std::vector<std::string>{"Blue.Bmp", "Blue.Jpg", "Blue.Night.Jpg", "Green1.gif",
                                        "Old.JKwo", "Old.Jpg", "Red.BMP", "Red.jpg", "Sky.jpeg"}));
    std::string none;
    frmMain1->RefreshExt(none);
    EXPECT_TRUE(fs::exists(dir + "/Blue.JKwo"));
    EXPECT_TRUE(fs::exists(dir + "/Blue.BKwo"));
}

TEST_F(HiddenPictures, WithoutTheFolderRefreshAllReturnsAndRefreshExtFails) {
    EXPECT_NO_THROW(frmMain1->RefreshAll());
    std::string name = "Blue";
    EXPECT_THROW(frmMain1->RefreshExt(name), vb::RuntimeError);
}

using AboutBox = PlayerTest;

TEST_F(AboutBox, TakesTheShapeOfItsPictureAndClosesOnAClick) {
    WriteFile(program / "About.bmp", Bytes(Face(2), "BMP"));
    frmAbout->Show();
    EXPECT_FLOAT_EQ(frmAbout->Width(), 4500);
    EXPECT_TRUE(Shaped(*frmAbout, 150, 50));
    EXPECT_FALSE(Shaped(*frmAbout, 150, 100));
    EXPECT_TRUE(frmAbout->window()->windowFlags() & Qt::WindowStaysOnTopHint);
    frmAbout->Picture1.Click();
    EXPECT_FALSE(frmAbout.IsLoaded());
    // Opened again, it is loaded and shaped again.
    frmAbout->Show();
    EXPECT_TRUE(Shaped(*frmAbout, 150, 50));
    frmAbout->PicMainSkin.DblClick();
    EXPECT_FALSE(frmAbout.IsLoaded());
}

TEST_F(AboutBox, WithoutItsPictureItIsAPlainRectangle) {
    frmAbout->Show();
    EXPECT_TRUE(frmAbout->window()->mask().isEmpty());
    EXPECT_TRUE(frmAbout->Visible());
    frmAbout->Form_DblClick();
    EXPECT_FALSE(frmAbout.IsLoaded());
}
