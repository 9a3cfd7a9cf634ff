#pragma once
// Standard MIDI Files: a check that the bytes are one the sequencer can play, and the
// facts a caller may want before playing it.

#include <cstdint>
#include <optional>
#include <set>
#include <span>

namespace tamso::winmm {

struct MidiFileFacts {
  int format = 0;              // 0, 1 or 2
  int tracks = 0;              // track chunks found
  int division = 0;            // the header's time division, as stored
  std::uint64_t lastTick = 0;  // the tick of the latest event of any track
  double seconds = 0;          // playing time up to that event, following tempo changes
  std::set<int> programs;      // the program of every program change, of any channel
  std::set<int> bankSelects;   // the value of every bank select (controller 0 or 32)
};

// The facts of a Standard MIDI File, or nullopt when the bytes are not a sound one: a
// header chunk "MThd" of at least 6 bytes with format 0 to 2 and a non-zero division,
// at least one track chunk, and every track chunk a well-formed run of events inside
// its bounds (delta times of at most four bytes, data bytes below 128, running status
// only after a channel message). Chunks of other kinds are skipped.
std::optional<MidiFileFacts> ReadMidiFile(std::span<const std::uint8_t> bytes);

}  // namespace tamso::winmm
