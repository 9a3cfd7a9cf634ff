#include "cli/wave_format.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tamso {
namespace {

// Sorted by tag. The names are the ones people use for the formats, short enough for a
// table column; vendor variants of one format keep the format's name.
constexpr auto kNames = std::to_array<std::pair<std::uint16_t, std::string_view>>({
    {0x0001, "PCM"},
    {0x0002, "MS ADPCM"},
    {0x0003, "PCM float"},
    {0x0006, "A-law"},
    {0x0007, "mu-law"},
    {0x0010, "OKI ADPCM"},
    {0x0011, "IMA ADPCM"},
    {0x0012, "MediaSpace ADPCM"},
    {0x0014, "G.723 ADPCM"},
    {0x0016, "DigiFix"},
    {0x0017, "Dialogic OKI ADPCM"},
    {0x0020, "Yamaha ADPCM"},
    {0x0022, "TrueSpeech"},
    {0x0031, "GSM 6.10"},
    {0x0040, "G.721 ADPCM"},
    {0x0042, "G.723.1"},
    {0x0045, "G.726 ADPCM"},
    {0x0050, "MPEG Audio"},
    {0x0055, "MP3"},
    {0x0061, "Duck DK4 ADPCM"},
    {0x0062, "Duck DK3 ADPCM"},
    {0x0064, "G.726 ADPCM"},
    {0x0069, "Voxware"},
    {0x0075, "Voxware RT29"},
    {0x0083, "G.729"},
    {0x0092, "AC-3 SPDIF"},
    {0x00FF, "AAC"},
    {0x0130, "ACELP.net"},
    {0x0160, "WMA 1"},
    {0x0161, "WMA 2"},
    {0x0162, "WMA Pro"},
    {0x0163, "WMA Lossless"},
    {0x0200, "Creative ADPCM"},
    {0x0270, "ATRAC3"},
    {0x0401, "Intel Music Coder"},
    {0x1600, "AAC"},
    {0x1610, "AAC"},
    {0x2000, "AC-3"},
    {0x2001, "DTS"},
    {0x2002, "RealAudio 1"},
    {0x4143, "AAC"},
    {0x566F, "Vorbis"},
    {0x674F, "Vorbis"},
    {0x6750, "Vorbis"},
    {0x6751, "Vorbis"},
    {0x704F, "Opus"},
    {0x706D, "AAC"},
    {0xF1AC, "FLAC"},
    {0xFFFE, "Extensible"},
});

static_assert(std::is_sorted(kNames.begin(), kNames.end()), "the table is searched by halves");

}  // namespace

std::string_view WaveFormatName(std::uint16_t formatTag) {
  const auto at = std::lower_bound(kNames.begin(), kNames.end(), formatTag,
                                   [](const auto& entry, std::uint16_t tag) { return entry.first < tag; });
  return at != kNames.end() && at->first == formatTag ? at->second : std::string_view{};
}

}  // namespace tamso
