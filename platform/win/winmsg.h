// The general message layer: window procedures, sent and posted messages (also from other
// threads), timers, the relations of windows (parent, children in z-order, siblings) and their
// class names.
//
// Decisions this layer is built on:
// - A window answers messages through the procedure set for its handle (SetWindowProcedure); a
//   window without one answers with the built-in handling (DefWindowProcA: texts, list boxes, the
//   caption press). A procedure that does not handle a message passes it to DefWindowProcA.
// - SendMessageA runs the procedure at once on the user-interface thread; from another thread it
//   waits until the user-interface thread has run it. PostMessageA queues the message for the
//   user-interface thread from any thread and returns at once; a message whose window has gone
//   by the time it is delivered is dropped.
// - Timers deliver WM_TIMER (wParam the timer's id) to the window's procedure on the
//   user-interface thread. They run on Qt's timers, or on the manual clock of a test
//   (UseManualTimers, AdvanceTimers), so that tests never wait for real time.
// - Z-order: a parent's child windows are in Qt's stacking order; GW_CHILD is the topmost child,
//   GW_HWNDNEXT the next one below.
#pragma once

#include <functional>
#include <string>

#include "platform/base/wintypes.h"

inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
inline constexpr UINT WM_NCHITTEST = 0x0084;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_DROPFILES = 0x0233;
inline constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
inline constexpr UINT WM_PALETTECHANGED = 0x0311;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr LRESULT HTCLIENT = 1;

inline constexpr UINT GW_HWNDFIRST = 0;
inline constexpr UINT GW_HWNDLAST = 1;
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_HWNDPREV = 3;
inline constexpr UINT GW_CHILD = 5;

using WNDPROC = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// The built-in handling of a message (what a window without a procedure answers).
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Queues the message for the window's procedure on the user-interface thread; FALSE when the
// handle names no window.
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// A timer of the window: WM_TIMER with the id every uElapse milliseconds until KillTimer. The same
// id again restarts it. Returns the id, 0 for no window (or id 0).
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, void* lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);

HWND GetParent(HWND hWnd);
// Makes the window a child of the new parent (null: a top-level window); the old parent, or null.
HWND SetParent(HWND hWndChild, HWND hWndNewParent);
// The window in the relation to hWnd (the GW_ values above); null when there is none.
HWND GetWindow(HWND hWnd, UINT uCmd);
// Calls the function for every child window of the parent (and their children), topmost first,
// while it returns TRUE.
BOOL EnumChildWindows(HWND hWndParent, const std::function<BOOL(HWND)>& lpEnumFunc);
// The window's class name (at most nMaxCount - 1 characters and a NUL); its length, 0 for none.
int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount);
// The window's rectangle on the screen.
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL IsWindowVisible(HWND hWnd);

namespace platform::win {

// The procedure of a window (null: the built-in handling again); it ends with the window.
void SetWindowProcedure(HWND hWnd, WNDPROC procedure);
// True when the window has a procedure of its own.
bool HasWindowProcedure(HWND hWnd);
// Runs the window's procedure (or the built-in handling) on the calling thread.
LRESULT CallWindowProcedure(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Timers on a manual clock: while on, SetTimer's timers fire only in AdvanceTimers, which moves
// the clock on by that many milliseconds and fires every timer that falls due, in time order.
void UseManualTimers(bool manual);
void AdvanceTimers(int milliseconds);

}  // namespace platform::win
