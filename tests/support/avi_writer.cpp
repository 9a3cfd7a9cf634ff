#include "tests/support/avi_writer.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <stdexcept>

#include "platform/runtime/byte_reader.h"

namespace tamso::test {
namespace {

// Appends little-endian values to a payload.
class Payload {
 public:
  Payload& u8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  Payload& u16(std::uint16_t v) {
    return u8(static_cast<std::uint8_t>(v)).u8(static_cast<std::uint8_t>(v >> 8));
  }
  Payload& u32(std::uint32_t v) {
    return u16(static_cast<std::uint16_t>(v)).u16(static_cast<std::uint16_t>(v >> 16));
  }
  Payload& u64(std::uint64_t v) {
    return u32(static_cast<std::uint32_t>(v)).u32(static_cast<std::uint32_t>(v >> 32));
  }
  Payload& fcc(std::string_view four) { return u32(Fcc(four)); }
  Payload& zeros(std::size_t count) {
    bytes_.resize(bytes_.size() + count);
    return *this;
  }
  std::vector<std::uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

bool IsVideo(const AviStream& s) { return s.type == "vids"; }

std::string ChunkId(std::size_t stream, const AviStream& s) {
  const char* suffix = s.type == "auds" ? "wb" : s.type == "txts" ? "tx" : "dc";
  std::string id = std::to_string(stream % 100);
  if (id.size() < 2) id.insert(id.begin(), '0');
  return id + suffix;
}

std::string IndexId(std::size_t stream) {
  std::string id = std::to_string(stream % 100);
  if (id.size() < 2) id.insert(id.begin(), '0');
  return "ix" + id;
}

std::uint32_t TotalFrames(const AviLayout& layout) {
  return std::accumulate(layout.framesPerForm.begin(), layout.framesPerForm.end(), 0u);
}

std::uint32_t LengthOf(const AviLayout& layout, const AviStream& s) {
  return s.length.value_or(TotalFrames(layout));
}

std::uint32_t Magnitude(std::int32_t v) { return static_cast<std::uint32_t>(v < 0 ? -std::int64_t{v} : v); }

const AviStream* FirstVideo(const AviLayout& layout) {
  for (const AviStream& s : layout.streams) {
    if (IsVideo(s)) return &s;
  }
  return nullptr;
}

std::vector<std::uint8_t> Filler(std::size_t count, std::uint8_t value) {
  return std::vector<std::uint8_t>(count, value);
}

// Where one data chunk went, for the indexes.
struct Placed {
  std::size_t headerOffset;
  std::uint32_t size;
};

std::vector<std::uint8_t> LegacyIndex(const AviLayout& layout, const std::vector<std::vector<Placed>>& chunks,
                                      std::size_t moviFourcc) {
  Payload p;
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    for (const Placed& c : chunks[i]) {
      p.fcc(ChunkId(i, layout.streams[i])).u32(0x10);
      p.u32(static_cast<std::uint32_t>(c.headerOffset - moviFourcc)).u32(c.size);
    }
  }
  return p.take();
}

std::vector<std::uint8_t> StandardIndex(const std::string& chunkId, const std::vector<Placed>& chunks,
                                        std::size_t base) {
  Payload p;
  p.u16(2).u8(0).u8(1).u32(static_cast<std::uint32_t>(chunks.size())).fcc(chunkId).u64(base).u32(0);
  for (const Placed& c : chunks) p.u32(static_cast<std::uint32_t>(c.headerOffset + 8 - base)).u32(c.size);
  return p.take();
}

struct SuperEntry {
  std::uint64_t offset;
  std::uint32_t size;
  std::uint32_t duration;
};

std::vector<std::uint8_t> SuperIndex(const std::string& chunkId, const std::vector<SuperEntry>& entries,
                                     std::size_t capacity) {
  Payload p;
  p.u16(4).u8(0).u8(0).u32(static_cast<std::uint32_t>(entries.size())).fcc(chunkId).zeros(12);
  for (const SuperEntry& e : entries) p.u64(e.offset).u32(e.size).u32(e.duration);
  p.zeros((capacity - entries.size()) * 16);
  return p.take();
}

}  // namespace

std::uint32_t Fcc(std::string_view four) {
  if (four.size() != 4) throw std::invalid_argument("a four-character code needs four characters");
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(four[static_cast<std::size_t>(i)]);
  return v;
}

RiffWriter& RiffWriter::chunk(std::string_view id, std::span<const std::uint8_t> payload) {
  raw(Payload().fcc(id).u32(static_cast<std::uint32_t>(payload.size())).take());
  raw(payload);
  if (payload.size() % 2 != 0) bytes_.push_back(0);
  return *this;
}

RiffWriter& RiffWriter::begin(std::string_view riffOrList, std::string_view type) {
  raw(Payload().fcc(riffOrList).take());
  open_.push_back(bytes_.size());
  return raw(Payload().u32(0).fcc(type).take());
}

RiffWriter& RiffWriter::end() {
  const std::size_t sizeField = open_.back();
  open_.pop_back();
  StoreU32(bytes_, sizeField, static_cast<std::uint32_t>(bytes_.size() - sizeField - 4));
  return *this;
}

RiffWriter& RiffWriter::raw(std::span<const std::uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

std::vector<std::uint8_t> MainHeaderPayload(const AviLayout& layout) {
  const AviStream* video = FirstVideo(layout);
  std::uint32_t buffer = 0;
  for (const AviStream& s : layout.streams) buffer = std::max(buffer, s.chunkBytes);
  Payload p;
  p.u32(layout.microSecPerFrame).u32(1000000).u32(0).u32(layout.flags);
  p.u32(layout.totalFrames.value_or(layout.framesPerForm.empty() ? 0 : layout.framesPerForm[0])).u32(0);
  p.u32(layout.declaredStreams.value_or(static_cast<std::uint32_t>(layout.streams.size()))).u32(buffer);
  p.u32(video ? Magnitude(video->width) : 0).u32(video ? Magnitude(video->height) : 0).zeros(16);
  return p.take();
}

std::vector<std::uint8_t> StreamHeaderPayload(const AviStream& s, std::uint32_t length) {
  std::array<std::int16_t, 4> frame{};
  if (IsVideo(s)) {
    frame = {0, 0, static_cast<std::int16_t>(s.width), static_cast<std::int16_t>(Magnitude(s.height))};
  }
  frame = s.frame.value_or(frame);
  Payload p;
  p.fcc(s.type).fcc(s.handler).u32(0).u16(0).u16(0).u32(0).u32(s.scale).u32(s.rate).u32(s.start).u32(length);
  p.u32(s.suggestedBufferSize).u32(0xFFFFFFFF).u32(s.sampleSize);
  for (std::int16_t v : frame) p.u16(static_cast<std::uint16_t>(v));
  std::vector<std::uint8_t> bytes = p.take();
  bytes.resize(s.headerSize);
  return bytes;
}

std::vector<std::uint8_t> FormatPayload(const AviStream& s) {
  if (s.format) return *s.format;
  Payload p;
  if (IsVideo(s)) {
    const std::uint32_t compression = s.handler == "DIB " ? 0 : Fcc(s.handler);
    p.u32(40).u32(static_cast<std::uint32_t>(s.width)).u32(static_cast<std::uint32_t>(s.height));
    p.u16(1).u16(24).u32(compression).u32(Magnitude(s.width) * Magnitude(s.height) * 3).zeros(16);
  } else if (s.type == "auds") {
    p.u16(1).u16(2).u32(s.samplesPerSec).u32(s.samplesPerSec * 4).u16(4).u16(16);
  } else {
    p.zeros(4);
  }
  return p.take();
}

std::vector<std::uint8_t> BuildAvi(const AviLayout& layout) {
  const bool openDml = layout.openDml || layout.framesPerForm.size() > 1;
  const std::size_t forms = layout.framesPerForm.size();
  RiffWriter w;
  w.begin("RIFF", "AVI ");
  if (layout.junk) w.chunk("JUNK", Filler(7, 0));
  w.begin("LIST", "hdrl").chunk("avih", MainHeaderPayload(layout));
  if (layout.junk) w.chunk("JUNK", Filler(5, 0));
  std::vector<std::size_t> superIndexAt(layout.streams.size());
  for (std::size_t i = 0; i < layout.streams.size(); ++i) {
    const AviStream& s = layout.streams[i];
    w.begin("LIST", "strl").chunk("strh", StreamHeaderPayload(s, LengthOf(layout, s)));
    if (s.writeFormat) w.chunk("strf", FormatPayload(s));
    if (layout.junk) w.chunk("JUNK", Filler(3, 0));
    if (openDml) {
      superIndexAt[i] = w.offset();
      w.chunk("indx", SuperIndex(ChunkId(i, s), {}, forms));
    }
    if (!s.name.empty())
      w.chunk("strn", std::vector<std::uint8_t>(s.name.c_str(), s.name.c_str() + s.name.size() + 1));
    w.end();
  }
  if (openDml) {
    const AviStream* video = FirstVideo(layout);
    const std::uint32_t grand = layout.grandFrames.value_or(video ? TotalFrames(layout) : 0);
    w.begin("LIST", "odml").chunk("dmlh", Payload().u32(grand).zeros(244).take()).end();
  }
  w.end();  // hdrl
  if (layout.junk) w.chunk("JUNK", Filler(9, 0));

  std::vector<std::vector<SuperEntry>> superEntries(layout.streams.size());
  for (std::size_t form = 0; form < forms; ++form) {
    if (form > 0) w.begin("RIFF", "AVIX");
    const std::size_t moviList = w.offset();
    w.begin("LIST", "movi");
    std::vector<std::vector<Placed>> placed(layout.streams.size());
    for (std::uint32_t frame = 0; frame < layout.framesPerForm[form]; ++frame) {
      for (std::size_t i = 0; i < layout.streams.size(); ++i) {
        const AviStream& s = layout.streams[i];
        placed[i].push_back({w.offset(), s.chunkBytes});
        w.chunk(ChunkId(i, s), Filler(s.chunkBytes, static_cast<std::uint8_t>(frame)));
      }
    }
    if (openDml) {
      for (std::size_t i = 0; i < layout.streams.size(); ++i) {
        const auto index = StandardIndex(ChunkId(i, layout.streams[i]), placed[i], moviList);
        superEntries[i].push_back({w.offset(), static_cast<std::uint32_t>(index.size() + 8),
                                   static_cast<std::uint32_t>(placed[i].size())});
        w.chunk(IndexId(i), index);
      }
    }
    w.end();  // movi
    if (form == 0 && layout.idx1) w.chunk("idx1", LegacyIndex(layout, placed, moviList + 8));
    w.end();  // the RIFF form
  }
  if (forms == 0) w.end();

  std::vector<std::uint8_t>& bytes = w.bytes();
  for (std::size_t i = 0; openDml && i < layout.streams.size(); ++i) {
    const auto index = SuperIndex(ChunkId(i, layout.streams[i]), superEntries[i], forms);
    std::copy(index.begin(), index.end(), bytes.begin() + static_cast<std::ptrdiff_t>(superIndexAt[i] + 8));
  }
  return std::move(bytes);
}

AviStream PcmAudioStream(std::uint32_t samplesPerSec, std::uint32_t length) {
  AviStream s;
  s.type = "auds";
  s.handler = std::string(4, '\0');
  s.rate = samplesPerSec;
  s.samplesPerSec = samplesPerSec;
  s.sampleSize = 4;
  s.length = length;
  return s;
}

std::size_t FindFourCC(std::span<const std::uint8_t> bytes, std::string_view four, int nth) {
  for (std::size_t i = 0; i + 4 <= bytes.size(); ++i) {
    if (std::equal(four.begin(), four.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i)) && nth-- == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tamso-avi-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary directory");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(std::string_view name) const { return path_ + "/" + std::string(name); }

std::string TempDir::write(std::string_view name, std::span<const std::uint8_t> bytes) const {
  const std::string path = file(name);
  WriteFile(path, bytes);
  return path;
}

void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace tamso::test
