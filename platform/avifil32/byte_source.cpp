#include "platform/avifil32/byte_source.h"

#include <algorithm>

namespace tamso::avifile {

bool MemoryByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
  return true;
}

std::unique_ptr<FileByteSource> FileByteSource::Open(const char* path) {
  std::error_code error;
  std::optional<RegularFile> file = RegularFile::Open(path, error);
  if (!file) return nullptr;
  return std::make_unique<FileByteSource>(std::move(*file));
}

bool FileByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset > size() || out.size() > size() - offset) return false;
  std::error_code error;
  // A short read means the file shrank under us.
  return file_.readAt(offset, out, error) == out.size();
}

}  // namespace tamso::avifile
