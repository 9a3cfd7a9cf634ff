#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QTimer>

#include "platform/comdlg32/commdlg.h"
#include "platform/comdlg32/qt_file_dialog.h"
#include "platform/user32/qt_window_handles.h"
#include "tests/dialogs/dialog_test_support.h"

namespace tamso {
namespace {

TEST(QtFileDialog, SetUpFromTheRequestAndAnsweringWhatItHolds) {
  EXPECT_EQ(QtNameFilter({"AVI files", "*.avi;*.divx"}), "AVI files (*.avi *.divx)");
  EXPECT_EQ(QtNameFilter({"All files", "*.*"}), "All files (*)");
  EXPECT_EQ(QtNameFilter({"AVI File (*.avi)", " *.avi ; "}), "AVI File (*.avi) (*.avi)");

  testing::ScratchFolder dir;
  const std::string clip = dir.file("clip.avi");
  FileDialogRequest request;
  request.title = "Pick a clip";
  request.filters = {{"AVI files", "*.avi;*.divx"}, {"All files", "*.*"}};
  request.selectedFilter = 1;
  request.initialDirectory = dir.str();
  request.flags = OFN_FILEMUSTEXIST;
  QtFileDialog open(request, nullptr);
  QFileDialog& d = open.dialog();
  EXPECT_TRUE(d.testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_EQ(d.windowTitle(), "Pick a clip");
  EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(d.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(d.nameFilters(), QStringList({"AVI files (*.avi *.divx)", "All files (*)"}));
  EXPECT_EQ(d.selectedNameFilter(), "All files") << "the patterns are not shown";
  EXPECT_EQ(d.directory().absolutePath(), QString::fromStdString(dir.str()));
  EXPECT_EQ(open.readOnlyBox(), nullptr);

  // What the user left in the dialog is the answer.
  request.readOnlyBoxShown = true;
  QtFileDialog withBox(request, nullptr);
  withBox.dialog().selectFile("clip.avi");
  withBox.dialog().selectNameFilter("AVI files (*.avi *.divx)");
  withBox.readOnlyBox()->setChecked(true);
  const FileDialogAnswer answer = withBox.answer(true);
  EXPECT_TRUE(answer.confirmed);
  EXPECT_EQ(answer.files, std::vector<std::string>{clip});
  EXPECT_EQ(answer.filterIndex, 1u);
  EXPECT_EQ(answer.readOnly, true);
  EXPECT_FALSE(withBox.answer(false).confirmed);

  request.flags = OFN_ALLOWMULTISELECT;
  EXPECT_EQ(QtFileDialog(request, nullptr).dialog().fileMode(), QFileDialog::ExistingFiles);
  request.flags = 0;
  EXPECT_EQ(QtFileDialog(request, nullptr).dialog().fileMode(), QFileDialog::AnyFile);
  request.kind = FileDialogKind::Save;
  request.defaultExtension = "avi";
  QtFileDialog save(request, nullptr);
  EXPECT_EQ(save.dialog().acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(save.dialog().testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(save.dialog().defaultSuffix(), "avi");
  request.flags = OFN_OVERWRITEPROMPT;
  EXPECT_FALSE(QtFileDialog(request, nullptr).dialog().testOption(QFileDialog::DontConfirmOverwrite));
}

// Runs `act` on the modal file dialog once it shows.
void WhenDialogShows(std::function<void(QFileDialog&)> act) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      timer->deleteLater();
      act(*dialog);
    }
  });
  timer->start(10);
}

TEST(QtFileDialog, RealDialogIsModalToItsOwnerAndItsChoiceWrittenBack) {
  testing::ScratchFolder dir;
  const std::string clip = dir.file("clip.avi", "data");
  QWidget owner;
  owner.show();
  std::string file(256, '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = HwndForWidget(&owner);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = 256;
  ofn.lpstrInitialDir = dir.path().c_str();
  ofn.Flags = OFN_FILEMUSTEXIST;

  QWidget* parentSeen = nullptr;
  Qt::WindowModality modality = Qt::NonModal;
  WhenDialogShows([&](QFileDialog& dialog) {
    parentSeen = dialog.parentWidget();
    modality = dialog.windowModality();
    dialog.selectFile("clip.avi");
    static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept, as OK does
  });
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(parentSeen, &owner);
  EXPECT_EQ(modality, Qt::WindowModal);
  EXPECT_EQ(std::string(file.c_str()), clip);

  WhenDialogShows([](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

}  // namespace
}  // namespace tamso
