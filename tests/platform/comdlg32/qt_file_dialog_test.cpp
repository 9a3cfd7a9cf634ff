#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <functional>

#include "platform/comdlg32/commdlg.h"
#include "platform/comdlg32/qt_file_dialog.h"
#include "platform/user32/qt_window_handles.h"
#include "tests/dialogs/dialog_test_support.h"

namespace tamso {
namespace {

FileDialogRequest OpenRequest(const std::string& folder) {
  FileDialogRequest request;
  request.title = "Pick a clip";
  request.filters = {{"AVI files", "*.avi;*.divx"}, {"All files", "*.*"}};
  request.selectedFilter = 1;
  request.initialDirectory = folder;
  request.flags = OFN_FILEMUSTEXIST;
  return request;
}

TEST(QtNameFilter, PatternsAreSpaceSeparatedAndStarDotStarMatchesAll) {
  EXPECT_EQ(QtNameFilter({"AVI files", "*.avi;*.divx"}), "AVI files (*.avi *.divx)");
  EXPECT_EQ(QtNameFilter({"All files", "*.*"}), "All files (*)");
  EXPECT_EQ(QtNameFilter({"AVI File (*.avi)", " *.avi ; "}), "AVI File (*.avi) (*.avi)");
}

TEST(QtFileDialog, SetUpFromTheRequest) {
  testing::ScratchFolder dir;
  QtFileDialog open(OpenRequest(dir.str()), nullptr);
  QFileDialog& d = open.dialog();
  EXPECT_TRUE(d.testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_EQ(d.windowTitle(), "Pick a clip");
  EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(d.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(d.nameFilters(), QStringList({"AVI files (*.avi *.divx)", "All files (*)"}));
  EXPECT_EQ(d.selectedNameFilter(), "All files");  // the patterns are not shown
  EXPECT_EQ(d.directory().absolutePath(), QString::fromStdString(dir.str()));
  EXPECT_EQ(d.windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(open.readOnlyBox(), nullptr);

  FileDialogRequest request = OpenRequest(dir.str());
  request.flags = 0;
  request.readOnlyBoxShown = true;
  request.readOnlyBoxChecked = true;
  QtFileDialog any(request, nullptr);
  EXPECT_EQ(any.dialog().fileMode(), QFileDialog::AnyFile);
  ASSERT_NE(any.readOnlyBox(), nullptr);
  EXPECT_TRUE(any.readOnlyBox()->isChecked());

  request.flags = OFN_ALLOWMULTISELECT;
  EXPECT_EQ(QtFileDialog(request, nullptr).dialog().fileMode(), QFileDialog::ExistingFiles);

  request.kind = FileDialogKind::Save;
  request.defaultExtension = "avi";
  QtFileDialog save(request, nullptr);
  EXPECT_EQ(save.dialog().acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(save.dialog().fileMode(), QFileDialog::AnyFile);
  EXPECT_TRUE(save.dialog().testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(save.dialog().defaultSuffix(), "avi");
  request.flags = OFN_OVERWRITEPROMPT;
  EXPECT_FALSE(QtFileDialog(request, nullptr).dialog().testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(QtFileDialog, AnswerIsWhatTheDialogHolds) {
  testing::ScratchFolder dir;
  const std::string clip = dir.file("clip.avi");
  FileDialogRequest request = OpenRequest(dir.str());
  request.readOnlyBoxShown = true;
  QtFileDialog open(request, nullptr);
  open.dialog().selectFile("clip.avi");
  open.dialog().selectNameFilter("AVI files (*.avi *.divx)");
  open.readOnlyBox()->setChecked(true);

  const FileDialogAnswer answer = open.answer(true);
  EXPECT_TRUE(answer.confirmed);
  EXPECT_EQ(answer.files, std::vector<std::string>{clip});
  EXPECT_EQ(answer.filterIndex, 1u);
  EXPECT_EQ(answer.readOnly, true);
  EXPECT_FALSE(open.answer(false).confirmed);
}

// Runs `act` on the modal dialog once it shows.
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
  std::string file(256, '\0'), title(64, '\0');
  const std::string filter = std::string("AVI files\0*.avi\0\0", 17);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = HwndForWidget(&owner);
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = 256;
  ofn.lpstrFileTitle = title.data();
  ofn.nMaxFileTitle = 64;
  ofn.lpstrInitialDir = dir.path().c_str();
  ofn.lpstrTitle = "Real dialog";
  ofn.Flags = OFN_FILEMUSTEXIST;

  QWidget* parentSeen = nullptr;
  Qt::WindowModality modality = Qt::NonModal;
  WhenDialogShows([&](QFileDialog& dialog) {
    parentSeen = dialog.parentWidget();
    modality = dialog.windowModality();
    EXPECT_EQ(dialog.windowTitle(), "Real dialog");
    dialog.selectFile("clip.avi");
    static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept, as OK does
  });
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(parentSeen, &owner);
  EXPECT_EQ(modality, Qt::WindowModal);
  EXPECT_EQ(std::string(file.c_str()), clip);
  EXPECT_EQ(std::string(title.c_str()), "clip.avi");
  EXPECT_EQ(ofn.nFilterIndex, 1u);

  WhenDialogShows([](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

}  // namespace
}  // namespace tamso
