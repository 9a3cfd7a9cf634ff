// Libraries opened as data files, and the resource calls over them and over the program.

#include <map>
#include <mutex>
#include <vector>

#include "platform/kernel32/pe_resources.h"
#include "platform/kernel32/program_resources.h"
#include "platform/kernel32/winbase.h"
#include "platform/runtime/handle_table.h"
#include "platform/runtime/regular_file.h"

namespace tamso {

namespace {

struct Module {
  std::vector<std::uint8_t> bytes;
  PeResources resources;
};

// A resource found in a module (0: the program): the data it stands for.
struct FoundResource {
  HMODULE module = 0;
  std::span<const std::uint8_t> data;
};

struct ResourceTables {
  HandleTable<Module> modules;
  HandleTable<FoundResource> found;
  // One handle for each resource found, so that finding it again gives the same handle.
  std::mutex mutex;
  std::map<std::pair<HMODULE, const std::uint8_t*>, HRSRC> handles;
};

ResourceTables& Tables() {
  static ResourceTables tables;
  return tables;
}

// A library is read whole to find its resources; a larger file is not loaded.
constexpr std::uint64_t kLargestLibrary = 256u << 20;

std::optional<ResourceName> NameOf(LPCSTR text) {
  if (IS_INTRESOURCE(text))
    return ResourceName(static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(text)));
  return ParseResourceName(text);
}

HRSRC HandleFor(HMODULE module, std::span<const std::uint8_t> data) {
  ResourceTables& t = Tables();
  std::lock_guard lock(t.mutex);
  const auto key = std::make_pair(module, data.data());
  if (const auto it = t.handles.find(key); it != t.handles.end()) {
    const FoundResource* known = t.found.find(it->second);
    if (known && known->data.size() == data.size()) return it->second;
  }
  const HRSRC handle = t.found.add(std::make_unique<FoundResource>(FoundResource{module, data}));
  t.handles[key] = handle;
  return handle;
}

const FoundResource* FindFound(HMODULE hModule, HRSRC hResInfo) {
  const FoundResource* found = Tables().found.find(hResInfo);
  if (!found || (hModule != 0 && found->module != hModule)) return nullptr;
  return found;
}

}  // namespace

}  // namespace tamso

using namespace tamso;

HMODULE LoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
  constexpr DWORD kAsData =
      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE;
  if (!lpLibFileName || !*lpLibFileName || hFile != 0 || !(dwFlags & kAsData)) return 0;
  auto module = std::make_unique<Module>();
  std::error_code error;
  auto bytes = ReadWholeFile(lpLibFileName, kLargestLibrary, error);
  if (!bytes) return 0;
  module->bytes = std::move(*bytes);
  auto resources = PeResources::Read(module->bytes);
  if (!resources) return 0;
  module->resources = std::move(*resources);
  return Tables().modules.add(std::move(module));
}

BOOL FreeLibrary(HMODULE hLibModule) {
  ResourceTables& t = Tables();
  if (!t.modules.remove(hLibModule)) return FALSE;
  std::lock_guard lock(t.mutex);
  for (auto it = t.handles.begin(); it != t.handles.end();) {
    if (it->first.first == hLibModule) {
      t.found.remove(it->second);
      it = t.handles.erase(it);
    } else {
      ++it;
    }
  }
  return TRUE;
}

HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
  const std::optional<ResourceName> name = NameOf(lpName);
  const std::optional<ResourceName> type = NameOf(lpType);
  if (!name || !type) return 0;
  std::optional<std::span<const std::uint8_t>> data;
  if (hModule == 0) {
    data = FindProgramResource(*type, *name);
  } else if (const Module* module = Tables().modules.find(hModule)) {
    data = module->resources.find(*type, *name);
  }
  return data ? HandleFor(hModule, *data) : 0;
}

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  const FoundResource* found = FindFound(hModule, hResInfo);
  return found ? static_cast<DWORD>(found->data.size()) : 0;
}

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo) { return FindFound(hModule, hResInfo) ? hResInfo : 0; }

LPVOID LockResource(HGLOBAL hResData) {
  const FoundResource* found = FindFound(0, hResData);
  return found ? const_cast<std::uint8_t*>(found->data.data()) : nullptr;
}
