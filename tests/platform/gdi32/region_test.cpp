#include "platform/gdi32/region.h"

#include <gtest/gtest.h>

#include <bitset>
#include <random>
#include <vector>

namespace tamso {
namespace {

constexpr int kSide = 24;
using Pixels = std::bitset<kSide * kSide>;

Pixels PixelsOf(const Region& region) {
  Pixels pixels;
  region.forEachRect([&](const RECT& r) {
    for (LONG y = r.top; y < r.bottom; ++y)
      for (LONG x = r.left; x < r.right; ++x) pixels.set(static_cast<std::size_t>(y * kSide + x));
  });
  return pixels;
}

Pixels PixelsOf(const RECT& r) {
  Pixels pixels;
  for (LONG y = std::min(r.top, r.bottom); y < std::max(r.top, r.bottom); ++y)
    for (LONG x = std::min(r.left, r.right); x < std::max(r.left, r.right); ++x)
      pixels.set(static_cast<std::size_t>(y * kSide + x));
  return pixels;
}

Pixels Apply(Region::Op op, const Pixels& a, const Pixels& b) {
  switch (op) {
    case Region::Op::And:
      return a & b;
    case Region::Op::Or:
      return a | b;
    case Region::Op::Xor:
      return a ^ b;
    case Region::Op::Diff:
      return a & ~b;
  }
  return {};
}

// The rectangles are y-x banded with no touching spans and no two touching equal bands.
::testing::AssertionResult IsBanded(const Region& region) {
  const std::vector<RECT> rects = region.rects();
  std::vector<std::vector<std::pair<LONG, LONG>>> bands;
  std::vector<std::pair<LONG, LONG>> rows;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const RECT& r = rects[i];
    if (r.left >= r.right || r.top >= r.bottom)
      return ::testing::AssertionFailure() << "empty rectangle " << i;
    if (i > 0) {
      const RECT& p = rects[i - 1];
      const bool sameBand = p.top == r.top && p.bottom == r.bottom;
      if (sameBand && r.left <= p.right) return ::testing::AssertionFailure() << "spans touch at " << i;
      if (!sameBand && r.top < p.bottom) return ::testing::AssertionFailure() << "bands overlap at " << i;
      if (!sameBand) bands.emplace_back();
    } else {
      bands.emplace_back();
    }
    bands.back().emplace_back(r.left, r.right);
    if (bands.back().size() == 1) rows.emplace_back(r.top, r.bottom);
  }
  for (std::size_t b = 1; b < bands.size(); ++b)
    if (rows[b].first == rows[b - 1].second && bands[b] == bands[b - 1])
      return ::testing::AssertionFailure() << "bands " << b - 1 << " and " << b << " should be one";
  if (rects.size() != region.rectCount()) return ::testing::AssertionFailure() << "rectangle count is stale";
  return ::testing::AssertionSuccess();
}

RECT RandomRect(std::mt19937& rng) {
  std::uniform_int_distribution<LONG> coord(0, kSide);
  return RECT{coord(rng), coord(rng), coord(rng), coord(rng)};
}

TEST(Region, UnionIsCutIntoBandsAsThePlatformCutsIt) {
  const Region r =
      Region::Combine(Region::FromRect({0, 0, 10, 10}), Region::FromRect({5, 5, 15, 15}), Region::Op::Or);
  EXPECT_EQ(r.rects(), (std::vector<RECT>{{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}));
  EXPECT_EQ(r.extents(), (RECT{0, 0, 15, 15}));
}

TEST(Region, RectanglesAreNormalisedOrEmpty) {
  EXPECT_EQ(Region::FromRect({10, 8, 2, 1}).rects(), (std::vector<RECT>{{2, 1, 10, 8}}));
  EXPECT_TRUE(Region::FromRect({5, 5, 5, 9}).empty());
  EXPECT_EQ(Region::FromRect({5, 5, 5, 9}).extents(), (RECT{0, 0, 0, 0}));
}

TEST(Region, EveryOperationMatchesThePixelSetsAndStaysBanded) {
  std::mt19937 rng(1234);
  const Region::Op ops[] = {Region::Op::And, Region::Op::Or, Region::Op::Xor, Region::Op::Diff};
  for (int round = 0; round < 300; ++round) {
    Region a, b;
    for (int i = 0; i < 4; ++i) a.combineRect(RandomRect(rng), Region::Op::Xor);
    for (int i = 0; i < 3; ++i) b.combineRect(RandomRect(rng), Region::Op::Or);
    ASSERT_TRUE(IsBanded(a));
    ASSERT_TRUE(IsBanded(b));
    for (Region::Op op : ops) {
      const Region general = Region::Combine(a, b, op);
      ASSERT_EQ(PixelsOf(general), Apply(op, PixelsOf(a), PixelsOf(b))) << "round " << round;
      ASSERT_TRUE(IsBanded(general)) << "round " << round;

      // The in-place path with one rectangle gives the very same region.
      const RECT r = RandomRect(rng);
      Region inPlace = a;
      inPlace.combineRect(r, op);
      ASSERT_EQ(PixelsOf(inPlace), Apply(op, PixelsOf(a), PixelsOf(r))) << "round " << round;
      ASSERT_EQ(inPlace, Region::Combine(a, Region::FromRect(r), op)) << "round " << round;
    }
  }
}

TEST(Region, FromRectsUnitesAnyOrderAndSkipsEmptyOnes) {
  std::mt19937 rng(99);
  for (int round = 0; round < 200; ++round) {
    std::vector<RECT> rects;
    Pixels expected;
    for (int i = 0; i < 6; ++i) {
      RECT r = RandomRect(rng);
      rects.push_back(r);
      if (r.left < r.right && r.top < r.bottom) expected |= PixelsOf(r);
    }
    const Region region = Region::FromRects(rects);
    ASSERT_EQ(PixelsOf(region), expected);
    ASSERT_TRUE(IsBanded(region));
    // A region's own rectangles come back as the same region.
    ASSERT_EQ(Region::FromRects(region.rects()), region);
  }
}

TEST(Region, BandedInputWithTouchingPiecesIsJoined) {
  const std::vector<RECT> rects = {{0, 0, 2, 1}, {2, 0, 5, 1}, {0, 1, 5, 3}};
  EXPECT_EQ(Region::FromRects(rects).rects(), (std::vector<RECT>{{0, 0, 5, 3}}));
}

TEST(Region, ContainsAndOffset) {
  Region r =
      Region::Combine(Region::FromRect({0, 0, 4, 4}), Region::FromRect({1, 1, 3, 3}), Region::Op::Diff);
  EXPECT_TRUE(r.contains(0, 0));
  EXPECT_FALSE(r.contains(1, 1));
  EXPECT_FALSE(r.contains(4, 0));
  EXPECT_TRUE(r.contains(3, 3));
  r.offset(10, -2);
  EXPECT_TRUE(r.contains(10, -2));
  EXPECT_FALSE(r.contains(11, -1));
  EXPECT_EQ(r.extents(), (RECT{10, -2, 14, 2}));
}

}  // namespace
}  // namespace tamso
