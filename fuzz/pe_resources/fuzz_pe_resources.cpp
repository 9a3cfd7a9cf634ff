// Reads arbitrary bytes as a PE file and looks resources up in it by number and by name;
// every resource found must lie within the bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/kernel32/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  const auto pe = tamso::PeResources::Read(bytes);
  if (!pe) return 0;
  const tamso::ResourceName names[] = {std::uint16_t{1}, std::uint16_t{101}, std::string("SHAPE")};
  for (const tamso::ResourceName& type :
       {tamso::ResourceName(std::uint16_t{10}), tamso::ResourceName(std::string("CUSTOM"))}) {
    for (const tamso::ResourceName& name : names) {
      const auto found = pe->find(type, name);
      if (found &&
          (found->data() < bytes.data() || found->data() + found->size() > bytes.data() + bytes.size()))
        std::abort();
    }
  }
  return 0;
}
