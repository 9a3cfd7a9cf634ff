#pragma once
// FluidSynth, opened the first time a song is played rather than when the program starts.
// Linked in, it would bring some forty libraries (sound servers, glib, SDL, ...) into every
// run of the program, tune or no tune. The functions used are looked up by name; their
// types come from FluidSynth's own header, so a changed signature fails to compile.

#include <fluidsynth.h>

#include <memory>

namespace tamso::winmm {

// Every FluidSynth function the sequencer calls.
#define TAMSO_FLUIDSYNTH_FUNCTIONS(X)   \
  X(fluid_set_log_function)             \
  X(new_fluid_settings)                 \
  X(delete_fluid_settings)              \
  X(fluid_settings_setnum)              \
  X(fluid_settings_setstr)              \
  X(fluid_settings_setint)              \
  X(fluid_settings_getint)              \
  X(new_fluid_synth)                    \
  X(delete_fluid_synth)                 \
  X(fluid_synth_sfload)                 \
  X(fluid_synth_get_active_voice_count) \
  X(new_fluid_player)                   \
  X(delete_fluid_player)                \
  X(fluid_player_add_mem)               \
  X(fluid_player_play)                  \
  X(fluid_player_stop)                  \
  X(fluid_player_join)                  \
  X(fluid_player_get_status)            \
  X(new_fluid_audio_driver)             \
  X(delete_fluid_audio_driver)          \
  X(new_fluid_file_renderer)            \
  X(delete_fluid_file_renderer)         \
  X(fluid_file_renderer_process_block)

// The functions of one opened FluidSynth, all of them set.
struct FluidSynthLibrary {
#define TAMSO_FLUIDSYNTH_POINTER(name) decltype(&::name) name = nullptr;
  TAMSO_FLUIDSYNTH_FUNCTIONS(TAMSO_FLUIDSYNTH_POINTER)
#undef TAMSO_FLUIDSYNTH_POINTER
};

// The installed FluidSynth (libfluidsynth.so.3), opened with its messages, and those of the
// ALSA beneath it, silenced. Null when the library or one of its functions is missing: then
// there is no synthesiser. Safe to call from any thread; opening takes tens of milliseconds,
// so call it where slow work is expected. Every caller shares one opening; when the last
// holder lets go, the library is closed and its forty-odd dependencies are unmapped, so a
// finished tune leaves no code behind. Let go only after every FluidSynth object made
// through it has been deleted: their threads run in its code.
std::shared_ptr<const FluidSynthLibrary> FluidSynth();

// True while libfluidsynth.so.3 is mapped into the process.
bool FluidSynthLoaded();

// Opens `fileName` as FluidSynth and looks every function up; null when either fails. Each
// call opens it anew and silences nothing; FluidSynth() is this, shared.
std::shared_ptr<const FluidSynthLibrary> OpenFluidSynthLibrary(const char* fileName);

}  // namespace tamso::winmm
