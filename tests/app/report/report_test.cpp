#include "app/avi_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace tamso {
namespace {

namespace fs = std::filesystem;

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
  EXPECT_EQ(rec.events, (std::vector<std::string>{"events", "title:" + missing,
                                                  "box:Error with the file:\r\n" + missing,
                                                  "results:Unknown format"}));
}

}  // namespace
}  // namespace tamso
