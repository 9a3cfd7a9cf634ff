#include "cli/report_cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tamso {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun Run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunReportTool(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(ReportTool, HelpAndVersionPrintAndSucceed) {
  const ToolRun help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: tamso-avi-report"), std::string::npos);
  const ToolRun version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tamso-avi-report 1.00\n");
}

TEST(ReportTool, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Run({}).status, 2);
  const ToolRun unknown = Run({"--frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown option --frobnicate"), std::string::npos);
  EXPECT_TRUE(unknown.out.empty());
}

TEST(ReportTool, MissingFileSaysUnknownFormatAndShowsTheErrorBoxTextOnStderr) {
  const std::string missing = (fs::temp_directory_path() / "tamso-no-such-file.avi").string();
  const ToolRun run = Run({missing});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Unknown format\n");
  EXPECT_EQ(run.err, "Error with the file:\n" + missing + "\n");
}

TEST(ReportTool, SeveralFilesGetAHeaderEachAndAnyFailureFailsTheRun) {
  const fs::path text = fs::temp_directory_path() / "tamso-report-cli-text.avi";
  std::ofstream(text) << "not an AVI file at all";
  const ToolRun run = Run({text.string(), "--", "-odd-name.avi"});
  fs::remove(text);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "==> " + text.string() + " <==\nUnknown format\n\n==> -odd-name.avi <==\nUnknown format\n");
}

TEST(ReportTool, LineEndsBecomeThePlatforms) {
  EXPECT_EQ(WithPlatformLineEnds("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(WithPlatformLineEnds("lone\rcarriage\n"), "lone\rcarriage\n");
}

}  // namespace
}  // namespace tamso
