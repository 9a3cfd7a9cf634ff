#pragma once
// Songs and files for the winmm tests, made in code.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tamso::winmm::testing {

// The committed tune.
std::filesystem::path KittyTune();

// A format-0 MIDI file with one track holding `events` (delta times included), closed
// by an end-of-track event.
std::vector<std::uint8_t> SingleTrackSong(const std::vector<std::uint8_t>& events,
                                          std::uint16_t division = 480);

// A short valid song: one piano note of a quarter at 120 a minute.
std::vector<std::uint8_t> ShortSong();

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path);

// A fresh empty folder under the system's temporary folder, removed on destruction.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& tag);
  ~ScratchFolder();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace tamso::winmm::testing
