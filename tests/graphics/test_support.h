#pragma once
// Helpers of the graphics tests: a window without a display, a pixel, and the error an action raises.

#include <memory>
#include <vector>

#include "graphics/dib_section_region.h"
#include "platform/runtime/tamso_error.h"
#include "platform/user32/window_table.h"

namespace tamso::testing {

// A registered window without a display, unregistered at the end of its scope.
struct ScopedTestWindow {
  std::shared_ptr<Window> window = std::make_shared<Window>();
  HWND hWnd = RegisterWindow(window);
  ~ScopedTestWindow() { UnregisterWindow(hWnd); }
};

// The rectangles a new window shows while `region` is applied to it; one rectangle of -1s
// when it shows its full rectangle.
inline std::vector<RECT> Shown(cDIBSectionRegion& region) {
  ScopedTestWindow w;
  region.Applied(w.hWnd, true);
  std::vector<RECT> rects =
      w.window->region() ? w.window->region()->rects() : std::vector<RECT>{{-1, -1, -1, -1}};
  region.Applied(w.hWnd, false);
  return rects;
}

// The three bytes (blue, green, red) of pixel (x, y), y counted from the top line.
inline BYTE* PixelAt(const cDIBSection& dib, LONG x, LONG y) {
  return dib.DIBSectionBitsPtr() +
         static_cast<std::ptrdiff_t>(dib.Height() - 1 - y) * dib.BytesPerScanLine() + 3 * x;
}

// The tamso::Error that `action` raises; one numbered 0 when it raises none.
Error ErrorOf(const auto& action) {
  try {
    action();
  } catch (const Error& e) {
    return e;
  }
  return Error(0, "", "");
}

}  // namespace tamso::testing
