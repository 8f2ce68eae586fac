// Z-order and topmost windows, mouse capture, and the window move of a pressed caption.
#pragma once

#include "platform/base/wintypes.h"

#define HWND_TOP (reinterpret_cast<HWND>(0))
#define HWND_BOTTOM (reinterpret_cast<HWND>(1))
#define HWND_TOPMOST (reinterpret_cast<HWND>(-1))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(-2))

inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOREDRAW = 0x0008;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;

// What WM_WINDOWPOSCHANGING (lParam) tells a child window about the change to come: its new place
// in the parent, the window it goes behind and the SWP_ flags. The procedure may change the place
// and the flags (SWP_NOREDRAW: nothing is repainted for the change).
struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

// Moves, sizes and orders a top-level window. HWND_TOPMOST keeps it above the windows that are
// not topmost, HWND_NOTOPMOST returns it to their band; without SWP_NOACTIVATE it is activated.
// A child window is moved, sized, ordered among its siblings (HWND_TOP, HWND_BOTTOM, or behind a
// sibling), hidden (SWP_HIDEWINDOW) or shown (SWP_SHOWWINDOW) after its procedure has been sent
// WM_WINDOWPOSCHANGING (and no WM_SHOWWINDOW), as the platform does.
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);

// True when the window is in the topmost band.
bool IsTopMost(HWND hWnd);

// Gives the window a shape (null: its whole rectangle again). The window keeps the region: the
// caller no longer owns it. Outside its shape the window is not drawn and takes no mouse input.
int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);

// Ends a mouse capture of this process.
BOOL ReleaseCapture();

namespace platform::win {

// SetWindowPos of a child window (platform/win/paint.cpp).
BOOL SetChildWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);

// Starts moving the window of `hwnd` with the mouse, as a press on its caption does: the window
// manager's move where there is one, else the window follows the mouse until the button is up.
// Returns true when a move started.
bool StartWindowDrag(HWND hwnd);

}  // namespace platform::win
