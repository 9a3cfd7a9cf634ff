#include "dialogs/cFileDlg.h"

#include <QByteArray>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "dialogs/filter_list.h"
#include "platform/comdlg32/commdlg.h"
#include "platform/msvfw32/msvfw32.h"
#include "platform/runtime/ansi_text.h"
#include "platform/runtime/app_paths.h"
#include "platform/runtime/tamso_error.h"
#include "platform/shell32/shlobj.h"

namespace {

constexpr qsizetype kMaxFilter = 32766;
constexpr qsizetype kFileBufferChars = 1024;
constexpr qsizetype kTitleBufferChars = 512;
constexpr qsizetype kFolderPathChars = 1024;
const QChar kNul(u'\0');

// The 8-bit form of a text, every character kept, embedded NULs included.
std::string ToAnsi(const QString& text) { return text.toUtf8().toStdString(); }

// The text of an 8-bit buffer over its whole length.
QString FromAnsi(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString BeforeFirstNul(const QString& text) { return text.left(text.indexOf(kNul)); }

// `text` followed by NULs up to `chars` characters.
QString PaddedWithNuls(const QString& text, qsizetype chars) {
  return text + QString(chars - text.size(), kNul);
}

// An 8-bit buffer of `chars` characters that starts with `text`, NULs after it.
std::string AnsiBuffer(const QString& text, qsizetype chars) {
  std::string buffer = ToAnsi(text);
  buffer.resize(tamso::AnsiBufferBytes(static_cast<std::size_t>(chars)), '\0');
  return buffer;
}

// The file buffer as the dialog left it, in characters: what the dialog wrote (a path
// and its NUL; for several files in OFN_EXPLORER form the folder and the names, each
// with its NUL, and one more NUL), then the rest of the buffer as it stood, `before`.
// Counted in characters, so a chosen name never leaves half a character of the old one.
QString ReturnedFileBuffer(const std::string& buffer, const OPENFILENAMEA& ofn, const QString& before) {
  const std::size_t firstNul = buffer.find('\0');
  std::size_t end = firstNul + 1;
  const bool namesApart =
      (ofn.Flags & OFN_EXPLORER) && (ofn.Flags & OFN_ALLOWMULTISELECT) && ofn.nFileOffset == end;
  if (namesApart) end = std::min(buffer.find(std::string(2, '\0'), firstNul), buffer.size() - 2) + 2;
  const QString written = FromAnsi(buffer.substr(0, end));
  return written + before.mid(written.size());
}

struct ItemListRelease {
  void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};

}  // namespace

cFileDlg::cFileDlg() {
  m_sDlgTitle = QString::fromStdString(tamso::ApplicationTitle());
  // Runs after the owner is set, so the lookup sees the owner -1.
  m_sInitDirectory = GetSpecialFolderPath(CSIDL_PERSONAL);
}

void cFileDlg::setInitDirectorySpecial(LONG SpecialDirectory) {
  m_sInitDirectory = GetSpecialFolderPath(SpecialDirectory);
}

QString cFileDlg::GetSpecialFolderPath(LONG lFolderId) const {
  LPITEMIDLIST raw = nullptr;
  if (SHGetSpecialFolderLocation(static_cast<HWND>(m_lOwnerHwnd), lFolderId, &raw) != S_OK) return {};
  const std::unique_ptr<ITEMIDLIST, ItemListRelease> pidl(raw);
  std::string path(tamso::AnsiBufferBytes(kFolderPathChars), ' ');
  if (!SHGetPathFromIDListA(pidl.get(), path.data())) return {};
  return BeforeFirstNul(FromAnsi(path));
}

QString cFileDlg::GetFilterEntry(const QString& sList, LONG lIndex) {
  return tamso::FilterListEntry(sList, lIndex);
}

DWORD cFileDlg::ComposedFlags(DialogKind kind) const {
  DWORD flags = static_cast<DWORD>(m_lFlags) & ~(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE);
  if (kind == DialogKind::Save) {
    flags |= OFN_HIDEREADONLY;
    if (m_bOverwritePrompt) flags |= OFN_OVERWRITEPROMPT;
    return flags;
  }
  if (m_bReadOnly) flags |= OFN_READONLY;
  if (m_bHideReadOnly) flags |= OFN_HIDEREADONLY;
  if (m_bMultiSelect) flags |= OFN_ALLOWMULTISELECT;
  if (m_bFileMustExist) flags |= OFN_FILEMUSTEXIST;
  return flags;
}

bool cFileDlg::ShowDialog(DialogKind kind, QString& filename, QString& FileTitle) {
  if (m_sFilter.size() > kMaxFilter) tamso::RaiseStandardError(tamso::kErrOverflow);
  if (filename.size() > kFileBufferChars || FileTitle.size() > kTitleBufferChars) {
    tamso::RaiseStandardError(tamso::kErrInvalidArgument);
  }

  // The 8-bit buffers live for the call; the record points into them.
  const std::string initialDir = ToAnsi(m_sInitDirectory);
  const std::string title = ToAnsi(m_sDlgTitle);
  const std::string defaultExt = ToAnsi(m_sDefaultExt);
  const QString filterList = tamso::MakeFilterList(m_sFilter);
  const std::string filter = ToAnsi(filterList);
  const QString fileBefore = PaddedWithNuls(filename, kFileBufferChars);
  std::string file = AnsiBuffer(filename, kFileBufferChars);
  std::string fileTitle = AnsiBuffer(FileTitle, kTitleBufferChars);

  OPENFILENAMEA ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  if (m_lOwnerHwnd != -1) ofn.hwndOwner = static_cast<HWND>(m_lOwnerHwnd);
  ofn.Flags = ComposedFlags(kind);
  ofn.lpstrInitialDir = initialDir.c_str();
  ofn.lpstrDefExt = defaultExt.c_str();
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(m_lFilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kFileBufferChars;
  ofn.lpstrFileTitle = fileTitle.data();
  ofn.nMaxFileTitle = kTitleBufferChars;

  BOOL result = FALSE;
  switch (kind) {
    case DialogKind::Open:
      result = GetOpenFileNameA(&ofn);
      break;
    case DialogKind::OpenPreview:
      result = GetOpenFileNamePreviewA(&ofn);
      break;
    case DialogKind::Save:
      result = GetSaveFileNameA(&ofn);
      break;
  }

  if (!result) {
    filename = QString(kNul);
    FileTitle = QString(kNul);
    m_lFlags = 0;
    m_sFilter = QString(kNul);
    m_lFilterIndex = kind == DialogKind::Save ? 0 : -1;
    return false;
  }
  const QString returnedFile = ReturnedFileBuffer(file, ofn, fileBefore);
  filename = BeforeFirstNul(returnedFile);
  FileTitle = FromAnsi(std::string(fileTitle.c_str()));
  m_lFlags = static_cast<LONG>(ofn.Flags);
  m_lFilterIndex = static_cast<LONG>(ofn.nFilterIndex);
  m_sFilter = GetFilterEntry(filterList, m_lFilterIndex);
  if (kind != DialogKind::Save && (ofn.Flags & OFN_READONLY)) m_bReadOnly = true;
  m_sInitDirectory = returnedFile;
  return true;
}

bool cFileDlg::VBGetOpenFileName(QString& filename, QString& FileTitle) {
  return ShowDialog(DialogKind::Open, filename, FileTitle);
}

bool cFileDlg::VBGetOpenFileNamePreview(QString& filename, QString& FileTitle) {
  return ShowDialog(DialogKind::OpenPreview, filename, FileTitle);
}

bool cFileDlg::VBGetSaveFileName(QString& filename, QString& FileTitle) {
  return ShowDialog(DialogKind::Save, filename, FileTitle);
}

bool cFileDlg::ExistFile(const QString& sSpec) const {
  std::error_code ec;
  // Only whether the length can be read matters, not the length.
  [[maybe_unused]] const auto length = std::filesystem::file_size(std::filesystem::path(ToAnsi(sSpec)), ec);
  return !ec;
}

QString cFileDlg::VBGetFileTitle(const QString& sFile) const {
  std::string title(tamso::AnsiBufferBytes(kFileBufferChars), '\0');
  if (GetFileTitleA(ToAnsi(sFile).c_str(), title.data(), kFileBufferChars) != 0) return {};
  return BeforeFirstNul(FromAnsi(title));
}
