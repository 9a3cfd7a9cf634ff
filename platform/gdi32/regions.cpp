// The region calls, and the region data block they read and write.
//
// The block is a 32-byte header (dwSize 32, iType 1, nCount, nRgnSize = 16 * nCount, the
// bounding box) followed by nCount rectangles of four little-endian 32-bit values each.

#include <limits>
#include <span>
#include <vector>

#include "platform/gdi32/gdi_objects.h"
#include "platform/runtime/byte_reader.h"

using namespace tamso::gdi;
using tamso::Region;

namespace {

constexpr DWORD kHeaderSize = sizeof(RGNDATAHEADER);
constexpr DWORD kRectSize = 16;
// Regions keep their coordinates within 27-bit signed values.
constexpr std::int64_t kMaxCoordinate = (1 << 27) - 1;

int KindOf(const Region& region) {
  switch (region.rectCount()) {
    case 0:
      return NULLREGION;
    case 1:
      return SIMPLEREGION;
    default:
      return COMPLEXREGION;
  }
}

bool IsIdentity(const XFORM& x) {
  return x.eM11 == 1 && x.eM12 == 0 && x.eM21 == 0 && x.eM22 == 1 && x.eDx == 0 && x.eDy == 0;
}

// The one rectangle of a region that holds exactly one; false otherwise.
bool SingleRect(const Region& region, RECT& rect) {
  if (region.rectCount() != 1) return false;
  rect = region.extents();
  return true;
}

}  // namespace

namespace tamso {

const Region* FindRegion(HRGN hrgn) { return Find<Region>(hrgn); }

HRGN CreateRegionHandle(Region region) { return Add(std::move(region)); }

}  // namespace tamso

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
  return tamso::CreateRegionHandle(Region::FromRect(RECT{x1, y1, x2, y2}));
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
  Region* dst = Find<Region>(hrgnDst);
  const Region* src1 = Find<Region>(hrgnSrc1);
  if (!dst || !src1) return ERROR;
  if (iMode == RGN_COPY) {
    if (dst != src1) *dst = *src1;
    return KindOf(*dst);
  }
  const Region* src2 = Find<Region>(hrgnSrc2);
  if (!src2) return ERROR;
  Region::Op op;
  switch (iMode) {
    case RGN_AND:
      op = Region::Op::And;
      break;
    case RGN_OR:
      op = Region::Op::Or;
      break;
    case RGN_XOR:
      op = Region::Op::Xor;
      break;
    case RGN_DIFF:
      op = Region::Op::Diff;
      break;
    default:
      return ERROR;
  }
  // A rectangle combined into the destination itself changes only the rows it covers.
  RECT rect;
  if (dst == src1 && SingleRect(*src2, rect)) {
    dst->combineRect(rect, op);
  } else if (dst == src2 && op != Region::Op::Diff && SingleRect(*src1, rect)) {
    dst->combineRect(rect, op);
  } else {
    *dst = Region::Combine(*src1, *src2, op);
  }
  return KindOf(*dst);
}

DWORD GetRegionData(HRGN hrgn, DWORD nCount, RGNDATA* lpRgnData) {
  const Region* region = Find<Region>(hrgn);
  if (!region) return 0;
  const std::uint64_t rectBytes = static_cast<std::uint64_t>(region->rectCount()) * kRectSize;
  if (rectBytes > std::numeric_limits<DWORD>::max() - kHeaderSize) return 0;
  const auto size = static_cast<DWORD>(kHeaderSize + rectBytes);
  if (!lpRgnData) return size;
  if (nCount < size) return 0;

  const std::span<std::uint8_t> out(reinterpret_cast<std::uint8_t*>(lpRgnData), size);
  const RECT box = region->extents();
  const DWORD header[] = {kHeaderSize,
                          RDH_RECTANGLES,
                          static_cast<DWORD>(region->rectCount()),
                          static_cast<DWORD>(rectBytes),
                          static_cast<DWORD>(box.left),
                          static_cast<DWORD>(box.top),
                          static_cast<DWORD>(box.right),
                          static_cast<DWORD>(box.bottom)};
  std::size_t at = 0;
  for (DWORD value : header) tamso::StoreU32(out, (at++) * 4, value);
  region->forEachRect([&](const RECT& r) {
    for (LONG value : {r.left, r.top, r.right, r.bottom})
      tamso::StoreU32(out, (at++) * 4, static_cast<DWORD>(value));
  });
  return size;
}

HRGN ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* lpData) {
  if ((lpx && !IsIdentity(*lpx)) || !lpData || nCount < kHeaderSize) return 0;
  tamso::ByteReader reader({reinterpret_cast<const std::uint8_t*>(lpData), nCount});
  const DWORD headerSize = reader.u32();
  reader.u32();  // iType: not checked, as the platform's newer versions do not
  const DWORD count = reader.u32();
  if (headerSize < kHeaderSize || count > (nCount - kHeaderSize) / kRectSize) return 0;
  // nRgnSize and the bounding box are not trusted; the rectangles follow the 32-byte header.
  reader.seek(kHeaderSize);
  std::vector<RECT> rects(count);
  for (RECT& r : rects) {
    r.left = reader.i32();
    r.top = reader.i32();
    r.right = reader.i32();
    r.bottom = reader.i32();
  }
  if (!reader.ok()) return 0;
  return tamso::CreateRegionHandle(Region::FromRects(rects));
}

int GetRgnBox(HRGN hrgn, RECT* lprc) {
  const Region* region = Find<Region>(hrgn);
  if (!region || !lprc) return ERROR;
  *lprc = region->extents();
  return KindOf(*region);
}

int OffsetRgn(HRGN hrgn, int x, int y) {
  Region* region = Find<Region>(hrgn);
  if (!region) return ERROR;
  if (!region->empty()) {
    const RECT box = region->extents();
    const auto outside = [](std::int64_t v) { return v < -kMaxCoordinate || v > kMaxCoordinate; };
    if (outside(std::int64_t{box.left} + x) || outside(std::int64_t{box.right} + x) ||
        outside(std::int64_t{box.top} + y) || outside(std::int64_t{box.bottom} + y))
      return ERROR;
    region->offset(x, y);
  }
  return KindOf(*region);
}

BOOL PtInRegion(HRGN hrgn, int x, int y) {
  const Region* region = Find<Region>(hrgn);
  return region && region->contains(x, y) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2) {
  const Region* a = Find<Region>(hrgn1);
  const Region* b = Find<Region>(hrgn2);
  if (!a || !b) return ERROR;
  return *a == *b ? TRUE : FALSE;
}
