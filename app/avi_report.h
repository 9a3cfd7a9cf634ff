#pragma once
// The AVI report: what the Browse action shows for a chosen file. It asks the Video for
// Windows calls for the file's first video stream and its information record, writes the
// two report lines, and adds the codec lines read from the start of the file.
//
// The window and the command-line tool both run it; the things it shows reach it through
// ReportView, so it runs without a display.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/mAVIDecs.h"

namespace tamso {

// The texts of the report, CR LF between lines.
inline constexpr const char* kCrLf = "\r\n";
inline constexpr const char* kPleaseWait = "Please wait...";
inline constexpr const char* kUnknownFormat = "Unknown format";
inline constexpr const char* kErrorWithFile = "Error with the file:";

// Where the report goes: the window's labels and message box, or the tool's output.
struct ReportView {
  // Lets pending window events run once; nothing to do for a tool.
  std::function<void()> processPendingEvents;
  std::function<void(const std::string&)> setTitle;
  std::function<void(const std::string&)> setResults;
  // Shows "Error with the file:" CR LF path; returns when the user closed it.
  std::function<void(const std::string&)> showErrorBox;
  // The description of a codec code from the codec list (empty when none).
  std::function<std::string(const std::string&)> codecInfo;
};

// The report's CR LF line breaks as this platform writes them, for text that leaves the
// program (a terminal, the clipboard).
std::string WithPlatformLineEnds(const std::string& text);

// The facts the report's first two lines show, read through the Video for Windows calls.
struct AviFacts {
  std::int32_t streams = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t scale = 0;
  std::int32_t rate = 0;
  std::int32_t length = 0;
};

// The outcome of asking the Video for Windows calls about a file.
struct AviQuery {
  std::optional<AviFacts> facts;  // set on success
  std::int32_t lastResult = 0;    // the last status code; non-zero means a message box
};

// The facts of a file information record, its fields read as signed 32-bit values.
AviFacts FactsOf(const AVIFILEINFO& info);

// Opens the file and its first video stream, checks the stream's start and length, reads
// the information record, and releases all it obtained, in that order.
AviQuery QueryAviFile(const std::string& path);

// The rate text: rate / scale rounded to the nearest integer, halves to even. When the
// scale is 0 the rate cannot be computed and the text is "unknown"; a quotient beyond the
// 16-bit range is written in full rather than cut to 16 bits.
std::string RateText(std::int32_t rate, std::int32_t scale);

// The report's first two lines.
std::string ReportLines(const AviFacts& facts);

// The codec step's lines for the file at `path` (empty when it gets none).
std::string CodecLines(const std::string& path,
                       const std::function<std::string(const std::string&)>& codecInfo);

// The Browse action from the moment a file was chosen: shows the path, the report or the
// error box and "Unknown format". Returns true when the report was shown.
bool ReportChosenFile(const std::string& path, const ReportView& view);

// The report of a file as text, for a caller without labels (the command-line tool, a
// dialog's preview pane): the final results text and the error box's text, if any.
struct CollectedReport {
  bool shown = false;
  std::string results;
  std::string errorBox;
};
CollectedReport CollectReport(const std::string& path,
                              const std::function<std::string(const std::string&)>& codecInfo);

}  // namespace tamso
