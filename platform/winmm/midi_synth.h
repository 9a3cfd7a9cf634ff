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

#include "platform/winmm/mmsystem.h"
#include "platform/winmm/sound_fonts.h"

namespace tamso::winmm {

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
