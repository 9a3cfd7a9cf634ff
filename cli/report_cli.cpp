#include "cli/report_cli.h"

#include <ostream>

#include "app/avi_report.h"
#include "app/codec_list.h"
#include "platform/runtime/app_paths.h"

namespace tamso {

namespace {

constexpr const char* kUsage =
    "Usage: tamso-avi-report [--help] [--version] FILE...\n"
    "Prints the resolution, stream count, frame rate, length in frames and video codec of\n"
    "each AVI FILE, as Tamso AVI shows them. A file that cannot be read as AVI prints\n"
    "\"Unknown format\" and makes the exit status 1.\n";

// Reports one file; returns true when the report was shown.
bool ReportOne(const std::string& path, std::ostream& out, std::ostream& err) {
  const CollectedReport report =
      CollectReport(path, [](const std::string& code) { return GetCodecInfo(code); });
  if (!report.errorBox.empty()) err << WithPlatformLineEnds(report.errorBox) << '\n';
  out << WithPlatformLineEnds(report.results) << '\n';
  return report.shown;
}

}  // namespace

int RunReportTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
      out << kUsage;
      return 0;
    } else if (!optionsEnded && arg == "--version") {
      out << "tamso-avi-report " << kAppVersion << '\n';
      return 0;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      err << "tamso-avi-report: unknown option " << arg << '\n' << kUsage;
      return 2;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    err << kUsage;
    return 2;
  }

  int status = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files.size() > 1) out << (i > 0 ? "\n" : "") << "==> " << files[i] << " <==\n";
    if (!ReportOne(files[i], out, err)) status = 1;
  }
  return status;
}

}  // namespace tamso
