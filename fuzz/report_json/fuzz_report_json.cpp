// Feeds arbitrary bytes to the AVI header reader as a whole file and writes the report
// tool's JSON line from what it accepted: the line must be one valid JSON object whose
// codes read back to the bytes of the file, and a refused file must carry a reason.
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "cli/report_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamso;
  avifile::ParseResult parsed = avifile::ParseAviHeaders({data, size});
  FileFacts facts;
  facts.path = "fuzz.avi";
  facts.size = size;
  facts.report.results = kUnknownFormat;
  if (parsed.status == avifile::ParseStatus::kOk) {
    facts.avi = std::move(parsed.description);
  } else {
    if (parsed.reason.empty()) __builtin_trap();
    facts.reason = parsed.reason;
  }
  const std::string line = JsonLine(facts, [](const std::string& code) { return code; });
  if (line.find('\n') != std::string::npos) __builtin_trap();
  const nlohmann::json json = nlohmann::json::parse(line);  // throws, and so fails, on bad JSON
  if (facts.avi && json.at("streams").size() != facts.avi->streams.size()) __builtin_trap();
  if (facts.avi) {
    for (std::size_t i = 0; i < facts.avi->streams.size(); ++i) {
      const std::uint32_t handler = facts.avi->streams[i].header.handler;
      if (json["streams"][i]["handler"] != EscapeFourCC(handler)) __builtin_trap();
    }
  }
  return 0;
}
