#pragma once
// Runs a file dialog for a record: the installed handler or the Qt dialog, then the
// write-back. The open, save and preview dialogs all go through here.

#include <functional>

#include "platform/comdlg32/commdlg.h"
#include "platform/comdlg32/file_dialog_seam.h"

class QFileDialog;
class QWidget;

namespace tamso {

// Makes a pane for the Qt dialog (it is put beside the file list and owned by the dialog).
using SidePaneFactory = std::function<QWidget*(QFileDialog& dialog)>;

// The body of GetOpenFileNameA and its kin; `sidePane` is used by the Qt dialog only.
BOOL RunFileDialog(LPOPENFILENAMEA ofn, FileDialogKind kind, const SidePaneFactory& sidePane = {});

}  // namespace tamso
