#pragma once
// Opens a real file dialog on Qt's offscreen platform and acts on it once it shows, as a
// user would.

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <functional>
#include <string>

#include "platform/comdlg32/commdlg.h"
#include "platform/runtime/ansi_text.h"
#include "platform/user32/qt_window_handles.h"

namespace tamso::testing {

// Calls `show` (GetOpenFileNameA or a call that takes the same record) for a record of
// `maxFile` characters in `folder`, owned by `owner`; `user` acts on the dialog once it
// shows. The chosen path, or "" when none.
inline std::string OpenWithUser(BOOL (*show)(LPOPENFILENAMEA), const std::string& folder, DWORD maxFile,
                                QWidget* owner, const std::function<void(QFileDialog&)>& user,
                                DWORD flags = 0) {
  std::string file(AnsiBufferBytes(maxFile), '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = HwndForWidget(owner);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = maxFile;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.Flags = flags;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      poll.stop();
      user(*dialog);
    }
  });
  poll.start(10);
  return show(&ofn) ? file.c_str() : "";
}

}  // namespace tamso::testing
