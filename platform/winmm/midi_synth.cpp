#include "platform/winmm/midi_synth.h"

#include <fluidsynth.h>

#ifdef TAMSO_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

#include <malloc.h>
#include <sys/mman.h>

#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/winmm/midi_file.h"
#include "platform/winmm/soundfont_subset.h"

namespace tamso::winmm {

namespace fs = std::filesystem;

namespace {

constexpr double kSampleRate = 44100;
// FluidSynth's default gain (0.2) leaves a General MIDI song very quiet.
constexpr double kGain = 0.5;
constexpr int kVoices = 64;
constexpr int kPeriodFrames = 8192;
constexpr int kPeriods = 2;
// A song that would render longer than this is cut off.
constexpr double kLongestRenderSeconds = 30 * 60;
// How often a playing song is looked at to see whether it has ended, and how long its last
// notes may ring on after that.
constexpr auto kEndPoll = std::chrono::milliseconds(250);
constexpr auto kLongestDieAway = std::chrono::seconds(1);
// General MIDI fonts run to some hundreds of MB; a file larger than this is not cut.
constexpr std::uint64_t kLargestSoundFontToCut = std::uint64_t(2) << 30;

template <auto Delete>
struct FluidDeleter {
  template <typename Object>
  void operator()(Object* object) const {
    Delete(object);
  }
};
using Settings = std::unique_ptr<fluid_settings_t, FluidDeleter<&delete_fluid_settings>>;
using Synth = std::unique_ptr<fluid_synth_t, FluidDeleter<&delete_fluid_synth>>;
using Player = std::unique_ptr<fluid_player_t, FluidDeleter<&delete_fluid_player>>;
using Driver = std::unique_ptr<fluid_audio_driver_t, FluidDeleter<&delete_fluid_audio_driver>>;
using Renderer = std::unique_ptr<fluid_file_renderer_t, FluidDeleter<&delete_fluid_file_renderer>>;

#ifdef TAMSO_HAVE_ALSA
void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
#endif

// FluidSynth, and ALSA below it, print their errors to the terminal by default; the
// player reports them through its result instead.
void SilenceLibraries() {
  for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) fluid_set_log_function(level, nullptr, nullptr);
#ifdef TAMSO_HAVE_ALSA
  snd_lib_error_set_handler(IgnoreAlsaMessage);
#endif
}

Settings MakeSettings() {
  SilenceLibraries();
  Settings settings(new_fluid_settings());
  if (!settings) return settings;
  fluid_settings_setnum(settings.get(), "synth.sample-rate", kSampleRate);
  fluid_settings_setnum(settings.get(), "synth.gain", kGain);
  // General MIDI asks for 24 voices at least. FluidSynth's default of 256 keeps 2 MiB of
  // voices; with 64 kitty.mid renders to the same samples.
  fluid_settings_setint(settings.get(), "synth.polyphony", kVoices);
  // The player follows the samples rendered rather than a timer thread of its own that
  // wakes every few milliseconds; rendering to a file then also runs as fast as it can.
  fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
  return settings;
}

// Loads `soundFont` into `synth` and makes a player holding `song`. `wholeFont`: only the
// samples of the presets the song selects are read, not all of them.
MCIERROR LoadSoundFontAndSong(fluid_settings_t* settings, fluid_synth_t* synth, const fs::path& soundFont,
                              bool wholeFont, std::span<const std::uint8_t> song, Player& player) {
  // Read by the soundfont loader when it loads.
  fluid_settings_setint(settings, "synth.dynamic-sample-loading", wholeFont ? 1 : 0);
  if (fluid_synth_sfload(synth, soundFont.c_str(), 1) == FLUID_FAILED) return MCIERR_CANNOT_LOAD_DRIVER;
  player = Player(new_fluid_player(synth));
  if (!player || fluid_player_add_mem(player.get(), song.data(), song.size()) != FLUID_OK)
    return MCIERR_INVALID_FILE;
  return 0;
}

Driver OpenAudioOutput(fluid_settings_t* settings, fluid_synth_t* synth, const AudioOutput& output) {
  std::vector<std::string> drivers;
  if (output.driver.empty()) {
    // Never JACK: asking for it can start a sound server of its own.
    drivers = {"pulseaudio", "alsa"};
  } else {
    drivers = {output.driver};
  }
  if (!output.fileName.empty()) fluid_settings_setstr(settings, "audio.file.name", output.fileName.c_str());
  // FluidSynth's default of 16 periods of 64 frames wakes its audio thread, and the sound
  // server's client thread with it, some 700 times a second: about a quarter of a core
  // here. Two periods of 8192 frames (0.19 s each, FluidSynth's largest) take 1%, the
  // rendering itself nearly all of it. Nothing waits on the latency: a stop closes the
  // output, and the player is timed by the samples rendered, not by the periods.
  fluid_settings_setint(settings, "audio.period-size", kPeriodFrames);
  fluid_settings_setint(settings, "audio.periods", kPeriods);
  for (const std::string& name : drivers) {
    if (fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) continue;
    Driver driver(new_fluid_audio_driver(settings, synth));
    if (driver) return driver;
  }
  return nullptr;
}

// Declared so that the audio output is destroyed first (its thread drives the synthesiser
// and, through it, the player), then the player and the synthesiser.
struct Parts {
  Settings settings;
  Synth synth;
  Player player;
  Driver driver;
};

MCIERROR StartPlaying(Parts& parts, std::span<const std::uint8_t> song, const fs::path& soundFont,
                      const AudioOutput& output) {
  parts.settings = MakeSettings();
  if (parts.settings) parts.synth = Synth(new_fluid_synth(parts.settings.get()));
  if (!parts.synth) return MCIERR_CANNOT_LOAD_DRIVER;
  // The output first: where none opens, the soundfont is never read.
  parts.driver = OpenAudioOutput(parts.settings.get(), parts.synth.get(), output);
  if (!parts.driver) return MCIERR_HARDWARE;
  const SongSoundFont font(song, soundFont);
  MCIERROR error = LoadSoundFontAndSong(parts.settings.get(), parts.synth.get(), font.path(), !font.cut(),
                                        song, parts.player);
  // Should the synthesiser refuse the cut-down font, the whole one still plays.
  if (error == MCIERR_CANNOT_LOAD_DRIVER && font.cut())
    error =
        LoadSoundFontAndSong(parts.settings.get(), parts.synth.get(), soundFont, true, song, parts.player);
  if (error) return error;
  if (fluid_player_play(parts.player.get()) != FLUID_OK) return MCIERR_INVALID_FILE;
  return 0;
}

}  // namespace

