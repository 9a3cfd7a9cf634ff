#include "platform/avifil32/avi_headers.h"

#include <algorithm>
#include <array>
#include <string>

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
constexpr FOURCC kAuds = MakeFourCC('a', 'u', 'd', 's');
constexpr FOURCC kAvix = MakeFourCC('A', 'V', 'I', 'X');

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

// The bytes of a list held in memory and the file offset they start at, so that a fault
// can be reported by its place in the file.
struct List {
  ByteReader bytes;
  std::uint64_t start = 0;
  std::uint64_t end() const { return start + bytes.size(); }
};

// One sub-chunk of a list held in memory.
struct Chunk {
  FOURCC id = 0;
  ByteReader body;
  std::uint64_t at = 0;  // the file offset of its header
  List asList() const { return {body, at + 8}; }
};

// Records why the file is refused and returns `status`.
ParseStatus Fail(std::string& reason, ParseStatus status, const char* what, std::uint64_t at) {
  reason = std::string(what) + " at byte " + std::to_string(at);
  return status;
}

enum class Step {
  kChunk,    // `chunk` holds the next sub-chunk
  kEnd,      // no more sub-chunks (fewer than 8 bytes left count as padding)
  kOverrun,  // the next sub-chunk claims more bytes than its list has left
};

// Takes the next sub-chunk of `list`, with its pad byte when the size is odd.
Step NextChunk(List& list, Chunk& chunk) {
  ByteReader& r = list.bytes;
  if (r.remaining() < 8) return Step::kEnd;
  chunk.at = list.start + r.offset();
  chunk.id = r.u32();
  const std::uint32_t size = r.u32();
  if (size > r.remaining()) return Step::kOverrun;
  chunk.body = r.sub(size);
  if ((size & 1) != 0 && r.remaining() > 0) r.skip(1);
  return Step::kChunk;
}

constexpr const char* kHeadersEnd = "the headers end";
constexpr const char* kSizesOverrun = "chunk sizes run past the end";

// What an overrun means: inside bytes cut off by the end of the file it is where the
// file stops; inside complete bytes the sizes are wrong.
ParseStatus Overrun(const List& list, const Chunk& chunk, bool cut, std::string& reason) {
  if (cut) return Fail(reason, ParseStatus::kTruncated, kHeadersEnd, list.end());
  return Fail(reason, ParseStatus::kBadFormat, kSizesOverrun, chunk.at);
}

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

// A BITMAPINFOHEADER: biWidth and biHeight follow biSize, then biPlanes, biBitCount and
// biCompression; a format cut before a field leaves what it carries unset.
void ReadBitmapFormat(ByteReader r, StreamDescription& stream) {
  if (r.remaining() < 12) return;
  r.skip(4);
  stream.bitmap = BitmapSize{r.i32(), r.i32()};
  if (r.remaining() < 8) return;
  r.skip(2);
  stream.coding = BitmapCoding{r.u16(), r.u32()};
}

