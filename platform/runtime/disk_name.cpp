#include "platform/runtime/disk_name.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace tamso {

namespace {

bool EntryExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

enum class Match { None, One, Several };

// The entry of `folder` that shows as `component`, in `name` when there is one.
Match FindEntry(const std::string& folder, std::string_view component, const ShownName& show,
                std::string& name) {
  const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.empty() ? "." : folder.c_str()));
  if (!dir) return Match::None;
  Match match = Match::None;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view entryName(entry->d_name);
    if (entryName == "." || entryName == ".." || show(entryName) != component) continue;
    if (match == Match::One) return Match::Several;
    name = entryName;
    match = Match::One;
  }
  return match;
}

}  // namespace

std::optional<std::string> FindOnDiskName(std::string_view shown, const ShownName& show) {
  std::string path(shown);
  if (path.empty() || EntryExists(path)) return path;

  // Component by component; `found` is the folder reached so far, with its "/".
  std::string found = shown.front() == '/' ? "/" : "";
  bool missing = false;  // below a component that names nothing, nothing is found
  std::size_t start = 0;
  while (start < shown.size()) {
    std::size_t end = shown.find('/', start);
    if (end == std::string_view::npos) end = shown.size();
    const std::string_view component = shown.substr(start, end - start);
    start = end + 1;
    if (component.empty()) continue;

    std::string name(component);
    if (!missing && !EntryExists(found + name)) {
      switch (FindEntry(found, component, show, name)) {
        case Match::None:
          missing = true;
          break;
        case Match::One:
          break;
        case Match::Several:
          return std::nullopt;
      }
    }
    found += name;
    if (start < shown.size()) found += '/';
  }
  return found;
}

}  // namespace tamso
