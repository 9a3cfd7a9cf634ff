#pragma once
// The codec code of an AVI file, read from the file's first bytes rather than through the
// AVI interface: the four bytes that follow the first "vids" are the video stream
// header's handler code (a "strh" chunk holds the stream type and then the handler).
// Where the first bytes hold no "vids" (audio streams first, many streams, a large JUNK
// chunk), the headers are read and the first video stream's handler code is taken.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/avifil32/byte_source.h"

namespace tamso {

// Files of this length or less get no codec lines.
inline constexpr std::uintmax_t kCodecMinFileBytes = 5000;
// Only this many bytes at the start of the file are searched.
inline constexpr std::size_t kCodecHeadBytes = 4096;
// The handler code is up to this many bytes.
inline constexpr std::size_t kCodecCodeBytes = 4;

// The code after the first "vids" (exact case) in `head`: up to four bytes, fewer when
// `head` ends sooner, each byte one character (not checked to be printable). Empty when
// "vids" does not occur in `head`.
std::optional<std::string> FindCodecCode(std::span<const std::uint8_t> head);

enum class CodecStatus {
  kTooShort,        // the file has kCodecMinFileBytes or fewer: no codec lines
  kFound,           // `code` holds the handler code
  kNoStreamHeader,  // neither "vids" in the first kCodecHeadBytes nor a readable video stream header
  kReadError,       // the file's length or bytes could not be read
};

struct CodecStepResult {
  CodecStatus status = CodecStatus::kTooShort;
  std::string code;  // the raw bytes of the code; set only for kFound
};

// The codec step over the bytes of a file: if it is longer than kCodecMinFileBytes, its
// first kCodecHeadBytes bytes are scanned. A code that "vids" starts near their end is
// completed from the bytes that follow (only those are read); without "vids" there, the
// code is the first video stream's handler from the file's headers. A read that fails
// (the file shrank since it was measured) is kReadError.
CodecStepResult CodecCodeOf(const avifile::ByteSource& file);

// The codec step for the file at `file`. Never throws: every failure of the file system
// is kReadError. Only a regular file is opened, without waiting (a pipe or device is
// never read).
CodecStepResult ReadCodecCode(const std::filesystem::path& file) noexcept;

// What the codec step appends to the report: for a found code, CR LF "Video codec used: "
// the code (its bytes read as Windows-1252, written as UTF-8), CR LF "Infos: " and
// `describe(code as UTF-8)`. Every other status appends nothing, so the report keeps its
// two lines rather than showing bytes that are not a codec code.
std::string CodecStepLines(const CodecStepResult& step,
                           const std::function<std::string(const std::string&)>& describe);

}  // namespace tamso
