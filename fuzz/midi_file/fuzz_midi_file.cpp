// Reads arbitrary bytes as a Standard MIDI File: the check must end, stay within the
// bytes and give facts that agree with each other.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/winmm/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto facts = tamso::winmm::ReadMidiFile({data, size});
  if (facts && (facts->tracks < 1 || facts->format > 2 || facts->seconds < 0 || std::isnan(facts->seconds)))
    std::abort();
  return 0;
}
