#pragma once
// Playing MIDI files with FluidSynth and a General MIDI soundfont. FluidSynth's messages
// are silenced: a failure becomes an MCIERR code and nothing is printed.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>
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

// One play of a song. Opening FluidSynth, making the synthesiser (loading the soundfont)
// and opening the audio output take a noticeable part of a second, so they happen on a
// thread of the object's own and the caller goes on at once. The song then plays on
// FluidSynth's audio thread. When it has ended and its last notes have died away, or the
// object is destroyed, that thread deletes the player, the synthesiser and the audio
// output, gives their memory back to the system, lets go of FluidSynth (which unloads it
// if nothing else holds it) and ends: a finished tune leaves no thread and no memory behind.
class MidiPlayback {
 public:
  // Begins playing `song` (a whole MIDI file, copied) once from its start.
  MidiPlayback(std::span<const std::uint8_t> song, std::filesystem::path soundFont, AudioOutput output);
  // Stops the song. A start still in progress is not waited for: its thread stops at its
  // next step and cleans up by itself.
  ~MidiPlayback();
  MidiPlayback(const MidiPlayback&) = delete;
  MidiPlayback& operator=(const MidiPlayback&) = delete;

  // Waits for the start to succeed or fail: 0, MCIERR_CANNOT_LOAD_DRIVER when FluidSynth
  // is not installed or the soundfont does not load, MCIERR_INVALID_FILE when the
  // synthesiser refuses the song, MCIERR_HARDWARE when no audio output opens.
  MCIERROR started();

  // True while starting and until the song has ended; false once the start has failed.
  bool playing() const;

  // Returns when the song has been played to its end and everything it held is released
  // (at once if it did not start).
  void wait();

  struct Session;  // shared with the thread

 private:
  static void play(std::shared_ptr<Session> session, std::vector<std::uint8_t> song,
                   std::filesystem::path soundFont, AudioOutput output);

  std::shared_ptr<Session> session_;
  std::thread player_;
};

// Renders `song` through the same synthesiser set-up into a 16-bit stereo 44.1 kHz WAV
// file, as fast as the machine allows, until the song has ended and its last notes have
// died away. Returns 0 or the MCIERR codes of MidiPlayback::started (MCIERR_HARDWARE: the
// WAV file could not be written).
MCIERROR RenderMidiToWav(std::span<const std::uint8_t> song, const std::filesystem::path& soundFont,
                         const std::filesystem::path& wavFile);

}  // namespace tamso::winmm
