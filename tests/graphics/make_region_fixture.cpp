// Writes the region data block of a 3 x 4 rectangle with the hole (1, 0, 2, 2) to the file
// named by its argument; the build embeds it in the graphics tests as the program's own.

#include <fstream>
#include <vector>

#include "platform/gdi32/wingdi.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const HRGN region = CreateRectRgn(0, 0, 3, 4), hole = CreateRectRgn(1, 0, 2, 2);
  CombineRgn(region, region, hole, RGN_DIFF);
  std::vector<char> block(GetRegionData(region, 0, nullptr));
  GetRegionData(region, static_cast<DWORD>(block.size()), reinterpret_cast<RGNDATA*>(block.data()));
  std::ofstream out(argv[1], std::ios::binary);
  return out.write(block.data(), static_cast<std::streamsize>(block.size())).flush() ? 0 : 1;
}
