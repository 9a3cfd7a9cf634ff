// The real open dialog on an X server: xdotool types a name and presses Enter, as a user
// would. Run through tests/support/run-x11.sh, which provides the server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QTimer>
#include <QWidget>

#include "dialogs/cFileDlg.h"
#include "platform/user32/qt_window_handles.h"
#include "tests/dialogs/dialog_test_support.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Waits for the window titled $1, types $2 and presses Enter until it goes (a completion
// list may take the first press).
constexpr const char* kTypeAndEnter = R"sh(
id=$(timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
[ -n "$id" ] || exit 2
xdotool windowfocus --sync "$id"; sleep 0.5; xdotool type --delay 40 "$2"
for attempt in 1 2 3 4 5; do
  sleep 0.5; xdotool key Return; sleep 0.5
  xdotool search --onlyvisible --name "^$1\$" >/dev/null || exit 0
done
exit 1
)sh";

TEST(RealOpenDialog, TypedNameAndEnterChooseTheFile) {
  tamso::testing::ScratchFolder dir;
  const std::string clip = dir.file("chosen.avi", "RIFF....AVI ");
  dir.file("other.avi");
  QWidget owner;
  owner.show();
  cFileDlg dlg;
  dlg.setOwnerHwnd(static_cast<LONG>(tamso::HwndForWidget(&owner)));
  dlg.setInitDirectory(Q(dir.str()));
  dlg.setFilter("AVI files|*.avi|All files|*.*");
  dlg.setFilterIndex(1);
  dlg.setDlgTitle("Tamso open test");

  // A test that goes wrong closes the dialog instead of waiting for ever.
  QTimer::singleShot(60000, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  QProcess user;
  user.start("bash", {"-c", kTypeAndEnter, "user", "Tamso open test", "chosen.avi"});
  QString filename, title;
  const bool chosen = dlg.VBGetOpenFileName(filename, title);
  EXPECT_TRUE(user.waitForFinished(40000) && user.exitCode() == 0) << "xdotool did not close the dialog";
  ASSERT_TRUE(chosen);
  EXPECT_EQ(filename, Q(clip));
  EXPECT_EQ(title, "chosen.avi");
  EXPECT_EQ(dlg.FilterIndex(), 1);
  EXPECT_EQ(dlg.Filter(), QString("AVI files") + QChar(u'\0') + "*.avi");
  EXPECT_EQ(dlg.Flags(), 0x1004);
  EXPECT_EQ(dlg.InitDirectory(), Q(clip) + QString(1024 - clip.size(), QChar(u'\0')));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
