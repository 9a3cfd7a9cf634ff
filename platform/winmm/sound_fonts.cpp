#include "platform/winmm/sound_fonts.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <system_error>

#include "platform/runtime/regular_file.h"

namespace tamso::winmm {

namespace fs = std::filesystem;

std::vector<fs::path> DebianSoundFonts() {
  return {"/usr/share/sounds/sf2/default-GM.sf2",        "/usr/share/sounds/sf3/default-GM.sf3",
          "/usr/share/sounds/sf2/FluidR3_GM.sf2",        "/usr/share/sounds/sf2/TimGM6mb.sf2",
          "/usr/share/sounds/sf3/MuseScore_General.sf3", "/usr/share/soundfonts/default.sf2"};
}

bool LooksLikeSoundFont(const fs::path& path) {
  std::error_code error;
  const auto file = RegularFile::Open(path, error);
  std::array<std::uint8_t, 12> head{};
  if (!file || file->readAt(0, head, error) != head.size()) return false;
  const auto tagAt = [&head](std::size_t at, std::string_view tag) {
    return std::equal(tag.begin(), tag.end(), head.begin() + at, [](char expected, std::uint8_t byte) {
      return static_cast<std::uint8_t>(expected) == byte;
    });
  };
  return tagAt(0, "RIFF") && tagAt(8, "sfbk");
}

std::optional<fs::path> FindSoundFont(const std::vector<fs::path>& candidates) {
  for (const fs::path& path : candidates)
    if (LooksLikeSoundFont(path)) return path;
  return std::nullopt;
}

}  // namespace tamso::winmm
