// The test container in a process of its own: it registers the control library, creates controls
// by ProgID, drives them, saves them and loads them into new controls, and unregisters the
// library. The test reads the registry the container leaves behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <QProcess>
#include <QStringList>
#include <sstream>

#include "platform/registry/registry.h"
#include "quixcore/quixcore.h"
#include "tests/support/pdf_facts.h"
#include "tests/support/reference_image.h"
#include "tests/support/test_support.h"

using platform::registry::ReadString;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result Container(const std::vector<std::string>& args) {
    QProcess process;
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    process.start(TESTCONTAINER_PATH, list);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

bool KeyExists(const std::string& key) {
    HKEY h;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, key.c_str(), &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

const std::string kLibrary = SHAPECTL_PATH;
const std::string kProgId = "Lumorax.QuixShape.Brenic";
const std::string kControlKey = "CLSID\\{43D45806-ED84-11D0-901E-0020AF7543C2}";
const std::string kTypeLibKey = "TypeLib\\{43D45803-ED84-11D0-901E-0020AF7543C2}\\5.0";
const std::string kScripting = "Component Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const std::string kMarks = kControlKey + "\\Implemented Categories";

class TestContainer : public ::testing::Test {
protected:
    TempDir dir;
    testing_support::ScopedEnv store{"KESTO_REGISTRY", dir / "registry.reg"};
    testing_support::ScopedEnv dialogs{"KESTO_DIALOGS", "log"};
};

}  // namespace

TEST_F(TestContainer, RegistersCreatesByProgIdAndUnregisters) {
    Result r = Container({"register " + kLibrary});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "registered " + kLibrary + "\n");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kProgId + "\\CLSID", ""),
              "{43D45806-ED84-11D0-901E-0020AF7543C2}");
    EXPECT_TRUE(KeyExists(kControlKey + "\\InprocServer32"));
    EXPECT_TRUE(KeyExists(kTypeLibKey));
    EXPECT_TRUE(KeyExists(kMarks + "\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}"));
    EXPECT_TRUE(KeyExists(kMarks + "\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}"));

    r = Container({"create " + kProgId + " Shape1", "get Caption", "get Shape", "set Shape 18",
                   "set Shape 17", "get #36", "set ShadowDropX -11", "set BackColor &H80000018",
                   "get BackColor", "set BackColor &H80000019", "get QuixError", "mode run",
                   "get QuixError", "set QuixError 5", "get hDIB", "set Preview True",
                   "call AboutBox"});
    EXPECT_EQ(r.status, 1) << "some commands failed";
    EXPECT_EQ(r.out,
              "created Shape1 {43D45806-ED84-11D0-901E-0020AF7543C2}\n"
              "Caption = \"Shape1\"\n"
              "Shape = 0\n"
              "error 380: Invalid property value.\n"
              "#36 = 17\n"
              "error 20130: Only values between -10 and 10 are allowed.\n"
              "BackColor = -2147483624\n"
              "error 380: Invalid property value.\n"
              "error 394: Property cannot be read.\n"
              "QuixError = 0\n"
              "error 382: Property cannot be set at run-time\n"
              "error 382: Property cannot be read at run-time\n"
              "error 382: Property cannot be set at run-time\n");
    EXPECT_EQ(r.err,
              "Dialog: About QuixShape: Quixkit Brenic Shape Control, Version 5.0 | "
              "QuixShape library shapectl\n");

    r = Container({"unregister " + kLibrary});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_FALSE(KeyExists(kProgId));
    EXPECT_FALSE(KeyExists(kControlKey));
    EXPECT_FALSE(KeyExists("CLSID\\{7AEE9F45-EEBE-11D0-901E-0020AF7543C2}"));
    EXPECT_FALSE(KeyExists("TypeLib\\{43D45803-ED84-11D0-901E-0020AF7543C2}"));
    EXPECT_TRUE(KeyExists(kScripting)) << "category definitions stay";

    r = Container({"create " + kProgId});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "failed: unknown class " + kProgId + "\n");
}

