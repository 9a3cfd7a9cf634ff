#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/gdi32/wingdi.h"
#include "platform/runtime/byte_reader.h"

namespace {

using Words = std::vector<std::uint32_t>;

// The region data block of `region`, as 32-bit words.
Words DataOf(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<std::uint8_t> block(size);
  EXPECT_EQ(GetRegionData(region, size, reinterpret_cast<RGNDATA*>(block.data())), size);
  Words words;
  for (std::size_t at = 0; at + 4 <= block.size(); at += 4) words.push_back(tamso::LoadU32(block, at));
  return words;
}

HRGN FromBlock(const Words& words, DWORD size = 0, const XFORM* transform = nullptr) {
  std::vector<std::uint8_t> bytes(words.size() * 4);
  for (std::size_t i = 0; i < words.size(); ++i) tamso::StoreU32(bytes, 4 * i, words[i]);
  return ExtCreateRegion(transform, size ? size : static_cast<DWORD>(bytes.size()),
                         reinterpret_cast<const RGNDATA*>(bytes.data()));
}

TEST(RegionCalls, CombineGivesTheBandsAndTheKindOfItsResult) {
  const HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(15, 15, 5, 5);  // swapped corners
  const HRGN far = CreateRectRgn(20, 20, 30, 30), out = CreateRectRgn(0, 0, 0, 0);
  const struct {
    int mode;
    HRGN second;
    int kind;
    Words rects;
  } cases[] = {
      {RGN_AND, b, SIMPLEREGION, {5, 5, 10, 10}},
      {RGN_AND, far, NULLREGION, {}},
      {RGN_OR, b, COMPLEXREGION, {0, 0, 10, 5, 0, 5, 15, 10, 5, 10, 15, 15}},
      {RGN_XOR, b, COMPLEXREGION, {0, 0, 10, 5, 0, 5, 5, 10, 10, 5, 15, 10, 5, 10, 15, 15}},
      {RGN_DIFF, b, COMPLEXREGION, {0, 0, 10, 5, 0, 5, 5, 10}},
      {RGN_COPY, 0, SIMPLEREGION, {0, 0, 10, 10}},
      {6, b, ERROR, {0, 0, 10, 10}},  // an unknown mode leaves the destination alone
      {RGN_OR, 0, ERROR, {0, 0, 10, 10}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(CombineRgn(out, a, c.second, c.mode), c.kind);
    const Words data = DataOf(out);
    EXPECT_EQ(Words(data.begin() + 8, data.end()), c.rects);
  }
  EXPECT_EQ(PtInRegion(out, 9, 9), TRUE);
  EXPECT_EQ(PtInRegion(out, 10, 9), FALSE);
  EXPECT_EQ(OffsetRgn(out, 5, -1), SIMPLEREGION);
  RECT box;
  EXPECT_EQ(GetRgnBox(out, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{5, -1, 15, 9}));
  EXPECT_EQ(GetRgnBox(out, nullptr), ERROR);
  EXPECT_EQ(OffsetRgn(out, 1 << 27, 0), ERROR);
  // The destination may be a source; a missing or deleted handle is an error.
  EXPECT_EQ(CombineRgn(a, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(CombineRgn(0, a, b, RGN_OR), ERROR);
  for (HRGN h : {a, b, far, out}) EXPECT_TRUE(DeleteObject(h));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), ERROR);
}

TEST(RegionData, TheBlockHasThePlatformsHeaderAndTooSmallABufferGetsNothing) {
  const HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15);
  CombineRgn(a, a, b, RGN_OR);
  EXPECT_EQ(DataOf(a), (Words{32, 1, 3, 48, 0, 0, 15, 15, 0, 0, 10, 5, 0, 5, 15, 10, 5, 10, 15, 15}));
  std::vector<std::uint8_t> small(79, 0xEE);
  EXPECT_EQ(GetRegionData(a, 79, reinterpret_cast<RGNDATA*>(small.data())), 0u);
  EXPECT_EQ(small, std::vector<std::uint8_t>(79, 0xEE));
  const HRGN empty = CreateRectRgn(100, 100, 100, 100);
  EXPECT_EQ(DataOf(empty), (Words{32, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(GetRegionData(0, 0, nullptr), 0u);
  for (HRGN h : {a, b, empty}) DeleteObject(h);
}

TEST(RegionData, BlocksThePlatformRejectsGiveNoRegionAndTheRestIsNotTrusted) {
  const Words good = {32, 1, 1, 16, 0, 0, 4, 4, 0, 0, 4, 4};
  XFORM scale;
  scale.eM11 = 2;
  const XFORM identity;
  EXPECT_NE(FromBlock(good, 0, &identity), 0u);
  EXPECT_EQ(FromBlock(good, 0, &scale), 0u);
  EXPECT_EQ(FromBlock(good, 31), 0u);  // shorter than the header
  EXPECT_EQ(FromBlock(good, 47), 0u);  // shorter than the rectangles announced
  EXPECT_EQ(ExtCreateRegion(nullptr, 48, nullptr), 0u);
  for (const Words& bad :
       {Words{32, 1, 2, 32, 0, 0, 4, 4, 0, 0, 4, 4}, Words{32, 1, 0xFFFFFFFF, 0, 0, 0, 0, 0},
        Words{31, 1, 1, 16, 0, 0, 4, 4, 0, 0, 4, 4}, Words{0, 1, 0, 0, 0, 0, 0, 0}})
    EXPECT_EQ(FromBlock(bad), 0u);

  // Any type, a wrong size and box, rectangles out of order, overlapping, empty and
  // inverted ones, and bytes after the last rectangle: the block comes back banded.
  const HRGN region = FromBlock({40, 7, 5, 999, 1, 2, 3, 4, 5, 5, 8, 8, 0,       0, 6, 6,  //
                                 9,  9, 9, 12,  4, 4, 2, 2, 0, 6, 2, 8, 0xABCDEF});
  ASSERT_NE(region, 0u);
  EXPECT_EQ(DataOf(region),
            (Words{32, 1, 4, 64, 0, 0, 8, 8, 0, 0, 6, 5, 0, 5, 8, 6, 0, 6, 2, 8, 5, 6, 8, 8}));
  DeleteObject(region);
}

HBITMAP MakeDib(LONG width, LONG height, WORD bits, void** pixels) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, bits};
  return CreateDIBSection(0, &info, DIB_RGB_COLORS, pixels, 0, 0);
}

TEST(DibSections, ValidHeadersMakeAZeroedBitmapRowsBottomUpForAPositiveHeight) {
  void* pixels = reinterpret_cast<void*>(1);
  const int refused[][3] = {{0, 5, 24}, {-3, 5, 24}, {3, 0, 24}, {3, 5, 8}, {100000, 100000, 24}};
  for (const auto& [w, h, bits] : refused) {
    EXPECT_EQ(MakeDib(w, h, static_cast<WORD>(bits), &pixels), 0u) << w << "x" << h << "x" << bits;
    EXPECT_EQ(pixels, nullptr);
  }
  EXPECT_EQ(CreateDIBSection(0, nullptr, DIB_RGB_COLORS, &pixels, 0, 0), 0u);

  for (LONG height : {2, -2}) {
    const HBITMAP dib = MakeDib(5, height, 24, &pixels);
    ASSERT_NE(dib, 0u);
    const auto* bytes = static_cast<const BYTE*>(pixels);
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + 32), std::vector<BYTE>(32, 0));
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ kept = SelectObject(dc, dib);
    SetPixel(dc, 0, 0, RGB(1, 2, 3));  // the top line
    const std::size_t topRow = height > 0 ? 16 : 0;
    EXPECT_EQ(std::vector<BYTE>(bytes + topRow, bytes + topRow + 3), (std::vector<BYTE>{3, 2, 1}));
    SelectObject(dc, kept);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(dib));
  }
}

