// Feeds arbitrary bytes to the AVI header reader as a whole file, then derives every
// value the file and stream calls report from what it accepted.
#include <cstddef>
#include <cstdint>

#include "platform/avifil32/avi_facts.h"
#include "platform/avifil32/avi_headers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamso::avifile;
  const ParseResult result = ParseAviHeaders({data, size});
  if (result.status != ParseStatus::kOk) return 0;
  const AviDescription& avi = result.description;
  if (avi.streams.size() > kMaxStreams) __builtin_trap();
  const AVIFILEINFO info = FileInfoOf(avi);
  if (info.dwStreams != avi.streams.size()) __builtin_trap();
  for (std::size_t i = 0; i < avi.streams.size(); ++i) {
    StreamLengthOf(avi, i);
    FrameSizeOf(avi.streams[i]);
  }
  FindStream(avi, streamtypeVIDEO, 0);
  return 0;
}