SongSoundFont::SongSoundFont(std::span<const std::uint8_t> song, const fs::path& soundFont)
    : path_(soundFont) {
  const auto facts = ReadMidiFile(song);
  std::error_code error;
  const auto font = facts ? MappedFile::Open(soundFont, kLargestSoundFontToCut, error) : std::nullopt;
  const auto subset = font ? SoundFontSubset(font->bytes(), PresetsSongMaySelect(*facts)) : std::nullopt;
  if (!subset) return;
  FileDescriptor memory(memfd_create("song-soundfont.sf2", MFD_CLOEXEC));
  if (!memory.valid() || WriteAll(memory.get(), *subset) != 0) return;
  path_ = "/proc/self/fd/" + std::to_string(memory.get());
  memory_ = std::move(memory);
}

void PlaySong(std::span<const std::uint8_t> song, const fs::path& soundFont, const AudioOutput& output,
              const std::function<void(MCIERROR)>& started,
              const std::function<bool(std::chrono::milliseconds)>& stopWithin) {
  Parts parts;
  const MCIERROR error = StartPlaying(parts, song, soundFont, output);
  started(error);
  if (error != 0) return;
  // Reading the soundfont and the song left freed blocks in the heap; give them back.
  malloc_trim(0);
  while (fluid_player_get_status(parts.player.get()) == FLUID_PLAYER_PLAYING)
    if (stopWithin(kEndPoll)) return;
  for (std::chrono::milliseconds rung{0};
       rung < kLongestDieAway && fluid_synth_get_active_voice_count(parts.synth.get()) > 0; rung += kEndPoll)
    if (stopWithin(kEndPoll)) return;
}

MCIERROR RenderMidiToWav(std::span<const std::uint8_t> song, const fs::path& soundFont,
                         const fs::path& wavFile) {
  Settings settings = MakeSettings();
  if (!settings) return MCIERR_CANNOT_LOAD_DRIVER;
  fluid_settings_setstr(settings.get(), "audio.file.name", wavFile.c_str());
  fluid_settings_setstr(settings.get(), "audio.file.type", "wav");
  fluid_settings_setstr(settings.get(), "audio.file.format", "s16");
  Synth synth(new_fluid_synth(settings.get()));
  if (!synth) return MCIERR_CANNOT_LOAD_DRIVER;
  Player player;
  if (MCIERROR error = LoadSoundFontAndSong(settings.get(), synth.get(), soundFont, true, song, player))
    return error;

  Renderer renderer(new_fluid_file_renderer(synth.get()));
  if (!renderer) return MCIERR_HARDWARE;
  if (fluid_player_play(player.get()) != FLUID_OK) return MCIERR_INVALID_FILE;

  int periodSize = 64;
  fluid_settings_getint(settings.get(), "audio.period-size", &periodSize);
  const long longest = static_cast<long>(kLongestRenderSeconds * kSampleRate / periodSize);
  // The player reports the end once the last event has passed and its notes have died away.
  for (long blocks = 0; fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING && blocks < longest;
       ++blocks)
    if (fluid_file_renderer_process_block(renderer.get()) != FLUID_OK) return MCIERR_HARDWARE;
  fluid_player_stop(player.get());
  return 0;
}

}  // namespace tamso::winmm
