#pragma once
// A picture that holds a bitmap, as a picture box holds its image: the bitmap is in the
// screen's format and belongs to the picture, which frees it at its end.

#include <span>

#include "platform/runtime/win_types.h"

namespace tamso {

class Picture {
 public:
  // A picture without a bitmap: Handle() is 0.
  Picture() = default;
  // Takes over `bitmap`.
  explicit Picture(HBITMAP bitmap) : handle_(bitmap) {}
  ~Picture();
  Picture(Picture&& other) noexcept;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // The bitmap's handle, 0 when there is none.
  HBITMAP Handle() const { return handle_; }

 private:
  HBITMAP handle_ = 0;
};

// A picture of `width` x `height` pixels from rows given from the top, 4 bytes a pixel in
// the order blue, green, red, unused; a picture without a bitmap when the size is not
// positive, `pixels` is too short, or the bitmap cannot be made.
Picture PictureFromPixels(LONG width, LONG height, std::span<const BYTE> pixels);

}  // namespace tamso
