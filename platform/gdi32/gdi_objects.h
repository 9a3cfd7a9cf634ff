#pragma once
// The objects behind graphics handles, shared by the files of gdi32 and by nothing else.

#include <cstddef>
#include <memory>
#include <variant>

#include "platform/gdi32/region.h"
#include "platform/gdi32/wingdi.h"
#include "platform/runtime/handle_table.h"

namespace tamso::gdi {

// The pixels of a bitmap. Picture rows count from the top; `bottomUp` says how they lie
// in memory.
struct Surface {
  LONG width = 0;
  LONG height = 0;
  WORD bitsPerPixel = 0;
  bool bottomUp = false;
  LONG stride = 0;
  std::unique_ptr<BYTE[]> bits;

  BYTE* row(LONG y) const {
    return bits.get() + static_cast<std::ptrdiff_t>(bottomUp ? height - 1 - y : y) * stride;
  }
  bool contains(LONG x, LONG y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  COLORREF get(LONG x, LONG y) const;
  void set(LONG x, LONG y, COLORREF color);
};

// Row length in bytes of a device-independent bitmap: whole 32-bit words.
std::int64_t DibStride(std::int64_t width, int bitsPerPixel);

// A zero-filled surface, or nothing when the size is refused or memory runs out.
std::unique_ptr<Surface> MakeSurface(LONG width, LONG height, WORD bitsPerPixel, bool bottomUp);

struct Bitmap {
  Surface surface;
  bool dibSection = false;
  bool stock = false;
  HDC selectedInto = 0;  // the memory DC that holds it, 0 when none (stock bitmaps: always 0)
};

struct Brush {
  COLORREF color = 0;
  bool stock = false;
};

struct DeviceContext {
  bool display = false;
  HBITMAP bitmap = 0;  // memory DCs: the selected bitmap
  HBRUSH brush = 0;
};

struct GdiObject {
  std::variant<Bitmap, Brush, DeviceContext, Region> value;
};

HandleTable<GdiObject>& Objects();

template <class T>
T* Find(std::uint32_t handle) {
  GdiObject* object = Objects().find(handle);
  return object ? std::get_if<T>(&object->value) : nullptr;
}

template <class T>
std::uint32_t Add(T value) {
  return Objects().add(std::make_unique<GdiObject>(GdiObject{std::move(value)}));
}

// The virtual screen: 32 bits a pixel.
inline constexpr LONG kScreenWidth = 1920;
inline constexpr LONG kScreenHeight = 1080;
inline constexpr WORD kScreenBitsPerPixel = 32;

// The surface a DC draws on: the screen or the DC's bitmap; nullptr when it has none.
Surface* SurfaceOf(const DeviceContext& dc);

// The colour of the brush selected into a DC (white when the brush is gone).
COLORREF BrushColor(const DeviceContext& dc);

HBITMAP StockBitmap();

}  // namespace tamso::gdi
