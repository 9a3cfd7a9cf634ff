#pragma once
// The resources of a Windows PE file (DLL or EXE, 32- or 64-bit), read from its bytes as
// data: nothing in the file runs. The resource tree has three levels, type, name and
// language; an entry is named either by a 16-bit number or by a UTF-16 string.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tamso {

// A resource type or name: a number, or a string compared without regard to the case of
// its ASCII letters (resource compilers store names in upper case).
using ResourceName = std::variant<std::uint16_t, std::string>;

// The platform's notation: a string "#" followed by decimal digits is that number (it
// must fit 16 bits, else nothing matches it); any other string is a name, kept in UTF-8
// and upper-cased.
std::optional<ResourceName> ParseResourceName(std::string_view text);

class PeResources {
 public:
  // The resource section of `file`, when `file` is a PE file; nothing when its headers
  // are malformed. A PE file without resources gives an empty tree. `file` must outlive
  // the result: lookups hand out views into it.
  static std::optional<PeResources> Read(std::span<const std::uint8_t> file);

  // The data of resource `name` of type `type` (the first language the file lists), or
  // nothing when there is none or its data lies outside the file.
  std::optional<std::span<const std::uint8_t>> find(const ResourceName& type, const ResourceName& name) const;

 private:
  struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
  };

  // The file offset of the relative virtual address `rva` with `size` bytes after it in
  // the same section's raw data; nothing when it lies elsewhere.
  std::optional<std::size_t> offsetOf(std::uint32_t rva, std::uint32_t size) const;

  // The entry named `name` in the directory at `directory` (offset in the resource
  // section): its second word, or nothing.
  std::optional<std::uint32_t> entry(std::uint32_t directory, const ResourceName* name) const;

  std::span<const std::uint8_t> file_;
  std::span<const std::uint8_t> tree_;  // the resource section, from the tree's root
  std::vector<Section> sections_;
};

}  // namespace tamso
