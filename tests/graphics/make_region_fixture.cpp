// Writes the region data block of a small region to the file named by its argument; the
// build embeds it in the graphics tests as one of the program's own resources.

#include <cstdio>
#include <vector>

#include "platform/gdi32/wingdi.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const HRGN region = CreateRectRgn(0, 0, 3, 4);
  const HRGN hole = CreateRectRgn(1, 0, 2, 2);
  CombineRgn(region, region, hole, RGN_DIFF);
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<unsigned char> block(size);
  GetRegionData(region, size, reinterpret_cast<RGNDATA*>(block.data()));
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 1;
  const bool written = std::fwrite(block.data(), 1, block.size(), out) == block.size();
  return std::fclose(out) == 0 && written ? 0 : 1;
}
