#include "player/Module1.h"

#include "platform/win/messages.h"
#include "platform/win/windowpos.h"

void SetTopMost(vb::Form& form) {
    SetWindowPos(form.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void SetNotTopMost(vb::Form& form) {
    SetWindowPos(form.hWnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void DragForm(vb::Form& form) {
    ReleaseCapture();
    SendMessageA(form.hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}
