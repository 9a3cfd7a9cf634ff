#pragma once
// cFileDlg: settings for the open, open-with-preview and save dialogs, the dialogs
// themselves with their results written back into the settings, and two file-name
// services.
//
// Settings are stored as given (no range checks, no trimming). A confirmed dialog
// rewrites Flags, FilterIndex, Filter (to the entry left selected), InitDirectory (to the
// whole returned file buffer) and, for the open dialogs, sets ReadOnly when the read-only
// box came back ticked. A cancelled dialog sets Flags to 0, Filter to one NUL and
// FilterIndex to -1 (open) or 0 (save).

#include <QString>

#include "platform/runtime/win_types.h"

class cFileDlg {
 public:
  // OwnerHwnd -1 (none), FileMustExist, HideReadOnly and OverwritePrompt true, DlgTitle
  // the application's title, InitDirectory the user's documents folder (or empty).
  cFileDlg();

  // The dialogs' owner window; -1 for none.
  LONG OwnerHwnd() const { return m_lOwnerHwnd; }
  void setOwnerHwnd(LONG vHwnd) { m_lOwnerHwnd = vHwnd; }

  // The open dialogs accept only existing files.
  bool FileMustExist() const { return m_bFileMustExist; }
  void setFileMustExist(bool vNewValue) { m_bFileMustExist = vNewValue; }

  // The open dialogs let the user choose several files.
  bool MultiSelect() const { return m_bMultiSelect; }
  void setMultiSelect(bool vNewValue) { m_bMultiSelect = vNewValue; }

  // The read-only box; once an open dialog returned it ticked, true for good.
  bool ReadOnly() const { return m_bReadOnly; }

  // The open dialogs hide their read-only box (the save dialog always hides it).
  bool HideReadOnly() const { return m_bHideReadOnly; }
  void setHideReadOnly(bool vNewValue) { m_bHideReadOnly = vNewValue; }

  // The filter text: "description|pattern|description|pattern", ":" serving as "|".
  QString Filter() const { return m_sFilter; }
  void setFilter(const QString& vFilterString) { m_sFilter = vFilterString; }

  // The 1-based filter entry shown first.
  LONG FilterIndex() const { return m_lFilterIndex; }
  void setFilterIndex(LONG vIndex) { m_lFilterIndex = vIndex; }

  // The folder the dialogs open in.
  QString InitDirectory() const { return m_sInitDirectory; }
  void setInitDirectory(const QString& DirPath) { m_sInitDirectory = DirPath; }

  // Sets InitDirectory to the shell's special folder `SpecialDirectory` (a CSIDL id), or
  // to the empty text when that folder has no directory.
  void setInitDirectorySpecial(LONG SpecialDirectory);

  // The dialogs' caption.
  QString DlgTitle() const { return m_sDlgTitle; }
  void setDlgTitle(const QString& title) { m_sDlgTitle = title; }

  // The extension appended to a name typed without one.
  QString DefaultExt() const { return m_sDefaultExt; }
  void setDefaultExt(const QString& fileExt) { m_sDefaultExt = fileExt; }

  // Further OFN_* bits for the dialogs (hook and template bits are never passed on).
  LONG Flags() const { return m_lFlags; }
  void setFlags(LONG vFlags) { m_lFlags = vFlags; }

  // The save dialog asks before replacing an existing file.
  bool OverwritePrompt() const { return m_bOverwritePrompt; }
  void setOverwritePrompt(bool vShowPrompt) { m_bOverwritePrompt = vShowPrompt; }

  // The dialogs. `filename` is the name shown first and `FileTitle` fills the title
  // buffer; on return they hold the chosen path and the chosen file's name (one NUL
  // each after a cancel). True when the user confirmed a choice.
  // Throws tamso::Error 6 (overflow) for a Filter longer than 32766 characters, and 5
  // (invalid argument) for a filename longer than 1024 or a FileTitle longer than 512
  // characters, before any dialog shows and with nothing changed.
  bool VBGetOpenFileName(QString& filename, QString& FileTitle);
  bool VBGetOpenFileNamePreview(QString& filename, QString& FileTitle);
  bool VBGetSaveFileName(QString& filename, QString& FileTitle);

  // True when the file system gives a length for `sSpec` (an existing file).
  bool ExistFile(const QString& sSpec) const;

  // The title under which `sFile` is shown (its last path component); empty for a name
  // the system rejects.
  QString VBGetFileTitle(const QString& sFile) const;

 private:
  enum class DialogKind { Open, OpenPreview, Save };

  bool ShowDialog(DialogKind kind, QString& filename, QString& FileTitle);
  DWORD ComposedFlags(DialogKind kind) const;
  QString GetSpecialFolderPath(LONG lFolderId) const;
  static QString GetFilterEntry(const QString& sList, LONG lIndex);

  bool m_bFileMustExist = true;
  bool m_bMultiSelect = false;
  bool m_bReadOnly = false;
  bool m_bHideReadOnly = true;
  QString m_sFilter;
  LONG m_lFilterIndex = 0;
  QString m_sInitDirectory;
  QString m_sDlgTitle;
  QString m_sDefaultExt;
  LONG m_lFlags = 0;
  bool m_bOverwritePrompt = true;
  LONG m_lOwnerHwnd = -1;
};
