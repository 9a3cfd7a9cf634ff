#include <gtest/gtest.h>

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

HRGN FromBlock(const Words& words, DWORD size = 0) {
  std::vector<std::uint8_t> bytes(words.size() * 4);
  for (std::size_t i = 0; i < words.size(); ++i) tamso::StoreU32(bytes, 4 * i, words[i]);
  return ExtCreateRegion(nullptr, size ? size : static_cast<DWORD>(bytes.size()),
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
  // The block has the platform's header, so region files are alike on both.
  CombineRgn(out, a, b, RGN_OR);
  const Words data = DataOf(out);
  EXPECT_EQ(Words(data.begin(), data.begin() + 8), (Words{32, 1, 3, 48, 0, 0, 15, 15}));
  CombineRgn(out, a, far, RGN_AND);
  EXPECT_EQ(DataOf(out), (Words{32, 1, 0, 0, 0, 0, 0, 0}));
  for (HRGN h : {a, b, far, out}) EXPECT_TRUE(DeleteObject(h));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), ERROR);
}

TEST(RegionData, BlocksThePlatformRejectsGiveNoRegionAndTheRestIsNotTrusted) {
  const Words good = {32, 1, 1, 16, 0, 0, 4, 4, 0, 0, 4, 4};
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

// A memory DC holding a new 1 x 1 bitmap, freed at the end of the scope.
struct Canvas {
  HDC dc = CreateCompatibleDC(0);
  HBITMAP bitmap = 0;
  HGDIOBJ kept = 0;
  explicit Canvas(WORD bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1, 1, 1, bits};
    void* pixels = nullptr;
    bitmap = CreateDIBSection(0, &info, DIB_RGB_COLORS, &pixels, 0, 0);
    kept = SelectObject(dc, bitmap);
  }
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
  Canvas source(24), target(32);
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

}  // namespace
