#pragma once
// The values the file and stream calls report, derived from a parsed description.

#include <cstdint>
#include <optional>

#include "platform/avifil32/avi_headers.h"
#include "platform/avifil32/vfw.h"

namespace tamso::avifile {

// The index of the `nth` (from 0) stream of type `type`, or of the `nth` stream of any
// type when `type` is 0; nothing when there is no such stream.
std::optional<std::size_t> FindStream(const AviDescription& avi, FOURCC type, std::uint32_t nth);

struct FrameSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// The picture size of a stream: its format's size, else its header's frame rectangle.
FrameSize FrameSizeOf(const StreamDescription& stream);

// The length of stream `index` in its own units (frames for video) over the whole file.
std::uint32_t StreamLengthOf(const AviDescription& avi, std::size_t index);

// The file information record. The stream-related fields describe the first video
// stream (the first stream when there is none).
AVIFILEINFO FileInfoOf(const AviDescription& avi);

// The text of the record's file type.
inline constexpr char kFileTypeText[] = "AVI default file handler";

}  // namespace tamso::avifile
