#pragma once
// The shell's special folders (CSIDL ids) on Linux: the XDG user directories for the
// user's documents, music, pictures, videos, desktop and templates, the XDG base
// directories for application data, and the home folder for the profile. Folders that
// the shell shows without a directory behind them (My Computer, the Recycle Bin, ...),
// and those with no counterpart here, have no path.

#include <map>
#include <string>

namespace tamso {

// What the lookup reads from the process: the home folder, the XDG base directory
// variables (empty when unset) and the user-dirs.dirs entries (see user_dirs.h).
struct FolderEnvironment {
  std::string home;
  std::string configHome;  // $XDG_CONFIG_HOME
  std::string dataHome;    // $XDG_DATA_HOME
  std::string cacheHome;   // $XDG_CACHE_HOME
  std::string stateHome;   // $XDG_STATE_HOME
  std::string dataDirs;    // $XDG_DATA_DIRS, colon-separated
  std::string configDirs;  // $XDG_CONFIG_DIRS, colon-separated
  std::map<std::string, std::string> userDirs;
};

// The environment of this process, with user-dirs.dirs read from the configuration folder.
FolderEnvironment CurrentFolderEnvironment();

enum class FolderKind {
  Unknown,  // an id the shell does not define
  NoPath,   // a folder the shell knows that has no directory here
  Path,     // a folder with a directory
};

struct SpecialFolder {
  FolderKind kind = FolderKind::Unknown;
  std::string path;  // set for FolderKind::Path
};

// The folder for `csidl` (flag bits 0xFF00 ignored). The directory need not exist.
SpecialFolder ResolveSpecialFolder(int csidl, const FolderEnvironment& env);

}  // namespace tamso
