#pragma once
// tamso-avi-report: prints, for each AVI file named or found, the report the window
// would show, or one JSON object a file (--json); -r walks folders, -j N reads with N
// workers.

#include <iosfwd>
#include <string>
#include <vector>

namespace tamso {

// Runs the tool on its arguments (without the program name); returns the exit status:
// 0 when every file was reported, 1 when any was not (or a folder could not be read),
// 2 for a usage error.
int RunReportTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tamso
