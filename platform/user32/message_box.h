#pragma once
// The seam behind MessageBoxA: a function that shows (or, under test, answers) a box.

#include <functional>
#include <string>

#include "platform/runtime/win_types.h"

namespace tamso {

// Shows a box with `text` and `caption` (8-bit text) in the style `type` (MB_* values)
// and returns the button pressed (IDOK, ...).
using MessageBoxHandler =
    std::function<int(HWND hWnd, const std::string& text, const std::string& caption, UINT type)>;

// Installs `handler` (an empty one: no boxes can be shown) and returns the one before.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Installs a handler for its own lifetime and puts the previous one back after.
class ScopedMessageBoxHandler {
 public:
  explicit ScopedMessageBoxHandler(MessageBoxHandler handler)
      : previous_(SetMessageBoxHandler(std::move(handler))) {}
  ~ScopedMessageBoxHandler() { SetMessageBoxHandler(std::move(previous_)); }
  ScopedMessageBoxHandler(const ScopedMessageBoxHandler&) = delete;
  ScopedMessageBoxHandler& operator=(const ScopedMessageBoxHandler&) = delete;

 private:
  MessageBoxHandler previous_;
};

}  // namespace tamso
