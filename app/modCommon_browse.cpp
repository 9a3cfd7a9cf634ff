#include <filesystem>
#include <system_error>

#include "app/modCommon.h"
#include "platform/comdlg32/commdlg.h"

namespace {

// The dialog's buffers: 254 spaces and the terminating NUL.
constexpr DWORD kBufferSize = 255;

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string BrowseForFile(HWND hWndOwner, const std::string& sTitle, const std::string& sFilter) {
  std::string file(kBufferSize - 1, ' ');
  std::string fileTitle(kBufferSize - 1, ' ');
  std::error_code ec;
  const std::string initialDir = std::filesystem::current_path(ec).string();

  OPENFILENAMEA ofn;
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = hWndOwner;
  ofn.lpstrFilter = sFilter.c_str();  // the string's own NUL ends the list
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kBufferSize;
  ofn.lpstrFileTitle = fileTitle.data();
  ofn.nMaxFileTitle = kBufferSize;
  ofn.lpstrInitialDir = initialDir.c_str();
  ofn.lpstrTitle = sTitle.c_str();
  ofn.Flags = 0;

  if (GetOpenFileNameA(&ofn) == 0) return {};
  return Trimmed(std::string(file.c_str()));
}
