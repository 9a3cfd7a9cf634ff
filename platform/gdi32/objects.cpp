// Device contexts, bitmaps and brushes, and the calls that create, select and free them.

#include <cstring>
#include <limits>
#include <new>
#include <string_view>

#include "platform/gdi32/gdi_objects.h"

namespace tamso::gdi {

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
// The largest pixel memory a bitmap may have, as a 32-bit size.
constexpr std::int64_t kMaxImageBytes = std::numeric_limits<std::int32_t>::max();

HBRUSH StockBrush(COLORREF color) { return Add(Brush{color, true}); }

}  // namespace

HandleTable<GdiObject>& Objects() {
  static HandleTable<GdiObject> table;
  return table;
}

COLORREF Surface::get(LONG x, LONG y) const {
  const BYTE* p = row(y);
  switch (bitsPerPixel) {
    case 1:
      return (p[x / 8] >> (7 - x % 8)) & 1 ? kWhite : 0;
    case 24:
      p += 3 * static_cast<std::ptrdiff_t>(x);
      return RGB(p[2], p[1], p[0]);
    default:
      p += 4 * static_cast<std::ptrdiff_t>(x);
      return RGB(p[2], p[1], p[0]);
  }
}

void Surface::set(LONG x, LONG y, COLORREF color) {
  BYTE* p = row(y);
  const BYTE r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  switch (bitsPerPixel) {
    case 1: {
      // A colour becomes white only when it is the background colour, white.
      const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
      if ((color & kWhite) == kWhite)
        p[x / 8] |= bit;
      else
        p[x / 8] &= static_cast<BYTE>(~bit);
      break;
    }
    case 24:
      p += 3 * static_cast<std::ptrdiff_t>(x);
      p[0] = b, p[1] = g, p[2] = r;
      break;
    default:
      p += 4 * static_cast<std::ptrdiff_t>(x);
      p[0] = b, p[1] = g, p[2] = r, p[3] = 0;
      break;
  }
}

std::int64_t DibStride(std::int64_t width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

std::unique_ptr<Surface> MakeSurface(LONG width, LONG height, WORD bitsPerPixel, bool bottomUp) {
  if (width <= 0 || height <= 0) return nullptr;
  const std::int64_t stride = DibStride(width, bitsPerPixel);
  if (stride > kMaxImageBytes || stride * height > kMaxImageBytes) return nullptr;
  auto surface = std::make_unique<Surface>();
  surface->width = width;
  surface->height = height;
  surface->bitsPerPixel = bitsPerPixel;
  surface->bottomUp = bottomUp;
  surface->stride = static_cast<LONG>(stride);
  surface->bits.reset(new (std::nothrow) BYTE[static_cast<std::size_t>(stride * height)]());
  if (!surface->bits) return nullptr;
  return surface;
}

Surface* SurfaceOf(const DeviceContext& dc) {
  if (dc.display) {
    static std::unique_ptr<Surface> screen =
        MakeSurface(kScreenWidth, kScreenHeight, kScreenBitsPerPixel, /*bottomUp=*/false);
    return screen.get();
  }
  Bitmap* bitmap = Find<Bitmap>(dc.bitmap);
  return bitmap ? &bitmap->surface : nullptr;
}

COLORREF BrushColor(const DeviceContext& dc) {
  const Brush* brush = Find<Brush>(dc.brush);
  return brush ? brush->color : kWhite;
}

HBITMAP StockBitmap() {
  static const HBITMAP handle = [] {
    Bitmap bitmap;
    bitmap.stock = true;
    bitmap.surface = std::move(*MakeSurface(1, 1, 1, false));
    return Add(std::move(bitmap));
  }();
  return handle;
}

}  // namespace tamso::gdi

using namespace tamso::gdi;

HGDIOBJ GetStockObject(int i) {
  static const HBRUSH white = StockBrush(0xFFFFFF);
  static const HBRUSH black = StockBrush(0);
  switch (i) {
    case WHITE_BRUSH:
      return white;
    case BLACK_BRUSH:
      return black;
    default:
      return 0;
  }
}

HDC CreateDCA(LPCSTR pszDriver, LPCSTR, LPCSTR, const void*) {
  if (!pszDriver || std::string_view(pszDriver) != "DISPLAY") return 0;
  return Add(DeviceContext{true, 0, GetStockObject(WHITE_BRUSH)});
}

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc != 0 && !Find<DeviceContext>(hdc)) return 0;
  return Add(DeviceContext{false, StockBitmap(), GetStockObject(WHITE_BRUSH)});
}

