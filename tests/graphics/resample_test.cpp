#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "graphics/dib_section.h"
#include "tests/graphics/test_support.h"

namespace {

using tamso::testing::ErrorNumberOf;

// Sets channel k of pixel x in memory row r.
void Put(cDIBSection& dib, LONG x, LONG r, BYTE blue, BYTE green, BYTE red) {
  BYTE* p = dib.DIBSectionBitsPtr() + static_cast<std::ptrdiff_t>(r) * dib.BytesPerScanLine() + 3 * x;
  p[0] = blue, p[1] = green, p[2] = red;
}

std::vector<BYTE> MemoryRow(const cDIBSection& dib, LONG r) {
  const BYTE* p = dib.DIBSectionBitsPtr() + static_cast<std::ptrdiff_t>(r) * dib.BytesPerScanLine();
  return {p, p + 3 * dib.Width()};
}

TEST(Resample, WideningBlendsAcrossWithHalvesToEven) {
  cDIBSection source;
  ASSERT_TRUE(source.Create(2, 2));
  for (LONG r = 0; r < 2; ++r) {
    Put(source, 0, r, 0, 0, 0);
    Put(source, 1, r, 0, 0, 255);
  }
  const auto wide = source.Resample(2, 4);
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->Width(), 4);
  EXPECT_EQ(wide->Height(), 2);
  // 63.75 -> 64, 127.5 -> 128, 191.25 -> 191.
  const std::vector<BYTE> expected = {0, 0, 0, 0, 0, 64, 0, 0, 128, 0, 0, 191};
  EXPECT_EQ(MemoryRow(*wide, 0), expected);
  EXPECT_EQ(MemoryRow(*wide, 1), expected);
}

TEST(Resample, HeighteningStopsOneStepShortOfTheLastRow) {
  cDIBSection source;
  ASSERT_TRUE(source.Create(2, 2));
  for (LONG x = 0; x < 2; ++x) {
    Put(source, x, 0, 0, 0, 0);
    Put(source, x, 1, 200, 200, 200);
  }
  const auto tall = source.Resample(4, 2);
  ASSERT_TRUE(tall);
  const BYTE greys[] = {0, 50, 100, 150};
  for (LONG r = 0; r < 4; ++r) EXPECT_EQ(MemoryRow(*tall, r), std::vector<BYTE>(6, greys[r])) << "row " << r;
}

TEST(Resample, VerticalHalvesRoundToEven) {
  // With two rows resampled to four, destination row 2 samples at 0.5: 1 and 2 give 2,
  // 2 and 3 give 2, 5 and 6 give 6.
  cDIBSection source;
  ASSERT_TRUE(source.Create(2, 2));
  Put(source, 0, 0, 1, 2, 5);
  Put(source, 0, 1, 2, 3, 6);
  Put(source, 1, 0, 1, 2, 5);
  Put(source, 1, 1, 2, 3, 6);
  const auto tall = source.Resample(4, 2);
  ASSERT_TRUE(tall);
  EXPECT_EQ(MemoryRow(*tall, 2), (std::vector<BYTE>{2, 2, 6, 2, 2, 6}));
}

TEST(Resample, DownscalingSamplesBetweenPixelsAndNeverReadsTheLastRowOrColumn) {
  cDIBSection source;
  ASSERT_TRUE(source.Create(4, 4));
  for (LONG r = 0; r < 4; ++r)
    for (LONG x = 0; x < 4; ++x)
      Put(source, x, r, 0, 0, (r == 3 || x == 3) ? 255 : static_cast<BYTE>(10 * r + x));
  // Pixel 1 of memory row 1 samples at (1.5, 1.5): source pixels 1 and 2 of rows 1 and 2,
  // 11, 12, 21 and 22 with equal weights: (11 + 12 + 21 + 22) / 4 = 16.5, as two blends:
  // columns 16 (16.0) and 17 (17.0), then 16.5 -> 16. Pixel 0 blends 10 and 20: 15.
  const auto small = source.Resample(2, 2);
  ASSERT_TRUE(small);
  EXPECT_EQ(MemoryRow(*small, 1), (std::vector<BYTE>{0, 0, 15, 0, 0, 16}));
  EXPECT_EQ(MemoryRow(*small, 0), (std::vector<BYTE>{0, 0, 0, 0, 0, 2}));  // (1,0)+(2,0): 1.5 -> 2
}

