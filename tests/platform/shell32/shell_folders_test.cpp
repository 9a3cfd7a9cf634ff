#include <gtest/gtest.h>

#include <filesystem>

#include "platform/shell32/shell_folders.h"
#include "platform/shell32/shlobj.h"
#include "tests/dialogs/dialog_test_support.h"

namespace tamso {
namespace {

FolderEnvironment SampleEnvironment() {
  FolderEnvironment env;
  env.home = "/home/ann";
  env.userDirs = {{"DOCUMENTS", "/home/ann/Docs"}, {"DESKTOP", "/home/ann/Desk"}};
  return env;
}

TEST(SpecialFolders, MapToTheXdgUserAndBaseDirectories) {
  FolderEnvironment env = SampleEnvironment();
  const auto path = [&](int id) {
    const SpecialFolder folder = ResolveSpecialFolder(id, env);
    EXPECT_EQ(folder.kind, FolderKind::Path) << id;
    return folder.path;
  };
  EXPECT_EQ(path(CSIDL_PERSONAL), "/home/ann/Docs");
  EXPECT_EQ(path(CSIDL_PERSONAL | CSIDL_FLAG_CREATE), "/home/ann/Docs");
  EXPECT_EQ(path(CSIDL_DESKTOP), "/home/ann/Desk");
  EXPECT_EQ(path(CSIDL_DESKTOPDIRECTORY), "/home/ann/Desk");
  EXPECT_EQ(path(CSIDL_MYMUSIC), "/home/ann");  // no entry: the home folder
  EXPECT_EQ(path(CSIDL_PROFILE), "/home/ann");
  EXPECT_EQ(path(CSIDL_APPDATA), "/home/ann/.config");
  EXPECT_EQ(path(CSIDL_LOCAL_APPDATA), "/home/ann/.local/share");
  EXPECT_EQ(path(CSIDL_COMMON_APPDATA), "/usr/local/share");

  env.configHome = "/cfg";
  env.dataHome = "relative/is/ignored";
  env.dataDirs = "/opt/share:/usr/share";
  EXPECT_EQ(path(CSIDL_APPDATA), "/cfg");
  EXPECT_EQ(path(CSIDL_STARTUP), "/cfg/autostart");
  EXPECT_EQ(path(CSIDL_LOCAL_APPDATA), "/home/ann/.local/share");
  EXPECT_EQ(path(CSIDL_COMMON_APPDATA), "/opt/share");
}

TEST(SpecialFolders, VirtualFoldersHaveNoPathAndUnknownIdsAreUnknown) {
  const FolderEnvironment env = SampleEnvironment();
  for (int id :
       {CSIDL_INTERNET, CSIDL_DRIVES, CSIDL_BITBUCKET, CSIDL_NETWORK, CSIDL_MYDOCUMENTS, CSIDL_WINDOWS}) {
    EXPECT_EQ(ResolveSpecialFolder(id, env).kind, FolderKind::NoPath) << id;
  }
  for (int id : {0x0F, 0x3C, 0x3F, 0x99, -1, 0x10005}) {
    EXPECT_EQ(ResolveSpecialFolder(id, env).kind, FolderKind::Unknown) << id;
  }
}

class ShellCalls : public ::testing::Test {
 protected:
  testing::ScratchHome home_;
};

TEST_F(ShellCalls, DocumentsFolderRoundTrip) {
  LPITEMIDLIST pidl = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(0, CSIDL_PERSONAL, &pidl), S_OK);
  ASSERT_NE(pidl, nullptr);
  char path[MAX_PATH];
  ASSERT_TRUE(SHGetPathFromIDListA(pidl, path));
  EXPECT_EQ(std::string(path), home_.documents());
  CoTaskMemFree(pidl);
  // A released list is no longer a list.
  EXPECT_FALSE(SHGetPathFromIDListA(pidl, path));
  EXPECT_STREQ(path, "");
}

TEST_F(ShellCalls, VirtualFolderGivesAListWithoutPath) {
  LPITEMIDLIST pidl = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(0, CSIDL_DRIVES, &pidl), S_OK);
  char path[MAX_PATH] = "untouched";
  EXPECT_FALSE(SHGetPathFromIDListA(pidl, path));
  EXPECT_STREQ(path, "");
  CoTaskMemFree(pidl);
}

TEST_F(ShellCalls, UnknownIdFailsWithoutAList) {
  LPITEMIDLIST pidl = reinterpret_cast<LPITEMIDLIST>(&home_);
  EXPECT_EQ(SHGetSpecialFolderLocation(0, 0x99, &pidl), E_INVALIDARG);
  EXPECT_EQ(pidl, nullptr);
  EXPECT_EQ(SHGetSpecialFolderLocation(0, CSIDL_PERSONAL, nullptr), E_INVALIDARG);
}

TEST_F(ShellCalls, MissingFolderFailsUnlessCreationIsAsked) {
  LPITEMIDLIST pidl = nullptr;
  EXPECT_EQ(SHGetSpecialFolderLocation(0, CSIDL_MYMUSIC, &pidl), E_FOLDER_NOT_FOUND);
  EXPECT_EQ(pidl, nullptr);
  ASSERT_EQ(SHGetSpecialFolderLocation(0, CSIDL_MYMUSIC | CSIDL_FLAG_CREATE, &pidl), S_OK);
  EXPECT_TRUE(std::filesystem::is_directory(home_.folder().path() / "Music"));
  CoTaskMemFree(pidl);
}

TEST_F(ShellCalls, PathThatDoesNotFitTheBufferIsRefused) {
  const std::string deep = home_.folder().folder(std::string(250, 'd'));
  testing::ScopedEnvironment env;
  env.set("XDG_CONFIG_HOME", deep);
  LPITEMIDLIST pidl = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(0, CSIDL_APPDATA, &pidl), S_OK);
  char path[MAX_PATH];
  EXPECT_FALSE(SHGetPathFromIDListA(pidl, path));
  EXPECT_STREQ(path, "");
  CoTaskMemFree(pidl);
  CoTaskMemFree(nullptr);
  int foreign = 0;
  CoTaskMemFree(&foreign);  // not the shell's: ignored
}

}  // namespace
}  // namespace tamso
