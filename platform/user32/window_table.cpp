#include "platform/user32/window_table.h"

#include "platform/runtime/handle_table.h"

namespace tamso {

namespace {

// Entries hold shared pointers so that a caller keeps a window alive while it works on it.
struct WindowEntry {
  std::shared_ptr<Window> window;
};

HandleTable<WindowEntry>& Windows() {
  static HandleTable<WindowEntry> table;
  return table;
}

}  // namespace

void Window::setRegion(std::optional<Region> region) {
  region_ = std::move(region);
  applyRegion(region_ ? &*region_ : nullptr);
}

HWND RegisterWindow(std::shared_ptr<Window> window) {
  if (!window) return 0;
  return Windows().add(std::make_unique<WindowEntry>(WindowEntry{std::move(window)}));
}

void UnregisterWindow(HWND hWnd) { Windows().remove(hWnd); }

std::shared_ptr<Window> FindWindowObject(HWND hWnd) {
  const WindowEntry* entry = Windows().find(hWnd);
  return entry ? entry->window : nullptr;
}

}  // namespace tamso

BOOL IsWindow(HWND hWnd) { return tamso::FindWindowObject(hWnd) ? TRUE : FALSE; }
