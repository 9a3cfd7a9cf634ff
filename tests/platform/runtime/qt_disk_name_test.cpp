#include "platform/runtime/qt_disk_name.h"

#include <gtest/gtest.h>

#include <QFile>
#include <string>

#include "tests/dialogs/dialog_test_support.h"

namespace tamso {
namespace {

// The path as Qt names it: each byte that is not UTF-8 is U+FFFD.
QString AsQtNamesIt(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

TEST(OnDiskName, FindsTheBytesOfNamesThatAreNotUtf8) {
  testing::ScratchFolder dir;
  const std::string base = dir.str() + "/";
  const std::string latin1 = dir.file("caf\xE9.avi"), utf8 = dir.file("caf\xC3\xA9.avi");
  const std::string nested = dir.file("\xC9t\xE9 1998/clip.avi");
  const std::string twinA = dir.file("x\xE8.avi"), twinB = dir.file("x\xE9.avi");
  ASSERT_NE(AsQtNamesIt(latin1), AsQtNamesIt(utf8));
  ASSERT_EQ(AsQtNamesIt(twinA), AsQtNamesIt(twinB));

  const struct {
    std::string onDisk, found;
  } table[] = {
      {latin1, latin1},
      {nested, nested},
      {base + "\xC9t\xE9 1998/./../\xC9t\xE9 1998//clip.avi",
       base + "\xC9t\xE9 1998/./../\xC9t\xE9 1998/clip.avi"},
      // A new name in a folder found by its bytes: the folder's bytes and the new name.
      {base + "\xC9t\xE9 1998/new \xC3\xA9t\xC3\xA9.avi", base + "\xC9t\xE9 1998/new \xC3\xA9t\xC3\xA9.avi"},
      // Valid UTF-8 comes back as it is, there or not.
      {utf8, utf8},
      {base + "missing/\xC3\xA9t\xC3\xA9.avi", base + "missing/\xC3\xA9t\xC3\xA9.avi"},
      // Two names Qt shows alike: neither is taken, the path stays as Qt gave it.
      {twinA, AsQtNamesIt(twinA).toStdString()},
      {base + "x\xE8.avi/clip.avi", AsQtNamesIt(base + "x\xE8.avi/clip.avi").toStdString()},
  };
  for (const auto& [onDisk, found] : table) EXPECT_EQ(OnDiskName(AsQtNamesIt(onDisk)), found) << onDisk;

  // A relative path is looked up from the working folder.
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  EXPECT_EQ(OnDiskName(AsQtNamesIt("\xC9t\xE9 1998/clip.avi")), "\xC9t\xE9 1998/clip.avi");
  std::filesystem::current_path(here);
}

}  // namespace
}  // namespace tamso
