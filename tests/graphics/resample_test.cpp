#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
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
  EXPECT_EQ(MemoryRow(*wide, 0), expected);
  EXPECT_EQ(MemoryRow(*wide, 1), expected);
  const auto copy = source.Resample(2, 2);
  ASSERT_TRUE(copy);
  EXPECT_EQ(MemoryRow(*copy, 1), MemoryRow(source, 1));
  EXPECT_NE(copy->DIBSectionBitsPtr(), source.DIBSectionBitsPtr());
}

// The interpolation written out pixel by pixel: scales and offsets in float, blends in
// double, each blend rounded half to even; vertical blends first.
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
      for (LONG c = 3 * iX; c < 3 * iX + 3; ++c) {
        const double left = std::nearbyint((1 - dy) * at(c, iY) + dy * at(c, iY + 1));
        const double right = std::nearbyint((1 - dy) * at(c + 3, iY) + dy * at(c + 3, iY + 1));
        out[static_cast<std::size_t>(y * newStride + 3 * x + c - 3 * iX)] =
            static_cast<BYTE>(std::clamp(std::nearbyint((1 - dx) * left + dx * right), 0.0, 255.0));
      }
    }
  }
  return out;
}

TEST(Resample, MatchesThePixelByPixelDefinitionOnNoise) {
  std::mt19937 random(7);
  // 2 x 2 and 3 x 3 to 4 x 4 sample at halves: ties round to even.
  for (auto [w, h, nw, nh] : {std::array{17, 9, 40, 23}, std::array{64, 48, 13, 11}, std::array{5, 30, 5, 61},
                              std::array{2, 2, 4, 4}, std::array{3, 3, 4, 4}}) {
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

TEST(Resample, SourcesThinnerThanTwoPixelsRaiseErrorNineAndImpossibleSizesGiveNothing) {
  for (auto [w, h] : {std::pair{2, 1}, std::pair{1, 2}}) {
    cDIBSection source;
    ASSERT_TRUE(source.Create(w, h));
    EXPECT_EQ(tamso::testing::ErrorOf([&] { source.Resample(4, 4); }).number(),
              tamso::kErrSubscriptOutOfRange);
  }
  cDIBSection source;
  ASSERT_TRUE(source.Create(2, 2));
  EXPECT_EQ(source.Resample(0, 4), nullptr);
  EXPECT_EQ(source.Resample(4, -1), nullptr);
}

}  // namespace
