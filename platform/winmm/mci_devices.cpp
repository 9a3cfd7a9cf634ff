#include "platform/winmm/mci_devices.h"

#include <system_error>

#include "platform/runtime/app_paths.h"
#include "platform/runtime/regular_file.h"
#include "platform/winmm/midi_file.h"
#include "platform/winmm/tune_channel.h"

namespace tamso::winmm {

namespace fs = std::filesystem;

namespace {

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool HasSequencerExtension(std::string_view element) {
  const std::string extension = AsciiLower(fs::path(element).extension().string());
  return extension == ".mid" || extension == ".midi" || extension == ".rmi";
}

// The whole file, or nullopt when it cannot be read or is too large to be a song.
std::optional<std::vector<std::uint8_t>> ReadSong(const fs::path& path) {
  std::error_code ec;
  return ReadWholeFile(path, kLargestSong, ec);
}

}  // namespace

std::optional<fs::path> ResolveMediaFile(std::string_view name, const fs::path& applicationDirectory) {
  std::string written(name);
  for (char& c : written)
    if (c == '\\') c = '/';
  const fs::path path(written);
  if (IsFile(path)) return path;
  if (path.is_relative() && !path.has_parent_path() && !applicationDirectory.empty() &&
      IsFile(applicationDirectory / path))
    return applicationDirectory / path;
  return std::nullopt;
}

struct MciDeviceTable::Device {
  std::vector<std::uint8_t> song;
  fs::path soundFont;
  AudioOutput output;
  fs::path player;
  bool autoOpened = false;
  std::unique_ptr<MidiPlayback> playback;

  bool playing() const { return playback && playback->playing(); }
};

MciDeviceTable::MciDeviceTable(SequencerSetup setup) : setup_(std::move(setup)) {}

MciDeviceTable::~MciDeviceTable() {
  std::lock_guard lock(mutex_);
  devices_.clear();
}

void MciDeviceTable::configure(SequencerSetup setup) {
  std::lock_guard lock(mutex_);
  setup_ = std::move(setup);
}

std::size_t MciDeviceTable::openCount() const {
  std::lock_guard lock(mutex_);
  return devices_.size();
}

MciDeviceTable::Device* MciDeviceTable::find(std::string_view name) {
  auto it = devices_.find(AsciiLower(name));
  return it == devices_.end() ? nullptr : it->second.get();
}

void MciDeviceTable::closeIdleAutoOpened() {
  std::erase_if(devices_,
                [](const auto& entry) { return entry.second->autoOpened && !entry.second->playing(); });
}

MCIERROR MciDeviceTable::execute(const MciCommand& command, std::string& reply) {
  std::lock_guard lock(mutex_);
  reply.clear();
  closeIdleAutoOpened();
  if (command.verb == MciVerb::Open) return open(command);
  if (command.verb == MciVerb::Close) return close(command.device);

  Device* device = find(command.device);
  if (!device) {
    if (command.notify) return MCIERR_NOTIFY_ON_AUTO_OPEN;
    if (MCIERROR error = openDevice(command.device, false, command.device, true, device)) return error;
  }

  MCIERROR result = 0;
  switch (command.verb) {
    case MciVerb::Play:
      result = play(*device, command.wait);
      break;
    case MciVerb::Stop:
      device->playback.reset();
      break;
    case MciVerb::Status:
      reply = device->playing() ? "playing" : "stopped";
      break;
    default:
      break;
  }
  closeIdleAutoOpened();
  return result;
}

MCIERROR MciDeviceTable::open(const MciCommand& command) {
  const bool typeGiven = !command.type.empty();
  if (typeGiven && AsciiLower(command.type) != "sequencer") return MCIERR_INVALID_DEVICE_NAME;
  const std::string& name = command.alias.empty() ? command.device : command.alias;
  if (find(name)) return command.alias.empty() ? MCIERR_DEVICE_OPEN : MCIERR_DUPLICATE_ALIAS;
  Device* device = nullptr;
  return openDevice(command.device, typeGiven, name, false, device);
}

MCIERROR MciDeviceTable::openDevice(const std::string& element, bool typeGiven, const std::string& name,
                                    bool autoOpened, Device*& device) {
  if (!typeGiven && !HasSequencerExtension(element)) return MCIERR_EXTENSION_NOT_FOUND;
  const auto path = ResolveMediaFile(element, ApplicationDirectory());
  if (!path) return MCIERR_FILE_NOT_FOUND;
  auto song = ReadSong(*path);
  if (!song) return MCIERR_FILE_NOT_FOUND;
  if (!ReadMidiFile(*song)) return MCIERR_INVALID_FILE;
  const auto soundFont = FindSoundFont(setup_.soundFonts);
  if (!soundFont) return MCIERR_CANNOT_LOAD_DRIVER;

  auto entry = std::make_unique<Device>();
  entry->song = std::move(*song);
  entry->soundFont = *soundFont;
  entry->output = setup_.output;
  entry->player = setup_.player;
  entry->autoOpened = autoOpened;
  device = entry.get();
  devices_[AsciiLower(name)] = std::move(entry);
  return 0;
}

MCIERROR MciDeviceTable::close(const std::string& name) {
  if (AsciiLower(name) == "all") {
    devices_.clear();
    return 0;
  }
  if (devices_.erase(AsciiLower(name)) == 0) return MCIERR_INVALID_DEVICE_NAME;
  return 0;
}

MCIERROR MciDeviceTable::play(Device& device, bool wait) {
  if (device.playing()) return 0;
  device.playback =
      std::make_unique<MidiPlayback>(device.song, device.soundFont, device.output, device.player);
  if (!wait) return 0;
  if (MCIERROR error = device.playback->started()) return error;
  device.playback->wait();
  return 0;
}

MciDeviceTable& ProcessMciDevices() {
  // Made on first use and destroyed at exit after everything made before it, so no
  // song is still sounding when the process ends.
  static MciDeviceTable table;
  return table;
}

}  // namespace tamso::winmm
