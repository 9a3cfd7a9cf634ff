#include "platform/winmm/midi_synth.h"

#include "platform/winmm/fluidsynth_library.h"

#include <malloc.h>

#include <array>
#include <fstream>
#include <string_view>
#include <system_error>

namespace tamso::winmm {

namespace fs = std::filesystem;

namespace {

constexpr double kSampleRate = 44100;
// FluidSynth's default gain (0.2) leaves a General MIDI song very quiet.
constexpr double kGain = 0.5;
constexpr int kVoices = 64;
// A song that would render longer than this is cut off.
constexpr double kLongestRenderSeconds = 30 * 60;

// Deletes a FluidSynth object through the library's function `Delete`.
template <auto FluidSynthLibrary::*Delete>
struct FluidDeleter {
  const FluidSynthLibrary* fluid = nullptr;
  template <typename Object>
  void operator()(Object* object) const {
    (fluid->*Delete)(object);
  }
};
using Settings = std::unique_ptr<fluid_settings_t, FluidDeleter<&FluidSynthLibrary::delete_fluid_settings>>;
using Synth = std::unique_ptr<fluid_synth_t, FluidDeleter<&FluidSynthLibrary::delete_fluid_synth>>;
using Player = std::unique_ptr<fluid_player_t, FluidDeleter<&FluidSynthLibrary::delete_fluid_player>>;
using Driver =
    std::unique_ptr<fluid_audio_driver_t, FluidDeleter<&FluidSynthLibrary::delete_fluid_audio_driver>>;
using Renderer =
    std::unique_ptr<fluid_file_renderer_t, FluidDeleter<&FluidSynthLibrary::delete_fluid_file_renderer>>;

Settings MakeSettings(const FluidSynthLibrary& fluid) {
  Settings settings(fluid.new_fluid_settings(), {&fluid});
  if (!settings) return settings;
  fluid.fluid_settings_setnum(settings.get(), "synth.sample-rate", kSampleRate);
  fluid.fluid_settings_setnum(settings.get(), "synth.gain", kGain);
  // Only the samples of the instruments the song selects are read into memory, not the
  // whole soundfont.
  fluid.fluid_settings_setint(settings.get(), "synth.dynamic-sample-loading", 1);
  // General MIDI asks for 24 voices at least. FluidSynth's default of 256 keeps 2 MiB of
  // voices; with 64 kitty.mid renders to the same samples.
  fluid.fluid_settings_setint(settings.get(), "synth.polyphony", kVoices);
  return settings;
}

// Loads `soundFont` into `synth` and makes a player holding `song`.
MCIERROR LoadSoundFontAndSong(const FluidSynthLibrary& fluid, fluid_synth_t* synth, const fs::path& soundFont,
                              std::span<const std::uint8_t> song, Player& player) {
  if (fluid.fluid_synth_sfload(synth, soundFont.c_str(), 1) == FLUID_FAILED) return MCIERR_CANNOT_LOAD_DRIVER;
  player = Player(fluid.new_fluid_player(synth), {&fluid});
  if (!player || fluid.fluid_player_add_mem(player.get(), song.data(), song.size()) != FLUID_OK)
    return MCIERR_INVALID_FILE;
  return 0;
}

Driver OpenAudioOutput(const FluidSynthLibrary& fluid, fluid_settings_t* settings, fluid_synth_t* synth,
                       const AudioOutput& output) {
  std::vector<std::string> drivers;
  if (output.driver.empty()) {
    // Never JACK: asking for it can start a sound server of its own.
    drivers = {"pulseaudio", "alsa"};
  } else {
    drivers = {output.driver};
  }
  if (!output.fileName.empty())
    fluid.fluid_settings_setstr(settings, "audio.file.name", output.fileName.c_str());
  for (const std::string& name : drivers) {
    if (fluid.fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) continue;
    Driver driver(fluid.new_fluid_audio_driver(settings, synth), {&fluid});
    if (driver) return driver;
  }
  return nullptr;
}

}  // namespace

std::vector<fs::path> DebianSoundFonts() {
  return {"/usr/share/sounds/sf2/default-GM.sf2",        "/usr/share/sounds/sf3/default-GM.sf3",
          "/usr/share/sounds/sf2/FluidR3_GM.sf2",        "/usr/share/sounds/sf2/TimGM6mb.sf2",
          "/usr/share/sounds/sf3/MuseScore_General.sf3", "/usr/share/soundfonts/default.sf2"};
}

bool LooksLikeSoundFont(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<char, 12> head{};
  if (!in.read(head.data(), head.size())) return false;
  const std::string_view text(head.data(), head.size());
  return text.substr(0, 4) == "RIFF" && text.substr(8, 4) == "sfbk";
}

std::optional<fs::path> FindSoundFont(const std::vector<fs::path>& candidates) {
  for (const fs::path& path : candidates) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec) && LooksLikeSoundFont(path)) return path;
  }
  return std::nullopt;
}

