#include "platform/runtime/app_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tamso {
namespace {

namespace fs = std::filesystem;

class ApplicationDirectoryRule : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("tamso-appdir-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

TEST_F(ApplicationDirectoryRule, BuildTreeUsesTheExecutablesFolder) {
  fs::create_directories(root_ / "build" / "bin");
  EXPECT_EQ(ApplicationDirectoryFor(root_ / "build" / "bin" / "tamso-avi"), root_ / "build" / "bin");
  EXPECT_EQ(ApplicationDirectoryFor(root_ / "somewhere" / "tamso-avi"), root_ / "somewhere");
}

TEST_F(ApplicationDirectoryRule, InstalledProgramUsesItsShareFolder) {
  fs::create_directories(root_ / "usr" / "bin");
  fs::create_directories(root_ / "usr" / "share" / "tamso-avi");
  EXPECT_EQ(ApplicationDirectoryFor(root_ / "usr" / "bin" / "tamso-avi"),
            root_ / "usr" / "share" / "tamso-avi");
}

TEST(ApplicationIdentity, TitleAndRunningExecutable) {
  EXPECT_EQ(ApplicationTitle(), "Tamso AVI");
  EXPECT_EQ(ApplicationExeName(), "runtime_test");
  EXPECT_EQ(ApplicationDirectory(), ExecutablePath().parent_path());
  EXPECT_EQ(ApplicationFile("db.txt"), ExecutablePath().parent_path() / "db.txt");
}

}  // namespace
}  // namespace tamso
