// The header reader on its own: what it reads of a file, and the exact status it gives
// for malformed headers.
#include "platform/avifil32/avi_headers.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso::avifile {
namespace {

using test::AviLayout;
using test::BuildAvi;
using test::FindFourCC;

void Patch32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  StoreU32(bytes, offset, value);
}

// The bytes of a real file followed by `extra` bytes that exist only as a size: reads
// there deliver zeros. Counts every byte asked for.
class CountingSource final : public ByteSource {
 public:
  CountingSource(std::vector<std::uint8_t> bytes, std::uint64_t extra)
      : bytes_(std::move(bytes)), size_(bytes_.size() + extra) {}
  std::uint64_t size() const override { return size_; }
  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
    if (offset > size_ || out.size() > size_ - offset) return false;
    read_ += out.size();
    for (std::size_t i = 0; i < out.size(); ++i) {
      out[i] = offset + i < bytes_.size() ? bytes_[static_cast<std::size_t>(offset + i)] : 0;
    }
    return true;
  }
  std::uint64_t bytesRead() const { return read_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t size_;
  mutable std::uint64_t read_ = 0;
};

TEST(AviHeaderReading, ReadsTheHeadersButNotTheFrames) {
  // A file with 3 GB of frames: its 'movi' list is declared that large, and the form
  // after it, so only chunk headers stand between 'hdrl' and the end.
  AviLayout layout;
  layout.framesPerForm = {0};
  layout.idx1 = false;
  std::vector<std::uint8_t> bytes = BuildAvi(layout);
  const std::uint64_t frames = 3ull << 30;
  const std::size_t movi = FindFourCC(bytes, "movi") - 8;
  Patch32(bytes, movi + 4, static_cast<std::uint32_t>(frames + 4));
  Patch32(bytes, 4, static_cast<std::uint32_t>(bytes.size() - 8 + frames));
  const std::size_t headerBytes = bytes.size();
  CountingSource source(std::move(bytes), frames);

  const ParseResult result = ParseAviHeaders(source);
  ASSERT_EQ(result.status, ParseStatus::kOk);
  EXPECT_EQ(result.description.streams.size(), 1u);
  EXPECT_LE(source.bytesRead(), headerBytes + 64);
}

TEST(AviHeaderReading, DescribesStreamsInFileOrder) {
  AviLayout layout;
  layout.streams.resize(3);
  layout.streams[0].type = "auds";
  layout.streams[0].name = "Sound";
  layout.streams[1].name = "Main picture";
  layout.streams[2].width = 64;
  layout.streams[2].height = -48;
  const ParseResult result = ParseAviHeaders(BuildAvi(layout));
  ASSERT_EQ(result.status, ParseStatus::kOk);
  const auto& streams = result.description.streams;
  ASSERT_EQ(streams.size(), 3u);
  EXPECT_EQ(streams[0].header.type, MakeFourCC('a', 'u', 'd', 's'));
  EXPECT_FALSE(streams[0].bitmap);
  EXPECT_EQ(streams[0].name, "Sound");
  EXPECT_EQ(streams[1].name, "Main picture");
  ASSERT_TRUE(streams[2].bitmap);
  EXPECT_EQ(streams[2].bitmap->width, 64);
  EXPECT_EQ(streams[2].bitmap->height, -48);
  EXPECT_TRUE(result.description.hasLegacyIndex);
}

TEST(AviHeaderReading, SumsSuperIndexDurationsOverAllForms) {
  AviLayout layout;
  layout.framesPerForm = {7, 5, 3};
  const ParseResult result = ParseAviHeaders(BuildAvi(layout));
  ASSERT_EQ(result.status, ParseStatus::kOk);
  ASSERT_TRUE(result.description.streams[0].superIndexDuration);
  EXPECT_EQ(*result.description.streams[0].superIndexDuration, 15u);
  EXPECT_EQ(result.description.grandFrames, 15u);
}

TEST(AviHeaderReading, BoundsSuperIndexEntriesByTheBytesPresent) {
  AviLayout layout;
  layout.framesPerForm = {4, 6};
  std::vector<std::uint8_t> bytes = BuildAvi(layout);
  // nEntriesInUse follows the chunk header and four bytes of type fields.
  Patch32(bytes, FindFourCC(bytes, "indx") + 12, 0xFFFFFFFF);
  const ParseResult result = ParseAviHeaders(bytes);
  ASSERT_EQ(result.status, ParseStatus::kOk);
  EXPECT_EQ(result.description.streams[0].superIndexDuration, 10u);
}

struct Malformed {
  const char* what;
  std::vector<std::uint8_t> bytes;
  ParseStatus status;
};

// A well-formed file with the 32-bit value at `delta` from the `nth` `four` replaced.
std::vector<std::uint8_t> Patched(const char* four, int nth, std::ptrdiff_t delta, std::uint32_t value) {
  std::vector<std::uint8_t> bytes = BuildAvi();
  Patch32(bytes, static_cast<std::size_t>(static_cast<std::ptrdiff_t>(FindFourCC(bytes, four, nth)) + delta),
          value);
  return bytes;
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t size) {
  bytes.resize(std::min(size, bytes.size()));
  return bytes;
}

