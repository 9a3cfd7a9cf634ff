#pragma once
// The seam of the file dialogs: a test installs a handler that answers every open, save
// and preview dialog in place of a person, and no window shows.
//
//   tamso::ScopedFileDialogHandler answer([](const tamso::FileDialogRequest& request) {
//     EXPECT_EQ(request.title, "Select an avi file...");
//     return tamso::ChooseFiles({"/data/clip.avi"});   // or tamso::CancelDialog()
//   });
//   // GetOpenFileNameA now returns non-zero with "/data/clip.avi" in lpstrFile.
//
// The answer is what the user did in the dialog; the dialog call then does what it does
// after a real dialog: a relative name is taken in request.initialDirectory, the default
// extension is appended to a name without one, OFN_FILEMUSTEXIST and OFN_PATHMUSTEXIST
// are checked (a breach fails the call), and the buffers and fields are written back.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/comdlg32/commdlg.h"

namespace tamso {

enum class FileDialogKind { Open, Save, OpenPreview };

struct FileFilter {
  std::string description;
  std::string pattern;  // one pattern or several separated by ";"
};

// What the dialog shows, read from the record.
struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  HWND owner = 0;
  std::string title;  // the caption shown: lpstrTitle, or "Open" / "Save As"
  std::vector<FileFilter> filters;
  int selectedFilter = -1;       // 0-based entry of `filters` shown first; -1 with none
  std::string initialDirectory;  // the folder the dialog opens in
  std::string initialName;       // the name in the name box (spaces around it dropped)
  std::string defaultExtension;  // without a leading "."
  DWORD flags = 0;               // the record's Flags
  bool readOnlyBoxShown = false;
  bool readOnlyBoxChecked = false;
  DWORD maxFile = 0;                      // the characters lpstrFile holds, NUL included
  DWORD maxFileTitle = 0;                 // the same for lpstrFileTitle; 0 without one
  const OPENFILENAMEA* record = nullptr;  // the record itself, as the caller filled it
};

// What the user did.
struct FileDialogAnswer {
  bool confirmed = false;          // false: Cancel or the window closed
  std::vector<std::string> files;  // the chosen files, full paths or names in the folder
  // The 1-based filter entry left selected; unset: the one shown first. It reaches
  // nFilterIndex as it stands.
  std::optional<DWORD> filterIndex;
  std::optional<bool> readOnly;  // the read-only box when closed; unset: as it was shown
};

// A confirmed answer: `files` chosen, with the filter entry and read-only box as given.
inline FileDialogAnswer ChooseFiles(std::vector<std::string> files,
                                    std::optional<DWORD> filterIndex = std::nullopt,
                                    std::optional<bool> readOnly = std::nullopt) {
  FileDialogAnswer answer;
  answer.confirmed = true;
  answer.files = std::move(files);
  answer.filterIndex = filterIndex;
  answer.readOnly = readOnly;
  return answer;
}

// The user pressed Cancel.
inline FileDialogAnswer CancelDialog() { return {}; }

using FileDialogHandler = std::function<FileDialogAnswer(const FileDialogRequest&)>;

// Installs `handler` for all file dialogs of the process and returns the one it replaces.
// An empty handler brings back the real dialogs.
FileDialogHandler InstallFileDialogHandler(FileDialogHandler handler);

// Installs a handler for the life of the object, then puts the previous one back.
class ScopedFileDialogHandler {
 public:
  explicit ScopedFileDialogHandler(FileDialogHandler handler)
      : previous_(InstallFileDialogHandler(std::move(handler))) {}
  ~ScopedFileDialogHandler() { InstallFileDialogHandler(std::move(previous_)); }
  ScopedFileDialogHandler(const ScopedFileDialogHandler&) = delete;
  ScopedFileDialogHandler& operator=(const ScopedFileDialogHandler&) = delete;

 private:
  FileDialogHandler previous_;
};

}  // namespace tamso
