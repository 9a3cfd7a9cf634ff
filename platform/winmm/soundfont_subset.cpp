#include "platform/winmm/soundfont_subset.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>

#include "platform/runtime/byte_reader.h"

namespace tamso::winmm {

namespace {

using Bytes = std::vector<std::uint8_t>;
using Span = std::span<const std::uint8_t>;

constexpr std::uint32_t FourCc(const char (&id)[5]) {
  return std::uint32_t(std::uint8_t(id[0])) | std::uint32_t(std::uint8_t(id[1])) << 8 |
         std::uint32_t(std::uint8_t(id[2])) << 16 | std::uint32_t(std::uint8_t(id[3])) << 24;
}

// Record sizes of the pdta chunks, and where a header keeps the index of its first zone.
constexpr std::size_t kPresetHeaderSize = 38, kInstrumentHeaderSize = 22, kSampleHeaderSize = 46;
constexpr std::size_t kBagSize = 4, kModulatorSize = 10, kGeneratorSize = 4;
constexpr std::size_t kPresetBagField = 24, kInstrumentBagField = 20;

// The chunks of a level: headers, bags (zones), modulators, generators.
using LevelIds = std::array<std::uint32_t, 4>;
constexpr LevelIds kPresetIds{FourCc("phdr"), FourCc("pbag"), FourCc("pmod"), FourCc("pgen")};
constexpr LevelIds kInstrumentIds{FourCc("inst"), FourCc("ibag"), FourCc("imod"), FourCc("igen")};

constexpr std::uint16_t kInstrumentGenerator = 41;
constexpr std::uint16_t kSampleIdGenerator = 53;
constexpr std::uint16_t kStereoTypes = 0x2 | 0x4 | 0x8;  // right, left and linked samples
constexpr std::uint16_t kCompressedType = 0x10, kRomType = 0x8000;
// The zero points a font keeps after each sample, for interpolators reading past its end.
constexpr std::uint64_t kGuardPoints = 46;

struct Header {  // a preset or an instrument
  Span bytes;
  std::uint16_t program = 0, bank = 0;  // presets only
  std::uint16_t firstBag = 0;
};

struct Bag {
  std::uint16_t firstGenerator = 0, firstModulator = 0;
};

struct Generator {
  std::uint16_t oper = 0, amount = 0;
};

struct Sample {
  Span bytes;
  std::uint32_t start = 0, end = 0, loopStart = 0, loopEnd = 0;
  std::uint16_t link = 0, type = 0;
};

// The presets or the instruments of a font with their zones; every array ends with the
// terminal record the format puts after the last real one.
struct Level {
  std::vector<Header> headers;
  std::vector<Bag> bags;
  Span modulators;  // records of kModulatorSize bytes, copied as they are
  std::vector<Generator> generators;
  std::size_t bagField = 0;  // offset of the first-zone index in a header record

  std::size_t count() const { return headers.size() - 1; }
  std::size_t modulatorCount() const { return modulators.size() / kModulatorSize; }

