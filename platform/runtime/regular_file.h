#pragma once
// The one way this program reads a file that a user or the program names: the AVI file,
// db.txt, kitty.mid, region files, libraries read for their resources. Only a regular
// file is read. A named pipe, a device, a socket or a folder is turned away at once: a
// plain open of a pipe waits for a writer, and a read of a device may wait for ever.
// Reads stay within the size the caller allows.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <streambuf>
#include <system_error>
#include <vector>

namespace tamso {

// An open file descriptor, closed when the object ends.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(FileDescriptor&& other) noexcept;
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;

  int get() const noexcept { return fd_; }
  bool valid() const noexcept { return fd_ >= 0; }

  // Closes now: 0, or the errno value of a write error that the system reports only at
  // the close. The descriptor is closed either way.
  int close() noexcept;

 private:
  int fd_ = -1;
};

// A regular file open for reading.
class RegularFile {
 public:
  // Opens the file at `path` (its bytes passed to the system as they are) without ever
  // waiting. Nothing else than a regular file is opened; `error` then says why:
  // EISDIR for a folder, EINVAL for a pipe, device or socket, else the system's errno.
  static std::optional<RegularFile> Open(const std::filesystem::path& path, std::error_code& error);

  // The file's length when it was opened.
  std::uint64_t size() const noexcept { return size_; }

  // The open descriptor, for system calls of the caller's own; it stays the object's.
  int descriptor() const noexcept { return fd_.get(); }

  // Reads up to out.size() bytes at `offset`: the number read, fewer only where the file
  // ends; nothing (and `error`) when the system fails.
  std::optional<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out,
                                    std::error_code& error) const;

 private:
  RegularFile(FileDescriptor fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}

  FileDescriptor fd_;
  std::uint64_t size_ = 0;
};

// The whole regular file at `path`, as long as it is when opened. Nothing, with `error`,
// when it cannot be opened or read (see RegularFile::Open), or EFBIG when it holds more
// than `maxBytes` bytes.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                       std::uint64_t maxBytes, std::error_code& error);

// Writes all of `bytes` to `fd`, going on after short writes and interruptions: 0, or the
// errno value of the write that failed.
int WriteAll(int fd, std::span<const std::uint8_t> bytes);

// A regular file mapped read-only into memory until the object ends. Its pages are read
// when first touched and stay the file's: for a large file of which a reader needs only
// some parts.
class MappedFile {
 public:
  // Maps the file at `path`, opened as RegularFile::Open does; EFBIG when it holds more
  // than `maxBytes` bytes.
  static std::optional<MappedFile> Open(const std::filesystem::path& path, std::uint64_t maxBytes,
                                        std::error_code& error);
  ~MappedFile();
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;

  std::span<const std::uint8_t> bytes() const noexcept { return {address_, size_}; }

 private:
  MappedFile(const std::uint8_t* address, std::size_t size) : address_(address), size_(size) {}
  void unmap() noexcept;

  const std::uint8_t* address_ = nullptr;
  std::size_t size_ = 0;
};

// A stream buffer reading a RegularFile from its start, a block at a time, for readers
// that take a std::istream. A read error ends the stream. The file must outlive it.
class RegularFileStreamBuf final : public std::streambuf {
 public:
  explicit RegularFileStreamBuf(const RegularFile& file) : file_(file) {}

 protected:
  int_type underflow() override;

 private:
  static constexpr std::size_t kBlockBytes = 16 * 1024;

  const RegularFile& file_;
  std::uint64_t offset_ = 0;
  std::vector<char> block_ = std::vector<char>(kBlockBytes);
};

}  // namespace tamso
