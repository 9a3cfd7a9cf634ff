// Block transfers with raster operations, single pixels, and copies between bitmaps and
// device-independent pixels.

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/gdi32/gdi_objects.h"

using namespace tamso::gdi;

namespace {

// Rectangles in 64 bits, so that a corner plus a size never overflows.
struct Box {
  std::int64_t left, top, right, bottom;
  bool empty() const { return left >= right || top >= bottom; }
};

Box Ordered(std::int64_t x, std::int64_t y, std::int64_t cx, std::int64_t cy) {
  return Box{std::min(x, x + cx), std::min(y, y + cy), std::max(x, x + cx), std::max(y, y + cy)};
}

Box Intersect(const Box& a, const Box& b) {
  return Box{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
}

Box Bounds(const Surface& s) { return Box{0, 0, s.width, s.height}; }

// Bits 16-23 of a raster operation are its truth table over pattern, source and
// destination; each result bit is looked up from the three input bits.
COLORREF Rop3(DWORD rop, COLORREF p, COLORREF s, COLORREF d) {
  const DWORD table = (rop >> 16) & 0xFF;
  COLORREF out = 0;
  for (int index = 0; index < 8; ++index) {
    if (!((table >> index) & 1)) continue;
    out |= ((index & 4) ? p : ~p) & ((index & 2) ? s : ~s) & ((index & 1) ? d : ~d);
  }
  return out & 0xFFFFFF;
}

bool UsesSource(DWORD rop) { return (((rop >> 2) ^ rop) & 0x330000) != 0; }

// A plain copy between two surfaces of the same true-colour format, row by row.
// Copies `count` pixels between 24- and 32-bit rows: blue, green and red move as they
// are, the fourth byte of a 32-bit pixel is 0.
void CopyPixels(const BYTE* src, std::int64_t srcBytes, BYTE* dst, std::int64_t dstBytes, std::size_t count) {
  if (srcBytes == dstBytes && dstBytes == 3) {
    std::memcpy(dst, src, count * 3);
    return;
  }
  for (std::size_t i = 0; i < count; ++i, src += srcBytes, dst += dstBytes) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
    if (dstBytes == 4) dst[3] = 0;
  }
}

// A plain copy between 24- and 32-bit surfaces, row by row.
void CopyRows(const Surface& from, Surface& to, const Box& area, std::int64_t dx, std::int64_t dy) {
  const std::int64_t fromBytes = from.bitsPerPixel / 8;
  const std::int64_t toBytes = to.bitsPerPixel / 8;
  const auto width = static_cast<std::size_t>(area.right - area.left);
  for (auto y = area.top; y < area.bottom; ++y) {
    CopyPixels(from.row(static_cast<LONG>(y - dy)) + (area.left - dx) * fromBytes, fromBytes,
               to.row(static_cast<LONG>(y)) + area.left * toBytes, toBytes, width);
  }
}

struct DibLayout {
  LONG width = 0;
  LONG height = 0;
  bool topDown = false;
  WORD bitsPerPixel = 0;
  std::int64_t stride = 0;
};

bool ReadLayout(const BITMAPINFO* info, DibLayout& layout) {
  if (!info) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB ||
      (h.biBitCount != 24 && h.biBitCount != 32) || h.biWidth <= 0 || h.biHeight == 0 ||
      h.biHeight == std::numeric_limits<LONG>::min())
    return false;
  layout = DibLayout{h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, h.biHeight < 0, h.biBitCount,
                     DibStride(h.biWidth, h.biBitCount)};
  return true;
}

// Walks the scan lines [start, start + lines) of a DIB that covers the bitmap from its
// top-left corner; `copy(bitmap row, DIB row pointer offset, pixels)` moves one line.
template <class CopyLine>
int ForEachScanLine(const Surface& bitmap, const DibLayout& dib, UINT start, UINT lines, CopyLine copyLine) {
  int done = 0;
  for (std::int64_t i = 0; i < lines; ++i) {
    const std::int64_t scan = static_cast<std::int64_t>(start) + i;
    if (scan >= dib.height) break;
    const std::int64_t y = dib.topDown ? scan : dib.height - 1 - scan;
    if (y < bitmap.height) copyLine(static_cast<LONG>(y), i * dib.stride, std::min(dib.width, bitmap.width));
    ++done;
  }
  return done;
}

COLORREF ReadDibPixel(const BYTE* line, LONG x, WORD bitsPerPixel) {
  const BYTE* p = line + static_cast<std::ptrdiff_t>(x) * (bitsPerPixel / 8);
  return RGB(p[2], p[1], p[0]);
}

