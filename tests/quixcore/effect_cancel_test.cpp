// The user's cancel keys and buttons end an effect on the user-interface thread with the final
// image and report it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <vector>

#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"

namespace {

struct Case {
    short cancelMode;
    int key;  // 0: a left button press instead
    bool cancels;
};

}  // namespace

class EffectCancel : public ::testing::TestWithParam<Case> {};

TEST_P(EffectCancel, AnInputOfTheModeEndsTheEffectWithTheFinalImage) {
    const Case c = GetParam();
    QWidget widget;
    widget.resize(20, 20);
    widget.show();
    MemCanvas image(40, 10, RGB(255, 0, 0));
    MemCanvas screen(40, 10, RGB(0, 0, 255));
    int pauses = 0;
    SetQuixEffectClock([&](int) {
        if (++pauses == 2) {
            if (c.key) {
                QCoreApplication::postEvent(&widget,
                                            new QKeyEvent(QEvent::KeyPress, c.key, Qt::NoModifier));
            } else {
                QCoreApplication::postEvent(
                    &widget, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                             Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            }
        }
    });
    BOOL canceled = FALSE;
    ASSERT_EQ(BltEffect(screen.dc(), 0, 0, image.dc(), 0, 0, 40, 10, 2, 1, 0, SRCCOPY, nullptr, 0,
                        FALSE, 0, 0, "", c.cancelMode, &canceled),
              QUIX_OK);
    SetQuixEffectClock(nullptr);
    EXPECT_EQ(screen.Image(), image.Image());
    EXPECT_EQ(canceled, c.cancels ? TRUE : FALSE);
    EXPECT_EQ(pauses, c.cancels ? 3 : 19) << "the input is seen at the next step";
}

INSTANTIATE_TEST_SUITE_P(Modes, EffectCancel,
                         ::testing::Values(Case{1, Qt::Key_Escape, true},
                                           Case{2, Qt::Key_Escape, false},
                                           Case{2, Qt::Key_Return, true},
                                           Case{3, Qt::Key_Space, true}, Case{4, Qt::Key_A, true},
                                           Case{5, 0, true}, Case{6, 0, false}, Case{8, 0, true},
                                           Case{9, 0, false}, Case{0, Qt::Key_Escape, false}));
