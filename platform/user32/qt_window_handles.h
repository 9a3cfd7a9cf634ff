#pragma once
// Window handles for Qt widgets: a widget gets its handle on first request and keeps it
// until it is destroyed.

#include "platform/runtime/win_types.h"

class QWidget;

namespace tamso {

// The widget's handle, registering the widget on first use; 0 for nullptr.
HWND HwndForWidget(QWidget* widget);

// The widget behind `hWnd`, or nullptr when the handle names no live widget.
QWidget* WidgetForHwnd(HWND hWnd);

}  // namespace tamso