  // Calls `visit` with every generator of the header's zones.
  template <class Visit>
  void forEachGenerator(std::size_t header, Visit visit) const {
    for (std::size_t b = headers[header].firstBag; b < headers[header + 1].firstBag; ++b)
      for (std::size_t g = bags[b].firstGenerator; g < bags[b + 1].firstGenerator; ++g) visit(generators[g]);
  }
};

struct SampleData {
  Span points;  // smpl: 16-bit points
  Span low;     // sm24: the low byte of each point, or empty when the synthesiser ignores it
  std::size_t count() const { return points.size() / 2; }
};

struct Chunk {
  std::uint32_t id = 0;
  ByteReader body;
};

// Chunks are read one after another without padding, as the synthesiser reads them.
Chunk ReadChunk(ByteReader& r) {
  Chunk chunk;
  chunk.id = r.u32();
  chunk.body = r.sub(r.u32());
  return chunk;
}

struct List {
  ByteReader body;  // after the type
  Span whole;       // the chunk's bytes, header included
};

// A LIST chunk of the given type.
std::optional<List> ReadList(ByteReader& r, Span file, std::uint32_t type) {
  const std::size_t from = r.offset();
  Chunk list = ReadChunk(r);
  if (!r.ok() || list.id != FourCc("LIST") || list.body.u32() != type || !list.body.ok()) return std::nullopt;
  return List{list.body.sub(list.body.remaining()), file.subspan(from, r.offset() - from)};
}

// The records of a chunk, each read by `read` from a reader bounded to it; nullopt unless
// the chunk holds a whole number of records, the terminal one included.
template <class T, class Read>
std::optional<std::vector<T>> ReadRecords(ByteReader chunk, std::size_t size, Read read) {
  if (chunk.size() == 0 || chunk.size() % size != 0) return std::nullopt;
  std::vector<T> records;
  records.reserve(chunk.size() / size);
  while (!chunk.atEnd()) {
    const Span bytes = chunk.bytes(size);
    ByteReader record(bytes);
    records.push_back(read(record, bytes));
  }
  return records;
}

std::optional<std::vector<Header>> ReadHeaders(ByteReader chunk, std::size_t size, bool preset) {
  return ReadRecords<Header>(chunk, size, [&](ByteReader& r, Span bytes) {
    Header h{.bytes = bytes};
    r.skip(20);  // name
    if (preset) {
      h.program = r.u16();
      h.bank = r.u16();
    }
    h.firstBag = r.u16();
    return h;
  });
}

std::optional<std::vector<Bag>> ReadBags(ByteReader chunk) {
  return ReadRecords<Bag>(chunk, kBagSize, [](ByteReader& r, Span) {
    const std::uint16_t generator = r.u16();
    return Bag{generator, r.u16()};
  });
}

std::optional<std::vector<Generator>> ReadGenerators(ByteReader chunk) {
  return ReadRecords<Generator>(chunk, kGeneratorSize, [](ByteReader& r, Span) {
    const std::uint16_t oper = r.u16();
    return Generator{oper, r.u16()};
  });
}

std::optional<std::vector<Sample>> ReadSamples(ByteReader chunk) {
  return ReadRecords<Sample>(chunk, kSampleHeaderSize, [](ByteReader& r, Span bytes) {
    Sample s{.bytes = bytes};
    r.skip(20);  // name
    s.start = r.u32();
    s.end = r.u32();
    s.loopStart = r.u32();
    s.loopEnd = r.u32();
    r.skip(6);  // rate, original pitch, pitch correction
    s.link = r.u16();
    s.type = r.u16();
    return s;
  });
}

// True when the indices `first` of the records start at 0, ascend, and the terminal one
// names the terminal record of the `count` records they index. The synthesiser reads the
// indexed records one after another from the start of their chunk, and refuses a font
// whose counts do not add up so.
template <class T, class First>
bool Chained(const std::vector<T>& records, First first, std::size_t count) {
  for (std::size_t i = 1; i < records.size(); ++i)
    if (first(records[i]) < first(records[i - 1])) return false;
  return first(records.front()) == 0 && first(records.back()) + 1u == count;
}

std::optional<Level> ReadLevel(ByteReader& pdta, const LevelIds& ids) {
  const bool preset = ids == kPresetIds;
  Level level;
  level.bagField = preset ? kPresetBagField : kInstrumentBagField;
  const Chunk headerChunk = ReadChunk(pdta), bagChunk = ReadChunk(pdta);
  const Chunk modulatorChunk = ReadChunk(pdta), generatorChunk = ReadChunk(pdta);
  if (!pdta.ok() || LevelIds{headerChunk.id, bagChunk.id, modulatorChunk.id, generatorChunk.id} != ids)
    return std::nullopt;
  auto headers = ReadHeaders(headerChunk.body, preset ? kPresetHeaderSize : kInstrumentHeaderSize, preset);
  auto bags = ReadBags(bagChunk.body);
  auto generators = ReadGenerators(generatorChunk.body);
  level.modulators = ByteReader(modulatorChunk.body).bytes(modulatorChunk.body.size());
  if (!headers || !bags || !generators || level.modulators.empty() ||
      level.modulators.size() % kModulatorSize)
    return std::nullopt;
  level.headers = std::move(*headers);
  level.bags = std::move(*bags);
  level.generators = std::move(*generators);
  const auto firstBag = [](const Header& h) { return h.firstBag; };
  const auto firstGenerator = [](const Bag& b) { return b.firstGenerator; };
  const auto firstModulator = [](const Bag& b) { return b.firstModulator; };
  if (!Chained(level.headers, firstBag, level.bags.size()) ||
      !Chained(level.bags, firstGenerator, level.generators.size()) ||
      !Chained(level.bags, firstModulator, level.modulatorCount()))
    return std::nullopt;
  return level;
}

// The file's version from its INFO list: the "ifil" chunk, major and minor.
std::optional<std::pair<int, int>> ReadVersion(ByteReader info) {
  std::optional<std::pair<int, int>> version;
  while (info.ok() && !info.atEnd()) {
    Chunk chunk = ReadChunk(info);
    if (chunk.id != FourCc("ifil")) continue;
    if (chunk.body.size() != 4) return std::nullopt;
    const int major = chunk.body.u16();
    version = std::pair{major, int(chunk.body.u16())};
  }
  if (!info.ok()) return std::nullopt;
  return version;
}

// The sample data. The 24-bit low bytes count only where the synthesiser reads them: in
// a file of version 2.04 or later, right after smpl, one byte a point (padded to even).
std::optional<SampleData> ReadSampleData(ByteReader sdta, int minorVersion) {
  Chunk smpl = ReadChunk(sdta);
  if (!sdta.ok() || smpl.id != FourCc("smpl") || smpl.body.size() % 2) return std::nullopt;
  SampleData data;
  data.points = smpl.body.bytes(smpl.body.size());
  if (minorVersion >= 4 && sdta.remaining() > 8) {
    Chunk sm24 = ReadChunk(sdta);
    const std::size_t expected = data.count() + data.count() % 2;
    if (sdta.ok() && sm24.id == FourCc("sm24") && sm24.body.size() == expected)
      data.low = sm24.body.bytes(data.count());
  }
  return data;
}

void AppendU16(Bytes& out, std::uint16_t value) {
  out.resize(out.size() + 2);
  StoreU16(out, out.size() - 2, value);
}

void AppendU32(Bytes& out, std::uint32_t value) {
  out.resize(out.size() + 4);
  StoreU32(out, out.size() - 4, value);
}

void AppendChunk(Bytes& out, std::uint32_t id, Span body) {
  AppendU32(out, id);
  AppendU32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
}

// Starts a LIST (or RIFF) chunk; EndList fills in its size.
std::size_t BeginList(Bytes& out, std::uint32_t id, std::uint32_t type) {
  const std::size_t at = out.size();
  AppendU32(out, id);
  AppendU32(out, 0);
  AppendU32(out, type);
  return at;
}

void EndList(Bytes& out, std::size_t at) {
  StoreU32(out, at + 4, static_cast<std::uint32_t>(out.size() - at - 8));
}

// The kept headers of a level with their zones, renumbered, as the four chunks' bodies.
struct LevelChunks {
  Bytes headers, bags, modulators, generators;
};

// `kept` are header indices in ascending order; generators of operator `reference` have
// their amount mapped through `renumber`.
LevelChunks CopyLevel(const Level& level, const std::vector<std::size_t>& kept, std::uint16_t reference,
                      const std::vector<std::uint16_t>& renumber) {
  LevelChunks out;
  const auto bagCount = [&] { return static_cast<std::uint16_t>(out.bags.size() / kBagSize); };
  const auto appendHeader = [&](const Header& header) {
    out.headers.insert(out.headers.end(), header.bytes.begin(), header.bytes.end());
    StoreU16(out.headers, out.headers.size() - header.bytes.size() + level.bagField, bagCount());
  };
  const auto appendBag = [&] {
    AppendU16(out.bags, static_cast<std::uint16_t>(out.generators.size() / kGeneratorSize));
    AppendU16(out.bags, static_cast<std::uint16_t>(out.modulators.size() / kModulatorSize));
  };
  const auto appendGenerator = [&](const Generator& g) {
    AppendU16(out.generators, g.oper);
    AppendU16(out.generators, g.oper == reference ? renumber[g.amount] : g.amount);
  };
  const auto appendModulators = [&](std::size_t first, std::size_t end) {
    const Span records = level.modulators.subspan(first * kModulatorSize, (end - first) * kModulatorSize);
    out.modulators.insert(out.modulators.end(), records.begin(), records.end());
  };
  for (const std::size_t h : kept) {
    appendHeader(level.headers[h]);
    for (std::size_t b = level.headers[h].firstBag; b < level.headers[h + 1].firstBag; ++b) {
      appendBag();
      for (std::size_t g = level.bags[b].firstGenerator; g < level.bags[b + 1].firstGenerator; ++g)
        appendGenerator(level.generators[g]);
      appendModulators(level.bags[b].firstModulator, level.bags[b + 1].firstModulator);
    }
  }
  appendHeader(level.headers.back());
  appendBag();
  const Generator& terminal = level.generators.back();
  AppendU16(out.generators, terminal.oper);
  AppendU16(out.generators, terminal.amount);
  appendModulators(level.modulatorCount() - 1, level.modulatorCount());
  return out;
}

void AppendLevel(Bytes& out, const LevelIds& ids, const LevelChunks& chunks) {
  AppendChunk(out, ids[0], chunks.headers);
  AppendChunk(out, ids[1], chunks.bags);
  AppendChunk(out, ids[2], chunks.modulators);
  AppendChunk(out, ids[3], chunks.generators);
}

// Marks what the kept headers' generators of operator `reference` name, in `used` (sized
// to the referenced records); false when one names a record that does not exist.
bool MarkReferences(const Level& level, const std::vector<std::size_t>& kept, std::uint16_t reference,
                    std::vector<bool>& used) {
  bool inRange = true;
  for (const std::size_t h : kept) {
    level.forEachGenerator(h, [&](const Generator& g) {
      if (g.oper != reference) return;
      if (g.amount < used.size())
        used[g.amount] = true;
      else
        inRange = false;
    });
  }
  return inRange;
}

// New indices of the marked records, in their old order; also the list of those kept.
std::vector<std::uint16_t> Renumber(const std::vector<bool>& used, std::vector<std::size_t>& kept) {
  std::vector<std::uint16_t> renumber(used.size(), 0);
  for (std::size_t i = 0; i < used.size(); ++i) {
    if (!used[i]) continue;
    renumber[i] = static_cast<std::uint16_t>(kept.size());
    kept.push_back(i);
  }
  return renumber;
}

// Adds the other halves of kept stereo samples, and theirs in turn; false for a link to
// a sample that does not exist.
bool FollowLinks(const std::vector<Sample>& samples, std::vector<bool>& used) {
  std::vector<std::size_t> pending;
  for (std::size_t i = 0; i < used.size(); ++i)
    if (used[i]) pending.push_back(i);
  while (!pending.empty()) {
    const Sample& s = samples[pending.back()];
    pending.pop_back();
    if (!(s.type & kStereoTypes)) continue;
    if (s.link >= used.size()) return false;
    if (!used[s.link]) {
      used[s.link] = true;
      pending.push_back(s.link);
    }
  }
  return true;
}

struct SampleChunks {
  Bytes headers, points, low;
};

// The kept samples' headers and data, each sample's points moved to where its copy lands.
std::optional<SampleChunks> CopySamples(const std::vector<Sample>& samples,
                                        const std::vector<std::size_t>& kept,
                                        const std::vector<std::uint16_t>& renumber, const SampleData& data) {
  // Copies of samples sharing data could make the result larger than the font: beyond
  // the font's points and one guard run a sample, the subset is not worth making.
  const std::uint64_t budget = data.count() + kGuardPoints * kept.size();
  SampleChunks out;
  for (const std::size_t i : kept) {
    const Sample& s = samples[i];
    // Points are moved by one offset, so their order and distances stay as they were.
    if (s.start > s.end || s.end > data.count() || s.loopStart < s.start || s.loopEnd < s.start)
      return std::nullopt;
    const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t(s.end) + kGuardPoints, data.count());
    const std::uint64_t at = out.points.size() / 2;
    const std::uint64_t highest = std::max(s.loopStart, s.loopEnd) - s.start + at;
    if (at + (end - s.start) > budget || highest > std::numeric_limits<std::uint32_t>::max())
      return std::nullopt;
    const Span points = data.points.subspan(s.start * std::size_t(2), (end - s.start) * 2);
    out.points.insert(out.points.end(), points.begin(), points.end());
    if (!data.low.empty()) {
      const Span low = data.low.subspan(s.start, end - s.start);
      out.low.insert(out.low.end(), low.begin(), low.end());
    }
    const std::size_t record = out.headers.size();
    out.headers.insert(out.headers.end(), s.bytes.begin(), s.bytes.end());
    const auto moved = [&](std::uint32_t point) { return static_cast<std::uint32_t>(point - s.start + at); };
    StoreU32(out.headers, record + 20, moved(s.start));
    StoreU32(out.headers, record + 24, moved(s.end));
    StoreU32(out.headers, record + 28, moved(s.loopStart));
    StoreU32(out.headers, record + 32, moved(s.loopEnd));
    StoreU16(out.headers, record + 42, (s.type & kStereoTypes) ? renumber[s.link] : 0);
  }
  out.headers.insert(out.headers.end(), samples.back().bytes.begin(), samples.back().bytes.end());
  if (!data.low.empty() && out.low.size() % 2) out.low.push_back(0);
  return out;
}

}  // namespace

