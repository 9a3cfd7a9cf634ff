#include "platform/runtime/app_paths.h"

#include <system_error>

namespace tamso {

namespace fs = std::filesystem;

std::string ApplicationTitle() { return kAppTitle; }

fs::path ExecutablePath() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : exe;
}

std::string ApplicationExeName() {
  const fs::path exe = ExecutablePath();
  return exe.empty() ? std::string("tamso-avi") : exe.stem().string();
}

fs::path ApplicationDirectoryFor(const fs::path& executable) {
  const fs::path folder = executable.parent_path();
  if (folder.filename() == "bin") {
    const fs::path share = folder.parent_path() / "share" / "tamso-avi";
    std::error_code ec;
    if (fs::is_directory(share, ec)) return share;
  }
  return folder;
}

fs::path ApplicationDirectory() { return ApplicationDirectoryFor(ExecutablePath()); }

fs::path ApplicationFile(const std::string& fileName) { return ApplicationDirectory() / fileName; }

}  // namespace tamso
