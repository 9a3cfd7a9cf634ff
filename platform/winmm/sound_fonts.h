#pragma once
// Where a song's sound goes and which General MIDI soundfont plays it.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tamso::winmm {

// Where the sound goes.
struct AudioOutput {
  // A FluidSynth audio driver name ("pulseaudio", "alsa", "file", ...). Empty: the
  // desktop's sound server, then ALSA, whichever opens first.
  std::string driver;
  // For the "file" driver: the WAV file written while playing.
  std::filesystem::path fileName;
};

// The General MIDI soundfonts Debian installs, the system's choice first.
std::vector<std::filesystem::path> DebianSoundFonts();

// True when the file starts as a SoundFont 2 or 3 file does ("RIFF", size, "sfbk"). Other
// files are not handed to FluidSynth, whose fallback loaders print complaints of their own.
bool LooksLikeSoundFont(const std::filesystem::path& path);

// The first of `candidates` that looks like a soundfont.
std::optional<std::filesystem::path> FindSoundFont(const std::vector<std::filesystem::path>& candidates);

}  // namespace tamso::winmm
