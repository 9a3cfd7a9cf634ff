// Window regions. A window keeps its own copy of the region it was given and frees the
// handle, so that each region handle has one owner and a handle once given is dead.

#include "platform/gdi32/wingdi.h"
#include "platform/user32/window_table.h"
#include "platform/user32/winuser.h"

int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL) {
  const auto window = tamso::FindWindowObject(hWnd);
  if (!window) return 0;
  std::optional<tamso::Region> region;
  if (hRgn != 0) {
    const tamso::Region* given = tamso::FindRegion(hRgn);
    if (!given) return 0;
    region = *given;
    DeleteObject(hRgn);
  }
  window->setRegion(std::move(region));
  return 1;
}
