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

// Whether a confirmed answer can be written back into the record.
struct AnswerCheck {
  DWORD error = 0;  // 0, FNERR_INVALIDFILENAME or FNERR_BUFFERTOOSMALL (see GetOpenFileNameA)
  // For FNERR_BUFFERTOOSMALL: the characters (NUL included) the answer needs in the buffer
  // that is too small, the characters that buffer holds, and whether it is the title's.
  std::size_t needed = 0;
  std::size_t room = 0;
  bool titleBuffer = false;
};
AnswerCheck CheckFileDialogAnswer(const FileDialogRequest& request, const FileDialogAnswer& answer);

// Writes a confirmed answer into `ofn` and returns 0, or returns the CommDlgExtendedError
// code of a choice that cannot be returned (see GetOpenFileNameA), changing nothing but
// the needed size in lpstrFile's first two bytes for FNERR_BUFFERTOOSMALL.
DWORD WriteFileDialogAnswer(OPENFILENAMEA& ofn, const FileDialogRequest& request,
                            const FileDialogAnswer& answer);

}  // namespace tamso