// A memory DC holding a new bitmap, freed at the end of the scope.
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
  const std::pair<DWORD, COLORREF> cases[] = {
      {BLACKNESS, 0},       {NOTSRCERASE, ~(s | d)}, {NOTSRCCOPY, ~s},      {SRCERASE, s & ~d},
      {DSTINVERT, ~d},      {PATINVERT, p ^ d},      {SRCINVERT, s ^ d},    {SRCAND, s & d},
      {MERGEPAINT, ~s | d}, {MERGECOPY, p & s},      {SRCCOPY, s},          {SRCPAINT, s | d},
      {PATCOPY, p},         {PATPAINT, p | ~s | d},  {WHITENESS, 0xFFFFFF},
  };
  Canvas source(1, 1), target(1, 1, 32);
  SetPixel(source.dc, 0, 0, s);
  const HBRUSH brush = CreateSolidBrush(p);
  const HGDIOBJ oldBrush = SelectObject(target.dc, brush);
  for (const auto& [rop, expected] : cases) {
    SetPixel(target.dc, 0, 0, d);
    EXPECT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, rop | CAPTUREBLT));
    EXPECT_EQ(GetPixel(target.dc, 0, 0), expected & 0xFFFFFF) << std::hex << rop;
  }
  // Without a source in the operation, the source DC is not needed.
  EXPECT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, 0, 0, 0, DSTINVERT));
  EXPECT_FALSE(BitBlt(target.dc, 0, 0, 1, 1, 0, 0, 0, SRCCOPY));
  SelectObject(target.dc, oldBrush);
  DeleteObject(brush);
}

TEST(BitBlt, PixelsWhoseSourceLiesOutsideTheBitmapAreLeftAloneAndOverlapReadsOldPixels) {
  Canvas source(3, 3), target(5, 5);
  for (LONG y = 0; y < 3; ++y)
    for (LONG x = 0; x < 3; ++x) SetPixel(source.dc, x, y, RGB(x + 1, y + 1, 9));
  // From (1, 1) of the source, 4 x 4 to (2, 2) of the target: only 2 x 2 exist.
  EXPECT_TRUE(BitBlt(target.dc, 2, 2, 4, 4, source.dc, 1, 1, SRCCOPY));
  for (LONG y = 0; y < 5; ++y)
    for (LONG x = 0; x < 5; ++x)
      EXPECT_EQ(GetPixel(target.dc, x, y), x >= 2 && x < 4 && y >= 2 && y < 4 ? RGB(x, y, 9) : 0u) << x << y;
  // A source corner left of and above the bitmap copies from its first pixel on.
  EXPECT_TRUE(BitBlt(target.dc, 0, 0, 2, 2, source.dc, -1, -1, SRCCOPY));
  EXPECT_EQ(GetPixel(target.dc, 0, 0), 0u);
  EXPECT_EQ(GetPixel(target.dc, 1, 1), RGB(1, 1, 9));
  // Nothing left after clipping: nothing drawn, still a success.
  EXPECT_TRUE(BitBlt(target.dc, 10, 10, 2, 2, source.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(target.dc, 0, 0, 2, 2, source.dc, 3, 0, WHITENESS));
  EXPECT_EQ(GetPixel(target.dc, 0, 0), 0xFFFFFFu);
  // Copied onto itself one to the right: every pixel reads its old left neighbour.
  EXPECT_TRUE(BitBlt(source.dc, 1, 0, 2, 1, source.dc, 0, 0, SRCCOPY));
  for (LONG x = 0; x < 3; ++x) EXPECT_EQ(GetPixel(source.dc, x, 0), RGB(x == 0 ? 1 : x, 1, 9));
}

}  // namespace
