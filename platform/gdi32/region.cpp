#include "platform/gdi32/region.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tamso {

namespace {

constexpr LONG kNoEdge = std::numeric_limits<LONG>::max();

bool Keeps(Region::Op op, bool inA, bool inB) {
  switch (op) {
    case Region::Op::And:
      return inA && inB;
    case Region::Op::Or:
      return inA || inB;
    case Region::Op::Xor:
      return inA != inB;
    case Region::Op::Diff:
      return inA && !inB;
  }
  return false;
}

bool HasArea(const RECT& r) { return r.left < r.right && r.top < r.bottom; }

}  // namespace

Region Region::FromRect(const RECT& rect) {
  const LONG left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
  const LONG top = std::min(rect.top, rect.bottom), bottom = std::max(rect.top, rect.bottom);
  Region region;
  if (left == right || top == bottom) return region;
  region.bands_.push_back(Band{top, bottom, {Span{left, right}}});
  region.rectCount_ = 1;
  return region;
}

Region Region::FromRects(std::span<const RECT> rects) {
  // One pass when the rectangles come band by band, as a region's own data does.
  Region region;
  const RECT* previous = nullptr;
  bool banded = true;
  std::vector<Span> spans;
  for (const RECT& r : rects) {
    if (!HasArea(r)) continue;
    if (previous && r.top == previous->top && r.bottom == previous->bottom && r.left >= previous->right) {
      if (r.left == spans.back().right)
        spans.back().right = r.right;
      else
        spans.push_back(Span{r.left, r.right});
    } else if (!previous || r.top >= previous->bottom) {
      if (previous) region.appendBand(previous->top, previous->bottom, std::move(spans));
      spans = {Span{r.left, r.right}};
    } else {
      banded = false;
      break;
    }
    previous = &r;
  }
  if (banded) {
    if (previous) region.appendBand(previous->top, previous->bottom, std::move(spans));
    region.recount();
    return region;
  }

  // Any other order: unite the rectangles pairwise, level by level.
  std::vector<Region> parts;
  for (const RECT& r : rects)
    if (HasArea(r)) parts.push_back(FromRect(r));
  while (parts.size() > 1) {
    std::vector<Region> next;
    next.reserve(parts.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
      next.push_back(Combine(parts[i], parts[i + 1], Op::Or));
    if (parts.size() % 2) next.push_back(std::move(parts.back()));
    parts = std::move(next);
  }
  return parts.empty() ? Region() : std::move(parts.front());
}

template <class Emit>
void Region::CombineSpans(std::span<const Span> a, std::span<const Span> b, Op op, Emit&& emit) {
  // Walks the edges of both lists from the left; each edge toggles its list's coverage.
  const auto edge = [](std::span<const Span> spans, std::size_t k) {
    return k % 2 == 0 ? spans[k / 2].left : spans[k / 2].right;
  };
  const std::size_t edgesA = 2 * a.size(), edgesB = 2 * b.size();
  std::size_t ka = 0, kb = 0;
  bool inA = false, inB = false, on = false;
  LONG start = 0;
  while (ka < edgesA || kb < edgesB) {
    const LONG x = std::min(ka < edgesA ? edge(a, ka) : kNoEdge, kb < edgesB ? edge(b, kb) : kNoEdge);
    for (; ka < edgesA && edge(a, ka) == x; ++ka) inA = !inA;
    for (; kb < edgesB && edge(b, kb) == x; ++kb) inB = !inB;
    const bool now = Keeps(op, inA, inB);
    if (now && !on) start = x;
    if (!now && on) emit(Span{start, x});
    on = now;
  }
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
  Region out;
  const std::vector<Band>& bandsA = a.bands_;
  const std::vector<Band>& bandsB = b.bands_;
  if (bandsA.empty() && bandsB.empty()) return out;
  LONG y =
      std::min(bandsA.empty() ? kNoEdge : bandsA.front().top, bandsB.empty() ? kNoEdge : bandsB.front().top);
  std::size_t ia = 0, ib = 0;
  // Cuts at every top and bottom of either side; between two cuts both sides are constant.
  while (true) {
    while (ia < bandsA.size() && bandsA[ia].bottom <= y) ++ia;
    while (ib < bandsB.size() && bandsB[ib].bottom <= y) ++ib;
    const bool doneA = ia == bandsA.size(), doneB = ib == bandsB.size();
    if ((doneA && doneB) || (op == Op::And && (doneA || doneB)) || (op == Op::Diff && doneA)) break;
    const bool inA = !doneA && bandsA[ia].top <= y;
    const bool inB = !doneB && bandsB[ib].top <= y;
    const LONG nextA = doneA ? kNoEdge : (inA ? bandsA[ia].bottom : bandsA[ia].top);
    const LONG nextB = doneB ? kNoEdge : (inB ? bandsB[ib].bottom : bandsB[ib].top);
    const LONG next = std::min(nextA, nextB);
    if (inA || inB) {
      std::vector<Span> spans;
      CombineSpans(inA ? std::span<const Span>(bandsA[ia].spans) : std::span<const Span>(),
                   inB ? std::span<const Span>(bandsB[ib].spans) : std::span<const Span>(), op,
                   [&](Span span) { spans.push_back(span); });
      if (!spans.empty()) out.appendBand(y, next, std::move(spans));
    }
    y = next;
  }
  out.recount();
  return out;
}

void Region::ApplySpan(std::vector<Span>& spans, Span span, Op op) {
  // Only spans that overlap or touch `span` can change. They are looked for from the end
  // first: a region built strip by strip from the left changes its last spans.
  auto first = spans.end();
  for (int steps = 0; steps < 4 && first != spans.begin() && (first - 1)->right >= span.left; ++steps)
    --first;
  if (first != spans.begin() && (first - 1)->right >= span.left)
    first =
        std::lower_bound(spans.begin(), first, span.left, [](const Span& s, LONG x) { return s.right < x; });
  auto last = first;
  while (last != spans.end() && last->left <= span.right) ++last;

  // Taking a piece out of one span, or adding one inside it, needs no general merge.
  if (last - first == 1 && first->left <= span.left && span.right <= first->right && op != Op::And) {
    if (op == Op::Or) return;
    const Span whole = *first;
    if (whole.left == span.left && whole.right == span.right) {
      spans.erase(first);
    } else if (whole.left == span.left) {
      first->left = span.right;
    } else if (whole.right == span.right) {
      first->right = span.left;
    } else {
      first->right = span.left;
      spans.insert(first + 1, Span{span.right, whole.right});
    }
    return;
  }

  // At most one more span than were touched comes out; a small buffer holds them.
  const auto at = first - spans.begin();
  const auto count = static_cast<std::size_t>(last - first);
  std::vector<Span> large;
  Span small[8];
  std::size_t made = 0;
  const bool fits = count + 1 <= std::size(small);
  if (!fits) large.reserve(count + 1);
  CombineSpans({first, last}, {&span, 1}, op, [&](Span s) {
    if (fits)
      small[made++] = s;
    else
      large.push_back(s);
  });
  const Span* middle = fits ? small : large.data();
  if (!fits) made = large.size();
  const std::size_t common = std::min(count, made);
  std::copy_n(middle, common, spans.begin() + at);
  if (made > count)
    spans.insert(spans.begin() + at + static_cast<std::ptrdiff_t>(count), middle + count, middle + made);
  else
    spans.erase(spans.begin() + at + static_cast<std::ptrdiff_t>(common),
                spans.begin() + at + static_cast<std::ptrdiff_t>(count));
}

void Region::appendBand(LONG top, LONG bottom, std::vector<Span> spans) {
  if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
    bands_.back().bottom = bottom;
    return;
  }
  bands_.push_back(Band{top, bottom, std::move(spans)});
}

