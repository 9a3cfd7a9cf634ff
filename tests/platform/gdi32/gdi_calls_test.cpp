#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/gdi32/wingdi.h"
#include "platform/runtime/byte_reader.h"

namespace {

std::vector<std::uint8_t> DataOf(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<std::uint8_t> block(size);
  EXPECT_EQ(GetRegionData(region, size, reinterpret_cast<RGNDATA*>(block.data())), size);
  return block;
}

std::vector<std::uint8_t> Block(std::initializer_list<std::uint32_t> words) {
  std::vector<std::uint8_t> bytes(words.size() * 4);
  std::size_t at = 0;
  for (std::uint32_t w : words) tamso::StoreU32(bytes, (at++) * 4, w);
  return bytes;
}

HRGN FromBlock(const std::vector<std::uint8_t>& bytes) {
  return ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()),
                         reinterpret_cast<const RGNDATA*>(bytes.data()));
}

RECT BoxOf(HRGN region) {
  RECT box{-1, -1, -1, -1};
  GetRgnBox(region, &box);
  return box;
}

TEST(RegionCalls, CombineGivesTheKindOfItsResult) {
  const HRGN a = CreateRectRgn(0, 0, 10, 10);
  const HRGN b = CreateRectRgn(5, 5, 15, 15);
  const HRGN far = CreateRectRgn(20, 20, 30, 30);
  const HRGN out = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(out, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(BoxOf(out), (RECT{5, 5, 10, 10}));
  EXPECT_EQ(CombineRgn(out, a, far, RGN_AND), NULLREGION);
  EXPECT_EQ(BoxOf(out), (RECT{0, 0, 0, 0}));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(CombineRgn(out, a, b, RGN_XOR), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(out, 7, 7));
  EXPECT_TRUE(PtInRegion(out, 12, 12));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(out, 2, 2));
  EXPECT_FALSE(PtInRegion(out, 12, 12));
  EXPECT_EQ(CombineRgn(out, far, 0, RGN_COPY), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(out, far));
  // The destination may be a source; an unknown mode or handle is an error.
  EXPECT_EQ(CombineRgn(a, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(CombineRgn(out, a, b, 6), ERROR);
  EXPECT_EQ(CombineRgn(out, a, 0, RGN_OR), ERROR);
  EXPECT_EQ(CombineRgn(0, a, b, RGN_OR), ERROR);
  for (HRGN h : {a, b, far, out}) EXPECT_TRUE(DeleteObject(h));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), ERROR);
}

TEST(RegionCalls, RectanglesAreSwappedOrEmpty) {
  const HRGN swapped = CreateRectRgn(10, 8, 2, 1);
  EXPECT_EQ(BoxOf(swapped), (RECT{2, 1, 10, 8}));
  const HRGN flat = CreateRectRgn(100, 100, 100, 100);
  EXPECT_NE(flat, 0u);
  EXPECT_EQ(GetRgnBox(flat, nullptr), ERROR);
  RECT box;
  EXPECT_EQ(GetRgnBox(flat, &box), NULLREGION);
  EXPECT_EQ(OffsetRgn(swapped, 5, -1), SIMPLEREGION);
  EXPECT_EQ(BoxOf(swapped), (RECT{7, 0, 15, 7}));
  EXPECT_EQ(OffsetRgn(swapped, 1 << 27, 0), ERROR);
  DeleteObject(swapped);
  DeleteObject(flat);
}

