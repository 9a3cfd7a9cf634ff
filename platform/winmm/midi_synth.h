#pragma once
// Playing MIDI files with FluidSynth and a General MIDI soundfont. This runs in the tune
// player's own process (tune_player_main.cpp), never in the window's: everything the
// synthesiser holds goes when that process ends. FluidSynth's messages are silenced: a
// failure becomes an MCIERR code and nothing is printed.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

#include "platform/runtime/regular_file.h"
#include "platform/winmm/mmsystem.h"
#include "platform/winmm/sound_fonts.h"

namespace tamso::winmm {

// The soundfont the synthesiser loads for `song`: the presets the song may select, cut
// from `soundFont` into a file in memory, or `soundFont` itself where it cannot be cut (a
// damaged song, a compressed or unusual font). The synthesiser then builds its structures
// for a handful of presets instead of every one, several MiB fewer for a General MIDI font.
class SongSoundFont {
 public:
  SongSoundFont(std::span<const std::uint8_t> song, const std::filesystem::path& soundFont);

  // The file to load while the object lives.
  const std::filesystem::path& path() const { return path_; }
  // True when path() is the cut-down font, all of whose samples the song may need.
  bool cut() const { return memory_.valid(); }

 private:
  FileDescriptor memory_;
  std::filesystem::path path_;
};

// Plays `song` (a whole MIDI file) once from its start into `output`. `started` is called
// once, with 0 when the song is playing or with the reason it cannot:
// MCIERR_CANNOT_LOAD_DRIVER when the synthesiser or the soundfont does not load,
// MCIERR_INVALID_FILE when the synthesiser refuses the song, MCIERR_HARDWARE when no audio
// output opens. While the song plays, `stopWithin(period)` is asked to wait up to `period`
// and to answer whether the song is to stop. Returns when it has been played to its end
// and its last notes have died away, or when it stops; everything is released by then.
void PlaySong(std::span<const std::uint8_t> song, const std::filesystem::path& soundFont,
              const AudioOutput& output, const std::function<void(MCIERROR)>& started,
              const std::function<bool(std::chrono::milliseconds)>& stopWithin);

// Renders `song` through the same synthesiser set-up into a 16-bit stereo 44.1 kHz WAV
// file, as fast as the machine allows, until the song has ended and its last notes have
// died away. Returns 0 or the MCIERR codes that PlaySong reports (MCIERR_HARDWARE: the WAV
// file could not be written).
MCIERROR RenderMidiToWav(std::span<const std::uint8_t> song, const std::filesystem::path& soundFont,
                         const std::filesystem::path& wavFile);

}  // namespace tamso::winmm
