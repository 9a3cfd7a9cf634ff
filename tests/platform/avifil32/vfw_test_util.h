#pragma once
// Opens AVI bytes through the file calls the way the report does, for the tests.

#include <span>
#include <string>

#include "platform/avifil32/vfw.h"
#include "tests/support/avi_writer.h"

namespace tamso::test {

// What the report's sequence of calls sees for one file.
struct Report {
  HRESULT open = AVIERR_ERROR;
  HRESULT stream = AVIERR_ERROR;
  LONG start = -1;
  LONG length = -1;
  HRESULT info = AVIERR_ERROR;
  AVIFILEINFO record{};
};

// Opens `path`, takes its first video stream, reads start, length and the record, and
// releases everything, stopping at the first failure as the report does.
inline Report RunReport(const std::string& path) {
  Report r;
  PAVIFILE file = 0;
  PAVISTREAM stream = 0;
  r.open = AVIFileOpen(&file, path.c_str(), OF_SHARE_DENY_WRITE, nullptr);
  if (r.open == AVIERR_OK) r.stream = AVIFileGetStream(file, &stream, streamtypeVIDEO, 0);
  if (r.stream == AVIERR_OK) {
    r.start = AVIStreamStart(stream);
    r.length = AVIStreamLength(stream);
    r.info = AVIFileInfo(file, &r.record, sizeof r.record);
  }
  if (stream) AVIStreamRelease(stream);
  if (file) AVIFileRelease(file);
  return r;
}

// The same for bytes written to a file of a fresh temporary directory.
inline Report RunReport(std::span<const std::uint8_t> bytes) {
  TempDir dir;
  return RunReport(dir.write("test.avi", bytes));
}

// Just the open call's result for bytes.
inline HRESULT OpenResult(std::span<const std::uint8_t> bytes) { return RunReport(bytes).open; }

}  // namespace tamso::test
