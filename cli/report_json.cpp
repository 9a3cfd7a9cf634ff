#include "cli/report_json.h"

#include <nlohmann/json.hpp>

#include "cli/wave_format.h"
#include "platform/avifil32/avi_facts.h"
#include "platform/runtime/ansi_text.h"

namespace tamso {
namespace {

using Json = nlohmann::ordered_json;
using avifile::AviDescription;
using avifile::StreamDescription;

std::string TypeName(FOURCC type) {
  switch (type) {
    case streamtypeVIDEO:
      return "video";
    case streamtypeAUDIO:
      return "audio";
    case streamtypeTEXT:
      return "text";
    case streamtypeMIDI:
      return "midi";
    default:
      return EscapeFourCC(type);
  }
}

// The codec code as the report shows it (its bytes read as Windows-1252).
std::string CodeText(FOURCC code) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((code >> (8 * i)) & 0xFF);
  return Cp1252ToUtf8(bytes);
}

// The report's lines: its text split at CR LF.
Json ReportLines(const std::string& text) {
  Json lines = Json::array();
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

void AddVideo(Json& out, const StreamDescription& stream, const CodecDescriber& describe) {
  const avifile::StreamHeader& h = stream.header;
  if (stream.coding) out["compression"] = EscapeFourCC(stream.coding->compression);
  const avifile::FrameSize size = avifile::FrameSizeOf(stream);
  out["width"] = size.width;
  out["height"] = size.height;
  if (stream.coding) out["bit_count"] = stream.coding->bitCount;
  if (h.scale != 0) out["fps"] = static_cast<double>(h.rate) / h.scale;
  std::string description = h.handler != 0 ? describe(CodeText(h.handler)) : std::string();
  if (description.empty() && stream.coding && stream.coding->compression != 0) {
    description = describe(CodeText(stream.coding->compression));
  }
  out["description"] = description;
}

void AddAudio(Json& out, const avifile::WaveFormat& wave) {
  out["format_tag"] = wave.formatTag;
  const std::uint16_t named = wave.subFormatTag.value_or(wave.formatTag);
  if (const std::string_view name = WaveFormatName(named); !name.empty()) out["format"] = name;
  out["channels"] = wave.channels;
  out["sample_rate"] = wave.samplesPerSec;
  if (wave.bitsPerSample) out["bits_per_sample"] = *wave.bitsPerSample;
  out["bytes_per_second"] = wave.avgBytesPerSec;
  out["block_align"] = wave.blockAlign;
}

Json StreamJson(const AviDescription& avi, std::size_t index, const CodecDescriber& describe) {
  const StreamDescription& stream = avi.streams[index];
  const avifile::StreamHeader& h = stream.header;
  Json out;
  out["index"] = index;
  out["type"] = TypeName(h.type);
  out["handler"] = EscapeFourCC(h.handler);
  if (!stream.name.empty()) out["name"] = stream.name;
  const std::uint32_t frames = avifile::StreamLengthOf(avi, index);
  out["frames"] = frames;
  if (h.rate != 0) out["duration"] = static_cast<double>(frames) * h.scale / h.rate;
  out["rate"] = h.rate;
  out["scale"] = h.scale;
  out["start"] = h.start;
  if (h.type == streamtypeVIDEO) AddVideo(out, stream, describe);
  if (h.type == streamtypeAUDIO && stream.wave) AddAudio(out, *stream.wave);
  return out;
}

std::string IndexKind(const AviDescription& avi) {
  const bool super = std::any_of(avi.streams.begin(), avi.streams.end(),
                                 [](const StreamDescription& s) { return s.superIndexDuration.has_value(); });
  if (avi.hasLegacyIndex && super) return "both";
  if (avi.hasLegacyIndex) return "idx1";
  return super ? "indx" : "none";
}

}  // namespace

std::string EscapeFourCC(std::uint32_t code) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const auto byte = static_cast<unsigned char>((code >> (8 * i)) & 0xFF);
    if (byte == '\\') {
      text += "\\\\";
    } else if (byte >= 0x20 && byte < 0x7F) {
      text += static_cast<char>(byte);
    } else {
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    }
  }
  return text;
}

std::string JsonLine(const FileFacts& facts, const CodecDescriber& describe) {
  Json out;
  out["file"] = facts.path;
  out["ok"] = facts.reason.empty();
  out["report"] = ReportLines(facts.report.results);
  if (facts.size) out["size"] = *facts.size;
  if (!facts.reason.empty()) out["error"] = facts.reason;
  if (facts.avi) {
    const AviDescription& avi = *facts.avi;
    out["riff_forms"] = avi.riffForms;
    out["opendml"] = avifile::IsOpenDml(avi);
    out["index"] = IndexKind(avi);
    Json streams = Json::array();
    for (std::size_t i = 0; i < avi.streams.size(); ++i) streams.push_back(StreamJson(avi, i, describe));
    out["streams"] = std::move(streams);
  }
  // Paths and stream names that are not UTF-8 keep their valid characters; each bad
  // byte becomes U+FFFD, since JSON text is Unicode.
  return out.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace tamso
