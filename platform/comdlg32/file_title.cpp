#include <cstring>
#include <limits>

#include "platform/comdlg32/commdlg.h"
#include "platform/runtime/ansi_text.h"

SHORT GetFileTitleA(const char* lpszFile, char* lpszTitle, WORD cchSize) {
  constexpr SHORT kRejected = -1;
  if (!lpszFile || !*lpszFile) return kRejected;
  const std::size_t length = std::strlen(lpszFile);
  if (lpszFile[length - 1] == '/') return kRejected;
  const char* title = std::strrchr(lpszFile, '/');
  title = title ? title + 1 : lpszFile;
  const std::size_t needed = tamso::AnsiCharCount(title) + 1;
  if (needed > static_cast<std::size_t>(std::numeric_limits<SHORT>::max())) return kRejected;
  if (!lpszTitle && cchSize != 0) return kRejected;
  if (needed > cchSize) return static_cast<SHORT>(needed);
  std::memcpy(lpszTitle, title, std::strlen(title) + 1);
  return 0;
}
