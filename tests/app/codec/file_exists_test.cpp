#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/modCommon.h"
#include "tests/app/codec/temp_folder.h"

namespace {

namespace fs = std::filesystem;

using FileExistsTest = tamso::testing::TempFolder;

TEST_F(FileExistsTest, OrdinaryFilesArePresentReadOnlyOnesToo) {
  EXPECT_TRUE(FileExists(Write("kitty.mid", "MThd").string()));
  const fs::path locked = Write("db.txt", "XVID,x\r\n");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_TRUE(FileExists(locked.string()));
  EXPECT_TRUE(FileExists(Write("empty", "").string()));
}

TEST_F(FileExistsTest, MissingHiddenAndNonFilesAreAbsent) {
  EXPECT_FALSE(FileExists((root_ / "db.txt").string()));
  EXPECT_FALSE(FileExists(Write(".db.txt", "XVID,x\r\n").string()));
  fs::create_directory(root_ / "folder");
  EXPECT_FALSE(FileExists((root_ / "folder").string()));
  EXPECT_FALSE(FileExists((root_ / ".").string()));
  ASSERT_EQ(mkfifo((root_ / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(FileExists((root_ / "pipe").string()));
  EXPECT_FALSE(FileExists(""));
}

TEST_F(FileExistsTest, LinksCountAsWhatTheyPointTo) {
  const fs::path target = Write("real.txt", "x");
  fs::create_symlink(target, root_ / "link.txt");
  fs::create_symlink(root_ / "gone.txt", root_ / "dangling.txt");
  EXPECT_TRUE(FileExists((root_ / "link.txt").string()));
  EXPECT_FALSE(FileExists((root_ / "dangling.txt").string()));
  // A visible file inside a hidden folder is still present.
  fs::create_directory(root_ / ".config");
  EXPECT_TRUE(FileExists(Write(".config/db.txt", "x").string()));
}

TEST_F(FileExistsTest, PathsTheFileSystemRefusesAreAbsentNotErrors) {
  const fs::path file = Write("file.txt", "x");
  EXPECT_FALSE(FileExists((file / "db.txt").string()));                 // a file used as a folder
  EXPECT_FALSE(FileExists((root_ / std::string(5000, 'a')).string()));  // a name too long
  EXPECT_FALSE(FileExists(file.string() + "/"));                        // a trailing slash
}

TEST_F(FileExistsTest, AFolderWithoutPermissionHidesItsFiles) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  Write("db.txt", "x");
  fs::permissions(root_, fs::perms::none);
  EXPECT_FALSE(FileExists((root_ / "db.txt").string()));
}

}  // namespace
