#include "platform/winmm/soundfont_subset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "platform/winmm/midi_synth.h"
#include "tests/platform/winmm/winmm_test_support.h"

namespace tamso::winmm {
namespace {

using testing::Bytes;

// A soundfont as a test describes it: references are indices, as in the file.
struct Zone {
  std::vector<std::array<std::uint16_t, 2>> generators{};  // operator, amount
  std::vector<std::array<std::uint16_t, 5>> modulators{};
  bool operator==(const Zone&) const = default;
};
struct Preset {
  std::string name{};
  std::uint16_t bank = 0, program = 0;
  std::vector<Zone> zones{};
  bool operator==(const Preset&) const = default;
};
struct Instrument {
  std::string name{};
  std::vector<Zone> zones{};
  bool operator==(const Instrument&) const = default;
};
struct Sample {
  std::string name{};
  std::vector<std::int16_t> points{};
  std::vector<std::int16_t> tail{};          // the 46 points after the end, which the sample takes along
  std::vector<std::uint8_t> low{};           // sm24 bytes of points and tail, when the font has them
  std::uint32_t loopStart = 0, loopEnd = 0;  // from the sample's start
  std::uint16_t link = 0, type = 1;
  bool operator==(const Sample&) const = default;
};
struct Font {
  int major = 2, minor = 4;
  std::vector<Preset> presets{};
  std::vector<Instrument> instruments{};
  std::vector<Sample> samples{};
  bool operator==(const Font&) const = default;
};

void Put16(Bytes& out, std::uint16_t v) { out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, std::uint16_t(v));
  Put16(out, std::uint16_t(v >> 16));
}
void PutName(Bytes& out, const std::string& name) {
  std::string field = name;
  field.resize(20, '\0');
  out.insert(out.end(), field.begin(), field.end());
}
void PutChunk(Bytes& out, const char* id, const Bytes& body) {
  out.insert(out.end(), id, id + 4);
  Put32(out, std::uint32_t(body.size()));
  out.insert(out.end(), body.begin(), body.end());
}
Bytes List(const char* type, const Bytes& body) {
  Bytes list(type, type + 4);
  list.insert(list.end(), body.begin(), body.end());
  return list;
}

// The four chunks of presets or instruments, terminal records included.
template <class T, class Head>
void PutLevel(Bytes& pdta, const std::vector<T>& items, const char* const (&ids)[4], Head head) {
  Bytes headers, bags, mods, gens;
  std::uint16_t bagCount = 0;
  for (const T& item : items) {
    head(headers, item, bagCount);
    for (const Zone& zone : item.zones) {
      Put16(bags, std::uint16_t(gens.size() / 4));
      Put16(bags, std::uint16_t(mods.size() / 10));
      for (const auto& g : zone.generators) Put32(gens, g[0] | std::uint32_t(g[1]) << 16);
      for (const auto& m : zone.modulators)
        for (const auto v : m) Put16(mods, v);
      ++bagCount;
    }
  }
  head(headers, T{.name = "EO"}, bagCount);
  Put16(bags, std::uint16_t(gens.size() / 4));
  Put16(bags, std::uint16_t(mods.size() / 10));
  Put32(gens, 0);
  mods.resize(mods.size() + 10, 0);
  PutChunk(pdta, ids[0], headers);
  PutChunk(pdta, ids[1], bags);
  PutChunk(pdta, ids[2], mods);
  PutChunk(pdta, ids[3], gens);
}

Bytes Write(const Font& font) {
  Bytes info, smpl, sm24, shdr, pdta;
  PutChunk(info, "ifil", {std::uint8_t(font.major), 0, std::uint8_t(font.minor), 0});
  PutChunk(info, "INAM", {'T', 'e', 's', 't', 0, 0});
  for (const Sample& s : font.samples) {
    const auto start = std::uint32_t(smpl.size() / 2), end = start + std::uint32_t(s.points.size());
    for (const auto p : s.points) Put16(smpl, std::uint16_t(p));
    for (const auto p : s.tail) Put16(smpl, std::uint16_t(p));
    sm24.insert(sm24.end(), s.low.begin(), s.low.end());
    PutName(shdr, s.name);
    for (const auto v : {start, end, start + s.loopStart, start + s.loopEnd, 22050u}) Put32(shdr, v);
    shdr.insert(shdr.end(), {60, 0});
    Put16(shdr, s.link);
    Put16(shdr, s.type);
  }
  PutName(shdr, "EOS");
  shdr.resize(shdr.size() + 26, 0);
  PutLevel(pdta, font.presets, {"phdr", "pbag", "pmod", "pgen"},
           [](Bytes& out, const Preset& p, std::uint16_t bag) {
             PutName(out, p.name);
             for (const auto v : {p.program, p.bank, bag}) Put16(out, v);
             out.resize(out.size() + 12, 0);
           });
  PutLevel(pdta, font.instruments, {"inst", "ibag", "imod", "igen"},
           [](Bytes& out, const Instrument& i, std::uint16_t bag) {
             PutName(out, i.name);
             Put16(out, bag);
           });
  PutChunk(pdta, "shdr", shdr);
  Bytes sdta;
  PutChunk(sdta, "smpl", smpl);
  if (sm24.size() % 2) sm24.push_back(0);
  if (!sm24.empty()) PutChunk(sdta, "sm24", sm24);
  Bytes body = {'s', 'f', 'b', 'k'};
  PutChunk(body, "LIST", List("INFO", info));
  PutChunk(body, "LIST", List("sdta", sdta));
  PutChunk(body, "LIST", List("pdta", pdta));
  Bytes file;
  PutChunk(file, "RIFF", body);
  return file;
}

Sample MakeSample(const std::string& name, std::vector<std::int16_t> points, std::uint16_t type = 1,
                  std::uint16_t link = 0) {
  Sample s{
      .name = name, .points = std::move(points), .loopStart = 1, .loopEnd = 3, .link = link, .type = type};
  // Guard points that are not silence, so that a test sees them copied with the sample.
  for (int i = 0; i < 46; ++i) s.tail.push_back(std::int16_t(s.points.front() * 100 + i));
  for (std::size_t i = 0; i < s.points.size() + s.tail.size(); ++i)
    s.low.push_back(std::uint8_t(s.points.back() + i));
  return s;
}

// Three presets on three instruments and four samples, one a stereo pair, in an order
// that makes the subset renumber everything it keeps.
Font ThreePresets() {
  Font font;
  font.samples = {MakeSample("mono C", {1, 2, 3, 4}), MakeSample("mono A", {100, -200, 300, -400, 500, -600}),
                  MakeSample("right B", {7, 8, 9, 10, 11}, 2, 3),
                  MakeSample("left B", {-7, -8, -9, -10, -11}, 4, 2)};
  font.instruments = {
      {"inst C", {{.generators = {{53, 0}}}}},
      {"inst A",
       {{.generators = {{48, 100}}, .modulators = {{0x0502, 48, 960, 0, 0}}},
        {.generators = {{43, 0x7F00}, {53, 1}}}}},
      {"inst B", {{.generators = {{17, 0xFE0C}, {53, 3}}}}},  // names only the left half
  };
  font.presets = {
      {"Other", 0, 1, {{.generators = {{41, 0}}}}},
      {"Piano",
       0,
       0,
       {{.generators = {{48, 10}}},
        {.generators = {{43, 0x3C00}, {41, 1}}, .modulators = {{0x0081, 8, 200, 0, 0}}}}},
      {"Drums", 128, 0, {{.generators = {{41, 2}}}}},
  };
  return font;
}

Bytes Patched(Bytes bytes, const char* chunk, std::size_t offset, std::uint32_t value, int width = 2) {
  const auto at = std::search(bytes.begin(), bytes.end(), chunk, chunk + 4) - bytes.begin();
  if (width == 2)
    StoreU16(bytes, at + offset, std::uint16_t(value));
  else
    StoreU32(bytes, at + offset, value);
  return bytes;
}

// The subset lays a file out as Write does, so a font written from what the subset should
// hold is, byte for byte, what it makes.
TEST(SoundFontSubset, KeepsTheWantedPresetsWithWhatTheyUseRenumbered) {
  const Font font = ThreePresets();
  Font expected = font;
  expected.presets = {font.presets[1], font.presets[2]};
  expected.presets[0].zones[1].generators[1][1] = 0;  // inst A
  expected.presets[1].zones[0].generators[0][1] = 1;  // inst B
  expected.instruments = {font.instruments[1], font.instruments[2]};
  expected.instruments[0].zones[1].generators[1][1] = 0;  // mono A
  expected.instruments[1].zones[0].generators[1][1] = 2;  // left B
  expected.samples = {font.samples[1], font.samples[2], font.samples[3]};
  expected.samples[1].link = 2;  // the right half, brought in by the link, and its link back
  expected.samples[2].link = 1;
  const auto subset = SoundFontSubset(Write(font), {{0, 0}, {128, 0}, {7, 7}});
  EXPECT_EQ(subset, Write(expected)) << "presets, zones, generators, modulators, samples with their "
                                        "guard points, sm24 bytes and loops";

  EXPECT_EQ(SoundFontSubset(Write(font), {{0, 0}, {0, 1}, {128, 0}}), Write(font))
      << "a subset of every preset is the font itself";
  ASSERT_TRUE(subset);
  EXPECT_EQ(SoundFontSubset(*subset, {{0, 0}, {128, 0}}), subset) << "and of a subset, the subset";
}

TEST(SoundFontSubset, DropsLowBytesTheSynthesiserWouldIgnore) {
  Font font = ThreePresets();
  font.minor = 1;  // 24-bit samples came with version 2.04
  Font expected = font;
  expected.presets = {font.presets[0]};
  expected.instruments = {font.instruments[0]};
  expected.samples = {font.samples[0]};
  expected.samples[0].low.clear();
  EXPECT_EQ(SoundFontSubset(Write(font), {{0, 1}}), Write(expected));
}

TEST(SoundFontSubset, RefusesFontsItCannotCopyExactly) {
  const Font good = ThreePresets();
  const Bytes bytes = Write(good);
  const auto modified = [&](auto change) {
    Font font = good;
    change(font);
    return Write(font);
  };
  const std::size_t sample1 = 46;  // the second shdr record, after the chunk header of 8
  const struct {
    const char* what;
    Bytes font;
  } cases[] = {
      {"empty", {}},
      {"truncated", Bytes(bytes.begin(), bytes.end() - 10)},
      {"cut in the sample data", Bytes(bytes.begin(), bytes.begin() + 200)},
      {"not a soundfont", Patched(bytes, "sfbk", 0, 'x' | 'x' << 8)},
      {"version 3", modified([](Font& f) { f.major = 3; })},
      {"version 1", modified([](Font& f) { f.major = 1; })},
      {"a compressed sample", modified([](Font& f) { f.samples[0].type = 0x11; })},
      {"a ROM sample", modified([](Font& f) { f.samples[0].type = 0x8001; })},
      {"an instrument that is not there",
       modified([](Font& f) { f.presets[1].zones[1].generators[1][1] = 9; })},
      {"a sample that is not there",
       modified([](Font& f) { f.instruments[1].zones[1].generators[1][1] = 9; })},
      {"a stereo link to nothing", modified([](Font& f) { f.samples[2].link = 9; })},
      {"a loop before the sample", Patched(bytes, "shdr", 8 + sample1 + 28, 0, 4)},
      {"a sample past the data", Patched(bytes, "shdr", 8 + sample1 + 24, 0xFFFF, 4)},
      {"zones out of order", Patched(bytes, "phdr", 8 + 38 + 24, 0xFFFF)},
      {"zones before the first preset's", Patched(bytes, "phdr", 8 + 24, 1)},
      {"generators not whole records", Patched(bytes, "pgen", 4, 14, 4)},
      {"no sample headers", Patched(bytes, "shdr", 0, 'x' | 'x' << 8)},
  };
  for (const auto& c : cases) EXPECT_FALSE(SoundFontSubset(c.font, {{0, 0}, {128, 0}})) << c.what;
  EXPECT_FALSE(SoundFontSubset(bytes, {{5, 5}, {0, 2}})) << "no wanted preset";
}

TEST(SoundFontSubset, PresetsOfASongCoverEveryBankAndProgramItNames) {
  // Program 11, bank selects 1 (controller 0) and 5 (controller 32, under running status).
  const auto song =
      ReadMidiFile(testing::SingleTrackSong({0x00, 0xC0, 11, 0x00, 0xB9, 0x00, 1, 0x00, 0x20, 5}));
  ASSERT_TRUE(song);
  const auto presets = PresetsSongMaySelect(*song);
  EXPECT_EQ(presets.size(), 4u * 2u) << "banks 0, 1, 5, 128; programs 0, 11";
  for (const PresetId id :
       {PresetId{0, 0}, PresetId{1, 11}, PresetId{5, 0}, PresetId{128, 11}, PresetId{128, 0}})
    EXPECT_TRUE(presets.contains(id)) << id.bank << ":" << id.program;
}

TEST(SoundFontSubset, TheTuneSoundsTheSameThroughTheSubsetOfTheInstalledFont) {
  const std::filesystem::path whole = "/usr/share/sounds/sf2/TimGM6mb.sf2";
  if (!std::filesystem::exists(whole))
    GTEST_SKIP() << "TimGM6mb (package timgm6mb-soundfont) is not installed";
  const auto song = testing::ReadFile(testing::KittyTune());
  const auto facts = ReadMidiFile(song);
  ASSERT_TRUE(facts);
  const auto subset = SoundFontSubset(testing::ReadFile(whole), PresetsSongMaySelect(*facts));
  ASSERT_TRUE(subset);
  EXPECT_LT(subset->size(), 1'500'000u);

  testing::ScratchFolder folder;
  const std::string font(subset->begin(), subset->end());
  const auto part = folder.file("subset.sf2", font);
  ASSERT_EQ(RenderMidiToWav(song, whole, folder.path() / "whole.wav"), 0u);
  ASSERT_EQ(RenderMidiToWav(song, part, folder.path() / "subset.wav"), 0u);
  const Bytes heard = testing::ReadFile(folder.path() / "whole.wav");
  EXPECT_GT(heard.size(), 1'000'000u);
  EXPECT_TRUE(heard == testing::ReadFile(folder.path() / "subset.wav")) << "the same WAV, byte for byte";
}

}  // namespace
}  // namespace tamso::winmm
