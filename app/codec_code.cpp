#include "app/codec_code.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/avifil32/avi_facts.h"
#include "platform/avifil32/byte_source.h"
#include "platform/runtime/ansi_text.h"
#include "platform/runtime/byte_reader.h"
#include "platform/runtime/regular_file.h"

namespace tamso {

namespace fs = std::filesystem;

std::optional<std::string> FindCodecCode(std::span<const std::uint8_t> head) {
  const std::span<const std::uint8_t> tag = AsBytes("vids");
  const auto at = std::search(head.begin(), head.end(), tag.begin(), tag.end());
  if (at == head.end()) return std::nullopt;

  ByteReader reader(head);
  reader.seek(static_cast<std::size_t>(at - head.begin()) + tag.size());
  const std::span<const std::uint8_t> code = reader.bytes(std::min(kCodecCodeBytes, reader.remaining()));
  return std::string(code.begin(), code.end());
}

namespace {

// The handler code of the first video stream's header, as its four bytes.
std::optional<std::string> FirstVideoHandler(const avifile::ByteSource& file) {
  const avifile::ParseResult parsed = avifile::ParseAviHeaders(file);
  if (parsed.status != avifile::ParseStatus::kOk) return std::nullopt;
  const std::optional<std::size_t> video = avifile::FindStream(parsed.description, streamtypeVIDEO, 0);
  if (!video) return std::nullopt;
  std::array<std::uint8_t, kCodecCodeBytes> code{};
  StoreU32(code, 0, parsed.description.streams[*video].header.handler);
  return std::string(code.begin(), code.end());
}

}  // namespace

CodecStepResult CodecCodeOf(const avifile::ByteSource& file) {
  if (file.size() <= kCodecMinFileBytes) return {CodecStatus::kTooShort, {}};
  std::vector<std::uint8_t> head(kCodecHeadBytes);
  if (!file.readAt(0, head)) return {CodecStatus::kReadError, {}};

  std::optional<std::string> code = FindCodecCode(head);
  if (code && code->size() < kCodecCodeBytes) {
    // The code runs past the bytes searched: only its missing bytes are read.
    std::array<std::uint8_t, kCodecCodeBytes> rest{};
    const std::span<std::uint8_t> missing = std::span(rest).first(kCodecCodeBytes - code->size());
    if (!file.readAt(head.size(), missing)) return {CodecStatus::kReadError, {}};
    code->append(missing.begin(), missing.end());
  }
  if (!code) code = FirstVideoHandler(file);
  if (!code) return {CodecStatus::kNoStreamHeader, {}};
  return {CodecStatus::kFound, std::move(*code)};
}

CodecStepResult ReadCodecCode(const fs::path& file) noexcept {
  try {
    std::error_code error;
    std::optional<RegularFile> opened = RegularFile::Open(file, error);
    if (!opened) return {CodecStatus::kReadError, {}};
    return CodecCodeOf(avifile::FileByteSource(std::move(*opened)));
  } catch (...) {
    return {CodecStatus::kReadError, {}};
  }
}

std::string CodecStepLines(const CodecStepResult& step,
                           const std::function<std::string(const std::string&)>& describe) {
  if (step.status != CodecStatus::kFound) return {};
  const std::string code = Cp1252ToUtf8(step.code);
  return "\r\nVideo codec used: " + code + "\r\nInfos: " + describe(code);
}

}  // namespace tamso
