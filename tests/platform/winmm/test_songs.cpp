#include "tests/platform/winmm/test_songs.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

namespace tamso::winmm::testing {

namespace fs = std::filesystem;

namespace {

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

fs::path KittyTune() { return fs::path(TAMSO_ASSETS_DIR) / "kitty.mid"; }

std::vector<std::uint8_t> SingleTrackSong(const std::vector<std::uint8_t>& events, std::uint16_t division) {
  std::vector<std::uint8_t> track = events;
  track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
  std::vector<std::uint8_t> song = {'M', 'T', 'h', 'd'};
  PutBigEndian(song, 6, 4);
  PutBigEndian(song, 0, 2);
  PutBigEndian(song, 1, 2);
  PutBigEndian(song, division, 2);
  song.insert(song.end(), {'M', 'T', 'r', 'k'});
  PutBigEndian(song, static_cast<std::uint32_t>(track.size()), 4);
  song.insert(song.end(), track.begin(), track.end());
  return song;
}

std::vector<std::uint8_t> ShortSong() {
  // Note on C4, a quarter (480 ticks, written as 0x83 0x60) later note off.
  return SingleTrackSong({0x00, 0xC0, 0x00, 0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0});
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ScratchFolder::ScratchFolder(const std::string& tag)
    : path_(fs::temp_directory_path() / ("tamso-winmm-" + tag + "-" + std::to_string(::getpid()))) {
  fs::remove_all(path_);
  fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

}  // namespace tamso::winmm::testing
