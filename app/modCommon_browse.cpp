#include <filesystem>
#include <system_error>

#include "app/modCommon.h"
#include "platform/comdlg32/commdlg.h"
#include "platform/runtime/ansi_text.h"

namespace {

// The dialog's buffers, in characters: 254 spaces and the terminating NUL.
constexpr DWORD kBufferChars = 255;

// A buffer of kBufferChars characters as the dialog takes it: the spaces, the NUL, and
// room behind for names whose characters take more than one byte.
std::string SpaceFilledBuffer() {
  std::string buffer(tamso::AnsiBufferBytes(kBufferChars), '\0');
  buffer.replace(0, kBufferChars - 1, kBufferChars - 1, ' ');
  return buffer;
}

}  // namespace

std::string BrowseForFile(HWND hWndOwner, const std::string& sTitle, const std::string& sFilter) {
  std::string file = SpaceFilledBuffer();
  std::string fileTitle = SpaceFilledBuffer();
  std::error_code ec;
  const std::string initialDir = std::filesystem::current_path(ec).string();

  OPENFILENAMEA ofn;
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = hWndOwner;
  ofn.lpstrFilter = sFilter.c_str();  // the string's own NUL ends the list
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kBufferChars;
  ofn.lpstrFileTitle = fileTitle.data();
  ofn.nMaxFileTitle = kBufferChars;
  ofn.lpstrInitialDir = initialDir.c_str();
  ofn.lpstrTitle = sTitle.c_str();
  ofn.Flags = 0;

  if (GetOpenFileNameA(&ofn) == 0) return {};
  // The dialog ends the path with a NUL, so none of the spaces it was given reaches the
  // result; spaces at the start or end of the file's own name are part of it.
  return std::string(file.c_str());
}
