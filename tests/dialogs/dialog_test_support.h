#pragma once
// Scratch folders, environment variables and a home folder of their own for the tests of
// the file dialogs and the shell folders; each is undone when it goes.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace tamso::testing {

// A fresh folder under the system's temporary folder, removed with its contents.
class ScratchFolder {
 public:
  ScratchFolder() : path_(std::filesystem::temp_directory_path() / "tamso-dialogs-XXXXXX") {
    path_ = ::mkdtemp(std::string(path_.string()).data());
  }
  ~ScratchFolder() { std::filesystem::remove_all(path_, ignored_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // Writes `bytes` to `name` inside the folder (making folders on the way); its path.
  std::string file(const std::string& name, const std::string& bytes = {}) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    std::ofstream(path_ / name, std::ios::binary) << bytes;
    return (path_ / name).string();
  }
  std::string folder(const std::string& name) const {
    std::filesystem::create_directories(path_ / name);
    return (path_ / name).string();
  }

 private:
  std::filesystem::path path_;
  std::error_code ignored_;
};

// Sets (or, with nullopt, unsets) environment variables until destroyed.
class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) apply(it->first, it->second);
  }
  void set(const std::string& name, const std::optional<std::string>& value) {
    const char* old = ::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    apply(name, value);
  }

 private:
  static void apply(const std::string& name, const std::optional<std::string>& value) {
    value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// HOME points at a scratch folder whose user-dirs.dirs names "Documents" (made when
// `withDocuments`) and "Music" (not made); the XDG base directory variables are unset.
class ScratchHome {
 public:
  explicit ScratchHome(bool withDocuments = true) {
    env_.set("HOME", home_.str());
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                             "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"})
      env_.set(name, std::nullopt);
    home_.file(".config/user-dirs.dirs",
               "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\nXDG_MUSIC_DIR=\"$HOME/Music\"\n");
    if (withDocuments) home_.folder("Documents");
  }
  const ScratchFolder& folder() const { return home_; }
  std::string documents() const { return home_.str() + "/Documents"; }

 private:
  ScratchFolder home_;
  ScopedEnvironment env_;
};

}  // namespace tamso::testing
