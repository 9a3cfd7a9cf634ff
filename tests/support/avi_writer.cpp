#include "tests/support/avi_writer.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <stdexcept>

#include "platform/runtime/byte_reader.h"

namespace tamso::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Little-endian values, chunks, and lists whose sizes are filled in when they end.
struct Out {
  Bytes b;
  std::vector<std::size_t> open;  // offsets of the size fields of open lists

  // `size` bytes of `v`, zeros past its eight.
  Out& n(std::uint64_t v, int size = 4) {
    for (int i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>(i < 8 ? v >> (8 * i) : 0));
    return *this;
  }
  Out& fcc(std::string_view four) { return n(Fcc(four)); }
  Out& chunk(std::string_view id, std::span<const std::uint8_t> payload) {
    fcc(id).n(payload.size()).b.insert(b.end(), payload.begin(), payload.end());
    return n(0, payload.size() % 2);  // the pad byte of an odd size
  }
  Out& begin(std::string_view riffOrList, std::string_view type) {
    fcc(riffOrList);
    open.push_back(b.size());
    return n(0).fcc(type);
  }
  Out& end() {
    StoreU32(b, open.back(), static_cast<std::uint32_t>(b.size() - open.back() - 4));
    open.pop_back();
    return *this;
  }
};

std::uint32_t Magnitude(std::int32_t v) { return static_cast<std::uint32_t>(v < 0 ? -std::int64_t{v} : v); }

std::string TwoDigits(std::size_t stream) {
  return {static_cast<char>('0' + stream / 10 % 10), static_cast<char>('0' + stream % 10)};
}

std::string ChunkId(std::size_t stream, const AviStream& s) {
  return TwoDigits(stream) + (s.type == "auds" ? "wb" : "dc");
}

Bytes Format(const AviStream& s) {
  Out p;
  if (s.type == "vids") {
    p.n(40).n(static_cast<std::uint32_t>(s.width)).n(static_cast<std::uint32_t>(s.height)).n(1, 2).n(24, 2);
    p.n(s.handler == "DIB " ? 0 : Fcc(s.handler)).n(Magnitude(s.width) * Magnitude(s.height) * 3).n(0, 16);
  } else {
    p.n(1, 2).n(2, 2).n(s.rate).n(s.rate * 4).n(4, 2).n(16, 2);
  }
  return p.b;
}

}  // namespace

std::uint32_t Fcc(std::string_view four) {
  if (four.size() != 4) throw std::invalid_argument("a four-character code needs four characters");
  return LoadU32(AsBytes(four), 0);
}

