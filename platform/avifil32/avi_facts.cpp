#include "platform/avifil32/avi_facts.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tamso::avifile {
namespace {

constexpr std::uint64_t kDwordMax = std::numeric_limits<std::uint32_t>::max();

std::uint32_t Saturate(std::uint64_t value) { return static_cast<std::uint32_t>(std::min(value, kDwordMax)); }

std::uint32_t Magnitude(std::int32_t value) {
  return static_cast<std::uint32_t>(std::abs(std::int64_t{value}));
}

// Bytes a second a stream asks for: whole samples when they have a fixed size, else
// the largest chunk it announces, at its sample rate.
std::uint64_t BytesPerSecondOf(const StreamHeader& h) {
  if (h.scale == 0) return 0;
  const std::uint64_t unit = h.sampleSize != 0 ? h.sampleSize : h.suggestedBufferSize;
  return unit * h.rate / h.scale;
}

}  // namespace

std::optional<std::size_t> FindStream(const AviDescription& avi, FOURCC type, std::uint32_t nth) {
  for (std::size_t i = 0; i < avi.streams.size(); ++i) {
    if (type != 0 && avi.streams[i].header.type != type) continue;
    if (nth == 0) return i;
    --nth;
  }
  return std::nullopt;
}

// The format's BITMAPINFOHEADER wins over the header's frame rectangle: ffprobe and
// mediainfo both report the format's size, even when the rectangle says otherwise
// (a rectangle of 160x120 over a 320x240 format shows as 320x240 in both). The
// rectangle stands in when the format is missing or holds no positive width; a
// negative height marks a top-down picture and counts by its magnitude.
FrameSize FrameSizeOf(const StreamDescription& stream) {
  if (stream.bitmap && stream.bitmap->width > 0 && stream.bitmap->height != 0) {
    return {Magnitude(stream.bitmap->width), Magnitude(stream.bitmap->height)};
  }
  const StreamHeader& h = stream.header;
  const int width = h.frameRight - h.frameLeft;
  const int height = h.frameBottom - h.frameTop;
  if (width <= 0 || height <= 0) return {};
  return {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
}

// The stream header's dwLength is the stream's whole length in files written to the
// OpenDML rules, but some writers leave there only what the first RIFF form holds
// (as the main header's dwTotalFrames always does). So the length is the largest of:
//   - the stream header's dwLength;
//   - the sum of the durations of the stream's super index ('indx'), which lists the
//     frames of every RIFF form;
//   - for the first video stream, 'dmlh' dwGrandFrames, the frame count of the file.
// On files ffmpeg writes past 1 GB all three agree with ffprobe and mediainfo (200
// frames where avih says 174). Where they differ the two tools part ways: ffprobe's
// nb_frames is dwLength as written, mediainfo counts the indexed frames. The largest
// value follows mediainfo when the OpenDML headers show more frames than dwLength, and
// ffprobe when dwLength claims more than is indexed (frames are not counted here, since
// that would mean reading the indexes in the frame data).
std::uint32_t StreamLengthOf(const AviDescription& avi, std::size_t index) {
  const StreamDescription& stream = avi.streams.at(index);
  std::uint64_t length = stream.header.length;
  if (stream.superIndexDuration) length = std::max(length, *stream.superIndexDuration);
  if (avi.grandFrames && FindStream(avi, streamtypeVIDEO, 0) == index) {
    length = std::max<std::uint64_t>(length, *avi.grandFrames);
  }
  return Saturate(length);
}

AVIFILEINFO FileInfoOf(const AviDescription& avi) {
  AVIFILEINFO info{};
  info.dwStreams = static_cast<DWORD>(avi.streams.size());
  info.dwCaps = AVIFILECAPS_CANREAD;  // this reader never writes
  info.dwFlags = avi.main.flags;
  const bool indexed = avi.hasLegacyIndex || std::any_of(avi.streams.begin(), avi.streams.end(),
                                                         [](const auto& s) { return s.superIndexDuration; });
  if (!indexed) info.dwFlags &= ~kAviFlagHasIndex;

  std::uint64_t bytesPerSecond = 0;
  std::uint32_t bufferSize = avi.main.suggestedBufferSize;
  for (const StreamDescription& stream : avi.streams) {
    bytesPerSecond += BytesPerSecondOf(stream.header);
    bufferSize = std::max(bufferSize, stream.header.suggestedBufferSize);
  }
  info.dwMaxBytesPerSec = bytesPerSecond != 0 ? Saturate(bytesPerSecond) : avi.main.maxBytesPerSec;
  info.dwSuggestedBufferSize = bufferSize;

  const auto described = FindStream(avi, streamtypeVIDEO, 0).value_or(0);
  if (described < avi.streams.size()) {
    const StreamDescription& stream = avi.streams[described];
    const FrameSize size = FrameSizeOf(stream);
    info.dwWidth = size.width;
    info.dwHeight = size.height;
    info.dwScale = stream.header.scale;
    info.dwRate = stream.header.rate;
    info.dwLength = StreamLengthOf(avi, described);
  }
  std::memcpy(info.szFileType, kFileTypeText, sizeof kFileTypeText);
  return info;
}

}  // namespace tamso::avifile
