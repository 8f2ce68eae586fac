#include "shapectl/ShapectlPalette.h"

#include <QWidget>
#include <functional>

#include "platform/win/messages.h"
#include "platform/win/window.h"
#include "platform/win/winmsg.h"

namespace {

HWND TopLevel(HWND window) {
    QWidget* w = platform::win::WidgetOf(window);
    return w ? platform::win::HandleOf(w->window()) : nullptr;
}

// Calls visit(child) for every descendant of the window, each one's own descendants first, until
// visit returns false; false when it did.
bool WalkDescendants(HWND window, const std::function<bool(HWND)>& visit) {
    QWidget* w = platform::win::WidgetOf(window);
    if (!w) return true;
    for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        HWND h = platform::win::HandleOf(child);
        if (!WalkDescendants(h, visit) || !visit(h)) return false;
    }
    return true;
}

}  // namespace

BOOL SelectAndRealizePalette(HWND window, HPALETTE palette) {
    if (!palette) return FALSE;
    HDC dc = GetDC(window);
    if (!dc) return FALSE;
    HPALETTE old = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(window, dc);
    return TRUE;
}

BOOL RealizeWindowPalette(HWND window, HPALETTE palette, BOOL* newPalette) {
    if (!window || !newPalette || !*newPalette) return FALSE;
    *newPalette = FALSE;
    HWND top = TopLevel(window);
    bool found = false;
    WalkDescendants(top, [&](HWND w) {
        if (w == window) {
            found = SelectAndRealizePalette(w, palette);
            return !found;
        }
        if (SendMessageA(w, WM_QUERYNEWPALETTE, 0, 0) != 0) return false;
        QWidget* widget = platform::win::WidgetOf(w);
        return !(widget && platform::win::WindowClass(widget).substr(0, 51) == "ThunderPictureBox");
    });
    if (found) BroadcastPaletteChanged(top, window);
    return found ? TRUE : FALSE;
}

void BroadcastPaletteChanged(HWND start, HWND changed) {
    WalkDescendants(TopLevel(start), [&](HWND w) {
        SendMessageA(w, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(changed), 0);
        return true;
    });
}

void BroadcastPaletteChanged(HWND window) {
    BroadcastPaletteChanged(window, window);
}
