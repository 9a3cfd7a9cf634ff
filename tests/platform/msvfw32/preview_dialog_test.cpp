#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <stdexcept>

#include "platform/msvfw32/msvfw32.h"
#include "platform/msvfw32/preview_pane.h"
#include "platform/user32/qt_window_handles.h"
#include "tests/dialogs/dialog_test_support.h"

namespace tamso {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Installs a describer for one test.
class ScopedDescriber {
 public:
  explicit ScopedDescriber(PreviewDescriber d) : previous_(InstallPreviewDescriber(std::move(d))) {}
  ~ScopedDescriber() { InstallPreviewDescriber(std::move(previous_)); }

 private:
  PreviewDescriber previous_;
};

TEST(PreviewText, NameAndSizeUnlessADescriberSpeaks) {
  testing::ScratchFolder dir;
  const QString clip = Q(dir.file("clip.avi", std::string(1234, 'x')));
  EXPECT_EQ(DescribeForPreview(clip), "clip.avi\r\nSize: 1234 bytes");
  EXPECT_EQ(DefaultPreviewText(Q(dir.str())), "") << "a folder";
  ScopedDescriber report([](const QString& path) { return "Report of " + path; });
  EXPECT_EQ(DescribeForPreview(clip), "Report of " + clip);
  ScopedDescriber failing([](const QString&) -> QString { throw std::runtime_error("unreadable"); });
  EXPECT_EQ(DescribeForPreview(clip), "clip.avi\r\nSize: 1234 bytes") << "a failing describer falls back";
}

TEST(PreviewDialog, PaneBesideTheListDescribesTheCurrentFileInADialogModalToItsOwner) {
  testing::ScratchFolder dir;
  const std::string clip = dir.file("clip.avi", "0123456789");
  ScopedDescriber report([](const QString& path) { return "AVI report for " + path; });
  std::string file(AnsiBufferBytes(256), '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  QWidget owner;
  owner.show();
  ofn.hwndOwner = HwndForWidget(&owner);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = 256;
  ofn.lpstrInitialDir = dir.path().c_str();
  ofn.Flags = OFN_FILEMUSTEXIST;

  QString shown;
  bool paneVisible = false, modalToOwner = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    poll.stop();
    modalToOwner = dialog->parentWidget() == &owner && dialog->windowModality() == Qt::WindowModal;
    if (auto* pane = dialog->findChild<PreviewPane*>()) {
      paneVisible = pane->isVisible();
      emit dialog->currentChanged(Q(clip));  // the user moves onto the file
      shown = pane->text();
    }
    dialog->selectFile("clip.avi");
    static_cast<QDialog*>(dialog)->accept();
  });
  poll.start(10);
  ASSERT_TRUE(GetOpenFileNamePreviewA(&ofn));
  EXPECT_TRUE(paneVisible && modalToOwner);
  EXPECT_EQ(shown, "AVI report for " + Q(clip));
  EXPECT_EQ(std::string(file.c_str()), clip);
}

}  // namespace
}  // namespace tamso
