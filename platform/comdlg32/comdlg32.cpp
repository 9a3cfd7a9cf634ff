#include <QApplication>
#include <variant>

#include "platform/comdlg32/commdlg.h"
#include "platform/comdlg32/file_dialog_record.h"
#include "platform/comdlg32/file_dialog_runner.h"
#include "platform/comdlg32/qt_file_dialog.h"
#include "platform/user32/qt_window_handles.h"
#include "platform/user32/window_table.h"

namespace tamso {

namespace {

// The code CommDlgExtendedError reports, per thread as on the platform.
thread_local DWORD lastDialogError = 0;

FileDialogHandler& InstalledHandler() {
  static FileDialogHandler handler;
  return handler;
}

BOOL Fail(DWORD code) {
  lastDialogError = code;
  return FALSE;
}

}  // namespace

FileDialogHandler InstallFileDialogHandler(FileDialogHandler handler) {
  std::swap(InstalledHandler(), handler);
  return handler;
}

BOOL RunFileDialog(LPOPENFILENAMEA ofn, FileDialogKind kind, const SidePaneFactory& sidePane) {
  lastDialogError = 0;
  if (!ofn) return Fail(CDERR_INITIALIZATION);
  auto read = ReadFileDialogRequest(*ofn, kind);
  if (const DWORD* code = std::get_if<DWORD>(&read)) return Fail(*code);
  const FileDialogRequest& request = std::get<FileDialogRequest>(read);
  if (request.owner != 0 && !IsWindow(request.owner)) return Fail(CDERR_DIALOGFAILURE);

  FileDialogAnswer answer;
  if (const FileDialogHandler handler = InstalledHandler()) {
    answer = handler(request);
  } else {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return Fail(CDERR_INITIALIZATION);
    QWidget* owner = WidgetForHwnd(request.owner);
    QtFileDialog dialog(request, owner ? owner->window() : nullptr);
    if (sidePane) dialog.addSidePane(sidePane(dialog.dialog()));
    answer = dialog.run();
  }
  if (!answer.confirmed) return FALSE;
  if (const DWORD code = WriteFileDialogAnswer(*ofn, request, answer)) return Fail(code);
  return TRUE;
}

}  // namespace tamso

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn) { return tamso::RunFileDialog(ofn, tamso::FileDialogKind::Open); }

BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn) { return tamso::RunFileDialog(ofn, tamso::FileDialogKind::Save); }

DWORD CommDlgExtendedError() { return tamso::lastDialogError; }
