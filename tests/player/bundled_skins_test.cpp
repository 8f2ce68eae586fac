// Every skin that ships with the player applies completely, and puts every element on its face.
#include <filesystem>

#include "player/Skins.h"
#include "player/frmSkin.h"
#include "tests/player/SkinFixture.h"

namespace fs = std::filesystem;

class BundledSkins : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        fs::copy(testing_support::SourceDir() + "/data", program.path(),
                 fs::copy_options::recursive);
    }
    // The element's whole rectangle lies on the face.
    void ExpectOnFace(const std::string& skin) {
        QRegion face = frmMain1->window()->mask();
        ASSERT_FALSE(face.isEmpty()) << skin;
        for (const auto& [key, name] : PositionKeys()) {
            QRect r = Element(name).widget()->geometry();
            EXPECT_TRUE(QRegion(r).subtracted(face).isEmpty())
                << skin << ": " << name << " leaves the face";
        }
    }
};

TEST_F(BundledSkins, EveryChooserSkinAppliesCompletely) {
    Start();
    frmSkin->Show();
    ASSERT_GE(frmSkin->ListSkin.ListCount(), 3);
    for (long i = 0; i < frmSkin->ListSkin.ListCount(); ++i) {
        frmSkin->ListSkin.SetListIndex(i);
        std::string name = frmSkin->ListSkin.Text();
        ASSERT_NO_THROW(frmSkin->QuixLabel5_Click()) << name;
        ExpectOnFace(name);
    }
}

TEST_F(BundledSkins, EveryHiddenSkinAppliesCompletelyAndIsHiddenAgainAfterwards) {
    Start();
    // The load hid every picture of Skins.
    for (const auto& e : fs::directory_iterator(program / "Skins")) {
        std::string ext = e.path().extension().string();
        EXPECT_TRUE(ext != ".Jpg" && ext != ".Bmp") << e.path();
    }
    Skins->Show();
    ASSERT_GE(Skins->List1.ListCount(), 2);
    for (long i = 0; i < Skins->List1.ListCount(); ++i) {
        Skins->List1.SetListIndex(i);
        std::string name = Skins->List1.Text();
        ASSERT_NO_THROW(Skins->QuixLabel1_Click()) << name;
        ExpectOnFace(name);
    }
    frmMain1->RefreshAll();
    for (const auto& e : fs::directory_iterator(program / "Skins")) {
        std::string ext = e.path().extension().string();
        EXPECT_TRUE(ext != ".Jpg" && ext != ".Bmp") << e.path();
    }
}

TEST_F(BundledSkins, TheStartUpSkinIsTavro) {
    Start();
    EXPECT_EQ(frmMain1->txtLoad.Text(), "Tavro");
    ExpectOnFace("Tavro");
    EXPECT_EQ(frmMain1->PicMainSkin.Picture().Width(), 500);
}
