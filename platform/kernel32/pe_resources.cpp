// Reading a PE file's resource tree. Layout (all little-endian):
//   "MZ" at 0; at 0x3C the offset of "PE\0\0", followed by the 20-byte COFF header
//   (section count at +2, optional header size at +16) and the optional header (magic
//   0x10B for 32-bit, 0x20B for 64-bit; data directories from +96 or +112, entry 2 the
//   resources), then the section table, 40 bytes a section.
//   A resource directory is 16 bytes (named entry count at +12, numbered at +14) and 8
//   bytes an entry: a name (high bit: offset of a length-prefixed UTF-16 string; else
//   the number) and a target (high bit: offset of a subdirectory; else of a data entry:
//   the data's virtual address and size). Offsets count from the tree's root.

#include "platform/kernel32/pe_resources.h"

#include <algorithm>

#include "platform/runtime/byte_reader.h"

namespace tamso {

namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint16_t kResourceDirectory = 2;

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += UpperAscii(static_cast<char>(code));
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// A name stored in the file: a 16-bit length and that many UTF-16 units; its ASCII
// letters upper-cased, a lone surrogate kept as the replacement character.
std::optional<std::string> ReadName(std::span<const std::uint8_t> tree, std::uint32_t offset) {
  ByteReader r(tree);
  r.seek(offset);
  const std::uint16_t length = r.u16();
  ByteReader units = r.sub(std::size_t{length} * 2);
  if (!r.ok()) return std::nullopt;
  std::string name;
  while (!units.atEnd()) {
    std::uint32_t code = units.u16();
    if (code >= 0xD800 && code < 0xDC00 && units.remaining() >= 2) {
      ByteReader peek = units;
      const std::uint16_t low = peek.u16();
      if (low >= 0xDC00 && low < 0xE000) {
        units = peek;
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      }
    }
    if (code >= 0xD800 && code < 0xE000) code = 0xFFFD;
    AppendUtf8(name, code);
  }
  return name;
}

}  // namespace

std::optional<ResourceName> ParseResourceName(std::string_view text) {
  if (!text.empty() && text.front() == '#') {
    const std::string_view digits = text.substr(1);
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) value = value * 10 + static_cast<std::uint32_t>(c - '0');
    if (value > 0xFFFF) return std::nullopt;
    return ResourceName(static_cast<std::uint16_t>(value));
  }
  std::string name(text);
  std::transform(name.begin(), name.end(), name.begin(), UpperAscii);
  return ResourceName(std::move(name));
}

std::optional<PeResources> PeResources::Read(std::span<const std::uint8_t> file) {
  ByteReader r(file);
  if (r.u16() != 0x5A4D) return std::nullopt;  // "MZ"
  r.seek(0x3C);
  const std::uint32_t peOffset = r.u32();
  r.seek(peOffset);
  if (r.u32() != 0x00004550) return std::nullopt;  // "PE\0\0"
  r.u16();                                         // machine
  const std::uint16_t sectionCount = r.u16();
  r.skip(12);
  const std::uint16_t optionalSize = r.u16();
  r.u16();  // characteristics
  if (!r.ok()) return std::nullopt;

  ByteReader optional = r.sub(optionalSize);
  const std::uint16_t magic = optional.u16();
  if (magic != 0x10B && magic != 0x20B) return std::nullopt;
  const std::size_t directories = magic == 0x10B ? 96 : 112;
  optional.seek(directories - 4);
  const std::uint32_t directoryCount = optional.u32();
  std::uint32_t resourceRva = 0;
  if (directoryCount > kResourceDirectory) {
    optional.seek(directories + 8 * kResourceDirectory);
    resourceRva = optional.u32();
  }
  if (!optional.ok() || !r.ok()) return std::nullopt;

  PeResources resources;
  resources.file_ = file;
  for (std::uint16_t i = 0; i < sectionCount; ++i) {
    r.skip(8);  // name
    Section s{};
    s.virtualSize = r.u32();
    s.virtualAddress = r.u32();
    s.rawSize = r.u32();
    s.rawOffset = r.u32();
    r.skip(16);
    if (!r.ok()) return std::nullopt;
    resources.sections_.push_back(s);
  }
  if (resourceRva == 0) return resources;
  const std::optional<std::size_t> root = resources.offsetOf(resourceRva, 0);
  if (!root) return std::nullopt;
  // The tree runs to the end of its section's raw data.
  for (const Section& s : resources.sections_) {
    const std::uint64_t start = s.rawOffset, end = std::min<std::uint64_t>(start + s.rawSize, file.size());
    if (*root >= start && *root <= end) {
      resources.tree_ = file.subspan(*root, static_cast<std::size_t>(end - *root));
      break;
    }
  }
  return resources;
}

std::optional<std::size_t> PeResources::offsetOf(std::uint32_t rva, std::uint32_t size) const {
  for (const Section& s : sections_) {
    const std::uint64_t extent = std::max(s.virtualSize, s.rawSize);
    if (rva < s.virtualAddress || rva >= std::uint64_t{s.virtualAddress} + extent) continue;
    const std::uint64_t delta = rva - s.virtualAddress;
    if (delta + size > s.rawSize || std::uint64_t{s.rawOffset} + delta + size > file_.size())
      return std::nullopt;
    return static_cast<std::size_t>(s.rawOffset + delta);
  }
  return std::nullopt;
}

std::optional<std::uint32_t> PeResources::entry(std::uint32_t directory, const ResourceName* name) const {
  ByteReader r(tree_);
  r.seek(directory);
  r.skip(12);
  const std::uint32_t count = std::uint32_t{r.u16()} + r.u16();
  for (std::uint32_t i = 0; i < count && r.ok(); ++i) {
    const std::uint32_t key = r.u32();
    const std::uint32_t target = r.u32();
    if (!r.ok()) break;
    if (!name) return target;
    if (key & kHighBit) {
      const auto* wanted = std::get_if<std::string>(name);
      if (wanted && ReadName(tree_, key & ~kHighBit) == *wanted) return target;
    } else if (const auto* wanted = std::get_if<std::uint16_t>(name); wanted && key == *wanted) {
      return target;
    }
  }
  return std::nullopt;
}

std::optional<std::span<const std::uint8_t>> PeResources::find(const ResourceName& type,
                                                               const ResourceName& name) const {
  const std::optional<std::uint32_t> byType = entry(0, &type);
  if (!byType || !(*byType & kHighBit)) return std::nullopt;
  const std::optional<std::uint32_t> byName = entry(*byType & ~kHighBit, &name);
  if (!byName || !(*byName & kHighBit)) return std::nullopt;
  const std::optional<std::uint32_t> language = entry(*byName & ~kHighBit, nullptr);
  if (!language || (*language & kHighBit)) return std::nullopt;
  ByteReader r(tree_);
  r.seek(*language);
  const std::uint32_t rva = r.u32();
  const std::uint32_t size = r.u32();
  if (!r.ok()) return std::nullopt;
  const std::optional<std::size_t> offset = offsetOf(rva, size);
  if (!offset) return std::nullopt;
  return file_.subspan(*offset, size);
}

}  // namespace tamso
