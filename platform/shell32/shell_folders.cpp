#include "platform/shell32/shell_folders.h"

#include <cstdlib>
#include <set>
#include <string_view>

#include "platform/runtime/regular_file.h"
#include "platform/shell32/shlobj.h"
#include "platform/shell32/user_dirs.h"

namespace tamso {

namespace {

// user-dirs.dirs holds a dozen lines; a larger file is not read.
constexpr std::uint64_t kLargestUserDirs = 1u << 20;

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : fallback;
}

// An XDG variable that is set to an absolute path, or its default (the base directory
// rules ignore relative values).
std::string BaseDir(const std::string& value, const std::string& fallback) {
  return !value.empty() && value.front() == '/' ? value : fallback;
}

std::string FirstOf(const std::string& list, const std::string& fallback) {
  const std::string first = list.substr(0, list.find(':'));
  return BaseDir(first, fallback);
}

// An XDG user directory; a missing entry means the home folder, as xdg-user-dir answers.
std::string UserDir(const FolderEnvironment& env, const std::string& name) {
  const auto it = env.userDirs.find(name);
  return it != env.userDirs.end() ? it->second : env.home;
}

std::string ConfigHome(const FolderEnvironment& env) {
  return BaseDir(env.configHome, env.home + "/.config");
}
std::string DataHome(const FolderEnvironment& env) {
  return BaseDir(env.dataHome, env.home + "/.local/share");
}

// Ids that the shell defines but that name no folder here: virtual folders, and folders
// of the other system without a counterpart on this one.
const std::set<int>& KnownWithoutPath() {
  static const std::set<int> ids = {CSIDL_INTERNET,
                                    CSIDL_CONTROLS,
                                    CSIDL_PRINTERS,
                                    CSIDL_FAVORITES,
                                    CSIDL_RECENT,
                                    CSIDL_SENDTO,
                                    CSIDL_BITBUCKET,
                                    CSIDL_MYDOCUMENTS,
                                    CSIDL_DRIVES,
                                    CSIDL_NETWORK,
                                    CSIDL_NETHOOD,
                                    CSIDL_COMMON_DESKTOPDIRECTORY,
                                    CSIDL_PRINTHOOD,
                                    CSIDL_ALTSTARTUP,
                                    CSIDL_COMMON_ALTSTARTUP,
                                    CSIDL_COMMON_FAVORITES,
                                    CSIDL_COOKIES,
                                    CSIDL_WINDOWS,
                                    CSIDL_SYSTEM,
                                    CSIDL_SYSTEMX86,
                                    CSIDL_PROGRAM_FILESX86,
                                    CSIDL_PROGRAM_FILES_COMMON,
                                    CSIDL_PROGRAM_FILES_COMMONX86,
                                    CSIDL_COMMON_TEMPLATES,
                                    CSIDL_COMMON_ADMINTOOLS,
                                    CSIDL_ADMINTOOLS,
                                    CSIDL_CONNECTIONS,
                                    CSIDL_COMMON_MUSIC,
                                    CSIDL_COMMON_PICTURES,
                                    CSIDL_COMMON_VIDEO,
                                    CSIDL_RESOURCES,
                                    CSIDL_RESOURCES_LOCALIZED,
                                    CSIDL_COMMON_OEM_LINKS,
                                    CSIDL_CDBURN_AREA,
                                    CSIDL_COMPUTERSNEARME,
                                    CSIDL_PROFILES};
  return ids;
}

std::string PathFor(int id, const FolderEnvironment& env) {
  switch (id) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
      return UserDir(env, "DESKTOP");
    case CSIDL_PERSONAL:
      return UserDir(env, "DOCUMENTS");
    case CSIDL_MYMUSIC:
      return UserDir(env, "MUSIC");
    case CSIDL_MYVIDEO:
      return UserDir(env, "VIDEOS");
    case CSIDL_MYPICTURES:
      return UserDir(env, "PICTURES");
    case CSIDL_TEMPLATES:
      return UserDir(env, "TEMPLATES");
    case CSIDL_COMMON_DOCUMENTS:
      return UserDir(env, "PUBLICSHARE");
    case CSIDL_PROGRAMS:
    case CSIDL_STARTMENU:
      return DataHome(env) + "/applications";
    case CSIDL_STARTUP:
      return ConfigHome(env) + "/autostart";
    case CSIDL_FONTS:
      return DataHome(env) + "/fonts";
    case CSIDL_COMMON_STARTMENU:
    case CSIDL_COMMON_PROGRAMS:
      return FirstOf(env.dataDirs, "/usr/local/share") + "/applications";
    case CSIDL_COMMON_STARTUP:
      return FirstOf(env.configDirs, "/etc/xdg") + "/autostart";
    case CSIDL_APPDATA:
      return ConfigHome(env);
    case CSIDL_LOCAL_APPDATA:
      return DataHome(env);
    case CSIDL_INTERNET_CACHE:
      return BaseDir(env.cacheHome, env.home + "/.cache");
    case CSIDL_HISTORY:
      return BaseDir(env.stateHome, env.home + "/.local/state");
    case CSIDL_COMMON_APPDATA:
      return FirstOf(env.dataDirs, "/usr/local/share");
    case CSIDL_PROGRAM_FILES:
      return "/usr";
    case CSIDL_PROFILE:
      return env.home;
    default:
      return {};
  }
}

}  // namespace

FolderEnvironment CurrentFolderEnvironment() {
  FolderEnvironment env;
  env.home = EnvOr("HOME", "/");
  env.configHome = EnvOr("XDG_CONFIG_HOME", "");
  env.dataHome = EnvOr("XDG_DATA_HOME", "");
  env.cacheHome = EnvOr("XDG_CACHE_HOME", "");
  env.stateHome = EnvOr("XDG_STATE_HOME", "");
  env.dataDirs = EnvOr("XDG_DATA_DIRS", "");
  env.configDirs = EnvOr("XDG_CONFIG_DIRS", "");
  std::error_code error;
  if (const auto bytes = ReadWholeFile(ConfigHome(env) + "/user-dirs.dirs", kLargestUserDirs, error))
    env.userDirs = ParseUserDirs(std::string(bytes->begin(), bytes->end()), env.home);
  return env;
}

SpecialFolder ResolveSpecialFolder(int csidl, const FolderEnvironment& env) {
  const int id = csidl & ~CSIDL_FLAG_MASK;
  if (csidl < 0 || KnownWithoutPath().contains(id)) {
    return {csidl < 0 ? FolderKind::Unknown : FolderKind::NoPath, {}};
  }
  std::string path = PathFor(id, env);
  if (path.empty()) return {FolderKind::Unknown, {}};
  return {FolderKind::Path, std::move(path)};
}

}  // namespace tamso
