#include "shapectl/ShapectlPalette.h"

#include <functional>
#include <string>
#include <vector>

#include "platform/win/messages.h"
#include "platform/win/window.h"
#include "platform/win/winmsg.h"

namespace {

HWND TopLevel(HWND window) {
    HWND top = window;
    for (HWND up = GetParent(top); up; up = GetParent(up)) top = up;
    return top;
}

// Calls visit(child) for every descendant of the window, each one's own descendants first, the
// children of one window in z-order (topmost first), until visit returns false; false when it
// did.
bool WalkDescendants(HWND window, const std::function<bool(HWND)>& visit) {
    // The children are listed before any is visited: a visit may reorder them.
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    for (HWND child : children) {
        if (!IsWindow(child)) continue;
        if (!WalkDescendants(child, visit) || !visit(child)) return false;
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
        char name[52] = {};
        GetClassNameA(w, name, 52);
        return std::string(name) != "ThunderPictureBox";
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
