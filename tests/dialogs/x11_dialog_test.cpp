// The real open dialog on an X server: xdotool types a path and presses Enter, as a user
// would. Run through tests/support/run-x11.sh, which provides the server. The process has
// a home and config folder of its own, where the dialogs must leave nothing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <tuple>

#include "app/codec_list.h"
#include "app/frmTamso.h"
#include "dialogs/cFileDlg.h"
#include "platform/user32/qt_window_handles.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/support/avi_writer.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Waits for the window titled $1, types $2 (or with $2 "--paste" pastes the clipboard)
// and presses Enter until it goes (a completion list may take the first press).
constexpr const char* kTypeAndEnter = R"sh(
id=$(timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
[ -n "$id" ] || exit 2
xdotool windowfocus --sync "$id"; sleep 0.5
if [ "$2" = --paste ]; then xdotool key ctrl+v; else xdotool type --delay 40 "$2"; fi
for attempt in 1 2 3 4 5; do
  sleep 0.5; xdotool key Return; sleep 0.5
  xdotool search --onlyvisible --name "^$1\$" >/dev/null || exit 0
done
exit 1
)sh";

class RealDialog : public ::testing::Test {
 protected:
  // Types `text` into the dialog titled `title` that `show` opens, and presses Enter.
  static ::testing::AssertionResult TypeInto(const QString& title, const QString& text,
                                             const std::function<void()>& show) {
    // A test that goes wrong closes the dialog instead of waiting for ever.
    QTimer watchdog;
    watchdog.callOnTimeout([] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    watchdog.start(60000);
    QProcess user;
    user.start("bash", {"-c", kTypeAndEnter, "user", title, text});
    show();
    if (user.waitForFinished(40000) && user.exitCode() == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "xdotool did not close the dialog";
  }

  // Nothing of the dialogs stays in the user's config folder.
  void TearDown() override {
    std::vector<std::string> written;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(::getenv("XDG_CONFIG_HOME")))
      written.push_back(entry.path().string());
    EXPECT_EQ(written, std::vector<std::string>{});
  }
};

TEST_F(RealDialog, TypedNameAndEnterChooseTheFile) {
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

  QString filename, title;
  bool chosen = false;
  EXPECT_TRUE(
      TypeInto("Tamso open test", "chosen.avi", [&] { chosen = dlg.VBGetOpenFileName(filename, title); }));
  ASSERT_TRUE(chosen);
  EXPECT_EQ(std::tuple(filename, title, dlg.FilterIndex(), dlg.Filter(), dlg.Flags(), dlg.InitDirectory()),
            std::tuple(Q(clip), QString("chosen.avi"), 1, QString("AVI files") + QChar(u'\0') + "*.avi",
                       0x1004, Q(clip) + QString(1024 - clip.size(), QChar(u'\0'))));
}

// A path of some 200 Cyrillic and CJK characters (over 500 bytes) fits Browse's buffer
// of 255 characters and reaches the title label and the report whole. A name that is not
// UTF-8 shows U+FFFD for its odd bytes, and the report is still the file's. The user
// pastes the path: xdotool types characters beyond the keyboard's map through a spare
// key whose meaning it changes for each one, and the dialog may read a key before its
// new meaning.
TEST_F(RealDialog, BrowseReportsAPathOfCyrillicAndCjkCharactersOrOfBytesThatAreNotUtf8) {
  tamso::test::TempDir dir;
  const QString folder = QString::fromUtf8("Видеозаписи из отпуска ").repeated(5).trimmed();
  const QString name = QString::fromUtf8("夏の思い出と海辺の町").repeated(8) + ".avi";
  std::filesystem::create_directory(dir.file(folder.toStdString()));
  tamso::test::AviLayout layout;
  layout.streams[0].handler = "XVID";
  layout.framesPerForm = {400};
  const std::string path = dir.write((folder + "/" + name).toStdString(), tamso::test::BuildAvi(layout));
  ASSERT_GT(Q(path).size(), 200);
  const std::string latin1 = dir.write("caf\xE9.avi", tamso::test::BuildAvi(layout));

  frmTamso form;
  form.show();
  for (const std::string& file : {path, latin1}) {
    const QString shown = QFile::decodeName(QByteArray::fromStdString(file));
    QGuiApplication::clipboard()->setText(shown);
    EXPECT_TRUE(TypeInto("Select an avi file...", "--paste", [&] { form.cmdInfos->click(); }));
    EXPECT_EQ(form.lblTitle->caption().toStdString(), shown.toStdString());
    EXPECT_EQ(form.lblResults->caption().toStdString(),
              "Resolution: 320x240 Number of streams: 1\r\nRate:25 Length:400\r\nVideo codec used: "
              "XVID\r\nInfos: " +
                  tamso::GetCodecInfo("XVID"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const tamso::testing::ScratchFolder home;
  ::setenv("HOME", home.str().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", home.folder(".config").c_str(), 1);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
