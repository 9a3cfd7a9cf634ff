#include "app/modCommon.h"

#include <filesystem>
#include <system_error>

bool FileExists(const std::string& sFile) {
  try {
    const std::filesystem::path path(sFile);
    // The entry's own name decides whether it is hidden; "." and ".." are folders anyway.
    const std::string name = path.filename().string();
    if (name.empty() || name.front() == '.') return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && !ec;
  } catch (...) {
    // Only an allocation can fail above; no answer is "absent".
    return false;
  }
}
