#include "platform/avifil32/avi_headers.h"

#include <algorithm>
#include <array>

#include "platform/runtime/byte_reader.h"

namespace tamso::avifile {
namespace {

constexpr FOURCC kRiff = MakeFourCC('R', 'I', 'F', 'F');
constexpr FOURCC kList = MakeFourCC('L', 'I', 'S', 'T');
constexpr FOURCC kAviForm = MakeFourCC('A', 'V', 'I', ' ');
constexpr FOURCC kHdrl = MakeFourCC('h', 'd', 'r', 'l');
constexpr FOURCC kAvih = MakeFourCC('a', 'v', 'i', 'h');
constexpr FOURCC kStrl = MakeFourCC('s', 't', 'r', 'l');
constexpr FOURCC kStrh = MakeFourCC('s', 't', 'r', 'h');
constexpr FOURCC kStrf = MakeFourCC('s', 't', 'r', 'f');
constexpr FOURCC kStrn = MakeFourCC('s', 't', 'r', 'n');
constexpr FOURCC kIndx = MakeFourCC('i', 'n', 'd', 'x');
constexpr FOURCC kOdml = MakeFourCC('o', 'd', 'm', 'l');
constexpr FOURCC kDmlh = MakeFourCC('d', 'm', 'l', 'h');
constexpr FOURCC kIdx1 = MakeFourCC('i', 'd', 'x', '1');
constexpr FOURCC kVids = MakeFourCC('v', 'i', 'd', 's');

// 'avih' has had one layout of 56 bytes since the format began: a chunk of any other size
// is not a main header this reader can trust, and the file is refused. 'strh' is 48 bytes
// in the first files, 56 with the frame rectangle; a longer one carries fields added
// later, which are skipped; a shorter one lacks fields the report needs and is refused.
constexpr std::uint32_t kMainHeaderSize = 56;
constexpr std::uint32_t kShortStreamHeaderSize = 48;
constexpr std::uint32_t kStreamHeaderSize = 56;
constexpr std::uint8_t kIndexOfIndexes = 0;
constexpr std::uint16_t kSuperIndexLongsPerEntry = 4;
constexpr std::size_t kSuperIndexEntrySize = 16;

// One sub-chunk of a list held in memory.
struct Chunk {
  FOURCC id = 0;
  ByteReader body;
};

enum class Step {
  kChunk,    // `chunk` holds the next sub-chunk
  kEnd,      // no more sub-chunks (fewer than 8 bytes left count as padding)
  kOverrun,  // the next sub-chunk claims more bytes than its list has left
};

// Takes the next sub-chunk of `list`, with its pad byte when the size is odd.
Step NextChunk(ByteReader& list, Chunk& chunk) {
  if (list.remaining() < 8) return Step::kEnd;
  chunk.id = list.u32();
  const std::uint32_t size = list.u32();
  if (size > list.remaining()) return Step::kOverrun;
  chunk.body = list.sub(size);
  if ((size & 1) != 0 && list.remaining() > 0) list.skip(1);
  return Step::kChunk;
}

// What an overrun means: inside bytes cut off by the end of the file it is where the
// file stops; inside complete bytes the sizes are wrong.
ParseStatus OverrunStatus(bool cut) { return cut ? ParseStatus::kTruncated : ParseStatus::kBadFormat; }

MainHeader ReadMainHeader(ByteReader r) {
  MainHeader h;
  h.microSecPerFrame = r.u32();
  h.maxBytesPerSec = r.u32();
  h.paddingGranularity = r.u32();
  h.flags = r.u32();
  h.totalFrames = r.u32();
  h.initialFrames = r.u32();
  h.streams = r.u32();
  h.suggestedBufferSize = r.u32();
  h.width = r.u32();
  h.height = r.u32();
  return h;
}

StreamHeader ReadStreamHeader(ByteReader r) {
  StreamHeader h;
  h.type = r.u32();
  h.handler = r.u32();
  h.flags = r.u32();
  h.priority = r.u16();
  h.language = r.u16();
  h.initialFrames = r.u32();
  h.scale = r.u32();
  h.rate = r.u32();
  h.start = r.u32();
  h.length = r.u32();
  h.suggestedBufferSize = r.u32();
  h.quality = r.u32();
  h.sampleSize = r.u32();
  if (r.remaining() >= kStreamHeaderSize - kShortStreamHeaderSize) {
    h.frameLeft = r.i16();
    h.frameTop = r.i16();
    h.frameRight = r.i16();
    h.frameBottom = r.i16();
  }
  return h;
}

// biWidth and biHeight follow biSize; shorter formats carry no picture size.
std::optional<BitmapSize> ReadBitmapSize(ByteReader r) {
  if (r.remaining() < 12) return std::nullopt;
  r.skip(4);
  BitmapSize size;
  size.width = r.i32();
  size.height = r.i32();
  return size;
}

// The sum of the durations of a super index; nothing for a standard index or an
// unknown layout. The entry count is bounded by the bytes present, not by the header.
std::optional<std::uint64_t> ReadSuperIndexDuration(ByteReader r) {
  const std::uint16_t longsPerEntry = r.u16();
  r.skip(1);  // bIndexSubType
  const std::uint8_t indexType = r.u8();
  const std::uint32_t entriesInUse = r.u32();
  r.skip(4 + 12);  // dwChunkId, dwReserved[3]
  if (!r.ok() || longsPerEntry != kSuperIndexLongsPerEntry || indexType != kIndexOfIndexes) {
    return std::nullopt;
  }
  const std::size_t entries = std::min<std::size_t>(entriesInUse, r.remaining() / kSuperIndexEntrySize);
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < entries; ++i) {
    r.skip(8 + 4);  // qwOffset, dwSize
    total += r.u32();
  }
  return total;
}

std::string ReadName(ByteReader r) {
  const auto bytes = r.bytes(std::min(r.remaining(), kMaxStreamName));
  std::string name(bytes.begin(), bytes.end());
  name.resize(std::min(name.size(), name.find('\0')));
  return name;
}

// One 'strl' list. `cut` says the list's bytes end where the file ends.
ParseStatus ParseStreamList(ByteReader list, bool cut, StreamDescription& stream) {
  bool haveHeader = false;
  std::optional<ByteReader> format;
  Chunk chunk;
  for (;;) {
    const Step step = NextChunk(list, chunk);
    if (step == Step::kEnd) break;
    if (step == Step::kOverrun) return OverrunStatus(cut);
    switch (chunk.id) {
      case kStrh:
        if (haveHeader) break;  // the first one counts
        if (chunk.body.size() < kShortStreamHeaderSize) return ParseStatus::kBadFormat;
        stream.header = ReadStreamHeader(chunk.body);
        haveHeader = true;
        break;
      case kStrf:
        if (format) return ParseStatus::kBadFormat;
        format = chunk.body;
        break;
      case kStrn:
        stream.name = ReadName(chunk.body);
        break;
      case kIndx:
        if (auto total = ReadSuperIndexDuration(chunk.body)) {
          stream.superIndexDuration = stream.superIndexDuration.value_or(0) + *total;
        }
        break;
      default:
        break;  // 'strd', 'vprp', 'JUNK', ...
    }
  }
  if (!haveHeader) return cut ? ParseStatus::kTruncated : ParseStatus::kBadFormat;
  // The format is read once the type is known, whichever came first in the list.
  if (format && stream.header.type == kVids) stream.bitmap = ReadBitmapSize(*format);
  return ParseStatus::kOk;
}

ParseStatus ParseOdmlList(ByteReader list, bool cut, AviDescription& avi) {
  Chunk chunk;
  for (;;) {
    const Step step = NextChunk(list, chunk);
    if (step == Step::kEnd) return ParseStatus::kOk;
    if (step == Step::kOverrun) return OverrunStatus(cut);
    if (chunk.id == kDmlh && chunk.body.size() >= 4) avi.grandFrames = chunk.body.u32();
  }
}

// The body of LIST 'hdrl' (after its type). `cut` says bytes are missing at its end.
ParseStatus ParseHeaderList(ByteReader list, bool cut, AviDescription& avi) {
  bool haveMain = false;
  Chunk chunk;
  for (;;) {
    const Step step = NextChunk(list, chunk);
    if (step == Step::kEnd) break;
    if (step == Step::kOverrun) {
      if (!cut) return ParseStatus::kBadFormat;
      break;  // the file ends inside this chunk; what came before may be enough
    }
    if (chunk.id == kAvih) {
      if (haveMain) continue;
      if (chunk.body.size() != kMainHeaderSize) return ParseStatus::kBadFormat;
      avi.main = ReadMainHeader(chunk.body);
      if (avi.main.streams > kMaxStreams) return ParseStatus::kTooManyStreams;
      haveMain = true;
      continue;
    }
    if (chunk.id != kList) continue;
    // A list that reaches the end of the loaded bytes may itself be cut.
    const bool listCut = cut && list.atEnd();
    const FOURCC type = chunk.body.u32();
    if (type == kStrl) {
      if (avi.streams.size() == kMaxStreams) return ParseStatus::kTooManyStreams;
      StreamDescription stream;
      const ParseStatus status = ParseStreamList(chunk.body, listCut, stream);
      if (status == ParseStatus::kTruncated) break;
      if (status != ParseStatus::kOk) return status;
      avi.streams.push_back(std::move(stream));
    } else if (type == kOdml) {
      const ParseStatus status = ParseOdmlList(chunk.body, listCut, avi);
      if (status == ParseStatus::kTruncated) break;
      if (status != ParseStatus::kOk) return status;
    }
  }
  if (!haveMain) return ParseStatus::kTruncated;
  // Cut headers are good enough when every stream the main header announces is whole.
  if (cut && avi.streams.size() < avi.main.streams) return ParseStatus::kTruncated;
  return ParseStatus::kOk;
}

// Loads LIST 'hdrl' whose body (after the list type) starts at `bodyStart` and declares
// `declared` bytes, within a form ending at `formEnd`, and parses it.
ParseStatus LoadHeaderList(const ByteSource& source, std::uint64_t bodyStart, std::uint64_t declared,
                           std::uint64_t formEnd, AviDescription& avi) {
  const std::uint64_t present = bodyStart < formEnd ? formEnd - bodyStart : 0;
  const std::uint64_t load = std::min({declared, present, std::uint64_t{kMaxHeaderListBytes}});
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(load));
  if (!source.readAt(bodyStart, bytes)) return ParseStatus::kReadError;
  return ParseHeaderList(ByteReader(bytes), load < declared, avi);
}

}  // namespace

