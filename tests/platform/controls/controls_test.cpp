#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/controls/CommonDialog.h"
#include "platform/controls/Fader.h"
#include "platform/controls/ProgressBar.h"
#include "platform/controls/QuixLabel.h"
#include "platform/vb/Dialogs.h"
#include "platform/vb/Error.h"
#include "platform/vb/Form.h"
#include "platform/vb/Timer.h"
#include "tests/support/run_time_errors.h"
#include "tests/support/test_support.h"

using controls::ColorFromText;

using testing_support::ErrorOf;

namespace {

class ControlsForm : public vb::Form {
public:
    controls::QuixLabel Label1{this, "Label1", "&Apply"};
    controls::ProgressG1 vol{this, "vol"};
    controls::Fader Fader1{this, "Fader1"};
    controls::CommonDialog CommonDialog1{this, "CommonDialog1"};
    ControlsForm() : vb::Form("ControlsForm", "") {}
};

void Press(QWidget* w, QEvent::Type type, double x, Qt::MouseButtons buttons) {
    Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(x, 2), w->mapToGlobal(QPointF(x, 2)), b, buttons, {});
    QCoreApplication::sendEvent(w, &e);
}

}  // namespace

TEST(QuixLabelColours, TakesTheRunTimesAndTheWebsForms) {
    struct Case {
        const char* text;
        COLORREF colour;
    } cases[] = {
        {"&H00FFFFFF&", RGB(255, 255, 255)},     {"&H000000FF&", RGB(255, 0, 0)},
        {"&H00FF0000&", RGB(0, 0, 255)},         {"&HFF00", RGB(0, 255, 0)},
        {"&h80ff&", RGB(255, 128, 0)},           {"255", RGB(255, 0, 0)},
        {"16777215", RGB(255, 255, 255)},        {"0", RGB(0, 0, 0)},
        {"  &H00C0C0C0&  ", RGB(192, 192, 192)}, {"#FF8000", RGB(255, 128, 0)},
    };
    for (const auto& c : cases) EXPECT_EQ(ColorFromText(c.text), c.colour) << c.text;
}

TEST(QuixLabelColours, RefusesEverythingElse) {
    for (const char* bad :
         {"", "red", "&H", "&H1000000&", "16777216", "-1", "#FFF", "12.5", "&HGG&"}) {
        EXPECT_EQ(ErrorOf([&] { ColorFromText(bad); }), vb::vbErrInvalidPropertyValue) << bad;
    }
    ControlsForm f;
    f.Label1.SetForeColor(RGB(1, 2, 3));
    EXPECT_EQ(ErrorOf([&] { f.Label1.SetForeColor(std::string("blue")); }),
              vb::vbErrInvalidPropertyValue);
    EXPECT_EQ(f.Label1.ForeColor(), RGB(1, 2, 3));  // a refused colour keeps the old one
}

TEST(QuixLabel, ShowsItsCaptionWithoutAccessKeyMarksAndSymbolGlyphs) {
    ControlsForm f;
    auto* label = static_cast<QLabel*>(f.Label1.widget());
    EXPECT_EQ(label->text(), "Apply");
    EXPECT_EQ(f.Label1.Caption(), "&Apply");
    vb::Font webdings;
    webdings.name = "Webdings";
    f.Label1.SetFont(webdings);
    f.Label1.SetCaption("\x3B");
    EXPECT_EQ(label->text(), QString::fromUtf8("\u25AE\u25AE"));  // pause
    EXPECT_EQ(f.Label1.Caption(), "\x3B");
}

TEST(QuixLabel, AnOpaqueLabelShowsItsBackColourAndATransparentOneItsForm) {
    ControlsForm f;
    f.SetBackColor(RGB(10, 20, 30));
    f.window()->resize(200, 100);
    f.Label1.Move(0, 0, 1500, 600);  // 100 x 40 pixels
    f.Label1.SetCaption("");
    f.vol.SetVisible(false);
    f.window()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.window()));
    auto at = [&] { return f.window()->grab().toImage().pixelColor(50, 20); };
    EXPECT_EQ(at(), QColor(10, 20, 30));
    f.Label1.SetBackColor(RGB(52, 62, 82));
    f.Label1.SetBackStyle(1);
    EXPECT_EQ(at(), QColor(52, 62, 82));
    f.Label1.SetBackStyle(0);
    EXPECT_EQ(at(), QColor(10, 20, 30));
}

TEST(ProgressBar, TakesWholeNumbersAndRaisesChangeOnEveryChange) {
    ControlsForm f;
    int changes = 0;
    f.vol.Change = [&] { ++changes; };
    f.vol.SetMax(2500);
    f.vol.SetValue(2400);
    f.vol.SetValue(2400);
    EXPECT_EQ(changes, 1);
    f.vol.SetValue(40000);  // beyond Max: kept, shown full
    EXPECT_EQ(f.vol.Value(), 40000);
}

TEST(ProgressBar, PressingOrDraggingSetsTheValueAndReportsTwips) {
    ControlsForm f;
    f.vol.Move(0, 0, 1140, 105);  // 76 pixels wide
    f.vol.SetMax(2500);
    std::vector<std::string> seen;
    f.vol.Change = [&] { seen.push_back("change " + std::to_string(f.vol.Value())); };
    f.vol.Scroll = [&] { seen.push_back("scroll"); };
    f.vol.MouseDown = [&](int b, int, float x, float) {
        seen.push_back("down " + std::to_string(b) + " " + std::to_string(int(x)));
    };
    QWidget* w = f.vol.widget();
    Press(w, QEvent::MouseButtonPress, 38, Qt::LeftButton);
    Press(w, QEvent::MouseMove, 76, Qt::LeftButton);
    Press(w, QEvent::MouseButtonRelease, 76, Qt::NoButton);
    Press(w, QEvent::MouseMove, 10, Qt::NoButton);  // no button held: no change
    EXPECT_EQ(seen, (std::vector<std::string>{"down 1 570", "change 1250", "scroll", "change 2500",
                                              "scroll"}));
}

