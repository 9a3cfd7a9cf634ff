#pragma once
// MCI command strings: "verb device [keyword [value]]...". Words are separated by
// blanks; a word in double quotes may hold blanks. Verbs and keywords are matched
// without regard to case; the device name is kept as written.

#include <string>
#include <string_view>

#include "platform/winmm/mmsystem.h"

namespace tamso::winmm {

enum class MciVerb { Open, Close, Play, Stop, Status };

struct MciCommand {
  MciVerb verb = MciVerb::Play;
  std::string device;      // the device name, alias or file, as written, quotes removed
  bool wait = false;       // "wait": the command returns when the device has finished
  bool notify = false;     // "notify": accepted; no notification is posted
  std::string type;        // open: "type X", or X of an "X!file" element
  std::string alias;       // open: "alias A"
  std::string statusItem;  // status: the item asked for, in lower case ("mode")
};

struct MciParseResult {
  MCIERROR error = 0;  // 0, or why the string is not a command this layer knows
  MciCommand command;
};

// Parses one command string. The only status item known is "mode"; MCI verbs that the
// sequencer here does not carry out (pause, seek, set, ...) give MCIERR_UNSUPPORTED_FUNCTION,
// unknown verbs MCIERR_UNRECOGNIZED_COMMAND.
MciParseResult ParseMciCommand(std::string_view text);

// `text` in ASCII lower case.
std::string AsciiLower(std::string_view text);

}  // namespace tamso::winmm
