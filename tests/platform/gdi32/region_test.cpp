#include "platform/gdi32/region.h"

#include <gtest/gtest.h>

#include <bitset>
#include <random>
#include <tuple>
#include <vector>

#include "platform/gdi32/wingdi.h"
#include "platform/runtime/byte_reader.h"

namespace tamso {
namespace {

constexpr int kSide = 24;
using Pixels = std::bitset<kSide * kSide>;
using Op = Region::Op;

Pixels PixelsOf(const RECT& r) {
  Pixels pixels;
  for (LONG y = std::min(r.top, r.bottom); y < std::max(r.top, r.bottom); ++y)
    for (LONG x = std::min(r.left, r.right); x < std::max(r.left, r.right); ++x)
      pixels.set(static_cast<std::size_t>(y * kSide + x));
  return pixels;
}

// The one y-x banded form of a pixel set: each row cut into spans, and runs of rows with
// the same spans joined into one band. Windows keeps regions in this form.
std::vector<RECT> BandsOf(const Pixels& pixels) {
  std::vector<RECT> bands;
  std::vector<std::pair<LONG, LONG>> previous, row;
  for (LONG y = 0, top = 0; y <= kSide; ++y, row.clear()) {
    for (LONG x = 0; y < kSide && x < kSide; ++x) {
      if (!pixels[static_cast<std::size_t>(y * kSide + x)]) continue;
      if (row.empty() || row.back().second != x) row.push_back({x, x});
      ++row.back().second;
    }
    if (row == previous) continue;
    for (auto [left, right] : previous) bands.push_back({left, top, right, y});
    previous = row, top = y;
  }
  return bands;
}

TEST(Region, EveryOperationGivesTheBandedFormOfItsPixels) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<LONG> coord(0, kSide);
  const auto randomRect = [&] { return RECT{coord(rng), coord(rng), coord(rng), coord(rng)}; };
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    Region a;
    Pixels pa, pb;
    for (int i = 0; i < 4; ++i) {
      const RECT r = randomRect();
      a.combineRect(r, Op::Xor);  // inverted rectangles are put right
      pa ^= PixelsOf(r);
    }
    std::vector<RECT> list(3);
    for (RECT& r : list)
      if (r = randomRect(); r.left < r.right && r.top < r.bottom) pb |= PixelsOf(r);  // inverted: left out
    const Region b = Region::FromRects(list);
    ASSERT_EQ(a.rects(), BandsOf(pa));
    ASSERT_EQ(b.rects(), BandsOf(pb));
    for (auto [op, pixels] :
         {std::pair{Op::And, pa & pb}, {Op::Or, pa | pb}, {Op::Xor, pa ^ pb}, {Op::Diff, pa & ~pb}})
      ASSERT_EQ(Region::Combine(a, b, op).rects(), BandsOf(pixels));
  }
}

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
  const std::tuple<int, HRGN, int, Words> cases[] = {
      {RGN_AND, b, SIMPLEREGION, {5, 5, 10, 10}},
      {RGN_AND, far, NULLREGION, {}},
      {RGN_OR, b, COMPLEXREGION, {0, 0, 10, 5, 0, 5, 15, 10, 5, 10, 15, 15}},
      {RGN_XOR, b, COMPLEXREGION, {0, 0, 10, 5, 0, 5, 5, 10, 10, 5, 15, 10, 5, 10, 15, 15}},
      {RGN_DIFF, b, COMPLEXREGION, {0, 0, 10, 5, 0, 5, 5, 10}},
      {RGN_COPY, 0, SIMPLEREGION, {0, 0, 10, 10}},
      {6, b, ERROR, {0, 0, 10, 10}},  // an unknown mode leaves the destination alone
      {RGN_OR, 0, ERROR, {0, 0, 10, 10}},
  };
  for (const auto& [mode, second, kind, rects] : cases) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(CombineRgn(out, a, second, mode), kind);
    const Words data = DataOf(out);
    EXPECT_EQ(Words(data.begin() + 8, data.end()), rects);
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

}  // namespace
}  // namespace tamso