void WriteDibPixel(BYTE* line, LONG x, WORD bitsPerPixel, COLORREF c) {
  BYTE* p = line + static_cast<std::ptrdiff_t>(x) * (bitsPerPixel / 8);
  p[0] = (c >> 16) & 0xFF, p[1] = (c >> 8) & 0xFF, p[2] = c & 0xFF;
  if (bitsPerPixel == 32) p[3] = 0;
}

}  // namespace

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  const DeviceContext* dstDc = Find<DeviceContext>(hdc);
  if (!dstDc) return FALSE;
  Surface* dst = SurfaceOf(*dstDc);
  if (!dst) return FALSE;
  const bool usesSource = UsesSource(rop);
  const Surface* src = nullptr;
  if (usesSource) {
    const DeviceContext* srcDc = Find<DeviceContext>(hdcSrc);
    if (!srcDc || !(src = SurfaceOf(*srcDc))) return FALSE;
  }

  // Clip the destination to its surface and the source to its own, then keep what both allow.
  const Box dstBox = Ordered(x, y, cx, cy);
  Box area = Intersect(dstBox, Bounds(*dst));
  std::int64_t dx = 0, dy = 0;
  if (usesSource) {
    const Box srcBox = Ordered(x1, y1, cx, cy);
    dx = dstBox.left - srcBox.left;
    dy = dstBox.top - srcBox.top;
    const Box srcClip = Intersect(srcBox, Bounds(*src));
    area = Intersect(area, Box{srcClip.left + dx, srcClip.top + dy, srcClip.right + dx, srcClip.bottom + dy});
  }
  if (area.empty()) return TRUE;

  if ((rop & 0xFFFFFF) == SRCCOPY && src != dst && src->bitsPerPixel >= 24 && dst->bitsPerPixel >= 24) {
    CopyRows(*src, *dst, area, dx, dy);
    return TRUE;
  }

  const auto width = area.right - area.left;
  const auto height = area.bottom - area.top;
  // Read the source first, so that a surface copied onto itself reads no pixel already written.
  std::vector<COLORREF> source;
  if (usesSource) {
    source.reserve(static_cast<std::size_t>(width * height));
    for (auto py = area.top; py < area.bottom; ++py)
      for (auto px = area.left; px < area.right; ++px)
        source.push_back(src->get(static_cast<LONG>(px - dx), static_cast<LONG>(py - dy)));
  }
  const COLORREF pattern = BrushColor(*dstDc);
  std::size_t k = 0;
  for (auto py = area.top; py < area.bottom; ++py) {
    for (auto px = area.left; px < area.right; ++px) {
      const auto dxp = static_cast<LONG>(px), dyp = static_cast<LONG>(py);
      const COLORREF s = usesSource ? source[k++] : 0;
      dst->set(dxp, dyp, Rop3(rop, pattern, s, dst->get(dxp, dyp)));
    }
  }
  return TRUE;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  const DeviceContext* dc = Find<DeviceContext>(hdc);
  const Surface* surface = dc ? SurfaceOf(*dc) : nullptr;
  if (!surface || !surface->contains(x, y)) return CLR_INVALID;
  return surface->get(x, y);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  const DeviceContext* dc = Find<DeviceContext>(hdc);
  Surface* surface = dc ? SurfaceOf(*dc) : nullptr;
  if (!surface || !surface->contains(x, y)) return CLR_INVALID;
  surface->set(x, y, color);
  return surface->get(x, y);
}

int GetDIBits(HDC, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, BITMAPINFO* lpbmi, UINT) {
  const Bitmap* bitmap = Find<Bitmap>(hbm);
  if (!bitmap || !lpbmi) return 0;
  const Surface& s = bitmap->surface;
  if (!lpvBits) {
    // No buffer: describe the bitmap in the caller's header.
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    h.biWidth = s.width;
    h.biHeight = s.height;
    h.biPlanes = 1;
    h.biBitCount = s.bitsPerPixel;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(DibStride(s.width, s.bitsPerPixel) * s.height);
    return 1;
  }
  DibLayout dib;
  if (!ReadLayout(lpbmi, dib)) return 0;
  auto* out = static_cast<BYTE*>(lpvBits);
  return ForEachScanLine(s, dib, start, cLines, [&](LONG y, std::int64_t offset, LONG pixels) {
    for (LONG px = 0; px < pixels; ++px) WriteDibPixel(out + offset, px, dib.bitsPerPixel, s.get(px, y));
  });
}

int SetDIBits(HDC, HBITMAP hbm, UINT start, UINT cLines, LPCVOID lpBits, const BITMAPINFO* lpbmi, UINT) {
  Bitmap* bitmap = Find<Bitmap>(hbm);
  DibLayout dib;
  if (!bitmap || !lpBits || !ReadLayout(lpbmi, dib)) return 0;
  Surface& s = bitmap->surface;
  const auto* in = static_cast<const BYTE*>(lpBits);
  return ForEachScanLine(s, dib, start, cLines, [&](LONG y, std::int64_t offset, LONG pixels) {
    if (s.bitsPerPixel >= 24) {
      CopyPixels(in + offset, dib.bitsPerPixel / 8, s.row(y), s.bitsPerPixel / 8,
                 static_cast<std::size_t>(pixels));
      return;
    }
    for (LONG px = 0; px < pixels; ++px) s.set(px, y, ReadDibPixel(in + offset, px, dib.bitsPerPixel));
  });
}