std::vector<std::uint8_t> BuildAvi(const AviLayout& layout) {
  const auto& streams = layout.streams;
  const std::size_t forms = layout.framesPerForm.size();
  const bool openDml = forms > 1;
  const std::uint32_t total = std::accumulate(layout.framesPerForm.begin(), layout.framesPerForm.end(), 0u);
  const auto video = std::find_if(streams.begin(), streams.end(), [](auto& s) { return s.type == "vids"; });
  const bool hasVideo = video != streams.end();
  std::uint32_t buffer = 0;
  for (const AviStream& s : streams) buffer = std::max(buffer, s.chunkBytes);

  Out w;
  w.begin("RIFF", "AVI ");
  if (layout.junk) w.chunk("JUNK", Bytes(7));
  Out avih;
  avih.n(40000).n(1000000).n(0).n(0x10).n(forms ? layout.framesPerForm[0] : 0).n(0);
  avih.n(layout.declaredStreams.value_or(static_cast<std::uint32_t>(streams.size()))).n(buffer);
  avih.n(hasVideo ? Magnitude(video->width) : 0).n(hasVideo ? Magnitude(video->height) : 0).n(0, 16);
  avih.b.resize(layout.mainHeaderSize);
  w.begin("LIST", "hdrl").chunk("avih", avih.b);
  if (layout.junk) w.chunk("JUNK", Bytes(5));
  std::vector<std::size_t> superAt(streams.size());
  std::vector<Out> super(streams.size());
  for (std::size_t i = 0; i < streams.size(); ++i) {
    const AviStream& s = streams[i];
    const bool isVideo = s.type == "vids";
    Out strh;
    strh.fcc(s.type).fcc(s.handler).n(0).n(0).n(0).n(s.scale).n(s.rate).n(s.start).n(
        s.length.value_or(total));
    strh.n(0).n(0xFFFFFFFF).n(isVideo ? 0 : 4);
    const std::array<std::int16_t, 4> rect{0, 0, static_cast<std::int16_t>(s.width),
                                           static_cast<std::int16_t>(Magnitude(s.height))};
    for (std::int16_t v : s.frame.value_or(isVideo ? rect : std::array<std::int16_t, 4>{})) {
      strh.n(static_cast<std::uint16_t>(v), 2);
    }
    strh.b.resize(s.headerSize);
    w.begin("LIST", "strl").chunk("strh", strh.b);
    if (s.writeFormat) w.chunk("strf", s.format.empty() ? Format(s) : s.format);
    if (layout.junk) w.chunk("JUNK", Bytes(3));
    if (openDml) {
      superAt[i] = w.b.size() + 8;
      w.chunk("indx", Bytes(24 + 16 * forms));
      super[i].n(4, 2).n(0, 2).n(forms).fcc(ChunkId(i, s)).n(0, 12);
    }
    if (!s.name.empty()) w.chunk("strn", AsBytes(std::string_view(s.name.c_str(), s.name.size() + 1)));
    w.end();
  }
  if (openDml) {
    Out dmlh;
    dmlh.n(layout.grandFrames.value_or(hasVideo ? total : 0)).b.resize(248);
    w.begin("LIST", "odml").chunk("dmlh", dmlh.b).end();
  }
  w.end();  // hdrl
  if (layout.junk) w.chunk("JUNK", Bytes(9));

  for (std::size_t form = 0; form < forms; ++form) {
    if (form > 0) w.begin("RIFF", "AVIX");
    const std::size_t movi = w.b.size();
    w.begin("LIST", "movi");
    std::vector<std::vector<std::size_t>> placed(streams.size());  // offsets of the chunk headers
    for (std::uint32_t frame = 0; frame < layout.framesPerForm[form]; ++frame) {
      for (std::size_t i = 0; i < streams.size(); ++i) {
        placed[i].push_back(w.b.size());
        w.chunk(ChunkId(i, streams[i]), Bytes(streams[i].chunkBytes, static_cast<std::uint8_t>(frame)));
      }
    }
    for (std::size_t i = 0; openDml && i < streams.size(); ++i) {
      Out ix;  // a standard index of this form's chunks, listed in the super index
      ix.n(2, 2).n(0, 1).n(1, 1).n(placed[i].size()).fcc(ChunkId(i, streams[i])).n(movi, 8).n(0);
      for (std::size_t at : placed[i]) ix.n(at + 8 - movi).n(streams[i].chunkBytes);
      super[i].n(w.b.size(), 8).n(ix.b.size() + 8).n(placed[i].size());
      w.chunk("ix" + TwoDigits(i), ix.b);
    }
    w.end();  // movi
    if (form == 0 && layout.idx1) {
      Out idx1;
      for (std::size_t i = 0; i < streams.size(); ++i) {
        for (std::size_t at : placed[i])
          idx1.fcc(ChunkId(i, streams[i])).n(0x10).n(at - movi - 8).n(streams[i].chunkBytes);
      }
      w.chunk("idx1", idx1.b);
    }
    w.end();  // the RIFF form
  }
  if (forms == 0) w.end();
  for (std::size_t i = 0; openDml && i < streams.size(); ++i) {
    std::copy(super[i].b.begin(), super[i].b.end(), w.b.begin() + static_cast<std::ptrdiff_t>(superAt[i]));
  }
  return std::move(w.b);
}

AviStream PcmAudioStream(std::uint32_t samplesPerSec, std::uint32_t length) {
  return {.type = "auds", .handler = std::string(4, '\0'), .rate = samplesPerSec, .length = length};
}

std::size_t FindFourCC(std::span<const std::uint8_t> bytes, std::string_view four, int nth) {
  auto at = bytes.begin();
  while ((at = std::search(at, bytes.end(), four.begin(), four.end())) != bytes.end() && nth-- > 0) ++at;
  return at == bytes.end() ? std::string_view::npos : static_cast<std::size_t>(at - bytes.begin());
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

void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> Patched(std::string_view four, int delta, std::uint32_t value,
                                  std::vector<std::uint8_t> bytes) {
  StoreU32(bytes, FindFourCC(bytes, four) + delta, value);
  return bytes;
}

std::vector<std::uint8_t> Cut(std::string_view four, int delta, std::vector<std::uint8_t> bytes, int nth) {
  bytes.resize(FindFourCC(bytes, four, nth) + delta);
  return bytes;
}

}  // namespace tamso::test
