#pragma once
// Writes small Windows PE files (a DLL with one resource section) for the tests and the
// fuzz seeds: the resource tree of type, name and language directories, and the data.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tamso::testing {

struct PeResource {
  std::variant<std::uint16_t, std::u16string> type;
  std::variant<std::uint16_t, std::u16string> name;
  std::vector<std::uint8_t> data;
  std::uint16_t language = 0x409;
};

// A PE file holding `resources`; 64-bit headers when `wide`.
std::vector<std::uint8_t> WritePeFile(const std::vector<PeResource>& resources, bool wide = false);

}  // namespace tamso::testing
