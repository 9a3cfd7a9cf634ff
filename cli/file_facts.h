#pragma once
// What the tool learns about one file: the report the window would show, the facts of
// its headers, and, when it cannot be reported, why.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/avi_report.h"
#include "platform/avifil32/avi_headers.h"

namespace tamso {

using CodecDescriber = std::function<std::string(const std::string&)>;

struct FileFacts {
  std::string path;
  std::optional<std::uint64_t> size;           // when the file could be opened
  CollectedReport report;                      // the window's report
  std::optional<avifile::AviDescription> avi;  // when the headers could be read
  std::string reason;                          // empty when the report was shown
};

// Reads the file's headers and its report. Never throws for a fault of the file.
FileFacts InspectFile(const std::string& path, const CodecDescriber& describe);

// Why `path` cannot be opened as a regular file for reading: the system's error text
// ("No such file or directory", "Is a directory"), or "not a regular file".
std::string OpenFailureReason(const std::string& path);

}  // namespace tamso
