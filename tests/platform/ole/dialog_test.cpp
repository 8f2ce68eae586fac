#include "platform/ole/dialog.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "tests/support/test_support.h"

namespace {

const DialogTemplate kAbout{"About Test",
                            200,
                            60,
                            {{DialogItem::Icon, 100, "", 10, 10, 20, 20},
                             {DialogItem::Static, 101, "Test control, version 5.0", 40, 10, 150, 8},
                             {DialogItem::DefaultButton, IDOK, "OK", 140, 40, 50, 14}}};

}  // namespace

TEST(Dialogs, RunModallyUntilAButtonIsPressed) {
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "About Test");
        auto* ok = dialog->findChild<QPushButton*>("1");
        ASSERT_NE(ok, nullptr);
        ok->click();
    });
    CDialog about(kAbout);
    EXPECT_EQ(about.DoModal(), IDOK);
}

TEST(Dialogs, AreOnlyLoggedInHeadlessRuns) {
    testing_support::ScopedEnv mode("KESTO_DIALOGS", "log");
    testing::internal::CaptureStderr();
    CDialog about(kAbout);
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(AfxMessageBox(nullptr, "Could not go", "Title", MB_OK | MB_ICONEXCLAMATION), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Dialog: About Test: Test control, version 5.0\n"
              "MessageBox 0x30: Title: Could not go\n");

    std::string seen;
    platform::ole::SetMessageBoxPresenter(
        [&](HWND, const std::string& text, const std::string& caption, UINT type) {
            seen = caption + "|" + text + "|" + std::to_string(type);
            return IDCANCEL;
        });
    EXPECT_EQ(AfxMessageBox(nullptr, "text", "caption", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(seen, "caption|text|1");
    platform::ole::SetMessageBoxPresenter({});
}