std::vector<std::uint8_t> WithStreams(std::size_t count, std::optional<std::uint32_t> declared = {}) {
  AviLayout layout;
  layout.streams.resize(count);
  layout.declaredStreams = declared;
  layout.framesPerForm = {1};
  return BuildAvi(layout);
}

TEST(AviHeaderReading, GivesAPreciseStatusForMalformedHeaders) {
  const std::vector<std::uint8_t> good = BuildAvi();
  const std::size_t strl = FindFourCC(good, "strl");
  const std::size_t movi = FindFourCC(good, "movi");
  AviLayout doubledFormat;
  doubledFormat.streams[0].name = "x";
  std::vector<std::uint8_t> twoFormats = BuildAvi(doubledFormat);
  std::copy_n("strf", 4, twoFormats.begin() + static_cast<std::ptrdiff_t>(FindFourCC(twoFormats, "strn")));
  const std::vector<Malformed> cases = {
      {"empty", {}, ParseStatus::kNotAvi},
      {"text", std::vector<std::uint8_t>(100, 'a'), ParseStatus::kNotAvi},
      {"RIFF WAVE", Patched("AVI ", 0, 0, test::Fcc("WAVE")), ParseStatus::kNotAvi},
      {"lower-case form", Patched("AVI ", 0, 0, test::Fcc("AVi ")), ParseStatus::kNotAvi},
      {"avih of 52 bytes", Patched("avih", 0, 4, 52), ParseStatus::kBadFormat},
      {"strf of 4 GB", Patched("strf", 0, 4, 0xFFFFFFF0), ParseStatus::kBadFormat},
      {"strl past its hdrl", Patched("strl", 0, -4, 0x7FFFFFF0), ParseStatus::kBadFormat},
      {"hdrl smaller than its type", Patched("hdrl", 0, -4, 2), ParseStatus::kBadFormat},
      {"strh of 40 bytes", Patched("strh", 0, 4, 40), ParseStatus::kBadFormat},
      {"strl without strh", Patched("strh", 0, 0, test::Fcc("xxxx")), ParseStatus::kBadFormat},
      {"two strf", twoFormats, ParseStatus::kBadFormat},
      {"no hdrl", Patched("hdrl", 0, 0, test::Fcc("xxxx")), ParseStatus::kTruncated},
      {"hdrl without avih", Patched("avih", 0, 0, test::Fcc("xxxx")), ParseStatus::kTruncated},
      {"cut inside avih", Cut(good, FindFourCC(good, "avih") + 30), ParseStatus::kTruncated},
      {"cut inside strl", Cut(good, strl + 40), ParseStatus::kTruncated},
      {"cut after the first of two strl", Cut(WithStreams(2), FindFourCC(WithStreams(2), "strl", 1) + 20),
       ParseStatus::kTruncated},
      {"avih with 2^32-1 streams", Patched("avih", 0, 8 + 24, 0xFFFFFFFF), ParseStatus::kTooManyStreams},
      {"101 streams announced", WithStreams(101), ParseStatus::kTooManyStreams},
      {"101 stream lists, 1 announced", WithStreams(101, 1), ParseStatus::kTooManyStreams},
      {"file cut after the headers", Cut(good, movi + 4), ParseStatus::kOk},
      {"file cut inside movi", Cut(good, movi + 30), ParseStatus::kOk},
      {"RIFF size 0", Patched("RIFF", 0, 4, 0), ParseStatus::kOk},
      {"RIFF size past the end", Patched("RIFF", 0, 4, 0xFFFFFFFF), ParseStatus::kOk},
      {"100 stream lists", WithStreams(100), ParseStatus::kOk},
  };
  for (const Malformed& c : cases) {
    EXPECT_EQ(ParseAviHeaders(c.bytes).status, c.status) << c.what;
  }
}

TEST(AviHeaderReading, ACutHeaderListStillServesWhenEveryStreamIsWhole) {
  // The main header promises one stream; the list's size claims far more than the file
  // holds, yet the one stream list is complete.
  std::vector<std::uint8_t> bytes = BuildAvi();
  bytes.resize(FindFourCC(bytes, "movi") - 8);
  Patch32(bytes, FindFourCC(bytes, "hdrl") - 4, 0xFFFFFFF0);
  const ParseResult result = ParseAviHeaders(bytes);
  ASSERT_EQ(result.status, ParseStatus::kOk);
  EXPECT_EQ(result.description.streams.size(), 1u);
}

TEST(AviHeaderReading, SurvivesChunkSizesThatWrapOrLoop) {
  // Top-level chunks of size 0 and 0xFFFFFFFF: the walk always moves forward and ends.
  std::vector<std::uint8_t> bytes = BuildAvi();
  const std::size_t movi = FindFourCC(bytes, "movi") - 8;
  Patch32(bytes, movi + 4, 0);
  EXPECT_EQ(ParseAviHeaders(bytes).status, ParseStatus::kOk);
  Patch32(bytes, movi + 4, 0xFFFFFFFF);
  EXPECT_EQ(ParseAviHeaders(bytes).status, ParseStatus::kOk);
}

}  // namespace
}  // namespace tamso::avifile
