// Reads arbitrary bytes as a user-dirs.dirs file; every entry must name an absolute path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/shell32/user_dirs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const auto& [name, path] : tamso::ParseUserDirs(text, "/home/user")) {
    if (name.empty() || path.empty() || path.front() != '/') std::abort();
  }
  return 0;
}
