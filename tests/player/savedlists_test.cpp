// Saved playlists: the playlist window's Save and Load, the list files and the saved-lists panel.
#include <filesystem>

#include "platform/files/files.h"

#include "tests/player/PlayerFixture.h"

namespace fs = std::filesystem;

namespace {

class SavedLists : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        Start();
    }

    void Save(const std::string& name) {
        script.AnswerInputBox(name);
        Form2->Command5_Click();
    }

    // A double-click on the panel's entry of that file.
    static void Load(const std::string& file) {
        auto& panel = Form2->list3;
        for (long i = 0; i < panel.ListCount(); ++i) {
            if (panel.List(i) == file) panel.SetListIndex(i);
        }
        ASSERT_EQ(panel.FileName(), file);
        Form2->list3_DblClick();
    }

    static std::vector<std::string> Column(const vb::ListBox& list) {
        std::vector<std::string> items;
        for (long i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i));
        return items;
    }

    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(program.path()))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The message boxes shown since the last call.
    std::vector<vb::DialogRecord> Boxes() {
        std::vector<vb::DialogRecord> boxes;
        for (size_t i = seen_; i < script.Log().size(); ++i) {
            if (script.Log()[i].kind == "MsgBox") boxes.push_back(script.Log()[i]);
        }
        seen_ = script.Log().size();
        return boxes;
    }

private:
    size_t seen_ = 0;
};

}  // namespace

TEST_F(SavedLists, AListHoldsThePathsOnlyAndLoadsBackAppendedWithTitlesFromThePaths) {
    const std::vector<std::string> paths = {"/m/a, b.mp3", "  /m/lead.mp3", "/m/my.song.mp3",
                                            "/My.Music/x.mp3"};
    for (const auto& p : paths) Append(platform::files::NameOf(p), p);
    Save("mix");
    EXPECT_EQ(testing_support::ReadFile(program / "mix.kesto"),
              "/m/a, b.mp3\r\n  /m/lead.mp3\r\n/m/my.song.mp3\r\n/My.Music/x.mp3\r\n");
    ASSERT_FALSE(script.Log().empty());
    const vb::DialogRecord& prompt = script.Log().back();
    EXPECT_EQ(prompt.kind, "InputBox");
    EXPECT_EQ(prompt.prompt, "Name of the list?");
    EXPECT_EQ(prompt.title, "ListName for Kesto Player");
    EXPECT_EQ(Column(Form2->List2), paths);  // saving changes nothing

    Form2->Command6_Click();
    Append("kept", "/m/kept.mp3");
    Form2->Command4_Click();
    Load("mix.kesto");
    Load("mix.kesto");  // twice: appended twice
    std::vector<std::string> expected = {"/m/kept.mp3"};
    for (int i = 0; i < 2; ++i) expected.insert(expected.end(), paths.begin(), paths.end());
    EXPECT_EQ(Column(Form2->List2), expected);
    EXPECT_EQ(Column(Form2->List1),
              (std::vector<std::string>{"kept", "a, b", "lead", "my", "/My.Music/x.mp3", "a, b",
                                        "lead", "my", "/My.Music/x.mp3"}));
    EXPECT_FALSE(Form2->list3.Visible());
    EXPECT_EQ(Form2->List1.ListIndex(), -1);  // nothing selected, nothing played
    EXPECT_EQ(Player().FileName(), "");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SavedLists, EveryLineIsOnePathWithOrWithoutItsEnding) {
    struct Case {
        std::string bytes;
        std::vector<std::string> paths;
    } cases[] = {
        {"", {}},
        {"/a.mp3", {"/a.mp3"}},
        {"/a.mp3\r\n/b.mp3", {"/a.mp3", "/b.mp3"}},
        {"/a.mp3\r\n\r\n/b.mp3\r\n", {"/a.mp3", "", "/b.mp3"}},
        {"/a\n/b\r/c\r\n", {"/a", "/b", "/c"}},
        {"/a\r\r\n/b\n\r", {"/a", "", "/b", ""}},
        {std::string("/a\0b\r\n", 6), {std::string("/a\0b", 4)}},
    };
    for (const auto& c : cases) EXPECT_EQ(forms::PlaylistPaths(c.bytes), c.paths) << c.bytes;
    EXPECT_EQ(forms::PlaylistPaths("1\n2\n3\n4", 2), (std::vector<std::string>{"1", "2"}));

    // A list written elsewhere, whose last line has no ending, loads every line.
    testing_support::WriteFile(program / "hand.kesto", "/x/one.mp3\r\n/x/two.wav");
    Form2->list3.Refresh();
    Form2->Command6_Click();
    Load("hand.kesto");
    EXPECT_EQ(Column(Form2->List2), (std::vector<std::string>{"/x/one.mp3", "/x/two.wav"}));
}

