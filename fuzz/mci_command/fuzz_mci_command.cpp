// Parses arbitrary text as an MCI command string and checks what the parser promises:
// either an error and nothing else, or a known verb with a non-empty device name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/winmm/mci_command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const tamso::winmm::MciParseResult result = tamso::winmm::ParseMciCommand(text);
  if (result.error == 0) {
    if (result.command.device.empty()) std::abort();
    if (result.command.verb == tamso::winmm::MciVerb::Status && result.command.statusItem != "mode")
      std::abort();
  }
  return 0;
}
