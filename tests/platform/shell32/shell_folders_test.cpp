#include <gtest/gtest.h>

#include <filesystem>

#include "platform/shell32/shell_folders.h"
#include "platform/shell32/shlobj.h"
#include "tests/dialogs/dialog_test_support.h"

namespace tamso {
namespace {

TEST(SpecialFolders, MapToTheXdgUserAndBaseDirectoriesVirtualOnesHaveNoPath) {
  FolderEnvironment env;
  env.home = "/home/ann";
  env.userDirs = {{"DOCUMENTS", "/home/ann/Docs"}, {"DESKTOP", "/home/ann/Desk"}};
  const auto path = [&](int id) {
    const SpecialFolder folder = ResolveSpecialFolder(id, env);
    EXPECT_EQ(folder.kind, FolderKind::Path) << id;
    return folder.path;
  };
  EXPECT_EQ(path(CSIDL_PERSONAL | CSIDL_FLAG_CREATE), "/home/ann/Docs");
  EXPECT_EQ(path(CSIDL_MYMUSIC), "/home/ann");  // no entry: the home folder
  EXPECT_EQ(path(CSIDL_APPDATA), "/home/ann/.config");
  EXPECT_EQ(path(CSIDL_COMMON_APPDATA), "/usr/local/share");
  env.configHome = "/cfg";
  env.dataHome = "relative/is/ignored";
  env.dataDirs = "/opt/share:/usr/share";
  EXPECT_EQ(path(CSIDL_STARTUP), "/cfg/autostart");
  EXPECT_EQ(path(CSIDL_LOCAL_APPDATA), "/home/ann/.local/share");
  EXPECT_EQ(path(CSIDL_COMMON_APPDATA), "/opt/share");
  EXPECT_EQ(ResolveSpecialFolder(CSIDL_BITBUCKET, env).kind, FolderKind::NoPath);
  for (int id : {0x99, -1, 0x10005}) EXPECT_EQ(ResolveSpecialFolder(id, env).kind, FolderKind::Unknown) << id;
}

// The path SHGetPathFromIDListA gives for a folder, or "!" and the error.
std::string PathOf(int csidl) {
  LPITEMIDLIST pidl = nullptr;
  const HRESULT result = SHGetSpecialFolderLocation(0, csidl, &pidl);
  if (result != S_OK) return "!" + std::to_string(result);
  char path[AnsiBufferBytes(MAX_PATH)] = "untouched";
  const BOOL found = SHGetPathFromIDListA(pidl, path);
  CoTaskMemFree(pidl);
  EXPECT_EQ(found, path[0] != 0);
  return path;
}

TEST(ShellCalls, MissingFoldersExistOnlyWhenCreationIsAskedAndLongPathsAreRefused) {
  testing::ScratchHome home;
  EXPECT_EQ(PathOf(CSIDL_MYMUSIC), "!" + std::to_string(E_FOLDER_NOT_FOUND));
  EXPECT_EQ(PathOf(CSIDL_MYMUSIC | CSIDL_FLAG_CREATE), home.folder().str() + "/Music");
  EXPECT_TRUE(std::filesystem::is_directory(home.folder().path() / "Music"));

  // MAX_PATH counts characters: 150 two-byte letters fit, 250 letters of any kind do not.
  std::string letters;
  for (int i = 0; i < 75; ++i) letters += "\u0434";
  const std::string fits = home.folder().folder(letters + "/" + letters);
  testing::ScopedEnvironment env;
  env.set("XDG_CONFIG_HOME", fits);
  EXPECT_EQ(PathOf(CSIDL_APPDATA), fits);
  env.set("XDG_CONFIG_HOME", home.folder().folder(std::string(250, 'd')));
  EXPECT_EQ(PathOf(CSIDL_APPDATA), "");  // longer than the buffer
}

}  // namespace
}  // namespace tamso
