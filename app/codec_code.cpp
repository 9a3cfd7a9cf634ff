#include "app/codec_code.h"

#include <algorithm>
#include <fstream>
#include <string_view>
#include <system_error>

#include "platform/runtime/ansi_text.h"
#include "platform/runtime/byte_reader.h"

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

CodecStepResult ReadCodecCode(const fs::path& file) noexcept {
  try {
    std::error_code ec;
    // file_size refuses anything but an ordinary file, so a pipe is never opened.
    const std::uintmax_t length = fs::file_size(file, ec);
    if (ec) return {CodecStatus::kReadError, {}};
    if (length <= kCodecMinFileBytes) return {CodecStatus::kTooShort, {}};

    std::ifstream in(file, std::ios::binary);
    if (!in) return {CodecStatus::kReadError, {}};
    std::string head(kCodecHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (in.bad()) return {CodecStatus::kReadError, {}};
    // A file cut short since it was measured is scanned as far as it goes.
    head.resize(static_cast<std::size_t>(in.gcount()));

    std::optional<std::string> code = FindCodecCode(AsBytes(head));
    if (!code) return {CodecStatus::kNoStreamHeader, {}};
    return {CodecStatus::kFound, std::move(*code)};
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
