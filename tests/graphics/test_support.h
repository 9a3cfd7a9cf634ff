#pragma once
// Helpers of the graphics tests: a window without a display, and the error an action raises.

#include <memory>

#include "platform/runtime/tamso_error.h"
#include "platform/user32/window_table.h"

namespace tamso::testing {

class TestWindow : public Window {
 public:
  int changes = 0;

 protected:
  void applyRegion(const Region*) override { ++changes; }
};

// A registered test window, unregistered at the end of its scope.
struct ScopedTestWindow {
  std::shared_ptr<TestWindow> window = std::make_shared<TestWindow>();
  HWND hWnd = RegisterWindow(window);
  ~ScopedTestWindow() { UnregisterWindow(hWnd); }
};

// The number of the tamso::Error that `action` raises, 0 when it raises none.
int ErrorNumberOf(const auto& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

}  // namespace tamso::testing
