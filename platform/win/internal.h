// What the parts of the window layer share among themselves.
#pragma once

#include "platform/win/paint.h"

namespace platform::win::internal {

// The window's procedure, or none.
WindowProc ProcOf(HWND hWnd);
// The default answers of the texts and lists (platform/win/messages.h).
LRESULT TextMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

}  // namespace platform::win::internal
