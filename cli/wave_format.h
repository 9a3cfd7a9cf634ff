#pragma once
// Short names of the WAVE format tags met in AVI sound streams ("PCM", "MP3", "AC-3").

#include <cstdint>
#include <string_view>

namespace tamso {

// The short name of a WAVE format tag, or the empty text for a tag not in the table.
std::string_view WaveFormatName(std::uint16_t formatTag);

}  // namespace tamso
