#pragma once
// The open MCI devices of the process and what each command does to them.
//
// Names. A device is known by its alias: the name given with "alias", otherwise the
// element (file name) exactly as written; aliases are matched without regard to case.
// A command other than open or close that names no open device opens the named file
// for its own use ("auto-open") and closes it again when it is done with it: after a
// stop or a status, or once an asynchronous play has reached the end of the song, so a
// later "play" starts the song again from its start.
//
// Files. A relative file name is looked for in the current directory first. If it is not
// there and the name has no folder part, it is looked for in the application directory
// too, so "play kitty.mid" finds the tune beside the program when the program was started
// from elsewhere (a desktop menu, another folder). Backslashes separate folders as on the
// platform whose names these are. The device type comes from the extension: .mid, .midi
// and .rmi are the sequencer, the only device here; anything else is
// MCIERR_EXTENSION_NOT_FOUND unless "type sequencer" is given.
//
// Commands:
//   open NAME [type sequencer] [alias A]  MCIERR_DEVICE_OPEN, _DUPLICATE_ALIAS when the name
//                                         is taken; _FILE_NOT_FOUND, _INVALID_FILE (not a sound
//                                         MIDI file), _CANNOT_LOAD_DRIVER (no soundfont),
//                                         _INVALID_DEVICE_NAME (another type)
//   play NAME [wait]                      plays the song once from its start; while it plays,
//                                         a further play changes nothing. It returns at
//                                         once and the synthesiser starts in the background,
//                                         in a tune player process of its own:
//                                         if FluidSynth or its soundfont does not load or
//                                         no audio output opens, the device is simply
//                                         stopped. With "wait" it returns at the song's
//                                         end, or at once with
//                                         _CANNOT_LOAD_DRIVER or _HARDWARE (no audio output).
//   stop NAME                             stops it
//   status NAME mode                      replies "playing" or "stopped"
//   close NAME | close all                MCIERR_INVALID_DEVICE_NAME when NAME is not open
// "notify" is accepted (an auto-open refuses it: MCIERR_NOTIFY_ON_AUTO_OPEN) and posts
// nothing.

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/winmm/mci_command.h"
#include "platform/winmm/midi_playback.h"
#include "platform/winmm/sound_fonts.h"

namespace tamso::winmm {

// What the devices play through.
struct SequencerSetup {
  AudioOutput output;
  std::vector<std::filesystem::path> soundFonts = DebianSoundFonts();  // the first that exists
  std::filesystem::path player = TunePlayer();                         // tamso-avi-tune
};

// The file a device name stands for, by the rule above; `applicationDirectory` is where a
// bare name is looked for when the current directory does not hold it.
std::optional<std::filesystem::path> ResolveMediaFile(std::string_view name,
                                                      const std::filesystem::path& applicationDirectory);

class MciDeviceTable {
 public:
  explicit MciDeviceTable(SequencerSetup setup = {});
  ~MciDeviceTable();  // stops and closes every device
  MciDeviceTable(const MciDeviceTable&) = delete;
  MciDeviceTable& operator=(const MciDeviceTable&) = delete;

  // Replaces the set-up; devices opened from then on use it.
  void configure(SequencerSetup setup);

  // Carries out one parsed command; `reply` receives the text answer (empty for most).
  MCIERROR execute(const MciCommand& command, std::string& reply);

  // The number of open devices, auto-opened ones included.
  std::size_t openCount() const;

 private:
  struct Device;
  Device* find(std::string_view name);
  MCIERROR open(const MciCommand& command);
  MCIERROR openDevice(const std::string& element, bool typeGiven, const std::string& name, bool autoOpened,
                      Device*& device);
  MCIERROR close(const std::string& name);
  MCIERROR play(Device& device, bool wait);
  void closeIdleAutoOpened();

  mutable std::mutex mutex_;
  SequencerSetup setup_;
  std::map<std::string, std::unique_ptr<Device>> devices_;  // by alias in lower case
};

// The table behind mciSendStringA, made on first use and closed at process exit.
MciDeviceTable& ProcessMciDevices();

}  // namespace tamso::winmm