// The sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE that stand for a plain format tag share
// their last twelve bytes: {tag-0000-0010-8000-00AA00389B71}.
constexpr std::array<std::uint8_t, 12> kWaveGuidTail = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                                        0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::optional<WaveFormat> ReadWaveFormat(ByteReader r) {
  if (r.remaining() < 14) return std::nullopt;
  WaveFormat wave;
  wave.formatTag = r.u16();
  wave.channels = r.u16();
  wave.samplesPerSec = r.u32();
  wave.avgBytesPerSec = r.u32();
  wave.blockAlign = r.u16();
  if (r.remaining() < 2) return wave;
  wave.bitsPerSample = r.u16();
  // cbSize, wValidBitsPerSample, dwChannelMask, then the sub-format GUID.
  if (wave.formatTag != kWaveFormatExtensible || r.remaining() < 24 || !r.skip(8)) return wave;
  const std::uint32_t data1 = r.u32();
  const auto tail = r.bytes(kWaveGuidTail.size());
  if (data1 <= 0xFFFF && std::equal(tail.begin(), tail.end(), kWaveGuidTail.begin())) {
    wave.subFormatTag = static_cast<std::uint16_t>(data1);
  }
  return wave;
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
ParseStatus ParseStreamList(List list, bool cut, StreamDescription& stream, std::string& reason) {
  bool haveHeader = false;
  std::optional<ByteReader> format;
  Chunk chunk;
  for (;;) {
    const Step step = NextChunk(list, chunk);
    if (step == Step::kEnd) break;
    if (step == Step::kOverrun) return Overrun(list, chunk, cut, reason);
    switch (chunk.id) {
      case kStrh:
        if (haveHeader) break;  // the first one counts
        if (chunk.body.size() < kShortStreamHeaderSize) {
          return Fail(reason, ParseStatus::kBadFormat, "a stream header ('strh') shorter than 48 bytes",
                      chunk.at);
        }
        stream.header = ReadStreamHeader(chunk.body);
        haveHeader = true;
        break;
      case kStrf:
        if (format) return Fail(reason, ParseStatus::kBadFormat, "a second stream format ('strf')", chunk.at);
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
  if (!haveHeader) {
    if (cut) return Fail(reason, ParseStatus::kTruncated, kHeadersEnd, list.end());
    return Fail(reason, ParseStatus::kBadFormat, "a stream list without a stream header ('strh')",
                list.start - 8);
  }
  // The format is read once the type is known, whichever came first in the list.
  if (format && stream.header.type == kVids) ReadBitmapFormat(*format, stream);
  if (format && stream.header.type == kAuds) stream.wave = ReadWaveFormat(*format);
  return ParseStatus::kOk;
}

ParseStatus ParseOdmlList(List list, bool cut, AviDescription& avi, std::string& reason) {
  Chunk chunk;
  for (;;) {
    const Step step = NextChunk(list, chunk);
    if (step == Step::kEnd) return ParseStatus::kOk;
    if (step == Step::kOverrun) return Overrun(list, chunk, cut, reason);
    if (chunk.id == kDmlh && chunk.body.size() >= 4) avi.grandFrames = chunk.body.u32();
  }
}

// The body of LIST 'hdrl' (after its type). `cut` says bytes are missing at its end.
ParseStatus ParseHeaderList(List list, bool cut, AviDescription& avi, std::string& reason) {
  bool haveMain = false;
  Chunk chunk;
  for (;;) {
    const Step step = NextChunk(list, chunk);
    if (step == Step::kEnd) break;
    if (step == Step::kOverrun) {
      if (!cut) return Overrun(list, chunk, cut, reason);
      break;  // the file ends inside this chunk; what came before may be enough
    }
    if (chunk.id == kAvih) {
      if (haveMain) continue;
      if (chunk.body.size() != kMainHeaderSize) {
        return Fail(reason, ParseStatus::kBadFormat, "a main header ('avih') that is not 56 bytes", chunk.at);
      }
      avi.main = ReadMainHeader(chunk.body);
      if (avi.main.streams > kMaxStreams) {
        return Fail(reason, ParseStatus::kTooManyStreams, "more than 100 streams announced", chunk.at);
      }
      haveMain = true;
      continue;
    }
    if (chunk.id != kList) continue;
    // A list that reaches the end of the loaded bytes may itself be cut.
    const bool listCut = cut && list.bytes.atEnd();
    const FOURCC type = chunk.body.u32();
    if (type == kStrl) {
      if (avi.streams.size() == kMaxStreams) {
        return Fail(reason, ParseStatus::kTooManyStreams, "more than 100 stream lists", chunk.at);
      }
      StreamDescription stream;
      const ParseStatus status = ParseStreamList(chunk.asList(), listCut, stream, reason);
      if (status == ParseStatus::kTruncated) break;
      if (status != ParseStatus::kOk) return status;
      avi.streams.push_back(std::move(stream));
    } else if (type == kOdml) {
      const ParseStatus status = ParseOdmlList(chunk.asList(), listCut, avi, reason);
      if (status == ParseStatus::kTruncated) break;
      if (status != ParseStatus::kOk) return status;
    }
  }
  if (cut && (!haveMain || avi.streams.size() < avi.main.streams)) {
    // Cut headers are good enough when every stream the main header announces is whole.
    return Fail(reason, ParseStatus::kTruncated, kHeadersEnd, list.end());
  }
  if (!haveMain)
    return Fail(reason, ParseStatus::kTruncated, "a header list without a main header ('avih')",
                list.start - 12);
  return ParseStatus::kOk;
}

// Loads LIST 'hdrl' whose body (after the list type) starts at `bodyStart` and declares
// `declared` bytes, within a form ending at `formEnd`, and parses it.
ParseStatus LoadHeaderList(const ByteSource& source, std::uint64_t bodyStart, std::uint64_t declared,
                           std::uint64_t formEnd, AviDescription& avi, std::string& reason) {
  const std::uint64_t present = bodyStart < formEnd ? formEnd - bodyStart : 0;
  const std::uint64_t load = std::min({declared, present, std::uint64_t{kMaxHeaderListBytes}});
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(load));
  if (!source.readAt(bodyStart, bytes)) {
    return Fail(reason, ParseStatus::kReadError, "the file could not be read", bodyStart);
  }
  return ParseHeaderList({ByteReader(bytes), bodyStart}, load < declared, avi, reason);
}

// Counts the RIFF 'AVIX' forms that follow the first form, by their headers alone.
std::uint32_t CountRiffForms(const ByteSource& source, std::uint64_t pos) {
  std::uint32_t forms = 1;
  while (forms < kMaxRiffForms && pos + 12 <= source.size()) {
    std::array<std::uint8_t, 12> bytes{};
    if (!source.readAt(pos, bytes)) break;
    ByteReader form(bytes);
    const FOURCC id = form.u32();
    const std::uint32_t formSize = form.u32();
    if (id != kRiff || form.u32() != kAvix) break;
    ++forms;
    pos += 8ull + formSize + (formSize & 1);
  }
  return forms;
}

ParseResult Refused(ParseStatus status, std::string reason) { return {status, {}, std::move(reason)}; }

}  // namespace

bool IsOpenDml(const AviDescription& avi) {
  return avi.grandFrames || avi.riffForms > 1 ||
         std::any_of(avi.streams.begin(), avi.streams.end(),
                     [](const auto& s) { return s.superIndexDuration; });
}

ParseResult ParseAviHeaders(const ByteSource& source) {
  ParseResult result;
  const std::uint64_t size = source.size();
  constexpr const char* kNotAviText = "not a RIFF AVI file";
  std::array<std::uint8_t, 12> head{};
  if (size < head.size()) return Refused(ParseStatus::kNotAvi, kNotAviText);
  if (!source.readAt(0, head))
    return Refused(ParseStatus::kReadError, "the file could not be read at byte 0");
  ByteReader form(head);
  const FOURCC riff = form.u32();
  const std::uint32_t formSize = form.u32();
  if (riff != kRiff || form.u32() != kAviForm) return Refused(ParseStatus::kNotAvi, kNotAviText);
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
    if (!source.readAt(pos, piece)) {
      return Refused(ParseStatus::kReadError, "the file could not be read at byte " + std::to_string(pos));
    }
    ByteReader chunk(piece);
    const FOURCC id = chunk.u32();
    const std::uint32_t chunkSize = chunk.u32();
    if (id == kList && want == 12 && chunk.u32() == kHdrl && !haveHeaders) {
      if (chunkSize < 4) {
        return Refused(ParseStatus::kBadFormat,
                       "a header list smaller than its type at byte " + std::to_string(pos));
      }
      const ParseStatus status =
          LoadHeaderList(source, pos + 12, chunkSize - 4, formEnd, result.description, result.reason);
      if (status != ParseStatus::kOk) return Refused(status, std::move(result.reason));
      haveHeaders = true;
    } else if (id == kIdx1) {
      result.description.hasLegacyIndex = true;
    }
    pos += 8ull + chunkSize + (chunkSize & 1);
  }
  if (!haveHeaders) {
    // The walk left the file inside a chunk: the file was cut before its headers.
    if (pos > size)
      return Refused(ParseStatus::kTruncated, "the headers end at byte " + std::to_string(size));
    return Refused(ParseStatus::kTruncated, "no header list ('hdrl')");
  }
  if (formSize >= 4) result.description.riffForms = CountRiffForms(source, 8ull + formSize + (formSize & 1));
  return result;
}

ParseResult ParseAviHeaders(std::span<const std::uint8_t> bytes) {
  return ParseAviHeaders(MemoryByteSource(bytes));
}

}  // namespace tamso::avifile
