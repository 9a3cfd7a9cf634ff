#pragma once
// A set of pixels kept as y-x bands, the form the platform gives region rectangles in.
//
// A band is a run of rows [top, bottom) that all hold the same spans [left, right).
// Bands are sorted from the top and never overlap; spans within a band are sorted from
// the left and never touch. Two bands that touch vertically never hold the same spans
// (they are one band then), and a band is never empty. So one set of pixels has exactly
// one form, and its rectangles, read band by band and span by span, come out sorted by
// top and then by left.

#include <cstddef>
#include <span>
#include <vector>

#include "platform/runtime/win_types.h"

namespace tamso {

class Region {
 public:
  enum class Op { And, Or, Xor, Diff };

  // The empty region.
  Region() = default;

  // The pixels of `rect`; an inverted rectangle is taken with its edges swapped, one
  // without width or height gives the empty region.
  static Region FromRect(const RECT& rect);

  // The union of `rects`. Rectangles without area (inverted ones included) are left out.
  // Rectangles already in banded order are taken in one pass.
  static Region FromRects(std::span<const RECT> rects);

  // `a` combined with `b`: intersection, union, exclusive-or, or `a` without `b`.
  static Region Combine(const Region& a, const Region& b, Op op);

  // Combines this region with one rectangle in place. Gives what Combine gives, but
  // touches only the bands in the rectangle's rows.
  void combineRect(RECT rect, Op op);

  bool empty() const { return bands_.empty(); }
  std::size_t rectCount() const { return rectCount_; }

  // The bounding box; (0, 0, 0, 0) for the empty region.
  RECT extents() const;

  // The rectangles in banded order.
  std::vector<RECT> rects() const;

  // Calls `visit(const RECT&)` for each rectangle in banded order.
  template <class Visit>
  void forEachRect(Visit&& visit) const {
    for (const Band& band : bands_)
      for (const Span& span : band.spans) visit(RECT{span.left, band.top, span.right, band.bottom});
  }

  bool contains(LONG x, LONG y) const;
  void offset(LONG dx, LONG dy);

  friend bool operator==(const Region& a, const Region& b) { return a.bands_ == b.bands_; }

 private:
  struct Span {
    LONG left = 0;
    LONG right = 0;
    friend bool operator==(const Span&, const Span&) = default;
  };
  struct Band {
    LONG top = 0;
    LONG bottom = 0;
    std::vector<Span> spans;
    friend bool operator==(const Band&, const Band&) = default;
  };

  // Calls `emit(Span)` for each span of `a` combined with `b`, from the left.
  template <class Emit>
  static void CombineSpans(std::span<const Span> a, std::span<const Span> b, Op op, Emit&& emit);
  static void ApplySpan(std::vector<Span>& spans, Span span, Op op);

  // Appends a band below the last one, joining it to the last when they touch and match.
  void appendBand(LONG top, LONG bottom, std::vector<Span> spans);

  // The index of the first band that ends below row `y`. Starts from where the last
  // search ended: the strips of a column come from the top down, one below the other.
  std::size_t bandAfter(LONG y) const;

  // Cuts band `index` in two at row `y`, which lies strictly inside it.
  void splitBand(std::size_t index, LONG y);

  // Joins touching equal bands and drops empty ones among bands [first, last).
  void tidy(std::size_t first, std::size_t last);

  void recount();

  std::vector<Band> bands_;
  std::size_t rectCount_ = 0;
  mutable std::size_t hint_ = 0;
};

}  // namespace tamso
