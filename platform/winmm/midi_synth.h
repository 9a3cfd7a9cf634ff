#pragma once
// Playing MIDI files with FluidSynth and a General MIDI soundfont. FluidSynth's messages
// are silenced: a failure becomes an MCIERR code and nothing is printed.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/winmm/mmsystem.h"

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

// One play of a song, running on FluidSynth's audio thread until it ends or the object
// is destroyed (which stops it and releases the audio output).
class MidiPlayback {
 public:
  // Starts playing `song` (a whole MIDI file, copied) once from its start. Errors:
  // MCIERR_CANNOT_LOAD_DRIVER when the soundfont does not load, MCIERR_INVALID_FILE when
  // the synthesiser refuses the song, MCIERR_HARDWARE when no audio output opens.
  static MCIERROR Start(std::span<const std::uint8_t> song, const std::filesystem::path& soundFont,
                        const AudioOutput& output, std::unique_ptr<MidiPlayback>& playback);

  ~MidiPlayback();
  MidiPlayback(const MidiPlayback&) = delete;
  MidiPlayback& operator=(const MidiPlayback&) = delete;

  // True until the last event of the song has been played.
  bool playing() const;

  // Returns when the song has been played to its end.
  void wait();

 private:
  struct Parts;
  explicit MidiPlayback(std::unique_ptr<Parts> parts);
  std::unique_ptr<Parts> parts_;
};

// Renders `song` through the same synthesiser set-up into a 16-bit stereo 44.1 kHz WAV
// file, as fast as the machine allows, until the song has ended and its last notes have
// died away. Returns 0 or the MCIERR codes of MidiPlayback::Start (MCIERR_HARDWARE: the WAV
// file could not be written).
MCIERROR RenderMidiToWav(std::span<const std::uint8_t> song, const std::filesystem::path& soundFont,
                         const std::filesystem::path& wavFile);

}  // namespace tamso::winmm
