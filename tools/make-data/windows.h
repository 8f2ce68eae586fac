// The faces of the player's smaller windows: the about box and the skin chooser.
#pragma once

#include <QImage>
#include <QRect>

namespace makedata {

// The about box (About.bmp), about 360 x 240. Its close mark occupies AboutCloseMark().
QImage AboutFace();
inline QRect AboutCloseMark() {
    return QRect(320, 12, 24, 24);
}

// The "More Skins" chooser (skin.bmp), 320 x 280: drag strip on top, list area, three button
// seats.
QImage ChooserFace();
inline QRect ChooserList() {
    return QRect(20, 50, 280, 160);
}
inline QRect ChooserButton(int i) {
    return QRect(20 + i * 100, 225, 80, 24);
}

}  // namespace makedata
