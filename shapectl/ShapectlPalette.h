// The palette of the control's frame picture in its window and the form around it: realizing it
// when a new picture arrives (the paint) or the host asks (UpdatePalette), and telling the form's
// other windows that the palette changed.
#pragma once

#include "platform/gdi/gdi.h"

// With no palette FALSE; else selects the palette into the window's context as a foreground
// palette, realizes it and gives the context back: TRUE (FALSE also when the window has no
// context).
BOOL SelectAndRealizePalette(HWND window, HPALETTE palette);
// When the window is there and *newPalette is set: clears it and walks the windows of the
// top-level window above it, each one's descendants before the window itself, until one settles
// it: the control's window when it realizes the palette (then every window of the form is told
// that the palette changed), a window that answers WM_QUERYNEWPALETTE with non-zero or a picture
// box ("ThunderPictureBox") that answers it with 0. TRUE when the control's window realized it.
BOOL RealizeWindowPalette(HWND window, HPALETTE palette, BOOL* newPalette);
// Sends WM_PALETTECHANGED (wParam `changed`, lParam 0) to every descendant of the top-level window
// above `start`.
void BroadcastPaletteChanged(HWND start, HWND changed);
// The same from one window, which is also the one that changed.
void BroadcastPaletteChanged(HWND window);