TEST_F(SavedLists, AnEmptyPlaylistSavesAnEmptyFileThatLoadsAsNothing) {
    Save("empty");
    EXPECT_EQ(testing_support::ReadFile(program / "empty.kesto"), "");
    Load("empty.kesto");
    EXPECT_EQ(Form2->List1.ListCount(), 0);
    EXPECT_EQ(Form2->List2.ListCount(), 0);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SavedLists, CancelOrAnEmptyNameSavesDotKestoAndASaveOverwritesWithoutAsking) {
    Append("a", "/m/a.mp3");
    Form2->Command5_Click();  // the prompt is cancelled
    EXPECT_EQ(testing_support::ReadFile(program / ".kesto"), "/m/a.mp3\r\n");
    EXPECT_EQ(Form2->list3.List(0), ".kesto");  // listed at once
    Append("b", "/m/b.mp3");
    Save("");
    EXPECT_EQ(testing_support::ReadFile(program / ".kesto"), "/m/a.mp3\r\n/m/b.mp3\r\n");
    EXPECT_TRUE(Boxes().empty());
    for (const auto& f : Files()) EXPECT_EQ(f.find(".tmp"), std::string::npos) << f;
}

TEST_F(SavedLists, ANameThatCannotNameAFileOfTheProgramFolderIsRefusedAndNothingIsWritten) {
    Append("a", "/m/a.mp3");
    fs::create_directories(fs::path(program / "sub"));
    const std::string names[] = {
        "sub/inner",          "../outside", "..", "x\\y", "a..b", std::string("nul\0name", 8),
        std::string(250, 'n')};
    const std::vector<std::string> before = Files();
    for (const auto& name : names) {
        Save(name);
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << name;
        EXPECT_EQ(boxes[0].title, "ListName for Kesto Player");
        EXPECT_NE(boxes[0].prompt.find("cannot name a list"), std::string::npos);
        EXPECT_EQ(boxes[0].buttons & 7, vb::vbOKOnly);
    }
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(fs::is_empty(fs::path(program / "sub")));
    EXPECT_FALSE(fs::exists(fs::path(program.path()).parent_path() / "outside.kesto"));
    // The longest name that fits is taken.
    Save(std::string(249, 'n'));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(fs::exists(program / (std::string(249, 'n') + ".kesto")));
}

TEST_F(SavedLists, ASaveThatCannotBeWrittenSaysSoAndLeavesWhatWasThere) {
    fs::create_directories(fs::path(program / "busy.kesto") / "inside");
    Append("a", "/m/a.mp3");
    const std::vector<std::string> before = Files();
    Save("busy");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Error");
    EXPECT_TRUE(fs::is_directory(fs::path(program / "busy.kesto") / "inside"));
    EXPECT_EQ(Files(), before);
}

TEST_F(SavedLists, LoadShowsThePanelOnlyWhenAListIsSaved) {
    Form2->Command4_Click();
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "Sorry, There is no playlist saved by you. Save it first");
    EXPECT_EQ(boxes[0].title, "Help...!");
    EXPECT_EQ(boxes[0].buttons, vb::vbOKOnly);
    EXPECT_FALSE(Form2->list3.Visible());

    Save("b list");
    Save("A list");
    Form2->Command4_Click();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(Form2->list3.Visible());
    EXPECT_FLOAT_EQ(Form2->list3.Top(), 495);
    EXPECT_FLOAT_EQ(Form2->list3.Left(), 135);
    EXPECT_EQ(Form2->list3.List(0), "A list.kesto");  // by name, without regard to case
    EXPECT_EQ(Form2->list3.List(1), "b list.kesto");
    Form2->Image1_Click();  // a click on the background closes it
    EXPECT_FALSE(Form2->list3.Visible());
}

TEST_F(SavedLists, AListThatCannotBeReadSaysFileNotFoundAndKeepsThePanel) {
    testing_support::TempDir elsewhere;
    testing_support::WriteFile(elsewhere / "secret", "/etc/shadow\r\n");
    Save("gone");
    fs::create_symlink(elsewhere / "secret", program / "link.kesto");
    Form2->list3.Refresh();
    Form2->Command4_Click();
    fs::remove(program / "gone.kesto");
    Append("a", "/m/a.mp3");
    for (const char* file : {"gone.kesto", "link.kesto"}) {
        Load(file);
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << file;
        EXPECT_EQ(boxes[0].prompt, "File Not Found");
        EXPECT_EQ(boxes[0].title, "Error");
        EXPECT_EQ(boxes[0].buttons, vb::vbOKOnly);
        EXPECT_TRUE(Form2->list3.Visible());
        EXPECT_EQ(Column(Form2->List2), std::vector<std::string>{"/m/a.mp3"});
    }
}

TEST_F(SavedLists, AListLongerThanThePlaylistFillsItAndSaysItCouldNotLoadTheRest) {
    std::string bytes;
    for (int i = 0; i < 32768; ++i) bytes += "/m/" + std::to_string(i) + ".mp3\r\n";
    testing_support::WriteFile(program / "long.kesto", bytes);
    Form2->list3.Refresh();
    Form2->Command4_Click();
    Load("long.kesto");
    EXPECT_EQ(Form2->List2.ListCount(), 32767);
    EXPECT_EQ(Form2->List1.ListCount(), 32767);
    EXPECT_EQ(Form2->List2.List(32766), "/m/32766.mp3");
    EXPECT_EQ(Form2->List1.List(32766), "32766");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(Form2->list3.Visible());
}