BOOL DeleteDC(HDC hdc) {
  DeviceContext* dc = Find<DeviceContext>(hdc);
  if (!dc) return FALSE;
  if (Bitmap* bitmap = Find<Bitmap>(dc->bitmap); bitmap && !bitmap->stock) bitmap->selectedInto = 0;
  Objects().remove(hdc);
  return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
  if (!Find<DeviceContext>(hdc)) return 0;
  switch (index) {
    case HORZRES:
      return kScreenWidth;
    case VERTRES:
      return kScreenHeight;
    case BITSPIXEL:
      return kScreenBitsPerPixel;
    case PLANES:
      return 1;
    default:
      return 0;
  }
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection, DWORD) {
  if (ppvBits) *ppvBits = nullptr;
  if (!pbmi || usage > DIB_PAL_COLORS || hSection != 0) return 0;
  const BITMAPINFOHEADER& h = pbmi->bmiHeader;
  // Only the uncompressed true-colour formats are kept here.
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes == 0 || h.biCompression != BI_RGB ||
      (h.biBitCount != 24 && h.biBitCount != 32) || h.biWidth <= 0 || h.biHeight == 0 ||
      h.biHeight == std::numeric_limits<LONG>::min())
    return 0;
  auto surface =
      MakeSurface(h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, h.biBitCount, h.biHeight > 0);
  if (!surface) return 0;
  Bitmap bitmap;
  bitmap.dibSection = true;
  bitmap.surface = std::move(*surface);
  BYTE* bits = bitmap.surface.bits.get();
  const HBITMAP handle = Add(std::move(bitmap));
  if (handle && ppvBits) *ppvBits = bits;
  return handle;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  const DeviceContext* dc = Find<DeviceContext>(hdc);
  if (!dc || cx < 0 || cy < 0) return 0;
  if (cx == 0 || cy == 0) return StockBitmap();
  WORD bitsPerPixel = kScreenBitsPerPixel;
  if (!dc->display) {
    const Bitmap* selected = Find<Bitmap>(dc->bitmap);
    bitsPerPixel = selected ? selected->surface.bitsPerPixel : 1;
  }
  auto surface = MakeSurface(cx, cy, bitsPerPixel, false);
  if (!surface) return 0;
  Bitmap bitmap;
  bitmap.surface = std::move(*surface);
  return Add(std::move(bitmap));
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  DeviceContext* dc = Find<DeviceContext>(hdc);
  if (!dc) return 0;
  if (Bitmap* bitmap = Find<Bitmap>(h)) {
    // A bitmap lives in one memory DC at a time; the screen takes none.
    if (dc->display || (!bitmap->stock && bitmap->selectedInto != 0 && bitmap->selectedInto != hdc)) return 0;
    const HBITMAP previous = dc->bitmap;
    if (Bitmap* old = Find<Bitmap>(previous); old && !old->stock) old->selectedInto = 0;
    if (!bitmap->stock) bitmap->selectedInto = hdc;
    dc->bitmap = h;
    return previous;
  }
  if (Find<Brush>(h)) {
    const HBRUSH previous = dc->brush;
    dc->brush = h;
    return previous;
  }
  return 0;
}

BOOL DeleteObject(HGDIOBJ ho) {
  if (Bitmap* bitmap = Find<Bitmap>(ho)) {
    if (bitmap->stock) return TRUE;
    // A bitmap selected into a DC stays until it is selected out.
    if (bitmap->selectedInto != 0) return FALSE;
  } else if (Brush* brush = Find<Brush>(ho)) {
    if (brush->stock) return TRUE;
  } else if (!Find<tamso::Region>(ho)) {
    return FALSE;
  }
  Objects().remove(ho);
  return TRUE;
}

int GetObjectA(HGDIOBJ h, int c, LPVOID pv) {
  const Bitmap* bitmap = Find<Bitmap>(h);
  if (!bitmap) return 0;
  constexpr int kSize = sizeof(BITMAP);
  if (!pv) return kSize;
  if (c < kSize) return 0;
  const Surface& s = bitmap->surface;
  BITMAP record;
  record.bmWidth = s.width;
  record.bmHeight = s.height;
  // Screen-format bitmaps report rows of whole 16-bit words, DIB sections their real stride.
  record.bmWidthBytes =
      bitmap->dibSection
          ? s.stride
          : static_cast<LONG>((static_cast<std::int64_t>(s.width) * s.bitsPerPixel + 15) / 16 * 2);
  record.bmPlanes = 1;
  record.bmBitsPixel = s.bitsPerPixel;
  record.bmBits = bitmap->dibSection ? s.bits.get() : nullptr;
  std::memcpy(pv, &record, sizeof record);
  return kSize;
}

HBRUSH CreateSolidBrush(COLORREF color) { return Add(Brush{color & 0xFFFFFF, false}); }

namespace tamso {

std::size_t GdiObjectCount() { return gdi::Objects().size(); }

}  // namespace tamso
