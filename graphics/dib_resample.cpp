// cDIBSection: bilinear resampling.
//
// The arithmetic is fixed to the bit: the scales are divided in double precision and
// kept as 32-bit floats, positions and fractions are 32-bit floats, and each blend is
// computed in double precision and rounded to the nearest integer, halves to even.
// Memory rows are used as they lie, so the interpolation is anchored at the bottom-left.
// Each blend is computed once and used by every destination pixel that needs it; the
// result is the same as blending the 12 neighbour bytes afresh for each pixel.

#include <cmath>
#include <limits>
#include <vector>

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
  // Without a bitmap there is nothing to copy or blend, at the same size or any other.
  if (m_hDib == 0) tamso::RaiseStandardError(tamso::kErrSubscriptOutOfRange);
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
  const tamso::DibByteView target = destination.PixelView();
  const LONG width = Width(), height = Height();
  const LONG targetWidth = destination.Width(), targetHeight = destination.Height();
  // Without a destination pixel nothing is read.
  if (targetWidth <= 0 || targetHeight <= 0) return;
  const auto xScale = static_cast<float>((static_cast<double>(width) - 1) / targetWidth);
  const auto yScale = static_cast<float>((static_cast<double>(height) - 1) / targetHeight);

  // A destination column always samples the same source pixels with the same fraction,
  // and a destination row the same two source rows: each is worked out once.
  struct Column {
    LONG offset;  // byte offset of the left neighbour in a row; -1 outside the row
    double fraction;
  };
  std::vector<Column> columns(static_cast<std::size_t>(targetWidth));
  for (LONG x = 0; x < targetWidth; ++x) {
    const Sample sample = SampleAt(x, xScale);
    // Byte offsets of the two neighbours must fit 32 bits, as the view's indexes do.
    const std::int64_t offset = std::int64_t{3} * sample.whole;
    if (offset > std::numeric_limits<LONG>::max() - 5) tamso::RaiseStandardError(tamso::kErrOverflow);
    columns[static_cast<std::size_t>(x)] =
        Column{offset < 0 ? -1 : static_cast<LONG>(offset), sample.fraction};
  }

  // The vertical blends of a destination row, for every byte of the two source rows; the
  // blends a pixel needs are then those of its two neighbours, as if made for it alone.
  std::vector<double> vertical(static_cast<std::size_t>(source.bytesPerRow()));
  for (LONG y = 0; y < targetHeight; ++y) {
    const Sample row = SampleAt(y, yScale);
    const BYTE* lower = source.rowAt(row.whole);
    const BYTE* upper = source.rowAt(row.whole + 1);
    const double dy = row.fraction;
    for (std::size_t c = 0; c < vertical.size(); ++c) vertical[c] = Blend(dy, lower[c], upper[c]);

    BYTE* out = target.rowAt(y);
    target.requireColumns(0, 3 * targetWidth - 1);
    for (LONG x = 0; x < targetWidth; ++x) {
      const Column& column = columns[static_cast<std::size_t>(x)];
      // The 12 neighbour bytes: blue, green, red of pixels iX and iX + 1 in both rows.
      source.requireColumns(column.offset, column.offset + 5);
      const double* left = vertical.data() + column.offset;
      const double dx = column.fraction;
      BYTE* pixel = out + 3 * x;
      for (int k = 0; k < 3; ++k) pixel[k] = Clamped(Blend(dx, left[k], left[k + 3]));
    }
  }
}
