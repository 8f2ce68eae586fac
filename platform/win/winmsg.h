// The rest of the message layer beside the window procedures and painting of platform/win/paint.h:
// messages sent from other threads, timers, the relations of windows (new parents, children in
// z-order, siblings) and their class names.
//
// Decisions this part is built on:
// - SendMessageA runs the window's procedure at once on the user-interface thread; from another
//   thread it waits until the user-interface thread has run it.
// - Timers deliver WM_TIMER (wParam the timer's id) to the window's procedure on the
//   user-interface thread. They run on Qt's timers, or on the manual clock of a test
//   (UseManualTimers, AdvanceTimers), so that tests never wait for real time.
// - Z-order: a parent's child windows are in Qt's stacking order, the order they show in;
//   GW_CHILD is the topmost child, GW_HWNDNEXT the next one below. A window made by
//   CreateChildWindow starts at the bottom (platform/win/paint.h), so children made that way are
//   listed in the order they were made until one is raised; a window given a new parent by
//   SetParent goes to the top.
#pragma once

#include <functional>
#include <string>

#include "platform/base/wintypes.h"
#include "platform/win/paint.h"

inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
inline constexpr UINT WM_PALETTECHANGED = 0x0311;

inline constexpr UINT GW_HWNDFIRST = 0;
inline constexpr UINT GW_HWNDLAST = 1;
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_HWNDPREV = 3;
inline constexpr UINT GW_CHILD = 5;

// A timer of the window: WM_TIMER with the id every uElapse milliseconds until KillTimer. The same
// id again restarts it. Returns the id, 0 for no window (or id 0).
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, void* lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);

// Makes the window a child of the new parent (null: a top-level window); the old parent, or null.
HWND SetParent(HWND hWndChild, HWND hWndNewParent);
// The window in the relation to hWnd (the GW_ values above); null when there is none.
HWND GetWindow(HWND hWnd, UINT uCmd);
// Calls the function for every child window of the parent (and their children), topmost first,
// while it returns TRUE.
BOOL EnumChildWindows(HWND hWndParent, const std::function<BOOL(HWND)>& lpEnumFunc);
// The window's class name (at most nMaxCount - 1 characters and a NUL); its length, 0 for none.
int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount);

namespace platform::win {

// Timers on a manual clock: while on, SetTimer's timers fire only in AdvanceTimers, which moves
// the clock on by that many milliseconds and fires every timer that falls due, in time order.
void UseManualTimers(bool manual);
void AdvanceTimers(int milliseconds);

}  // namespace platform::win
