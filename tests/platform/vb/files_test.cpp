#include <gtest/gtest.h>

#include <filesystem>

#include "platform/vb/Error.h"
#include "platform/vb/FileSystem.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"
#include "platform/vb/Picture.h"
#include "tests/support/media_files.h"
#include "tests/support/run_time_errors.h"
#include "tests/support/test_support.h"

using testing_support::ErrorOf;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

class FileForm : public vb::Form {
public:
    vb::FileListBox File1{this, "File1"};
    FileForm() : vb::Form("FileForm", "") {}
};

std::vector<std::string> Listed(const vb::FileListBox& l) {
    std::vector<std::string> v;
    for (long i = 0; i < l.ListCount(); ++i) v.push_back(l.List(i));
    return v;
}

}  // namespace

TEST(FileListBox, ListsMatchingFilesWithoutRegardToCaseInNameOrder) {
    TempDir dir;
    for (const char* n : {"b.MP3", "a.mp3", "c.Wav", "d.txt", "e.mpeg", ".kesto"}) {
        WriteFile(dir / n, "x");
    }
    std::filesystem::create_directory(dir / "sub.mp3");  // folders are not files
    FileForm f;
    f.File1.SetPattern("*.MP3;*.Wav;*.Mpeg");
    f.File1.SetPath(dir.path());
    EXPECT_EQ(Listed(f.File1), (std::vector<std::string>{"a.mp3", "b.MP3", "c.Wav", "e.mpeg"}));
    f.File1.SetPattern("*.kesto");
    EXPECT_EQ(Listed(f.File1), std::vector<std::string>{".kesto"});
    EXPECT_EQ(f.File1.FileName(), "");
    f.File1.SetListIndex(0);
    EXPECT_EQ(f.File1.FileName(), ".kesto");
    // A new file shows after Refresh.
    WriteFile(dir / "new.kesto", "");
    EXPECT_EQ(f.File1.ListCount(), 1);
    f.File1.Refresh();
    EXPECT_EQ(f.File1.ListCount(), 2);
}

TEST(FileListBox, AMissingFolderIsPathNotFound) {
    TempDir dir;
    FileForm f;
    EXPECT_EQ(ErrorOf([&] { f.File1.SetPath(dir / "missing"); }), vb::vbErrPathNotFound);
    WriteFile(dir / "Skins/a.Jpg", "");
    f.File1.SetPath(dir / "skins/");  // found without regard to case
    EXPECT_EQ(f.File1.ListCount(), 1);
}

TEST(MatchesPattern, FollowsTheWildcards) {
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    } cases[] = {
        {"a.ini", "*.ini", true},        {"a.INI", "*.ini", true}, {"a.ini.bak", "*.ini", false},
        {"a.b.ini", "*.ini", true},      {"noext", "*.*", true},   {"x.dat", "*.dat; *.avi", true},
        {"x.avi", "*.dat; *.avi", true}, {"ab", "a?", true},       {"abc", "a?", false}};
    for (const auto& c : cases) EXPECT_EQ(vb::MatchesPattern(c.name, c.pattern), c.match) << c.name;
}

TEST(Name, RenamesWithoutEverReplacing) {
    TempDir dir;
    WriteFile(dir / "Blue.Jpg", "blue");
    vb::Name(dir / "blue.jpg", dir / "Blue.JKwo");
    EXPECT_EQ(ReadFile(dir / "Blue.JKwo"), "blue");
    EXPECT_FALSE(std::filesystem::exists(dir / "Blue.Jpg"));

    WriteFile(dir / "Red.Jpg", "red");
    WriteFile(dir / "red.jkwo", "old");
    EXPECT_EQ(ErrorOf([&] { vb::Name(dir / "Red.Jpg", dir / "Red.JKwo"); }),
              vb::vbErrFileAlreadyExists);
    EXPECT_EQ(ReadFile(dir / "red.jkwo"), "old");
    EXPECT_EQ(ReadFile(dir / "Red.Jpg"), "red");
    EXPECT_EQ(ErrorOf([&] { vb::Name(dir / "None.Jpg", dir / "None.JKwo"); }),
              vb::vbErrFileNotFound);
}

TEST(LoadPicture, ReadsPicturesAndCursorsAndRefusesTheRest) {
    TempDir dir;
    WriteFile(dir / "curmain.cur", testing_support::CursorFile());
    vb::Picture cur = vb::LoadPicture(dir / "CurMain.cur");
    ASSERT_EQ(cur.kind(), vb::Picture::Kind::Cursor);
    EXPECT_EQ(cur.Hotspot(), QPoint(1, 0));
    EXPECT_EQ(cur.Image().pixel(0, 0), qRgba(0, 0, 255, 255));
    EXPECT_EQ(qAlpha(cur.Image().pixel(1, 0)), 0);
    EXPECT_EQ(cur.Image().pixel(1, 1), qRgba(0, 255, 0, 255));

    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(Qt::yellow);
    for (const char* ext : {"bmp", "jpg", "png"}) {
        std::string path = dir / (std::string("skin.") + ext);
        ASSERT_TRUE(img.save(QString::fromStdString(path)));
        vb::Picture p = vb::LoadPicture(path);
        EXPECT_EQ(p.Width(), 3) << ext;
        EXPECT_EQ(p.Height(), 2) << ext;
    }
    // One yellow pixel, as a GIF.
    static const char kGif[] =
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\x00\x00\x00\x00"
        ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
    WriteFile(dir / "Author.gif", std::string(kGif, sizeof kGif - 1));
    vb::Picture gif = vb::LoadPicture(dir / "author.GIF");
    ASSERT_EQ(gif.Width(), 1);
    EXPECT_EQ(gif.Image().pixel(0, 0), qRgb(255, 255, 0));
    // A hidden picture keeps its content under another extension.
    std::filesystem::copy(dir / "skin.bmp", dir / "skin.BKwo");
    EXPECT_EQ(vb::LoadPicture(dir / "skin.BKwo").Width(), 3);

    WriteFile(dir / "notes.jpg", "not a picture");
    EXPECT_EQ(ErrorOf([&] { vb::LoadPicture(dir / "notes.jpg"); }), vb::vbErrInvalidPicture);
    // A header that claims more than the file holds is refused before anything is allocated.
    WriteFile(dir / "huge.bmp", testing_support::OversizedBitmapFile());
    try {
        vb::LoadPicture(dir / "huge.bmp");
        ADD_FAILURE() << "an oversized picture was loaded";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::vbErrInvalidPicture);
        EXPECT_NE(std::string(e.what()).find("3277321 x 10"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ErrorOf([&] { vb::LoadPicture(dir / "missing.bmp"); }), vb::vbErrFileNotFound);
    EXPECT_TRUE(vb::LoadPicture("").IsNone());
}