TEST(Fader, SetsTheWindowsOpacityAtOnceAndFades) {
    vb::TimerClock::UseManual(true);
    ControlsForm f;
    f.Fader1.SetLevel(60);
    EXPECT_NEAR(f.Fader1.Opacity(), 60, 0.5);
    f.Fader1.FadeOut();
    EXPECT_NEAR(f.Fader1.Opacity(), 0, 0.5);
    EXPECT_EQ(f.Fader1.Level(), 60);
    f.Fader1.FadeIn();
    EXPECT_NEAR(f.Fader1.Opacity(), 60, 0.5);
    EXPECT_EQ(ErrorOf([&] { f.Fader1.SetLevel(101); }), vb::vbErrInvalidPropertyValue);
    vb::TimerClock::UseManual(false);
}

TEST(Fader, RealFadesReachTheirEnds) {
    ControlsForm f;
    f.Show();
    f.Fader1.SetFadeOutSpeed(10);
    f.Fader1.SetFadeInSpeed(10);
    f.Fader1.SetLevel(80);
    f.Fader1.FadeOut();  // returns when transparent
    EXPECT_NEAR(f.Fader1.Opacity(), 0, 0.5);
    f.Fader1.FadeIn();
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.Fader1.Opacity() > 79; }, 10000));
    EXPECT_NEAR(f.Fader1.Opacity(), 80, 0.5);
}

TEST(CommonDialog, GivesOneFileOrTheFolderAndEachNameSeparatedByNul) {
    ControlsForm f;
    auto& d = f.CommonDialog1;
    d.SetFlags(controls::cdlOFNExplorer | controls::cdlOFNAllowMultiselect |
               controls::cdlOFNHideReadOnly);
    d.SetCancelError(true);
    vb::DialogScript script;
    script.AnswerShowOpen({"/music/one.mp3"});
    script.AnswerShowOpen({"/music/a.mp3", "/music/b.wav", "/music/c.dat"});
    script.AnswerShowOpen({"/root.mp3", "/x.wav"});
    script.AnswerShowOpen({});  // Cancel

    d.ShowOpen();
    EXPECT_EQ(d.FileName(), "/music/one.mp3");
    EXPECT_EQ(d.FileTitle(), "one.mp3");
    d.ShowOpen();
    EXPECT_EQ(d.FileName(), std::string("/music\0a.mp3\0b.wav\0c.dat", 24));
    d.ShowOpen();
    EXPECT_EQ(d.FileName(), std::string("/\0root.mp3\0x.wav", 16));
    d.SetFileName("");
    EXPECT_EQ(ErrorOf([&] { d.ShowOpen(); }), vb::vbErrCancel);
    EXPECT_EQ(d.FileName(), "");
    d.SetCancelError(false);
    EXPECT_EQ(ErrorOf([&] { d.ShowOpen(); }), 0);
}

TEST(CommonDialog, FiltersMatchWithoutRegardToCase) {
    auto filters =
        controls::CommonDialog::ParseFilter("MP3 sounds (*.mp3)|*.mp3|Movie files|*.dat; *.avi");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[1].first, "Movie files");
    EXPECT_EQ(filters[1].second, "*.dat; *.avi");
    EXPECT_EQ(controls::CommonDialog::CaseInsensitivePatterns("*.dat; *.avi;"),
              "*.[dD][aA][tT] *.[aA][vV][iI]");
}

TEST(CommonDialog, TakesTypedNamesOfFilesThatDoNotExistAndOpensWhereTheLastChoiceWas) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "there.mp3", "x");
    ControlsForm f;
    auto& d = f.CommonDialog1;
    d.SetFlags(controls::cdlOFNExplorer | controls::cdlOFNAllowMultiselect |
               controls::cdlOFNHideReadOnly);
    d.SetFilter("MP3 sounds (*.mp3)|*.mp3");
    // Notes the folder of the dialog that is up, goes to `folder`, types `text` into the name box
    // and presses the Open button.
    QString openedIn;
    auto type = [&](const QString& folder, const QString& text) {
        QTimer::singleShot(0, [&, folder, text] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            openedIn = dialog->directory().absolutePath();
            dialog->setDirectory(folder);
            auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
            auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
            ASSERT_TRUE(edit && buttons);
            QApplication::setActiveWindow(dialog);
            edit->setFocus();
            QTest::keyClicks(edit, text);
            QPushButton* open = buttons->button(QDialogButtonBox::Open);
            ASSERT_NE(open, nullptr);
            EXPECT_TRUE(open->isEnabled());
            open->click();
            if (dialog->isVisible()) dialog->reject();  // the click did not close it
        });
    };
    const QString folder = QString::fromStdString(dir.path());
    type(folder, "\"there.mp3\" \"new one.mp3\"");
    d.ShowOpen();
    EXPECT_EQ(d.FileName(), dir.path() + std::string("\0there.mp3\0new one.mp3", 22));
    type(folder, "new one.mp3");
    d.ShowOpen();
    EXPECT_EQ(openedIn.toStdString(), dir.path());
    EXPECT_EQ(d.FileName(), dir / "new one.mp3");
    EXPECT_EQ(d.FileTitle(), "new one.mp3");
}
