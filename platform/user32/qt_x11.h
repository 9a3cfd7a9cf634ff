#pragma once
// What the program asks the X server directly, beside Qt: atoms, the root window, and
// whether a compositing manager runs. Every call gives nothing (nullptr, XCB_ATOM_NONE,
// false) when the program is not on an X server.

#include <xcb/xcb.h>

#include <string_view>

namespace tamso {

// Qt's connection to the X server; nullptr on another platform.
xcb_connection_t* X11Connection();

xcb_atom_t InternAtom(xcb_connection_t* c, std::string_view name);
xcb_window_t RootWindow(xcb_connection_t* c);

// True when a compositing manager owns the screen's _NET_WM_CM_S<n> selection: it draws
// each window from its own pixels, alpha included.
bool X11CompositingManagerRunning();

// True when the X server is XWayland, whose windows a Wayland compositor draws: X11 shapes
// do not reach the screen there, the alpha of a window's pixels does.
bool X11ServerIsXWayland();

}  // namespace tamso
