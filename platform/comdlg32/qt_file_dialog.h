#pragma once
// The Qt side of the file dialogs: a QFileDialog of Qt's own (never the desktop's native
// one) set up from a request, with a read-only box and an optional pane beside the list.

#include <QFileDialog>
#include <QPointer>

#include "platform/comdlg32/file_dialog_seam.h"

class QCheckBox;

namespace tamso {

class QtFileDialog {
 public:
  // A dialog for `request`, modal to `parent` (application-modal when null). The parent
  // owns the dialog while both live: a parent that goes first takes the dialog with it,
  // and run() then answers Cancel.
  QtFileDialog(const FileDialogRequest& request, QWidget* parent);
  ~QtFileDialog();
  QtFileDialog(const QtFileDialog&) = delete;
  QtFileDialog& operator=(const QtFileDialog&) = delete;

  QFileDialog& dialog() { return *dialog_; }
  // The read-only box; null when the request hides it.
  QCheckBox* readOnlyBox() const { return readOnlyBox_; }
  // Puts `pane` to the right of the file list; the dialog takes it over.
  void addSidePane(QWidget* pane);

  // Shows the dialog until the user closes it. A choice too long for the record's
  // buffers does not close it: a message box says so and the user chooses again.
  FileDialogAnswer run();
  // The answer for the dialog's state now, closed with OK (`confirmed`) or Cancel.
  FileDialogAnswer answer(bool confirmed) const;

 private:
  // True (after telling the user) when the dialog's choice cannot be returned.
  bool refusesChoice() const;

  FileDialogRequest request_;
  QStringList nameFilters_;   // as given to Qt: "description (patterns)"
  QStringList shownFilters_;  // as Qt shows and reports them: the descriptions
  QPointer<QFileDialog> dialog_;
  QCheckBox* readOnlyBox_ = nullptr;  // owned by the dialog
};

// The name filter Qt shows for an entry: "description (patterns)", the patterns
// separated by spaces, "*.*" written "*" (a name without a "." matches it too).
QString QtNameFilter(const FileFilter& filter);

}  // namespace tamso
