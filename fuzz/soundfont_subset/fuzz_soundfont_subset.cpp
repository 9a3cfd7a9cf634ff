// Reads arbitrary bytes as a soundfont to cut down to a few presets, and as a MIDI file
// whose presets are gathered. Both must end and stay within the bytes; a subset must be
// a font the subset accepts again, and not grow beyond the sample copies it may add; a
// song's presets must hold what it names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <span>

#include "platform/winmm/midi_file.h"
#include "platform/winmm/soundfont_subset.h"

namespace {

using tamso::winmm::PresetId;

void CheckSubset(std::span<const std::uint8_t> font, const std::set<PresetId>& wanted) {
  const auto subset = tamso::winmm::SoundFontSubset(font, wanted);
  if (!subset) return;
  // Sample copies add at most 46 points a kept sample: at most as many bytes as headers.
  if (subset->size() > 3 * font.size() + 64) std::abort();
  if (!tamso::winmm::SoundFontSubset(*subset, wanted)) std::abort();
}

void CheckSong(std::span<const std::uint8_t> bytes) {
  const auto song = tamso::winmm::ReadMidiFile(bytes);
  if (!song) return;
  const auto presets = tamso::winmm::PresetsSongMaySelect(*song);
  if (!presets.contains({0, 0}) || !presets.contains({128, 0})) std::abort();
  for (const int program : song->programs)
    if (program < 0 || program > 127 || !presets.contains({128, program})) std::abort();
  for (const int bank : song->bankSelects)
    if (bank < 0 || bank > 127 || !presets.contains({bank, 0})) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  CheckSubset(bytes, {{0, 0}, {0, 11}, {0, 33}, {128, 0}});
  CheckSong(bytes);
  return 0;
}
