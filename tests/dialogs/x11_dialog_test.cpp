// Drives the real open dialog on an X server: xdotool types a name and presses Enter (or
// Escape), as a user would. Run through tests/support/run-x11.sh, which provides the
// server and QT_QPA_PLATFORM=xcb.
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

// Starts xdotool to wait for the window titled `title`, focus it and press `keys` after
// typing `text`. While the window is still there after Enter (a completion list may take
// the first one), Enter is pressed again, a bounded number of times.
class KeyboardUser {
 public:
  KeyboardUser(const QString& title, const QString& text, const QString& key) {
    const QString script = QStringLiteral(
        "set -e\n"
        "id=$(timeout 30 xdotool search --sync --onlyvisible --name \"^$1\\$\" | head -n 1)\n"
        "xdotool windowfocus --sync \"$id\"\n"
        "sleep 0.5\n"
        "[ -z \"$2\" ] || xdotool type --delay 40 \"$2\"\n"
        "sleep 0.3\n"
        "for attempt in 1 2 3 4 5; do\n"
        "  xdotool key \"$3\"\n"
        "  sleep 0.5\n"
        "  xdotool search --onlyvisible --name \"^$1\\$\" >/dev/null || exit 0\n"
        "done\n"
        "exit 1\n");
    process_.start("bash", {"-c", script, "user", title, text, key});
  }
  ~KeyboardUser() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(2000);
    }
  }
  // True when xdotool found the window and it closed.
  bool finished() {
    process_.waitForFinished(40000);
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
  }

 private:
  QProcess process_;
};

// Closes any dialog still open after `seconds`, so a test that goes wrong fails instead
// of waiting for ever.
class Watchdog {
 public:
  explicit Watchdog(int seconds) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    timer_.start(seconds * 1000);
  }

 private:
  QTimer timer_;
};

class RealOpenDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_.setWindowTitle("Owner");
    owner_.resize(200, 100);
    owner_.show();
    dlg_.setOwnerHwnd(static_cast<LONG>(tamso::HwndForWidget(&owner_)));
    dlg_.setInitDirectory(Q(dir_.str()));
    dlg_.setFilter("AVI files|*.avi|All files|*.*");
    dlg_.setFilterIndex(1);
  }
  tamso::testing::ScratchFolder dir_;
  QWidget owner_;
  cFileDlg dlg_;
};

TEST_F(RealOpenDialog, TypedNameAndEnterChooseTheFile) {
  const std::string clip = dir_.file("chosen.avi", "RIFF....AVI ");
  dir_.file("other.avi");
  dlg_.setDlgTitle("Tamso open test");
  Watchdog watchdog(60);
  KeyboardUser user("Tamso open test", "chosen.avi", "Return");

  QString filename, title;
  const bool chosen = dlg_.VBGetOpenFileName(filename, title);
  EXPECT_TRUE(user.finished());
  ASSERT_TRUE(chosen);
  EXPECT_EQ(filename, Q(clip));
  EXPECT_EQ(title, "chosen.avi");
  EXPECT_EQ(dlg_.FilterIndex(), 1);
  EXPECT_EQ(dlg_.Filter(), QString("AVI files") + QChar(u'\0') + "*.avi");
  EXPECT_EQ(dlg_.Flags(), 0x1004);
  EXPECT_EQ(dlg_.InitDirectory(), Q(clip) + QString(1024 - clip.size(), QChar(u'\0')));
}

TEST_F(RealOpenDialog, EscapeCancels) {
  dir_.file("chosen.avi");
  dlg_.setDlgTitle("Tamso cancel test");
  Watchdog watchdog(60);
  KeyboardUser user("Tamso cancel test", "", "Escape");

  QString filename = "chosen.avi", title;
  const bool chosen = dlg_.VBGetOpenFileName(filename, title);
  EXPECT_TRUE(user.finished());
  EXPECT_FALSE(chosen);
  EXPECT_EQ(filename, QString(QChar(u'\0')));
  EXPECT_EQ(dlg_.FilterIndex(), -1);
  EXPECT_EQ(dlg_.InitDirectory(), Q(dir_.str()));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
