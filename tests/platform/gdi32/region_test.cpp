#include "platform/gdi32/region.h"

#include <gtest/gtest.h>

#include <bitset>
#include <random>
#include <vector>

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
  std::vector<RECT> bands, row, previous;
  const auto flush = [&] { bands.insert(bands.end(), previous.begin(), previous.end()); };
  for (LONG y = 0; y <= kSide; ++y) {
    row.clear();
    for (LONG x = 0; y < kSide && x < kSide; ++x) {
      if (!pixels[static_cast<std::size_t>(y * kSide + x)]) continue;
      if (!row.empty() && row.back().right == x)
        ++row.back().right;
      else
        row.push_back({x, y, x + 1, y + 1});
    }
    const bool same = row.size() == previous.size() &&
                      std::equal(row.begin(), row.end(), previous.begin(), [](const RECT& a, const RECT& b) {
                        return a.left == b.left && a.right == b.right && a.top == b.bottom;
                      });
    if (same) {
      for (RECT& r : previous) ++r.bottom;
    } else {
      flush();
      previous = row;
    }
  }
  flush();
  return bands;
}

Pixels Apply(Op op, const Pixels& a, const Pixels& b) {
  return op == Op::And ? a & b : op == Op::Or ? a | b : op == Op::Xor ? a ^ b : a & ~b;
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
    for (RECT& r : list) {
      r = randomRect();
      if (r.left < r.right && r.top < r.bottom) pb |= PixelsOf(r);  // inverted ones are left out
    }
    const Region b = Region::FromRects(list);
    ASSERT_EQ(a.rects(), BandsOf(pa));
    ASSERT_EQ(b.rects(), BandsOf(pb));
    ASSERT_EQ(a.rectCount(), a.rects().size());
    for (Op op : {Op::And, Op::Or, Op::Xor, Op::Diff}) {
      ASSERT_EQ(Region::Combine(a, b, op).rects(), BandsOf(Apply(op, pa, pb)));
      const RECT r = randomRect();
      Region inPlace = a;
      inPlace.combineRect(r, op);
      ASSERT_EQ(inPlace.rects(), BandsOf(Apply(op, pa, PixelsOf(r))));
    }
  }
}

}  // namespace
}  // namespace tamso
