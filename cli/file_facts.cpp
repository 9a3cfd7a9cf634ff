#include "cli/file_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/avifil32/avi_facts.h"
#include "platform/avifil32/byte_source.h"

namespace tamso {

std::string OpenFailureReason(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::strerror(errno);
  if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
  if (!S_ISREG(info.st_mode)) return "not a regular file";
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  return "the file could not be opened";
}

// The headers are read once. The report is what the window's calls give for them: a
// file the reader accepts opens, and its first video stream, when there is one, has a
// start, a length and an information record.
FileFacts InspectFile(const std::string& path, const CodecDescriber& describe) {
  FileFacts facts;
  facts.path = path;
  if (const auto source = avifile::FileByteSource::Open(path.c_str())) {
    facts.size = source->size();
    avifile::ParseResult parsed = avifile::ParseAviHeaders(*source);
    if (parsed.status == avifile::ParseStatus::kOk) {
      facts.avi = std::move(parsed.description);
      if (!avifile::FindStream(*facts.avi, streamtypeVIDEO, 0)) facts.reason = "no video stream";
    } else {
      facts.reason = std::move(parsed.reason);
    }
  } else {
    facts.reason = OpenFailureReason(path);
  }
  if (!facts.reason.empty()) {
    facts.report.results = kUnknownFormat;
    return facts;
  }
  facts.report.shown = true;
  facts.report.results = ReportLines(FactsOf(avifile::FileInfoOf(*facts.avi))) + CodecLines(path, describe);
  return facts;
}

}  // namespace tamso
