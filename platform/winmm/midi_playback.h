#pragma once
// One play of a song, heard through the tune player (tamso-avi-tune), a process of its own.
// Starting it, loading the soundfont and opening the audio output take a noticeable part of
// a second, so a thread of the object's own starts the player and waits on it while the
// caller goes on at once. When the song has ended, or the object is destroyed, the player
// ends, and with it everything the synthesiser held; the thread then ends too: a finished
// tune leaves nothing behind in the window's process.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <thread>

#include "platform/winmm/mmsystem.h"
#include "platform/winmm/sound_fonts.h"

namespace tamso::winmm {

// Where the tune player of a program at `executable` is: beside it in a build tree, or in
// the libexec folder of an installed program (an executable in a folder named "bin" whose
// parent holds that folder).
std::filesystem::path TunePlayerFor(const std::filesystem::path& executable);

// The tune player of the running program.
std::filesystem::path TunePlayer();

class MidiPlayback {
 public:
  // Begins playing `song` (a whole MIDI file, copied) once from its start with `player`.
  MidiPlayback(std::span<const std::uint8_t> song, std::filesystem::path soundFont, AudioOutput output,
               std::filesystem::path player);
  // Stops the song. A start still in progress is not waited for: the player is ended at
  // once and the thread tidies up by itself.
  ~MidiPlayback();
  MidiPlayback(const MidiPlayback&) = delete;
  MidiPlayback& operator=(const MidiPlayback&) = delete;

  // Waits for the start to succeed or fail: 0, MCIERR_CANNOT_LOAD_DRIVER when the player or
  // the soundfont does not load, MCIERR_INVALID_FILE when the synthesiser refuses the song,
  // MCIERR_HARDWARE when no audio output opens.
  MCIERROR started();

  // True while starting and until the song has ended; false once the start has failed.
  bool playing() const;

  // Returns when the song has been played to its end and the player has ended (at once if
  // it did not start).
  void wait();

  struct Session;  // shared with the thread

 private:
  std::shared_ptr<Session> session_;
  std::thread waiter_;
};

}  // namespace tamso::winmm
