#pragma once
// msvfw32: the open dialog with a preview pane.
//
// GetOpenFileNamePreviewA takes the same record and follows the same rules as
// GetOpenFileNameA (platform/comdlg32/commdlg.h). Beside the file list it shows a pane
// that describes the file under the cursor; the describer is installable (see
// preview_pane.h). The seam of platform/comdlg32/file_dialog_seam.h answers it too, with
// FileDialogKind::OpenPreview in the request.

#include "platform/comdlg32/commdlg.h"

BOOL GetOpenFileNamePreviewA(LPOPENFILENAMEA ofn);
