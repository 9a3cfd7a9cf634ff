#pragma once
// The JSON Lines form of the tool's output: one object a file (see docs/report-json.md).

#include <cstdint>
#include <string>

#include "cli/file_facts.h"

namespace tamso {

// A four-character code with every byte kept: printable ASCII as it is, a backslash as
// two backslashes, any other byte as \xNN (two upper-case hex digits). The first byte
// in the file comes first.
std::string EscapeFourCC(std::uint32_t code);

// The file's object on one line, without the line end. `describe` gives db.txt's
// description of a codec code.
std::string JsonLine(const FileFacts& facts, const CodecDescriber& describe);

}  // namespace tamso
