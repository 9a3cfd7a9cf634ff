#include "app/avi_report.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "platform/avifil32/avi_objects.h"
#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso {
namespace {

using namespace tamso::test;

TEST(RateText, RoundsHalvesToEvenAndStaysHonestOutsideSixteenBits) {
  const std::int32_t rateAndScale[] = {
      25, 1, 30000, 1001, 25, 2, 27, 2, -5, 2, -7, 2, 1, 3, 25, 0, 0, 0, 100000, 1, -2147483647 - 1, 1};
  std::string texts;
  for (std::size_t i = 0; i < std::size(rateAndScale); i += 2)
    texts += RateText(rateAndScale[i], rateAndScale[i + 1]) + " ";
  EXPECT_EQ(texts, "25 30 12 14 -2 -4 0 unknown unknown 100000 -2147483648 ");
}

// A view that records what the action shows, in order, each followed by '|'. The codec
// list describes every code as "described" and the code.
ReportView Recorder(std::string& seen) {
  const auto log = [&seen](std::string kind) {
    return [&seen, kind](const std::string& text) { seen += kind + text + "|"; };
  };
  return {[log] { log("events")(""); }, log("title:"), log("results:"), log("box:"),
          [](const std::string& code) { return "described " + code; }};
}

TEST(ReportChosenFile, AFileWithoutAVideoStreamShowsTheBoxThenUnknownFormat) {
  TempDir dir;
  AviLayout audioOnly;
  audioOnly.streams = {PcmAudioStream()};
  // A named pipe without a writer is refused at once rather than waited on.
  const std::string pipe = dir.file("pipe.avi");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path :
       {dir.file("missing.avi"), dir.write("sound.avi", BuildAvi(audioOnly)), pipe}) {
    std::string seen;
    EXPECT_FALSE(ReportChosenFile(path, Recorder(seen)));
    EXPECT_EQ(seen,
              "events|title:" + path + "|box:Error with the file:\r\n" + path + "|results:Unknown format|");
    EXPECT_EQ(avifile::OpenFileCount(), 0u);
  }
}

TEST(ReportChosenFile, AnAviShowsTheTwoLinesThenTheCodecLines) {
  TempDir dir;
  AviLayout layout;
  layout.streams = {PcmAudioStream(),
                    {.handler = "\x80VID", .scale = 1001, .rate = 30000, .chunkBytes = 100}};
  layout.framesPerForm = {60};
  const std::string path = dir.write("clip.avi", BuildAvi(layout));
  ASSERT_GT(std::filesystem::file_size(path), 5000u);
  std::string seen;
  EXPECT_TRUE(ReportChosenFile(path, Recorder(seen)));
  const std::string lines = "Resolution: 320x240 Number of streams: 2\r\nRate:30 Length:60";
  // The code's bytes are read as Windows-1252 (0x80 is the euro sign).
  EXPECT_EQ(seen, "events|title:" + path + "|results:" + lines + "|results:" + lines +
                      "\r\nVideo codec used: \u20ACVID\r\nInfos: described \u20ACVID|");
  EXPECT_EQ(avifile::OpenFileCount(), 0u);

  // A file of 5000 bytes or less gets no codec lines; a zero scale gives no rate.
  layout.streams[1].scale = 0;
  layout.framesPerForm = {2};
  const std::string tiny = dir.write("tiny.avi", BuildAvi(layout));
  seen.clear();
  EXPECT_TRUE(ReportChosenFile(tiny, Recorder(seen)));
  EXPECT_EQ(seen, "events|title:" + tiny +
                      "|results:Resolution: 320x240 Number of streams: 2\r\nRate:unknown Length:2|");
}

TEST(ReportChosenFile, TheCodecLineShowsTheWholeHandlerCodeWhereverTheVideoHeaderLies) {
  TempDir dir;
  const std::string lines = "Resolution: 320x240 Number of streams: 2\r\nRate:25 Length:60";
  // The audio stream's name moves the video stream's header so that its "vids" starts
  // at `at`: "vids" then lies across the end of the first 4096 bytes, which the codec
  // reader does not search (codec_code_test), or the whole header lies past them.
  for (const std::size_t at : {4094u, 6000u}) {
    AviLayout layout;
    layout.streams = {PcmAudioStream(), {.handler = "H264", .chunkBytes = 100}};
    layout.framesPerForm = {60};
    layout.streams[0].name = "a";
    const std::size_t first = FindFourCC(BuildAvi(layout), "vids");
    ASSERT_LT(first, 4000u);
    layout.streams[0].name = std::string(at - first + 1, 'a');
    // Past the first 4096 bytes the code is the stream header's, not the one after the
    // next "vids" in the file.
    const bool decoy = at > 5000;
    if (decoy) layout.streams[0].name.replace(layout.streams[0].name.size() - 100, 8, "vidsFAKE");
    const std::vector<std::uint8_t> bytes = BuildAvi(layout);
    ASSERT_EQ(FindFourCC(bytes, "vids", decoy ? 1 : 0), at);
    ASSERT_GT(FindFourCC(bytes, "vids"), decoy ? 4096u : 0u);
    const std::string path = dir.write("clip.avi", bytes);
    std::string seen;
    EXPECT_TRUE(ReportChosenFile(path, Recorder(seen)));
    EXPECT_EQ(seen, "events|title:" + path + "|results:" + lines + "|results:" + lines +
                        "\r\nVideo codec used: H264\r\nInfos: described H264|")
        << at;
  }
}

