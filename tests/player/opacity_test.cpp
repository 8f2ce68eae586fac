#include <QTest>
#include <filesystem>

#include "platform/registry/registry.h"
#include "player/FrmSetting.h"
#include "tests/player/PlayerFixture.h"

namespace {

class Opacity : public PlayerTest {
protected:
    // Starts the player with this stored opacity text (nothing stored for nullopt).
    void StartWith(const std::optional<std::string>& stored) {
        std::filesystem::remove(settings / "registry.reg");
        if (stored) SaveSetting(vb::App::EXEName(), "Opacity", "p", *stored);
        Start();
    }
    static std::string Stored() { return GetSetting(vb::App::EXEName(), "Opacity", "p", "none"); }
    static long MainLevel() { return frmMain1->Fader1.Level(); }
    // The user presses the slider `part` of its width from its left edge (below 0: left of it)
    // and lets go there.
    static void Slide(double part) {
        QWidget* w = FrmSetting->ProgressG11.widget();
        QPoint at(static_cast<int>(part * w->width()), w->height() / 2);
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
        QTest::mouseMove(w, at);
        QTest::mouseRelease(w, Qt::LeftButton, {}, at);
    }
    static void Open() {
        FrmSetting->Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FrmSetting->window()));
    }
};

}  // namespace

TEST_F(Opacity, TheWindowShowsTheStoredWholePercentAndCountsAnythingElseAsNone) {
    struct Case {
        std::optional<std::string> stored;
        long value;
    } cases[] = {{std::nullopt, 100}, {"60", 60},     {"25", 25},     {"100", 100},
                 {"", 100},           {"24", 100},    {"101", 100},   {"60.5", 100},
                 {"-60", 100},        {"sixty", 100}, {"1e9999", 100}};
    for (const Case& c : cases) {
        StartWith(c.stored);
        Open();
        const std::string what = c.stored.value_or("(none)");
        EXPECT_EQ(FrmSetting->ProgressG11.Value(), c.value) << what;
        EXPECT_EQ(FrmSetting->Per.Caption(), std::to_string(c.value) + " %") << what;
        EXPECT_EQ(MainLevel(), c.value) << what;
        // Opening it stores nothing.
        EXPECT_EQ(Stored(), c.stored.value_or("none")) << what;
        UnloadAll();
    }
}

TEST_F(Opacity, MovingTheSliderPreviewsAndCancelPutsBackTheOpacityReadAtStart) {
    for (const std::optional<std::string>& start :
         {std::optional<std::string>("60"), std::optional<std::string>()}) {
        StartWith(start);
        const long atStart = start ? 60 : 100;
        Open();
        Slide(0.2);  // 25 + 0.2 × 75
        EXPECT_EQ(FrmSetting->ProgressG11.Value(), 40);
        EXPECT_EQ(FrmSetting->Per.Caption(), "40 %");
        EXPECT_EQ(MainLevel(), 40);
        EXPECT_NEAR(frmMain1->Fader1.Opacity(), 40, 0.5);
        QTest::mouseClick(FrmSetting->cmdCancel.widget(), Qt::LeftButton);
        EXPECT_FALSE(FrmSetting.IsLoaded());
        EXPECT_EQ(MainLevel(), atStart);
        EXPECT_EQ(Stored(), start.value_or("none"));
        UnloadAll();
    }
}

TEST_F(Opacity, OKStoresTheValueAndALaterCancelStillReturnsToTheStart) {
    StartWith("60");
    Open();
    Slide(0.2);
    QTest::mouseClick(FrmSetting->cmdOK.widget(), Qt::LeftButton);
    EXPECT_FALSE(FrmSetting.IsLoaded());
    EXPECT_EQ(Stored(), "40");
    EXPECT_EQ(MainLevel(), 40);
    EXPECT_EQ(vb::CStr(frmMain1->SavedOpacity), "60");
    // Opened again, it shows the stored 40; its Cancel returns to what was read at start.
    Open();
    EXPECT_EQ(FrmSetting->ProgressG11.Value(), 40);
    FrmSetting->cmdCancel_Click();
    EXPECT_EQ(MainLevel(), 60);
    EXPECT_EQ(Stored(), "40");
}

TEST_F(Opacity, TheSliderGoesFrom25To100) {
    StartWith(std::nullopt);
    Open();
    Slide(-0.5);
    EXPECT_EQ(FrmSetting->ProgressG11.Value(), 25);
    EXPECT_EQ(MainLevel(), 25);
    Slide(1.5);
    EXPECT_EQ(FrmSetting->ProgressG11.Value(), 100);
    Slide(0);
    EXPECT_EQ(FrmSetting->Per.Caption(), "25 %");
    FrmSetting->cmdOK_Click();
    EXPECT_EQ(Stored(), "25");
}

TEST_F(Opacity, ClosingTheWindowOtherwiseKeepsThePreviewAndStoresNothing) {
    StartWith("80");
    Open();
    EXPECT_EQ(FrmSetting->Caption(), "Setting");
    EXPECT_FALSE(FrmSetting->window()->windowFlags() & Qt::WindowStaysOnTopHint);
    Slide(0.2);
    FrmSetting->window()->close();
    EXPECT_FALSE(FrmSetting.IsLoaded());
    EXPECT_EQ(MainLevel(), 40);  // the last preview stays
    EXPECT_EQ(Stored(), "80");
}
