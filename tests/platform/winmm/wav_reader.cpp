#include "tests/platform/winmm/wav_reader.h"

#include <algorithm>
#include <cmath>

#include "platform/runtime/byte_reader.h"
#include "tests/platform/winmm/test_songs.h"

namespace tamso::winmm::testing {

double Wav::rms(double from, double to) const {
  const auto frame = [&](double t) {
    return std::clamp<std::size_t>(static_cast<std::size_t>(t * sampleRate) * channels, 0, samples.size());
  };
  const std::size_t begin = frame(from), end = frame(to);
  if (end <= begin) return 0;
  double sum = 0;
  for (std::size_t i = begin; i < end; ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / double(end - begin)) / 32768.0;
}

std::optional<Wav> ReadWav(const std::filesystem::path& path) {
  const std::vector<std::uint8_t> bytes = ReadFile(path);
  ByteReader r(bytes);
  if (r.u32() != 0x46464952 /* RIFF */) return std::nullopt;
  r.u32();
  if (r.u32() != 0x45564157 /* WAVE */) return std::nullopt;
  Wav wav;
  int bits = 0;
  while (r.ok() && r.remaining() >= 8) {
    const std::uint32_t id = r.u32();
    const std::uint32_t size = r.u32();
    ByteReader chunk = r.sub(std::min<std::size_t>(size, r.remaining()));
    if (size % 2) r.skip(1);
    if (id == 0x20746D66 /* fmt  */) {
      const std::uint16_t format = chunk.u16();
      wav.channels = chunk.u16();
      wav.sampleRate = static_cast<int>(chunk.u32());
      chunk.skip(6);
      bits = chunk.u16();
      if (format != 1 && format != 0xFFFE) return std::nullopt;
    } else if (id == 0x61746164 /* data */) {
      while (chunk.remaining() >= 2) wav.samples.push_back(chunk.i16());
    }
  }
  if (bits != 16 || wav.channels == 0 || wav.sampleRate == 0) return std::nullopt;
  return wav;
}

}  // namespace tamso::winmm::testing
