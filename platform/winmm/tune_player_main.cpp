// tamso-avi-tune: plays one song for the window's MCI sequencer, in a process of its own,
// so that the synthesiser, its soundfont, its audio output and the forty-odd libraries
// they bring never enter the window's process, and all of it is given back to the system
// the moment the song is over: the process ends.
//
// Usage: tamso-avi-tune SOUNDFONT [DRIVER [WAV_FILE]]
// Standard input is a stream socket to the window (see tune_channel.h): the song comes
// from it, the start's result goes back on it, and its closing stops the song.
#include <cstdio>
#include <cstdlib>

#include "platform/winmm/midi_synth.h"
#include "platform/winmm/tune_channel.h"

// For the sanitiser builds: what the system's libraries keep until the process ends
// (GLib's type system, FluidSynth's and the sound server's one-time set-up) is not ours to
// free.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0\nleak:libgobject-2.0\nleak:libfluidsynth\nleak:libinstpatch\n"
         "leak:libpulse\nleak:libasound\nleak:libgomp\n";
}

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: %s SOUNDFONT [DRIVER [WAV_FILE]]\n", argv[0]);
    return 2;
  }
  constexpr int kWindow = 0;
  const auto song = tamso::winmm::ReceiveSong(kWindow);
  if (!song) return 1;
  const tamso::winmm::AudioOutput output{argc > 2 ? argv[2] : "", argc > 3 ? argv[3] : ""};
  tamso::winmm::PlaySong(
      *song, argv[1], output, [](MCIERROR result) { tamso::winmm::SendStartResult(kWindow, result); },
      [&output](std::chrono::milliseconds time) {
        const bool stop = tamso::winmm::StopAsked(kWindow, time);
        // Taking the synthesiser down waits for the audio thread, which may be waiting on
        // the sound server; ending the process stops the sound as surely and at once. A
        // WAV file is closed properly instead, so that its header holds its length.
        if (stop && output.fileName.empty()) std::_Exit(0);
        return stop;
      });
  return 0;
}
