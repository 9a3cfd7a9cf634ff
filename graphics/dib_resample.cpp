// cDIBSection: bilinear resampling.
//
// The arithmetic is fixed to the bit: the scales are divided in double precision and
// kept as 32-bit floats, positions and fractions are 32-bit floats, and each blend is
// computed in double precision and rounded to the nearest integer, halves to even.
// Memory rows are used as they lie, so the interpolation is anchored at the bottom-left.

#include <cmath>
#include <limits>

#include "graphics/dib_section.h"

namespace {

// Source position of destination position `i` along one axis, its whole part and fraction.
struct Sample {
  LONG whole;
  float fraction;
};

Sample SampleAt(LONG i, float scale) {
  const auto position = static_cast<float>(static_cast<double>(i) * static_cast<double>(scale));
  // The whole part is a 32-bit integer.
  if (!(position > -2147483648.0f && position < 2147483648.0f))
    tamso::RaiseStandardError(tamso::kErrOverflow);
  const auto whole = static_cast<LONG>(std::floor(position));
  return Sample{whole, position - static_cast<float>(whole)};
}

LONG Blend(double fraction, double first, double second) {
  return static_cast<LONG>(tamso::RoundHalfEven((1.0 - fraction) * first + fraction * second));
}

BYTE Clamped(LONG value) { return static_cast<BYTE>(value < 0 ? 0 : (value > 255 ? 255 : value)); }

}  // namespace

std::unique_ptr<cDIBSection> cDIBSection::Resample(LONG lNewHeight, LONG lNewWidth) const {
  auto result = std::make_unique<cDIBSection>();
  if (!result->Create(lNewWidth, lNewHeight)) return nullptr;
  if (lNewWidth == Width() && lNewHeight == Height())
    result->LoadPictureBlt(m_hDC);
  else
    InterpolateBits(*result);
  return result;
}

void cDIBSection::InterpolateBits(const cDIBSection& destination) const {
  const tamso::DibByteView source = PixelView();
  const tamso::DibByteView target(destination.DIBSectionBitsPtr(), destination.BytesPerScanLine(),
                                  destination.Height());
  const LONG width = Width(), height = Height();
  const LONG targetWidth = destination.Width(), targetHeight = destination.Height();
  const auto xScale = static_cast<float>((static_cast<double>(width) - 1) / targetWidth);
  const auto yScale = static_cast<float>((static_cast<double>(height) - 1) / targetHeight);

  for (LONG y = 0; y < targetHeight; ++y) {
    const Sample row = SampleAt(y, yScale);
    for (LONG x = 0; x < targetWidth; ++x) {
      const Sample column = SampleAt(x, xScale);
      // Byte offsets of the two neighbours must fit 32 bits, as the view's indexes do.
      const std::int64_t offset = std::int64_t{3} * column.whole;
      if (offset > std::numeric_limits<LONG>::max() - 5) tamso::RaiseStandardError(tamso::kErrOverflow);
      const LONG c = offset < 0 ? -1 : static_cast<LONG>(offset);  // -1: outside the view
      // The 12 neighbour bytes: blue, green, red of pixels iX and iX + 1, rows iY and iY + 1.
      float lower[6], upper[6];
      for (LONG k = 0; k < 6; ++k) lower[k] = source(c + k, row.whole);
      for (LONG k = 0; k < 6; ++k) upper[k] = source(c + k, row.whole + 1);

      // Vertical blends of the left (0..2) and right (3..5) neighbours, then across.
      LONG columns[6];
      for (int k : {2, 1, 0, 5, 4, 3}) columns[k] = Blend(row.fraction, lower[k], upper[k]);
      LONG channels[3];
      for (int k : {2, 1, 0}) channels[k] = Blend(column.fraction, columns[k], columns[k + 3]);
      for (LONG k = 0; k < 3; ++k) target(3 * x + k, y) = Clamped(channels[k]);
    }
  }
}
