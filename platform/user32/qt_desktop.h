#pragma once
// Puts the message box and clipboard calls on Qt: boxes become QMessageBox dialogs and
// bitmaps go to QClipboard. The program calls both once its QApplication exists; tests
// may install their own handlers instead (message_box.h, clipboard.h).

namespace tamso {

void InstallQtMessageBoxes();
void InstallQtClipboard();

}  // namespace tamso
