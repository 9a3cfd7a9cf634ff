// Scans arbitrary bytes, as the start of an AVI file, for the video stream's codec code.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

#include "app/codec_code.h"
#include "platform/runtime/ansi_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> head(data, std::min(size, tamso::kCodecHeadBytes));
  const std::optional<std::string> code = tamso::FindCodecCode(head);
  if (!code) return 0;
  if (code->size() > tamso::kCodecCodeBytes) std::abort();
  const tamso::CodecStepResult step{tamso::CodecStatus::kFound, *code};
  const std::string lines =
      tamso::CodecStepLines(step, [](const std::string& text) { return std::string(text.size(), 'x'); });
  if (lines.rfind("\r\nVideo codec used: ", 0) != 0) std::abort();
  return 0;
}
