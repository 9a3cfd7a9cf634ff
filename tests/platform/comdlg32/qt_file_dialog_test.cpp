#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <memory>
#include <optional>
#include <tuple>

#include "platform/comdlg32/commdlg.h"
#include "platform/comdlg32/qt_file_dialog.h"
#include "platform/runtime/ansi_text.h"
#include "platform/user32/message_box.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/dialogs/real_dialog.h"

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
  // The selected filter reads without its patterns.
  EXPECT_EQ(std::tuple(d.fileMode(), d.nameFilters(), d.selectedNameFilter(), open.readOnlyBox()),
            std::tuple(QFileDialog::ExistingFile, QStringList({"AVI files (*.avi *.divx)", "All files (*)"}),
                       QString("All files"), nullptr));

  // What the user left in the dialog is the answer.
  request.readOnlyBoxShown = true;
  QtFileDialog withBox(request, nullptr);
  withBox.dialog().selectFile("clip.avi");
  withBox.dialog().selectNameFilter("AVI files (*.avi *.divx)");
  withBox.readOnlyBox()->setChecked(true);
  const FileDialogAnswer answer = withBox.answer(true);
  EXPECT_EQ(std::tuple(answer.confirmed, answer.files, answer.filterIndex, answer.readOnly),
            std::tuple(true, std::vector<std::string>{clip}, std::optional<DWORD>(1), std::optional(true)));
  EXPECT_FALSE(withBox.answer(false).confirmed) << "closed without a choice";

  request.flags = OFN_ALLOWMULTISELECT;
  EXPECT_EQ(QtFileDialog(request, nullptr).dialog().fileMode(), QFileDialog::ExistingFiles);
  request.kind = FileDialogKind::Save;
  request.flags = 0;
  request.defaultExtension = "avi";
  QtFileDialog save(request, nullptr);
  EXPECT_EQ(
      std::tuple(save.dialog().acceptMode(), save.dialog().testOption(QFileDialog::DontConfirmOverwrite),
                 save.dialog().defaultSuffix()),
      std::tuple(QFileDialog::AcceptSave, true, QString("avi")));
  request.flags = OFN_OVERWRITEPROMPT;
  EXPECT_FALSE(QtFileDialog(request, nullptr).dialog().testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(QtFileDialog, AChoiceTooLongForTheBufferIsRefusedWithAWordWhyAndTheDialogStaysOpen) {
  testing::ScratchFolder dir;
  std::string letters;
  for (int i = 0; i < 30; ++i) letters += "\u6587";
  const std::string clip = dir.file("clip.avi"), tooLong = dir.file(letters + ".avi");
  std::vector<std::string> boxes;
  ScopedMessageBoxHandler recordBoxes([&](HWND, const std::string& text, const std::string&, UINT type) {
    boxes.push_back(text + "|" + std::to_string(type));
    return 1;
  });
  const auto maxFile = static_cast<DWORD>(clip.size() + 11);
  bool stayedOpen = false;
  const std::string chosen =
      testing::OpenWithUser(GetOpenFileNameA, dir.str(), maxFile, nullptr, [&](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(letters + ".avi"));
        static_cast<QDialog&>(dialog).accept();
        stayedOpen = dialog.isVisible();
        dialog.selectFile("clip.avi");
        static_cast<QDialog&>(dialog).accept();
      });
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(chosen, clip);
  EXPECT_EQ(boxes, std::vector<std::string>{
                       "This file's path is too long: it has " + std::to_string(AnsiCharCount(tooLong)) +
                       " characters, and this program takes at most " + std::to_string(maxFile - 1) +
                       ".\r\nChoose a file with a shorter name, or one in a folder "
                       "nearer the top.|48"});
}

// The dialog shows a byte that is not UTF-8 as U+FFFD, one character of the buffer; the
// choice comes back as the bytes that name the file.
TEST(QtFileDialog, AFileWhoseNameIsNotUtf8ComesBackAsItsBytesOnDisk) {
  testing::ScratchFolder dir;
  const std::string latin1 = dir.file("\xC9t\xE9/caf\xE9.avi");
  dir.file("\xC9t\xE9/caf\xC3\xA9.avi");
  const QString shown = QFile::decodeName(QByteArray::fromStdString(latin1));
  const auto maxFile = static_cast<DWORD>(shown.size() + 1);
  EXPECT_EQ(testing::OpenWithUser(GetOpenFileNameA, dir.str(), maxFile, nullptr,
                                  [&](QFileDialog& dialog) {
                                    dialog.selectFile(shown);
                                    static_cast<QDialog&>(dialog).accept();
                                  }),
            latin1);
}

TEST(QtFileDialog, AnOwnerThatGoesWhileTheDialogIsOpenEndsItAsCancelled) {
  testing::ScratchFolder dir;
  auto owner = std::make_unique<QWidget>();
  owner->show();
  EXPECT_EQ(testing::OpenWithUser(GetOpenFileNameA, dir.str(), 256, owner.get(),
                                  [&](QFileDialog&) { owner.reset(); }),
            "");
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

}  // namespace
}  // namespace tamso
