#pragma once
// A two-dimensional view of a bitmap's pixel memory, laid over it without copying:
// byte `column` (0 to bytesPerRow - 1) of memory row `row` (0 to rows - 1). Each index is
// tested on its own; an access outside the extents raises error 9 (index out of range).
// A view over no memory has no extent, so every access to it raises that error. The view
// never owns or frees the memory.

#include <cstddef>

#include "platform/runtime/tamso_error.h"
#include "platform/runtime/win_types.h"

namespace tamso {

class DibByteView {
 public:
  DibByteView() = default;
  DibByteView(BYTE* bits, LONG bytesPerRow, LONG rows)
      : bits_(bits),
        bytesPerRow_(bits && bytesPerRow > 0 && rows > 0 ? bytesPerRow : 0),
        rows_(bits && bytesPerRow > 0 && rows > 0 ? rows : 0) {}

  LONG bytesPerRow() const { return bytesPerRow_; }
  LONG rows() const { return rows_; }

  BYTE& operator()(LONG column, LONG row) const {
    if (!Within(column, bytesPerRow_) || !Within(row, rows_)) [[unlikely]]
      RaiseStandardError(kErrSubscriptOutOfRange);
    return bits_[static_cast<std::ptrdiff_t>(row) * bytesPerRow_ + column];
  }

  // For loops that test a block once rather than each byte: raises error 9 unless
  // columns [first, last] lie within a row...
  void requireColumns(LONG first, LONG last) const {
    if (!Within(first, bytesPerRow_) || !Within(last, bytesPerRow_)) [[unlikely]]
      RaiseStandardError(kErrSubscriptOutOfRange);
  }
  // ... and gives the start of memory row `row`, raising error 9 when it is outside.
  BYTE* rowAt(LONG row) const {
    if (!Within(row, rows_)) [[unlikely]]
      RaiseStandardError(kErrSubscriptOutOfRange);
    return bits_ + static_cast<std::ptrdiff_t>(row) * bytesPerRow_;
  }

 private:
  static bool Within(LONG index, LONG extent) { return index >= 0 && index < extent; }

  BYTE* bits_ = nullptr;
  LONG bytesPerRow_ = 0;
  LONG rows_ = 0;
};

// Rounds to the nearest integer, halves to the even neighbour, as the arithmetic of the
// pixel operations asks. Exact for |value| < 2^51: adding 1.5 * 2^52 leaves no bits
// below the unit, so the addition itself rounds, in the default rounding mode (the
// compiler keeps both steps: floating-point addition is not reassociated).
inline double RoundHalfEven(double value) {
  constexpr double kShift = 6755399441055744.0;
  return (value + kShift) - kShift;
}

}  // namespace tamso
