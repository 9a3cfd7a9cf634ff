#include "platform/avifil32/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace tamso::avifile {

bool MemoryByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
  return true;
}

std::unique_ptr<FileByteSource> FileByteSource::Open(const char* path) {
  // Non-blocking, so that naming a FIFO cannot hang the open; the type check below
  // turns such names away before anything is read.
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<FileByteSource>(new FileByteSource(fd, static_cast<std::uint64_t>(info.st_size)));
}

FileByteSource::~FileByteSource() { ::close(fd_); }

bool FileByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset > size_ || out.size() > size_ - offset) return false;
  std::size_t done = 0;
  while (done < out.size()) {
    const std::uint64_t at = offset + done;
    if (at > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return false;
    const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // an error, or the file shrank under us
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace tamso::avifile
