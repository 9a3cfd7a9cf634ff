#pragma once
// Writes small Windows PE files (a DLL with one resource section) for the tests: the
// resource tree of type, name and language directories, and the data.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tamso::testing {

// A resource type or name: a name, or a number. Names sort first, as in the file.
using PeKey = std::variant<std::u16string, int>;

struct PeResource {
  PeKey type;
  PeKey name;
  std::vector<std::uint8_t> data;
};

// A PE file holding `resources` in language 0x409; 64-bit headers when `wide`.
std::vector<std::uint8_t> WritePeFile(const std::vector<PeResource>& resources, bool wide = false);

}  // namespace tamso::testing
