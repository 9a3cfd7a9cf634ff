// The header reader on its own: it reads no frame data, and gives an exact status for
// malformed headers.
#include "platform/avifil32/avi_headers.h"

#include <gtest/gtest.h>

#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso::avifile {
namespace {

using test::AviLayout;
using test::BuildAvi;
using test::FindFourCC;

// `bytes` followed by `extra` zeros that exist only as a size; counts the bytes asked for.
class CountingSource final : public ByteSource {
 public:
  CountingSource(std::vector<std::uint8_t> bytes, std::uint64_t extra)
      : bytes_(std::move(bytes)), extra_(extra) {}
  std::uint64_t size() const override { return bytes_.size() + extra_; }
  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
    if (offset > size() || out.size() > size() - offset) return false;
    read_ += out.size();
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = offset + i < bytes_.size() ? bytes_[offset + i] : 0;
    return true;
  }
  std::vector<std::uint8_t> bytes_;
  std::uint64_t extra_;
  mutable std::uint64_t read_ = 0;
};

TEST(AviHeaderReading, ReadsTheHeadersButNotTheFrames) {
  // 3 GB of frames: the 'movi' list and the form are declared that large.
  AviLayout layout;
  layout.framesPerForm = {0};
  layout.idx1 = false;
  std::vector<std::uint8_t> bytes = BuildAvi(layout);
  const std::uint64_t frames = 3ull << 30;
  StoreU32(bytes, FindFourCC(bytes, "movi") - 4, static_cast<std::uint32_t>(frames + 4));
  StoreU32(bytes, 4, static_cast<std::uint32_t>(bytes.size() - 8 + frames));
  CountingSource source(bytes, frames);
  const ParseResult result = ParseAviHeaders(source);
  ASSERT_EQ(result.status, ParseStatus::kOk);
  EXPECT_EQ(result.description.streams.size(), 1u);
  EXPECT_LE(source.read_, bytes.size() + 64);
}

// A file with the 32-bit value at `delta` from the `nth` `four` replaced.
std::vector<std::uint8_t> Patched(const char* four, int nth, std::ptrdiff_t delta, std::uint32_t value,
                                  std::vector<std::uint8_t> bytes = BuildAvi()) {
  StoreU32(bytes, static_cast<std::size_t>(static_cast<std::ptrdiff_t>(FindFourCC(bytes, four, nth)) + delta),
           value);
  return bytes;
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, const char* four, std::ptrdiff_t delta,
                              int nth = 0) {
  bytes.resize(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(FindFourCC(bytes, four, nth)) + delta));
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
  AviLayout named;
  named.streams[0].name = "x";
  const auto twoFormats = Patched("strn", 0, 0, test::Fcc("strf"), BuildAvi(named));
  const auto xxxx = test::Fcc("xxxx");
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    ParseStatus status;
  } cases[] = {
      {"empty", {}, ParseStatus::kNotAvi},
      {"text", std::vector<std::uint8_t>(100, 'a'), ParseStatus::kNotAvi},
      {"RIFF WAVE", Patched("AVI ", 0, 0, test::Fcc("WAVE")), ParseStatus::kNotAvi},
      {"lower-case form", Patched("AVI ", 0, 0, test::Fcc("AVi ")), ParseStatus::kNotAvi},
      {"avih of 52 bytes", Patched("avih", 0, 4, 52), ParseStatus::kBadFormat},
      {"strf of 4 GB", Patched("strf", 0, 4, 0xFFFFFFF0), ParseStatus::kBadFormat},
      {"strl past its hdrl", Patched("strl", 0, -4, 0x7FFFFFF0), ParseStatus::kBadFormat},
      {"hdrl smaller than its type", Patched("hdrl", 0, -4, 2), ParseStatus::kBadFormat},
      {"strh of 40 bytes", Patched("strh", 0, 4, 40), ParseStatus::kBadFormat},
      {"strl without strh", Patched("strh", 0, 0, xxxx), ParseStatus::kBadFormat},
      {"two strf", twoFormats, ParseStatus::kBadFormat},
      {"no hdrl", Patched("hdrl", 0, 0, xxxx), ParseStatus::kTruncated},
      {"hdrl without avih", Patched("avih", 0, 0, xxxx), ParseStatus::kTruncated},
      {"cut inside avih", Cut(good, "avih", 30), ParseStatus::kTruncated},
      {"cut inside strl", Cut(good, "strl", 40), ParseStatus::kTruncated},
      {"cut after the first of two strl", Cut(WithStreams(2), "strl", 20, 1), ParseStatus::kTruncated},
      {"avih with 2^32-1 streams", Patched("avih", 0, 8 + 24, 0xFFFFFFFF), ParseStatus::kTooManyStreams},
      {"101 streams announced", WithStreams(101), ParseStatus::kTooManyStreams},
      {"101 stream lists, 1 announced", WithStreams(101, 1), ParseStatus::kTooManyStreams},
      {"100 stream lists", WithStreams(100), ParseStatus::kOk},
      {"cut after the headers", Cut(good, "movi", 4), ParseStatus::kOk},
      {"cut inside movi", Cut(good, "movi", 30), ParseStatus::kOk},
      {"hdrl size past the end, streams whole", Patched("hdrl", 0, -4, 0xFFFFFFF0, Cut(good, "movi", -8)),
       ParseStatus::kOk},
      {"RIFF size 0", Patched("RIFF", 0, 4, 0), ParseStatus::kOk},
      {"RIFF size past the end", Patched("RIFF", 0, 4, 0xFFFFFFFF), ParseStatus::kOk},
      {"movi size 0", Patched("movi", 0, -4, 0), ParseStatus::kOk},
      {"movi size 2^32-1", Patched("movi", 0, -4, 0xFFFFFFFF), ParseStatus::kOk},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseAviHeaders(c.bytes).status, c.status) << c.what;
}

}  // namespace
}  // namespace tamso::avifile
