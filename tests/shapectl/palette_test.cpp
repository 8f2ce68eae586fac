// Realizing the frame picture's palette in the control's window among the windows of its form.
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "platform/gdi/gdi.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"
#include "shapectl/ShapectlPalette.h"

namespace {

// A form with a picture box and the control's window, made in the order asked for and stacked as
// the platform stacks new child windows (each below those made before), each with a part of the
// form's surface.
struct Form {
    explicit Form(bool pictureBoxFirst) {
        form = std::make_unique<QWidget>();
        QWidget* first = new QWidget(form.get());
        QWidget* second = new QWidget(form.get());
        second->lower();
        pictureBox = pictureBoxFirst ? first : second;
        control = pictureBoxFirst ? second : first;
        platform::win::SetWindowClass(pictureBox, "ThunderPictureBox");
        HWND f = platform::win::HandleOf(form.get());
        EXPECT_TRUE(platform::gdi::CreateWindowSurface(f, 100, 50));
        platform::gdi::PlaceWindow(Handle(pictureBox), f, RECT{0, 0, 40, 40}, true);
        platform::gdi::PlaceWindow(Handle(control), f, RECT{50, 0, 90, 40}, true);
        struct {
            WORD version = 0x300, count = 2;
            PALETTEENTRY entries[2] = {{255, 0, 0, 0}, {0, 0, 255, 0}};
        } log;
        palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
    }
    ~Form() {
        platform::gdi::DestroyWindowSurface(platform::win::HandleOf(form.get()));
        DeleteObject(palette);
    }
    static HWND Handle(QWidget* w) { return platform::win::HandleOf(w); }
    std::unique_ptr<QWidget> form;
    QWidget* pictureBox;
    QWidget* control;
    HPALETTE palette;
};

}  // namespace

TEST(Palette, ThePaintRealizesANewPaletteUnlessAPictureBoxComesFirst) {
    Form form(false);
    HWND control = Form::Handle(form.control);
    BOOL fresh = TRUE;
    EXPECT_TRUE(RealizeWindowPalette(control, form.palette, &fresh));
    EXPECT_FALSE(fresh) << "the new palette is taken";
    EXPECT_FALSE(RealizeWindowPalette(control, form.palette, &fresh)) << "nothing new";

    Form boxFirst(true);
    fresh = TRUE;
    EXPECT_FALSE(RealizeWindowPalette(Form::Handle(boxFirst.control), boxFirst.palette, &fresh));
    EXPECT_FALSE(fresh);
    // Asked directly, the control's window realizes it all the same.
    EXPECT_TRUE(SelectAndRealizePalette(Form::Handle(boxFirst.control), boxFirst.palette));

    fresh = TRUE;
    EXPECT_FALSE(RealizeWindowPalette(control, nullptr, &fresh)) << "no palette";
    EXPECT_FALSE(RealizeWindowPalette(nullptr, form.palette, &fresh));
    EXPECT_FALSE(SelectAndRealizePalette(control, nullptr));
}
