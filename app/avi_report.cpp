#include "app/avi_report.h"

#include <cmath>
#include <cstring>

#include "app/codec_code.h"
#include "app/mAVIDecs.h"

namespace tamso {

namespace {

// Releases what a query obtained, stream first, on every way out.
class AviHandles {
 public:
  AviHandles() = default;
  AviHandles(const AviHandles&) = delete;
  AviHandles& operator=(const AviHandles&) = delete;
  ~AviHandles() { release(); }

  void release() {
    if (stream != 0) AVIStreamRelease(stream);
    if (file != 0) AVIFileRelease(file);
    stream = 0;
    file = 0;
  }

  PAVIFILE file = 0;
  PAVISTREAM stream = 0;
};

}  // namespace

AviQuery QueryAviFile(const std::string& path) {
  AviQuery query;
  AviHandles handles;

  query.lastResult = AVIFileOpen(&handles.file, path.c_str(), OF_SHARE_DENY_WRITE, nullptr);
  if (query.lastResult != 0) return query;

  query.lastResult = AVIFileGetStream(handles.file, &handles.stream, streamtypeVIDEO, 0);
  if (query.lastResult != 0) return query;

  if (AVIStreamStart(handles.stream) == -1) return query;
  if (AVIStreamLength(handles.stream) == -1) return query;

  AVIFILEINFO info;
  std::memset(&info, 0, sizeof info);
  query.lastResult = AVIFileInfo(handles.file, &info, sizeof info);
  if (query.lastResult != 0) return query;

  handles.release();
  query.facts = FactsOf(info);
  return query;
}

AviFacts FactsOf(const AVIFILEINFO& info) {
  return AviFacts{static_cast<std::int32_t>(info.dwStreams), static_cast<std::int32_t>(info.dwWidth),
                  static_cast<std::int32_t>(info.dwHeight),  static_cast<std::int32_t>(info.dwScale),
                  static_cast<std::int32_t>(info.dwRate),    static_cast<std::int32_t>(info.dwLength)};
}

std::string CodecLines(const std::string& path,
                       const std::function<std::string(const std::string&)>& codecInfo) {
  return CodecStepLines(ReadCodecCode(path), codecInfo);
}

std::string RateText(std::int32_t rate, std::int32_t scale) {
  if (scale == 0) return "unknown";
  // The default rounding mode rounds halves to the even neighbour.
  const double rounded = std::nearbyint(static_cast<double>(rate) / static_cast<double>(scale));
  return std::to_string(static_cast<long long>(rounded));
}

std::string ReportLines(const AviFacts& facts) {
  return "Resolution: " + std::to_string(facts.width) + "x" + std::to_string(facts.height) +
         " Number of streams: " + std::to_string(facts.streams) + kCrLf +
         "Rate:" + RateText(facts.rate, facts.scale) + " Length:" + std::to_string(facts.length);
}

std::string WithPlatformLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

bool ReportChosenFile(const std::string& path, const ReportView& view) {
  view.processPendingEvents();
  view.setTitle(path);

  const AviQuery query = QueryAviFile(path);
  if (!query.facts) {
    if (query.lastResult != 0) view.showErrorBox(std::string(kErrorWithFile) + kCrLf + path);
    view.setResults(kUnknownFormat);
    return false;
  }

  std::string results = ReportLines(*query.facts);
  view.setResults(results);
  const std::string codec = CodecLines(path, view.codecInfo);
  if (!codec.empty()) view.setResults(results + codec);
  return true;
}

CollectedReport CollectReport(const std::string& path,
                              const std::function<std::string(const std::string&)>& codecInfo) {
  CollectedReport report;
  ReportView view;
  view.processPendingEvents = [] {};
  view.setTitle = [](const std::string&) {};
  view.setResults = [&report](const std::string& text) { report.results = text; };
  view.showErrorBox = [&report](const std::string& text) { report.errorBox = text; };
  view.codecInfo = codecInfo;
  report.shown = ReportChosenFile(path, view);
  return report;
}

}  // namespace tamso
