#pragma once
// Where the AVI header reader takes its bytes from: a file read by positioned reads, or a
// block of memory. The reader asks only for small pieces at known offsets, so a large
// file costs no more than a small one.

#include <cstdint>
#include <memory>
#include <span>
#include <utility>

#include "platform/runtime/regular_file.h"

namespace tamso::avifile {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // The number of bytes the source holds.
  virtual std::uint64_t size() const = 0;

  // Fills `out` with the bytes at `offset`; false when they cannot all be read.
  virtual bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
};

// Bytes already in memory; the caller keeps them alive while the source is used.
class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

 private:
  std::span<const std::uint8_t> bytes_;
};

// A regular file opened for reading; closed when the source is destroyed.
class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(RegularFile file) : file_(std::move(file)) {}

  // The file at `path` (8-bit text, passed to the system as it is), or nullptr when it
  // is missing, unreadable or not a regular file. Never waits (see RegularFile).
  static std::unique_ptr<FileByteSource> Open(const char* path);

  std::uint64_t size() const override { return file_.size(); }
  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

 private:
  RegularFile file_;
};

}  // namespace tamso::avifile
