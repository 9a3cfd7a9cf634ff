#include "platform/runtime/ansi_text.h"

#include <array>
#include <cstdint>

namespace tamso {

namespace {

// Code points of bytes 0x80 to 0x9F in Windows-1252; the undefined ones map to themselves.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Above every code point: a byte of a malformed sequence decodes to this plus its value.
constexpr char32_t kStrayByte = 0x110000;

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

struct Decoded {
  char32_t code;
  std::size_t bytes;
};

// The character at `at` of UTF-8 text. Overlong forms, surrogates and values past
// U+10FFFF are malformed: their first byte decodes alone, as a stray byte.
Decoded DecodeAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t code = 0, minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  }
  if (length == 0 || at + length > text.size()) return {kStrayByte + lead, 1};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {kStrayByte + lead, 1};
    code = (code << 6) | (byte(i) & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {kStrayByte + lead, 1};
  return {code, length};
}

char32_t Cp1252UpperCase(char32_t c) {
  if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
  switch (c) {
    case 0x0161:  // š
    case 0x0153:  // œ
    case 0x017E:  // ž
      return c - 1;
    case 0x00FF:  // ÿ
      return 0x0178;
    default:
      return c;
  }
}

}  // namespace

std::size_t AnsiCharCount(std::string_view text) {
  std::size_t units = 0;
  for (std::size_t at = 0; at < text.size();) {
    const Decoded d = DecodeAt(text, at);
    units += (d.code >= 0x10000 && d.code < kStrayByte) ? 2 : 1;
    at += d.bytes;
  }
  return units;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto b = static_cast<std::uint8_t>(c);
    AppendUtf8(out, (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : static_cast<char32_t>(b));
  }
  return out;
}

bool EqualIgnoringCp1252Case(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const Decoded x = DecodeAt(a, i), y = DecodeAt(b, j);
    if (Cp1252UpperCase(x.code) != Cp1252UpperCase(y.code)) return false;
    i += x.bytes, j += y.bytes;
  }
  return i == a.size() && j == b.size();
}

}  // namespace tamso