TEST(RegionData, TheBlockHasThePlatformsHeaderAndBandedRectangles) {
  const HRGN a = CreateRectRgn(0, 0, 10, 10);
  const HRGN b = CreateRectRgn(5, 5, 15, 15);
  CombineRgn(a, a, b, RGN_OR);
  EXPECT_EQ(GetRegionData(a, 0, nullptr), 32u + 3 * 16);
  EXPECT_EQ(DataOf(a), Block({32, 1, 3,  48, 0, 0, 15, 15,  //
                              0,  0, 10, 5,  0, 5, 15, 10, 5, 10, 15, 15}));
  // A buffer too small for the block gets nothing.
  std::vector<std::uint8_t> small(79, 0xEE);
  EXPECT_EQ(GetRegionData(a, 79, reinterpret_cast<RGNDATA*>(small.data())), 0u);
  EXPECT_EQ(small, std::vector<std::uint8_t>(79, 0xEE));

  const HRGN empty = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(DataOf(empty), Block({32, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(GetRegionData(0, 0, nullptr), 0u);
  for (HRGN h : {a, b, empty}) DeleteObject(h);
}

TEST(RegionData, ABlockReadBackIsTheSameRegion) {
  const HRGN a = CreateRectRgn(0, 0, 40, 30);
  for (int i = 0; i < 10; ++i) {
    const HRGN hole = CreateRectRgn(3 * i, 2 * i, 3 * i + 2, 2 * i + 7);
    CombineRgn(a, a, hole, RGN_XOR);
    DeleteObject(hole);
  }
  const std::vector<std::uint8_t> block = DataOf(a);
  const HRGN back = FromBlock(block);
  ASSERT_NE(back, 0u);
  EXPECT_TRUE(EqualRgn(a, back));
  EXPECT_EQ(DataOf(back), block);
  DeleteObject(a);
  DeleteObject(back);
}

TEST(RegionData, BlocksThePlatformRejectsGiveNoRegion) {
  const std::vector<std::uint8_t> good = Block({32, 1, 1, 16, 0, 0, 4, 4, 0, 0, 4, 4});
  EXPECT_NE(FromBlock(good), 0u);
  EXPECT_EQ(ExtCreateRegion(nullptr, 48, nullptr), 0u);
  // Fewer bytes than the header, or than the rectangles it announces.
  EXPECT_EQ(ExtCreateRegion(nullptr, 31, reinterpret_cast<const RGNDATA*>(good.data())), 0u);
  EXPECT_EQ(ExtCreateRegion(nullptr, 47, reinterpret_cast<const RGNDATA*>(good.data())), 0u);
  EXPECT_EQ(FromBlock(Block({32, 1, 2, 32, 0, 0, 4, 4, 0, 0, 4, 4})), 0u);
  EXPECT_EQ(FromBlock(Block({32, 1, 0xFFFFFFFF, 0, 0, 0, 0, 0, 0, 0, 4, 4})), 0u);
  // A header size below 32.
  EXPECT_EQ(FromBlock(Block({31, 1, 1, 16, 0, 0, 4, 4, 0, 0, 4, 4})), 0u);
  EXPECT_EQ(FromBlock(Block({0, 1, 0, 0, 0, 0, 0, 0})), 0u);
  // A transformation other than none.
  XFORM scale;
  scale.eM11 = 2;
  EXPECT_EQ(ExtCreateRegion(&scale, 48, reinterpret_cast<const RGNDATA*>(good.data())), 0u);
  const XFORM identity;
  EXPECT_NE(ExtCreateRegion(&identity, 48, reinterpret_cast<const RGNDATA*>(good.data())), 0u);
}

TEST(RegionData, TheRectanglesAreTakenAsTheyComeAndTheRestIsNotTrusted) {
  // Any type, a wrong size and box, rectangles out of order, overlapping, empty and
  // inverted ones, and bytes after the last rectangle.
  const HRGN region =
      FromBlock(Block({40, 7, 5, 999, 1, 2, 3, 4,  //
                       5,  5, 8, 8,   0, 0, 6, 6, 9, 9, 9, 12, 4, 4, 2, 2, 0, 6, 2, 8, 0xABCDEF}));
  ASSERT_NE(region, 0u);
  EXPECT_EQ(DataOf(region), Block({32, 1, 4, 64, 0, 0, 8, 8,  //
                                   0,  0, 6, 5,  0, 5, 8, 6, 0, 6, 2, 8, 5, 6, 8, 8}));
  DeleteObject(region);
}

HBITMAP MakeDib(LONG width, LONG height, WORD bits, void** pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bits;
  return CreateDIBSection(0, &info, DIB_RGB_COLORS, pixels, 0, 0);
}

TEST(DibSections, OnlyValidHeadersMakeOne) {
  void* pixels = reinterpret_cast<void*>(1);
  EXPECT_EQ(MakeDib(0, 5, 24, &pixels), 0u);
  EXPECT_EQ(pixels, nullptr);
  EXPECT_EQ(MakeDib(-3, 5, 24, &pixels), 0u);
  EXPECT_EQ(MakeDib(3, 0, 24, &pixels), 0u);
  EXPECT_EQ(MakeDib(3, 5, 8, &pixels), 0u);
  EXPECT_EQ(MakeDib(100000, 100000, 24, &pixels), 0u);  // more than 2 GB of pixels
  BITMAPINFO info{};
  EXPECT_EQ(CreateDIBSection(0, &info, DIB_RGB_COLORS, &pixels, 0, 0), 0u);
  EXPECT_EQ(CreateDIBSection(0, nullptr, DIB_RGB_COLORS, &pixels, 0, 0), 0u);

  const HBITMAP dib = MakeDib(5, 2, 24, &pixels);
  ASSERT_NE(dib, 0u);
  // Zero-filled, 16 bytes a row.
  EXPECT_EQ(std::vector<BYTE>(static_cast<BYTE*>(pixels), static_cast<BYTE*>(pixels) + 32),
            std::vector<BYTE>(32, 0));
  BITMAP record;
  EXPECT_EQ(GetObjectA(dib, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(GetObjectA(dib, sizeof record - 1, &record), 0);
  ASSERT_EQ(GetObjectA(dib, sizeof record, &record), static_cast<int>(sizeof record));
  EXPECT_EQ(record.bmWidth, 5);
  EXPECT_EQ(record.bmHeight, 2);
  EXPECT_EQ(record.bmWidthBytes, 16);
  EXPECT_EQ(record.bmBits, pixels);
  EXPECT_TRUE(DeleteObject(dib));
}

TEST(DibSections, APositiveHeightStoresRowsBottomUpANegativeOneTopDown) {
  for (LONG height : {2, -2}) {
    void* pixels = nullptr;
    const HBITMAP dib = MakeDib(1, height, 24, &pixels);
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ kept = SelectObject(dc, dib);
    SetPixel(dc, 0, 0, RGB(1, 2, 3));  // the top line
    const auto* bytes = static_cast<const BYTE*>(pixels);
    const std::size_t topRow = height > 0 ? 4 : 0;
    EXPECT_EQ(std::vector<BYTE>(bytes + topRow, bytes + topRow + 3), (std::vector<BYTE>{3, 2, 1}));
    SelectObject(dc, kept);
    DeleteDC(dc);
    DeleteObject(dib);
  }
}

TEST(DeviceContexts, ABitmapLivesInOneDcAndIsFreedOnlyWhenSelectedOut) {
  const std::size_t before = tamso::GdiObjectCount();
  void* pixels = nullptr;
  const HBITMAP dib = MakeDib(2, 2, 24, &pixels);
  const HDC first = CreateCompatibleDC(0);
  const HDC second = CreateCompatibleDC(first);
  const HGDIOBJ stock = SelectObject(first, dib);
  ASSERT_NE(stock, 0u);
  BITMAP record;
  GetObjectA(stock, sizeof record, &record);
  EXPECT_EQ(record.bmBitsPixel, 1);  // a memory DC starts with a 1 x 1 monochrome bitmap
  EXPECT_EQ(record.bmWidth, 1);
  EXPECT_EQ(SelectObject(second, dib), 0u);
  EXPECT_FALSE(DeleteObject(dib));
  EXPECT_EQ(SelectObject(first, stock), dib);
  EXPECT_EQ(SelectObject(second, dib), stock);
  EXPECT_TRUE(DeleteDC(second));  // deleting the DC lets go of the bitmap
  EXPECT_TRUE(DeleteObject(dib));
  EXPECT_TRUE(DeleteDC(first));
  EXPECT_FALSE(DeleteDC(first));
  EXPECT_EQ(CreateCompatibleDC(first), 0u);
  EXPECT_EQ(tamso::GdiObjectCount(), before);
}

// A memory DC holding a new 24-bit bitmap, freed at the end of the scope.
struct Canvas {
  void* pixels = nullptr;
  HBITMAP bitmap;
  HDC dc = CreateCompatibleDC(0);
  HGDIOBJ kept;
  Canvas(LONG width, LONG height, WORD bits = 24)
      : bitmap(MakeDib(width, height, bits, &pixels)), kept(SelectObject(dc, bitmap)) {}
  ~Canvas() {
    SelectObject(dc, kept);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

TEST(BitBlt, EveryNamedRasterOperationComputesItsFunction) {
  const COLORREF p = RGB(0xF0, 0x0F, 0x55), s = RGB(0xCC, 0x33, 0xA5), d = RGB(0xAA, 0x5A, 0x3C);
  const std::pair<DWORD, std::function<COLORREF(COLORREF, COLORREF, COLORREF)>> cases[] = {
      {BLACKNESS, [](auto, auto, auto) { return 0u; }},
      {NOTSRCERASE, [](auto, auto s, auto d) { return ~(s | d); }},
      {NOTSRCCOPY, [](auto, auto s, auto) { return ~s; }},
      {SRCERASE, [](auto, auto s, auto d) { return s & ~d; }},
      {DSTINVERT, [](auto, auto, auto d) { return ~d; }},
      {PATINVERT, [](auto p, auto, auto d) { return p ^ d; }},
      {SRCINVERT, [](auto, auto s, auto d) { return s ^ d; }},
      {SRCAND, [](auto, auto s, auto d) { return s & d; }},
      {MERGEPAINT, [](auto, auto s, auto d) { return ~s | d; }},
      {MERGECOPY, [](auto p, auto s, auto) { return p & s; }},
      {SRCCOPY, [](auto, auto s, auto) { return s; }},
      {SRCPAINT, [](auto, auto s, auto d) { return s | d; }},
      {PATCOPY, [](auto p, auto, auto) { return p; }},
      {PATPAINT, [](auto p, auto s, auto d) { return p | ~s | d; }},
      {WHITENESS, [](auto, auto, auto) { return 0xFFFFFFu; }},
  };
  Canvas source(1, 1), target(1, 1, 32);
  SetPixel(source.dc, 0, 0, s);
  const HBRUSH brush = CreateSolidBrush(p);
  const HGDIOBJ oldBrush = SelectObject(target.dc, brush);
  for (const auto& [rop, f] : cases) {
    SetPixel(target.dc, 0, 0, d);
    EXPECT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, rop | CAPTUREBLT));
    EXPECT_EQ(GetPixel(target.dc, 0, 0), f(p, s, d) & 0xFFFFFF) << std::hex << rop;
  }
  // Without a source in the operation, the source DC is not needed.
  EXPECT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, 0, 0, 0, DSTINVERT));
  EXPECT_FALSE(BitBlt(target.dc, 0, 0, 1, 1, 0, 0, 0, SRCCOPY));
  SelectObject(target.dc, oldBrush);
  DeleteObject(brush);
}

TEST(BitBlt, PixelsWhoseSourceLiesOutsideTheBitmapAreLeftAlone) {
  Canvas source(3, 3), target(5, 5);
  for (LONG y = 0; y < 3; ++y)
    for (LONG x = 0; x < 3; ++x) SetPixel(source.dc, x, y, RGB(x + 1, y + 1, 9));
  // From (1, 1) of the source, 4 x 4 to (2, 2) of the target: only 2 x 2 exist.
  EXPECT_TRUE(BitBlt(target.dc, 2, 2, 4, 4, source.dc, 1, 1, SRCCOPY));
  for (LONG y = 0; y < 5; ++y)
    for (LONG x = 0; x < 5; ++x) {
      const bool copied = x >= 2 && x < 4 && y >= 2 && y < 4;
      EXPECT_EQ(GetPixel(target.dc, x, y), copied ? RGB(x, y, 9) : 0u) << x << "," << y;
    }
  // A source corner left of and above the bitmap copies from its first pixel on.
  EXPECT_TRUE(BitBlt(target.dc, 0, 0, 2, 2, source.dc, -1, -1, SRCCOPY));
  EXPECT_EQ(GetPixel(target.dc, 0, 0), 0u);
  EXPECT_EQ(GetPixel(target.dc, 1, 1), RGB(1, 1, 9));
  // Nothing left after clipping: nothing drawn, still a success.
  EXPECT_TRUE(BitBlt(target.dc, 10, 10, 2, 2, source.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(target.dc, 0, 0, 2, 2, source.dc, 3, 0, WHITENESS));
  EXPECT_EQ(GetPixel(target.dc, 0, 0), 0xFFFFFFu);
}

TEST(BitBlt, ABitmapCopiedOntoItselfReadsTheOldPixels) {
  Canvas canvas(4, 1);
  for (LONG x = 0; x < 4; ++x) SetPixel(canvas.dc, x, 0, RGB(x, 0, 0));
  EXPECT_TRUE(BitBlt(canvas.dc, 1, 0, 3, 1, canvas.dc, 0, 0, SRCCOPY));
  for (LONG x = 0; x < 4; ++x) EXPECT_EQ(GetPixel(canvas.dc, x, 0), RGB(x == 0 ? 0 : x - 1, 0, 0));
}

TEST(BitBlt, ColoursPassBetweenFormatsAndMonochromeKeepsOnlyWhite) {
  Canvas colour(2, 1);
  SetPixel(colour.dc, 0, 0, RGB(255, 255, 255));
  SetPixel(colour.dc, 1, 0, RGB(254, 255, 255));
  const HDC dc = CreateCompatibleDC(0);
  const HBITMAP mono = CreateCompatibleBitmap(dc, 2, 1);  // the format of the DC's bitmap: monochrome
  BITMAP record;
  GetObjectA(mono, sizeof record, &record);
  EXPECT_EQ(record.bmBitsPixel, 1);
  const HGDIOBJ kept = SelectObject(dc, mono);
  EXPECT_TRUE(BitBlt(dc, 0, 0, 2, 1, colour.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(dc, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(GetPixel(dc, 1, 0), 0u);
  SelectObject(dc, kept);
  DeleteDC(dc);
  DeleteObject(mono);

  // 32 bits to 24 and back keep the colour.
  const HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  const HBITMAP deep = CreateCompatibleBitmap(screen, 2, 1);
  const HDC deepDc = CreateCompatibleDC(screen);
  const HGDIOBJ deepKept = SelectObject(deepDc, deep);
  SetPixel(deepDc, 1, 0, RGB(1, 2, 3));
  EXPECT_TRUE(BitBlt(colour.dc, 0, 0, 2, 1, deepDc, 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(colour.dc, 1, 0), RGB(1, 2, 3));
  SelectObject(deepDc, deepKept);
  DeleteDC(deepDc);
  DeleteObject(deep);
  DeleteDC(screen);

  // No width or height: the 1 x 1 monochrome bitmap every memory DC starts with.
  const HBITMAP none = CreateCompatibleBitmap(colour.dc, 0, 5);
  ASSERT_NE(none, 0u);
  GetObjectA(none, sizeof record, &record);
  EXPECT_EQ(record.bmWidth, 1);
  EXPECT_EQ(record.bmBitsPixel, 1);
  EXPECT_EQ(CreateCompatibleBitmap(colour.dc, -1, 5), 0u);
}

TEST(DibBits, RowsGoInAndOutInEitherOrder) {
  Canvas canvas(2, 2, 24);
  const std::vector<BYTE> topDown = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = -2;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  EXPECT_EQ(SetDIBits(0, canvas.bitmap, 0, 2, topDown.data(), &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(3, 2, 1));
  EXPECT_EQ(GetPixel(canvas.dc, 1, 1), RGB(12, 11, 10));
  info.bmiHeader.biHeight = 2;  // bottom-up: the first row read is the bottom line
  std::vector<BYTE> bottomUp(16, 0xEE);
  EXPECT_EQ(GetDIBits(0, canvas.bitmap, 0, 2, bottomUp.data(), &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(bottomUp, (std::vector<BYTE>{7, 8, 9, 0, 10, 11, 12, 0, 1, 2, 3, 0, 4, 5, 6, 0}));
}

}  // namespace
