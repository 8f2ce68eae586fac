#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>

#include "platform/vb/Error.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"
#include "tests/support/run_time_errors.h"

using testing_support::ErrorOf;

namespace {

class ListForm : public vb::Form {
public:
    vb::ListBox List1{this, "List1"};
    vb::CheckBox Check1{this, "Check1", "Mute"};
    vb::PictureBox Pic{this, "Pic"};
    vb::Label Label1{this, "Label1", "caption"};
    vb::Image Image1{this, "Image1"};
    std::vector<long> clicks;
    int checkClicks = 0;
    int formDowns = 0;
    void Form_MouseDown(int, int, float, float) override { ++formDowns; }
    ListForm() : vb::Form("ListForm", "") {
        List1.Click = [this] { clicks.push_back(List1.ListIndex()); };
        Check1.Click = [this] { ++checkClicks; };
    }
};

}  // namespace

TEST(ListBox, AcceptsAnIndexFromMinusOneToTheLastAndRefusesTheRest) {
    ListForm f;
    for (const char* s : {"a", "b", "c"}) f.List1.AddItem(s);
    f.List1.SetListIndex(2);
    EXPECT_EQ(f.List1.Text(), "c");
    EXPECT_EQ(ErrorOf([&] { f.List1.SetListIndex(3); }), vb::vbErrInvalidPropertyValue);
    EXPECT_EQ(ErrorOf([&] { f.List1.SetListIndex(-2); }), vb::vbErrInvalidPropertyValue);
    EXPECT_EQ(f.List1.ListIndex(), 2);  // a refused index keeps the selection
    f.List1.SetListIndex(-1);
    EXPECT_EQ(f.List1.Text(), "");
    EXPECT_EQ(f.clicks, (std::vector<long>{2, -1}));  // refusals raise no Click
}

TEST(ListBox, ClickFollowsEveryChangeOfTheSelectionByUserOrCode) {
    ListForm f;
    for (const char* s : {"a", "b", "c"}) f.List1.AddItem(s);
    f.List1.SetListIndex(0);
    f.List1.SetListIndex(0);  // no change, no Click
    auto* list = static_cast<QListWidget*>(f.List1.widget());
    list->setCurrentRow(1);  // as the user does
    EXPECT_EQ(f.List1.ListIndex(), 1);
    EXPECT_EQ(f.clicks, (std::vector<long>{0, 1}));
}

TEST(ListBox, AddAndRemoveKeepTheSelectionOnItsEntry) {
    ListForm f;
    for (const char* s : {"a", "b", "c"}) f.List1.AddItem(s);
    f.List1.SetListIndex(1);
    f.List1.AddItem("first", 0);
    EXPECT_EQ(f.List1.ListIndex(), 2);
    EXPECT_EQ(f.List1.Text(), "b");
    f.List1.RemoveItem(0);
    EXPECT_EQ(f.List1.Text(), "b");
    f.List1.RemoveItem(1);  // the selected entry goes: no selection
    EXPECT_EQ(f.List1.ListIndex(), -1);
    EXPECT_EQ(f.List1.ListCount(), 2);
    EXPECT_EQ(f.List1.List(1), "c");
    EXPECT_EQ(f.List1.List(7), "");
    EXPECT_EQ(ErrorOf([&] { f.List1.RemoveItem(5); }), vb::vbErrInvalidProcedureCall);
    EXPECT_EQ(ErrorOf([&] { f.List1.AddItem("x", 9); }), vb::vbErrInvalidProcedureCall);
    f.List1.Clear();
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_EQ(f.List1.ListIndex(), -1);
}

TEST(ListBox, MultiSelectKeepsOneMarkPerEntry) {
    ListForm f;
    f.List1.SetMultiSelect(true);
    for (const char* s : {"mp3", "wav", "wma"}) f.List1.AddItem(s);
    for (long i = 0; i < f.List1.ListCount(); ++i) f.List1.SetSelected(i, true);
    f.List1.SetSelected(1, false);
    EXPECT_TRUE(f.List1.Selected(0));
    EXPECT_FALSE(f.List1.Selected(1));
    EXPECT_TRUE(f.List1.Selected(2));
}

TEST(CheckBox, ClickFollowsEveryChangeOfTheValue) {
    ListForm f;
    f.Check1.SetValue(1);
    f.Check1.SetValue(1);
    f.Check1.SetValue(0);
    EXPECT_EQ(f.checkClicks, 2);
    EXPECT_EQ(ErrorOf([&] { f.Check1.SetValue(3); }), vb::vbErrInvalidPropertyValue);
}

TEST(PictureBox, SizesToItsPictureAndReadsItsPixels) {
    ListForm f;
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 0));
    img.setPixel(1, 2, qRgb(0, 0, 255));
    f.Pic.SetBorderStyle(0);
    f.Pic.SetAutoSize(true);
    f.Pic.SetScaleMode(vb::vbPixels);
    f.Pic.SetPicture(vb::Picture::FromImage(img));
    EXPECT_FLOAT_EQ(f.Pic.Width(), 60);
    EXPECT_FLOAT_EQ(f.Pic.ScaleWidth(), 4);
    EXPECT_FLOAT_EQ(f.Pic.ScaleHeight(), 3);
    EXPECT_EQ(f.Pic.Point(1, 2), static_cast<long>(RGB(0, 0, 255)));
    EXPECT_EQ(f.Pic.Point(0, 0), static_cast<long>(RGB(255, 0, 0)));
    EXPECT_EQ(f.Pic.Point(4, 0), -1);
    // The pressed look adds a border around the same inner picture.
    f.Pic.SetBorderStyle(1);
    EXPECT_FLOAT_EQ(f.Pic.Width(), 120);
    EXPECT_FLOAT_EQ(f.Pic.ScaleWidth(), 4);
}

