#pragma once
// A table of objects behind 32-bit handle values. Values come from one counter shared
// by every table, so a handle of one kind is never taken for a live handle of another,
// and a freed value is not handed out again while the counter lasts. 0 is never a handle.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace tamso {

// The next free handle value (never 0).
std::uint32_t NextHandleValue();

template <class T>
class HandleTable {
 public:
  // Takes ownership of `object` and returns its new handle.
  std::uint32_t add(std::unique_ptr<T> object) {
    if (!object) return 0;
    std::lock_guard lock(mutex_);
    const std::uint32_t handle = NextHandleValue();
    objects_.emplace(handle, std::move(object));
    return handle;
  }

  // The object behind `handle`, or nullptr for 0 or a handle that is not (or no longer) here.
  T* find(std::uint32_t handle) const {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(handle);
    return it == objects_.end() ? nullptr : it->second.get();
  }

  // Takes the object out of the table and hands it back (nullptr when absent).
  std::unique_ptr<T> remove(std::uint32_t handle) {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(handle);
    if (it == objects_.end()) return nullptr;
    auto object = std::move(it->second);
    objects_.erase(it);
    return object;
  }

  std::size_t size() const {
    std::lock_guard lock(mutex_);
    return objects_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::map<std::uint32_t, std::unique_ptr<T>> objects_;
};

}  // namespace tamso
