// Drives the byte reader with reads whose kinds and sizes come from the input itself.
#include <cstddef>
#include <cstdint>

#include "platform/runtime/byte_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tamso::ByteReader r({data, size});
  // Seeks may go backwards, so the number of steps is bounded too.
  for (int step = 0; step < 4096 && r.ok() && !r.atEnd(); ++step) {
    switch (r.u8() % 6) {
      case 0:
        r.u16();
        break;
      case 1:
        r.u32();
        break;
      case 2:
        r.u64();
        break;
      case 3:
        r.skip(r.u8());
        break;
      case 4: {
        tamso::ByteReader inner = r.sub(r.u8());
        inner.u32();
        break;
      }
      default:
        r.seek(r.u16());
        break;
    }
  }
  return 0;
}
