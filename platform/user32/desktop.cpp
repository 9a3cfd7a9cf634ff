// The desktop window and the screen's device contexts.

#include <mutex>
#include <set>

#include "platform/gdi32/wingdi.h"
#include "platform/user32/window_table.h"
#include "platform/user32/winuser.h"

namespace {

class DesktopWindow : public tamso::Window {};

// The screen DCs GetDC handed out and ReleaseDC has not taken back yet.
struct ScreenDcs {
  std::mutex mutex;
  std::set<HDC> open;
};

ScreenDcs& HandedOut() {
  static ScreenDcs dcs;
  return dcs;
}

}  // namespace

HWND GetDesktopWindow() {
  static const HWND desktop = tamso::RegisterWindow(std::make_shared<DesktopWindow>());
  return desktop;
}

HDC GetDC(HWND hWnd) {
  if (hWnd != 0 && hWnd != GetDesktopWindow()) return 0;
  const HDC hdc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (hdc) {
    std::lock_guard lock(HandedOut().mutex);
    HandedOut().open.insert(hdc);
  }
  return hdc;
}

int ReleaseDC(HWND, HDC hDC) {
  {
    std::lock_guard lock(HandedOut().mutex);
    if (HandedOut().open.erase(hDC) == 0) return 0;
  }
  return DeleteDC(hDC) ? 1 : 0;
}
