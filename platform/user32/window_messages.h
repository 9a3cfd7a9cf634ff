#pragma once
// The window messages the program sends, and the mouse capture.
//
// SendMessageA understands the two requests that move a window:
//   WM_NCLBUTTONDOWN with HTCAPTION: a move by mouse, as if the caption bar were pressed.
//     With a window manager that offers _NET_WM_MOVERESIZE, and always on Wayland, it is
//     handed to the window system's own move (QWindow::startSystemMove); with none, the window follows the
//     mouse until the left button is released and only then does the call return. A press that is already
//     over (a quick click) moves nothing.
//   WM_SYSCOMMAND with SC_MOVE: a move by keyboard. The window manager's keyboard move
//     (_NET_WM_MOVERESIZE_MOVE_KEYBOARD) where there is one; otherwise our own: the arrow
//     keys move the window by 8 pixels, Enter keeps the place, Esc goes back to the start.
//     On Wayland nothing happens: the protocol has no keyboard move to ask the compositor
//     for, and a window cannot place itself.
// Any other message is not handled and gives 0.

#include <functional>

#include "platform/runtime/win_types.h"

inline constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr WPARAM HTCAPTION = 2;
inline constexpr WPARAM SC_MOVE = 0xF010;

// Releases the mouse from the widget that holds it; FALSE when none did.
BOOL ReleaseCapture();

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

namespace tamso {

// How a move request was carried out, for tests and diagnostics.
enum class MoveMode { None, WindowManager, OwnMouseLoop, OwnKeyboardLoop };

// The mode of the last move request SendMessageA carried out.
MoveMode LastMoveMode();

// Test seam: decides whether the window manager's move is used. The default asks the
// X server whether the running window manager supports _NET_WM_MOVERESIZE.
void SetWindowManagerMoveProbe(std::function<bool()> probe);

// Test seam: while set, SendMessageA hands each move request (WM_NCLBUTTONDOWN with
// HTCAPTION, or WM_SYSCOMMAND with SC_MOVE) for a window it knows to `record`, with the
// window's handle and the message, instead of carrying it out.
void SetMoveRequestRecorder(std::function<void(HWND window, UINT message)> record);

}  // namespace tamso
