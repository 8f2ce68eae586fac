// Window procedures, sent and posted messages, and painting for the windows that draw into their
// form's surface (platform/gdi/gdi.h, decision 1; platform/win/surface.h).
//
// Decisions this part is built on:
// - A window made by CreateChildWindow is a child widget of its parent's widget with a window
//   procedure; Qt's events of the widget reach the procedure as the window messages WM_CREATE,
//   WM_DESTROY, WM_MOVE, WM_SIZE, WM_SHOWWINDOW, WM_SETCURSOR (with WM_MOUSEMOVE in the high word),
//   WM_DROPFILES, the mouse messages (WM_MOUSEMOVE and the presses, releases and double clicks of
//   the left, right and middle buttons: wParam the MK_ flags of the buttons held and of Shift and
//   Ctrl after the event, lParam the point in client coordinates, x in the low word) and
//   WM_SETFOCUS / WM_KILLFOCUS (wParam the window that lost or takes the focus, or null).
//   ShowWindow, MoveWindow and SetWindowPos first send a child window WM_WINDOWPOSCHANGING with
//   the change to come (platform/win/windowpos.h; ShowWindow after WM_SHOWWINDOW, with
//   SWP_SHOWWINDOW or SWP_HIDEWINDOW); the procedure may change it, and with SWP_NOREDRAW nothing
//   is invalidated for a move or for what a hide uncovers. Any window (a form too) can be given a
//   procedure with SetWindowProc.
// - A new child window goes to the bottom of the z-order of its siblings, as the platform puts a
//   window it creates as a child (so the first child made is the topmost until something
//   reorders them; GetWindow and EnumChildWindows of platform/win/winmsg.h list them that way).
// - A child window takes the focus when it is clicked, while it is enabled (EnableWindow); a
//   disabled window gets no mouse input.
// - GetKeyState answers from the mouse event of a child window that the layer handles or handled
//   last (its Shift, Ctrl and Alt keys and its buttons), as the platform answers for the message
//   being handled.
// - A window's content lives in its form's surface, so nothing is painted because Qt repaints a
//   widget: painting happens only when a window is invalidated. InvalidateRect adds to the
//   window's update rectangle and, once, queues its WM_PAINT on the user-interface thread;
//   UpdateWindow sends a pending WM_PAINT at once. The procedure's WM_PAINT calls BeginPaint,
//   which sends WM_ERASEBKGND first when the update asked for erasing (the default answer of
//   WM_ERASEBKGND paints what lies beneath the window through the background painter of
//   platform/gdi), and EndPaint. A window without a procedure (or one that passes WM_PAINT to
//   DefWindowProcA) is painted the same way and validated.
// - Hiding a child window invalidates (with erase) its rectangle in its parent and in the visible
//   sibling windows below it, which is what the hidden window uncovered; showing one invalidates
//   it with erase.
// - Everything runs on the user-interface thread, but PostMessageA and IsWindowVisible may be
//   called from any thread.
#pragma once

#include <functional>

#include "platform/base/wintypes.h"
#include "platform/win/messages.h"

inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_NCHITTEST = 0x0084;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;
inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
inline constexpr int VK_MBUTTON = 0x04;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr UINT WM_DROPFILES = 0x0233;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr LRESULT HTNOWHERE = 0;
inline constexpr LRESULT HTCLIENT = 1;

inline constexpr UINT SW_HIDE = 0;
inline constexpr UINT SW_SHOWNORMAL = 1;
inline constexpr UINT SW_SHOW = 5;

// The words of a message parameter.
constexpr UINT LOWORD(UINT_PTR w) {
    return static_cast<UINT>(w & 0xFFFF);
}
constexpr UINT HIWORD(UINT_PTR w) {
    return static_cast<UINT>((w >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(UINT low, UINT high) {
    return static_cast<LPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}
// The signed coordinates of a mouse message's point.
constexpr int GET_X_LPARAM(LPARAM lp) {
    return static_cast<SHORT>(LOWORD(static_cast<UINT_PTR>(lp)));
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
    return static_cast<SHORT>(HIWORD(static_cast<UINT_PTR>(lp)));
}

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;  // TRUE when the background still has to be erased (WM_ERASEBKGND returned 0)
    RECT rcPaint;
};

KESTO_DECLARE_HANDLE(HDROP);

// A window procedure; the default handling of a message is DefWindowProcA.
using WindowProc = std::function<LRESULT(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)>;

// The default handling: WM_PAINT paints and validates, WM_ERASEBKGND paints the background
// painter's picture (1 when there is one), WM_NCHITTEST gives HTCLIENT inside the window; the
// texts and lists of platform/win/messages.h; 0 for others.
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Queues the message for the window's procedure on the user-interface thread (from any thread);
// FALSE when the handle names no window. A window that is gone when its turn comes gets nothing.
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// A null rectangle is the whole client area.
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
BOOL ValidateRect(HWND hWnd, const RECT* lpRect);
// The pending update rectangle; FALSE (and an empty rectangle) when there is none.
BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase);
BOOL UpdateWindow(HWND hWnd);
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);

// SW_HIDE (0), SW_SHOWNORMAL (1) or SW_SHOW (5); returns whether it was visible before.
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL IsWindowVisible(HWND hWnd);
HWND GetParent(HWND hWnd);
// (0, 0, width, height).
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
// The window's rectangle on the screen.
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint);
BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
// A child window's place in its parent's client coordinates.
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
BOOL DestroyWindow(HWND hWnd);
BOOL GetCursorPos(LPPOINT lpPoint);
// The cursor of the window under the mouse (the one that was last sent WM_SETCURSOR); returns
// the previous one.
HCURSOR SetCursor(HCURSOR hCursor);
// Lets the window take files dropped on it (WM_DROPFILES with an HDROP).
void DragAcceptFiles(HWND hWnd, BOOL fAccept);
// iFile 0xFFFFFFFF: the number of files; else copies name iFile (at most cch - 1 bytes and a zero)
// and returns its length (without the buffer: the length needed).
UINT DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch);
void DragFinish(HDROP hDrop);

// The key's or mouse button's state (VK_ values above): negative while it is down.
SHORT GetKeyState(int nVirtKey);
// Gives the window the keyboard focus; the window that had it, or null.
HWND SetFocus(HWND hWnd);
// The window with the keyboard focus, or null.
HWND GetFocus();
// Enables or disables the window's mouse and keyboard input; TRUE when it was disabled before.
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsWindowEnabled(HWND hWnd);

namespace platform::win {

// A child window of the parent (a form or another window) at rect (parent client coordinates),
// hidden until ShowWindow, with the procedure (which receives WM_CREATE before this returns).
// The window draws into its form's surface. Null when the parent names no window.
HWND CreateChildWindow(HWND parent, const RECT& rect, WindowProc proc);
// Gives a window (a form made elsewhere, for example) a procedure; null removes it.
void SetWindowProc(HWND hWnd, WindowProc proc);
// The number of WM_PAINT messages the window has been sent.
int PaintCount(HWND hWnd);
// True while a WM_PAINT or a posted message waits for some window.
bool MessagesPending();

}  // namespace platform::win
