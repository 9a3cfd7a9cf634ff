#include "platform/runtime/byte_reader.h"

#include <cassert>

namespace tamso {

bool ByteReader::take(std::size_t count) {
  if (!ok_ || count > remaining()) {
    ok_ = false;
    return false;
  }
  return true;
}

std::uint8_t ByteReader::u8() {
  if (!take(1)) return 0;
  return bytes_[offset_++];
}

std::uint16_t ByteReader::u16() {
  if (!take(2)) return 0;
  const std::uint16_t v = LoadU16(bytes_, offset_);
  offset_ += 2;
  return v;
}

std::uint32_t ByteReader::u32() {
  if (!take(4)) return 0;
  const std::uint32_t v = LoadU32(bytes_, offset_);
  offset_ += 4;
  return v;
}

std::uint64_t ByteReader::u64() {
  const std::uint64_t low = u32();
  const std::uint64_t high = u32();
  return ok_ ? (low | (high << 32)) : 0;
}

std::span<const std::uint8_t> ByteReader::bytes(std::size_t count) {
  if (!take(count)) return {};
  auto view = bytes_.subspan(offset_, count);
  offset_ += count;
  return view;
}

bool ByteReader::skip(std::size_t count) {
  if (!take(count)) return false;
  offset_ += count;
  return true;
}

bool ByteReader::seek(std::size_t offset) {
  if (!ok_ || offset > bytes_.size()) {
    ok_ = false;
    return false;
  }
  offset_ = offset;
  return true;
}

std::uint16_t LoadU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  assert(offset + 2 <= bytes.size());
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t LoadU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  assert(offset + 4 <= bytes.size());
  return static_cast<std::uint32_t>(bytes[offset]) | (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

void StoreU16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
  assert(offset + 2 <= bytes.size());
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void StoreU32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
  assert(offset + 4 <= bytes.size());
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace tamso
