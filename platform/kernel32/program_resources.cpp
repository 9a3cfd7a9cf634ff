#include "platform/kernel32/program_resources.h"

#include <map>
#include <mutex>
#include <utility>

namespace tamso {

namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::pair<ResourceName, ResourceName>, std::span<const std::uint8_t>> resources;
};

Registry& Resources() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterProgramResource(const ResourceName& type, const ResourceName& name,
                             std::span<const std::uint8_t> data) {
  std::lock_guard lock(Resources().mutex);
  Resources().resources[{type, name}] = data;
}

std::optional<std::span<const std::uint8_t>> FindProgramResource(const ResourceName& type,
                                                                 const ResourceName& name) {
  std::lock_guard lock(Resources().mutex);
  const auto it = Resources().resources.find({type, name});
  if (it == Resources().resources.end()) return std::nullopt;
  return it->second;
}

}  // namespace tamso