ParseResult ParseAviHeaders(const ByteSource& source) {
  ParseResult result;
  const std::uint64_t size = source.size();
  std::array<std::uint8_t, 12> head{};
  if (size < head.size()) return {ParseStatus::kNotAvi, {}};
  if (!source.readAt(0, head)) return {ParseStatus::kReadError, {}};
  ByteReader form(head);
  const FOURCC riff = form.u32();
  const std::uint32_t formSize = form.u32();
  if (riff != kRiff || form.u32() != kAviForm) return {ParseStatus::kNotAvi, {}};
  // A writer that never finished leaves the form size 0; then the file's end counts.
  const std::uint64_t formEnd = formSize < 4 ? size : std::min<std::uint64_t>(8ull + formSize, size);

  // Top-level chunks are visited by their headers alone: each step reads 12 bytes and
  // moves on by the declared size, so 'movi' costs the same whatever it holds.
  bool haveHeaders = false;
  std::uint64_t pos = head.size();
  for (int visited = 0; visited < kMaxTopLevelChunks && pos + 8 <= formEnd; ++visited) {
    std::array<std::uint8_t, 12> bytes{};
    const std::size_t want = pos + 12 <= formEnd ? 12 : 8;
    const auto piece = std::span<std::uint8_t>(bytes).first(want);
    if (!source.readAt(pos, piece)) return {ParseStatus::kReadError, {}};
    ByteReader chunk(piece);
    const FOURCC id = chunk.u32();
    const std::uint32_t chunkSize = chunk.u32();
    if (id == kList && want == 12 && chunk.u32() == kHdrl && !haveHeaders) {
      if (chunkSize < 4) return {ParseStatus::kBadFormat, {}};
      const ParseStatus status = LoadHeaderList(source, pos + 12, chunkSize - 4, formEnd, result.description);
      if (status != ParseStatus::kOk) return {status, {}};
      haveHeaders = true;
    } else if (id == kIdx1) {
      result.description.hasLegacyIndex = true;
    }
    pos += 8ull + chunkSize + (chunkSize & 1);
  }
  if (!haveHeaders) return {ParseStatus::kTruncated, {}};
  return result;
}

ParseResult ParseAviHeaders(std::span<const std::uint8_t> bytes) {
  return ParseAviHeaders(MemoryByteSource(bytes));
}

}  // namespace tamso::avifile
