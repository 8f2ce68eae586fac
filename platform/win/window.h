// Window handles over Qt widgets: every top-level or child widget that the code addresses by HWND
// gets one handle for its lifetime.
#pragma once

#include "platform/base/wintypes.h"

class QWidget;

namespace platform::win {

// The handle of a widget, made on first use; stays the same for the widget's life.
HWND HandleOf(QWidget* widget);

// The widget of a handle, or nullptr when the handle names no live widget.
QWidget* WidgetOf(HWND hwnd);

}  // namespace platform::win

BOOL IsWindow(HWND hWnd);
