#include <gtest/gtest.h>

#include <QCheckBox>

#include "platform/comdlg32/commdlg.h"
#include "platform/comdlg32/qt_file_dialog.h"
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
  request.filters = {{"AVI files", "*.avi;*.divx"}, {"All files", "*.*"}};
  request.selectedFilter = 1;
  request.initialDirectory = dir.str();
  request.flags = OFN_FILEMUSTEXIST;
  QtFileDialog open(request, nullptr);
  QFileDialog& d = open.dialog();
  EXPECT_EQ(d.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(d.nameFilters(), QStringList({"AVI files (*.avi *.divx)", "All files (*)"}));
  EXPECT_EQ(d.selectedNameFilter(), "All files") << "the patterns are not shown";
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
  EXPECT_FALSE(withBox.answer(false).confirmed) << "closed without a choice";

  request.flags = OFN_ALLOWMULTISELECT;
  EXPECT_EQ(QtFileDialog(request, nullptr).dialog().fileMode(), QFileDialog::ExistingFiles);
  request.kind = FileDialogKind::Save;
  request.flags = 0;
  request.defaultExtension = "avi";
  QtFileDialog save(request, nullptr);
  EXPECT_EQ(save.dialog().acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(save.dialog().testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(save.dialog().defaultSuffix(), "avi");
  request.flags = OFN_OVERWRITEPROMPT;
  EXPECT_FALSE(QtFileDialog(request, nullptr).dialog().testOption(QFileDialog::DontConfirmOverwrite));
}

}  // namespace
}  // namespace tamso
