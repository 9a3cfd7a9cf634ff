#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/msvfw32/msvfw32.h"
#include "platform/msvfw32/preview_pane.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/dialogs/real_dialog.h"

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
  QWidget owner;
  owner.show();
  QString shown;
  bool paneVisible = false, modalToOwner = false;
  const auto user = [&](QFileDialog& dialog) {
    modalToOwner = dialog.parentWidget() == &owner && dialog.windowModality() == Qt::WindowModal;
    if (auto* pane = dialog.findChild<PreviewPane*>()) {
      paneVisible = pane->isVisible();
      emit dialog.currentChanged(Q(clip));  // the user moves onto the file
      shown = pane->text();
    }
    dialog.selectFile("clip.avi");
    static_cast<QDialog&>(dialog).accept();
  };
  EXPECT_EQ(testing::OpenWithUser(GetOpenFileNamePreviewA, dir.str(), 256, &owner, user, OFN_FILEMUSTEXIST),
            clip);
  EXPECT_TRUE(paneVisible && modalToOwner);
  EXPECT_EQ(shown, "AVI report for " + Q(clip));
}

}  // namespace
}  // namespace tamso
