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
  EXPECT_EQ(path(CSIDL_DESKTOP), "/home/ann/Desk");
  EXPECT_EQ(path(CSIDL_MYMUSIC), "/home/ann");  // no entry: the home folder
  EXPECT_EQ(path(CSIDL_APPDATA), "/home/ann/.config");
  EXPECT_EQ(path(CSIDL_COMMON_APPDATA), "/usr/local/share");
  env.configHome = "/cfg";
  env.dataHome = "relative/is/ignored";
  env.dataDirs = "/opt/share:/usr/share";
  EXPECT_EQ(path(CSIDL_STARTUP), "/cfg/autostart");
  EXPECT_EQ(path(CSIDL_LOCAL_APPDATA), "/home/ann/.local/share");
  EXPECT_EQ(path(CSIDL_COMMON_APPDATA), "/opt/share");
  for (int id :
       {CSIDL_INTERNET, CSIDL_DRIVES, CSIDL_BITBUCKET, CSIDL_NETWORK, CSIDL_MYDOCUMENTS, CSIDL_WINDOWS})
    EXPECT_EQ(ResolveSpecialFolder(id, env).kind, FolderKind::NoPath) << id;
  for (int id : {0x0F, 0x3C, 0x3F, 0x99, -1, 0x10005})
    EXPECT_EQ(ResolveSpecialFolder(id, env).kind, FolderKind::Unknown) << id;
}

// The path SHGetPathFromIDListA gives for a folder, or "!" and the error.
std::string PathOf(int csidl) {
  LPITEMIDLIST pidl = reinterpret_cast<LPITEMIDLIST>(&csidl);
  const HRESULT result = SHGetSpecialFolderLocation(0, csidl, &pidl);
  if (result != S_OK) return "!" + std::to_string(result) + (pidl ? " and a list" : "");
  char path[MAX_PATH] = "untouched";
  const BOOL found = SHGetPathFromIDListA(pidl, path);
  CoTaskMemFree(pidl);
  const std::string shown = path;
  EXPECT_EQ(found, !shown.empty());
  EXPECT_FALSE(SHGetPathFromIDListA(pidl, path));  // a released list is no list
  return shown;
}

TEST(ShellCalls, FoldersGiveTheirPathsAndMissingOnesExistOnlyWhenCreationIsAsked) {
  testing::ScratchHome home;
  EXPECT_EQ(PathOf(CSIDL_PERSONAL), home.documents());
  EXPECT_EQ(PathOf(CSIDL_DRIVES), "");  // a list without a path
  EXPECT_EQ(PathOf(0x99), "!" + std::to_string(E_INVALIDARG));
  EXPECT_EQ(SHGetSpecialFolderLocation(0, CSIDL_PERSONAL, nullptr), E_INVALIDARG);
  EXPECT_EQ(PathOf(CSIDL_MYMUSIC), "!" + std::to_string(E_FOLDER_NOT_FOUND));
  EXPECT_EQ(PathOf(CSIDL_MYMUSIC | CSIDL_FLAG_CREATE), home.folder().str() + "/Music");
  EXPECT_TRUE(std::filesystem::is_directory(home.folder().path() / "Music"));

  testing::ScopedEnvironment env;
  env.set("XDG_CONFIG_HOME", home.folder().folder(std::string(250, 'd')));
  EXPECT_EQ(PathOf(CSIDL_APPDATA), "");  // longer than the buffer
  int foreign = 0;
  CoTaskMemFree(&foreign);  // not the shell's: ignored
  CoTaskMemFree(nullptr);
}

}  // namespace
}  // namespace tamso
