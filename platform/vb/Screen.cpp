#include "platform/vb/Screen.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/vb/Control.h"

namespace vb::Screen {

namespace {
QSize PixelSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}
}  // namespace

float Width() {
    return PixelsToTwips(PixelSize().width());
}

float Height() {
    return PixelsToTwips(PixelSize().height());
}

}  // namespace vb::Screen
