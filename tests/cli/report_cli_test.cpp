#include "cli/report_cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/avi_writer.h"

namespace tamso {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunReportTool(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(ReportTool, HelpAndVersionPrintAndSucceed) {
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: tamso-avi-report"), std::string::npos);
  const ToolRun version = RunTool({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tamso-avi-report 1.00\n");
}

TEST(ReportTool, UsageErrorsExitWithTwo) {
  EXPECT_EQ(RunTool({}).status, 2);
  const ToolRun unknown = RunTool({"--frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown option --frobnicate"), std::string::npos);
  EXPECT_TRUE(unknown.out.empty());
}

TEST(ReportTool, MissingFileSaysUnknownFormatAndShowsTheErrorBoxTextOnStderr) {
  const std::string missing = (fs::temp_directory_path() / "tamso-no-such-file.avi").string();
  const ToolRun run = RunTool({missing});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Unknown format\n");
  EXPECT_EQ(run.err, "Error with the file:\n" + missing + "\n");
}

TEST(ReportTool, SeveralFilesGetAHeaderEachAndAnyFailureFailsTheRun) {
  const fs::path text = fs::temp_directory_path() / "tamso-report-cli-text.avi";
  std::ofstream(text) << "not an AVI file at all";
  const ToolRun run = RunTool({text.string(), "--", "-odd-name.avi"});
  fs::remove(text);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "==> " + text.string() + " <==\nUnknown format\n\n==> -odd-name.avi <==\nUnknown format\n");
}

TEST(ReportTool, AnAviPrintsTheReportWithThePlatformsLineEnds) {
  test::TempDir dir;
  test::AviLayout layout;
  layout.streams[0].handler = "zzzz";  // a code no codec list knows: an empty description
  layout.framesPerForm = {50};
  layout.streams[0].chunkBytes = 200;
  const std::string path = dir.write("clip.avi", test::BuildAvi(layout));
  const ToolRun run = RunTool({path});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "Resolution: 320x240 Number of streams: 1\nRate:25 Length:50\nVideo codec used: zzzz\nInfos: \n");
  EXPECT_TRUE(run.err.empty());
}

TEST(ReportTool, LineEndsBecomeThePlatforms) {
  EXPECT_EQ(WithPlatformLineEnds("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(WithPlatformLineEnds("lone\rcarriage\n"), "lone\rcarriage\n");
}

}  // namespace
}  // namespace tamso