TEST(Mouse, ControlsReportTheRunTimesButtonsAndTwips) {
    ListForm f;
    f.Pic.Move(0, 0, 1500, 1500);
    std::vector<std::string> seen;
    f.Pic.MouseDown = [&](int b, int s, float x, float y) {
        seen.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " +
                       std::to_string(int(x)) + " " + std::to_string(int(y)));
    };
    f.Pic.Click = [&] { seen.push_back("click"); };
    QWidget* w = f.Pic.widget();
    auto send = [&](QEvent::Type t, Qt::MouseButton b, Qt::KeyboardModifiers m = {}) {
        QMouseEvent e(t, QPointF(3, 4), w->mapToGlobal(QPointF(3, 4)), b, b, m);
        QCoreApplication::sendEvent(w, &e);
    };
    send(QEvent::MouseButtonPress, Qt::RightButton, Qt::ShiftModifier);
    send(QEvent::MouseButtonRelease, Qt::RightButton);
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 2 1 45 60", "down 1 0 45 60", "click"}));
}

namespace {

void Press(QWidget* w, QPoint at, Qt::MouseButton b) {
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, QPointF(at), w->mapToGlobal(QPointF(at)), b,
                      t == QEvent::MouseButtonPress ? b : Qt::NoButton, {});
        QCoreApplication::sendEvent(w, &e);
    }
}

}  // namespace

TEST(Mouse, AControlsEventsNeverReachTheFormBeneathIt) {
    ListForm f;
    f.window()->resize(300, 300);
    int downs = 0;
    for (vb::Control* c : std::initializer_list<vb::Control*>{&f.Label1, &f.Image1, &f.Pic}) {
        c->Move(0, 0, 1500, 1500);
        c->MouseDown = [&](int, int, float, float) { ++downs; };
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton})
            Press(c->widget(), QPoint(5, 5), b);
    }
    EXPECT_EQ(downs, 6);
    EXPECT_EQ(f.formDowns, 0);
    Press(f.window(), QPoint(250, 250), Qt::LeftButton);  // where no control lies
    EXPECT_EQ(f.formDowns, 1);
}

TEST(ListBox, TheRightButtonRaisesMouseDownWithoutSelecting) {
    ListForm f;
    f.window()->resize(300, 300);
    f.List1.Move(0, 0, 3000, 3000);
    for (const char* s : {"a", "b", "c"}) f.List1.AddItem(s);
    f.List1.SetListIndex(0);
    std::vector<int> buttons;
    f.List1.MouseDown = [&](int b, int, float, float) { buttons.push_back(b); };
    auto* list = static_cast<QListWidget*>(f.List1.widget());
    QPoint onB = list->visualItemRect(list->item(1)).center();
    Press(list->viewport(), onB, Qt::RightButton);
    EXPECT_EQ(f.List1.ListIndex(), 0);
    Press(list->viewport(), onB, Qt::LeftButton);
    EXPECT_EQ(f.List1.ListIndex(), 1);
    EXPECT_EQ(buttons, (std::vector<int>{vb::vbRightButton, vb::vbLeftButton}));
    EXPECT_EQ(f.clicks, (std::vector<long>{0, 1}));
    EXPECT_EQ(f.formDowns, 0);
}

TEST(SymbolFonts, EverySymbolACaptionShowsIsOneTheStandInFontDraws) {
    ASSERT_EQ(QFontInfo(QFont(vb::kSymbolStandInFont)).family(), vb::kSymbolStandInFont);
    QFontMetrics metrics{QFont(vb::kSymbolStandInFont)};
    int mapped = 0;
    for (const char* font : {"Webdings", "Wingdings", "Symbol"}) {
        EXPECT_TRUE(vb::IsSymbolFont(font));
        for (int code = 1; code < 256; ++code) {
            std::string caption(1, static_cast<char>(code));
            std::string shown = vb::SymbolFontText(font, caption);
            if (shown == caption) continue;
            ++mapped;
            for (char32_t c : QString::fromStdString(shown).toUcs4())
                EXPECT_TRUE(metrics.inFontUcs4(c))
                    << font << " " << code << " U+" << std::hex << static_cast<unsigned>(c);
        }
    }
    EXPECT_GE(mapped, 20);
}

TEST(SymbolFonts, ALabelInASymbolFontShowsItsSymbolsAndKeepsItsCaption) {
    ListForm f;
    auto* label = static_cast<QLabel*>(f.Label1.widget());
    vb::Font webdings;
    webdings.name = "webdings";  // the name matches without regard to case
    webdings.bold = true;
    f.Label1.SetFont(webdings);
    f.Label1.SetCaption("\x34\x3B");
    EXPECT_EQ(label->text(), QString::fromUtf8("\u25B6\u25AE\u25AE"));  // forward, pause
    EXPECT_EQ(f.Label1.Caption(), "\x34\x3B");
    EXPECT_EQ(label->font().family(), vb::kSymbolStandInFont);
    EXPECT_TRUE(label->font().bold());
    // A text font shows the caption as it is.
    f.Label1.SetFont(vb::Font{});
    EXPECT_EQ(label->text(), "4;");
    EXPECT_FALSE(vb::IsSymbolFont("MS Sans Serif"));
}
