#pragma once
// The one way this program reads binary data: a cursor over a span of bytes that checks
// every read against what is left. A read past the end returns zeros, reads nothing and
// makes the reader fail for good, so a parser can read a whole record and test ok() once.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tamso {

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  std::size_t size() const { return bytes_.size(); }
  std::size_t offset() const { return offset_; }
  std::size_t remaining() const { return bytes_.size() - offset_; }
  bool atEnd() const { return offset_ == bytes_.size(); }

  std::uint8_t u8();
  std::uint16_t u16();  // little-endian, as are all below
  std::uint32_t u32();
  std::uint64_t u64();
  std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

  // The next `count` bytes; an empty span, and failure, if fewer are left.
  std::span<const std::uint8_t> bytes(std::size_t count);

  // The next `count` bytes as a reader of their own, bounded to them.
  ByteReader sub(std::size_t count) { return ByteReader(bytes(count)); }

  // Moves on `count` bytes; fails (and stays) if fewer are left.
  bool skip(std::size_t count);

  // Moves to an absolute offset within the span (the end itself is allowed).
  bool seek(std::size_t offset);

  // Makes the reader fail, for a parser that found the bytes inconsistent.
  void fail() { ok_ = false; }

 private:
  bool take(std::size_t count);

  std::span<const std::uint8_t> bytes_;
  std::size_t offset_ = 0;
  bool ok_ = true;
};

// Little-endian values at a fixed place of a span the caller has already measured.
std::uint16_t LoadU16(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint32_t LoadU32(std::span<const std::uint8_t> bytes, std::size_t offset);

// Stores little-endian values; the writers of region files and test fixtures use these.
void StoreU16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value);
void StoreU32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value);

inline std::span<const std::uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace tamso
