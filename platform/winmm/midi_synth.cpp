#include "platform/winmm/midi_synth.h"

#include "platform/winmm/fluidsynth_library.h"

#include <malloc.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <string_view>
#include <system_error>

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
  // The player follows the samples rendered rather than a timer thread of its own that
  // wakes every few milliseconds; rendering to a file then also runs as fast as it can.
  fluid.fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
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
  // FluidSynth's default of 16 periods of 64 frames wakes its audio thread, and the sound
  // server's client thread with it, some 700 times a second: about a quarter of a core
  // here. Two periods of 8192 frames (0.19 s each, FluidSynth's largest) take 1%, the
  // rendering itself nearly all of it. Nothing waits on the latency: a stop closes the
  // output, and the player is timed by the samples rendered, not by the periods.
  fluid.fluid_settings_setint(settings, "audio.period-size", kPeriodFrames);
  fluid.fluid_settings_setint(settings, "audio.periods", kPeriods);
  for (const std::string& name : drivers) {
    if (fluid.fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) continue;
    Driver driver(fluid.new_fluid_audio_driver(settings, synth), {&fluid});
    if (driver) return driver;
  }
  return nullptr;
}

// Declared so that the audio output is destroyed first (its thread drives the synthesiser
// and, through it, the player), then the player, the synthesiser, and the library last.
struct Parts {
  std::shared_ptr<const FluidSynthLibrary> fluid;
  Settings settings;
  Synth synth;
  Player player;
  Driver driver;
};

// Makes the synthesiser, opens the output and starts the song, checking `stopping` between
// the slow steps so that a start given up is left soon.
MCIERROR StartPlaying(Parts& parts, std::span<const std::uint8_t> song, const fs::path& soundFont,
                      const AudioOutput& output, const std::function<bool()>& stopping) {
  parts.fluid = FluidSynth();
  if (!parts.fluid) return MCIERR_CANNOT_LOAD_DRIVER;
  const FluidSynthLibrary& fluid = *parts.fluid;
  parts.settings = MakeSettings(fluid);
  if (parts.settings) parts.synth = Synth(fluid.new_fluid_synth(parts.settings.get()), {&fluid});
  if (!parts.synth) return MCIERR_CANNOT_LOAD_DRIVER;
  if (stopping()) return MCIERR_HARDWARE;
  // The output first: where none opens, the soundfont is never read.
  parts.driver = OpenAudioOutput(fluid, parts.settings.get(), parts.synth.get(), output);
  if (!parts.driver) return MCIERR_HARDWARE;
  if (stopping()) return MCIERR_HARDWARE;
  if (MCIERROR error = LoadSoundFontAndSong(fluid, parts.synth.get(), soundFont, song, parts.player))
    return error;
  if (fluid.fluid_player_play(parts.player.get()) != FLUID_OK) return MCIERR_INVALID_FILE;
  return 0;
}

// How often a playing song is looked at to see whether it has ended, and how long its last
// notes may ring on after that.
constexpr auto kEndPoll = std::chrono::milliseconds(250);
constexpr auto kLongestDieAway = std::chrono::seconds(1);

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

// What the object and its thread share; the thread keeps it alive after a destructor that
// did not wait.
struct MidiPlayback::Session {
  std::mutex mutex;
  std::condition_variable changed;
  bool started = false;  // the start has succeeded or failed
  MCIERROR error = 0;
  bool stopAsked = false;
  bool finished = false;  // everything the play held has been released

  template <typename Update>
  void set(Update update) {
    {
      std::lock_guard lock(mutex);
      update();
    }
    changed.notify_all();
  }
  bool stopping() {
    std::lock_guard lock(mutex);
    return stopAsked;
  }
  // Sleeps for `time` unless a stop is asked for first; true when one is.
  bool stopWithin(std::chrono::milliseconds time) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, time, [this] { return stopAsked; });
  }
};

namespace {

// Returns when the player has played the last event and the notes have died away, or
// when a stop is asked for.
void PlayToEnd(const Parts& parts, MidiPlayback::Session& session) {
  const FluidSynthLibrary& fluid = *parts.fluid;
  while (fluid.fluid_player_get_status(parts.player.get()) == FLUID_PLAYER_PLAYING)
    if (session.stopWithin(kEndPoll)) return;
  for (std::chrono::milliseconds rung{0};
       rung < kLongestDieAway && fluid.fluid_synth_get_active_voice_count(parts.synth.get()) > 0;
       rung += kEndPoll)
    if (session.stopWithin(kEndPoll)) return;
}

}  // namespace

MidiPlayback::MidiPlayback(std::span<const std::uint8_t> song, fs::path soundFont, AudioOutput output)
    : session_(std::make_shared<Session>()),
      player_(&MidiPlayback::play, session_, std::vector<std::uint8_t>(song.begin(), song.end()),
              std::move(soundFont), std::move(output)) {}

MidiPlayback::~MidiPlayback() {
  bool starting = false;
  session_->set([&] {
    session_->stopAsked = true;
    starting = !session_->started;
  });
  // A playing song is let go at once: closing the output takes milliseconds. A start may be
  // in the middle of reading the soundfont or connecting to the sound server; it is not
  // waited for, and stops at its next step.
  if (starting) {
    player_.detach();
  } else {
    player_.join();
  }
}

void MidiPlayback::play(std::shared_ptr<Session> session, std::vector<std::uint8_t> song, fs::path soundFont,
                        AudioOutput output) {
  {
    Parts parts;
    const MCIERROR error =
        StartPlaying(parts, song, soundFont, output, [&session] { return session->stopping(); });
    session->set([&] {
      session->started = true;
      session->error = error;
    });
    if (error == 0) PlayToEnd(parts, *session);
  }
  // The synthesiser, its samples and the output's buffers lie freed in this thread's and the
  // audio thread's heaps; give them back.
  malloc_trim(0);
  session->set([&] { session->finished = true; });
}

MCIERROR MidiPlayback::started() {
  std::unique_lock lock(session_->mutex);
  session_->changed.wait(lock, [this] { return session_->started; });
  return session_->error;
}

bool MidiPlayback::playing() const {
  std::lock_guard lock(session_->mutex);
  return !session_->finished && session_->error == 0;
}

void MidiPlayback::wait() {
  std::unique_lock lock(session_->mutex);
  session_->changed.wait(lock, [this] { return session_->finished; });
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
