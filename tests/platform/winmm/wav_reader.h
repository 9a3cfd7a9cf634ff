#pragma once
// Reads the PCM WAV files the synthesiser writes, for the tests to listen to.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace tamso::winmm::testing {

struct Wav {
  int channels = 0;
  int sampleRate = 0;
  std::vector<std::int16_t> samples;  // interleaved

  double seconds() const {
    return channels && sampleRate ? double(samples.size()) / channels / sampleRate : 0;
  }
  // Root mean square of the samples from `from` to `to` seconds, on a 0..1 scale.
  double rms(double from, double to) const;
};

// A 16-bit PCM WAV file, or nullopt for anything else.
std::optional<Wav> ReadWav(const std::filesystem::path& path);

}  // namespace tamso::winmm::testing
