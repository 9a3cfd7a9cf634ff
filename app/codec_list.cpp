#include "app/codec_list.h"

#include <algorithm>
#include <optional>
#include <streambuf>

#include "app/modCommon.h"
#include "platform/runtime/ansi_text.h"
#include "platform/runtime/app_paths.h"
#include "platform/runtime/regular_file.h"

namespace tamso {

namespace {

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The byte length of the first `count` characters of `text` (all of it if shorter). A
// character is one byte and the continuation bytes after it, so stray bytes count too.
std::size_t CharacterPrefixBytes(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < count && at < text.size(); ++n) {
    ++at;
    while (at < text.size() && IsUtf8Continuation(text[at])) ++at;
  }
  return at;
}

// A key as far as it was kept: its first `kept` bytes and its full length.
struct KeyField {
  std::string kept;
  std::size_t length = 0;
};

bool KeyMatches(const KeyField& key, std::string_view code) {
  const std::size_t three = CharacterPrefixBytes(key.kept, 3);
  const std::size_t four = CharacterPrefixBytes(key.kept, 4);
  if (std::string_view(key.kept).substr(three, four - three) == "*") {
    const std::string_view keyPrefix = std::string_view(key.kept).substr(0, three);
    return EqualIgnoringCp1252Case(keyPrefix, code.substr(0, CharacterPrefixBytes(code, 3)));
  }
  return key.length == key.kept.size() && EqualIgnoringCp1252Case(key.kept, code);
}

// Reads the list one field at a time straight from the stream's buffer.
class ListReader {
 public:
  enum class Stop { kComma, kLineEnd, kEndOfList };

  explicit ListReader(std::istream& in) : buf_(in.rdbuf()) {}

  // Reads up to the next comma, line end or the end of the list, keeping at most `cap`
  // bytes in `out`. `length` receives the field's full length.
  Stop ReadField(std::string& out, std::size_t cap, std::size_t& length) {
    out.clear();
    length = 0;
    for (;;) {
      const int c = Next();
      if (c == kEnd) return Stop::kEndOfList;
      if (c == ',') return Stop::kComma;
      if (c == '\n') return Stop::kLineEnd;
      if (c == '\r') {
        if (buf_->sgetc() == '\n') buf_->sbumpc();
        return Stop::kLineEnd;
      }
      if (out.size() < cap) out.push_back(static_cast<char>(c));
      ++length;
    }
  }

  // Moves past the rest of the current line.
  void SkipLine() {
    std::string none;
    std::size_t length = 0;
    while (ReadField(none, 0, length) == Stop::kComma) {
    }
  }

 private:
  static constexpr int kEnd = std::char_traits<char>::eof();

  int Next() { return buf_ == nullptr ? kEnd : buf_->sbumpc(); }

  std::streambuf* buf_;
};

// The byte length of a UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t SequenceLength(char lead) {
  const auto b = static_cast<unsigned char>(lead);
  if (b >= 0xF0 && b <= 0xF7) return 4;
  if (b >= 0xE0) return b <= 0xEF ? 3 : 1;
  if (b >= 0xC0) return 2;
  return 1;
}

// Drops the incomplete character at the end of `text` when it was cut short, so a cut
// description never ends in half a character.
void DropSplitCharacter(std::string& text, std::size_t fullLength) {
  if (fullLength <= text.size() || text.empty()) return;
  std::size_t start = text.size() - 1;
  while (start > 0 && IsUtf8Continuation(text[start])) --start;
  if (text.size() - start < SequenceLength(text[start])) text.resize(start);
}

std::string Lookup(std::istream& list, std::string_view code) {
  ListReader reader(list);
  // Enough of a key to see its fourth character and whether it is longer than the code.
  const std::size_t keyCap = std::max<std::size_t>(code.size(), 16) + 1;
  KeyField key;
  for (;;) {
    const ListReader::Stop stop = reader.ReadField(key.kept, keyCap, key.length);
    // The end of the list, or an empty line (which has no fields at all).
    if (key.length == 0 && stop != ListReader::Stop::kComma) return {};
    if (KeyMatches(key, code)) {
      if (stop != ListReader::Stop::kComma) return {};  // a matching line without a description
      std::string description;
      std::size_t length = 0;
      reader.ReadField(description, kCodecMaxDescriptionBytes, length);
      DropSplitCharacter(description, length);
      return description;
    }
    if (stop == ListReader::Stop::kEndOfList) return {};
    if (stop == ListReader::Stop::kComma) reader.SkipLine();
  }
}

}  // namespace

std::string LookupCodecDescription(std::istream& list, std::string_view sCodec) noexcept {
  try {
    return Lookup(list, sCodec);
  } catch (...) {
    return {};
  }
}

std::string LookupCodecDescription(const std::filesystem::path& listFile, std::string_view sCodec) noexcept {
  try {
    if (!FileExists(listFile.string())) return {};
    std::error_code error;
    const std::optional<RegularFile> file = RegularFile::Open(listFile, error);
    if (!file) return {};
    RegularFileStreamBuf buffer(*file);
    std::istream list(&buffer);
    return LookupCodecDescription(list, sCodec);
  } catch (...) {
    return {};
  }
}

std::string GetCodecInfo(const std::string& sCodec) noexcept {
  try {
    return LookupCodecDescription(ApplicationFile("db.txt"), sCodec);
  } catch (...) {
    return {};
  }
}

}  // namespace tamso
