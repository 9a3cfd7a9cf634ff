// Feeds arbitrary bytes to the region constructor as a region data block; a region it
// accepts must give back a block that builds the same region, and survive arithmetic.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/gdi32/wingdi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);  // exactly the bytes given, for the sanitizer
  const HRGN region =
      ExtCreateRegion(nullptr, static_cast<DWORD>(size), reinterpret_cast<const RGNDATA*>(bytes.data()));
  if (!region) return 0;

  const DWORD blockSize = GetRegionData(region, 0, nullptr);
  std::vector<std::uint8_t> block(blockSize);
  if (GetRegionData(region, blockSize, reinterpret_cast<RGNDATA*>(block.data())) != blockSize) std::abort();
  const HRGN again = ExtCreateRegion(nullptr, blockSize, reinterpret_cast<const RGNDATA*>(block.data()));
  if (!again || !EqualRgn(region, again)) std::abort();

  const HRGN strip = CreateRectRgn(1, 0, 2, 50);
  CombineRgn(again, strip, again, RGN_XOR);
  CombineRgn(again, again, region, RGN_AND);
  for (HRGN h : {region, again, strip}) DeleteObject(h);
  return 0;
}
