#pragma once
// Reads the headers of an AVI file into a plain description: the main header, and per
// stream its header, its format (picture or sound), its name and its OpenDML super index
// total. Only the chunk headers of the RIFF forms and the 'hdrl' list are read; frame
// data ('movi'), the legacy index ('idx1') and the contents of later 'AVIX' forms are
// never loaded.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/avifil32/byte_source.h"
#include "platform/runtime/win_types.h"

namespace tamso::avifile {

// 'avih', 56 bytes.
struct MainHeader {
  std::uint32_t microSecPerFrame = 0;
  std::uint32_t maxBytesPerSec = 0;
  std::uint32_t paddingGranularity = 0;
  std::uint32_t flags = 0;
  std::uint32_t totalFrames = 0;  // of the first RIFF form only in OpenDML files
  std::uint32_t initialFrames = 0;
  std::uint32_t streams = 0;
  std::uint32_t suggestedBufferSize = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

inline constexpr std::uint32_t kAviFlagHasIndex = 0x10;

// 'strh', 48 or 56 bytes (the frame rectangle is missing from the shorter form).
struct StreamHeader {
  FOURCC type = 0;
  FOURCC handler = 0;
  std::uint32_t flags = 0;
  std::uint16_t priority = 0;
  std::uint16_t language = 0;
  std::uint32_t initialFrames = 0;
  std::uint32_t scale = 0;
  std::uint32_t rate = 0;
  std::uint32_t start = 0;
  std::uint32_t length = 0;
  std::uint32_t suggestedBufferSize = 0;
  std::uint32_t quality = 0;
  std::uint32_t sampleSize = 0;
  std::int16_t frameLeft = 0;
  std::int16_t frameTop = 0;
  std::int16_t frameRight = 0;
  std::int16_t frameBottom = 0;
};

// The picture size of a video stream's format ('strf' BITMAPINFOHEADER).
struct BitmapSize {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative for top-down pictures
};

// How a video stream's pictures are coded (BITMAPINFOHEADER biBitCount, biCompression).
struct BitmapCoding {
  std::uint16_t bitCount = 0;
  FOURCC compression = 0;  // 0 for uncompressed RGB
};

// A sound stream's format ('strf' WAVEFORMATEX; the 14-byte WAVEFORMAT has no bit depth).
struct WaveFormat {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint32_t avgBytesPerSec = 0;
  std::uint16_t blockAlign = 0;
  std::optional<std::uint16_t> bitsPerSample;
  // WAVE_FORMAT_EXTENSIBLE: the format tag its sub-format GUID stands for, when the GUID
  // is one of the family built on the plain format tags.
  std::optional<std::uint16_t> subFormatTag;
};

inline constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;

struct StreamDescription {
  StreamHeader header;
  std::optional<BitmapSize> bitmap;    // 'vids' streams whose format is long enough
  std::optional<BitmapCoding> coding;  // the same, when the format reaches biCompression
  std::optional<WaveFormat> wave;      // 'auds' streams whose format is long enough
  std::string name;                    // 'strn', empty when absent
  // Sum of the durations of an OpenDML super index ('indx'): the stream's length over
  // every RIFF form of the file.
  std::optional<std::uint64_t> superIndexDuration;
};

struct AviDescription {
  MainHeader main;
  std::vector<StreamDescription> streams;    // one per complete 'strl' list, in order
  std::optional<std::uint32_t> grandFrames;  // 'dmlh' in LIST 'odml'
  bool hasLegacyIndex = false;               // an 'idx1' chunk in the first RIFF form
  std::uint32_t riffForms = 1;               // the 'AVI ' form and the 'AVIX' forms after it
};

// An OpenDML (AVI 2.0) file: extended headers, a super index or more than one RIFF form.
bool IsOpenDml(const AviDescription& avi);

enum class ParseStatus {
  kOk,
  kNotAvi,          // no RIFF 'AVI ' form at the start
  kTruncated,       // the headers are cut short or missing
  kBadFormat,       // the headers are inconsistent (sizes, duplicates, overruns)
  kTooManyStreams,  // more streams than chunk ids can number
  kReadError,       // the source failed to deliver bytes it claims to hold
};

struct ParseResult {
  ParseStatus status = ParseStatus::kOk;
  AviDescription description;  // meaningful only with kOk
  // Why the file was refused, in words a user can act on, naming the byte where the
  // fault shows ("the headers end at byte 4096"); empty with kOk.
  std::string reason;
};

// Streams are numbered by two digits in chunk ids ('00dc' .. '99wb').
inline constexpr std::uint32_t kMaxStreams = 100;
// The most of a 'hdrl' list that is loaded; real ones are a few kilobytes to a few
// hundred (OpenDML super indexes reserve room).
inline constexpr std::size_t kMaxHeaderListBytes = 16u << 20;
// The most top-level chunks of the first RIFF form that are looked at.
inline constexpr int kMaxTopLevelChunks = 4096;
// The most RIFF forms counted; each costs one 12-byte read.
inline constexpr std::uint32_t kMaxRiffForms = 65536;
// The longest stream name kept.
inline constexpr std::size_t kMaxStreamName = 255;

ParseResult ParseAviHeaders(const ByteSource& source);
ParseResult ParseAviHeaders(std::span<const std::uint8_t> bytes);

}  // namespace tamso::avifile
