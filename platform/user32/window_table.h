#pragma once
// Window handles. A handle stands for a Window: a Qt widget on the desktop (see
// qt_window_handles.h) or, where no display is needed, a plain object of a test.

#include <memory>
#include <optional>

#include "platform/gdi32/region.h"
#include "platform/runtime/win_types.h"

class QWidget;

namespace tamso {

class Window {
 public:
  virtual ~Window() = default;
  // The Qt widget behind the handle; nullptr for a window that is not on the desktop.
  virtual QWidget* widget() const { return nullptr; }

  // The pixels (window coordinates, origin at the window's top-left corner) the window
  // shows and takes the mouse in; nothing when it shows its full rectangle.
  const std::optional<Region>& region() const { return region_; }

  // Keeps `region` as the window's region and tells the window through applyRegion.
  void setRegion(std::optional<Region> region);

 protected:
  // Called when the region changes; `region` is nullptr when the full rectangle shows again.
  virtual void applyRegion(const Region* region) { (void)region; }

 private:
  std::optional<Region> region_;
};

// Registers `window` and returns its new handle.
HWND RegisterWindow(std::shared_ptr<Window> window);

// Forgets the handle; the Window object lives on while others hold it.
void UnregisterWindow(HWND hWnd);

// The window behind `hWnd`, or nullptr for 0 or a handle that is no longer a window.
std::shared_ptr<Window> FindWindowObject(HWND hWnd);

}  // namespace tamso

// True while `hWnd` names a registered window.
BOOL IsWindow(HWND hWnd);
