#include <gtest/gtest.h>

#include <vector>

#include "graphics/dib_section.h"
#include "tests/graphics/test_support.h"

namespace {

std::vector<BYTE> MemoryRow(const cDIBSection& dib, LONG r) {
  const BYTE* p = dib.DIBSectionBitsPtr() + static_cast<std::ptrdiff_t>(r) * dib.BytesPerScanLine();
  return {p, p + 3 * dib.Width()};
}

TEST(Resample, WideningBlendsAcrossAndTheSameSizeIsAPlainCopy) {
  cDIBSection source;
  ASSERT_TRUE(source.Create(2, 2));
  for (LONG r = 0; r < 2; ++r) source.DIBSectionBitsPtr()[r * 8 + 5] = 255;  // right pixels red
  const auto wide = source.Resample(2, 4);
  ASSERT_TRUE(wide);
  // 63.75 -> 64, 127.5 -> 128, 191.25 -> 191.
  const std::vector<BYTE> expected = {0, 0, 0, 0, 0, 64, 0, 0, 128, 0, 0, 191};
  EXPECT_EQ(std::pair(MemoryRow(*wide, 0), MemoryRow(*wide, 1)), std::pair(expected, expected));
  const auto copy = source.Resample(2, 2);
  ASSERT_TRUE(copy);
  EXPECT_TRUE(MemoryRow(*copy, 1) == MemoryRow(source, 1) &&
              copy->DIBSectionBitsPtr() != source.DIBSectionBitsPtr());
}

TEST(Resample, BlendsVerticallyFirstAndRoundsEachBlendHalfToEven) {
  cDIBSection source;
  ASSERT_TRUE(source.Create(2, 2));
  source.DIBSectionBitsPtr()[3] = 5;  // blue of memory row 0: 0, 5
  source.DIBSectionBitsPtr()[8] = 5;  // and of memory row 1: 5, 0
  const auto result = source.Resample(4, 4);
  ASSERT_TRUE(result);
  // 2.5 gives 2 in the first row, in the third (vertically) and in the fourth.
  const std::vector<std::vector<BYTE>> blue = {{0, 1, 2, 4}, {1, 2, 2, 3}, {2, 2, 2, 2}, {4, 3, 2, 2}};
  for (LONG r = 0; r < 4; ++r) {
    std::vector<BYTE> row = MemoryRow(*result, r), rowBlue;
    for (std::size_t x = 0; x < 4; ++x) rowBlue.push_back(row[3 * x]);
    EXPECT_EQ(rowBlue, blue[static_cast<std::size_t>(r)]) << r;
  }
}

TEST(Resample, SourcesThinnerThanTwoPixelsRaiseErrorNineAndImpossibleSizesGiveNothing) {
  for (auto [w, h] : {std::pair{2, 1}, std::pair{1, 2}}) {
    cDIBSection source;
    ASSERT_TRUE(source.Create(w, h));
    EXPECT_EQ(tamso::testing::ErrorOf([&] { source.Resample(4, 4); }).number(),
              tamso::kErrSubscriptOutOfRange);
  }
  cDIBSection source;
  ASSERT_TRUE(source.Create(64, 48));
  EXPECT_TRUE(source.Resample(11, 13));  // shrinking reads no pixel past the edges
  EXPECT_TRUE(!source.Resample(0, 4) && !source.Resample(4, -1));
}

}  // namespace
