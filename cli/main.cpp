#include <iostream>
#include <string>
#include <vector>

#include "cli/report_cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = tamso::RunReportTool(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
