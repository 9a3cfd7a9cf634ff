#include "cli/file_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace tamso {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

enum class Kind { kFolder, kFile, kLinkToFolder, kOther };

// The kind of an entry; most file systems tell it in the entry, so that a walk over many
// files costs no call per file.
Kind KindOf(DIR* dir, const dirent& entry) {
  unsigned char type = entry.d_type;
  if (type == DT_UNKNOWN) {
    struct stat info {};
    if (::fstatat(::dirfd(dir), entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) return Kind::kOther;
    if (S_ISDIR(info.st_mode))
      type = DT_DIR;
    else if (S_ISLNK(info.st_mode))
      type = DT_LNK;
    else
      type = DT_REG;
  }
  if (type == DT_DIR) return Kind::kFolder;
  if (type == DT_LNK) {
    struct stat target {};
    const bool folder = ::fstatat(::dirfd(dir), entry.d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
    return folder ? Kind::kLinkToFolder : Kind::kFile;
  }
  return Kind::kFile;
}

std::string Join(const std::string& folder, const char* name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + '/' + name;
}

}  // namespace

bool HasAviExtension(std::string_view name) {
  constexpr std::string_view kExtension = ".avi";
  if (name.size() < kExtension.size()) return false;
  return std::equal(kExtension.begin(), kExtension.end(), name.end() - kExtension.size(), [](char a, char b) {
    return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
  });
}

FolderWalk FindAviFiles(const std::string& folder) {
  FolderWalk walk;
  std::vector<std::string> pending{folder};
  while (!pending.empty()) {
    const std::string current = std::move(pending.back());
    pending.pop_back();
    const DirHandle dir(::opendir(current.c_str()));
    if (!dir) {
      walk.unreadable.push_back(current + ": " + std::strerror(errno));
      continue;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
      const char* name = entry->d_name;
      if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
      switch (KindOf(dir.get(), *entry)) {
        case Kind::kFolder:
          pending.push_back(Join(current, name));
          break;
        case Kind::kFile:
          if (HasAviExtension(name)) walk.files.push_back(Join(current, name));
          break;
        case Kind::kLinkToFolder:
        case Kind::kOther:
          break;
      }
      errno = 0;
    }
    if (errno != 0) walk.unreadable.push_back(current + ": " + std::strerror(errno));
  }
  std::sort(walk.files.begin(), walk.files.end());
  std::sort(walk.unreadable.begin(), walk.unreadable.end());
  return walk;
}

}  // namespace tamso
