#include "app/avi_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/support/avi_writer.h"

namespace tamso {
namespace {

namespace fs = std::filesystem;
using namespace tamso::test;

TEST(RateText, RoundsHalvesToEven) {
  EXPECT_EQ(RateText(25, 1), "25");
  EXPECT_EQ(RateText(30000, 1001), "30");
  EXPECT_EQ(RateText(25, 2), "12");
  EXPECT_EQ(RateText(27, 2), "14");
  EXPECT_EQ(RateText(-5, 2), "-2");
  EXPECT_EQ(RateText(-7, 2), "-4");
  EXPECT_EQ(RateText(1, 3), "0");
}

TEST(RateText, RatesThatCannotBeHeldInSixteenBitsStayHonest) {
  EXPECT_EQ(RateText(25, 0), "unknown");
  EXPECT_EQ(RateText(0, 0), "unknown");
  EXPECT_EQ(RateText(32767, 1), "32767");
  EXPECT_EQ(RateText(100000, 1), "100000");
  EXPECT_EQ(RateText(-2147483647 - 1, 1), "-2147483648");
}

TEST(ReportLines, TwoLinesWithoutSpaceAfterRateOrLength) {
  const AviFacts facts{2, 640, 480, 1001, 30000, 1234};
  EXPECT_EQ(ReportLines(facts), "Resolution: 640x480 Number of streams: 2\r\nRate:30 Length:1234");
  const AviFacts negative{1, -1, 0, 0, 25, -1};
  EXPECT_EQ(ReportLines(negative), "Resolution: -1x0 Number of streams: 1\r\nRate:unknown Length:-1");
}

// Records what the action shows, in order.
struct RecordingView {
  std::vector<std::string> events;
  ReportView view() {
    ReportView v;
    v.processPendingEvents = [this] { events.push_back("events"); };
    v.setTitle = [this](const std::string& t) { events.push_back("title:" + t); };
    v.setResults = [this](const std::string& t) { events.push_back("results:" + t); };
    v.showErrorBox = [this](const std::string& t) { events.push_back("box:" + t); };
    v.codecInfo = [this](const std::string& c) {
      events.push_back("lookup:" + c);
      return std::string("described");
    };
    return v;
  }
};

TEST(ReportChosenFile, AFileThatCannotBeOpenedShowsTheBoxThenUnknownFormat) {
  const std::string missing = (fs::temp_directory_path() / "tamso-report-missing.avi").string();
  RecordingView rec;
  EXPECT_FALSE(ReportChosenFile(missing, rec.view()));
  EXPECT_EQ(rec.events,
            (std::vector<std::string>{"events", "title:" + missing, "box:Error with the file:\r\n" + missing,
                                      "results:Unknown format"}));
}

// A video stream of `frames` chunks of `chunkBytes` each, so the file's size can be chosen.
AviLayout VideoLayout(std::string handler, std::uint32_t frames, std::uint32_t chunkBytes) {
  AviLayout layout;
  layout.streams[0].handler = std::move(handler);
  layout.streams[0].scale = 1001;
  layout.streams[0].rate = 30000;
  layout.streams[0].chunkBytes = chunkBytes;
  layout.framesPerForm = {frames};
  return layout;
}

TEST(ReportChosenFile, AnAviShowsTheTwoLinesThenTheCodecLines) {
  TempDir dir;
  const std::string path = dir.write("clip.avi", BuildAvi(VideoLayout("XVID", 60, 100)));
  ASSERT_GT(fs::file_size(path), 5000u);
  RecordingView rec;
  EXPECT_TRUE(ReportChosenFile(path, rec.view()));
  const std::string lines = "Resolution: 320x240 Number of streams: 1\r\nRate:30 Length:60";
  EXPECT_EQ(rec.events, (std::vector<std::string>{
                            "events", "title:" + path, "results:" + lines, "lookup:XVID",
                            "results:" + lines + "\r\nVideo codec used: XVID\r\nInfos: described"}));
}

TEST(ReportChosenFile, ASmallAviGetsNoCodecLines) {
  TempDir dir;
  const std::string path = dir.write("tiny.avi", BuildAvi(VideoLayout("XVID", 2, 8)));
  ASSERT_LE(fs::file_size(path), 5000u);
  RecordingView rec;
  EXPECT_TRUE(ReportChosenFile(path, rec.view()));
  EXPECT_EQ(rec.events.back(), "results:Resolution: 320x240 Number of streams: 1\r\nRate:30 Length:2");
}

TEST(ReportChosenFile, AnAudioOnlyAviShowsTheBoxThenUnknownFormat) {
  TempDir dir;
  AviLayout layout;
  layout.streams = {PcmAudioStream()};
  const std::string path = dir.write("sound.avi", BuildAvi(layout));
  RecordingView rec;
  EXPECT_FALSE(ReportChosenFile(path, rec.view()));
  ASSERT_EQ(rec.events.size(), 4u);
  EXPECT_EQ(rec.events[2], "box:Error with the file:\r\n" + path);
  EXPECT_EQ(rec.events[3], "results:Unknown format");
}

TEST(QueryAviFile, ReadsTheFirstVideoStreamAfterAudioAndReleasesEverything) {
  TempDir dir;
  AviLayout layout = VideoLayout("MJPG", 10, 16);
  layout.streams.insert(layout.streams.begin(), PcmAudioStream());
  layout.streams[1].width = 640;
  layout.streams[1].height = 480;
  const std::string path = dir.write("two.avi", BuildAvi(layout));
  const AviQuery query = QueryAviFile(path);
  ASSERT_TRUE(query.facts);
  EXPECT_EQ(query.lastResult, 0);
  EXPECT_EQ(query.facts->streams, 2);
  EXPECT_EQ(query.facts->width, 640);
  EXPECT_EQ(query.facts->height, 480);
  EXPECT_EQ(RateText(query.facts->rate, query.facts->scale), "30");
  // Nothing holds the file: it can be removed and replaced at once.
  fs::remove(path);
  EXPECT_FALSE(QueryAviFile(path).facts);
}

}  // namespace
}  // namespace tamso