std::set<PresetId> PresetsSongMaySelect(const MidiFileFacts& song) {
  std::set<int> banks = song.bankSelects;
  banks.insert({0, 128});
  std::set<int> programs = song.programs;
  programs.insert(0);
  std::set<PresetId> presets;
  for (const int bank : banks)
    for (const int program : programs) presets.insert({bank, program});
  return presets;
}

std::optional<Bytes> SoundFontSubset(Span soundFont, const std::set<PresetId>& wanted) {
  ByteReader file(soundFont);
  if (file.u32() != FourCc("RIFF") || file.u32() + std::uint64_t(8) != soundFont.size() ||
      file.u32() != FourCc("sfbk"))
    return std::nullopt;
  // The three lists in the order the synthesiser reads them.
  const auto info = ReadList(file, soundFont, FourCc("INFO"));
  const auto sdta = ReadList(file, soundFont, FourCc("sdta"));
  auto pdta = ReadList(file, soundFont, FourCc("pdta"));
  if (!info || !sdta || !pdta) return std::nullopt;
  const auto version = ReadVersion(info->body);
  if (!version || version->first != 2) return std::nullopt;  // 3: compressed samples
  const auto data = ReadSampleData(sdta->body, version->second);
  const auto presets = ReadLevel(pdta->body, kPresetIds);
  const auto instruments = ReadLevel(pdta->body, kInstrumentIds);
  const Chunk shdr = ReadChunk(pdta->body);
  if (!data || !presets || !instruments || !pdta->body.ok() || shdr.id != FourCc("shdr")) return std::nullopt;
  const auto samples = ReadSamples(shdr.body);
  if (!samples) return std::nullopt;
  const std::size_t sampleCount = samples->size() - 1;
  for (std::size_t i = 0; i < sampleCount; ++i)
    if ((*samples)[i].type & (kCompressedType | kRomType)) return std::nullopt;

  std::vector<std::size_t> keptPresets;
  for (std::size_t p = 0; p < presets->count(); ++p) {
    const Header& h = presets->headers[p];
    if (wanted.contains({h.bank, h.program})) keptPresets.push_back(p);
  }
  std::vector<bool> instrumentUsed(instruments->count(), false);
  if (keptPresets.empty() || !MarkReferences(*presets, keptPresets, kInstrumentGenerator, instrumentUsed))
    return std::nullopt;
  std::vector<std::size_t> keptInstruments;
  const auto instrumentIndex = Renumber(instrumentUsed, keptInstruments);
  std::vector<bool> sampleUsed(sampleCount, false);
  if (!MarkReferences(*instruments, keptInstruments, kSampleIdGenerator, sampleUsed) ||
      !FollowLinks(*samples, sampleUsed))
    return std::nullopt;
  std::vector<std::size_t> keptSamples;
  const auto sampleIndex = Renumber(sampleUsed, keptSamples);
  const auto sampleChunks = CopySamples(*samples, keptSamples, sampleIndex, *data);
  if (!sampleChunks) return std::nullopt;
  const LevelChunks presetChunks = CopyLevel(*presets, keptPresets, kInstrumentGenerator, instrumentIndex);
  const LevelChunks instrumentChunks =
      CopyLevel(*instruments, keptInstruments, kSampleIdGenerator, sampleIndex);

  Bytes out;
  const std::size_t riff = BeginList(out, FourCc("RIFF"), FourCc("sfbk"));
  out.insert(out.end(), info->whole.begin(), info->whole.end());
  const std::size_t sampleList = BeginList(out, FourCc("LIST"), FourCc("sdta"));
  AppendChunk(out, FourCc("smpl"), sampleChunks->points);
  if (!data->low.empty()) AppendChunk(out, FourCc("sm24"), sampleChunks->low);
  EndList(out, sampleList);
  const std::size_t hydra = BeginList(out, FourCc("LIST"), FourCc("pdta"));
  AppendLevel(out, kPresetIds, presetChunks);
  AppendLevel(out, kInstrumentIds, instrumentChunks);
  AppendChunk(out, FourCc("shdr"), sampleChunks->headers);
  EndList(out, hydra);
  EndList(out, riff);
  if (out.size() - 8 > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return out;
}

}  // namespace tamso::winmm
