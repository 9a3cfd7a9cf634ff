// Looks a code up in an arbitrary codec list. The first byte gives the code's length
// (0 to 7), the next bytes the code, the rest is the list.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/codec_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t codeLength = std::min<std::size_t>(data[0] % 8, size - 1);
  const std::string code(data + 1, data + 1 + codeLength);
  std::istringstream list(std::string(data + 1 + codeLength, data + size));

  const std::string description = tamso::LookupCodecDescription(list, code);
  // A description is one field of one line: it never holds a separator and never
  // exceeds the bound, whatever the list.
  if (description.find_first_of(",\r\n") != std::string::npos) std::abort();
  if (description.size() > tamso::kCodecMaxDescriptionBytes) std::abort();
  return 0;
}
