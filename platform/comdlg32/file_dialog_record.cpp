#include "platform/comdlg32/file_dialog_record.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/runtime/ansi_text.h"

namespace tamso {

namespace {

namespace fs = std::filesystem;

std::string TextOf(const char* s) { return s ? std::string(s) : std::string(); }

std::string TrimSpaces(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string CurrentDirectory() {
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  return ec ? std::string("/") : cwd.string();
}

std::string Leaf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The folder part of a path: "/" for a file at the top, no trailing "/" otherwise.
std::string Folder(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// The folder to open in. A name with a folder of its own opens there; otherwise the
// initial directory does, or the folder of the file it names (callers that keep the last
// chosen path there), or else the current directory.
std::string StartFolder(const std::string& initialName, const std::string& initialDir) {
  std::error_code ec;
  if (initialName.find('/') != std::string::npos) {
    const std::string base =
        initialName.front() == '/' ? initialName : JoinPath(CurrentDirectory(), initialName);
    const std::string folder = Folder(base);
    if (fs::is_directory(folder, ec)) return folder;
  }
  if (!initialDir.empty()) {
    if (fs::is_directory(initialDir, ec)) return initialDir;
    const std::string folder = Folder(initialDir);
    if (fs::is_regular_file(initialDir, ec) && !folder.empty()) return folder;
  }
  return CurrentDirectory();
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// The extension of a file name, without its "."; nullopt for none.
std::optional<std::string> ExtensionOf(const std::string& leaf) {
  const auto dot = leaf.rfind('.');
  if (dot == std::string::npos || dot == 0) return std::nullopt;
  return leaf.substr(dot + 1);
}

// The chosen paths: relative names taken in the dialog's folder, the default extension
// added to a name without one.
std::vector<std::string> ResolveFiles(const FileDialogRequest& request, const FileDialogAnswer& answer) {
  std::vector<std::string> files;
  for (const std::string& file : answer.files) {
    std::string path = !file.empty() && file.front() == '/' ? file : JoinPath(request.initialDirectory, file);
    if (!request.defaultExtension.empty() && !ExtensionOf(Leaf(path)) && !path.ends_with('.')) {
      path += "." + request.defaultExtension;
    }
    files.push_back(std::move(path));
  }
  return files;
}

bool ChoiceIsValid(const FileDialogRequest& request, const std::vector<std::string>& files) {
  if (files.empty()) return false;
  if (files.size() > 1 && (request.kind == FileDialogKind::Save || !(request.flags & OFN_ALLOWMULTISELECT))) {
    return false;
  }
  const std::string folder = Folder(files.front());
  std::error_code ec;
  for (const std::string& file : files) {
    if (Leaf(file).empty() || Folder(file) != folder) return false;
    if ((request.flags & OFN_FILEMUSTEXIST) && !fs::is_regular_file(file, ec)) return false;
    if ((request.flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !fs::is_directory(folder, ec))
      return false;
  }
  return true;
}

// A name for the space-separated list of several files.
std::string SpaceListName(const std::string& name) {
  return name.find(' ') == std::string::npos ? name : "\"" + name + "\"";
}

struct FileBuffer {
  std::string bytes;  // everything written, the closing NUL(s) included
  WORD fileOffset = 0;
  WORD extensionOffset = 0;
};

WORD ToWord(std::size_t n) { return static_cast<WORD>(std::min<std::size_t>(n, 0xFFFF)); }

FileBuffer ComposeFileBuffer(const std::vector<std::string>& files, DWORD flags) {
  FileBuffer out;
  if (files.size() == 1) {
    const std::string& path = files.front();
    const std::string leaf = Leaf(path);
    out.bytes = path + '\0';
    out.fileOffset = ToWord(path.size() - leaf.size());
    const auto dot = leaf.rfind('.');
    if (leaf.ends_with('.')) {
      out.extensionOffset = 0;
    } else if (dot == std::string::npos || dot == 0) {
      out.extensionOffset = ToWord(path.size());
    } else {
      out.extensionOffset = ToWord(out.fileOffset + dot + 1);
    }
    return out;
  }
  const std::string folder = Folder(files.front());
  out.fileOffset = ToWord(folder.size() + 1);
  if (flags & OFN_EXPLORER) {
    out.bytes = folder + '\0';
    for (const std::string& file : files) out.bytes += Leaf(file) + '\0';
    out.bytes += '\0';
  } else {
    out.bytes = folder;
    for (const std::string& file : files) {
      // Appended piece by piece: `" " + name` trips a false -Wrestrict in g++ 12 at -O3.
      out.bytes += ' ';
      out.bytes += SpaceListName(Leaf(file));
    }
    out.bytes += '\0';
  }
  return out;
}

// A confirmed answer as it goes into the record's buffers.
struct ComposedAnswer {
  std::vector<std::string> files;
  FileBuffer buffer;
  std::string title;  // the (first) file's name and its NUL
};

ComposedAnswer Compose(const FileDialogRequest& request, const FileDialogAnswer& answer) {
  ComposedAnswer out;
  out.files = ResolveFiles(request, answer);
  if (out.files.empty()) return out;
  out.buffer = ComposeFileBuffer(out.files, request.flags);
  out.title = Leaf(out.files.front()) + '\0';
  return out;
}

// The buffers' sizes count characters, so a name in any script fits as far as its
// characters do, whatever its length in bytes.
AnswerCheck Check(const FileDialogRequest& request, const ComposedAnswer& composed) {
  if (!ChoiceIsValid(request, composed.files)) return {.error = FNERR_INVALIDFILENAME};
  const std::size_t fileChars = AnsiCharCount(composed.buffer.bytes);
  if (fileChars > request.maxFile) return {FNERR_BUFFERTOOSMALL, fileChars, request.maxFile, false};
  const std::size_t titleChars = AnsiCharCount(composed.title);
  if (request.maxFileTitle > 0 && titleChars > request.maxFileTitle)
    return {FNERR_BUFFERTOOSMALL, titleChars, request.maxFileTitle, true};
  return {};
}

}  // namespace

std::vector<FileFilter> ParseFilterList(const char* list) {
  std::vector<FileFilter> filters;
  if (!list) return filters;
  while (*list) {
    FileFilter filter;
    filter.description = list;
    list += filter.description.size() + 1;
    if (!*list) break;
    filter.pattern = list;
    list += filter.pattern.size() + 1;
    filters.push_back(std::move(filter));
  }
  return filters;
}

std::variant<FileDialogRequest, DWORD> ReadFileDialogRequest(const OPENFILENAMEA& ofn, FileDialogKind kind) {
  if (ofn.lStructSize != OPENFILENAME_SIZE_VERSION_400A) return CDERR_STRUCTSIZE;
  if (!ofn.lpstrFile || ofn.nMaxFile == 0) return CDERR_INITIALIZATION;

  FileDialogRequest request;
  request.kind = kind;
  request.owner = ofn.hwndOwner;
  request.record = &ofn;
  request.flags = ofn.Flags;
  request.title = TextOf(ofn.lpstrTitle);
  if (request.title.empty()) request.title = kind == FileDialogKind::Save ? "Save As" : "Open";
  request.filters = ParseFilterList(ofn.lpstrFilter);
  if (!request.filters.empty()) {
    const bool inRange = ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= request.filters.size();
    request.selectedFilter = inRange ? static_cast<int>(ofn.nFilterIndex) - 1 : 0;
  }
  request.maxFile = ofn.nMaxFile;
  request.maxFileTitle = ofn.lpstrFileTitle ? ofn.nMaxFileTitle : 0;
  const std::size_t nameLength = strnlen(ofn.lpstrFile, AnsiBufferBytes(ofn.nMaxFile));
  request.initialName = TrimSpaces(std::string(ofn.lpstrFile, nameLength));
  request.initialDirectory = StartFolder(request.initialName, TextOf(ofn.lpstrInitialDir));
  if (request.initialName.find('/') != std::string::npos) request.initialName = Leaf(request.initialName);
  request.defaultExtension = TextOf(ofn.lpstrDefExt);
  if (request.defaultExtension.starts_with('.')) request.defaultExtension.erase(0, 1);
  request.readOnlyBoxShown = !(ofn.Flags & OFN_HIDEREADONLY);
  request.readOnlyBoxChecked = (ofn.Flags & OFN_READONLY) != 0;
  return request;
}

AnswerCheck CheckFileDialogAnswer(const FileDialogRequest& request, const FileDialogAnswer& answer) {
  return Check(request, Compose(request, answer));
}

DWORD WriteFileDialogAnswer(OPENFILENAMEA& ofn, const FileDialogRequest& request,
                            const FileDialogAnswer& answer) {
  const ComposedAnswer composed = Compose(request, answer);
  const AnswerCheck check = Check(request, composed);
  if (check.error != 0) {
    if (check.error == FNERR_BUFFERTOOSMALL && !check.titleBuffer && ofn.nMaxFile >= 2) {
      const WORD needed = ToWord(check.needed);
      ofn.lpstrFile[0] = static_cast<char>(needed & 0xFF);
      ofn.lpstrFile[1] = static_cast<char>(needed >> 8);
    }
    return check.error;
  }

  // Only the bytes of the answer are written; the rest of each buffer stays as it was.
  const std::vector<std::string>& files = composed.files;
  const FileBuffer& buffer = composed.buffer;
  std::memcpy(ofn.lpstrFile, buffer.bytes.data(), buffer.bytes.size());
  if (request.maxFileTitle > 0) std::memcpy(ofn.lpstrFileTitle, composed.title.data(), composed.title.size());
  ofn.nFileOffset = buffer.fileOffset;
  ofn.nFileExtension = files.size() == 1 ? buffer.extensionOffset : 0;

  const bool readOnly = answer.readOnly.value_or(request.readOnlyBoxChecked);
  if (request.readOnlyBoxShown)
    ofn.Flags = readOnly ? (ofn.Flags | OFN_READONLY) : (ofn.Flags & ~OFN_READONLY);
  if (!request.defaultExtension.empty()) {
    const auto extension = ExtensionOf(Leaf(files.front()));
    const bool differs = !extension || !EqualsIgnoringCase(*extension, request.defaultExtension);
    ofn.Flags = differs ? (ofn.Flags | OFN_EXTENSIONDIFFERENT) : (ofn.Flags & ~OFN_EXTENSIONDIFFERENT);
  }
  if (answer.filterIndex) {
    ofn.nFilterIndex = *answer.filterIndex;
  } else {
    ofn.nFilterIndex = static_cast<DWORD>(request.selectedFilter + 1);
  }
  return 0;
}

}  // namespace tamso
