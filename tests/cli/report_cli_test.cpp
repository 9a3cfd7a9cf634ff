#include "cli/report_cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso {
namespace {

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

TEST(ReportTool, HelpVersionAndUsageErrors) {
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: tamso-avi-report"), std::string::npos);
  EXPECT_EQ(RunTool({"--version"}).out, "tamso-avi-report 1.00\n");
  EXPECT_EQ(RunTool({}).status, 2);
  const ToolRun unknown = RunTool({"--frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown option --frobnicate"), std::string::npos);
  EXPECT_EQ(unknown.out, "");
}

TEST(ReportTool, PrintsEachFilesReportWithThePlatformsLineEnds) {
  test::TempDir dir;
  test::AviLayout layout;
  layout.streams[0].handler = "zzzz";  // a code no codec list knows: an empty description
  layout.streams[0].chunkBytes = 200;
  layout.framesPerForm = {50};
  const std::string avi = dir.write("clip.avi", test::BuildAvi(layout));
  const std::string report =
      "Resolution: 320x240 Number of streams: 1\nRate:25 Length:50\nVideo codec used: zzzz\nInfos: \n";
  ToolRun run = RunTool({avi});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, report);
  EXPECT_EQ(run.err, "");

  // A file that fails prints "Unknown format" and the error box's text, and fails the run.
  const std::string text = dir.write("text.avi", AsBytes("not an AVI file at all"));
  run = RunTool({text, avi, "--", "-odd.avi"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "==> " + text + " <==\nUnknown format\n\n==> " + avi + " <==\n" + report +
                         "\n==> -odd.avi <==\nUnknown format\n");
  EXPECT_EQ(run.err, "tamso-avi-report: " + text + ": not a RIFF AVI file\ntamso-avi-report: -odd.avi: No such file or directory\n");
}

}  // namespace
}  // namespace tamso
