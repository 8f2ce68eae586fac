// The file-type association: the registry entries of each type, their order and the shell's
// notices, on the first run and on the associate button.
#include "platform/registry/registry.h"
#include "platform/win/shell.h"
#include "player/Module2.h"
#include "tests/player/PlayerFixture.h"

namespace {

struct Entry {
    std::string key, value, data;
};

// The types the command registers, in the order it registers them.
const std::pair<const char*, const char*> kTypes[] = {
    {".mp3", "Kesto Player MP3 file"},   {".wav", "Kesto Player Wav file"},
    {".wma", "Kesto Player WMA file"},   {".mid", "Kesto Player Mid file"},
    {".midi", "Kesto Player MIDI file"}, {".dat", "Kesto Player DAT file"},
    {".avi", "Kesto Player AVI file"},
};

std::optional<std::string> Read(const Entry& e) {
    return platform::registry::ReadString(HKEY_CLASSES_ROOT, e.key, e.value);
}

class Association : public PlayerTest {
protected:
    enum class State { None, Partial, Whole };
    std::string exe = vb::App::EXEName();
    // The state of every type at each notice.
    std::vector<std::vector<State>> atNotice;

    void SetUp() override {
        PlayerTest::SetUp();
        platform::win::ClearShellNotices();
        platform::win::SetShellNoticeListener([this](const platform::win::ShellNotice&) {
            std::vector<State> states;
            for (const auto& [ext, description] : kTypes) {
                bool whole = true, any = false;
                for (const Entry& e : Entries(ext, description)) {
                    whole = whole && Read(e) == e.data;
                    // The fixed key is shared by all types.
                    if (e.key != ".lst\\ShellNew") any = any || Read(e).has_value();
                }
                states.push_back(whole ? State::Whole : any ? State::Partial : State::None);
            }
            atNotice.push_back(states);
        });
    }
    void TearDown() override {
        platform::win::SetShellNoticeListener(nullptr);
        PlayerTest::TearDown();
    }

    // The six entries of one type, in the order they are written.
    std::vector<Entry> Entries(const std::string& ext, const std::string& description) const {
        const std::string folder = program.path();
        return {
            {ext, "", exe + ext},
            {ext + "\\ShellNew", "", ""},
            {".lst\\ShellNew", "NullFile", ""},
            {exe + ext, "", description},
            {exe + ext + "\\Shell\\Open\\command", "", folder + "/" + exe + " %1"},
            {exe + ext + "\\DefaultIcon", "", folder + "/" + exe + ",0"},
        };
    }

    void ExpectEveryType() const {
        for (const auto& [ext, description] : kTypes) {
            for (const Entry& e : Entries(ext, description)) {
                EXPECT_EQ(Read(e), e.data) << e.key << " " << e.value;
            }
        }
        // The table's playlist type is registered by no entry of the type list.
        EXPECT_FALSE(Read({".kwo", "", ""}));
        EXPECT_FALSE(Read({exe + ".kwo", "", ""}));
    }

    static void ExpectNotices(size_t count) {
        const auto& notices = platform::win::ShellNotices();
        ASSERT_EQ(notices.size(), count);
        for (const auto& n : notices) {
            EXPECT_EQ(n.event, 0x08000000);
            EXPECT_EQ(n.flags, 0u);
            EXPECT_EQ(n.item1, nullptr);
            EXPECT_EQ(n.item2, nullptr);
        }
    }
};

}  // namespace

TEST_F(Association, TheFirstRunRegistersEveryTypeEachFollowedByItsNotice) {
    Start();
    EXPECT_EQ(frmMain1->RunCounted.Text(), "1");
    ExpectEveryType();
    ExpectNotices(7);
    // Each notice comes when its type is written whole and before the next type is begun.
    ASSERT_EQ(atNotice.size(), 7u);
    for (size_t k = 0; k < 7; ++k) {
        for (size_t i = 0; i < 7; ++i) {
            EXPECT_EQ(atNotice[k][i], i <= k ? State::Whole : State::None) << k << " " << i;
        }
    }
    for (long i = 0; i < frmMain1->lstTypes.ListCount(); ++i) {
        EXPECT_TRUE(frmMain1->lstTypes.Selected(i)) << i;
    }
    // The data's length is its characters, with no terminating zero.
    HKEY key;
    ASSERT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, ".mp3", &key), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, exe.size() + 4);
    RegCloseKey(key);
}

TEST_F(Association, ALaterStartRegistersNothingAndTheButtonWritesEverythingAgain) {
    Start();
    UnloadAll();
    platform::win::ClearShellNotices();
    Start();
    EXPECT_EQ(frmMain1->RunCounted.Text(), "2");
    ExpectNotices(0);

    // Entries changed by someone else are written over; nothing is removed.
    platform::registry::WriteString(HKEY_CLASSES_ROOT, ".mp3", "", "Other.mp3");
    platform::registry::WriteString(HKEY_CLASSES_ROOT, exe + ".wav\\DefaultIcon", "", "x");
    platform::registry::WriteString(HKEY_CLASSES_ROOT, ".mp3", "Content Type", "audio/mpeg");
    frmMain1->lstTypes.SetSelected(2, false);
    atNotice.clear();
    frmMain1->QuixLabel5_Click();
    ExpectEveryType();
    ExpectNotices(7);
    EXPECT_EQ(atNotice.size(), 7u);
    EXPECT_EQ(Read({".mp3", "Content Type", ""}), "audio/mpeg");
}

TEST_F(Association, TheOpenCommandAddsASeparatorOnlyWhereTheFolderHasNone) {
    struct Case {
        const char* folder;
        const char* command;
        const char* icon;
    } cases[] = {
        {"/", "/Kesto %1", "//Kesto,0"},
        {"/opt/My Player", "/opt/My Player/Kesto %1", "/opt/My Player/Kesto,0"},
    };
    for (const auto& c : cases) {
        CreateAssociation(".mp3", "Kesto Player MP3 file", c.folder, "Kesto");
        EXPECT_EQ(Read({"Kesto.mp3\\Shell\\Open\\command", "", ""}), c.command) << c.folder;
        EXPECT_EQ(Read({"Kesto.mp3\\DefaultIcon", "", ""}), c.icon) << c.folder;
    }
    ExpectNotices(2);
}

TEST_F(Association, TheTableHasEightRowsAndOnlyThoseRegister) {
    EXPECT_STREQ(AssociationTable(7)->ext, ".kwo");
    EXPECT_STREQ(AssociationTable(7)->description, "Kesto Player PlayList");
    EXPECT_STREQ(AssociationTable(8)->ext, ".avi");
    EXPECT_EQ(AssociationTable(0), nullptr);
    EXPECT_EQ(AssociationTable(9), nullptr);
    EXPECT_EQ(AssociationRowOf("AVI"), 8);
    EXPECT_EQ(AssociationRowOf("kwo"), 7);
    EXPECT_EQ(AssociationRowOf("ogg"), 0);
    RegisterFileType(0, "/p", "Kesto");
    RegisterFileType(9, "/p", "Kesto");
    ExpectNotices(0);
    RegisterFileType(7, "/p", "Kesto");
    EXPECT_EQ(Read({".kwo", "", ""}), "Kesto.kwo");
    EXPECT_EQ(Read({"Kesto.kwo", "", ""}), "Kesto Player PlayList");
    ExpectNotices(1);
}