// Declared so that the audio output is destroyed first (its thread drives the synthesiser
// and, through it, the player), then the player, the synthesiser, and the library last.
struct MidiPlayback::Parts {
  std::shared_ptr<const FluidSynthLibrary> fluid;
  Settings settings;
  Synth synth;
  Player player;
  Driver driver;
};

MidiPlayback::MidiPlayback(std::span<const std::uint8_t> song, fs::path soundFont, AudioOutput output)
    : starter_(&MidiPlayback::start, this, std::vector<std::uint8_t>(song.begin(), song.end()),
               std::move(soundFont), std::move(output)) {}

MidiPlayback::~MidiPlayback() {
  started();
  if (parts_) {
    parts_->fluid->fluid_player_stop(parts_->player.get());
    parts_->driver.reset();
  }
}

void MidiPlayback::start(std::vector<std::uint8_t> song, fs::path soundFont, AudioOutput output) {
  auto parts = std::make_unique<Parts>();
  // The first play opens the library, here off the caller's thread.
  parts->fluid = FluidSynth();
  MCIERROR error = 0;
  if (parts->fluid) parts->settings = MakeSettings(*parts->fluid);
  if (parts->settings)
    parts->synth = Synth(parts->fluid->new_fluid_synth(parts->settings.get()), {parts->fluid.get()});
  if (!parts->synth) {
    error = MCIERR_CANNOT_LOAD_DRIVER;
  } else {
    // The output first: where none opens, the soundfont is never read.
    parts->driver = OpenAudioOutput(*parts->fluid, parts->settings.get(), parts->synth.get(), output);
    if (!parts->driver) error = MCIERR_HARDWARE;
  }
  if (error == 0)
    error = LoadSoundFontAndSong(*parts->fluid, parts->synth.get(), soundFont, song, parts->player);
  if (error == 0 && parts->fluid->fluid_player_play(parts->player.get()) != FLUID_OK)
    error = MCIERR_INVALID_FILE;
  error_ = error;
  if (error == 0) {
    parts_ = std::move(parts);
  } else {
    // What the failed start allocated lies freed in this thread's heap; give it back.
    parts.reset();
    malloc_trim(0);
  }
  ready_.store(true, std::memory_order_release);
}

MCIERROR MidiPlayback::started() {
  if (starter_.joinable()) starter_.join();
  return error_;
}

bool MidiPlayback::playing() const {
  if (!ready_.load(std::memory_order_acquire)) return true;
  return parts_ && parts_->fluid->fluid_player_get_status(parts_->player.get()) == FLUID_PLAYER_PLAYING;
}

void MidiPlayback::wait() {
  if (started() == 0) parts_->fluid->fluid_player_join(parts_->player.get());
}

MCIERROR RenderMidiToWav(std::span<const std::uint8_t> song, const fs::path& soundFont,
                         const fs::path& wavFile) {
  const std::shared_ptr<const FluidSynthLibrary> library = FluidSynth();
  if (!library) return MCIERR_CANNOT_LOAD_DRIVER;
  const FluidSynthLibrary& fluid = *library;
  Settings settings = MakeSettings(fluid);
  if (!settings) return MCIERR_CANNOT_LOAD_DRIVER;
  fluid.fluid_settings_setstr(settings.get(), "audio.file.name", wavFile.c_str());
  fluid.fluid_settings_setstr(settings.get(), "audio.file.type", "wav");
  fluid.fluid_settings_setstr(settings.get(), "audio.file.format", "s16");
  // The player follows the samples rendered rather than the clock, so rendering runs
  // as fast as it can.
  fluid.fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
  Synth synth(fluid.new_fluid_synth(settings.get()), {&fluid});
  if (!synth) return MCIERR_CANNOT_LOAD_DRIVER;
  Player player;
  if (MCIERROR error = LoadSoundFontAndSong(fluid, synth.get(), soundFont, song, player)) return error;

  Renderer renderer(fluid.new_fluid_file_renderer(synth.get()), {&fluid});
  if (!renderer) return MCIERR_HARDWARE;
  if (fluid.fluid_player_play(player.get()) != FLUID_OK) return MCIERR_INVALID_FILE;

  int periodSize = 64;
  fluid.fluid_settings_getint(settings.get(), "audio.period-size", &periodSize);
  const long longest = static_cast<long>(kLongestRenderSeconds * kSampleRate / periodSize);
  // The player reports the end once the last event has passed and its notes have died away.
  for (long blocks = 0;
       fluid.fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING && blocks < longest; ++blocks)
    if (fluid.fluid_file_renderer_process_block(renderer.get()) != FLUID_OK) return MCIERR_HARDWARE;
  fluid.fluid_player_stop(player.get());
  return 0;
}

}  // namespace tamso::winmm
