#pragma once
// Songs made in code, the committed tune, and a reader of the WAV files the synthesiser
// writes, for the winmm tests.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/runtime/byte_reader.h"
#include "platform/winmm/mci_devices.h"
#include "platform/winmm/mmsystem.h"
#include "tests/dialogs/dialog_test_support.h"

namespace tamso::winmm::testing {

using Bytes = std::vector<std::uint8_t>;
using tamso::testing::ScratchFolder;

inline std::filesystem::path KittyTune() { return std::filesystem::path(TAMSO_ASSETS_DIR) / "kitty.mid"; }

inline MCIERROR Send(const std::string& command) { return mciSendStringA(command.c_str(), nullptr, 0, 0); }

// The reply to "status NAME mode", or the error.
inline std::string Status(const std::string& name) {
  char reply[32] = "x";
  const MCIERROR error = mciSendStringA(("status " + name + " mode").c_str(), reply, sizeof reply, 0);
  return error == 0 ? std::string(reply) : "error " + std::to_string(error);
}

// Waits up to half a minute, generous on a loaded machine, for `condition`; its last answer.
template <typename Condition>
bool Eventually(Condition condition) {
  for (int i = 0; i < 1500; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return condition();
}

// The threads of this process.
inline std::size_t Threads() {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                                std::filesystem::directory_iterator()));
}

// This process's children (the tune players); with `call`, those inside that system call.
inline std::vector<int> Children(const char* call = nullptr) {
  std::vector<int> children;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream list(task.path() / "children");
    for (int pid = 0; list >> pid;) {
      std::string now;
      if (call) std::ifstream("/proc/" + std::to_string(pid) + "/syscall") >> now;
      if (!call || now == call) children.push_back(pid);
    }
  }
  return children;
}

// The devices' set-up with the tune player of this build.
inline SequencerSetup Setup(AudioOutput output = {},
                            std::vector<std::filesystem::path> soundFonts = DebianSoundFonts()) {
  return {std::move(output), std::move(soundFonts), TAMSO_TUNE_PLAYER};
}

inline Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A format-0 MIDI file with one track holding `events` (delta times included), closed
// by an end-of-track event.
inline Bytes SingleTrackSong(Bytes events, std::uint16_t division = 480) {
  events.insert(events.end(), {0x00, 0xFF, 0x2F, 0x00});
  const auto size = static_cast<std::uint32_t>(events.size());
  Bytes song = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0, 'M', 'T', 'r', 'k', 0, 0, 0, 0};
  for (int i = 0; i < 2; ++i) song[13 - i] = std::uint8_t(division >> (8 * i));
  for (int i = 0; i < 4; ++i) song[21 - i] = std::uint8_t(size >> (8 * i));
  song.insert(song.end(), events.begin(), events.end());
  return song;
}

// One piano note of a quarter (480 ticks, written 0x83 0x60) at 120 a minute.
inline Bytes ShortSong() {
  return SingleTrackSong({0x00, 0xC0, 0x00, 0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0});
}

// A 16-bit PCM WAV file's samples.
struct Wav {
  int channels = 0, sampleRate = 0;
  std::vector<std::int16_t> samples;  // interleaved

  double seconds() const { return double(samples.size()) / channels / sampleRate; }
  // Root mean square from `from` to `to` seconds, on a 0..1 scale.
  double rms(double from, double to) const {
    const auto at = [&](double t) {
      return std::min(std::size_t(t * sampleRate) * channels, samples.size());
    };
    double sum = 0;
    for (std::size_t i = at(from); i < at(to); ++i) sum += double(samples[i]) * samples[i];
    return at(to) > at(from) ? std::sqrt(sum / double(at(to) - at(from))) / 32768.0 : 0;
  }
};

inline std::optional<Wav> ReadWav(const std::filesystem::path& path) {
  const Bytes bytes = ReadFile(path);
  ByteReader r(bytes);
  if (r.u32() != 0x46464952 /* RIFF */ || !r.skip(4) || r.u32() != 0x45564157 /* WAVE */) return std::nullopt;
  Wav wav;
  int bits = 0;
  while (r.ok() && r.remaining() >= 8) {
    const std::uint32_t id = r.u32(), size = r.u32();
    ByteReader chunk = r.sub(std::min<std::size_t>(size, r.remaining()));
    if (size % 2) r.skip(1);
    if (id == 0x20746D66 /* fmt  */) {
      chunk.skip(2);
      wav.channels = chunk.u16();
      wav.sampleRate = static_cast<int>(chunk.u32());
      chunk.skip(6);
      bits = chunk.u16();
    } else if (id == 0x61746164 /* data */) {
      while (chunk.remaining() >= 2) wav.samples.push_back(chunk.i16());
    }
  }
  if (bits != 16 || wav.channels == 0 || wav.sampleRate == 0) return std::nullopt;
  return wav;
}

}  // namespace tamso::winmm::testing
