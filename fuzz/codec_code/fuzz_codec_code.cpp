// Runs the codec step over arbitrary bytes taken as the start of an AVI file, padded with
// zeros to the shortest length that gets codec lines: the "vids" scan, the completion of
// a code cut by the end of the scanned bytes, and the header reader behind them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/codec_code.h"
#include "platform/avifil32/byte_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> file(data, data + size);
  if (file.size() <= tamso::kCodecMinFileBytes) file.resize(tamso::kCodecMinFileBytes + 1);
  const tamso::CodecStepResult step = tamso::CodecCodeOf(tamso::avifile::MemoryByteSource(file));
  // Bytes in memory never fail to read, and a code found is always whole.
  if (step.status == tamso::CodecStatus::kNoStreamHeader) return 0;
  if (step.status != tamso::CodecStatus::kFound || step.code.size() != tamso::kCodecCodeBytes) std::abort();
  const std::string lines =
      tamso::CodecStepLines(step, [](const std::string& text) { return std::string(text.size(), 'x'); });
  if (lines.rfind("\r\nVideo codec used: ", 0) != 0) std::abort();
  return 0;
}