TEST(Resample, TheSameSizeIsAPlainCopyAndOneChangedSizeInterpolates) {
  cDIBSection source;
  ASSERT_TRUE(source.Create(3, 2));
  for (LONG r = 0; r < 2; ++r)
    for (LONG x = 0; x < 3; ++x) Put(source, x, r, static_cast<BYTE>(x), static_cast<BYTE>(r), 99);
  const auto copy = source.Resample(2, 3);
  ASSERT_TRUE(copy);
  for (LONG r = 0; r < 2; ++r) EXPECT_EQ(MemoryRow(*copy, r), MemoryRow(source, r));
  EXPECT_NE(copy->DIBSectionBitsPtr(), source.DIBSectionBitsPtr());

  // Only the width changes: interpolation. Row 1 samples halfway between the two rows
  // (green 0.5 -> 0) and never reaches the last one; blue runs 0, 0.5 -> 0, 1, 1.5 -> 2.
  const auto wider = source.Resample(2, 4);
  ASSERT_TRUE(wider);
  EXPECT_EQ(MemoryRow(*wider, 1), (std::vector<BYTE>{0, 0, 99, 0, 0, 99, 1, 0, 99, 2, 0, 99}));
}

// The interpolation written out pixel by pixel, straight from its definition.
std::vector<BYTE> ReferenceResample(const cDIBSection& source, LONG newWidth, LONG newHeight,
                                    LONG newStride) {
  const auto xScale = static_cast<float>(static_cast<double>(source.Width() - 1) / newWidth);
  const auto yScale = static_cast<float>(static_cast<double>(source.Height() - 1) / newHeight);
  const auto at = [&](LONG c, LONG r) -> double {
    return source.DIBSectionBitsPtr()[r * source.BytesPerScanLine() + c];
  };
  std::vector<BYTE> out(static_cast<std::size_t>(newStride * newHeight), 0);
  for (LONG y = 0; y < newHeight; ++y) {
    const auto fY = static_cast<float>(y * static_cast<double>(yScale));
    const auto iY = static_cast<LONG>(std::floor(fY));
    const double dy = static_cast<float>(fY - static_cast<float>(iY));
    for (LONG x = 0; x < newWidth; ++x) {
      const auto fX = static_cast<float>(x * static_cast<double>(xScale));
      const auto iX = static_cast<LONG>(std::floor(fX));
      const double dx = static_cast<float>(fX - static_cast<float>(iX));
      for (LONG k = 0; k < 3; ++k) {
        const double left = std::nearbyint((1 - dy) * at(3 * iX + k, iY) + dy * at(3 * iX + k, iY + 1));
        const double right =
            std::nearbyint((1 - dy) * at(3 * iX + 3 + k, iY) + dy * at(3 * iX + 3 + k, iY + 1));
        const double value = std::nearbyint((1 - dx) * left + dx * right);
        out[static_cast<std::size_t>(y * newStride + 3 * x + k)] =
            static_cast<BYTE>(std::clamp(value, 0.0, 255.0));
      }
    }
  }
  return out;
}

TEST(Resample, MatchesThePixelByPixelDefinitionOnNoise) {
  std::mt19937 random(7);
  for (auto [w, h, nw, nh] : {std::array{17, 9, 40, 23}, std::array{64, 48, 13, 11}, std::array{5, 30, 5, 61},
                              std::array{33, 2, 100, 3}, std::array{2, 2, 1, 1}}) {
    cDIBSection source;
    ASSERT_TRUE(source.Create(w, h));
    for (LONG i = 0; i < source.BytesPerScanLine() * h; ++i)
      source.DIBSectionBitsPtr()[i] = static_cast<BYTE>(random());
    const auto result = source.Resample(nh, nw);
    ASSERT_TRUE(result);
    const std::vector<BYTE> expected = ReferenceResample(source, nw, nh, result->BytesPerScanLine());
    const BYTE* bits = result->DIBSectionBitsPtr();
    ASSERT_EQ(std::vector<BYTE>(bits, bits + expected.size()), expected)
        << w << "x" << h << " to " << nw << "x" << nh;
  }
}

TEST(Resample, SourcesThinnerThanTwoPixelsRaiseErrorNine) {
  for (auto [w, h] : {std::pair{2, 1}, std::pair{1, 2}}) {
    cDIBSection source;
    ASSERT_TRUE(source.Create(w, h));
    EXPECT_EQ(ErrorNumberOf([&] { source.Resample(4, 4); }), tamso::kErrSubscriptOutOfRange) << w << "x" << h;
  }
  cDIBSection never;
  EXPECT_EQ(ErrorNumberOf([&] { never.Resample(2, 2); }), tamso::kErrSubscriptOutOfRange);
}

TEST(Resample, ASizeThatCannotBeMadeGivesNoObject) {
  cDIBSection source;
  ASSERT_TRUE(source.Create(2, 2));
  EXPECT_EQ(source.Resample(0, 4), nullptr);
  EXPECT_EQ(source.Resample(4, -1), nullptr);
}

}  // namespace
