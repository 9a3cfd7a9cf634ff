// The clipboard calls over a ClipboardTarget. The stand-in keeps whether the clipboard is
// open and the bitmap it owns since SetClipboardData accepted it.

#include "platform/user32/clipboard.h"

#include <mutex>

#include "platform/gdi32/wingdi.h"
#include "platform/user32/winuser.h"

namespace tamso {

namespace {

struct ClipboardState {
  std::mutex mutex;
  std::shared_ptr<ClipboardTarget> target;
  bool open = false;
  HBITMAP owned = 0;
};

ClipboardState& State() {
  static ClipboardState state;
  return state;
}

// The bitmap's pixels as rows from the top, 32 bits a pixel; false for no bitmap.
bool ReadImage(HBITMAP hbm, ClipboardImage& image) {
  BITMAP record;
  if (GetObjectA(hbm, sizeof record, &record) == 0 || record.bmWidth <= 0 || record.bmHeight <= 0)
    return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = record.bmWidth;
  info.bmiHeader.biHeight = -record.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  image.width = record.bmWidth;
  image.height = record.bmHeight;
  image.pixels.assign(
      static_cast<std::size_t>(record.bmWidth) * static_cast<std::size_t>(record.bmHeight) * 4, 0);
  return GetDIBits(0, hbm, 0, static_cast<UINT>(record.bmHeight), image.pixels.data(), &info,
                   DIB_RGB_COLORS) == record.bmHeight;
}

void FreeOwned(ClipboardState& state) {
  if (state.owned) DeleteObject(state.owned);
  state.owned = 0;
}

}  // namespace

std::shared_ptr<ClipboardTarget> SetClipboardTarget(std::shared_ptr<ClipboardTarget> target) {
  std::lock_guard lock(State().mutex);
  std::swap(State().target, target);
  return target;
}

}  // namespace tamso

using tamso::State;

BOOL OpenClipboard(HWND) {
  std::lock_guard lock(State().mutex);
  if (State().open || !State().target || !State().target->open()) return FALSE;
  State().open = true;
  return TRUE;
}

BOOL CloseClipboard() {
  std::lock_guard lock(State().mutex);
  if (!State().open) return FALSE;
  State().open = false;
  return TRUE;
}

BOOL EmptyClipboard() {
  std::lock_guard lock(State().mutex);
  if (!State().open || !State().target) return FALSE;
  State().target->clear();
  tamso::FreeOwned(State());
  return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem) {
  std::lock_guard lock(State().mutex);
  tamso::ClipboardImage image;
  if (!State().open || !State().target || uFormat != CF_BITMAP || !tamso::ReadImage(hMem, image)) return 0;
  if (!State().target->put(image)) return 0;
  if (State().owned != hMem) tamso::FreeOwned(State());
  State().owned = hMem;
  return hMem;
}
