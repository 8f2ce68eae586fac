// Module1: window helpers shared by the forms.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

#include "platform/controls/QuixLabel.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"

// Makes the form topmost (or returns it to the normal band) and activates it, without moving or
// resizing it.
void SetTopMost(vb::Form& form);
void SetNotTopMost(vb::Form& form);

// Keeping a window within reach: a window counts as on a screen when at least a corner of
// kOnScreenCorner x kOnScreenCorner pixels of it (all of it, when it is smaller) lies on that
// screen's available area. OnScreenPlace gives the top-left corner a window at `window` takes: its
// own when it is on a screen, else the nearest place that puts it on one of `screens` (its own
// when there is no screen). KeepOnScreen moves `form` there; true when it moved.
inline constexpr int kOnScreenCorner = 48;
QPoint OnScreenPlace(const QRect& window, const QList<QRect>& screens);
bool KeepOnScreen(vb::Form& form);

// The window drag of a title strip or background picture: the mouse capture is released and the
// form is sent a press on its caption, so it moves with the mouse.
void DragForm(vb::Form& form);

// The region of the pixels of the picture box's image whose colour differs from its top-left
// pixel: the union of one rectangle per horizontal run of such pixels, row by row. 0 when every
// pixel has the top-left colour.
long MakeRegionFromBitmap(vb::PictureBox& pic);

// Shapes `form` from its skin picture box: the box measures in pixels, keeps its image, takes its
// picture's size and loses its border; the form loses its border, takes the box's size, and its
// window region becomes the box's region.
void ShapeFromPicture(vb::Form& form, vb::PictureBox& PicMainSkin);

// The designed look of the player's plain windows: a dark panel picture with a light edge, and
// label buttons lettered light on a slate face.
vb::Picture PanelPicture(int width, int height);
// The panel with a title strip of `strip` pixels across its top, lettered with `title`: the face
// of the windows whose title strip is a caption-less control above it.
vb::Picture TitledPanelPicture(int width, int height, int strip, const char* title);
void StyleLabelButton(controls::QuixLabel& button, float left, float top, float width,
                      float height);
// The look of the small dialogs (passcode, opacity): a fixed frame with its caption, and the
// panel as their face; `width` and `height` in pixels.
void StyleDialog(vb::Form& form, int width, int height);