std::size_t Region::bandAfter(LONG y) const {
  const auto fits = [&](std::size_t i) {
    return i <= bands_.size() && (i == 0 || bands_[i - 1].bottom <= y) &&
           (i == bands_.size() || bands_[i].bottom > y);
  };
  for (std::size_t i = hint_; i < hint_ + 3; ++i)
    if (fits(i)) return hint_ = i;
  if (fits(0)) return hint_ = 0;
  const auto it =
      std::upper_bound(bands_.begin(), bands_.end(), y, [](LONG v, const Band& b) { return v < b.bottom; });
  return hint_ = static_cast<std::size_t>(it - bands_.begin());
}

void Region::splitBand(std::size_t index, LONG y) {
  Band upper{bands_[index].top, y, bands_[index].spans};
  bands_[index].top = y;
  rectCount_ += upper.spans.size();
  bands_.insert(bands_.begin() + static_cast<std::ptrdiff_t>(index), std::move(upper));
}

void Region::tidy(std::size_t first, std::size_t last) {
  std::size_t kept = first;
  for (std::size_t k = first; k < last; ++k) {
    Band& band = bands_[k];
    if (band.spans.empty()) continue;
    if (kept > first) {
      Band& above = bands_[kept - 1];
      if (above.bottom == band.top && above.spans == band.spans) {
        above.bottom = band.bottom;
        rectCount_ -= band.spans.size();
        continue;
      }
    }
    if (kept != k) bands_[kept] = std::move(band);
    ++kept;
  }
  bands_.erase(bands_.begin() + static_cast<std::ptrdiff_t>(kept),
               bands_.begin() + static_cast<std::ptrdiff_t>(last));
}