// The report's two lines for a file of `bytes`, or "Unknown format".
std::string Lines(std::span<const std::uint8_t> bytes) {
  const AviQuery query = QueryAviFile(TempDir().write("t.avi", bytes));
  return query.facts ? ReportLines(*query.facts) : "Unknown format";
}
std::string Lines(const AviLayout& layout) { return Lines(BuildAvi(layout)); }

TEST(ReportedFacts, TheFirstVideoStreamOfAnyLayout) {
  AviLayout layout;
  layout.declaredStreams = 5;  // more than the file holds
  layout.junk = true;
  layout.streams = {PcmAudioStream(),
                    {.scale = 1001, .rate = 30000, .start = 3, .length = 250, .width = 640},
                    {.width = 160}};
  layout.streams[0].name = "Stereo";  // odd sizes: 7 bytes with its terminator, chunks of 1 and 15
  layout.streams[0].chunkBytes = 1;
  layout.streams[1].chunkBytes = 15;
  EXPECT_EQ(Lines(layout), "Resolution: 640x240 Number of streams: 3\r\nRate:30 Length:250");
  // A length beyond LONG is shown as the record holds it, not taken for a failure.
  layout.streams[1].length = 0xFFFFFFFF;
  layout.streams[1].start = 0x80000000;
  EXPECT_EQ(Lines(layout), "Resolution: 640x240 Number of streams: 3\r\nRate:30 Length:-1");
}

TEST(ReportedFacts, PictureSizeComesFromTheFormatThenTheFrameRectangle) {
  const std::pair<AviStream, const char*> cases[] = {
      {{.frame = std::array<std::int16_t, 4>{0, 0, 160, 120}}, "320x240"},
      {{.frame = std::array<std::int16_t, 4>{0, 0, 160, 120}, .height = -240}, "320x240"},  // top-down
      {{.frame = std::array<std::int16_t, 4>{10, 20, 170, 140}, .writeFormat = false}, "160x120"},
      {{.headerSize = 48, .writeFormat = false}, "0x0"},  // no size rather than a wrong one
  };
  for (const auto& [video, size] : cases) {
    AviLayout layout;
    layout.streams = {video};
    EXPECT_EQ(Lines(layout),
              "Resolution: " + std::string(size) + " Number of streams: 1\r\nRate:25 Length:10");
  }
}

TEST(ReportedFacts, OpenDmlLengthCoversEveryRiffForm) {
  AviLayout layout;
  layout.streams = {AviStream{}, PcmAudioStream()};
  layout.framesPerForm = {300, 200, 100};
  const std::string lines = "Resolution: 320x240 Number of streams: 2\r\nRate:25 Length:600";
  EXPECT_EQ(Lines(layout), lines);
  // A writer that left only the first form's count in the stream header and never
  // filled in 'dmlh': the super index still covers all forms, even one that claims more
  // entries than it holds.
  layout.streams[0].length = 300;
  layout.grandFrames = 0;
  std::vector<std::uint8_t> bytes = BuildAvi(layout);
  EXPECT_EQ(Lines(bytes), lines);
  StoreU32(bytes, FindFourCC(bytes, "indx") + 12, 0xFFFFFFFF);
  EXPECT_EQ(Lines(bytes), lines);
  // Without a super index the 'dmlh' total counts.
  layout.grandFrames = 600;
  bytes = BuildAvi(layout);
  for (int i = 0; i < 2; ++i) std::memcpy(bytes.data() + FindFourCC(bytes, "indx"), "JUNK", 4);
  EXPECT_EQ(Lines(bytes), lines);
}

TEST(ReportedFacts, AFileCutShortAfterItsHeadersReportsTheHeaders) {
  AviLayout layout;
  layout.framesPerForm = {500};
  std::vector<std::uint8_t> bytes = BuildAvi(layout);
  bytes.resize(FindFourCC(bytes, "movi") + 100);
  EXPECT_EQ(Lines(bytes), "Resolution: 320x240 Number of streams: 1\r\nRate:25 Length:500");
  bytes.resize(FindFourCC(bytes, "strf"));
  EXPECT_EQ(Lines(bytes), "Unknown format");
}

}  // namespace
}  // namespace tamso
