#pragma once
// comdlg32: the open and save dialogs and the file-title helper.
//
// OPENFILENAMEA keeps the fields and meanings of the platform's 76-byte record (the form
// without the fields appended after lpTemplateName). Strings are 8-bit text, that is
// UTF-8. Sizes (nMaxFile, nMaxFileTitle, cchSize) count characters as the program counts
// them, UTF-16 units, NUL included, so that a limit means the same for every script; the
// buffer behind a size holds tamso::AnsiBufferBytes(size) bytes (see ansi_text.h).
// Offsets into lpstrFile (nFileOffset, nFileExtension) count bytes.
//
// The dialogs are Qt file dialogs of Qt's own, modal to hwndOwner. A test answers them
// through the seam in file_dialog_seam.h instead of a person.

#include "platform/runtime/ansi_text.h"
#include "platform/runtime/win_types.h"

using UINT_PTR = std::uintptr_t;
using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
  DWORD lStructSize = 0;  // OPENFILENAME_SIZE_VERSION_400A
  HWND hwndOwner = 0;     // the dialog is modal to this window; 0 for none
  HINSTANCE hInstance = 0;
  // Pairs of a description and a pattern ("*.avi" or "*.avi;*.divx"), each ended by a
  // NUL, the list ended by one more NUL.
  const char* lpstrFilter = nullptr;
  char* lpstrCustomFilter = nullptr;  // not supported; left untouched
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;  // 1-based entry shown first; on return, the entry left selected
  // In: the name shown first (up to its NUL). Out: the chosen path, or for several files
  // the directory and the names (see OFN_ALLOWMULTISELECT).
  char* lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  char* lpstrFileTitle = nullptr;  // out: the chosen file's name without its directory
  DWORD nMaxFileTitle = 0;
  const char* lpstrInitialDir = nullptr;
  const char* lpstrTitle = nullptr;   // null or empty: "Open" / "Save As"
  DWORD Flags = 0;                    // OFN_* bits; on return, with the dialog's changes
  WORD nFileOffset = 0;               // out: where the name starts in lpstrFile
  WORD nFileExtension = 0;            // out: where the extension starts (0 when none)
  const char* lpstrDefExt = nullptr;  // appended, after a ".", to a name without extension
  LPARAM lCustData = 0;
  LPOFNHOOKPROC lpfnHook = nullptr;      // not supported: hooks are never called
  const char* lpTemplateName = nullptr;  // not supported
};
using LPOPENFILENAMEA = OPENFILENAMEA*;

inline constexpr DWORD OPENFILENAME_SIZE_VERSION_400A = 76;

inline constexpr DWORD OFN_READONLY = 0x1;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
inline constexpr DWORD OFN_HIDEREADONLY = 0x4;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x8;
inline constexpr DWORD OFN_SHOWHELP = 0x10;
inline constexpr DWORD OFN_ENABLEHOOK = 0x20;
inline constexpr DWORD OFN_ENABLETEMPLATE = 0x40;
inline constexpr DWORD OFN_ENABLETEMPLATEHANDLE = 0x80;
inline constexpr DWORD OFN_NOVALIDATE = 0x100;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x200;
inline constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x400;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x2000;
inline constexpr DWORD OFN_SHAREAWARE = 0x4000;
inline constexpr DWORD OFN_NOREADONLYRETURN = 0x8000;
inline constexpr DWORD OFN_NOTESTFILECREATE = 0x10000;
inline constexpr DWORD OFN_NONETWORKBUTTON = 0x20000;
inline constexpr DWORD OFN_NOLONGNAMES = 0x40000;
inline constexpr DWORD OFN_EXPLORER = 0x80000;
inline constexpr DWORD OFN_NODEREFERENCELINKS = 0x100000;
inline constexpr DWORD OFN_LONGNAMES = 0x200000;
inline constexpr DWORD OFN_ENABLEINCLUDENOTIFY = 0x400000;
inline constexpr DWORD OFN_ENABLESIZING = 0x800000;
inline constexpr DWORD OFN_DONTADDTORECENT = 0x2000000;
inline constexpr DWORD OFN_FORCESHOWHIDDEN = 0x10000000;

// Codes of CommDlgExtendedError.
inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;
inline constexpr DWORD CDERR_DIALOGFAILURE = 0xFFFF;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;
inline constexpr DWORD FNERR_INVALIDFILENAME = 0x3002;

// The open dialog. Non-zero when the user confirmed a choice: lpstrFile then holds the
// path and a NUL (with OFN_ALLOWMULTISELECT and several files: without OFN_EXPLORER the
// directory and the names separated by spaces, a name holding a space in double quotes;
// with it, the directory and the names each ended by a NUL, plus one more NUL).
// lpstrFileTitle (when given) holds the name of the (first) file; Flags has OFN_READONLY
// as the read-only box was left (when the box is shown, that is without
// OFN_HIDEREADONLY) and OFN_EXTENSIONDIFFERENT when the extension is not lpstrDefExt;
// nFilterIndex is the entry left selected (0 when the list has no entries). The filter
// list is not touched.
// Zero when the user cancelled (CommDlgExtendedError 0) or the dialog failed:
//   CDERR_STRUCTSIZE       lStructSize is not OPENFILENAME_SIZE_VERSION_400A;
//   CDERR_INITIALIZATION   no lpstrFile or nMaxFile 0, or no Qt application;
//   CDERR_DIALOGFAILURE    hwndOwner is not 0 and not a window;
//   FNERR_BUFFERTOOSMALL   the choice does not fit lpstrFile or lpstrFileTitle; when it is
//                          lpstrFile, its first two bytes then hold the size it needs
//                          (only from a seam's answer: the Qt dialog does not close on
//                          such a choice, it tells the user the name is too long);
//   FNERR_INVALIDFILENAME  the choice breaks OFN_FILEMUSTEXIST or OFN_PATHMUSTEXIST.
// After a failure nothing but lpstrFile's first two bytes (FNERR_BUFFERTOOSMALL) changes.
BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);

// The save dialog: as the open dialog; OFN_OVERWRITEPROMPT asks before an existing file
// is chosen, and several files are never chosen.
BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn);

// The code of why the last dialog of this thread returned zero; 0 after a cancel.
DWORD CommDlgExtendedError();

// The title of a file: the last component of lpszFile (after its last "/"), written with
// a NUL into lpszTitle (cchSize characters). Returns 0 on success; the size needed in
// characters, NUL included, when cchSize is too small (lpszTitle untouched; a null lpszTitle with cchSize 0
// asks for the size); -1 for a null or empty name, a name ending in "/", or a null buffer otherwise.
SHORT GetFileTitleA(const char* lpszFile, char* lpszTitle, WORD cchSize);
