#include "platform/winmm/midi_file.h"

#include <algorithm>
#include <map>

#include "platform/runtime/byte_reader.h"

namespace tamso::winmm {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000;  // microseconds a quarter note: 120 a minute

// MIDI files store numbers big-endian; the byte reader reads little-endian, so the
// bytes are put together here.
std::uint32_t ReadBigEndian(ByteReader& r, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | r.u8();
  return value;
}

// A variable-length quantity: seven bits a byte, at most four bytes.
std::uint32_t ReadVarLen(ByteReader& r) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    const std::uint8_t b = r.u8();
    value = (value << 7) | (b & 0x7F);
    if ((b & 0x80) == 0) return value;
  }
  r.fail();
  return 0;
}

int DataBytesOf(std::uint8_t status) {
  const std::uint8_t kind = status & 0xF0;
  return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

// Notes what a channel message tells about the sounds the song picks.
void NoteChannelMessage(std::uint8_t status, std::uint8_t first, std::uint8_t second, MidiFileFacts& facts) {
  const std::uint8_t kind = status & 0xF0;
  if (kind == 0xC0) facts.programs.insert(first);
  if (kind == 0xB0 && (first == 0 || first == 32)) facts.bankSelects.insert(second);
}

// Walks one track's events; records tempo changes by tick. False when malformed.
bool ReadTrack(ByteReader track, std::map<std::uint64_t, std::uint32_t>& tempos, MidiFileFacts& facts) {
  std::uint64_t tick = 0;
  std::uint8_t running = 0;
  while (track.ok() && !track.atEnd()) {
    tick += ReadVarLen(track);
    const std::uint8_t status = track.u8();
    if (status < 0xF0) {
      std::uint8_t first = status;  // under running status the byte just read is the first data byte
      if (status < 0x80) {
        if (running == 0) return false;
      } else {
        running = status;
        first = track.u8();
      }
      const std::uint8_t second = DataBytesOf(running) == 2 ? track.u8() : 0;
      if (first >= 0x80 || second >= 0x80) return false;
      NoteChannelMessage(running, first, second, facts);
    } else if (status == 0xFF) {
      running = 0;
      const std::uint8_t type = track.u8();
      ByteReader data = track.sub(ReadVarLen(track));
      if (type == 0x51 && data.size() == 3) tempos[tick] = ReadBigEndian(data, 3);
      if (type == 0x2F) {
        facts.lastTick = std::max(facts.lastTick, tick);
        return track.ok();
      }
    } else if (status == 0xF0 || status == 0xF7) {
      running = 0;
      track.skip(ReadVarLen(track));
    } else {
      return false;  // real-time and common messages do not belong in a file
    }
    facts.lastTick = std::max(facts.lastTick, tick);
  }
  return track.ok();
}

double SecondsUpTo(std::uint64_t lastTick, int division,
                   const std::map<std::uint64_t, std::uint32_t>& tempos) {
  if (division & 0x8000) {
    // Frames a second and ticks a frame: time does not depend on tempo.
    const int fps = -static_cast<std::int8_t>(division >> 8);
    const int ticksPerFrame = division & 0xFF;
    if (fps <= 0 || ticksPerFrame == 0) return 0;
    return static_cast<double>(lastTick) / (fps * ticksPerFrame);
  }
  double seconds = 0;
  std::uint64_t at = 0;
  std::uint32_t tempo = kDefaultTempo;
  for (const auto& [tick, next] : tempos) {
    if (tick >= lastTick) break;
    seconds += static_cast<double>(tick - at) * tempo / 1e6 / division;
    at = tick;
    tempo = next;
  }
  return seconds + static_cast<double>(lastTick - at) * tempo / 1e6 / division;
}

}  // namespace

std::optional<MidiFileFacts> ReadMidiFile(std::span<const std::uint8_t> bytes) {
  ByteReader r(bytes);
  if (ReadBigEndian(r, 4) != 0x4D546864) return std::nullopt;  // "MThd"
  const std::uint32_t headerLength = ReadBigEndian(r, 4);
  ByteReader header = r.sub(headerLength);
  MidiFileFacts facts;
  facts.format = static_cast<int>(ReadBigEndian(header, 2));
  ReadBigEndian(header, 2);  // the declared track count; the chunks found are what counts
  facts.division = static_cast<int>(ReadBigEndian(header, 2));
  if (!r.ok() || !header.ok() || facts.format > 2 || facts.division == 0) return std::nullopt;

  std::map<std::uint64_t, std::uint32_t> tempos;
  while (r.remaining() >= 8) {
    const std::uint32_t kind = ReadBigEndian(r, 4);
    const std::uint32_t length = ReadBigEndian(r, 4);
    ByteReader chunk = r.sub(length);
    if (!r.ok()) return std::nullopt;
    if (kind != 0x4D54726B) continue;  // not "MTrk"
    if (!ReadTrack(chunk, tempos, facts)) return std::nullopt;
    ++facts.tracks;
  }
  if (facts.tracks == 0) return std::nullopt;
  facts.seconds = SecondsUpTo(facts.lastTick, facts.division, tempos);
  return facts;
}

}  // namespace tamso::winmm
