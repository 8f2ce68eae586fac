// Forms whose content is a surface of the graphics layer (platform/gdi/gdi.h, decision 1): the
// window layer keeps the surface's size, screen place, visibility and stacking in step with the
// form's widget and shows the surface, and keeps the place of the child windows that draw into it.
#pragma once

class QWidget;

namespace platform::win {

// Gives a top-level widget a surface (white at first) that it shows as its whole content; the
// widget repaints on the user-interface thread whenever a context has drawn into the surface, from
// whichever thread. The surface ends with the widget.
void AttachSurface(QWidget* form);

// A child widget of a form with a surface whose handle's contexts draw into the form's surface at
// the child's place (kept when the child moves, resizes, shows or hides), for as long as both live.
// The child shows what the form shows there, so it paints no background of its own.
void AttachToSurface(QWidget* child);

// Tells the surface at once where a child attached to it is and whether it shows (Qt reports a
// show or hide of a child of a hidden form only when the form shows).
void UpdateSurfacePlace(QWidget* child);

}  // namespace platform::win
