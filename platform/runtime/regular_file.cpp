#include "platform/runtime/regular_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <utility>

namespace tamso {

namespace {

std::error_code Errno(int value) { return {value, std::generic_category()}; }

// Why a file of this type is not read.
std::error_code NotRegular(mode_t mode) { return Errno(S_ISDIR(mode) ? EISDIR : EINVAL); }

}  // namespace

FileDescriptor::~FileDescriptor() { close(); }

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

int FileDescriptor::close() noexcept {
  if (fd_ < 0) return 0;
  // Linux releases the descriptor even when close fails, so it is never retried.
  const int result = ::close(std::exchange(fd_, -1));
  return result == 0 ? 0 : errno;
}

std::optional<RegularFile> RegularFile::Open(const std::filesystem::path& path, std::error_code& error) {
  error.clear();
  // Looking first keeps a device from being opened at all: opening some acts on them.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    error = Errno(errno);
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    error = NotRegular(info.st_mode);
    return std::nullopt;
  }
  // The name may stand for something else by the time it is opened: the open must not
  // wait for a pipe's writer, and what was opened is checked again.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0) {
    error = Errno(errno);
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    error = NotRegular(info.st_mode);
    return std::nullopt;
  }
  // Reads of a regular file never wait; the flag goes so the descriptor is an ordinary one.
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  return RegularFile(std::move(fd), static_cast<std::uint64_t>(info.st_size));
}

int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    if (written == 0) return EIO;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return 0;
}

std::optional<MappedFile> MappedFile::Open(const std::filesystem::path& path, std::uint64_t maxBytes,
                                           std::error_code& error) {
  const auto file = RegularFile::Open(path, error);
  if (!file) return std::nullopt;
  if (file->size() > maxBytes || file->size() > std::numeric_limits<std::size_t>::max()) {
    error = Errno(EFBIG);
    return std::nullopt;
  }
  const auto size = static_cast<std::size_t>(file->size());
  if (size == 0) return MappedFile(nullptr, 0);
  void* const address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file->descriptor(), 0);
  if (address == MAP_FAILED) {
    error = Errno(errno);
    return std::nullopt;
  }
  return MappedFile(static_cast<const std::uint8_t*>(address), size);
}

MappedFile::~MappedFile() { unmap(); }

MappedFile::MappedFile(MappedFile&& other) noexcept
    : address_(std::exchange(other.address_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    unmap();
    address_ = std::exchange(other.address_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

void MappedFile::unmap() noexcept {
  // munmap takes the address as it was given back, without const.
  if (address_) ::munmap(const_cast<std::uint8_t*>(address_), size_);
  address_ = nullptr;
}

std::optional<std::size_t> RegularFile::readAt(std::uint64_t offset, std::span<std::uint8_t> out,
                                               std::error_code& error) const {
  error.clear();
  constexpr auto kLastOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
  std::size_t done = 0;
  while (done < out.size() && offset <= kLastOffset - done) {
    const ssize_t n =
        ::pread(fd_.get(), out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = Errno(errno);
      return std::nullopt;
    }
    if (n == 0) break;  // the end of the file
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                       std::uint64_t maxBytes, std::error_code& error) {
  const std::optional<RegularFile> file = RegularFile::Open(path, error);
  if (!file) return std::nullopt;
  if (file->size() > maxBytes || file->size() > std::numeric_limits<std::size_t>::max()) {
    error = Errno(EFBIG);
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file->size()));
  const std::optional<std::size_t> got = file->readAt(0, bytes, error);
  if (!got) return std::nullopt;
  if (*got != bytes.size()) {
    error = Errno(EIO);  // the file shrank while it was read
    return std::nullopt;
  }
  return bytes;
}

RegularFileStreamBuf::int_type RegularFileStreamBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  std::error_code error;
  const std::span<std::uint8_t> into(reinterpret_cast<std::uint8_t*>(block_.data()), block_.size());
  const std::optional<std::size_t> got = file_.readAt(offset_, into, error);
  if (!got || *got == 0) return traits_type::eof();
  offset_ += *got;
  setg(block_.data(), block_.data(), block_.data() + *got);
  return traits_type::to_int_type(*gptr());
}

}  // namespace tamso
