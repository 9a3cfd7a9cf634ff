#include "platform/winmm/mci_command.h"

#include <array>
#include <optional>
#include <vector>

namespace tamso::winmm {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The words of `text`, or nullopt when a quote is left open.
std::optional<std::vector<std::string>> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    if (text[i] == '"') {
      const std::size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) return std::nullopt;
      words.emplace_back(text.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

std::optional<MciVerb> KnownVerb(const std::string& verb) {
  if (verb == "open") return MciVerb::Open;
  if (verb == "close") return MciVerb::Close;
  if (verb == "play") return MciVerb::Play;
  if (verb == "stop") return MciVerb::Stop;
  if (verb == "status") return MciVerb::Status;
  return std::nullopt;
}

// Verbs of the command set that this sequencer does not carry out.
bool IsUnsupportedVerb(const std::string& verb) {
  static constexpr std::array<std::string_view, 16> kVerbs = {
      "pause",  "resume", "seek", "set", "info",    "capability", "where", "window",
      "record", "save",   "load", "cue", "sysinfo", "break",      "sound", "put"};
  for (std::string_view v : kVerbs)
    if (verb == v) return true;
  return false;
}

// Sets a flag once; a second mention of the same flag is an error.
MCIERROR SetFlag(bool& flag) {
  if (flag) return MCIERR_DUPLICATE_FLAGS;
  flag = true;
  return 0;
}

// Reads the value after a keyword of "open" into `value`.
MCIERROR TakeValue(const std::vector<std::string>& words, std::size_t& i, std::string& value) {
  if (!value.empty()) return MCIERR_DUPLICATE_FLAGS;
  if (i + 1 >= words.size() || words[i + 1].empty()) return MCIERR_MISSING_STRING_ARGUMENT;
  value = words[++i];
  return 0;
}

}  // namespace

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

MciParseResult ParseMciCommand(std::string_view text) {
  MciParseResult result;
  const auto words = SplitWords(text);
  if (!words) return {MCIERR_NO_CLOSING_QUOTE, {}};
  if (words->empty()) return {MCIERR_MISSING_COMMAND_STRING, {}};

  const std::string verb = AsciiLower((*words)[0]);
  const auto known = KnownVerb(verb);
  if (!known)
    return {IsUnsupportedVerb(verb) ? MCIERR_UNSUPPORTED_FUNCTION : MCIERR_UNRECOGNIZED_COMMAND, {}};
  if (words->size() < 2 || (*words)[1].empty()) return {MCIERR_MISSING_DEVICE_NAME, {}};

  MciCommand& command = result.command;
  command.verb = *known;
  command.device = (*words)[1];

  for (std::size_t i = 2; i < words->size(); ++i) {
    const std::string keyword = AsciiLower((*words)[i]);
    MCIERROR error = MCIERR_UNRECOGNIZED_KEYWORD;
    if (keyword == "wait") {
      error = SetFlag(command.wait);
    } else if (keyword == "notify") {
      error = SetFlag(command.notify);
    } else if (command.verb == MciVerb::Open && keyword == "type") {
      error = TakeValue(*words, i, command.type);
    } else if (command.verb == MciVerb::Open && keyword == "alias") {
      error = TakeValue(*words, i, command.alias);
    } else if (command.verb == MciVerb::Status && keyword == "mode") {
      error = command.statusItem.empty() ? 0 : MCIERR_DUPLICATE_FLAGS;
      command.statusItem = keyword;
    }
    if (error != 0) return {error, {}};
  }

  if (command.verb == MciVerb::Status && command.statusItem.empty()) return {MCIERR_MISSING_PARAMETER, {}};

  // "open sequencer!tune.mid": the device type, then the file.
  if (command.verb == MciVerb::Open) {
    const std::size_t bang = command.device.find('!');
    if (bang != std::string::npos) {
      if (!command.type.empty()) return {MCIERR_DUPLICATE_FLAGS, {}};
      command.type = command.device.substr(0, bang);
      command.device = command.device.substr(bang + 1);
      if (command.type.empty() || command.device.empty()) return {MCIERR_MISSING_DEVICE_NAME, {}};
    }
  }
  return result;
}

}  // namespace tamso::winmm
