#include "graphics/picture.h"

#include <utility>

#include "platform/gdi32/wingdi.h"
#include "platform/user32/winuser.h"

namespace tamso {

Picture::~Picture() {
  if (handle_) DeleteObject(handle_);
}

Picture::Picture(Picture&& other) noexcept : handle_(std::exchange(other.handle_, 0)) {}

Picture PictureFromPixels(LONG width, LONG height, std::span<const BYTE> pixels) {
  if (width <= 0 || height <= 0 ||
      pixels.size() / 4 / static_cast<std::size_t>(width) < static_cast<std::size_t>(height))
    return Picture();
  const HWND desktop = GetDesktopWindow();
  const HDC screen = GetDC(desktop);
  Picture picture(screen ? CreateCompatibleBitmap(screen, width, height) : 0);
  if (screen) ReleaseDC(desktop, screen);
  if (!picture.Handle()) return picture;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  if (SetDIBits(0, picture.Handle(), 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) !=
      height)
    return Picture();
  return picture;
}

}  // namespace tamso
