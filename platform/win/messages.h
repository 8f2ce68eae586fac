// Finding windows by class and title, also in other processes of this user, and sending them
// messages.
//
// A widget takes part once it has a window class (SetWindowClass). A process that calls
// PublishWindows() lets other processes of the same user find its windows and send them
// WM_SETTEXT: it listens on a local socket (mode 0600) in RuntimeFolder()/kesto-windows (mode
// 0700), served on the user-interface thread, and a search asks every live process listed there
// (the wire is platform/win/handover.h). A send to another process is synchronous: it returns
// when the message has been handled there.
#pragma once

#include <string>

#include "platform/base/wintypes.h"

class QWidget;

inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_GETTEXTLENGTH = 0x000E;
inline constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr WPARAM HTCAPTION = 2;
inline constexpr UINT LB_GETTEXT = 0x0189;
inline constexpr UINT LB_GETTEXTLEN = 0x018A;
inline constexpr UINT LB_GETCOUNT = 0x018B;
inline constexpr LRESULT LB_ERR = -1;

// The top-level window of class lpClassName (null: any class) whose title equals lpWindowName
// without regard to letter case (null: any title): first in this process, then in the others.
HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName);
// The first child of hWndParent after hWndChildAfter (null: from the first) with that class and
// title (null: any).
HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR lpszClass, LPCSTR lpszWindow);
// WM_SETTEXT (lParam: a NUL-terminated text) sets a window's title or a text box's text and
// returns TRUE; WM_GETTEXT copies the text into lParam (wParam characters at most, NUL included)
// and returns its length. A list box answers LB_GETCOUNT, and LB_GETTEXT (entry wParam into the
// buffer lParam, which must hold LB_GETTEXTLEN + 1 characters). These work across processes too.
// A handle that names no window returns 0 (LB_ERR for the list messages). A window of this process
// answers through its procedure (platform/win/winmsg.h), on the user-interface thread.
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

namespace platform::win {

// Gives a widget the window class the program's windows are found by.
void SetWindowClass(QWidget* widget, const char* className);
std::string WindowClass(QWidget* widget);

// Lets other processes find this process's windows (see above). Safe to call again.
bool PublishWindows();

// A message sent to a window of this process: its procedure runs on the user-interface thread
// (waited for from another thread).
LRESULT SendToProcedure(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// The window text of a handle of this process (title, or a text box's text).
std::string WindowText(HWND hWnd);

}  // namespace platform::win
