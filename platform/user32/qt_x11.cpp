#include "platform/user32/qt_x11.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <string>

namespace tamso {

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

}  // namespace

xcb_connection_t* X11Connection() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_atom_t InternAtom(xcb_connection_t* c, std::string_view name) {
  const auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data());
  const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t RootWindow(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

bool X11CompositingManagerRunning() {
  xcb_connection_t* c = X11Connection();
  if (!c) return false;
  // Qt draws on the default screen, whose number the connection does not keep: the
  // screens are few, so any owned selection counts.
  const int screens = xcb_setup_roots_length(xcb_get_setup(c));
  for (int n = 0; n < screens; ++n) {
    const xcb_atom_t selection = InternAtom(c, "_NET_WM_CM_S" + std::to_string(n));
    if (selection == XCB_ATOM_NONE) continue;
    const Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr), &std::free);
    if (owner && owner->owner != XCB_WINDOW_NONE) return true;
  }
  return false;
}

bool X11ServerIsXWayland() {
  xcb_connection_t* c = X11Connection();
  if (!c) return false;
  constexpr std::string_view kExtension = "XWAYLAND";
  const Reply<xcb_query_extension_reply_t> reply(
      xcb_query_extension_reply(
          c, xcb_query_extension(c, static_cast<std::uint16_t>(kExtension.size()), kExtension.data()),
          nullptr),
      &std::free);
  return reply && reply->present;
}

}  // namespace tamso