TEST_F(TestContainer, SavesAControlAndLoadsItIntoANewOneInAnotherProcess) {
    ASSERT_EQ(Container({"register " + kLibrary}).status, 0);
    std::string file = dir / "shape.txt";
    std::string picture = testing_support::SourceDir() + "/shapectl/res/shapectl.bmp";
    Result r =
        Container({"create " + kProgId + " Shape1", "set Shape 7", "set Caption \"Star\"",
                   "set TextX -100", "set Persistence True", "set Picture picture:" + picture,
                   "call SetOuterBevel 2 5", "save " + file});
    ASSERT_EQ(r.status, 0) << r.out;
    std::string saved = ReadFile(file);
    EXPECT_EQ(saved.rfind("Begin " + kProgId + " Shape1\n    _Version = 327680\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("\n    Shape = 7\n"), std::string::npos);
    EXPECT_NE(saved.find("\n    Picture = BeginPicture bitmap 16x15\n"), std::string::npos);
    EXPECT_EQ(saved.substr(saved.size() - 4), "End\n");

    r = Container({"load " + file + " Shape2", "get Shape", "get Caption", "get TextX",
                   "get BOuterStyle", "get BOuterWidth", "get Picture", "get MaxFrames"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out,
              "created Shape2 {43D45806-ED84-11D0-901E-0020AF7543C2}\n"
              "loaded Shape2 from " +
                  file +
                  "\n"
                  "Shape = 7\nCaption = \"Star\"\nTextX = -100\nBOuterStyle = 2\nBOuterWidth = 5\n"
                  "Picture = (picture bitmap 16x15)\nMaxFrames = 6\n");

    // Only the changed properties, and a control that keeps nothing.
    r = Container({"create " + kProgId + " Shape3", "set Persistence False", "set Shape 4",
                   "save " + file + " changed", "load " + file, "get Shape", "get Persistence"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Shape = 0\nPersistence = False\n"), std::string::npos) << r.out;
    EXPECT_EQ(ReadFile(file).find("Shape ="), std::string::npos);
}

TEST_F(TestContainer, RunsAScriptAndReportsEventsAndFailures) {
    std::string script = dir / "script.txt";
    WriteFile(script,
              "# a script\n"
              "register " +
                  kLibrary +
                  "\r\n"
                  "create " +
                  kProgId +
                  " A\n"
                  "create " +
                  kProgId +
                  " B\n"
                  "use A\n"
                  "mode run\n"
                  "set Caption \"changed\"\n"
                  "use B\n"
                  "set Caption \"design\"\n"
                  "call GetPixelColor 0 0\n"
                  "call FrameReverse\n"
                  "set NoSuchThing 1\n"
                  "frobnicate\n"
                  "echo done\n");
    Result r = Container({"--script", script, "close A", "use A"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "registered " + kLibrary +
                         "\n"
                         "created A {43D45806-ED84-11D0-901E-0020AF7543C2}\n"
                         "created B {43D45806-ED84-11D0-901E-0020AF7543C2}\n"
                         "event A.Change\n"
                         "GetPixelColor returned -1\n"
                         "error 380: Only values between 0 and 6 are allowed.\n"
                         "failed: no member NoSuchThing\n"
                         "failed: unknown command frobnicate\n"
                         "done\n"
                         "failed: no control A\n");
}

TEST_F(TestContainer, RegistersWithoutTheCategoriesManager) {
    Result r = Container({"--no-system-classes", "register " + kLibrary});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(KeyExists(kControlKey));
    EXPECT_TRUE(KeyExists(kTypeLibKey));
    EXPECT_FALSE(KeyExists(kScripting));
    EXPECT_FALSE(KeyExists(kMarks));
}

TEST_F(TestContainer, WorksTheControlsPropertyPagesFromAScript) {
    testing_support::ScopedEnv shown("KESTO_DIALOGS", std::nullopt);  // the container answers them
    std::string hotspots = dir / "spots.hsp";
    WriteFile(hotspots, "no hotspots here");
    Result r = Container({"--gui",
                          "register " + kLibrary,
                          "create " + kProgId + " Shape1",
                          "frame open",
                          "frame fields",
                          "frame set 208 3",
                          "frame set 210 1",
                          "frame apply",
                          "get CancelMode",
                          "get Overlay",
                          "frame page Border",
                          "frame set 201 \"300\"",
                          "frame set 204 2",
                          "frame apply",
                          "get BorderWidth",
                          "get BInnerStyle",
                          "frame set 201 \"20\"",
                          "frame apply",
                          "get BorderWidth",
                          "frame page Misc.",
                          "frame set 230 44",
                          "frame edit HFileName",
                          "frame answer open " + hotspots,
                          "frame set 217 click",
                          "frame fields",
                          "frame ok",
                          "get MousePointer",
                          "frame apply",
                          "unregister " + kLibrary});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "registered " + kLibrary +
                         "\n"
                         "created Shape1 {43D45806-ED84-11D0-901E-0020AF7543C2}\n"
                         "frame Shape1: General, Color, Font, Picture, Border, Hotspot, Effects, "
                         "Font Style, Misc., Shape, Draw Style\n"
                         "204 text \"Shape1\"\n"
                         "208 list 0 \"0 - None\" of 10\n"
                         "205 list 0 \"0 - Transparent\" of 6\n"
                         "206 list 0 \"0 - Screen\" of 3\n"
                         "207 list 1 \"1 - Opaque\" of 2\n"
                         "210 check 0\n211 check 0\n213 check 0\n215 check 0\n212 check 0\n"
                         "214 check 0\n"
                         "applied\n"
                         "CancelMode = 3\n"
                         "Overlay = True\n"
                         "page 5 Border\n"
                         "message shapectl: Only values between 0 and 255 are allowed.\n"
                         "failed: apply: 0x80004005\n"
                         "BorderWidth = 1\n"
                         "BInnerStyle = 2\n"
                         "applied\n"
                         "BorderWidth = 20\n"
                         "page 9 Misc.\n"
                         "page 6 Hotspot\n"
                         "open Select Hotspot File: " +
                         hotspots +
                         "\n"
                         "216 text \"" +
                         hotspots +
                         "\"\n"
                         "217 button \"...\"\n"
                         "message QuixShape Hotspot File Load Error: Could not process the hotspot "
                         "file\n"
                         "closed\n"
                         "MousePointer = 99\n"
                         "failed: no property frame\n"
                         "unregistered " +
                         kLibrary + "\n");
}

TEST_F(TestContainer, NeedsTheWindowSystemForThePropertyFrame) {
    ASSERT_EQ(Container({"register " + kLibrary}).status, 0);
    Result r = Container({"create " + kProgId, "frame open", "frame fields"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "created Control1 {43D45806-ED84-11D0-901E-0020AF7543C2}\n"
              "failed: the property frame needs --gui\n"
              "failed: no property frame\n");
}

TEST_F(TestContainer, DrivesTheHotspotsDrawingAndPrintingFromAScript) {
    // A hotspot file of two rectangles, and the bytes of one as an array.
    short count = 0;
    HGLOBAL block = nullptr;
    IQuixAddHotspot(0, 0, 10, 10, 1, "one", &count, &block);
    IQuixAddHotspot(5, 5, 20, 20, 2, "two", &count, &block);
    std::string two = dir / "two.hsp";
    ASSERT_EQ(SaveHotspotFile(two.c_str(), count, block), QUIX_OK);
    std::string bytes = ReadFile(two);
    GlobalFree(block);
    std::string hex;
    for (unsigned char c : bytes.substr(0, 8 + 6 + 3 + 2 + 32)) {  // the header, the first hotspot
        hex += "0123456789ABCDEF"[c >> 4];
        hex += "0123456789ABCDEF"[c & 15];
    }
    hex[13] = '1';  // a count of one
    std::string pdf = dir / "shape.pdf";
    std::string png = dir / "shape.png";
    Result r = Container({"--gui",
                          "register " + kLibrary,
                          "form 160 100",
                          "create " + kProgId + " Shape1",
                          "place 20 10 100 70",
                          "wait",
                          "mode run",
                          "set HFileName \"" + two + "\"",
                          "get HTotal",
                          "call AddHotspot 30 30 40 40 3 \"three\"",
                          "get HTotal",
                          "call HResource bytes:" + hex,
                          "get QuixError",
                          "get HTotal",
                          "call HResource bytes:00",
                          "get QuixError",
                          "get HTotal",
                          "call DrawLine 0 0 5 5",
                          "get QuixError",
                          "call Compose",
                          "call DrawCircle 50 35 20 &HFF",
                          "get QuixError",
                          "call GetPixelColor 50 15",
                          "call SaveControl \"" + png + "\"",
                          "get QuixError",
                          "print " + pdf,
                          "get QuixError"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    std::string out;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("painted ", 0) != 0) out += line + "\n";
    }
    EXPECT_EQ(out, "registered " + kLibrary +
                       "\n"
                       "form 160x100\n"
                       "created Shape1 {43D45806-ED84-11D0-901E-0020AF7543C2}\n"
                       "HTotal = 2\n"
                       "HTotal = 3\n"
                       "QuixError = 0\n"
                       "HTotal = 1\n"
                       "QuixError = -101\n"
                       "HTotal = 1\n"
                       "QuixError = -300\n"
                       "QuixError = 0\n"
                       "GetPixelColor returned 255\n"
                       "QuixError = 0\n"
                       "printed " +
                       pdf +
                       "\n"
                       "QuixError = 0\n");
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(100, 70));
    // The control's 100 x 70 pixels at 96 an inch are 156 x 109 dots at the printer's 150.
    auto facts = testing_support::PdfFactsOf(ReadFile(pdf));
    EXPECT_EQ(facts.pages.size(), 1u);
    EXPECT_EQ(facts.images, (std::vector<std::pair<int, int>>{{156, 109}}));
}

TEST_F(TestContainer, ShowsAControlOnItsFormAndWritesWhatTheFormShows) {
    ASSERT_EQ(Container({"register " + kLibrary}).status, 0);
    std::string picture = dir / "form.png";
    Result r = Container({"--gui", "form 160 100 &H00808000&", "create " + kProgId + " Shape1",
                          "notices on", "set Shape 3", "set BackStyle 0", "set FillStyle 6",
                          "set FillColor &H00FF0000&", "set BorderWidth 3", "set Caption \"\"",
                          "place 20 10 120 80", "wait", "mode run", "set BorderColor &H000000FF&",
                          "wait", "picture " + picture});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    // At design time each set is reported to the container and redraws; at run time neither is
    // reported, and the change repaints the control once.
    std::string out = r.out;
    out = out.substr(0, out.find("wrote "));
    EXPECT_EQ(out,
              "form 160x100\n"
              "created Shape1 {43D45806-ED84-11D0-901E-0020AF7543C2}\n"
              "notice Shape1 36\n"
              "notice Shape1 12\n"
              "notice Shape1 35\n"
              "notice Shape1 11\n"
              "notice Shape1 29\n"
              "notice Shape1 -518\n"
              "painted Shape1 1\n"
              "painted Shape1 1\n");
    QImage shown(QString::fromStdString(picture));
    ASSERT_FALSE(shown.isNull());
    EXPECT_TRUE(testing_support::MatchesReference(shown, "hosts/see-through-circle"));
}

TEST_F(TestContainer, PutsABackdropHostOnItsFormThatShowsTheControlsPlacedOnIt) {
    ASSERT_EQ(Container({"register " + kLibrary}).status, 0);
    std::string picture = dir / "backdrop.png";
    Result r = Container({"--gui", "form 160 100", "backdrop 0 0 160 100 &HFF0000 &HFF0000",
                          "create " + kProgId + " Shape1", "mode run", "set BackStyle 1",
                          "set BackColor &H0000FFFF&", "set Caption \"\"", "place 10 10 40 30",
                          "wait", "place 100 50 40 30", "wait", "picture " + picture});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("backdrop 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("backdrop 1 1 clients\n"), std::string::npos) << r.out;
    QImage shown(QString::fromStdString(picture));
    ASSERT_FALSE(shown.isNull());
    // The control moved on the host: yellow at its new place, the host's blue where it was.
    EXPECT_EQ(shown.pixel(120, 65) & 0xFFFFFF, 0xFFFF00u);
    EXPECT_EQ(shown.pixel(30, 25) & 0xFFFFFF, 0x0000FFu);
    // A picture backdrop shows the picture at its top left corner; one that cannot be read is
    // refused.
    std::string red = dir / "red.png";
    QImage square(20, 10, QImage::Format_RGB32);
    square.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(square.save(QString::fromStdString(red)));
    std::string withPicture = dir / "picture.png";
    r = Container(
        {"--gui", "form 60 40", "backdrop 0 0 60 40 picture:" + red, "picture " + withPicture});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    QImage shownPicture(QString::fromStdString(withPicture));
    ASSERT_FALSE(shownPicture.isNull());
    EXPECT_EQ(shownPicture.pixel(5, 5) & 0xFFFFFF, 0xFF0000u);
    EXPECT_NE(shownPicture.pixel(30, 30) & 0xFFFFFF, 0xFF0000u);
    EXPECT_NE(Container({"--gui", "form 10 10", "backdrop 0 0 10 10 picture:/nonexistent.png"})
                  .out.find("failed: cannot read"),
              std::string::npos);
    const std::string pipe = dir / "pipe.png";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_NE(Container({"--gui", "form 10 10", "backdrop 0 0 10 10 picture:" + pipe})
                  .out.find("failed: cannot read"),
              std::string::npos)
        << "a pipe is refused, not waited on";
}

TEST_F(TestContainer, LoadsSavedControlsWithoutInitNew) {
    ASSERT_EQ(Container({"register " + kLibrary}).status, 0);
    std::string saved = dir / "shape.txt";
    ASSERT_EQ(Container({"create " + kProgId + " Shape1", "set Shape 7", "save " + saved}).status,
              0);
    Result r = Container({"load " + saved, "get Shape", "get Caption"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Shape = 7"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Caption = \"Shape1\""), std::string::npos) << r.out;
}