void Region::combineRect(RECT rect, Op op) {
  if (op == Op::And) {
    *this = Combine(*this, FromRect(rect), op);
    return;
  }
  const RECT r{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
               std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
  if (r.left == r.right || r.top == r.bottom) return;

  // Cut the bands at the rectangle's top and bottom, so that bands [first, last) lie
  // within its rows.
  std::size_t first = bandAfter(r.top);
  if (first < bands_.size() && bands_[first].top < r.top) splitBand(first++, r.top);
  std::size_t last = first;
  while (last < bands_.size() && bands_[last].top < r.bottom) {
    if (bands_[last].bottom > r.bottom) splitBand(last, r.bottom);
    ++last;
  }

  // Rows of the rectangle that no band covers get an empty band of their own, which
  // the span step below fills for a union or exclusive-or.
  if (op != Op::Diff) {
    bool gaps = false;
    LONG y = r.top;
    for (std::size_t k = first; k < last && !gaps; ++k) {
      gaps = bands_[k].top > y;
      y = bands_[k].bottom;
    }
    gaps = gaps || y < r.bottom;
    if (gaps) {
      std::vector<Band> middle;
      y = r.top;
      for (std::size_t k = first; k < last; ++k) {
        if (bands_[k].top > y) middle.push_back(Band{y, bands_[k].top, {}});
        y = bands_[k].bottom;
        middle.push_back(std::move(bands_[k]));
      }
      if (y < r.bottom) middle.push_back(Band{y, r.bottom, {}});
      bands_.erase(bands_.begin() + static_cast<std::ptrdiff_t>(first),
                   bands_.begin() + static_cast<std::ptrdiff_t>(last));
      bands_.insert(bands_.begin() + static_cast<std::ptrdiff_t>(first),
                    std::make_move_iterator(middle.begin()), std::make_move_iterator(middle.end()));
      last = first + middle.size();
    }
  }

  for (std::size_t k = first; k < last; ++k) {
    std::vector<Span>& spans = bands_[k].spans;
    rectCount_ -= spans.size();
    ApplySpan(spans, Span{r.left, r.right}, op);
    rectCount_ += spans.size();
  }
  tidy(first == 0 ? 0 : first - 1, std::min(last + 1, bands_.size()));
}

RECT Region::extents() const {
  if (bands_.empty()) return RECT{};
  RECT box{bands_.front().spans.front().left, bands_.front().top, bands_.front().spans.back().right,
           bands_.back().bottom};
  for (const Band& band : bands_) {
    box.left = std::min(box.left, band.spans.front().left);
    box.right = std::max(box.right, band.spans.back().right);
  }
  return box;
}

std::vector<RECT> Region::rects() const {
  std::vector<RECT> out;
  out.reserve(rectCount_);
  forEachRect([&](const RECT& r) { out.push_back(r); });
  return out;
}

bool Region::contains(LONG x, LONG y) const {
  const auto band =
      std::upper_bound(bands_.begin(), bands_.end(), y, [](LONG v, const Band& b) { return v < b.bottom; });
  if (band == bands_.end() || band->top > y) return false;
  const auto span = std::upper_bound(band->spans.begin(), band->spans.end(), x,
                                     [](LONG v, const Span& s) { return v < s.right; });
  return span != band->spans.end() && span->left <= x;
}

void Region::offset(LONG dx, LONG dy) {
  for (Band& band : bands_) {
    band.top += dy;
    band.bottom += dy;
    for (Span& span : band.spans) {
      span.left += dx;
      span.right += dx;
    }
  }
}

void Region::recount() {
  rectCount_ = 0;
  for (const Band& band : bands_) rectCount_ += band.spans.size();
}

}  // namespace tamso
