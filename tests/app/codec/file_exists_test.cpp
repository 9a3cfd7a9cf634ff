#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/modCommon.h"
#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace {

namespace fs = std::filesystem;

TEST(FileExists, OnlyVisibleOrdinaryFilesAndLinksToThemArePresent) {
  tamso::test::TempDir dir;
  const auto write = [&](const char* name) { return dir.write(name, tamso::AsBytes("x")); };
  const std::string readOnly = write("db.txt");
  fs::permissions(readOnly, fs::perms::owner_read);
  fs::create_directories(dir.file(".config"));
  fs::create_symlink(write("real.txt"), dir.file("link.txt"));
  fs::create_symlink(dir.file("gone.txt"), dir.file("dangling.txt"));
  ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
  const struct {
    std::string path;
    bool present;
  } cases[] = {
      {readOnly, true},
      {dir.write("empty", {}), true},
      {dir.file("link.txt"), true},
      {write(".config/db.txt"), true},  // a visible file in a hidden folder
      {dir.file("missing.txt"), false},
      {write(".db.txt"), false},
      {dir.path(), false},
      {dir.file("."), false},
      {dir.file("pipe"), false},
      {dir.file("dangling.txt"), false},
      {"", false},
      {readOnly + "/db.txt", false},  // a file used as a folder
      {readOnly + "/", false},
      {dir.file(std::string(5000, 'a')), false},  // a name too long
  };
  for (const auto& c : cases) EXPECT_EQ(FileExists(c.path), c.present) << c.path;

  if (geteuid() == 0) return;  // permissions do not bind the superuser
  fs::permissions(dir.path(), fs::perms::none);
  EXPECT_FALSE(FileExists(readOnly)) << "a file in a folder without permission";
  fs::permissions(dir.path(), fs::perms::owner_all);
}

}  // namespace
