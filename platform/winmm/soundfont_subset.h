#pragma once
// A SoundFont 2 file cut down to the presets a song may select. The synthesiser builds
// its structures for every preset of the font it loads, and keeps every sample in memory;
// handed the cut-down font it builds and keeps only what the song can reach, and sounds
// the same.

#include <compare>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "platform/winmm/midi_file.h"

namespace tamso::winmm {

struct PresetId {
  int bank = 0;
  int program = 0;
  auto operator<=>(const PresetId&) const = default;
};

// Every preset the synthesiser may select while playing the song, its fallbacks included:
// the banks 0 and 128 and every bank-select value seen, each with program 0 and every
// program seen. Whatever bank-select style the synthesiser follows (controller 0 alone,
// or with controller 32), and the drum bank and the fallbacks to (0, program), (0, 0) and
// (128, 0) for a preset the font lacks, the preset it picks is one of these.
std::set<PresetId> PresetsSongMaySelect(const MidiFileFacts& song);

// A well-formed SoundFont 2 file holding the presets of `soundFont` that are in `wanted`,
// the instruments their zones name and the samples those instruments' zones name (with
// the other half of each stereo pair), renumbered. Each kept sample's data is copied with
// the 46 points that follow its end in the original (fewer at the end of the data), so
// that interpolation past the end reads what it read before. The INFO list is copied as
// it is. Nullopt for anything not handled exactly - not a SoundFont 2 file, compressed or
// ROM samples, a missing or malformed chunk, indices out of order or out of range, no
// wanted preset in the font - and then the caller loads the whole font instead.
std::optional<std::vector<std::uint8_t>> SoundFontSubset(std::span<const std::uint8_t> soundFont,
                                                         const std::set<PresetId>& wanted);

}  // namespace tamso::winmm
