#pragma once
// Between the dialog record and what the dialog shows and answers; no display needed.

#include <string>
#include <variant>
#include <vector>

#include "platform/comdlg32/commdlg.h"
#include "platform/comdlg32/file_dialog_seam.h"

namespace tamso {

// The entries of a filter list. An entry with an empty description or pattern ends it,
// so a list is never read past its closing NUL.
std::vector<FileFilter> ParseFilterList(const char* list);

// What the dialog for `ofn` shows, or the CommDlgExtendedError code when the record
// cannot be shown (bad size, no file buffer). Whether the owner is a window is the
// caller's business.
std::variant<FileDialogRequest, DWORD> ReadFileDialogRequest(const OPENFILENAMEA& ofn, FileDialogKind kind);

// Writes a confirmed answer into `ofn` and returns 0, or returns the CommDlgExtendedError
// code of a choice that cannot be returned (see GetOpenFileNameA), changing nothing but
// the needed size in lpstrFile's first two bytes for FNERR_BUFFERTOOSMALL.
DWORD WriteFileDialogAnswer(OPENFILENAMEA& ofn, const FileDialogRequest& request,
                            const FileDialogAnswer& answer);

}  // namespace tamso
