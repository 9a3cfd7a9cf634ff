#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/shell32/shell_folders.h"
#include "platform/shell32/shlobj.h"

struct ITEMIDLIST {
  std::optional<std::string> path;  // none for a folder without a directory
};

namespace {

// The live item-ID lists. Callers hold plain pointers, as the calls' signatures require;
// this table owns the objects, so a stale or foreign pointer is recognised, never freed.
class ItemListTable {
 public:
  LPITEMIDLIST add(std::optional<std::string> path) {
    auto list = std::make_unique<ITEMIDLIST>(ITEMIDLIST{std::move(path)});
    LPITEMIDLIST raw = list.get();
    const std::lock_guard lock(mutex_);
    lists_.emplace(raw, std::move(list));
    return raw;
  }

  std::optional<std::optional<std::string>> find(LPCITEMIDLIST pidl) {
    const std::lock_guard lock(mutex_);
    const auto it = lists_.find(pidl);
    if (it == lists_.end()) return std::nullopt;
    return it->second->path;
  }

  void remove(const void* pv) {
    const std::lock_guard lock(mutex_);
    lists_.erase(static_cast<LPCITEMIDLIST>(pv));
  }

 private:
  std::mutex mutex_;
  std::map<LPCITEMIDLIST, std::unique_ptr<ITEMIDLIST>> lists_;
};

ItemListTable& Lists() {
  static ItemListTable table;
  return table;
}

}  // namespace

HRESULT SHGetSpecialFolderLocation(HWND /*hwndOwner*/, int nFolder, LPITEMIDLIST* ppidl) {
  if (!ppidl) return E_INVALIDARG;
  *ppidl = nullptr;
  const tamso::SpecialFolder folder = tamso::ResolveSpecialFolder(nFolder, tamso::CurrentFolderEnvironment());
  switch (folder.kind) {
    case tamso::FolderKind::Unknown:
      return E_INVALIDARG;
    case tamso::FolderKind::NoPath:
      *ppidl = Lists().add(std::nullopt);
      return S_OK;
    case tamso::FolderKind::Path:
      break;
  }
  std::error_code ec;
  if (!(nFolder & CSIDL_FLAG_DONT_VERIFY) && !std::filesystem::is_directory(folder.path, ec)) {
    if (!(nFolder & CSIDL_FLAG_CREATE)) return E_FOLDER_NOT_FOUND;
    std::filesystem::create_directories(folder.path, ec);
    if (!std::filesystem::is_directory(folder.path, ec)) return E_FAIL;
  }
  *ppidl = Lists().add(folder.path);
  return S_OK;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST pidl, char* pszPath) {
  if (!pszPath) return FALSE;
  pszPath[0] = '\0';
  const auto entry = Lists().find(pidl);
  if (!entry || !*entry) return FALSE;
  const std::string& path = **entry;
  if (tamso::AnsiCharCount(path) >= static_cast<std::size_t>(MAX_PATH)) return FALSE;
  std::memcpy(pszPath, path.c_str(), path.size() + 1);
  return TRUE;
}

void CoTaskMemFree(void* pv) {
  if (pv) Lists().remove(pv);
}
